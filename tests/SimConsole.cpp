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
