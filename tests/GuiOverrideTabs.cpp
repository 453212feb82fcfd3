// The player tabs of the camera overrides window: which tab shows, what pressing a tab does,
// "Enabled", the stepped sliders, "Reset", "Save Preset", and the window's close button.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include <nlohmann/json.hpp>

#include "gui/Sliders.h"
#include "imgui.h"
#include "tests/CameraValuesPinned.h"
#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

constexpr const char* kTabs = "vistorb2_";  // the left column's child window

// Keys sort as Player_A... < Player_Bot_... < Player_B|... ('o' comes before '|'), the names
// otherwise.
const std::string kZed = "Player_Bot_Zed";
const std::string kAmy = "Player_B|2|0";
const std::string kBea = "Player_A|1|0";

class GuiOverrideTabs : public GuiTest {
protected:
    void ThreePlayers(const std::string& focus) {
        Load();
        Replay({Bot("Zed", OnGrid(90)), Human("B|2|0", "Amy", OnGrid(80)), Human("A|1|0", "Bea", OnGrid(70))}, focus);
        ShowWindow();
        host.Wait(0);  // nothing of the set-up stays queued
    }

    std::vector<std::string> TabLabelsLeftToRight() {
        std::vector<sim::GuiItem> tabs;
        for (const std::string name : {"Zed", "Amy", "Bea"})
            for (const sim::GuiItem& item : gui.FindAll(name, kTabs)) tabs.push_back(item);
        std::sort(tabs.begin(), tabs.end(), [](const auto& a, const auto& b) { return a.minX < b.minX; });
        std::vector<std::string> labels;
        for (const auto& tab : tabs) labels.push_back(tab.label);
        return labels;
    }
};

TEST_F(GuiOverrideTabs, OneTabPerPlayerInKeyOrderAndTheShownTabFollowsTheFocus) {
    ThreePlayers(kAmy);
    EXPECT_EQ(TabLabelsLeftToRight(), (std::vector<std::string>{"Bea", "Zed", "Amy"}));
    EXPECT_EQ(Text("FOV", kTabs), "80") << "Amy's tab is shown";

    host.MoveFocus(kZed);  // the game moves the camera
    gui.Frame(2);          // the tab bar switches tabs on the frame after it is told
    EXPECT_EQ(Text("FOV", kTabs), "90") << "the shown tab follows focusedId";
    host.MoveFocus(kBea);
    gui.Frame(2);
    EXPECT_EQ(Text("FOV", kTabs), "70");
    EXPECT_EQ(host.PendingExecutes(), 0u) << "following the focus asks nothing of the game";
}

TEST_F(GuiOverrideTabs, PressingAnotherTabFocusesItsPlayerOnceAndTheShownTabDoesNothing) {
    ThreePlayers(kAmy);
    ASSERT_TRUE(gui.Press("Zed", kTabs)) << gui.LastError();
    EXPECT_EQ(FocusedId(), kZed) << "set on the GUI side at once";
    EXPECT_EQ(host.PendingExecutes(), 1u) << "one focus request";
    EXPECT_EQ(Text("FOV", kTabs), "90");
    EXPECT_EQ(host.Camera().focusActor, kAmy) << "the game has not run the request yet";

    host.SetCameraState(host.GetCamera(), "Spectator");
    host.Wait(0);
    const sim::CameraSnapshot camera = host.Camera();
    EXPECT_EQ(camera.focusActor, kZed);
    EXPECT_EQ(camera.state, "PlayerView");

    ASSERT_TRUE(gui.Press("Zed", kTabs));
    EXPECT_EQ(host.PendingExecutes(), 0u) << "the shown tab's header moves nothing";
    EXPECT_EQ(FocusedId(), kZed);
    ASSERT_TRUE(gui.Press("Save Preset", kTabs));
    EXPECT_EQ(host.PendingExecutes(), 0u) << "nor does a button inside the shown tab";
}

