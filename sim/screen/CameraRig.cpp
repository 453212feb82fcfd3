#include "sim/screen/CameraRig.h"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "core/CameraValues.h"

namespace sim {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDegrees = kPi / 180.0f;

Vec3 Flat(float yaw) { return Vec3{std::cos(yaw), std::sin(yaw), 0.0f}; }

// The angle from `from` to `to` the short way round, in (-pi, pi].
float Turn(float from, float to) { return std::remainder(to - from, 2.0f * kPi); }

// The view's axes: forward along yaw and pitch, right level with the floor, up completing them.
struct Axes {
    Vec3 forward, right, up;
};

Axes AxesOf(const CameraPose& pose) {
    const float cp = std::cos(pose.pitch), sp = std::sin(pose.pitch);
    const float cy = std::cos(pose.yaw), sy = std::sin(pose.yaw);
    Axes axes;
    axes.forward = Vec3{cp * cy, cp * sy, sp};
    axes.right = Vec3{sy, -cy, 0.0f};
    axes.up = Vec3{-sp * cy, -sp * sy, cp};  // right x forward
    return axes;
}

float Focal(const CameraPose& pose, float width) { return 0.5f * width / std::tan(0.5f * pose.fov * kDegrees); }

// A field of view so narrow that its half-angle's tangent rounds to 0 would make the focal
// length infinite; that too is no usable view.
bool Usable(const CameraPose& pose, float width, float height) {
    return std::isfinite(pose.fov) && pose.fov > 0.0f && pose.fov < 180.0f && std::isfinite(pose.pitch) &&
           std::isfinite(pose.yaw) && width > 0.0f && height > 0.0f && std::isfinite(Focal(pose, width));
}

ScreenPoint ToScreen(const CameraPose& pose, Vec3 view, float width, float height) {
    // view: x right, y up, z depth (z >= near plane, checked by the callers)
    const float focal = Focal(pose, width);
    return ScreenPoint{0.5f * width + focal * view.x / view.z, 0.5f * height - focal * view.y / view.z, view.z};
}

Vec3 ToView(const Axes& axes, const CameraPose& pose, Vec3 world) {
    const Vec3 d = world - pose.eye;
    return Vec3{Dot(d, axes.right), Dot(d, axes.up), Dot(d, axes.forward)};
}

float Smooth(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

const char* NonFinite(const ProfileCameraSettings& s) {
    for (const CameraValue& value : kCameraValues)
        if (!std::isfinite(s.*value.member)) return value.jsonKey;
    return nullptr;
}

}  // namespace

CameraInput CameraInputFrom(bool inReplay, const CameraSnapshot& camera) {
    CameraInput input;
    input.inReplay = inReplay;
    input.cameraExists = camera.exists;
    input.focusActor = camera.focusActor;
    input.hasSettings = !camera.writes.empty();
    input.settings = camera.settings;
    return input;
}

CameraPose TargetPose(const ProfileCameraSettings& settings, const ScenePlayer& player) {
    CameraPose pose;
    pose.yaw = player.heading;
    pose.pitch = settings.Pitch * kDegrees;
    pose.fov = settings.FOV;
    pose.eye = player.position - Flat(player.heading) * settings.Distance + Vec3{0.0f, 0.0f, settings.Height};
    return pose;
}

std::optional<ScreenPoint> Project(const CameraPose& pose, Vec3 world, float width, float height) {
    if (!Usable(pose, width, height)) return std::nullopt;
    const Vec3 view = ToView(AxesOf(pose), pose, world);
    if (!(view.z >= kNearPlane)) return std::nullopt;  // also refuses NaN
    const ScreenPoint point = ToScreen(pose, view, width, height);
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) return std::nullopt;
    return point;
}

bool ProjectSegment(const CameraPose& pose, const Segment& segment, float width, float height, ScreenPoint& a,
                    ScreenPoint& b) {
    if (!Usable(pose, width, height)) return false;
    const Axes axes = AxesOf(pose);
    Vec3 va = ToView(axes, pose, segment.a), vb = ToView(axes, pose, segment.b);
    const bool aIn = va.z >= kNearPlane, bIn = vb.z >= kNearPlane;
    if (!aIn && !bIn) return false;
    if (aIn != bIn) {
        // Cut at the near plane; the two depths differ, so the division is safe.
        const float t = (kNearPlane - va.z) / (vb.z - va.z);
        const Vec3 cut = va + (vb - va) * t;
        (aIn ? vb : va) = Vec3{cut.x, cut.y, kNearPlane};
    }
    a = ToScreen(pose, va, width, height);
    b = ToScreen(pose, vb, width, height);
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) && std::isfinite(b.y);
}

