// The game thread and a GUI-like thread share the override table and focusedId for real. Run
// under ThreadSanitizer, this is what proves the locking.
#include <atomic>
#include <chrono>
#include <thread>

#include <gmock/gmock.h>

#include "tests/RosterSupport.h"

using namespace camera_test;

using ThreadsCameraEngine = LoadedPlugin;

TEST_F(ThreadsCameraEngine, GameThreadAndGuiFrameShareTheTable) {
    Load();
    host.OpenReplay();
    for (int i = 0; i < 6; ++i) host.AddPlayer(Human("U" + std::to_string(i), "P" + std::to_string(i), Cam(60 + i)));
    host.AddPlayer(Bot("Zed", Cam(80)));
    host.StartGameThread(true);  // the replay now ticks on its own thread

    std::atomic<bool> done{false};
    std::atomic<int> frames{0};
    std::thread gui([&] {
        // What a GUI frame does: walk the table in key order, edit entries in place, make a tab
        // the focus, and hand a copy to the game thread.
        int n = 0;
        while (!done.load()) {
            // Frames are apart in time; a GUI that never let go of the lock would starve the game.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            std::vector<CameraOverride> applies;  // handed over once the lock is let go
            {
                std::lock_guard<std::mutex> lock(plugin->stateLock);
                for (auto& [key, entry] : plugin->cameraOverrides) {
                    entry.enabled = (n % 3) != 0;
                    entry.settings.FOV = 60.0f + static_cast<float>(n % 50);
                    if ((n + key.size()) % 7 == 0) {
                        plugin->focusedId = key;
                        applies.push_back(entry);
                    }
                }
                std::string seen = plugin->focusedId;
                (void)seen;
            }
            for (CameraOverride& copy : applies) VistorbTestAccess::OverridePlayerCameraFromGui(*plugin, copy);
            ++n;
            frames.store(n);
        }
    });

    for (int round = 0; round < 40; ++round) {
        host.ImportReplay();
        host.Wait(2.0);  // the refresh rebuilds the table under the GUI's feet
        host.MoveFocus("Player_U" + std::to_string(round % 6));
        host.RunConsoleLine("vistorb_set fov (70,100)");
        host.RunConsoleLine("vistorb_set enabled 1");
        host.Tick(3);
        if (round % 10 == 5) host.DestroyHud();
    }
    // Make sure the two sides overlapped at least a little before stopping.
    while (frames.load() < 50) std::this_thread::yield();
    done = true;
    gui.join();
    host.StopGameThread();

    // The last round left a table built by a refresh, with every player in it.
    auto table = Table();
    EXPECT_EQ(table.size(), 7u);
    for (const auto& [key, entry] : table) EXPECT_EQ(key, entry.focusId);
    EXPECT_GT(host.Camera().writes.size(), 0u);
}
