// Scenario scripts run in-process: what each kind of bad line does to the run and what it says,
// the placing of files, the checks, and the console's carry-on behaviour.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/LogLine.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/script/Script.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using Status = sim::ScriptRunner::Status;

class ScriptLanguage : public ::testing::Test {
protected:
    sim::Host host;
    sim::PluginLoader loader{host};
    std::ostringstream out, err;
    std::unique_ptr<sim::ScriptRunner> runner = std::make_unique<sim::ScriptRunner>(host, loader, out, err);

    void SetUp() override { runner->SetDefaultPluginPath(VISTORB_TESTING_PLUGIN_PATH); }
    void TearDown() override {
        loader.Unload();
        runner.reset();
        globalConsoleManager.reset();
    }

    int Run(const std::string& text) {
        std::istringstream in(text);
        return runner->RunScript(in, "t.vsim");
    }
    Status Line(const std::string& line) { return runner->RunLine(line, "t.vsim:1"); }
};

TEST_F(ScriptLanguage, AFileRunStopsAtItsFirstBadLineAndNamesIt) {
    EXPECT_EQ(Run("# a comment with an \"open quote\n\n   # an indented comment\n\t\r\necho  one\n"
                  "frobnicate now\necho two\n"),
              2);
    EXPECT_EQ(out.str(), " one\n") << "the echo keeps what follows its one blank";
    EXPECT_EQ(err.str(), "t.vsim:6: unknown command 'frobnicate'\n");

    err.str("");
    EXPECT_EQ(Run("tick\ntick many\ntick\n"), 2);
    EXPECT_EQ(err.str(), "t.vsim:2: usage: tick [COUNT] (0 to 10000000)\n");
    EXPECT_EQ(host.TickCount(), 1u) << "nothing after the bad line ran";

    err.str("");
    EXPECT_EQ(Run("echo ok\r\nunload\r\necho never\r\n"), 1) << "a step that fails stops the run too";
    EXPECT_EQ(err.str(), "t.vsim:2: no plugin is loaded\n");
    EXPECT_EQ(Run("echo fine\nquit\nfrobnicate\n"), 0) << "quit ends the run early, as a success";
}

TEST_F(ScriptLanguage, MalformedLinesAreRefusedWithTheirUsageAndChangeNothing) {
    const char* bad[] = {
        "build", "build 16x", "build -1", "data", "data a b", "file", "file ../outside.json {}",
        "file /etc/passwd x", "file a/../../b x", "file notes.txt <<", "file notes.txt << TWO WORDS", "load a b",
        "unload now", "replay", "replay sideways", "replay camera maybe", "player", "player human OnlyAnId",
        "player bot", "player bot Zed 1 2 3", "player bot Zed 1 2 3 4 5 6 x", "player ghost Zed", "import now",
        "wait", "wait -1", "wait nan", "wait 1e9", "sleep 10000", "focus", "focus a b", "tick -1", "tick 1 2",
        "tick 1.5", "hud", "hud build", "console", "state now", "camera now", "threads", "threads maybe",
        "expect", "expect x", "expect count a", "expect logcount x", "log", "log clear", "gui", "quit now",
        "echo \"unclosed", "frobnicate",
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        err.str("");
        EXPECT_EQ(Line(line), Status::BadLine);
        const std::string message = err.str();
        EXPECT_THAT(message, StartsWith("t.vsim:1: "));
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << "one line: " << message;
    }
    EXPECT_EQ(host.TickCount(), 0u);
    EXPECT_FALSE(host.InReplay());
    EXPECT_TRUE(host.Players().empty());
    EXPECT_EQ(host.Build(), 160);
    EXPECT_FALSE(std::filesystem::exists(host.DataFolder().parent_path() / "outside.json"));
}

TEST_F(ScriptLanguage, StepsThatCannotBeDoneFailWithAReason) {
    EXPECT_EQ(Line("unload"), Status::Failed);
    EXPECT_EQ(Line("load /nonexistent/Vistorb.so"), Status::Failed);
    EXPECT_THAT(err.str(), HasSubstr("t.vsim:1: cannot load /nonexistent/Vistorb.so"));
    EXPECT_EQ(Line("gui open settings"), Status::Failed) << "no GUI host in this run";
    EXPECT_THAT(err.str(), HasSubstr("no GUI host is running"));
    EXPECT_EQ(Line("data /dev/null/below-a-file"), Status::Failed);
    EXPECT_THAT(err.str(), HasSubstr("cannot use /dev/null/below-a-file as the data folder"));

    err.str("");
    std::ostringstream missing;
    EXPECT_EQ(runner->RunFile("/nonexistent/script.vsim"), 2);
    EXPECT_THAT(err.str(), HasSubstr("/nonexistent/script.vsim: cannot read the script"));
    err.str("");
    EXPECT_EQ(runner->RunFile(std::filesystem::temp_directory_path()), 2);
    EXPECT_THAT(err.str(), HasSubstr("it is a folder"));
}

