#include "sim/game/Host.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <future>
#include <system_error>

#include "sim/base/Support.h"

namespace sim {

Host::Host() : game(MakeGameWrapper(*this)), console(MakeConsoleWrapper(*this)) {
    // The SDK's wrappers find the host through the first bytes of the objects they wrap.
    for (unsigned char* object : {serverObject, priArrayObject, cameraObject}) StampGameObject(object, this);
}

Host::~Host() { StopGameThread(); }

// --- Set-up ---------------------------------------------------------------------------------

void Host::SetBuild(int newBuild) {
    std::lock_guard<std::mutex> lock(mu);
    build = newBuild;
}

int Host::Build() const {
    std::lock_guard<std::mutex> lock(mu);
    return build;
}

void Host::SetDataFolder(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::lock_guard<std::mutex> lock(mu);
    temporaryDataFolder.reset();
    dataFolder = folder;
}

std::filesystem::path Host::DataFolder() {
    std::lock_guard<std::mutex> lock(mu);
    if (dataFolder.empty()) {
        temporaryDataFolder.emplace("vistorb-data");
        dataFolder = temporaryDataFolder->Path();
    }
    return dataFolder;
}

void Host::SetLogEcho(std::function<void(const std::string&)> echo) {
    std::lock_guard<std::mutex> lock(mu);
    logEcho = std::move(echo);
}

void Host::SetMenuHandler(std::function<void(const std::string&, const std::string&)> handler) {
    std::lock_guard<std::mutex> lock(mu);
    menuHandler = std::move(handler);
}

// --- The replay -----------------------------------------------------------------------------

void Host::OpenReplay() {
    RunOnGameThread([this] {
        std::lock_guard<std::mutex> lock(mu);
        inReplay = true;
    });
}

void Host::CloseReplay() {
    RunOnGameThread([this] {
        std::lock_guard<std::mutex> lock(mu);
        inReplay = false;
        focusActor.clear();
    });
}

void Host::SetCameraPresent(bool present) {
    RunOnGameThread([this, present] {
        std::lock_guard<std::mutex> lock(mu);
        cameraPresent = present;
    });
}

void Host::SetServerPresent(bool present) {
    RunOnGameThread([this, present] {
        std::lock_guard<std::mutex> lock(mu);
        serverPresent = present;
    });
}

void Host::SetPlayerArrayPresent(bool present) {
    RunOnGameThread([this, present] {
        std::lock_guard<std::mutex> lock(mu);
        playerArrayPresent = present;
    });
}

void Host::AddPlayer(const PlayerSpec& setup) {
    RunOnGameThread([this, setup] {
        auto player = std::make_unique<Player>();
        player->setup = setup;
        if (!setup.nullRecord) {
            // The game object of a player record, as build 162 is read: a camera pointer at a
            // fixed offset, and the seven floats at a fixed offset of what it points to.
            player->object.reset(new unsigned char[kPriCameraPointerOffset + sizeof(uintptr_t)]());
            StampGameObject(player->object.get(), this);
            if (setup.hasCameraObject) {
                player->cameraObject.reset(new unsigned char[kCameraSettingsOffset + sizeof(ProfileCameraSettings)]());
                std::memcpy(player->cameraObject.get() + kCameraSettingsOffset, &setup.camera, sizeof(setup.camera));
                uintptr_t pointer = AddressOf(player->cameraObject.get());
                std::memcpy(player->object.get() + kPriCameraPointerOffset, &pointer, sizeof(pointer));
            }
        }
        std::lock_guard<std::mutex> lock(mu);
        players.push_back(std::move(player));
    });
}

void Host::ClearPlayers() {
    RunOnGameThread([this] {
        std::lock_guard<std::mutex> lock(mu);
        players.clear();
    });
}

void Host::FireEvent(const std::string& key, const std::function<void()>& gameFunction) {
    // Hooks are copied out so that none of the host's state is locked while the plugin runs.
    std::vector<EventCallback> pre, post;
    uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(mu);
        for (const Hook& hook : hooks) {
            if (hook.key != key) continue;
            (hook.post ? post : pre).push_back(hook.callback);
        }
        generation = callbackGeneration;
    }
    auto stillAttached = [&] {
        std::lock_guard<std::mutex> lock(mu);
        return generation == callbackGeneration;
    };
    for (auto& callback : pre)
        if (stillAttached()) callback(key);
    if (gameFunction) gameFunction();
    for (auto& callback : post)
        if (stillAttached()) callback(key);
}

