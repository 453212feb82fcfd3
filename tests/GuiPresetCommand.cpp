// "vistorb_preset NAME", the console's way to what the preset panel's "Apply" does, and
// "Reload", which reads the preset folder again; both with the game thread and the render
// thread running at once.
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>

#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const ProfileCameraSettings kWide = Camera(110, 120, -5, 300, 0.4f, 5, 1.5f);
const ProfileCameraSettings kSpaced = Camera(80, 60, -10, 150, 0.7f, 3, 1);

class PresetCommand : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        PresetFile("Wide", kWide);
        PresetFile("my camera", kSpaced);
        Load();
        Replay({Human("U1", "Ann", OnGrid(90)), Bot("Zed", OnGrid(70))}, "Player_U1");
        host.ClearLog();
    }
};

const char* const kUsage = "Usage: vistorb_preset preset-name (quote a name with spaces: vistorb_preset \"my camera\")";

TEST_F(PresetCommand, OutcomesInReplayWithAFocusedPlayer) {
    struct Case {
        const char* line;
        bool enabled;  // Ann's override before the line
        std::vector<std::string> log;
        ProfileCameraSettings annAfter;
    };
    const std::string off = ", whose override is off: vistorb_set enabled 1 turns it on";
    const std::vector<Case> cases = {
        {"vistorb_preset", false, {kUsage}, OnGrid(90)},
        {"vistorb_preset Wide extra", false, {kUsage}, OnGrid(90)},
        {"vistorb_preset my camera", true, {kUsage}, OnGrid(90)},
        {"vistorb_preset Nope", false, {"Unknown preset \"Nope\"", "Presets: \"Wide\", \"my camera\""}, OnGrid(90)},
        {"vistorb_preset \"\"", true, {"Unknown preset \"\"", "Presets: \"Wide\", \"my camera\""}, OnGrid(90)},
        {"vistorb_preset Wide", true, {}, kWide},
        {"vistorb_preset wide", true, {}, kWide},  // the one name that differs only in case
        {"vistorb_preset Wide", false, {"Applied \"Wide\" to Ann" + off}, kWide},
        {"vistorb_preset \"MY CAMERA\"", false, {"Applied \"my camera\" to Ann" + off}, kSpaced},
        {"vistorb_preset \"my camera\"", true, {}, kSpaced},  // the console groups a quoted name
    };
    for (const Case& c : cases) {
        EditEntry("Player_U1", [&](CameraOverride& e) {
            e.settings = OnGrid(90);
            e.enabled = c.enabled;
        });
        host.ClearLog();
        const size_t writes = CameraWrites();
        host.RunConsoleLine(c.line);
        host.Wait(0);
        const bool applied = !Same(c.annAfter, OnGrid(90));
        EXPECT_EQ(host.LogLines(), c.log) << c.line;
        EXPECT_TRUE(Same(Entry("Player_U1").settings, c.annAfter)) << c.line;
        EXPECT_EQ(Entry("Player_U1").enabled, c.enabled) << c.line << ": Enabled is left alone, as Apply leaves it";
        EXPECT_TRUE(Same(Entry("Player_Bot_Zed").settings, OnGrid(70))) << c.line << ": no other player changes";
        // The camera hears of an applied preset at once, as it does of the button's.
        EXPECT_EQ(CameraWrites(), writes + (applied ? 1 : 0)) << c.line;
        if (applied) {
            EXPECT_TRUE(Same(LastCameraWrite(), c.enabled ? c.annAfter : OnGrid(90))) << c.line;
        }
    }
}

TEST_F(PresetCommand, AnUnknownNameListsTheClosestNames) {
    struct Case {
        std::vector<std::string> names;  // the presets there are
        const char* line;
        std::string hint;
    };
    const std::vector<Case> cases = {
        {{}, "vistorb_preset Wide", "no presets"},
        {{"Close", "Wide", "Wider"}, "vistorb_preset wid", "Presets: \"Wide\", \"Wider\", \"Close\""},
        // Two names that match ignoring case: neither is guessed, both come first.
        {{"Cap", "Wide", "WIDE"}, "vistorb_preset wide", "Presets: \"WIDE\", \"Wide\", \"Cap\""},
        {{"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9", "Wide"}, "vistorb_preset wid",
         "Closest of 10 presets: \"Wide\", \"A1\", \"A2\", \"A3\", \"A4\", \"A5\", \"A6\", \"A7\""},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(PresetFolder());
        std::filesystem::create_directories(PresetFolder());
        for (size_t i = 0; i < c.names.size(); ++i) {  // numbered files: names that differ only in case
            std::ofstream(PresetFolder() / ("p" + std::to_string(i) + ".json"))
                << R"({"preset": {"FOV": 100, "Height": 100, "Pitch": -5, "Distance": 250, "Stiffness": 0.5,)"
                << R"( "SwivelSpeed": 4, "TransitionSpeed": 1.2}, "preset_name": ")" << c.names[i] << "\"}";
        }
        plugin->presetStore.LoadPresets();
        host.ClearLog();
        host.RunConsoleLine(c.line);
        EXPECT_THAT(host.LogLines(), ElementsAre(testing::StartsWith("Unknown preset"), c.hint)) << c.line;
        EXPECT_TRUE(Same(Entry("Player_U1").settings, OnGrid(90))) << c.line;
    }
}

