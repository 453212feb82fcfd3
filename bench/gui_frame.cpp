// One frame of the camera overrides window (NewFrame to Render) with 8 players and 10, 1,000 or
// 10,000 presets, closed and with the preset combo open on a typed search, beside a frame that
// lays out as many bare widgets as the 1,000-preset window, as the floor it is measured against.
// No renderer: this is the GUI code's own cost, as the host pays it on its GUI thread.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include "imgui.h"
#include "imgui_internal.h"
#include "plugin/Vistorb.h"
#include "sim/Host.h"
#include "sim/ItemRecorder.h"

namespace {

constexpr int kPlayers = 8;
constexpr int kFloorPresets = 1000;

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

    explicit Plugin(int presets) {
        plugin->cvarManager = host.Console();
        plugin->gameWrapper = host.Game();
        for (int i = 0; i < kPlayers; ++i) {
            CameraOverride entry;
            entry.focusId = fmt::format("Player_Steam|7656119800000{:04}|0", i);
            entry.playerName = fmt::format("Player {}", i + 1);
            entry.settings = entry.defaultSettings = ProfileCameraSettings{90, 100, -4, 270, 0.5f, 4.5f, 1.2f};
            plugin->cameraOverrides.emplace(entry.focusId, entry);
        }
        plugin->focusedId = plugin->cameraOverrides.begin()->first;
        for (int i = 0; i < presets; ++i)
            plugin->presetStore.presets.push_back(
                CameraPreset{fmt::format("Preset {:05}", i), ProfileCameraSettings{60.0f + i % 50, 100, -4, 270, 0.5f, 4, 1.2f}});
        plugin->selectedPreset = plugin->presetStore.presets[presets / 2];  // the preview is drawn
        plugin->isWindowOpen = true;
    }
};

// One window frame seen by the GUI host's recorder: the items it laid out.
std::vector<sim::GuiItem> RecordWindowFrame(Screen& screen, Vistorb& plugin) {
    sim::ItemRecorder recorder;
    screen.context->TestEngine = static_cast<ImGuiItemRecorder*>(&recorder);
    screen.context->TestEngineHookItems = true;
    recorder.BeginFrame();
    screen.Frame([&] { plugin.DrawWindow(); });
    recorder.EndFrame();
    screen.context->TestEngineHookItems = false;
    screen.context->TestEngine = nullptr;
    return recorder.Items();
}

// How many items one window frame lays out.
int ItemsPerWindowFrame(Screen& screen, Vistorb& plugin) {
    for (int i = 0; i < 3; ++i) screen.Frame([&] { plugin.DrawWindow(); });  // placed and settled
    return static_cast<int>(RecordWindowFrame(screen, plugin).size());
}

// Clicks the preset combo open and types the search "3", which many of the names hold.
bool OpenComboAndSearch(Screen& screen, Vistorb& plugin) {
    for (int i = 0; i < 3; ++i) screen.Frame([&] { plugin.DrawWindow(); });
    ImVec2 combo(-1, -1);
    for (const sim::GuiItem& item : RecordWindowFrame(screen, plugin))
        if (item.label == "Presets" && item.hasRect) combo = ImVec2(item.minX + 5, item.CenterY());
    if (combo.x < 0) return false;
    ImGuiIO& io = screen.context->IO;
    io.MousePos = combo;
    screen.Frame([&] { plugin.DrawWindow(); });
    io.MouseDown[0] = true;
    screen.Frame([&] { plugin.DrawWindow(); });
    io.MouseDown[0] = false;
    screen.Frame([&] { plugin.DrawWindow(); });
    io.AddInputCharacter('3');
    for (int i = 0; i < 3; ++i) screen.Frame([&] { plugin.DrawWindow(); });
    return plugin.presetSearch[0] == '3';
}

void WindowFrame(benchmark::State& state, bool comboOpen) {
    Screen screen;
    Plugin setup(static_cast<int>(state.range(0)));
    Vistorb& plugin = *setup.plugin;
    if (comboOpen && !OpenComboAndSearch(screen, plugin)) {
        state.SkipWithError("the combo did not open and take the search");
        return;
    }
    const int items = ItemsPerWindowFrame(screen, plugin);
    for (auto _ : state) screen.Frame([&] { plugin.DrawWindow(); });
    state.counters["items"] = items;
    state.SetItemsProcessed(state.iterations() * items);
}

void BM_WindowFrame(benchmark::State& state) { WindowFrame(state, false); }
BENCHMARK(BM_WindowFrame)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same with the combo's list open on the search "3".
void BM_WindowFrameComboSearch(benchmark::State& state) { WindowFrame(state, true); }
BENCHMARK(BM_WindowFrameComboSearch)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The floor: a window of the same size laying out as many plain buttons as the window with
// 1,000 presets lays out items.
void BM_BareWidgetsFrame(benchmark::State& state) {
    Screen screen;
    int items = 0;
    {
        Plugin setup(kFloorPresets);
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
