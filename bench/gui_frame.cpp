// One frame of the camera overrides window (NewFrame to Render) with 8 players and 10, 1,000 or
// 10,000 presets, closed and with the preset combo open on a typed search, beside the floor it is
// measured against: a frame of the same widgets drawn straight from fixed values.
// No renderer: this is the GUI code's own cost, as the host pays it on its GUI thread.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include "core/CameraValues.h"
#include "gui/Layout.h"
#include "gui/Sliders.h"
#include "imgui.h"
#include "imgui_internal.h"
#include "plugin/Vistorb.h"
#include "presets/PresetStoreTesting.h"
#include "sim/game/Host.h"
#include "tests/PluginSession.h"
#include "sim/guihost/ItemRecorder.h"

namespace {

constexpr int kPlayers = 8;

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
        const char* ini = "[Window][Vistorb]\nPos=40,40\nSize=960,520\n\n[Window][Floor]\nPos=40,40\nSize=960,520\n\n";
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

// The plugin started as the host starts it, its table and store filled past what a replay and a
// folder of files would give in reasonable time, and its window open.
struct Plugin : PluginSession<> {
    explicit Plugin(int presets) {
        Start();
        const std::lock_guard<std::mutex> lock(plugin->stateLock);
        for (int i = 0; i < kPlayers; ++i) {
            CameraOverride entry;
            entry.focusId = fmt::format("Player_Steam|7656119800000{:04}|0", i);
            entry.playerName = fmt::format("Player {}", i + 1);
            entry.settings = entry.defaultSettings = ProfileCameraSettings{90, 100, -4, 270, 0.5f, 4.5f, 1.2f};
            plugin->cameraOverrides.emplace(entry.focusId, entry);
        }
        plugin->focusedId = plugin->cameraOverrides.begin()->first;
        // The store has its folder, as after any start: the panel's buttons are live.
        std::vector<CameraPreset> records;
        for (int i = 0; i < presets; ++i)
            records.push_back(
                CameraPreset{fmt::format("Preset {:05}", i), ProfileCameraSettings{60.0f + i % 50, 100, -4, 270, 0.5f, 4, 1.2f}});
        PresetStoreTesting::AddUnfiledRecords(plugin->presetStore, records);
        plugin->selectedPreset = plugin->presetStore.Presets()[presets / 2];  // the preview is drawn
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

// The floor: the widgets the window draws, in its order and with its ids, straight from fixed
// values: 8 tabs, the shown one with a checkbox, 7 sliders and 2 buttons; the credit line; the
// closed combo, the list with as many presets (only the rows in view laid out), the faded preview
// and the action row. No lock, no requests, no copies, no formatting, no filtering.
struct FloorWindow {
    std::vector<std::string> keys, tabs, presets;
    std::vector<std::string> sliderTexts;
    int selected = 0;

    explicit FloorWindow(int presetCount) : selected(presetCount / 2) {
        for (int i = 0; i < kPlayers; ++i) {
            keys.push_back(fmt::format("Player_Steam|7656119800000{:04}|0", i));
            tabs.push_back(fmt::format("Player {}", i + 1));
        }
        for (int i = 0; i < presetCount; ++i) presets.push_back(fmt::format("Preset {:05}", i));
        for (const char* text : {"90", "270.00", "100.00", "-4.00", "0.50", "4.50", "1.20"}) sliderTexts.push_back(text);
    }

    void Sliders() const {
        for (size_t i = 0; i < sliderTexts.size(); ++i) {
            int index = 10;
            ImGui::SliderInt(kCameraValues[kCameraSliderOrder[i]].sliderLabel, &index, 0, 20, sliderTexts[i].c_str(),
                             ImGuiSliderFlags_NoInput);
        }
    }

    void Tabs() const {
        if (!ImGui::BeginTabBar("Camera overrides", 0)) return;
        for (int i = 0; i < kPlayers; ++i) {
            ImGui::PushID(keys[i].c_str());
            if (ImGui::BeginTabItem(tabs[i].c_str(), nullptr, i == 0 ? ImGuiTabItemFlags_SetSelected : 0)) {
                bool enabled = false;
                ImGui::Checkbox("Enabled", &enabled);
                Sliders();
                ImGui::Button("Reset");
                ImGui::SameLine();
                ImGui::Button("Save Preset");
                if (ImGui::BeginPopup("save_new_preset_popup")) ImGui::EndPopup();
                ImGui::EndTabItem();
            }
            ImGui::IsItemActivated();
            ImGui::PopID();
        }
        ImGui::EndTabBar();
    }

    void Presets() const {
        ImGui::TextUnformatted("Saved Camera Presets");
        if (ImGui::BeginCombo("Presets", presets[selected].c_str(), 0)) ImGui::EndCombo();
        ImGui::BeginChild("presets table", ImVec2(0.0f, 125.0f), true, 0);
        ImGuiListClipper clipper;
        clipper.Begin(static_cast<int>(presets.size()));
        while (clipper.Step())
            for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row)
                ImGui::Selectable(presets[row].c_str(), row == selected, 0);
        ImGui::EndChild();
        ImGui::PushItemFlag(ImGuiItemFlags_Disabled, true);
        ImGui::PushStyleVar(ImGuiStyleVar_Alpha, 0.5f);
        Sliders();
        ImGui::PopItemFlag();
        ImGui::PopStyleVar();
        ImGui::Button("Apply");
        ImGui::SameLine();
        ImGui::Button("Edit");
        if (ImGui::BeginPopup("rename_popup")) ImGui::EndPopup();
        ImGui::SameLine();
        ImGui::Button("Delete");
    }

    void Draw() const {
        bool open = true;
        if (!ImGui::Begin("Floor", &open, 0)) {
            ImGui::End();
            return;
        }
        ImGui::Columns(2);
        ImGui::BeginChild("vistorb2", ImVec2(0.0f, -kFooterLines * ImGui::GetTextLineHeightWithSpacing()), false, 0);
        Tabs();
        ImGui::EndChild();
        ImGui::SetCursorPosY(ImGui::GetWindowHeight() - kFooterLines * ImGui::GetTextLineHeightWithSpacing());
        ImGui::TextUnformatted("Vistorb: a camera of its own for every player of a replay");
        ImGui::SameLine();
        ImGui::TextDisabled("(?)");
        ImGui::IsItemHovered();
        ImGui::NextColumn();
        ImGui::BeginChild("vistorb2-right", ImVec2(0.0f, 0.0f), false, 0);
        Presets();
        ImGui::EndChild();
        ImGui::End();
    }
};

void BM_FloorWindowFrame(benchmark::State& state) {
    Screen screen;
    const FloorWindow floor(static_cast<int>(state.range(0)));
    for (int i = 0; i < 3; ++i) screen.Frame([&] { floor.Draw(); });
    for (auto _ : state) screen.Frame([&] { floor.Draw(); });
}
BENCHMARK(BM_FloorWindowFrame)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