std::vector<ScreenPoint> ProjectPolygon(const CameraPose& pose, const std::vector<Vec3>& polygon, float width,
                                        float height) {
    std::vector<ScreenPoint> shown;
    if (!Usable(pose, width, height) || polygon.empty()) return shown;
    const Axes axes = AxesOf(pose);
    std::vector<Vec3> view;
    for (const Vec3& corner : polygon) view.push_back(ToView(axes, pose, corner));
    // Each edge keeps its part in front of the near plane (one pass of polygon clipping).
    for (size_t i = 0; i < view.size(); ++i) {
        const Vec3& a = view[i];
        const Vec3& b = view[(i + 1) % view.size()];
        const bool aIn = a.z >= kNearPlane, bIn = b.z >= kNearPlane;
        if (aIn) shown.push_back(ToScreen(pose, a, width, height));
        if (aIn != bIn) {
            const float t = (kNearPlane - a.z) / (b.z - a.z);
            const Vec3 cut = a + (b - a) * t;
            shown.push_back(ToScreen(pose, Vec3{cut.x, cut.y, kNearPlane}, width, height));
        }
    }
    for (const ScreenPoint& p : shown)
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return {};
    return shown;
}

float FocalLength(const CameraPose& pose, float width) {
    return Usable(pose, width, 1.0f) ? Focal(pose, width) : 0.0f;
}

std::optional<std::string> CameraProblem(const CameraInput& input, const Scene& scene) {
    if (!input.inReplay) return std::string("no replay");
    if (!input.cameraExists) return std::string("the replay has no camera");
    if (input.focusActor.empty()) return std::string("the camera follows nobody");
    if (!FindScenePlayer(scene, input.focusActor))
        return fmt::format("the camera follows '{}', who is not a player of the replay", input.focusActor);
    if (!input.hasSettings) return std::string("the camera has not received any settings yet");
    const ProfileCameraSettings& s = input.settings;
    if (const char* name = NonFinite(s)) return fmt::format("the camera's {} is not a finite number", name);
    if (!(s.FOV > 0.0f && s.FOV < 180.0f))
        return fmt::format("the camera's FOV is {}: it must lie between 0 and 180 degrees", s.FOV);
    CameraPose lens;
    lens.fov = s.FOV;
    if (FocalLength(lens, 1.0f) == 0.0f) return fmt::format("the camera's FOV is {}: too narrow to see through", s.FOV);
    if (!(s.Distance > 0.0f)) return fmt::format("the camera's Distance is {}: it must be above 0", s.Distance);
    return std::nullopt;
}

void CameraRig::Update(const CameraInput& input, const Scene& scene, float seconds) {
    if (std::optional<std::string> problem = CameraProblem(input, scene)) {
        valid = false;
        reason = std::move(*problem);
        snap = true;
        return;
    }
    const ScenePlayer& player = *FindScenePlayer(scene, input.focusActor);
    const CameraPose target = TargetPose(input.settings, player);
    const float dt = std::isfinite(seconds) ? std::max(0.0f, seconds) : 0.0f;
    const float transitionSpeed = input.settings.TransitionSpeed;
    if (snap || !valid || input.focusActor != focus) {
        // A new focus glides over from where the camera was; a first sight places it at once.
        glideFrom = pose;
        glide = !snap && valid && transitionSpeed > 0.0f ? 0.0f : 1.0f;
        followEye = target.eye;
        followYaw = target.yaw;
        focus = input.focusActor;
        snap = false;
    } else {
        Follow(input.settings, player, dt);
        glide = transitionSpeed > 0.0f ? std::min(1.0f, glide + dt * transitionSpeed) : 1.0f;
    }
    valid = true;
    reason.clear();
    pose = CameraPose{followEye, followYaw, target.pitch, target.fov};
    if (glide < 1.0f) {
        const float s = Smooth(glide);
        pose.eye = glideFrom.eye + (followEye - glideFrom.eye) * s;
        pose.yaw = glideFrom.yaw + Turn(glideFrom.yaw, followYaw) * s;
        pose.pitch = glideFrom.pitch + (target.pitch - glideFrom.pitch) * s;
        pose.fov = glideFrom.fov + (target.fov - glideFrom.fov) * s;
    }
}

void CameraRig::Follow(const ProfileCameraSettings& settings, const ScenePlayer& player, float seconds) {
    const float swivel = std::max(settings.SwivelSpeed, 0.1f) * 60.0f * kDegrees;
    const float turn = Turn(followYaw, player.heading);
    followYaw = std::remainder(followYaw + std::clamp(turn, -swivel * seconds, swivel * seconds), 2.0f * kPi);
    const Vec3 wanted = player.position - Flat(followYaw) * settings.Distance + Vec3{0.0f, 0.0f, settings.Height};
    const float rate = 3.0f + 27.0f * std::clamp(settings.Stiffness, 0.0f, 1.0f);
    followEye = followEye + (wanted - followEye) * (1.0f - std::exp(-rate * seconds));
}

nlohmann::json CameraViewJson(const CameraRig& rig) {
    if (!rig.HasCamera()) return nlohmann::json{{"camera", false}, {"reason", rig.Reason()}};
    const CameraPose& pose = rig.Pose();
    return nlohmann::json{{"camera", true},
                          {"focusId", rig.FocusId()},
                          {"eye", {pose.eye.x, pose.eye.y, pose.eye.z}},
                          {"yaw", pose.yaw / kDegrees},
                          {"pitch", pose.pitch / kDegrees},
                          {"fov", pose.fov}};
}

}  // namespace sim
