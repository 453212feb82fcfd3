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

TEST_F(PresetCommand, OutcomesInReplayWithAFocusedPlayer) {
    struct Case {
        const char* line;
        std::vector<std::string> log;
        ProfileCameraSettings annAfter;
    };
    const std::vector<Case> cases = {
        {"vistorb_preset", {"Usage: vistorb_preset preset-name"}, OnGrid(90)},
        {"vistorb_preset Wide extra", {"Usage: vistorb_preset preset-name"}, OnGrid(90)},
        {"vistorb_preset Nope", {"Unknown preset \"Nope\""}, OnGrid(90)},
        {"vistorb_preset \"\"", {"Unknown preset \"\""}, OnGrid(90)},
        {"vistorb_preset wide", {"Unknown preset \"wide\""}, OnGrid(90)},  // names are exact
        {"vistorb_preset Wide", {}, kWide},
        {"vistorb_preset \"my camera\"", {}, kSpaced},  // the console groups a quoted name
    };
    for (const Case& c : cases) {
        EditEntry("Player_U1", [](CameraOverride& e) { e.settings = OnGrid(90); });
        host.ClearLog();
        const size_t writes = CameraWrites();
        host.RunConsoleLine(c.line);
        host.Wait(0);
        EXPECT_EQ(host.LogLines(), c.log) << c.line;
        EXPECT_TRUE(Same(Entry("Player_U1").settings, c.annAfter)) << c.line;
        EXPECT_FALSE(Entry("Player_U1").enabled) << c.line << ": Enabled is left alone, as Apply leaves it";
        EXPECT_TRUE(Same(Entry("Player_Bot_Zed").settings, OnGrid(70))) << c.line << ": no other player changes";
        // The camera hears of an applied preset at once, as it does of the button's.
        EXPECT_EQ(CameraWrites(), writes + (c.log.empty() ? 1 : 0)) << c.line;
    }
    EXPECT_TRUE(Same(LastCameraWrite(), OnGrid(90))) << "a disabled override writes the player's own values";
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
    // Two files holding one name: the command takes the record "Apply" would take.
    PresetFile("Twin", OnGrid(100));
    std::ofstream(PresetFolder() / "Twin-copy.json")
        << R"({"preset": {"FOV": 105, "Height": 100, "Pitch": -5, "Distance": 250, "Stiffness": 0.5,)"
        << R"( "SwivelSpeed": 4, "TransitionSpeed": 1.2}, "preset_name": "Twin"})";
    plugin->presetStore.LoadPresets();
    host.RunConsoleLine("vistorb_preset Twin");
    EXPECT_TRUE(Same(Entry("Player_U1").settings, plugin->presetStore.FindPreset("Twin")->settings));

    std::vector<std::string> words(100000, "w");
    words.front() = "vistorb_preset";
    host.ClearLog();
    plugin->HandlePresetCommand(words);
    EXPECT_THAT(host.LogLines(), ElementsAre("Usage: vistorb_preset preset-name"));
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
    host.ClearLog();
    host.RunConsoleLine("vistorb_preset Wide");
    EXPECT_THAT(host.LogLines(), IsEmpty());
    EXPECT_TRUE(Same(Entry("Player_U1").settings, kWide));
}

}  // namespace
}  // namespace gui_test