TEST_F(GuiOverrideTabs, EnabledQueuesAnApplyOfTheOverrideOrOfThePlayersOwnValues) {
    ThreePlayers(kZed);
    ASSERT_TRUE(gui.DragSlider("FOV", 10, 50, kTabs));  // 70 while the override is off
    host.Wait(0);
    EXPECT_TRUE(Same(LastCameraWrite(), OnGrid(90))) << "off: the player's own values go out";
    EXPECT_EQ(Entry(kZed).settings.FOV, 70.0f);

    const size_t before = CameraWrites();
    ASSERT_TRUE(gui.Press("Enabled", kTabs));
    EXPECT_TRUE(gui.Find("Enabled", kTabs)->Checked());
    EXPECT_TRUE(Entry(kZed).enabled);
    EXPECT_EQ(host.PendingExecutes(), 1u);
    host.Wait(0);
    EXPECT_EQ(CameraWrites(), before + 1);
    EXPECT_EQ(LastCameraWrite().FOV, 70.0f) << "on: the override's values";

    ASSERT_TRUE(gui.Press("Enabled", kTabs));
    EXPECT_FALSE(gui.Find("Enabled", kTabs)->Checked());
    host.Wait(0);
    EXPECT_TRUE(Same(LastCameraWrite(), OnGrid(90))) << "off again: the player's own camera at once";
    EXPECT_EQ(Entry(kZed).settings.FOV, 70.0f) << "switching off keeps the override's values";
}

TEST_F(GuiOverrideTabs, ADraggedSliderStoresItsStepAndKeepsShowingItOnLaterFrames) {
    ThreePlayers(kZed);
    ASSERT_TRUE(gui.DragSlider("SwivelSpeed", 3, 90, kTabs));
    EXPECT_EQ(Entry(kZed).settings.SwivelSpeed, 3 * 0.1f + 1.0f);
    EXPECT_EQ(host.PendingExecutes(), 1u) << "one apply for the one frame in which the index changed";
    gui.Frame(5);
    EXPECT_EQ(Text("SwivelSpeed", kTabs), "1.30");
    EXPECT_EQ(Entry(kZed).settings.SwivelSpeed, 3 * 0.1f + 1.0f) << "no drift from frame to frame";
    EXPECT_EQ(host.PendingExecutes(), 1u);

    ASSERT_TRUE(gui.DragSlider("Distance", 30, 30, kTabs));
    ASSERT_TRUE(gui.DragSlider("Angle", 0, 15, kTabs));
    gui.Frame();
    EXPECT_EQ(Text("Distance", kTabs), "400.00");
    EXPECT_EQ(Text("Angle", kTabs), "-15.00");
    host.Wait(0);
    EXPECT_TRUE(Same(LastCameraWrite(), OnGrid(90))) << "the override is off: its player's own values went out";
    const ProfileCameraSettings s = Entry(kZed).settings;
    EXPECT_EQ(s.Distance, 400.0f);
    EXPECT_EQ(s.Pitch, -15.0f);
    EXPECT_EQ(s.Height, 100.0f) << "Distance is drawn above Height, and only Distance moved";
}

TEST_F(GuiOverrideTabs, EveryIndexOfEverySliderReadsBackAsItself) {
    ThreePlayers(kZed);
    int longest = 0;
    for (const auto& pin : pinned::kCameraValues) longest = std::max(longest, pin.value.lastIndex);
    for (int index = 0; index <= longest; ++index) {
        ProfileCameraSettings written{};
        EditEntry(kZed, [&](CameraOverride& o) {
            // What a slider at this index writes (rows with fewer steps stay on their last one).
            for (const auto& pin : pinned::kCameraValues) {
                const CameraValue& row = pin.value;
                o.settings.*row.member = static_cast<float>(std::min(index, row.lastIndex)) * row.step + row.low;
            }
            written = o.settings;
        });
        gui.Frame(2);
        ASSERT_TRUE(Same(Entry(kZed).settings, written)) << "drawing moved a value written from index " << index;
        for (const auto& pin : pinned::kCameraValues) {
            const CameraValue& row = pin.value;
            char shown[64];
            std::snprintf(shown, sizeof shown, row.format, static_cast<double>(written.*row.member));
            ASSERT_EQ(Text(row.sliderLabel, kTabs), shown) << row.sliderLabel << " at index " << index;
            int readBack = -1;
            ASSERT_TRUE(CameraSliderIndex(row, written.*row.member, readBack));
            ASSERT_EQ(readBack, std::min(index, row.lastIndex)) << row.sliderLabel;
        }
    }
    EXPECT_EQ(host.PendingExecutes(), 0u);
}