void Host::ImportReplay() {
    RunOnGameThread([this] { FireEvent(kReplayImportedEvent, nullptr); });
}

void Host::MoveFocus(const std::string& actor) {
    RunOnGameThread([this, actor] {
        FireEvent(kSetFocusActorEvent, [this, actor] {
            std::lock_guard<std::mutex> lock(mu);
            focusActor = actor;
        });
    });
}

void Host::Tick(int count) {
    RunOnGameThread([this, count] {
        for (int i = 0; i < count; ++i) {
            {
                std::lock_guard<std::mutex> lock(mu);
                ++tickCount;
            }
            FireEvent(kReplayTickEvent, nullptr);
        }
    });
}

void Host::DestroyHud() {
    RunOnGameThread([this] { FireEvent(kHudDestroyedEvent, nullptr); });
}

void Host::Wait(double seconds) {
    RunOnGameThread([this, seconds] { Pump(seconds); });
}

// --- Game thread work -----------------------------------------------------------------------

void Host::Pump(double seconds) {
    double until;
    {
        std::lock_guard<std::mutex> lock(mu);
        until = gameTime + std::max(0.0, seconds);
    }
    // Timers fire in due order, each at its own time; a timer set by a timer that falls due
    // within the same wait fires too.
    for (;;) {
        GameCallback due;
        {
            std::lock_guard<std::mutex> lock(mu);
            auto next = std::min_element(timers.begin(), timers.end(), [](const Timer& a, const Timer& b) {
                return a.due != b.due ? a.due < b.due : a.order < b.order;
            });
            if (next == timers.end() || next->due > until) break;
            gameTime = std::max(gameTime, next->due);
            due = std::move(next->callback);
            timers.erase(next);
        }
        due(game.get());
        RunQueued();
    }
    {
        std::lock_guard<std::mutex> lock(mu);
        gameTime = until;
    }
    RunQueued();
}

void Host::RunQueued() {
    // Closures and commands queued while these run wait for the next pump, as on a real frame.
    std::deque<GameCallback> closures;
    std::deque<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(mu);
        closures.swap(executeQueue);
        lines.swap(commandQueue);
    }
    for (auto& closure : closures) {
        uint64_t generation;
        {
            std::lock_guard<std::mutex> lock(mu);
            generation = callbackGeneration;
        }
        closure(game.get());
        std::lock_guard<std::mutex> lock(mu);
        if (generation != callbackGeneration) break;
    }
    for (auto& line : lines) RunCommands(std::make_shared<const CommandList>(SplitCommandLine(line)), 0);
}

// --- Observation ----------------------------------------------------------------------------

bool Host::InReplay() {
    std::lock_guard<std::mutex> lock(mu);
    return inReplay;
}

std::vector<PlayerSpec> Host::Players() {
    std::lock_guard<std::mutex> lock(mu);
    std::vector<PlayerSpec> setups;
    for (const auto& player : players) setups.push_back(player->setup);
    return setups;
}

CameraSnapshot Host::CameraWithoutWrites() const {
    CameraSnapshot snapshot;
    snapshot.exists = inReplay && cameraPresent;
    snapshot.focusActor = focusActor;
    snapshot.state = cameraState;
    snapshot.settings = cameraSettings;
    return snapshot;
}

CameraSnapshot Host::Camera() {
    std::lock_guard<std::mutex> lock(mu);
    CameraSnapshot snapshot = CameraWithoutWrites();
    snapshot.writes = cameraWrites;
    return snapshot;
}

