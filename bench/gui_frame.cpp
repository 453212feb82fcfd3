// One frame of the camera overrides window (NewFrame to Render) with 8 players and 1,000
// presets, beside a frame that lays out as many bare widgets, as the floor it is measured
// against. No renderer: this is the GUI code's own cost, as the host pays it on its GUI thread.
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include "imgui.h"
#include "imgui_internal.h"
#include "plugin/Vistorb.h"
#include "sim/Host.h"
#include "sim/ItemRecorder.h"

namespace {

constexpr int kPlayers = 8;
constexpr int kPresets = 1000;

// A GUI context the size of a game screen, as the host would hand over.
class Screen {
public:
    Screen() {
        context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1920, 1080);
        io.DeltaTime = 1.0f / 60.0f;
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
        // The window's place, as a host remembers it.
        const char* ini = "[Window][Vistorb]\nPos=40,40\nSize=960,520\n\n[Window][Bare]\nPos=40,40\nSize=960,520\n\n";
        ImGui::LoadIniSettingsFromMemory(ini);
    }
    ~Screen() { ImGui::DestroyContext(context); }

    template <typename Draw>
    void Frame(Draw&& draw) {
        ImGui::NewFrame();
        draw();
        ImGui::Render();
    }

    ImGuiContext* context;
};

struct Plugin {
    sim::Host host;
    std::shared_ptr<Vistorb> plugin = std::make_shared<Vistorb>();

    Plugin() {
        plugin->consoleManager = host.Console();
        plugin->gameHandle = host.Game();
        for (int i = 0; i < kPlayers; ++i) {
            CameraOverride entry;
            entry.focusId = fmt::format("Player_Steam|7656119800000{:04}|0", i);
            entry.playerName = fmt::format("Player {}", i + 1);
            entry.settings = entry.defaultSettings = ProfileCameraSettings{90, 100, -4, 270, 0.5f, 4.5f, 1.2f};
            plugin->cameraOverrides.emplace(entry.focusId, entry);
        }
        plugin->focusedId = plugin->cameraOverrides.begin()->first;
        for (int i = 0; i < kPresets; ++i)
            plugin->presetStore.presets.push_back(
                CameraPreset{fmt::format("Preset {:04}", i), ProfileCameraSettings{60.0f + i % 50, 100, -4, 270, 0.5f, 4, 1.2f}});
        plugin->selectedPreset = plugin->presetStore.presets[kPresets / 2];  // the preview is drawn
        plugin->isWindowOpen = true;
    }
};

// How many items one window frame lays out, counted by the GUI host's recorder.
int ItemsPerWindowFrame(Screen& screen, Vistorb& plugin) {
    for (int i = 0; i < 3; ++i) screen.Frame([&] { plugin.DrawWindow(); });  // placed and settled
    sim::ItemRecorder recorder;
    screen.context->TestEngine = static_cast<ImGuiItemRecorder*>(&recorder);
    screen.context->TestEngineHookItems = true;
    recorder.BeginFrame();
    screen.Frame([&] { plugin.DrawWindow(); });
    recorder.EndFrame();
    screen.context->TestEngineHookItems = false;
    screen.context->TestEngine = nullptr;
    return static_cast<int>(recorder.Items().size());
}

void BM_WindowFrame(benchmark::State& state) {
    Screen screen;
    Plugin setup;
    Vistorb& plugin = *setup.plugin;
    const int items = ItemsPerWindowFrame(screen, plugin);
    for (auto _ : state) screen.Frame([&] { plugin.DrawWindow(); });
    state.counters["items"] = items;
    state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_WindowFrame)->Unit(benchmark::kMicrosecond);

// The floor: a window of the same size laying out the same number of plain buttons, most of
// them, like most of the preset list, scrolled out of sight.
void BM_BareWidgetsFrame(benchmark::State& state) {
    Screen screen;
    int items = 0;
    {
        Plugin setup;
        items = ItemsPerWindowFrame(screen, *setup.plugin);
    }
    std::vector<std::string> labels;
    for (int i = 0; i < items; ++i) labels.push_back(fmt::format("Button {}", i));
    const auto draw = [&] {
        ImGui::Begin("Bare");
        for (const std::string& label : labels) ImGui::Button(label.c_str());
        ImGui::End();
    };
    for (int i = 0; i < 3; ++i) screen.Frame(draw);
    for (auto _ : state) screen.Frame(draw);
    state.counters["items"] = items;
    state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_BareWidgetsFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
