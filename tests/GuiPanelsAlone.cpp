// The window's panels drawn on their own, from explicit parameters, with no plugin object
// behind them: what they edit in place and what they report to their caller.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "camera/CameraOverride.h"
#include "gui/OverrideTab.h"
#include "host/BakkesModPlugin.h"
#include "imgui.h"
#include "presets/PresetStore.h"
#include "sim/GuiHost.h"
#include "tests/PlayerSupport.h"

namespace {

using test_players::Same;

// A window that holds a small override table of its own and draws one tab per entry.
class TabsWindow : public BakkesMod::Plugin::PluginWindow {
public:
    std::map<std::string, CameraOverride> table;
    std::string selected;  // the key whose tab is selected, like the followed player's
    CameraPreset newPreset;
    PresetStore store;  // never written: no test here presses the popup's "Save"
    std::vector<CameraOverride> edits;
    std::vector<std::string> activations;

    void DrawWindow() override {
        ImGui::Begin("Panels");
        if (ImGui::BeginTabBar("tabs")) {
            for (auto& [key, entry] : table) {
                const OverrideTabContext context{key == selected, newPreset, store,
                                                 [this](CameraOverride& edited) { edits.push_back(edited); }};
                if (DrawCameraOverrideTab(key, entry, context)) activations.push_back(key);
            }
            ImGui::EndTabBar();
        }
        ImGui::End();
    }
    std::string GetMenuId() override { return "panels"; }
    std::string GetMenuCaption() override { return "Panels"; }
    void SetGuiContext(uintptr_t ctx) override { ImGui::SetCurrentContext(reinterpret_cast<ImGuiContext*>(ctx)); }
    bool WantsInputBlocked() override { return false; }
    bool IsOverlayActive() override { return true; }
    void OnWindowOpened() override {}
    void OnWindowClosed() override {}
};

CameraOverride Entry(const std::string& id, const std::string& name, float fov) {
    CameraOverride entry;
    entry.settings = ProfileCameraSettings{fov, 100, -5, 250, 0.5f, 4, 1.2f};
    entry.defaultSettings = ProfileCameraSettings{60, 40, -15, 100, 0, 1, 1};
    entry.focusId = id;
    entry.playerName = name;
    return entry;
}

class GuiPanelsAlone : public ::testing::Test {
protected:
    std::shared_ptr<TabsWindow> window = std::make_shared<TabsWindow>();
    sim::GuiHost gui;

    void SetUp() override {
        window->table["Player_A"] = Entry("Player_A", "Ann", 90);
        window->table["Player_B"] = Entry("Player_B", "Bob", 80);
        window->selected = "Player_A";
        gui.AttachPlugin(nullptr, window);
        gui.OpenWindow();
        gui.Frame(2);
    }
};

TEST_F(GuiPanelsAlone, TheShownTabEditsItsEntryInPlaceAndReportsEveryEdit) {
    ASSERT_TRUE(gui.Press("Enabled"));
    EXPECT_TRUE(window->table["Player_A"].enabled);
    EXPECT_FALSE(window->table["Player_B"].enabled) << "only the shown tab's entry";
    ASSERT_EQ(window->edits.size(), 1u);
    EXPECT_TRUE(window->edits[0].enabled) << "the report carries the value after the edit";
    EXPECT_EQ(window->edits[0].focusId, "Player_A");

    ASSERT_TRUE(gui.Press("Reset"));
    EXPECT_TRUE(Same(window->table["Player_A"].settings, window->table["Player_A"].defaultSettings));
    ASSERT_EQ(window->edits.size(), 2u);
    EXPECT_TRUE(Same(window->edits[1].settings, window->table["Player_A"].defaultSettings));
    EXPECT_TRUE(window->activations.empty()) << "pressing inside the shown tab moves no camera";
}

TEST_F(GuiPanelsAlone, OnlyTheHeaderOfAHiddenTabAsksForTheCamera) {
    ASSERT_TRUE(gui.Press("Bob"));
    EXPECT_EQ(window->activations, std::vector<std::string>{"Player_B"});
    EXPECT_TRUE(window->edits.empty()) << "switching tabs edits nothing";

    // The caller follows the camera to the new player, as the plugin does with its focus.
    window->selected = "Player_B";
    gui.Frame(2);
    ASSERT_TRUE(gui.Press("Save Preset"));
    EXPECT_EQ(window->newPreset.name, "Bob");
    EXPECT_TRUE(Same(window->newPreset.settings, window->table["Player_B"].settings));
    EXPECT_EQ(window->activations.size(), 1u) << "pressing inside the shown tab moves no camera";
}

}  // namespace
