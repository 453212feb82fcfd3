// The host's panels and camera view inside the real GUI host, driven by label: what a person at
// the window does reaches the game, the plugin and the camera view.
#include <cstddef>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "imgui.h"
#include "sim/script/GuiScript.h"
#include "sim/loader/State.h"
#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

// The diagnostic surface is exported only by the loadable testing library; the plugin linked into
// these tests answers through this stand-in, which writes the same document from its table.
Vistorb* linkedPlugin = nullptr;

void LinkedPluginState(sim::DiagnosticSink sink, void* context) {
    nlohmann::json state{{"overrides", nlohmann::json::object()}, {"focusedId", ""}, {"presets", nlohmann::json::array()},
                         {"presetFolder", ""}};
    {
        std::lock_guard<std::mutex> lock(linkedPlugin->stateLock);
        for (const auto& [key, entry] : linkedPlugin->cameraOverrides)
            state["overrides"][key] = {{"enabled", entry.enabled},
                                       {"settings", sim::SettingsJson(entry.settings)},
                                       {"defaultSettings", sim::SettingsJson(entry.defaultSettings)},
                                       {"focusId", entry.focusId},
                                       {"playerName", entry.playerName}};
        state["focusedId"] = linkedPlugin->focusedId;
    }
    const std::string text = state.dump();
    sink(context, text.data(), text.size());
}

constexpr const char* kReplayPanel = "Replay (host)";
constexpr const char* kConsolePanel = "Console (host)";

class CameraViewHostPanels : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        StartPlugin();
        linkedPlugin = plugin.get();
        gui.AttachPlugin(plugin, plugin, &LinkedPluginState);
        gui.ShowReplay(host, true);
        Replay({Bot("Zed", 100.0f), Bot("Cap", 95.0f)}, "Player_Bot_Zed");
        host.Tick(1);
        gui.Frame(2);
    }
    void TearDown() override {
        host.StopGameThread();  // before the plugin goes: its hooks must not run any more
        GuiTest::TearDown();
    }

    nlohmann::json View() {
        nlohmann::json camera;
        gui.RunOnGuiSide([&] { camera = gui.Screen()->CameraJson(); });
        return camera;
    }

    // A line typed into the console panel's field and entered.
    void Enter(const std::string& line) {
        ASSERT_TRUE(gui.Fill("Command", line, kConsolePanel)) << gui.LastError();
        gui.PressKey(ImGuiKey_Enter);
    }

    bool Gui(const std::vector<std::string>& words, std::string& printed, std::string& error) {
        printed.clear();
        return sim::RunGuiScriptCommand(gui, words, error, [&](const std::string& text) { printed += text; });
    }
};

TEST_F(CameraViewHostPanels, AFocusButtonMovesTheCameraThroughTheGamesFocusFunction) {
    ASSERT_EQ(View()["focusId"], "Player_Bot_Zed") << View().dump();
    EXPECT_TRUE(gui.FindText("Focused id: Player_Bot_Zed")) << "the overrides panel reads the plugin's focus";

    ASSERT_TRUE(gui.Press("Focus##Player_Bot_Cap", kReplayPanel)) << gui.LastError();
    EXPECT_EQ(host.Camera().focusActor, "Player_Bot_Cap");
    EXPECT_EQ(FocusedId(), "Player_Bot_Cap") << "the plugin's focus hook ran";
    host.Tick(1);
    gui.Frame();
    EXPECT_EQ(View()["focusId"], "Player_Bot_Cap");
    EXPECT_TRUE(gui.FindText("Focused id: Player_Bot_Cap"));
    EXPECT_TRUE(gui.FindText("Camera view: following Cap"));

    // Settled, the view stands where Cap's own values put it: 95 degrees wide.
    std::string printed, error;
    ASSERT_TRUE(Gui({"camera", "snap"}, printed, error)) << error;
    const nlohmann::json settled = nlohmann::json::parse(printed);
    EXPECT_EQ(settled["camera"], true);
    EXPECT_FLOAT_EQ(settled["fov"].get<float>(), 95.0f);
    EXPECT_NEAR(settled["pitch"].get<double>(), -3.0, 1e-4);
}

