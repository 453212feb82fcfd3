// Everything the plugin does to the replay camera. These run on the game thread only; the GUI
// reaches them through closures queued with GameWrapper::Execute.
#include <mutex>
#include <optional>
#include <string>

#include "core/Guarded.h"
#include "core/LogLine.h"
#include "plugin/Vistorb.h"

namespace {

// The replay camera and the focus actor it follows. Every camera operation starts with the same
// three questions: is a replay watched, is there a camera, does it follow anything.
struct FollowedCamera {
    CameraWrapper camera;
    std::string focus;
};

std::optional<FollowedCamera> FindFollowedCamera(GameWrapper& game, bool reportNotInReplay) {
    if (!game.IsInReplay()) {
        if (reportNotInReplay) LogLine("not in replay");
        return std::nullopt;
    }
    CameraWrapper camera = game.GetCamera();
    if (!camera) return std::nullopt;
    std::string focus = camera.GetFocusActor();
    if (focus.empty()) return std::nullopt;
    return FollowedCamera{camera, std::move(focus)};
}

}  // namespace

void Vistorb::ApplyCameraOverride(const CameraOverride& override) {
    auto followed = FindFollowedCamera(*gameHandle, true);
    // Only the player the camera follows gets their values written.
    if (!followed || followed->focus != override.focusId) return;
    followed->camera.SetCameraSettings(override.enabled ? override.settings : override.defaultSettings);
}

void Vistorb::ApplyFocusedOverride() {
    auto followed = FindFollowedCamera(*gameHandle, true);
    if (!followed) return;

    // Copy the entry out so the camera is written without the lock held; the GUI may edit or
    // the table may be rebuilt meanwhile, and the next tick picks that up.
    std::optional<CameraOverride> entry;
    {
        std::lock_guard<std::mutex> lock(stateLock);
        auto found = cameraOverrides.find(followed->focus);
        if (found != cameraOverrides.end()) entry = found->second;
    }
    if (!entry) return;
    ApplyCameraOverride(*entry);
}

void Vistorb::UpdateFocusedPlayer() {
    auto followed = FindFollowedCamera(*gameHandle, false);
    if (!followed) return;
    std::lock_guard<std::mutex> lock(stateLock);
    focusedId = std::move(followed->focus);
}

void Vistorb::FocusPlayer(const CameraOverride& override) {
    if (!gameHandle->IsInReplay()) {
        LogLine("not in replay");
        return;
    }
    CameraWrapper camera = gameHandle->GetCamera();
    if (!camera) return;
    camera.SetCameraState("PlayerView");
    camera.SetFocusActor(override.focusId);
}

void Vistorb::OverridePlayerCameraFromGui(CameraOverride& override) {
    // The closure carries its own copy: by the time the game thread runs it, the GUI may have
    // edited the entry again or the table may have been rebuilt.
    gameHandle->Execute([this, copy = override](GameWrapper*) {
        RunGuarded("camera override", [&] { ApplyCameraOverride(copy); });
    });
}
