// Building the override table from the players of the open replay.
#include "camera/Roster.h"

#include <cstring>
#include <utility>

#include <fmt/format.h>

#include "core/LogLine.h"

namespace {

// Under host build 162 the player's own camera profile is taken straight from game memory
// instead of through PriWrapper::GetCameraSettings: a pointer at 0x600 of the player's game
// object, and the seven floats, in ProfileCameraSettings order, at 0x278 of what it points to.
constexpr int kRawCameraBuild = 162;
constexpr uintptr_t kPriCameraPointerOffset = 0x600;
constexpr uintptr_t kCameraSettingsOffset = 0x278;

ProfileCameraSettings ReadCameraSettings(GameWrapper& game, PriWrapper& pri) {
    if (game.GetBakkesModVersion() != kRawCameraBuild) return pri.GetCameraSettings();

    ProfileCameraSettings settings{};
    uintptr_t cameraObject = 0;
    std::memcpy(&cameraObject, reinterpret_cast<const void*>(pri.memory_address + kPriCameraPointerOffset),
                sizeof cameraObject);
    if (cameraObject == 0) {
        LogLine("null camera");
        return settings;
    }
    std::memcpy(&settings, reinterpret_cast<const void*>(cameraObject + kCameraSettingsOffset), sizeof settings);
    return settings;
}

// The game may hand over a null name string, which the SDK cannot read: it counts as no name.
std::string PlayerNameOf(PriWrapper& pri) {
    UnrealStringWrapper name = pri.GetPlayerName();
    return name.IsNull() ? std::string() : name.ToString();
}

std::string FocusIdOf(PriWrapper& pri) {
    std::string id = pri.GetbBot() != 0 ? fmt::format("Bot_{}", PlayerNameOf(pri))
                                        : pri.GetUniqueIdWrapper().GetIdString();
    return "Player_" + id;
}

}  // namespace

void RefreshPlayers(GameWrapper& game, SharedCameraState state) {
    // The host is asked for everything first, without the lock, and the finished table is
    // swapped in at the end: the GUI frame never waits on game calls, and never sees a table
    // that is half built. The old table dies outside the lock as well.
    CameraOverrideTable roster;
    auto install = [&] { CameraOverrideTable old = state.Replace(std::move(roster)); };

    ReplayServerWrapper server = game.GetGameEventAsReplay();
    if (!server) {
        install();
        LogLine("no server");
        return;
    }

    // A null player array is a replay without players: an empty table, and nothing to say.
    ArrayWrapper<PriWrapper> pris = server.GetPRIs();
    int count = pris.IsNull() ? 0 : pris.Count();
    for (int i = 0; i < count; ++i) {
        PriWrapper pri = pris.Get(i);
        if (!pri) continue;

        ProfileCameraSettings own = ReadCameraSettings(game, pri);
        CameraOverride entry;
        entry.enabled = false;
        entry.settings = own;
        entry.defaultSettings = own;
        entry.focusId = FocusIdOf(pri);
        entry.playerName = PlayerNameOf(pri);

        // A later player with the same focus id is dropped: the first one keeps the entry.
        std::string key = entry.focusId;
        roster.emplace(std::move(key), std::move(entry));
    }
    install();
}