TEST_F(ScriptLanguage, FilesArePlacedInsideTheDataFolderAsWritten) {
    ASSERT_EQ(Run("data temp\n"
                  "file Vistorb/presets/a.json <<END\n"
                  "{\n"
                  "# not a comment in here\n"
                  "\n"
                  "  \"x\": 1 }\n"
                  "END\n"
                  "file one.txt   some \"quoted\" text  \n"
                  "file empty.json\n"),
              0)
        << err.str();
    auto read = [&](const char* name) {
        std::ifstream in(host.DataFolder() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(read("Vistorb/presets/a.json"), "{\n# not a comment in here\n\n  \"x\": 1 }\n");
    EXPECT_EQ(read("one.txt"), "some \"quoted\" text\n");
    EXPECT_TRUE(std::filesystem::exists(host.DataFolder() / "empty.json"));
    EXPECT_EQ(read("empty.json"), "");

    err.str("");
    EXPECT_EQ(Run("echo before\nfile late.json <<EOF\n{}\n"), 2) << "a text that never ends";
    EXPECT_EQ(err.str(), "t.vsim:2: the text of late.json never ends: no line 'EOF' follows\n");
    EXPECT_FALSE(std::filesystem::exists(host.DataFolder() / "late.json"));

    // "data temp" folders belong to the run and go with it.
    std::filesystem::path folder = host.DataFolder();
    runner.reset();
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(ScriptLanguage, ChecksReadTheStateAndTheLogInOrder) {
    ASSERT_EQ(Run("load\n"
                  "replay open\n"
                  "player bot Zed 95 100 -3 260 0.45 4 1.2\n"
                  "import\n"
                  "wait 2\n"
                  "focus Player_Bot_Zed\n"
                  "expect overrides.Player_Bot_Zed.settings.Stiffness 0.45\n"
                  "expect overrides[Player_Bot_Zed].enabled false\n"
                  "expect count overrides 1\n"
                  "expect replay.players[0].name Zed\n"
                  "log mark\n"
                  "console vistorb_set zoom 1\n"
                  "console vistorb_set zoom 2\n"
                  "expect logcount 2\n"
                  "expect log Unknown value zoom\n"
                  "expect nolog no focus actor\n"),
              0)
        << err.str();

    struct Case {
        const char* line;
        const char* message;
    };
    const Case failing[] = {
        {"expect overrides.Player_Bot_Zed.settings.FOV 96", "expected overrides.Player_Bot_Zed.settings.FOV to be 96, found 95.0"},
        {"expect focusedId Player_Bot_zed", "expected focusedId to be Player_Bot_zed, found \"Player_Bot_Zed\""},
        {"expect overrides.Nobody.enabled true", "has no member 'Nobody'"},
        {"expect replay.players[3] null", "has no element [3]"},
        {"expect replay.players[x] null", "is not a path"},
        {"expect count focusedId 1", "focusedId is not a list"},
        {"expect count overrides 2", "expected 2 entries in overrides, found 1"},
        // The check above read past the first of the two lines; the second is still ahead.
        {"expect nolog Unknown value zoom", "did not expect the log line \"Unknown value zoom\""},
        {"expect logcount 0", "expected 0 log lines since the mark, found 1"},
    };
    for (const Case& c : failing) {
        SCOPED_TRACE(c.line);
        err.str("");
        EXPECT_EQ(Line(c.line), Status::Failed);
        EXPECT_THAT(err.str(), HasSubstr(c.message));
    }
    EXPECT_EQ(Line("expect log Unknown value zoom"), Status::Ok) << "the second line";
    err.str("");
    EXPECT_EQ(Line("expect log Unknown value zoom"), Status::Failed) << "no third one";
    EXPECT_THAT(err.str(), HasSubstr("expected the log line \"Unknown value zoom\""));
    EXPECT_EQ(Line("log mark"), Status::Ok);
    EXPECT_EQ(Line("expect logcount 0"), Status::Ok);
}

TEST_F(ScriptLanguage, TheConsoleReportsBadLinesAndCarriesOn) {
    std::istringstream typed("echo one\nfrobnicate\nfile x.json <<END\nwait two\nEND\necho two\nquit\necho three\n");
    runner->RunConsole(typed, "console", false);
    EXPECT_EQ(out.str().find("one\n") != std::string::npos, true);
    EXPECT_THAT(out.str(), HasSubstr("two\n"));
    EXPECT_THAT(out.str(), Not(HasSubstr("three")));
    EXPECT_EQ(err.str(), "console:2: unknown command 'frobnicate': neither a script command nor one of the host console\n");
    std::ifstream placed(host.DataFolder() / "x.json");
    std::string text((std::istreambuf_iterator<char>(placed)), {});
    EXPECT_EQ(text, "wait two\n") << "heredoc lines are text, not commands";
}

// At the console a host console line works as typed; in a script it still needs "console".
TEST_F(ScriptLanguage, TheConsoleHandsHostCommandsToTheHostsConsole) {
    ASSERT_EQ(Run("load\n"), 0);
    std::istringstream typed("  vistorb_set fov 90\nclosemenu x; vistorb_set fov\nopenmenu nothing\n");
    runner->RunConsole(typed, "console", false);
    EXPECT_THAT(out.str(), HasSubstr("> vistorb_set fov 90\n"));
    EXPECT_THAT(host.LogLines(), ::testing::Contains("not in replay")) << "vistorb_set ran";
    EXPECT_THAT(host.LogLines(), ::testing::Contains("no menu host: openmenu nothing"));
    EXPECT_THAT(out.str(), HasSubstr("> closemenu x; vistorb_set fov\n"));
    EXPECT_THAT(out.str(), HasSubstr("> openmenu nothing\n"));
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(Line("vistorb_set fov 90"), Status::BadLine) << "a script names the console";
}

TEST_F(ScriptLanguage, PrintsPluginLogLinesCameraSummariesAndState) {
    ASSERT_EQ(Run("replay open\n"
                  "player human \"Steam|1|0\" \"Ann Lee\" 90 100 -4 270 0.5 4 1.25\n"
                  "load\n"
                  "camera\n"
                  "focus Player_Steam|1|0\n"
                  "tick 3\n"
                  "camera\n"
                  "console vistorb_set fov\n"
                  "state\n"),
              0)
        << err.str();
    const std::string text = out.str();
    EXPECT_THAT(text, HasSubstr("[host] loaded Vistorb " VISTORB_VERSION " (plugin API build 95) from " VISTORB_TESTING_PLUGIN_PATH "\n"));
    EXPECT_THAT(text, HasSubstr("[camera] no new writes (following nobody)\n"));
    EXPECT_THAT(text, HasSubstr("[camera] 3 new writes, last at tick 3 for Player_Steam|1|0: FOV 90 Height 100 "
                                "Angle -4 Distance 270 Stiffness 0.5 SwivelSpeed 4 TransitionSpeed 1.25\n"));
    EXPECT_THAT(text, HasSubstr("> vistorb_set fov\n[console] Usage: vistorb_set "
                                "enabled|fov|height|angle|distance|stiffness|swivelspeed|transitionspeed new-value\n"));
    size_t brace = text.find("\n{\n");
    ASSERT_NE(brace, std::string::npos);
    nlohmann::json state = nlohmann::json::parse(text.substr(brace + 1));
    EXPECT_EQ(state["overrides"]["Player_Steam|1|0"]["playerName"], "Ann Lee");
    EXPECT_EQ(state["camera"]["writeCount"], 3);
    EXPECT_EQ(state["replay"]["players"][0]["uniqueId"], "Steam|1|0");
    EXPECT_EQ(state["plugin"]["loaded"], true);
}

TEST_F(ScriptLanguage, TheStateShowsBytesThatAreNotUtf8AsReplacementCharacters) {
    EXPECT_EQ(Line("console vistorb_\xc3\xff"), Status::Ok);
    out.str("");
    EXPECT_EQ(Line("state"), Status::Ok) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("\"Unknown command: vistorb_\xEF\xBF\xBD"));
    EXPECT_EQ(Line("expect log[0] something-else"), Status::Failed);
    EXPECT_THAT(err.str(), HasSubstr("expected log[0] to be something-else, found \"Unknown command: vistorb_\xEF\xBF\xBD"));
    EXPECT_EQ(Line("expect log Unknown command: vistorb_\xc3\xff"), Status::Ok) << "checks compare the bytes";
}

TEST_F(ScriptLanguage, ClipboardLinesFillTheGuiHostsClipboardWhichTheStateShows) {
    EXPECT_EQ(Line("expect clipboard null"), Status::Ok) << "no GUI host, no clipboard";
    EXPECT_EQ(Line("clipboard FOV 100"), Status::Failed);
    EXPECT_EQ(err.str(), "t.vsim:1: no GUI host is running: there is no clipboard\n");
    std::string board = "old";
    runner->SetClipboard({[&](const std::string& text) { board = text; }, [&] { return board; }});
    EXPECT_EQ(Run("clipboard  Vistorb camera \"A\": FOV 90 \nexpect clipboard \"Vistorb camera \\\"A\\\": FOV 90\"\n"), 0)
        << err.str();
    EXPECT_EQ(Run("clipboard <<END\nFOV\t110\n\n  END\nEND\necho after\n"), 0);
    EXPECT_EQ(board, "FOV\t110\n\n  END\n") << "the lines as they are, up to the one that is exactly the marker";
    EXPECT_THAT(out.str(), HasSubstr("[host] put 15 bytes on the clipboard\nafter\n"));
    EXPECT_EQ(Line("clipboard"), Status::Ok);
    EXPECT_EQ(board, "");
    EXPECT_EQ(Line("clipboard << TWO WORDS"), Status::BadLine);
    EXPECT_EQ(Run("clipboard <<END\nFOV 1\n"), 2);
    EXPECT_THAT(err.str(), HasSubstr("t.vsim:1: the text of the clipboard never ends: no line 'END' follows\n"));
}

// What the GUI host's close handler does when the person closes the window.
TEST_F(ScriptLanguage, AStopEndsAScriptBeforeItsNextLineAsASuccess) {
    runner->SetGuiCommand([&](const std::vector<std::string>&, std::string&) {
        runner->RequestStop();
        return true;
    });
    EXPECT_EQ(Run("echo one\ngui close window\necho two\nfrobnicate\n"), 0);
    EXPECT_EQ(out.str(), "one\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(Line("sleep 600"), Status::Ok) << "a sleep does not outlast the stop";
}

TEST_F(ScriptLanguage, AStopWhileTheConsoleWaitsForALineEndsIt) {
    int reads = 0;
    runner->RunConsole(
        [&](std::string& line) {
            ++reads;
            runner->RequestStop();  // the window closes while the console waits
            line = "echo typed too late";
            return true;
        },
        "console", false);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(out.str(), "") << "the line that came with the stop does not run";
    runner->RunConsole([&](std::string&) { return ++reads, true; }, "console", false);
    EXPECT_EQ(reads, 1) << "a stopped runner reads nothing more";
}

TEST(ScriptWords, SplitAtBlanksWithQuotesAndEscapes) {
    std::vector<sim::ScriptWord> words;
    std::string error;
    ASSERT_TRUE(sim::SplitScriptLine("player human \"Steam|1|0\" \"Ann \\\"A\\\" Lee\" x\\y", words, error));
    ASSERT_EQ(words.size(), 5u);
    EXPECT_EQ(words[2].text, "Steam|1|0");
    EXPECT_EQ(words[3].text, "Ann \"A\" Lee");
    EXPECT_EQ(words[4].text, "x\\y") << "a backslash outside quotes is an ordinary character";
    ASSERT_TRUE(sim::SplitScriptLine("focus \"\"", words, error));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[1].text, "") << "an empty quoted word is a word";
    EXPECT_FALSE(sim::SplitScriptLine("echo \"open", words, error));
    EXPECT_EQ(error, "a double quote is not closed");
}

TEST(ScriptWords, JsonPathsReachMembersElementsAndKeysWithDots) {
    nlohmann::json doc = nlohmann::json::parse(R"({"a": {"x.y": [1, {"b": true}], "2": "two"}, "n": null})");
    std::string error;
    const nlohmann::json* found = sim::FindJsonPath(doc, "a[x.y][1].b", error);
    ASSERT_NE(found, nullptr) << error;
    EXPECT_EQ(*found, true);
    found = sim::FindJsonPath(doc, "a[2]", error);  // on an object, [2] is the member "2"
    ASSERT_NE(found, nullptr) << error;
    EXPECT_EQ(*found, "two");
    found = sim::FindJsonPath(doc, "n", error);
    ASSERT_NE(found, nullptr) << error;
    EXPECT_TRUE(found->is_null());
    EXPECT_EQ(sim::FindJsonPath(doc, "a[x.y][2]", error), nullptr);
    EXPECT_EQ(error, "'a[x.y][2]' has no element [2]");
    EXPECT_EQ(sim::FindJsonPath(doc, "a[x.y", error), nullptr);
    EXPECT_EQ(error, "'a[x.y' is not a path (a.b, a[2], a[key])");
    EXPECT_EQ(sim::FindJsonPath(doc, "n.deeper", error), nullptr);
    EXPECT_EQ(error, "'n.deeper' has no member 'deeper'");
}

}  // namespace