TEST_F(GuiOverrideTabs, OffGridValuesSnapOnTheNextFrameWithoutAnApplyAndFarOnesStay) {
    Load();
    Replay({Bot("Zed", Camera(59.5f, 105, -15.5f, 1000, 0.07f, 1.2999f, 2.0f)),
            Bot("Ann", Camera(120, 100, -20, 250, 0.5f, 4, 1.2f))},
           kZed);
    gui.OpenWindow();
    gui.Frame();  // the window's first frame lays out unseen
    gui.Frame();
    // The first frame that shows the tab shows the values as stored...
    EXPECT_EQ(Text("Height", kTabs), "105.00");
    EXPECT_EQ(Text("FOV", kTabs), "60") << "59.5 printed with no decimals";
    gui.Frame();
    // ...and from then on the stepped ones.
    EXPECT_EQ(Text("Height", kTabs), "100.00");
    const ProfileCameraSettings zed = Entry(kZed).settings;
    EXPECT_EQ(zed.FOV, 60.0f);
    EXPECT_EQ(zed.Height, 100.0f);
    EXPECT_EQ(zed.Pitch, -15.0f);
    EXPECT_EQ(zed.Distance, 1000.0f) << "beyond the range, written back unchanged";
    EXPECT_EQ(zed.Stiffness, 0.05f) << "between two steps: toward zero";
    EXPECT_EQ(zed.SwivelSpeed, 2 * 0.1f + 1.0f) << "1.2999 is short of 1.3 by far more than float error";
    EXPECT_EQ(zed.TransitionSpeed, 2.0f);
    EXPECT_TRUE(Same(Entry(kZed).defaultSettings, Camera(59.5f, 105, -15.5f, 1000, 0.07f, 1.2999f, 2.0f)));
    EXPECT_EQ(host.PendingExecutes(), 0u) << "snapping is no change of the user's";

    ASSERT_TRUE(gui.Press("Ann", kTabs));
    host.Wait(0);
    gui.Frame(2);
    EXPECT_EQ(Entry("Player_Bot_Ann").settings.FOV, 120.0f) << "above the top: stays until dragged";
    EXPECT_EQ(Entry("Player_Bot_Ann").settings.Pitch, -20.0f);
    EXPECT_EQ(Text("FOV", kTabs), "120");
    ASSERT_TRUE(gui.DragSlider("FOV", 50, 50, kTabs));
    EXPECT_EQ(Entry("Player_Bot_Ann").settings.FOV, 110.0f);
}

TEST_F(GuiOverrideTabs, OnlyFloatErrorCountsAsOnAStepAnythingShortOfItIsTheStepBelow) {
    // Values from the console (not clamped: in range) or from the player's own camera, then the
    // slider as it shows them once drawn, and the value it leaves behind.
    struct Case {
        const char* consoleLine;  // or nullptr: the player's own FOV is `ownFov`
        float ownFov;
        const char* label;
        float ProfileCameraSettings::*field;  // where the slider labelled `label` stores its value
        const char* shown;
        float stored;
    };
    using S = ProfileCameraSettings;
    const Case cases[] = {
        {"vistorb_set swivelspeed 1.2999", 90, "SwivelSpeed", &S::SwivelSpeed, "1.20", 2 * 0.1f + 1.0f},
        {"vistorb_set fov 89.9995", 90, "FOV", &S::FOV, "89", 89},
        {nullptr, 59.0005f, "FOV", &S::FOV, "60", 60},  // below the low end by less than a step: index 0
        // Grid points typed as decimals are a few ulps off the written value, and stay put.
        {"vistorb_set swivelspeed 1.3", 90, "SwivelSpeed", &S::SwivelSpeed, "1.30", 1.3f},
        {"vistorb_set transitionspeed 1.1", 90, "TransitionSpeed", &S::TransitionSpeed, "1.10", 1.1f},
        {"vistorb_set stiffness 0.35", 90, "Stiffness", &S::Stiffness, "0.35", 0.35f},
    };
    Load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.consoleLine ? c.consoleLine : "own FOV");
        ProfileCameraSettings own = OnGrid(90);
        own.FOV = c.ownFov;
        Replay({Bot("Zed", own)}, kZed);
        if (c.consoleLine) host.RunConsoleLine(c.consoleLine);
        host.Wait(0);
        gui.OpenWindow();
        gui.Frame(4);
        EXPECT_EQ(Text(c.label, kTabs), c.shown);
        EXPECT_EQ(Entry(kZed).settings.*c.field, c.stored);
        host.ClearPlayers();  // the next case imports its own Zed
    }
}

