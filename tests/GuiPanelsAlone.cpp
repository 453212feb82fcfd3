// The window's panels drawn on their own, from explicit parameters, with no plugin object
// behind them: what they edit in place and what they report to their caller.
#include <cstddef>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "camera/CameraOverride.h"
#include "core/CameraValues.h"
#include "gui/OverrideTab.h"
#include "gui/Sliders.h"
#include "bakkesmod/plugin/PluginSettingsWindow.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/pluginwindow.h"
#include "imgui.h"
#include "sim/guihost/GuiHost.h"
#include "tests/CameraValuesPinned.h"
#include "tests/PlayerSupport.h"

namespace {

using test_players::Same;

// A window that holds a small override table of its own and draws one tab per entry.
class TabsWindow : public BakkesMod::Plugin::PluginWindow {
public:
    std::map<std::string, CameraOverride> table;
    std::string selected;  // the key whose tab is selected, like the followed player's
    CameraPreset newPreset;
    GuiRequests requests;  // everything the tabs asked for, frame after frame
    std::vector<std::string> activations;

    void Render() override {
        ImGui::Begin("Panels");
        if (ImGui::BeginTabBar("tabs")) {
            for (auto& [key, entry] : table) {
                const OverrideTabContext context{key == selected, newPreset, requests};
                if (DrawCameraOverrideTab(key, entry, context)) activations.push_back(key);
            }
            ImGui::EndTabBar();
        }
        ImGui::End();
    }

    // The overrides the tabs asked to apply, in order; nothing else may have been asked.
    std::vector<CameraOverride> Applies() const {
        std::vector<CameraOverride> applies;
        for (const GuiRequest& request : requests)
            if (request.kind == GuiRequest::Kind::ApplyOverride) applies.push_back(request.override);
        return applies;
    }
    std::string GetMenuName() override { return "panels"; }
    std::string GetMenuTitle() override { return "Panels"; }
    void SetImGuiContext(uintptr_t ctx) override { ImGui::SetCurrentContext(reinterpret_cast<ImGuiContext*>(ctx)); }
    bool ShouldBlockInput() override { return false; }
    bool IsActiveOverlay() override { return true; }
    void OnOpen() override {}
    void OnClose() override {}
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
    ASSERT_EQ(window->requests.size(), 1u);
    ASSERT_EQ(window->Applies().size(), 1u);
    EXPECT_TRUE(window->Applies()[0].enabled) << "the request carries the value after the edit";
    EXPECT_EQ(window->Applies()[0].focusId, "Player_A");

    ASSERT_TRUE(gui.Press("Reset"));
    EXPECT_TRUE(Same(window->table["Player_A"].settings, window->table["Player_A"].defaultSettings));
    ASSERT_EQ(window->Applies().size(), 2u);
    EXPECT_TRUE(Same(window->Applies()[1].settings, window->table["Player_A"].defaultSettings));
    EXPECT_TRUE(window->activations.empty()) << "pressing inside the shown tab moves no camera";
}

TEST_F(GuiPanelsAlone, OnlyTheHeaderOfAHiddenTabAsksForTheCamera) {
    ASSERT_TRUE(gui.Press("Bob"));
    EXPECT_EQ(window->activations, std::vector<std::string>{"Player_B"});
    EXPECT_TRUE(window->requests.empty()) << "switching tabs edits nothing";

    // The caller follows the camera to the new player, as the plugin does with its focus.
    window->selected = "Player_B";
    gui.Frame(2);
    ASSERT_TRUE(gui.Press("Save Preset"));
    EXPECT_EQ(window->newPreset.name, "Bob");
    EXPECT_TRUE(Same(window->newPreset.settings, window->table["Player_B"].settings));
    EXPECT_EQ(window->activations.size(), 1u) << "pressing inside the shown tab moves no camera";

    // The popup's "Save" stores nothing itself: it asks, with the name typed and the values
    // taken when "Save Preset" was pressed.
    gui.Frame();
    ASSERT_TRUE(gui.Fill("Preset Name", "Bob wide", "##Popup"));
    window->table["Player_B"].settings.FOV = 110;
    gui.Frame();
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    ASSERT_FALSE(window->requests.empty());
    const GuiRequest& save = window->requests.back();
    EXPECT_EQ(save.kind, GuiRequest::Kind::SavePreset);
    EXPECT_EQ(save.preset.name, "Bob wide");
    EXPECT_EQ(save.preset.settings.FOV, 80.0f);
    EXPECT_TRUE(window->Applies().empty());
}

// A slider shows the value as stored, frame after frame: -0 is not 0 on screen although the two
// compare equal, and values that come back after several others on one row show their own text.
TEST_F(GuiPanelsAlone, EverySliderShowsTheValueAsStoredFrameAfterFrame) {
    struct Case {
        float stiffness;
        const char* shown;
    };
    const Case cases[] = {{0.0f, "0.00"}, {-0.0f, "-0.00"}, {0.0f, "0.00"}, {0.35f, "0.35"}, {0.7f, "0.70"},
                          {0.05f, "0.05"}, {1.0f, "1.00"}, {-0.0f, "-0.00"}, {0.35f, "0.35"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        window->table["Player_A"].settings.Stiffness = c.stiffness;  // as the console would store it
        gui.Frame();
        EXPECT_EQ(gui.TextOf("Stiffness").value_or("<not on screen>"), c.shown);
    }
}

}  // namespace

// The camera values' table, as the window orders its sliders.
TEST(GuiSliders, TakeEveryCameraValueOnceInScreenOrder) {
    ASSERT_EQ(std::size(kCameraSliderOrder), std::size(pinned::kSliderLabelsOnScreen));
    for (size_t i = 0; i < std::size(kCameraSliderOrder); ++i) {
        const int position = kCameraSliderOrder[i];
        ASSERT_GE(position, 0);
        ASSERT_LT(position, 7);
        EXPECT_STREQ(kCameraValues[position].sliderLabel, pinned::kSliderLabelsOnScreen[i]) << "slider " << i;
    }
}
