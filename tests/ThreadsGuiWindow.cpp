// The GUI host's render thread draws the window while the game thread ticks the replay and
// rebuilds the override table. Run under ThreadSanitizer, this proves the window's locking.
#include <atomic>
#include <thread>

#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

class ThreadsGuiWindow : public GuiTest {};

TEST_F(ThreadsGuiWindow, TheRenderThreadDrawsAndEditsWhileTheGameThreadRebuildsTheTable) {
    PresetFile("Wide", Camera(110, 120, -5, 300, 0.4f, 5, 1.5f));
    Load();
    std::vector<sim::PlayerSpec> players;
    for (int i = 0; i < 5; ++i) players.push_back(Human("U" + std::to_string(i), "P" + std::to_string(i), OnGrid(70)));
    players.push_back(Bot("Zed", OnGrid(90)));
    Replay(players, "Player_Bot_Zed");
    gui.OpenWindow();

    host.StartGameThread(true);
    gui.StartRenderThread();

    // The game side: imports rebuild the table, the focus moves, the HUD goes and comes back.
    std::atomic<bool> stop{false};
    std::thread game([&] {
        for (int round = 0; !stop.load(); ++round) {
            host.ImportReplay();
            host.Wait(2.0);
            host.MoveFocus(round % 2 ? "Player_U" + std::to_string(round % 5) : "Player_Bot_Zed");
            host.Tick(2);
            if (round % 7 == 3) host.DestroyHud();
        }
    });

    // The user, meanwhile: tabs, the switch, sliders, a preset applied. Widgets may be gone for
    // a moment while the table is empty, so single presses may miss; nothing may break.
    for (int i = 0; i < 25; ++i) {
        gui.Press("P" + std::to_string(i % 5), "vistorb2_");
        gui.Press("Enabled", "vistorb2_");
        gui.DragSlider("FOV", i % 51, 50, "vistorb2_");
        gui.Press("Wide", "presets table");
        gui.Press("Apply", "vistorb2-right");
    }
    stop = true;
    game.join();

    // Settled: one more rebuild, then a last edit that must reach the camera.
    host.ImportReplay();
    host.Wait(2.0);
    host.MoveFocus("Player_Bot_Zed");
    gui.Frame(3);
    ASSERT_TRUE(gui.Press("Enabled", "vistorb2_")) << gui.LastError();
    ASSERT_TRUE(gui.DragSlider("FOV", 10, 50, "vistorb2_"));
    EXPECT_TRUE(Entry("Player_Bot_Zed").enabled);
    EXPECT_EQ(Entry("Player_Bot_Zed").settings.FOV, 70.0f);
    host.Wait(0.05);
    EXPECT_EQ(LastCameraWrite().FOV, 70.0f);

    gui.StopRenderThread();
    host.StopGameThread();
}

TEST_F(ThreadsGuiWindow, MenuRequestsFromTheGameThreadReachTheRenderThread) {
    Load();
    host.StartGameThread(false);
    gui.StartRenderThread();
    gui.ShowSettings(true);
    ASSERT_TRUE(gui.Press("Open")) << gui.LastError();
    host.Wait(0.05);  // the game thread runs the command; its sleep ends
    host.Wait(0.05);
    gui.Frame(2);
    EXPECT_TRUE(gui.WindowOpen());
    EXPECT_TRUE(gui.FindText("Saved Camera Presets"));
    host.RunConsoleLine("togglemenu Vistorb");
    gui.Frame();
    EXPECT_FALSE(gui.WindowOpen());
    gui.StopRenderThread();
    host.StopGameThread();
    EXPECT_FALSE(plugin->isWindowOpen);
}

}  // namespace
}  // namespace gui_test
