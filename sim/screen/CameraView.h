#pragma once
// The camera view: the replay scene as the replay camera sees it, drawn by the host's GUI.
//
// It is drawn into an ImGui draw list with our own projection (CameraRig.h), not with OpenGL:
// draw lists work the same in the headless GUI host and in the window, need no GL context, and
// tests can read the frame back from the vertices.
#include "imgui.h"
#include "sim/screen/CameraRig.h"
#include "sim/screen/CameraScene.h"

namespace sim {

// Colours a reader of the frame (a test, a screenshot check) can look for.
inline constexpr ImU32 kViewBallColour = IM_COL32(250, 250, 246, 255);
inline constexpr ImU32 kViewNoCameraColour = IM_COL32(24, 26, 32, 255);
inline constexpr ImU32 kViewNoCameraTextColour = IM_COL32(255, 190, 90, 255);

// Draws the view over the rectangle from `min` to `max` of `list`, inside the current frame:
// the scene from the rig's camera, or, when the rig has none, a plain "no camera" panel that
// says why. Nothing is drawn outside the rectangle.
void DrawCameraView(ImDrawList* list, ImVec2 min, ImVec2 max, const Scene& scene, const CameraRig& rig);

}  // namespace sim
