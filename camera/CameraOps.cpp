// Everything the plugin does to the replay camera.
#include "camera/CameraOps.h"

#include <optional>
#include <utility>

#include "core/LogLine.h"

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

void ApplyCameraOverride(GameWrapper& game, const CameraOverride& override) {
    auto followed = FindFollowedCamera(game, true);
    // Only the player the camera follows gets their values written.
    if (!followed || followed->focus != override.focusId) return;
    followed->camera.SetCameraSettings(override.enabled ? override.settings : override.defaultSettings);
}

void ApplyFocusedOverride(GameWrapper& game, SharedCameraState state) {
    auto followed = FindFollowedCamera(game, true);
    if (!followed) return;

    // A copy: the GUI may edit the entry or the table may be rebuilt while the camera is written,
    // and the next tick picks that up.
    std::optional<CameraOverride> entry = state.Find(followed->focus);
    if (!entry) return;
    ApplyCameraOverride(game, *entry);
}

void UpdateFocusedPlayer(GameWrapper& game, SharedCameraState state) {
    auto followed = FindFollowedCamera(game, false);
    if (!followed) return;
    state.SetFocus(std::move(followed->focus));
}

void FocusPlayer(GameWrapper& game, const CameraOverride& override) {
    if (!game.IsInReplay()) {
        LogLine("not in replay");
        return;
    }
    CameraWrapper camera = game.GetCamera();
    if (!camera) return;
    camera.SetCameraState("PlayerView");
    camera.SetFocusActor(override.focusId);
}
