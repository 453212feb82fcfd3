// "Copy", "Paste" and "Apply to all" in the preset panel, through the GUI host's clipboard.
#include <algorithm>

#include <nlohmann/json.hpp>

#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

constexpr const char* kPanel = "vistorb2-right";
const std::string kZed = "Player_Bot_Zed";
const ProfileCameraSettings kWide = Camera(100, 110, -4, 270, 0.45f, 5, 1.2f);

class GuiPresetSharing : public GuiTest {
protected:
    // Puts `text` on the clipboard and presses "Paste"; true when the save popup opened.
    bool Paste(const std::string& text) {
        gui.SetClipboard(text);
        host.ClearLog();
        if (!gui.Press("Paste", kPanel)) return false;
        gui.Frame();
        return gui.Find("Preset Name", "##Popup").has_value();
    }
    // The saved preset becomes the selection, whose preview moves the buttons: one frame to settle.
    bool SaveAs(const std::string& name) {
        const bool saved = gui.Fill("Preset Name", name, "##Popup") && gui.Press("Save", "##Popup");
        gui.Frame();
        return saved;
    }
    ProfileCameraSettings FileValues(const std::string& name) {
        std::ifstream in(PresetFolder() / (name + ".json"));
        return nlohmann::json::parse(in).at("preset").get<ProfileCameraSettings>();
    }
    bool Logged(const std::string& line) {
        const auto lines = host.LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(GuiPresetSharing, ACopiedPresetPastesBackWithTheSameSevenValues) {
    PresetFile("Wide", kWide);
    Load();
    ShowWindow();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    ASSERT_TRUE(gui.Press("Copy", kPanel));
    // The preview has snapped the selection onto the grid (Stiffness 0.45000002): the copy is the preset's.
    EXPECT_EQ(gui.Clipboard(), "Vistorb camera \"Wide\": FOV 100, Height 110, Angle -4, Distance 270, Stiffness 0.45, "
                               "Swivel speed 5, Transition speed 1.2");
    ASSERT_TRUE(Paste(gui.Clipboard())) << "every value given: no followed player needed";
    EXPECT_EQ(Text("Preset Name", "##Popup"), "Wide");
    ASSERT_TRUE(SaveAs("Wide too"));
    const auto pasted = plugin->presetStore.FindPreset("Wide too");
    ASSERT_TRUE(pasted);
    EXPECT_TRUE(Same(pasted->settings, kWide));
    EXPECT_TRUE(Same(FileValues("Wide too"), kWide));
}

TEST_F(GuiPresetSharing, PlayersLinesAreSavedWithWhatTheyGiveAndTheFollowedPlayersRest) {
    Load();
    Replay({Bot("Zed", Camera(95, 100, -3, 260, 0.5f, 4, 1.2f))}, kZed);
    ShowWindow();
    const struct {
        std::string text;
        ProfileCameraSettings saved;
        std::string line;  // the one line the paste writes, if any
    } pastes[] = {
        {"FOV 110, Distance 270, Height 100, Angle -5, Stiffness 0.45, Swivel Speed 5.0, Transition Speed 1.2",
         Camera(110, 100, -5, 270, 0.45f, 5, 1.2f), ""},
        {"Camera Shake\tNo\nField of View\t108\nDistance\t280\nHeight\t90\nAngle\t-2\nBall Camera\tToggle\n",
         Camera(108, 90, -2, 280, 0.5f, 4, 1.2f),
         "Pasted with Stiffness, Swivel speed, Transition speed taken from Zed's override: the clipboard has none"},
        {"fov=130; PITCH=+5 | Stiffness 0,35, swivel_speed 7, transition 2, height 120, distance 300",
         Camera(110, 120, 0, 300, 0.35f, 7, 2), "Clamped into the sliders' ranges: FOV 130 to 110, Angle 5 to 0"},
    };
    for (size_t i = 0; i < std::size(pastes); ++i) {
        SCOPED_TRACE(pastes[i].text);
        ASSERT_TRUE(Paste(pastes[i].text));
        EXPECT_EQ(Text("Preset Name", "##Popup"), "Pasted") << "a text without a name";
        if (!pastes[i].line.empty()) {
            EXPECT_TRUE(Logged(pastes[i].line));
        }
        const std::string name = "Shared " + std::to_string(i);
        ASSERT_TRUE(SaveAs(name));
        ASSERT_TRUE(plugin->presetStore.FindPreset(name));
        EXPECT_TRUE(Same(plugin->presetStore.FindPreset(name)->settings, pastes[i].saved));
        EXPECT_TRUE(Same(FileValues(name), pastes[i].saved));
    }
}

TEST_F(GuiPresetSharing, APasteThatCannotBeSavedSaysWhyInOneLineAndOpensNothing) {
    Load();
    Replay({Bot("Zed", OnGrid(90))});  // nobody followed
    ShowWindow();
    const std::pair<std::string, std::string> refused[] = {
        {"FOV 100, Height 90", "Nothing to paste: the clipboard has no Angle, Distance, Stiffness, Swivel speed, "
                               "Transition speed, and no player is followed to take them from"},
        {"gg wp, camera shake on", "Nothing to paste: no camera values in the clipboard"},
        {"", "Nothing to paste: no camera values in the clipboard"},
        {std::string(64 * 1024, ' ') + "FOV 90",
         "Nothing to paste: the clipboard holds 65542 bytes, more than a paste reads (65536)"},
    };
    for (const auto& [text, line] : refused) {
        EXPECT_FALSE(Paste(text)) << line;
        EXPECT_EQ(host.LogLines(), std::vector<std::string>{line});
    }
    EXPECT_TRUE(PresetNames().empty());
}

TEST_F(GuiPresetSharing, ApplyToAllGivesEveryPlayerThePresetLeavingEnabledAlone) {
    PresetFile("Wide", kWide);
    Load();
    Replay({Bot("A", 91), Bot("B", 92), Bot("C", 93), Bot("D", 94), Bot("E", 95), Bot("F", 96)});
    for (const char* on : {"Player_Bot_B", "Player_Bot_D", "Player_Bot_E"})
        EditEntry(on, [](CameraOverride& entry) { entry.enabled = true; });
    host.MoveFocus("Player_Bot_D");
    ShowWindow();
    EXPECT_TRUE(gui.Find("Copy", kPanel)->disabled) << "nothing selected";
    EXPECT_TRUE(gui.Find("Apply to all", kPanel)->disabled);
    EXPECT_FALSE(gui.Find("Paste", kPanel)->disabled);

    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    host.ClearLog();
    ASSERT_TRUE(gui.Press("Apply to all", kPanel));
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
        const CameraOverride entry = Entry(std::string("Player_Bot_") + name);
        EXPECT_TRUE(Same(entry.settings, kWide)) << name;
        EXPECT_EQ(entry.enabled, std::string("BDE").find(name) != std::string::npos) << name;
    }
    host.Wait(0);
    EXPECT_TRUE(Same(LastCameraWrite(), kWide)) << "the followed player's camera at once";
    EXPECT_EQ(host.LogLines(), std::vector<std::string>{"Applied \"Wide\" to all 6 players; the override is off for A, "
                                                        "C, F, who keep their own camera until \"Enabled\" is ticked"});

    host.DestroyHud();
    gui.Frame();
    EXPECT_TRUE(gui.Find("Apply to all", kPanel)->disabled) << "no players";
    EXPECT_FALSE(gui.Find("Copy", kPanel)->disabled);
}

}  // namespace
}  // namespace gui_test
