// The host's panels driven by label in a headless GUI, wired to a simulated host with the plugin
// loaded, the way the GUI host wires them.
#include <memory>
#include <mutex>

#include "core/LogLine.h"
#include "sim/screen/CameraRig.h"
#include "sim/screen/HostPanels.h"
#include "tests/CameraViewSupport.h"
#include "tests/PlayerSupport.h"
#include "tests/PluginSession.h"

namespace camera_view_test {
namespace {

using test_players::Bot;

class CameraViewPanels : public ::testing::Test, protected PluginSession<> {
protected:
    HeadlessGui gui;
    sim::PanelsShown shown;

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(TryStart(error)) << error;
        host.OpenReplay();
        host.AddPlayer(Bot("Zed", 100.0f));
        host.AddPlayer(Bot("Cap", 95.0f));
    }
    void TearDown() override { globalConsoleManager.reset(); }

    void Roster() {
        host.ImportReplay();
        host.Wait(2.0);
    }

    CameraOverride Entry(const std::string& key) {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        auto it = plugin->cameraOverrides.find(key);
        return it == plugin->cameraOverrides.end() ? CameraOverride{} : it->second;
    }
    size_t Entries() {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        return plugin->cameraOverrides.size();
    }
    std::string FocusedId() {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        return plugin->focusedId;
    }
};

TEST_F(CameraViewPanels, ReplayPanelImportsFocusesPlaysAndDestroysTheHud) {
    bool playing = false;
    sim::ReplayPanelActions actions;
    actions.focus = [&](const std::string& id) { host.MoveFocus(id); };
    actions.play = [&](bool play) { playing = play; };
    actions.import = [&] { host.ImportReplay(); };
    actions.destroyHud = [&] { host.DestroyHud(); };
    gui.draw = [&] {
        const sim::ReplayPanelData data{host.InReplay(), playing, host.TickCount(), host.Camera().focusActor,
                                        host.Players()};
        sim::DrawReplayPanel(&shown.replay, sim::PictureLayout().replay, data, actions);
    };

    ASSERT_TRUE(gui.Press("Import"));
    host.Wait(2.0);
    EXPECT_EQ(Entries(), 2u) << "the import reached the plugin's hook";
    for (const char* value : {"95", "100", "-3", "270", "0.5", "4", "1.2"})
        EXPECT_TRUE(gui.ShowsWord(value)) << "the players' own camera values: " << value;

    // The focus button goes through the game's focus function: the plugin's hook records it, the
    // next tick writes Cap's values, and the camera view follows Cap with them.
    ASSERT_TRUE(gui.Press("Focus##Player_Bot_Cap"));
    EXPECT_EQ(FocusedId(), "Player_Bot_Cap");
    host.Tick(1);
    const sim::Scene scene = sim::SceneAt(host.Players(), host.TickCount());
    sim::CameraRig rig;
    rig.Update(sim::CameraInputFrom(host.InReplay(), host.Camera()), scene, 0.0f);
    ASSERT_TRUE(rig.HasCamera()) << rig.Reason();
    EXPECT_EQ(rig.FocusId(), "Player_Bot_Cap");
    EXPECT_FLOAT_EQ(rig.Pose().fov, 95.0f);
    gui.Frame();
    const sim::ScenePlayer& cap = *sim::FindScenePlayer(scene, "Player_Bot_Cap");
    const sim::CameraPose expected = sim::TargetPose(Bot("Cap", 95.0f).camera, cap);
    EXPECT_NEAR(rig.Pose().eye.x, expected.eye.x, 1e-3);
    EXPECT_NEAR(rig.Pose().eye.y, expected.eye.y, 1e-3);
    EXPECT_TRUE(gui.Shows("Camera follows: Player_Bot_Cap"));

    ASSERT_TRUE(gui.Press("Play"));
    EXPECT_TRUE(playing);
    gui.Frame();
    EXPECT_FALSE(gui.recorder.Find("Play")) << "a playing replay offers Pause instead";
    ASSERT_TRUE(gui.Press("Pause"));
    EXPECT_FALSE(playing);

    ASSERT_TRUE(gui.Press("Destroy HUD"));
    EXPECT_EQ(Entries(), 0u) << "the HUD's end empties the table";

    // Hidden by name, as the script's gui lines do; a hidden panel draws nothing.
    EXPECT_TRUE(sim::SetPanelShown(shown, "replay", false));
    EXPECT_FALSE(sim::SetPanelShown(shown, "camera", false));
    EXPECT_EQ(sim::PanelsJson(shown), (nlohmann::json{{"replay", false}, {"console", true}, {"overrides", true}}));
    gui.Frame();
    EXPECT_FALSE(gui.recorder.Find("Import"));
    EXPECT_TRUE(sim::SetPanelShown(shown, "replay", true));
    gui.Frame(2);
    EXPECT_TRUE(gui.recorder.Find("Import"));
}

TEST_F(CameraViewPanels, ConsoleRunsLinesRefusesUnknownOnesAndKeepsHistory) {
    Roster();
    host.MoveFocus("Player_Bot_Zed");
    host.ClearLog();
    sim::ConsolePanelState state;
    std::vector<std::string> ran;
    const auto run = [&](const std::string& line) {
        std::vector<std::string> known;
        for (const auto& [name, notifier] : host.Notifiers()) known.push_back(name);
        sim::ConsoleOutcome outcome = sim::CheckConsoleLine(line, known);
        if (outcome.accepted) {
            ran.push_back(line);
            host.RunConsoleLine(line);
        }
        return outcome;
    };
    gui.draw = [&] { sim::DrawConsolePanel(&shown.console, sim::PictureLayout().console, state, host.LogLines(), run); };

    ASSERT_TRUE(gui.Press("Command"));
    gui.Type("vistorb_set fov 95");
    gui.Key(ImGuiKey_Enter);
    EXPECT_EQ(Entry("Player_Bot_Zed").settings.FOV, 95.0f) << "the line reached the plugin";
    EXPECT_TRUE(state.input.empty());

    // The field keeps the keyboard after Enter; a line of an unknown command is refused, not run.
    gui.Type("nosuch 1");
    ASSERT_TRUE(gui.Press("Run"));
    gui.Frame();
    EXPECT_TRUE(gui.Shows("refused: unknown command 'nosuch'"));
    ASSERT_TRUE(gui.Press("Command"));
    gui.Type("vistorb_set bogus 1");
    gui.Key(ImGuiKey_Enter);
    gui.Frame();
    EXPECT_TRUE(gui.Shows("Unknown value bogus")) << "the plugin's answer arrives in the log";
    EXPECT_EQ(ran, (std::vector<std::string>{"vistorb_set fov 95", "vistorb_set bogus 1"}));

    // Up walks back through the lines entered, Down forward again and out to a new line.
    const std::pair<int, const char*> walk[] = {{ImGuiKey_UpArrow, "vistorb_set bogus 1"},
                                                {ImGuiKey_UpArrow, "nosuch 1"},
                                                {ImGuiKey_UpArrow, "vistorb_set fov 95"},
                                                {ImGuiKey_UpArrow, "vistorb_set fov 95"},
                                                {ImGuiKey_DownArrow, "nosuch 1"},
                                                {ImGuiKey_DownArrow, "vistorb_set bogus 1"},
                                                {ImGuiKey_DownArrow, ""}};
    for (const auto& [key, line] : walk) {
        gui.Key(key);
        EXPECT_EQ(state.input, line);
    }
    EXPECT_EQ(sim::CheckConsoleLine("  ", {}).reason, "empty line");
    EXPECT_TRUE(sim::CheckConsoleLine("sleep 10; togglemenu Vistorb", {}).accepted);
    EXPECT_EQ(sim::CheckConsoleLine("vistorb_set fov 90; nope", {"vistorb_set"}).reason, "unknown command 'nope'");
}

TEST_F(CameraViewPanels, OverridesPanelShowsTheTableAndFocusAndBearsBadShapes) {
    nlohmann::json state = {
        {"overrides",
         {{"Player_Bot_Zed",
           {{"playerName", "Zed"}, {"enabled", true}, {"settings", {{"FOV", 97}, {"Pitch", -7}, {"Distance", 280}}}}},
          {"Player_Bot_Cap", {{"playerName", 7}, {"settings", "not values"}}}}},
        {"focusedId", "Player_Bot_Zed"}};
    gui.draw = [&] { sim::DrawOverridesPanel(&shown.overrides, sim::PictureLayout().overrides, state); };
    gui.Frame(2);
    EXPECT_TRUE(gui.Shows("Focused id: Player_Bot_Zed"));
    EXPECT_TRUE(gui.Shows("2 override(s)"));
    for (const char* word : {"Zed", "on", "97", "-7", "280", "Player_Bot_Cap"}) EXPECT_TRUE(gui.ShowsWord(word)) << word;

    for (const nlohmann::json& odd : {nlohmann::json{{"overrides", nullptr}, {"focusedId", nullptr}},
                                      nlohmann::json("not a state"), nlohmann::json()}) {
        state = odd;
        gui.Frame();
        EXPECT_TRUE(gui.Shows("the plugin is not loaded")) << odd.dump();
    }
}

}  // namespace
}  // namespace camera_view_test
