#include "sim/screen/CameraView.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <fmt/format.h>

namespace sim {

namespace {

constexpr ImU32 kSky = IM_COL32(38, 52, 82, 255);
constexpr ImU32 kSkyLow = IM_COL32(78, 100, 130, 255);
constexpr ImU32 kGround = IM_COL32(24, 66, 36, 255);
constexpr ImU32 kPitchFloor = IM_COL32(34, 96, 50, 255);
constexpr ImU32 kLine = IM_COL32(235, 240, 235, 220);
constexpr ImU32 kShadow = IM_COL32(0, 0, 0, 90);
constexpr ImU32 kName = IM_COL32(255, 255, 255, 255);
constexpr ImU32 kFocusedName = IM_COL32(255, 225, 90, 255);
constexpr ImU32 kCaption = IM_COL32(230, 235, 245, 255);

// Maps the rig's viewport pixels onto the rectangle of the draw list.
struct Viewport {
    ImVec2 min;
    float width, height;
    ImVec2 At(const ScreenPoint& p) const { return ImVec2(min.x + p.x, min.y + p.y); }
};

void DrawNoCamera(ImDrawList* list, ImVec2 min, ImVec2 max, const std::string& reason) {
    list->AddRectFilled(min, max, kViewNoCameraColour);
    const float line = ImGui::GetFontSize() * 1.4f;
    const ImVec2 centre((min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f);
    const char* title = "no camera";
    const ImVec2 titleSize = ImGui::CalcTextSize(title);
    list->AddText(ImVec2(centre.x - titleSize.x * 0.5f, centre.y - line), kViewNoCameraTextColour, title);
    const ImVec2 reasonSize = ImGui::CalcTextSize(reason.c_str());
    list->AddText(ImVec2(std::max(min.x + 8.0f, centre.x - reasonSize.x * 0.5f), centre.y), kCaption, reason.c_str());
}

// Sky above the horizon, ground below it. The horizon is where level lines far ahead meet.
void DrawBackdrop(ImDrawList* list, const Viewport& view, const CameraPose& pose, ImVec2 max) {
    const float slope = std::tan(pose.pitch);
    float horizon = view.min.y + 0.5f * view.height + FocalLength(pose, view.width) * slope;
    if (!std::isfinite(horizon)) horizon = slope < 0.0f ? view.min.y : max.y;
    horizon = std::clamp(horizon, view.min.y, max.y);
    const bool upright = std::cos(pose.pitch) >= 0.0f;
    const ImVec2 split(max.x, horizon);
    if (upright) {
        list->AddRectFilledMultiColor(view.min, split, kSky, kSky, kSkyLow, kSkyLow);
        list->AddRectFilled(ImVec2(view.min.x, horizon), max, kGround);
    } else {
        list->AddRectFilled(view.min, split, kGround);
        list->AddRectFilledMultiColor(ImVec2(view.min.x, horizon), max, kSkyLow, kSkyLow, kSky, kSky);
    }
}

void DrawPolygon(ImDrawList* list, const Viewport& view, const CameraPose& pose, const std::vector<Vec3>& corners,
                 ImU32 colour) {
    const std::vector<ScreenPoint> shown = ProjectPolygon(pose, corners, view.width, view.height);
    if (shown.size() < 3) return;
    std::vector<ImVec2> points;
    for (const ScreenPoint& p : shown) points.push_back(view.At(p));
    list->AddConvexPolyFilled(points.data(), static_cast<int>(points.size()), colour);
}

void DrawPitch(ImDrawList* list, const Viewport& view, const CameraPose& pose) {
    const float l = kPitchHalfLength, w = kPitchHalfWidth;
    DrawPolygon(list, view, pose, {{-l, -w, 0}, {l, -w, 0}, {l, w, 0}, {-l, w, 0}}, kPitchFloor);
    for (const Segment& segment : PitchLines()) {
        ScreenPoint a, b;
        if (ProjectSegment(pose, segment, view.width, view.height, a, b))
            list->AddLine(view.At(a), view.At(b), kLine, 2.0f);
    }
}

ImU32 Shade(Rgb colour, float light) {
    const auto scale = [light](unsigned char c) { return static_cast<int>(std::clamp(c * light, 0.0f, 255.0f)); };
    return IM_COL32(scale(colour.r), scale(colour.g), scale(colour.b), 255);
}

void DrawBall(ImDrawList* list, const Viewport& view, const CameraPose& pose, Vec3 ball) {
    const float focal = FocalLength(pose, view.width);
    if (auto shadow = Project(pose, Vec3{ball.x, ball.y, 0.0f}, view.width, view.height))
        list->AddCircleFilled(view.At(*shadow), focal * kBallRadius / shadow->depth, kShadow, 24);
    if (auto centre = Project(pose, ball, view.width, view.height))
        list->AddCircleFilled(view.At(*centre), focal * kBallRadius / centre->depth, kViewBallColour, 32);
}

// A player's box: only the faces turned towards the eye, so no face hides another wrongly.
void DrawPlayerBox(ImDrawList* list, const Viewport& view, const CameraPose& pose, const ScenePlayer& player) {
    const Vec3 f{std::cos(player.heading), std::sin(player.heading), 0.0f};
    const Vec3 s{-f.y, f.x, 0.0f};
    const Vec3 up{0.0f, 0.0f, 1.0f};
    const Vec3 centre = player.position + up * (0.5f * kCarHeight);
    const Vec3 half[3] = {f * (0.5f * kCarLength), s * (0.5f * kCarWidth), up * (0.5f * kCarHeight)};
    const float light[3] = {0.8f, 0.65f, 1.0f};  // front/back, sides, top/bottom
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {-1.0f, 1.0f}) {
            const Vec3 normal = half[axis] * sign;
            const Vec3 faceCentre = centre + normal;
            if (Dot(normal, pose.eye - faceCentre) <= 0.0f) continue;
            const Vec3& u = half[(axis + 1) % 3];
            const Vec3& v = half[(axis + 2) % 3];
            DrawPolygon(list, view, pose,
                        {faceCentre + u + v, faceCentre - u + v, faceCentre - u - v, faceCentre + u - v},
                        Shade(player.colour, sign > 0.0f || axis != 2 ? light[axis] : 0.4f));
        }
    }
}

void DrawName(ImDrawList* list, const Viewport& view, const CameraPose& pose, const ScenePlayer& player,
              bool focused) {
    const auto above = Project(pose, player.position + Vec3{0.0f, 0.0f, kCarHeight + 30.0f}, view.width, view.height);
    if (!above) return;
    const ImVec2 size = ImGui::CalcTextSize(player.name.c_str());
    const ImVec2 at = view.At(*above);
    const ImVec2 corner(at.x - size.x * 0.5f, at.y - size.y);
    list->AddText(ImVec2(corner.x + 1.0f, corner.y + 1.0f), IM_COL32(0, 0, 0, 200), player.name.c_str());
    list->AddText(corner, focused ? kFocusedName : kName, player.name.c_str());
}

// The ball and the players, the farthest first, so nearer ones cover them.
void DrawBodies(ImDrawList* list, const Viewport& view, const CameraPose& pose, const Scene& scene,
                const std::string& focus) {
    struct Body {
        float depth;
        const ScenePlayer* player;  // null: the ball
    };
    const Vec3 forward{std::cos(pose.pitch) * std::cos(pose.yaw), std::cos(pose.pitch) * std::sin(pose.yaw),
                       std::sin(pose.pitch)};
    std::vector<Body> bodies{{Dot(scene.ball - pose.eye, forward), nullptr}};
    for (const ScenePlayer& player : scene.players)
        bodies.push_back(Body{Dot(player.position - pose.eye, forward), &player});
    std::stable_sort(bodies.begin(), bodies.end(), [](const Body& a, const Body& b) { return a.depth > b.depth; });
    for (const Body& body : bodies) {
        if (!body.player) {
            DrawBall(list, view, pose, scene.ball);
            continue;
        }
        DrawPlayerBox(list, view, pose, *body.player);
        DrawName(list, view, pose, *body.player, body.player->focusId == focus);
    }
}

void DrawCaption(ImDrawList* list, ImVec2 min, const Scene& scene, const CameraRig& rig) {
    const ScenePlayer* followed = FindScenePlayer(scene, rig.FocusId());
    const std::string caption = fmt::format("Camera view: following {}, FOV {:.0f}, tick {}",
                                            followed ? followed->name : rig.FocusId(), rig.Pose().fov, scene.tick);
    list->AddText(ImVec2(min.x + 8.0f, min.y + 6.0f), kCaption, caption.c_str());
}

}  // namespace

void DrawCameraView(ImDrawList* list, ImVec2 min, ImVec2 max, const Scene& scene, const CameraRig& rig) {
    if (!list || !(max.x > min.x) || !(max.y > min.y)) return;
    list->PushClipRect(min, max, true);
    if (!rig.HasCamera()) {
        DrawNoCamera(list, min, max, rig.Reason());
    } else {
        const Viewport view{min, max.x - min.x, max.y - min.y};
        const CameraPose& pose = rig.Pose();
        DrawBackdrop(list, view, pose, max);
        DrawPitch(list, view, pose);
        DrawBodies(list, view, pose, scene, rig.FocusId());
        DrawCaption(list, min, scene, rig);
    }
    list->PopClipRect();
}

}  // namespace sim