TEST_F(GuiOverrideTabs, ValuesWithNoStepAreLeftAloneAndTypedNumbersAreNotTakenAsSteps) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Load();
    Replay({Bot("Zed", Camera(nan, 3e38f, -5, 250, 0.5f, 4, 1.2f))}, kZed);
    ShowWindow();
    gui.Frame();
    ProfileCameraSettings s = Entry(kZed).settings;
    EXPECT_TRUE(std::isnan(s.FOV)) << "a value that is no number is kept, not turned into a step";
    EXPECT_EQ(s.Height, 3e38f);
    EXPECT_EQ(Text("FOV", kTabs), "nan");

    // Ctrl+click would turn a slider into a number field whose number is taken as a step
    // index: typing 100 on FOV would store 160. The click just sets the slider instead.
    const auto fov = gui.Find("FOV", kTabs);
    ASSERT_TRUE(fov);
    gui.MoveMouse(fov->CenterX(), fov->CenterY());
    gui.Frame();
    gui.SetKeyCtrl(true);
    gui.SetMouseButton(true);
    gui.Frame();
    gui.SetMouseButton(false);
    gui.SetKeyCtrl(false);
    gui.Frame();
    gui.Type("100");
    gui.PressKey(ImGuiKey_Enter);
    s = Entry(kZed).settings;
    EXPECT_GE(s.FOV, 60.0f);
    EXPECT_LE(s.FOV, 110.0f);
}

TEST_F(GuiOverrideTabs, ResetRestoresThePlayersOwnValuesAndKeepsEnabled) {
    ThreePlayers(kZed);
    ASSERT_TRUE(gui.Press("Enabled", kTabs));
    ASSERT_TRUE(gui.DragSlider("Height", 0, 16, kTabs));
    ASSERT_TRUE(gui.DragSlider("Stiffness", 20, 20, kTabs));
    host.Wait(0);
    ASSERT_FALSE(Same(Entry(kZed).settings, OnGrid(90)));

    ASSERT_TRUE(gui.Press("Reset", kTabs));
    EXPECT_TRUE(Same(Entry(kZed).settings, OnGrid(90)));
    EXPECT_TRUE(Entry(kZed).enabled);
    EXPECT_EQ(host.PendingExecutes(), 1u);
    host.Wait(0);
    EXPECT_TRUE(Same(LastCameraWrite(), OnGrid(90)));
    gui.Frame();
    EXPECT_EQ(Text("Height", kTabs), "100.00");
}

TEST_F(GuiOverrideTabs, SavePresetThenSaveWritesTheTabsValuesUnderTheTypedName) {
    ThreePlayers(kZed);
    ASSERT_TRUE(gui.DragSlider("FOV", 5, 50, kTabs));  // 65
    ASSERT_TRUE(gui.Press("Save Preset", kTabs));
    EXPECT_EQ(plugin->newPreset.name, "Zed");
    gui.Frame();  // a popup shows from its second frame on
    EXPECT_EQ(Text("Preset Name", "##Popup"), "Zed") << "the player's name is offered";

    ASSERT_TRUE(gui.Fill("Preset Name", "Zed low", "##Popup"));
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame();
    EXPECT_FALSE(gui.Find("Preset Name")) << "Save closes the popup";
    const std::filesystem::path file = PresetFolder() / "Zed low.json";
    ASSERT_TRUE(std::filesystem::exists(file));
    std::ifstream in(file);
    const nlohmann::json document = nlohmann::json::parse(in);
    EXPECT_EQ(document.at("preset_name"), "Zed low");
    EXPECT_EQ(document.at("preset").at("FOV").get<float>(), 65.0f);
    EXPECT_EQ(document.at("preset").at("Height").get<float>(), 100.0f);
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"Zed low"});
    EXPECT_TRUE(gui.Find("Zed low", "presets table")) << "listed at once";
}

