// The "vistorb_set" handler, with a plain value and with a random range.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "tests/PluginSession.h"

namespace {

struct Session : PluginSession<> {
    Session() {
        Start();
        std::vector<sim::PlayerSpec> players;
        for (int i = 0; i < 8; ++i) {
            sim::PlayerSpec player;
            player.uniqueId = "Steam|7656119" + std::to_string(i) + "|0";
            player.name = "Player " + std::to_string(i);
            player.camera = ProfileCameraSettings{90, 100, -3, 270, 0.4f, 4, 1.2f};
            players.push_back(player);
        }
        // The command edits the followed player's override and writes it into the camera.
        OpenReplay(players, "Player_Steam|76561193|0");
        host.ClearLog();
    }
};

void RunCommand(benchmark::State& state, const char* name, const char* value) {
    Session session;
    for (auto _ : state) session.plugin->HandleSetCommand({"vistorb_set", name, value});
    if (!session.host.LogLines().empty()) state.SkipWithError(session.host.LogLines().front().c_str());
}

void BM_SetPlainValue(benchmark::State& state) { RunCommand(state, "fov", "95"); }
BENCHMARK(BM_SetPlainValue);

void BM_SetRandomRange(benchmark::State& state) { RunCommand(state, "distance", "(100,150,300,350)"); }
BENCHMARK(BM_SetRandomRange);

}  // namespace

BENCHMARK_MAIN();
