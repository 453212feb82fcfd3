// The camera view as drawn: read back from the frame's vertices in a headless GUI.
#include <cmath>

#include "sim/screen/CameraView.h"
#include "tests/CameraViewSupport.h"
#include "tests/PlayerSupport.h"

namespace camera_view_test {
namespace {

// The view's rectangle: offset from the display's corner, so the offset is checked too.
const ImVec2 kMin(100, 50), kMax(740, 530);

sim::CameraInput Following(const std::string& focus, const ProfileCameraSettings& values) {
    sim::CameraInput input;
    input.inReplay = input.cameraExists = input.hasSettings = true;
    input.focusActor = focus;
    input.settings = values;
    return input;
}

struct Drawn {
    HeadlessGui gui{800, 600};
    sim::Scene scene;
    sim::CameraRig rig;

    explicit Drawn(const sim::CameraInput& input, uint64_t tick = 0) {
        scene = sim::SceneAt({test_players::Bot("Zed", 100.0f), test_players::Bot("Cap", 95.0f)}, tick);
        rig.Update(input, scene, 0.0f);
        gui.draw = [this] { sim::DrawCameraView(ImGui::GetBackgroundDrawList(), kMin, kMax, scene, rig); };
        gui.Frame();
    }

    template <typename Visit>
    void EachVertex(Visit&& visit) {
        const ImDrawData* data = ImGui::GetDrawData();
        for (int l = 0; l < data->CmdListsCount; ++l)
            for (const ImDrawVert& v : data->CmdLists[l]->VtxBuffer) visit(v);
    }
};

// At tick 0 the ball lies on the centre spot, (0, 0, 93), and Zed (the first player) stands at
// (-800, -2200) heading +y. With Distance 300, Height 100 and Angle -10 the eye is at
// (-800, -2500, 100), looking along +y, 10 degrees down. Worked by hand for a 640 x 480 view:
// depth 2463.23; FOV 90 puts the ball at (423.93, 184.50) of the view, FOV 60 at (500.01, 143.87).
TEST(CameraViewDraw, TheBallAtAKnownMomentLandsAtTheExpectedPixel) {
    struct Case {
        float fov;
        float x, y;
    };
    for (const Case c : {Case{90, 423.93f, 184.50f}, Case{60, 500.01f, 143.87f}}) {
        SCOPED_TRACE(c.fov);
        Drawn drawn(Following("Player_Bot_Zed", ProfileCameraSettings{c.fov, 100, -10, 300, 0.5f, 4, 1.2f}));
        // The ball is a regular polygon in its own colour: its corners average to its centre.
        float sumX = 0, sumY = 0;
        int count = 0;
        drawn.EachVertex([&](const ImDrawVert& v) {
            if (v.col != sim::kViewBallColour) return;
            sumX += v.pos.x;
            sumY += v.pos.y;
            ++count;
        });
        ASSERT_GT(count, 0) << "the ball is not drawn";
        EXPECT_NEAR(sumX / count, kMin.x + c.x, 0.5f);
        EXPECT_NEAR(sumY / count, kMin.y + c.y, 0.5f);
        EXPECT_TRUE(drawn.gui.Shows("Camera view: following Zed")) << "the caption names the followed player";
        EXPECT_TRUE(drawn.gui.ShowsWord("Zed")) << "players carry their names";
    }
}

TEST(CameraViewDraw, WithoutACameraThePanelSaysWhy) {
    sim::CameraInput lost = Following("Player_Bot_Gone", ProfileCameraSettings{90, 100, -10, 300, 0.5f, 4, 1.2f});
    Drawn drawn(lost);
    EXPECT_TRUE(drawn.gui.Shows("no camera"));
    EXPECT_TRUE(drawn.gui.Shows("the camera follows 'Player_Bot_Gone', who is not a player of the replay"));
    drawn.EachVertex([&](const ImDrawVert& v) { EXPECT_NE(v.col, sim::kViewBallColour) << "no scene behind it"; });
}

// Extreme but valid cameras: straight up or down, a hair-wide or nearly flat view, the eye inside
// a player's box. Every vertex is a number, and everything stays inside the view's rectangle.
TEST(CameraViewDraw, ExtremeCamerasDrawNoGarbageAndStayInTheirRectangle) {
    const ProfileCameraSettings cases[] = {
        {90, 100, -90, 300, 0.5f, 4, 1.2f},  {90, 100, 90, 300, 0.5f, 4, 1.2f},
        {179.9f, 50, -15, 300, 0.5f, 4, 1.2f}, {0.01f, 100, -5, 300, 0.5f, 4, 1.2f},
        {90, 10, 0, 0.001f, 0.5f, 4, 1.2f},   {110, -500, 30, 400, 0.5f, 4, 1.2f},
    };
    for (const ProfileCameraSettings& values : cases) {
        SCOPED_TRACE(::testing::Message() << "FOV " << values.FOV << " angle " << values.Pitch);
        for (uint64_t tick : {0ull, 977ull}) {
            Drawn drawn(Following("Player_Bot_Zed", values), tick);
            ASSERT_TRUE(drawn.rig.HasCamera()) << drawn.rig.Reason();
            drawn.EachVertex([&](const ImDrawVert& v) {
                ASSERT_TRUE(std::isfinite(v.pos.x) && std::isfinite(v.pos.y));
            });
            const ImDrawList* list = ImGui::GetBackgroundDrawList();
            for (const ImDrawCmd& cmd : list->CmdBuffer) {
                if (cmd.ElemCount == 0) continue;
                EXPECT_GE(cmd.ClipRect.x, kMin.x);
                EXPECT_GE(cmd.ClipRect.y, kMin.y);
                EXPECT_LE(cmd.ClipRect.z, kMax.x);
                EXPECT_LE(cmd.ClipRect.w, kMax.y);
            }
        }
    }
}

}  // namespace
}  // namespace camera_view_test