TEST_F(PresetCommand, RefusesOutsideAReplayAndWithoutAFocusedEntry) {
    host.DestroyHud();  // the table goes; the focus names no entry
    host.RunConsoleLine("vistorb_preset Wide");
    host.CloseReplay();
    host.RunConsoleLine("vistorb_preset Wide");
    host.RunConsoleLine("vistorb_preset Nope");
    EXPECT_THAT(host.LogLines(), ElementsAre("no focus actor", "not in replay", "not in replay"));
}

TEST_F(PresetCommand, AppliesWhatTheButtonAppliesAndManyWordsAreOneUsageLine) {
    // Two files holding one name: the command takes the one in the name's own file.
    PresetFile("Twin", OnGrid(100));
    std::ofstream(PresetFolder() / "Twin-copy.json")
        << R"({"preset": {"FOV": 105, "Height": 100, "Pitch": -5, "Distance": 250, "Stiffness": 0.5,)"
        << R"( "SwivelSpeed": 4, "TransitionSpeed": 1.2}, "preset_name": "Twin"})";
    plugin->presetStore.LoadPresets();
    host.RunConsoleLine("vistorb_preset Twin");
    EXPECT_TRUE(Same(Entry("Player_U1").settings, OnGrid(100)));

    std::vector<std::string> words(100000, "w");
    words.front() = "vistorb_preset";
    host.ClearLog();
    plugin->HandlePresetCommand(words);
    EXPECT_THAT(host.LogLines(), ElementsAre(kUsage));
}

class GuiReload : public GuiTest {};

TEST_F(GuiReload, ReadsTheFolderAgainAndKeepsTheSelectionWhileItsNameIsThere) {
    PresetFile("Wide", kWide);
    Load();
    ShowWindow();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    PresetFile("Dropped in", kSpaced);  // a friend's file, after start-up
    PresetFile("Wide", OnGrid(95));     // and Wide changed by hand
    ASSERT_TRUE(gui.Press("Reload", "vistorb2-right")) << gui.LastError();
    gui.Frame();
    EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Dropped in", "Wide"}));
    EXPECT_THAT(host.LogLines(), testing::Contains(testing::StartsWith("Reading camera preset json files")));
    EXPECT_EQ(plugin->selectedPreset.name, "Wide");
    EXPECT_TRUE(Same(plugin->selectedPreset.settings, OnGrid(95))) << "the selection shows the values as read now";

    std::filesystem::remove(PresetFolder() / "Wide.json");
    ASSERT_TRUE(gui.Press("Reload", "vistorb2-right"));
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"Dropped in"});
    EXPECT_EQ(plugin->selectedPreset.name, "") << "nothing of that name is left";
}

class ThreadsPresetCommand : public GuiTest {};

// The game thread applies presets from the console while the render thread saves and reloads
// the store. Under ThreadSanitizer this proves that the command reads only what the store
// publishes, under the store's own lock.
TEST_F(ThreadsPresetCommand, TheConsoleAppliesWhileTheWindowSavesAndReloads) {
    PresetFile("Wide", kWide);
    Load();
    Replay({Human("U1", "Ann", OnGrid(90))}, "Player_U1");
    gui.OpenWindow();
    host.StartGameThread(true);
    gui.StartRenderThread();

    std::atomic<bool> stop{false};
    std::thread console([&] {
        while (!stop.load()) host.RunConsoleLine("vistorb_preset Wide; vistorb_preset Ann");
    });
    for (int i = 0; i < 15; ++i) {
        gui.Press("Save Preset", "vistorb2_");
        gui.Press("Save", "##Popup");  // saves "Ann", which the console applies once it is there
        gui.Press("Reload", "vistorb2-right");
    }
    stop = true;
    console.join();
    gui.StopRenderThread();
    host.StopGameThread();

    EXPECT_TRUE(plugin->presetStore.FindPreset("Ann"));
    host.RunConsoleLine("vistorb_set enabled 1");  // an override that is on: success says nothing
    host.ClearLog();
    host.RunConsoleLine("vistorb_preset Wide");
    EXPECT_THAT(host.LogLines(), IsEmpty());
    EXPECT_TRUE(Same(Entry("Player_U1").settings, kWide));
}

}  // namespace
}  // namespace gui_test
