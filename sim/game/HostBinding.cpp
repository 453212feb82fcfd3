// What the SDK's wrappers reach the simulated host through: each call reads or changes the
// simulated game under the host's lock, the way the real host's functions act on the game.
#include "sim/game/Host.h"

namespace sim {

bool Host::IsInReplay() {
    std::lock_guard<std::mutex> lock(mu);
    return inReplay;
}

uintptr_t Host::GetCamera() {
    std::lock_guard<std::mutex> lock(mu);
    return inReplay && cameraPresent ? AddressOf(cameraObject) : 0;
}

uintptr_t Host::GetGameEventAsReplay() {
    std::lock_guard<std::mutex> lock(mu);
    return inReplay && serverPresent ? AddressOf(serverObject) : 0;
}

int Host::GetBakkesModVersion() { return Build(); }

std::filesystem::path Host::GetDataFolder() { return DataFolder(); }

void Host::HookEvent(const std::string& eventName, EventCallback callback, bool post) {
    std::lock_guard<std::mutex> lock(mu);
    hooks.push_back(Hook{eventName, std::move(callback), post});
}

void Host::SetTimeout(GameCallback callback, float seconds) {
    std::lock_guard<std::mutex> lock(mu);
    timers.push_back(Timer{gameTime + std::max(0.0f, seconds), timerOrder++, std::move(callback)});
}

void Host::Execute(GameCallback callback) {
    std::lock_guard<std::mutex> lock(mu);
    executeQueue.push_back(std::move(callback));
}

void Host::Log(const std::string& text) {
    std::function<void(const std::string&)> echo;
    {
        std::lock_guard<std::mutex> lock(mu);
        logLines.push_back(text);
        echo = logEcho;
    }
    if (echo) echo(text);
}

void Host::RegisterNotifier(const std::string& name, NotifierCallback callback, const std::string& description,
                            unsigned char permissions) {
    std::lock_guard<std::mutex> lock(mu);
    notifiers[name] = Notifier{std::move(callback), description, permissions};
}

void Host::ExecuteCommand(const std::string& command, bool /*log*/) {
    // Commands handed over by the plugin (from any thread) run on the game thread's next pump.
    std::lock_guard<std::mutex> lock(mu);
    executedCommands.push_back(command);
    commandQueue.push_back(command);
}

std::string Host::GetFocusActor(uintptr_t camera) {
    std::lock_guard<std::mutex> lock(mu);
    return camera == AddressOf(cameraObject) ? focusActor : std::string();
}

void Host::SetCameraSettings(uintptr_t camera, ProfileCameraSettings settings) {
    std::lock_guard<std::mutex> lock(mu);
    if (camera != AddressOf(cameraObject)) return;
    cameraSettings = settings;
    cameraWrites.push_back(CameraWrite{focusActor, settings, tickCount});
}

bool Host::SetCameraState(uintptr_t camera, const std::string& state) {
    std::lock_guard<std::mutex> lock(mu);
    if (camera != AddressOf(cameraObject)) return false;
    cameraState = state;
    return true;
}

bool Host::SetFocusActor(uintptr_t camera, const std::string& actorName) {
    // The plugin asks the game's own focus function, so the game's hooks see it as usual.
    if (camera != AddressOf(cameraObject)) return false;
    MoveFocus(actorName);
    return true;
}

uintptr_t Host::GetPRIs(uintptr_t gameEvent) {
    std::lock_guard<std::mutex> lock(mu);
    return gameEvent == AddressOf(serverObject) && playerArrayPresent ? AddressOf(priArrayObject) : 0;
}

int Host::ArrayCount(uintptr_t array) {
    std::lock_guard<std::mutex> lock(mu);
    return array == AddressOf(priArrayObject) ? static_cast<int>(players.size()) : 0;
}

uintptr_t Host::ArrayGet(uintptr_t array, int index) {
    std::lock_guard<std::mutex> lock(mu);
    if (array != AddressOf(priArrayObject) || index < 0 || index >= static_cast<int>(players.size())) return 0;
    return players[index]->object ? AddressOf(players[index]->object.get()) : 0;
}

Host::Player* Host::FindPlayer(uintptr_t pri) {
    for (auto& player : players)
        if (player->object && AddressOf(player->object.get()) == pri) return player.get();
    return nullptr;
}

ProfileCameraSettings Host::GetCameraSettings(uintptr_t pri) {
    std::lock_guard<std::mutex> lock(mu);
    Player* player = FindPlayer(pri);
    return player ? player->setup.camera : ProfileCameraSettings{};
}

unsigned long Host::GetbBot(uintptr_t pri) {
    std::lock_guard<std::mutex> lock(mu);
    Player* player = FindPlayer(pri);
    return player && player->setup.bot ? 1ul : 0ul;
}

std::optional<std::string> Host::GetPlayerName(uintptr_t pri) {
    std::lock_guard<std::mutex> lock(mu);
    Player* player = FindPlayer(pri);
    if (!player || player->setup.nullName) return std::nullopt;
    return player->setup.name;
}

std::string Host::GetUniqueIdString(uintptr_t pri) {
    std::lock_guard<std::mutex> lock(mu);
    Player* player = FindPlayer(pri);
    return player ? player->setup.uniqueId : std::string();
}

}  // namespace sim