void Host::ClearCameraWrites() {
    std::lock_guard<std::mutex> lock(mu);
    cameraWrites.clear();
}

CameraSnapshot Host::CameraLatest() {
    std::lock_guard<std::mutex> lock(mu);
    CameraSnapshot snapshot = CameraWithoutWrites();
    if (!cameraWrites.empty()) snapshot.writes.push_back(cameraWrites.back());
    return snapshot;
}

std::vector<std::string> Host::LogLines() {
    std::lock_guard<std::mutex> lock(mu);
    return logLines;
}

void Host::LogLinesSince(LogCursor& cursor, std::vector<std::string>& lines) {
    std::lock_guard<std::mutex> lock(mu);
    if (cursor.clears != logClears || cursor.seen > logLines.size()) {
        lines.clear();
        cursor = LogCursor{0, logClears};
    }
    lines.insert(lines.end(), logLines.begin() + static_cast<std::ptrdiff_t>(cursor.seen), logLines.end());
    cursor.seen = logLines.size();
}

void Host::ClearLog() {
    std::lock_guard<std::mutex> lock(mu);
    logLines.clear();
    ++logClears;
}

std::vector<std::string> Host::HookKeys() {
    std::lock_guard<std::mutex> lock(mu);
    std::vector<std::string> keys;
    for (const Hook& hook : hooks) keys.push_back(hook.post ? "post:" + hook.key : hook.key);
    return keys;
}

std::map<std::string, Notifier> Host::Notifiers() {
    std::lock_guard<std::mutex> lock(mu);
    return notifiers;
}

std::vector<std::string> Host::ExecutedCommands() {
    std::lock_guard<std::mutex> lock(mu);
    return executedCommands;
}

size_t Host::PendingTimers() {
    std::lock_guard<std::mutex> lock(mu);
    return timers.size();
}

size_t Host::PendingExecutes() {
    std::lock_guard<std::mutex> lock(mu);
    return executeQueue.size();
}

double Host::GameTime() {
    std::lock_guard<std::mutex> lock(mu);
    return gameTime;
}

uint64_t Host::TickCount() {
    std::lock_guard<std::mutex> lock(mu);
    return tickCount;
}

void Host::DropPluginCallbacks() {
    RunOnGameThread([this] {
        std::lock_guard<std::mutex> lock(mu);
        hooks.clear();
        timers.clear();
        executeQueue.clear();
        notifiers.clear();
        ++callbackGeneration;
    });
}

// --- Threads --------------------------------------------------------------------------------

void Host::StartGameThread(bool autoTick, double tickSeconds) {
    if (gameThread.joinable()) return;
    jobs.Reopen();
    // The thread starts its loop only once its id is recorded, so OnGameThread is right on it
    // and on every other thread from here on.
    std::promise<void> recorded;
    std::shared_future<void> go = recorded.get_future().share();
    gameThread = std::thread([this, autoTick, tickSeconds, go] {
        go.wait();
        GameThreadMain(autoTick, tickSeconds);
    });
    gameThreadId = gameThread.get_id();
    recorded.set_value();
}

void Host::StopGameThread() {
    if (!gameThread.joinable()) return;
    jobs.RequestStop();
    gameThread.join();
    gameThreadId = std::thread::id();
}

bool Host::OnGameThread() const { return std::this_thread::get_id() == gameThreadId; }

void Host::RunOnGameThread(const std::function<void()>& work) {
    if (!gameThread.joinable() || OnGameThread()) {
        work();
        return;
    }
    jobs.RunAndWait(work);
}

void Host::PostToGameThread(std::function<void()> work) {
    if (!gameThread.joinable() || OnGameThread()) {
        work();
        return;
    }
    jobs.Post(std::move(work));
}

void Host::GameThreadMain(bool autoTick, double tickSeconds) {
    const auto frame = std::chrono::duration<double>(tickSeconds);
    while (jobs.RunPending(frame) != JobQueue::Turn::Stopped) {
        Pump(tickSeconds);
        if (autoTick && ticking && InReplay()) Tick(1);
    }
}

}  // namespace sim