// The typed name's file holds another preset (renamed by hand): Save asks first, Cancel keeps
// it, and only Replace overwrites it, leaving one record for the one file.
TEST_F(GuiOverrideTabs, SavingOverAFileThatHoldsAnotherPresetAsksFirst) {
    std::filesystem::create_directories(PresetFolder());
    std::ofstream(PresetFolder() / "B.json") << SerializePreset(CameraPreset{"Zed", OnGrid(70)});
    ThreePlayers(kZed);
    ASSERT_TRUE(gui.Press("Save Preset", kTabs));
    gui.Frame();
    ASSERT_TRUE(gui.Fill("Preset Name", "B", "##Popup"));
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame(2);
    ASSERT_TRUE(gui.FindText("B.json holds the preset \"Zed\". Replace it?"));
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"Zed"});
    ASSERT_TRUE(gui.Press("Cancel", "##Popup"));
    gui.Frame();
    EXPECT_FALSE(gui.FindText("Replace it?"));
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"Zed"});

    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame(2);
    ASSERT_TRUE(gui.Press("Replace", "##Popup"));
    gui.Frame();
    EXPECT_FALSE(gui.Find("Preset Name")) << "Replace closes the popup";
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"B"});
    std::ifstream in(PresetFolder() / "B.json");
    EXPECT_EQ(nlohmann::json::parse(in).at("preset_name"), "B");
}

TEST_F(GuiOverrideTabs, PlayersWithOneNameGetTwoTabsThatEditTheirOwnEntries) {
    Load();
    Replay({Human("Steam|1|0", "Ace", OnGrid(90)), Human("Epic|2|0", "Ace", OnGrid(100))}, "Player_Steam|1|0");
    ShowWindow();
    const std::vector<sim::GuiItem> aces = gui.FindAll("Ace", kTabs);
    ASSERT_EQ(aces.size(), 2u);
    ASSERT_NE(aces[0].id, aces[1].id);
    // Epic sorts before Steam: the left tab is Epic's, not the shown one.
    const sim::GuiItem left = aces[0].minX < aces[1].minX ? aces[0] : aces[1];
    gui.MoveMouse(left.CenterX(), left.CenterY());
    gui.Frame();
    gui.SetMouseButton(true);
    gui.Frame();
    gui.SetMouseButton(false);
    gui.Frame();
    EXPECT_EQ(FocusedId(), "Player_Epic|2|0");
    ASSERT_TRUE(gui.Press("Enabled", kTabs));
    EXPECT_TRUE(Entry("Player_Epic|2|0").enabled);
    EXPECT_FALSE(Entry("Player_Steam|1|0").enabled);
}

TEST_F(GuiOverrideTabs, AnEmptyTableShowsNoTabsAndThePresetPanelStillWorks) {
    PresetFile("Wide", OnGrid(110));
    Load();
    ShowWindow();
    EXPECT_FALSE(gui.Find("Enabled"));
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    EXPECT_EQ(plugin->selectedPreset.name, "Wide");
    gui.Frame();
    EXPECT_EQ(Text("FOV", "vistorb2-right"), "110");
}

TEST_F(GuiOverrideTabs, TheCloseButtonAsksTheHostOnceToToggleTheMenuAndTheWindowCloses) {
    ThreePlayers(kZed);
    ASSERT_TRUE(gui.PressCloseButton("Vistorb")) << gui.LastError();
    EXPECT_FALSE(plugin->isWindowOpen);
    EXPECT_EQ(host.ExecutedCommands(), std::vector<std::string>{"togglemenu Vistorb"});
    EXPECT_EQ(host.LogFlags(), std::vector<bool>{true});

    // The host draws on until its game thread gets to the request: no second toggle, which
    // would open the window again.
    gui.Frame(3);
    EXPECT_EQ(host.ExecutedCommands().size(), 1u);
    host.Wait(0);
    gui.Frame(3);
    EXPECT_FALSE(gui.WindowOpen());
    EXPECT_FALSE(gui.FindText("Saved Camera Presets"));
    host.Wait(0);
    gui.Frame();
    EXPECT_FALSE(gui.WindowOpen());
}

TEST_F(GuiOverrideTabs, CollapsingAsksNothingButClosingACollapsedWindowDoes) {
    ThreePlayers(kZed);
    ASSERT_TRUE(gui.PressCollapseButton("Vistorb")) << gui.LastError();
    gui.Frame(2);
    EXPECT_TRUE(host.ExecutedCommands().empty());
    EXPECT_FALSE(gui.FindText("Saved Camera Presets")) << "collapsed";
    EXPECT_TRUE(plugin->isWindowOpen);

    ASSERT_TRUE(gui.PressCloseButton("Vistorb"));
    EXPECT_EQ(host.ExecutedCommands(), std::vector<std::string>{"togglemenu Vistorb"});
    host.Wait(0);
    gui.Frame();
    EXPECT_FALSE(gui.WindowOpen());
    EXPECT_FALSE(plugin->isWindowOpen);
}

}  // namespace
}  // namespace gui_test