TEST_F(CameraViewHostPanels, ConsoleLinesReachThePluginAndARefusedOneIsShownAsRefused) {
    Enter("vistorb_set enabled 1");
    Enter("vistorb_set fov 97");
    EXPECT_TRUE(Entry("Player_Bot_Zed").enabled);
    EXPECT_EQ(Entry("Player_Bot_Zed").settings.FOV, 97.0f) << "the typed line reached the plugin";
    host.Tick(1);
    gui.Frame();
    EXPECT_EQ(View()["fov"], 97.0f) << "the camera view shows the override";

    Enter("nosuch 1");
    gui.Frame();
    EXPECT_TRUE(gui.FindText("refused: unknown command 'nosuch'"));
    for (const std::string& line : host.LogLines())
        EXPECT_EQ(line.find("nosuch"), std::string::npos) << "a refused line is not run: " << line;

    // The session carries on: the next line is taken, and the plugin's answer shows in the panel.
    Enter("vistorb_set zoom 3");
    gui.Frame();
    EXPECT_TRUE(gui.FindText("Unknown value zoom"));
}

TEST_F(CameraViewHostPanels, PlayAndPauseTheGameThreadsTick) {
    EXPECT_TRUE(gui.Find("Play", kReplayPanel)) << "a stepped host ticks only when told: it shows as paused";
    host.StartGameThread(true);
    gui.Frame();
    // Two trips to the game thread: its loop ticks between them unless the replay is paused.
    const auto ticksOverTwoTrips = [&] {
        const uint64_t before = host.TickCount();
        host.RunOnGameThread([] {});
        host.RunOnGameThread([] {});
        return host.TickCount() - before;
    };
    EXPECT_TRUE(host.Ticking());
    EXPECT_GT(ticksOverTwoTrips(), 0u);

    ASSERT_TRUE(gui.Press("Pause", kReplayPanel)) << gui.LastError();
    EXPECT_FALSE(host.Ticking());
    EXPECT_EQ(ticksOverTwoTrips(), 0u);
    gui.Frame();
    EXPECT_FALSE(gui.Find("Pause", kReplayPanel));
    EXPECT_TRUE(gui.FindText("paused"));

    ASSERT_TRUE(gui.Press("Play", kReplayPanel)) << gui.LastError();
    EXPECT_TRUE(host.Ticking());
    EXPECT_GT(ticksOverTwoTrips(), 0u);
}

TEST_F(CameraViewHostPanels, ScriptLinesShowHideAndReportThePanels) {
    std::string printed, error;
    ASSERT_TRUE(Gui({"panel", "hide", "console"}, printed, error)) << error;
    EXPECT_FALSE(gui.Find("Command", kConsolePanel));
    ASSERT_TRUE(Gui({"panels"}, printed, error)) << error;
    EXPECT_EQ(nlohmann::json::parse(printed),
              (nlohmann::json{{"replay", true}, {"console", false}, {"overrides", true}}));
    ASSERT_TRUE(Gui({"panel", "show", "console"}, printed, error)) << error;
    gui.Frame();
    EXPECT_TRUE(gui.Find("Command", kConsolePanel));

    struct Bad {
        std::vector<std::string> words;
        const char* error;
    };
    const Bad bad[] = {{{"panel", "show", "camera"}, "no host panel named 'camera'"},
                       {{"panel", "toggle", "replay"}, "usage: gui panel show|hide"},
                       {{"camera", "now"}, "usage: gui camera [snap]"}};
    for (const Bad& b : bad) {
        EXPECT_FALSE(Gui(b.words, printed, error));
        EXPECT_NE(error.find(b.error), std::string::npos) << error;
    }

    sim::GuiHost bare;
    EXPECT_FALSE(sim::RunGuiScriptCommand(bare, {"panels"}, error));
    EXPECT_NE(error.find("shows no replay"), std::string::npos) << error;
}

}  // namespace
}  // namespace gui_test
