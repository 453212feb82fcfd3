// The simulated host console: how a line becomes commands and words, the commands a plugin
// registers, the ones it hands back to the host, and the menu commands.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/game/Host.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Words = std::vector<std::string>;

TEST(SimConsole, SplitsCommandsAtSemicolonsAndWordsAtBlanksWithQuotesGrouping) {
    using sim::Host;
    EXPECT_THAT(Host::SplitCommandLine("vistorb_set fov 95"), ElementsAre(Words{"vistorb_set", "fov", "95"}));
    EXPECT_THAT(Host::SplitCommandLine("  a\tb  ;c;; d  "), ElementsAre(Words{"a", "b"}, Words{"c"}, Words{"d"}));
    EXPECT_THAT(Host::SplitCommandLine("say \"two words; one command\" x"),
                ElementsAre(Words{"say", "two words; one command", "x"}));
    EXPECT_THAT(Host::SplitCommandLine("a \"\" b"), ElementsAre(Words{"a", "", "b"})) << "an empty quoted word";
    EXPECT_THAT(Host::SplitCommandLine("pre\"fix mid\"dle"), ElementsAre(Words{"prefix middle"}));
    EXPECT_THAT(Host::SplitCommandLine("sleep 1; openmenu Vistorb"),
                ElementsAre(Words{"sleep", "1"}, Words{"openmenu", "Vistorb"}));
    EXPECT_THAT(Host::SplitCommandLine(""), IsEmpty());
    EXPECT_THAT(Host::SplitCommandLine(" ; ;"), IsEmpty());
    EXPECT_THAT(Host::SplitCommandLine("vistorb_set distance (100,150,300,350)"),
                ElementsAre(Words{"vistorb_set", "distance", "(100,150,300,350)"}));
}

TEST(SimConsole, NotifiersGetTheirWordsNameFirstAndUnknownCommandsAreReported) {
    sim::Host host;
    auto console = host.Console();
    std::vector<Words> calls;
    console->registerNotifier("vistorb_set", [&](Words words) { calls.push_back(words); }, "", 0);
    host.RunConsoleLine("vistorb_set FOV 95; vistorb_set; nosuch thing; vistorb_set \"a b\" c");
    EXPECT_THAT(calls, ElementsAre(Words{"vistorb_set", "FOV", "95"}, Words{"vistorb_set"},
                                   Words{"vistorb_set", "a b", "c"}));
    EXPECT_THAT(host.LogLines(), ElementsAre("Unknown command: nosuch"));
}

TEST(SimConsole, CommandsFromThePluginRunOnTheGameThreadWithSleepAndMenus) {
    sim::Host host;
    auto console = host.Console();
    std::vector<std::string> menus;
    host.SetMenuHandler([&](const std::string& verb, const std::string& menu) { menus.push_back(verb + " " + menu); });

    console->executeCommand("sleep 1; openmenu Vistorb", true);
    console->executeCommand("togglemenu Vistorb");
    EXPECT_THAT(host.ExecutedCommands(), ElementsAre("sleep 1; openmenu Vistorb", "togglemenu Vistorb"));
    EXPECT_THAT(menus, IsEmpty()) << "handed-back commands wait for the game thread";

    host.Wait(0);
    EXPECT_THAT(menus, ElementsAre("togglemenu Vistorb")) << "the sleeping line is not due yet";
    host.Wait(0.0005);
    EXPECT_THAT(menus, ElementsAre("togglemenu Vistorb"));
    host.Wait(0.01);
    EXPECT_THAT(menus, ElementsAre("togglemenu Vistorb", "openmenu Vistorb"));
}

// Binds as the game's console keeps them: the key ignores letter case, the quoted command may
// hold several commands, and what is refused says so on the console.
TEST(SimConsole, BindsRunTheirCommandsWhenTheKeyIsPressed) {
    sim::Host host;
    auto console = host.Console();
    std::vector<Words> calls;
    console->registerNotifier("n", [&](Words words) { calls.push_back(words); }, "", 0);
    struct Case {
        const char* line;
        const char* pressed;  // then this key
        std::vector<Words> calls;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {"bind F5 \"n 1; n 2 x\"", "f5", {{"n", "1"}, {"n", "2", "x"}}, {}},
        {"bind F5", "F6", {}, {"F5 is bound to \"n 1; n 2 x\""}},
        {"bind f5 \"n 2\"", "F5", {{"n", "2"}}, {}},  // one key: bound again
        {"unbind F5", "F5", {}, {}},
        {"unbind F5", "F5", {}, {"F5 is not bound"}},
        {"bind F5 n 3", "F5", {}, {"usage: bind KEY \"COMMAND\" (quote a command of more than one word)"}},
        {"unbind", "F5", {}, {"usage: unbind KEY"}},
        {"plugin load Vistorb", "F5", {}, {"no plugin loader: plugin load Vistorb"}},
        {"plugin list", "F5", {}, {"usage: plugin load NAME | plugin unload NAME"}},
    };
    for (const Case& c : cases) {
        calls.clear();
        host.ClearLog();
        host.RunConsoleLine(c.line);
        EXPECT_EQ(host.PressKey(c.pressed), !c.calls.empty()) << c.line;
        EXPECT_EQ(calls, c.calls) << c.line;
        EXPECT_EQ(host.LogLines(), c.log) << c.line;
    }
    std::vector<std::string> plugins;
    host.SetPluginHandler([&](const std::string& verb, const std::string& name) { plugins.push_back(verb + " " + name); });
    host.RunConsoleLine("bind F1 \"plugin unload vistorb; plugin load vistorb\"");
    host.PressKey("F1");
    EXPECT_THAT(plugins, ElementsAre("unload vistorb", "load vistorb"));
}

TEST(SimConsole, LogLinesAreKeptAndEchoedAsTheyArrive) {
    sim::Host host;
    std::vector<std::string> echoed;
    host.SetLogEcho([&](const std::string& text) { echoed.push_back(text); });
    host.Console()->log("no focus actor");
    host.Console()->log("");  // an empty line is still a line
    host.Console()->log("Unknown value foo");
    EXPECT_THAT(host.LogLines(), ElementsAre("no focus actor", "", "Unknown value foo"));
    EXPECT_EQ(echoed, host.LogLines());
    host.ClearLog();
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

}  // namespace

// A line is worked through one command after another: 10^5 commands, with sleeps among them,
// all run in order, and a sleep still holds back only what follows it.
TEST(SimConsole, AVeryLongLineRunsEveryCommandInOrder) {
    sim::Host host;
    auto console = host.Console();
    std::vector<int> seen;
    console->registerNotifier("n", [&](Words words) { seen.push_back(std::stoi(words.at(1))); }, "", 0);
    constexpr int kCommands = 100000;
    std::string line;
    for (int i = 0; i < kCommands; ++i) {
        line += "n " + std::to_string(i) + ";";
        if (i % 20000 == 19999) line += "sleep 1;";
    }
    host.RunConsoleLine(line);
    EXPECT_EQ(seen.size(), 20000u) << "the first sleep holds back the rest";
    for (int sleeps = 0; sleeps < 4; ++sleeps) host.Wait(0.01);
    ASSERT_EQ(seen.size(), static_cast<size_t>(kCommands));
    for (int i = 0; i < kCommands; ++i) ASSERT_EQ(seen[i], i);
}
