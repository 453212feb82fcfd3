// The game thread and the render thread share the override table and focusedId for real: the
// window is drawn and edited by the GUI host's own thread while the game thread ticks, rebuilds
// the table and takes console commands. Run under ThreadSanitizer, this is what proves the locking.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>

#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

class ThreadsCameraEngine : public GuiTest {};

std::string HumanId(int i) { return "Player_U" + std::to_string(i); }

TEST_F(ThreadsCameraEngine, GameThreadAndGuiFrameShareTheTable) {
    Load();
    std::vector<sim::PlayerSpec> players;
    for (int i = 0; i < 6; ++i) players.push_back(Human("U" + std::to_string(i), "P" + std::to_string(i), OnGrid(70)));
    players.push_back(Bot("Zed", OnGrid(90)));
    Replay(players, "Player_Bot_Zed");
    gui.OpenWindow();
    host.StartGameThread(true);  // the replay now ticks on its own thread
    gui.StartRenderThread();

    std::atomic<bool> gameDone{false};
    std::thread game([&] {
        for (int round = 0; round < 40; ++round) {
            host.ImportReplay();
            host.Wait(2.0);  // the refresh rebuilds the table under the window's feet
            host.MoveFocus(HumanId(round % 6));
            host.RunConsoleLine("vistorb_set fov (70,100)");
            host.RunConsoleLine("vistorb_set enabled 1");
            host.Tick(3);
            if (round % 10 == 5) host.DestroyHud();
        }
        gameDone = true;
    });

    // The user: tabs, the switch and the FOV slider. A widget may be gone for a moment while the
    // table is empty, so single presses may miss; nothing may break.
    for (int i = 0; i < 25 || !gameDone.load(); ++i) {
        gui.Press("P" + std::to_string(i % 6), "vistorb2_");
        gui.Press("Enabled", "vistorb2_");
        gui.DragSlider("FOV", i % 51, 50, "vistorb2_");
    }
    game.join();

    // Settled: one more rebuild, then a last edit in the window, which the camera must get.
    host.ImportReplay();
    host.Wait(2.0);
    host.MoveFocus(HumanId(2));
    gui.Frame(3);
    ASSERT_TRUE(gui.Press("P2", "vistorb2_")) << gui.LastError();
    ASSERT_TRUE(gui.Press("Enabled", "vistorb2_")) << gui.LastError();
    ASSERT_TRUE(gui.DragSlider("FOV", 17, 50, "vistorb2_"));
    host.Wait(0.05);
    gui.StopRenderThread();
    host.StopGameThread();

    const CameraOverride last = Entry(HumanId(2));
    EXPECT_TRUE(last.enabled);
    EXPECT_EQ(last.settings.FOV, 77.0f);
    ProfileCameraSettings expected = OnGrid(70);
    expected.FOV = 77.0f;
    EXPECT_TRUE(Same(LastCameraWrite(), expected)) << "the last edit reached the camera";
    EXPECT_EQ(plugin->cameraOverrides.size(), 7u);

    // Only FOV was ever edited, by the slider (60 to 110) or the console (70 to 100); every other
    // value is the players' own. A write torn between two edits or two players would show.
    const sim::CameraSnapshot camera = host.Camera();
    ASSERT_FALSE(camera.writes.empty());
    for (const sim::CameraWrite& write : camera.writes) {
        SCOPED_TRACE("tick " + std::to_string(write.tick) + ", " + write.focusActor);
        ProfileCameraSettings ownButFov = OnGrid(write.settings.FOV);
        EXPECT_TRUE(Same(write.settings, ownButFov));
        EXPECT_GE(write.settings.FOV, 60.0f);
        EXPECT_LE(write.settings.FOV, 110.0f);
        EXPECT_THAT(write.focusActor, testing::AnyOf(testing::StartsWith("Player_U"), "Player_Bot_Zed"));
    }
}

}  // namespace
}  // namespace gui_test
