// One replay tick through the host's hook dispatch, with eight players in the override table;
// the same while the render thread saves presets; and the host calls one tick makes, with no
// plugin logic at all, as the floor the plugin's tick is measured against.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "sim/guihost/GuiHost.h"
#include "tests/PluginSession.h"

namespace {

constexpr const char* kFollowed = "Player_Steam|76561195|0";

// Eight players, two of them bots.
std::vector<sim::PlayerSpec> EightPlayers() {
    std::vector<sim::PlayerSpec> players;
    for (int i = 0; i < 8; ++i) {
        sim::PlayerSpec player;
        player.bot = i % 4 == 3;
        player.uniqueId = "Steam|7656119" + std::to_string(i) + "|0";
        player.name = "Player " + std::to_string(i);
        float base = 60.0f + static_cast<float>(i);
        player.camera = ProfileCameraSettings{base, 100, -3, 270, 0.4f, 4, 1.2f};
        players.push_back(player);
    }
    return players;
}

// The plugin in a replay of the eight, the camera following `focus`, every override on.
struct Session : PluginSession<> {
    explicit Session(const std::string& focus) {
        Start();
        OpenReplay(EightPlayers(), focus);
        EnableEveryOverride();
        host.ClearLog();
    }
};

// The usual case: the camera follows a player whose override is on, so every tick writes it.
// (The simulated camera keeps a record of every write, which grows with the iteration count.)
void BM_TickFollowedPlayer(benchmark::State& state) {
    Session session(kFollowed);
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

// The floor: no plugin, but a tick hook that makes the host calls of a tick that writes the
// followed player's values (the replay, camera and focus asked twice: once to find the entry,
// once again by the write itself), through the same hook dispatch.
void BM_BareHostCallsTick(benchmark::State& state) {
    sim::Host host;
    host.OpenReplay();
    for (const sim::PlayerSpec& player : EightPlayers()) host.AddPlayer(player);
    host.ImportReplay();
    host.Wait(2.0);
    host.MoveFocus(kFollowed);
    std::shared_ptr<GameWrapper> game = host.Game();
    const ProfileCameraSettings values{90, 100, -3, 270, 0.4f, 4, 1.2f};
    game->HookEvent(sim::kReplayTickEvent, [&](std::string) {
        for (int pass = 0; pass < 2; ++pass) {
            if (!game->IsInReplay()) return;
            CameraWrapper camera = game->GetCamera();
            if (!camera) return;
            const std::string focus = camera.GetFocusActor();
            if (focus.empty()) return;
            if (pass == 1) camera.SetCameraSettings(values);
        }
    });
    for (auto _ : state) host.Tick();
    if (host.Camera().writes.size() != static_cast<size_t>(state.iterations()))
        state.SkipWithError("not every tick wrote the camera");
    host.DropPluginCallbacks();
}
BENCHMARK(BM_BareHostCallsTick);

// Saves a preset from a player's tab over and over, through the window as a user would: the
// render thread's frames, the "Save Preset" button and the popup's "Save".
class SavingRenderThread {
public:
    explicit SavingRenderThread(Session& session) {
        thread = std::thread([this, &session] {
            sim::GuiHost gui;
            gui.AttachPlugin(session.plugin, session.plugin);
            gui.OpenWindow();
            gui.Frame(2);
            ready = true;
            while (!stop.load()) {
                if (!gui.Press("Save Preset", "vistorb2_")) {
                    error = gui.LastError();
                    failed = true;
                    break;
                }
                gui.Frame();
                if (gui.Press("Save", "##Popup"))
                    ++saves;
                else
                    error = gui.LastError();
            }
            gui.DetachPlugin();
        });
        while (!ready.load()) std::this_thread::yield();
    }
    ~SavingRenderThread() { Stop(); }
    void Stop() {
        stop = true;
        if (thread.joinable()) thread.join();
    }
    std::atomic<int> saves{0};
    std::string error;  // why a press failed, read once the thread is joined
    std::atomic<bool> failed{false};

private:
    std::atomic<bool> ready{false}, stop{false};
    std::thread thread;
};

// Ticks on this thread (the game thread), each one timed; with argument 1 the render thread
// saves presets meanwhile. Reported beside the mean: the worst tick, the 99.9th percentile, the
// median, how many ticks took over a millisecond, and how many saves the ticks overlapped.
void BM_TickWhileSaving(benchmark::State& state) {
    Session session(kFollowed);
    std::unique_ptr<SavingRenderThread> saver;
    if (state.range(0) != 0) {
        saver = std::make_unique<SavingRenderThread>(session);
        // Timing starts once the saves are under way.
        while (saver->saves.load() == 0 && !saver->failed.load()) std::this_thread::yield();
    }
    const int savesBefore = saver ? saver->saves.load() : 0;
    std::vector<double> ticks;
    ticks.reserve(1 << 20);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        session.host.Tick();
        const auto end = std::chrono::steady_clock::now();
        if (ticks.size() < ticks.capacity()) ticks.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    const int saves = saver ? saver->saves.load() - savesBefore : 0;
    std::string error;
    if (saver) {
        saver->Stop();
        error = saver->error;
    }
    std::sort(ticks.begin(), ticks.end());
    if (!ticks.empty()) {
        state.counters["worst_us"] = ticks.back();
        state.counters["p999_us"] = ticks[std::min(ticks.size() - 1, ticks.size() * 999 / 1000)];
        state.counters["median_us"] = ticks[ticks.size() / 2];
        // A tick that waited for a save would take as long as the save's file work, a millisecond
        // or more; so does one that the system took the processor from. Quiet and saving side
        // by side tell the two apart.
        state.counters["over_1ms"] =
            static_cast<double>(ticks.end() - std::upper_bound(ticks.begin(), ticks.end(), 1000.0));
    }
    state.counters["saves"] = saves;
    if (!error.empty()) state.SkipWithError(("a press of the saving thread failed: " + error).c_str());
}
BENCHMARK(BM_TickWhileSaving)->Arg(0)->Arg(1)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
