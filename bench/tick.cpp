// One replay tick through the host's hook dispatch, with eight players in the override table.
#include <memory>
#include <mutex>
#include <string>

#include <benchmark/benchmark.h>

#include "plugin/Vistorb.h"
#include "sim/Host.h"

namespace {

struct Session {
    sim::Host host;
    std::shared_ptr<Vistorb> plugin = std::make_shared<Vistorb>();

    explicit Session(const std::string& focus) {
        plugin->consoleManager = host.Console();
        plugin->gameHandle = host.Game();
        plugin->onLoad();
        host.OpenReplay();
        for (int i = 0; i < 8; ++i) {
            sim::PlayerSpec player;
            player.bot = i % 4 == 3;
            player.uniqueId = "Steam|7656119" + std::to_string(i) + "|0";
            player.name = "Player " + std::to_string(i);
            float base = 60.0f + static_cast<float>(i);
            player.camera = ProfileCameraSettings{base, 100, -3, 270, 0.4f, 4, 1.2f};
            host.AddPlayer(player);
        }
        host.ImportReplay();
        host.Wait(2.0);
        {
            std::lock_guard<std::mutex> lock(plugin->stateLock);
            for (auto& [key, entry] : plugin->cameraOverrides) entry.enabled = true;
        }
        host.MoveFocus(focus);
        host.ClearLog();
    }
    ~Session() { host.DropPluginCallbacks(); }
};

// The usual case: the camera follows a player whose override is on, so every tick writes it.
// (The simulated camera keeps a record of every write, which grows with the iteration count.)
void BM_TickFollowedPlayer(benchmark::State& state) {
    Session session("Player_Steam|76561195|0");
    for (auto _ : state) session.host.Tick();
    if (session.host.Camera().writes.size() != static_cast<size_t>(state.iterations()))
        state.SkipWithError("not every tick wrote the camera");
}
BENCHMARK(BM_TickFollowedPlayer);

// The camera follows something that is not a player of the table: lookup only, no write.
void BM_TickFocusWithoutEntry(benchmark::State& state) {
    Session session("Ball_TA_0");
    for (auto _ : state) session.host.Tick();
    if (!session.host.Camera().writes.empty()) state.SkipWithError("a tick wrote the camera");
}
BENCHMARK(BM_TickFocusWithoutEntry);

}  // namespace

BENCHMARK_MAIN();
