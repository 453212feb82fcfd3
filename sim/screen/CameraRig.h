#pragma once
// The replay camera of the simulator's camera view: where it stands and where it looks, placed
// from the values the camera last received through SetCameraSettings and the player it follows.
//
//   - It stands `Distance` behind the followed player (behind: against the player's heading)
//     and `Height` above the floor the player drives on.
//   - It looks the way the player heads, tilted by `Pitch` ("Angle", degrees; negative looks down).
//   - `FOV` is its horizontal field of view, in degrees.
//   - Stiffness, SwivelSpeed and TransitionSpeed ease its movement (see CameraRig::Update).
//
// This is an illustration of what the values do, made for the simulator; it is not the game's
// camera model, whose easing and framing differ.
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bakkesmod/wrappers/wrapperstructs.h"
#include "sim/screen/CameraScene.h"

namespace sim {

// Nothing nearer to the eye than this is drawn; lines that cross it are cut there.
inline constexpr float kNearPlane = 10.0f;

// What the view knows of the host's camera in one frame.
struct CameraInput {
    bool inReplay = false;
    bool cameraExists = false;
    std::string focusActor;
    bool hasSettings = false;  // the camera has received settings at least once
    ProfileCameraSettings settings{};
};

// The host's camera as the host reports it.
CameraInput CameraInputFrom(bool inReplay, const CameraSnapshot& camera);

struct CameraPose {
    Vec3 eye;
    float yaw = 0.0f;    // radians, from +x towards +y
    float pitch = 0.0f;  // radians, negative looks down
    float fov = 90.0f;   // horizontal, degrees
};

// Where the camera ends up once it has settled on `player` with `settings` (no easing).
CameraPose TargetPose(const ProfileCameraSettings& settings, const ScenePlayer& player);

// A point on screen, in pixels from the viewport's top-left corner; depth is the distance in
// front of the eye along the view direction.
struct ScreenPoint {
    float x = 0.0f, y = 0.0f, depth = 0.0f;
};

// Perspective projection onto a viewport of `width` x `height` pixels with square pixels; the
// horizontal field of view spans the width. Nothing for a point nearer than the near plane (or
// behind the eye), an unusable pose or an empty viewport.
std::optional<ScreenPoint> Project(const CameraPose& pose, Vec3 world, float width, float height);

// A line cut to the part in front of the near plane, then projected; false when none of it is.
bool ProjectSegment(const CameraPose& pose, const Segment& segment, float width, float height, ScreenPoint& a,
                    ScreenPoint& b);

// A convex polygon (a face of a box, the pitch's floor) cut to the part in front of the near
// plane, then projected; empty when none of it is.
std::vector<ScreenPoint> ProjectPolygon(const CameraPose& pose, const std::vector<Vec3>& polygon, float width,
                                        float height);

// Pixels per unit of sideways offset at unit depth: how large things look.
float FocalLength(const CameraPose& pose, float width);

// Why there is no camera to draw from, or nothing when there is one.
std::optional<std::string> CameraProblem(const CameraInput& input, const Scene& scene);

class CameraRig {
public:
    // Follows the camera for one frame: `seconds` of time have passed since the last update.
    //   - Swivel: the camera's heading turns towards the player's at SwivelSpeed x 60 degrees
    //     per second at most, so a sharp turn of the player swings the camera round gradually.
    //   - Stiffness (0 to 1): how tightly the camera's position holds on to where it should be;
    //     it closes the gap at a rate of 3 + 27 x Stiffness per second.
    //   - TransitionSpeed: when the focus moves to another player, the camera glides from where
    //     it was to the new player in 1 / TransitionSpeed seconds.
    // The first usable frame, and the first after a "no camera" frame, place it at once.
    void Update(const CameraInput& input, const Scene& scene, float seconds);
    // The next update places the camera at once, without easing (for pictures of a settled view).
    void Snap() { snap = true; }

    bool HasCamera() const { return valid; }
    const std::string& Reason() const { return reason; }  // why there is no camera
    const CameraPose& Pose() const { return pose; }
    const std::string& FocusId() const { return focus; }

private:
    void Follow(const ProfileCameraSettings& settings, const ScenePlayer& player, float seconds);

    bool valid = false;
    std::string reason = "no replay";
    bool snap = true;
    std::string focus;
    CameraPose pose;
    // The camera as it follows its player, before a focus change's glide is blended in.
    Vec3 followEye;
    float followYaw = 0.0f;
    CameraPose glideFrom;
    float glide = 1.0f;  // progress of the glide, 1 when there is none
};

// The view's camera for the `gui` lines and the state: {"camera": false, "reason": ...} or
// {"camera": true, "focusId", "eye": [x, y, z], "yaw", "pitch" (degrees), "fov"}.
nlohmann::json CameraViewJson(const CameraRig& rig);

}  // namespace sim
