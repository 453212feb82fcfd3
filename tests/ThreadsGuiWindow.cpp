// The GUI host's render thread draws the window while the game thread ticks the replay and
// rebuilds the override table. Run under ThreadSanitizer, this proves the window's locking.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
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

// A save that stalls: its log line waits on a latch that the test lets go only after the game
// thread has ticked on, writing the camera, many times. A save made while the GUI holds the table
// would hold up every tick, and this test would never finish.
TEST_F(ThreadsGuiWindow, ASaveThatStallsOnTheRenderThreadNeverHoldsUpATick) {
    Load();
    Replay({Bot("Zed", OnGrid(90))}, "Player_Bot_Zed");
    ShowWindow();
    ASSERT_TRUE(gui.Press("Enabled", "vistorb2_"));
    ASSERT_TRUE(gui.Press("Save Preset", "vistorb2_"));
    gui.Frame();  // the popup shows

    std::mutex latchLock;
    std::condition_variable latch;
    bool stalled = false, released = false;
    host.SetLogEcho([&](const std::string& line) {
        if (line.rfind("Saving preset", 0) != 0) return;
        std::unique_lock<std::mutex> lock(latchLock);
        stalled = true;
        latch.notify_all();
        latch.wait(lock, [&] { return released; });
    });
    host.StartGameThread(true);
    bool saved = false;
    std::thread render([&] { saved = gui.Press("Save", "##Popup"); });  // the frames, on a thread of their own
    {
        std::unique_lock<std::mutex> lock(latchLock);
        latch.wait(lock, [&] { return stalled; });
    }

    // Sixty ticks that write the camera must pass while the save is stalled. Polled gently and
    // through the latest write alone: copying the whole write log in a tight loop would crowd out
    // the game thread under a slow sanitizer build.
    const auto lastWriteTick = [&] {
        const sim::CameraSnapshot camera = host.CameraLatest();
        return camera.writes.empty() ? uint64_t{0} : camera.writes.back().tick;
    };
    const uint64_t before = lastWriteTick();
    constexpr uint64_t kTicks = 60;
    while (lastWriteTick() < before + kTicks) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    {
        std::lock_guard<std::mutex> lock(latchLock);
        released = true;
    }
    latch.notify_all();
    render.join();
    host.StopGameThread();
    host.SetLogEcho(nullptr);

    EXPECT_TRUE(saved);
    EXPECT_TRUE(std::filesystem::exists(PresetFolder() / "Zed.json"));
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"Zed"});
    EXPECT_TRUE(Same(LastCameraWrite(), OnGrid(90))) << "the ticks wrote the followed player's override";
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
