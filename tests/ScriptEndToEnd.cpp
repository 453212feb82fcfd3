// vistorb-host run as a user runs it: the demo, a checked session script, bad input of every
// kind (each one clear message and the documented exit status), and the console on stdin.
#include <filesystem>
#include <random>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/loader/Loader.h"
#include "tests/TestPlatform.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

using test_platform::RunResult;
using test_platform::ShellPath;

RunResult RunHost(const std::string& arguments, const std::string& input = "") {
    return test_platform::RunProgram(VISTORB_HOST_PATH, arguments, input);
}

// Scripts click the plugin's widgets, which only the testing library reports to the GUI host.
RunResult RunHostWithTestingPlugin(const std::string& arguments, const std::string& input = "") {
    return RunHost("--plugin " + test_platform::Quoted(VISTORB_TESTING_PLUGIN_PATH) + " " + arguments, input);
}

// A library path as the host names it in its lines: made absolute as it does with --plugin
// (on Windows that brings the drive).
std::string AsHostShows(const std::string& path) {
    return std::filesystem::absolute(std::filesystem::u8path(path)).lexically_normal().u8string();
}

std::string Script(const std::string& name) { return ShellPath(VISTORB_TEST_DATA "/scripts/" + name); }

TEST(ScriptEndToEnd, TheDemoPlaysAWholeSessionAndUnloadsCleanly) {
    RunResult run = RunHostWithTestingPlugin("--demo");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string& text = run.output;
    EXPECT_THAT(text, HasSubstr("[host] placed Vistorb/presets/Wide.json"));
    EXPECT_THAT(text, HasSubstr("[host] loaded Vistorb " VISTORB_VERSION " (plugin API build 95) from " + AsHostShows(VISTORB_TESTING_PLUGIN_PATH)));
    EXPECT_THAT(text, HasSubstr("> vistorb_set fov 200\n"));
    EXPECT_THAT(text, HasSubstr("[console] Unknown value zoom\n"));
    EXPECT_THAT(text, HasSubstr("> vistorb_preset Close\n"));
    EXPECT_THAT(text, HasSubstr("[console] no focus actor\n"));
    EXPECT_THAT(text, HasSubstr("[console] Copied to the clipboard: Vistorb camera \"Wide\": FOV 110, Height 120, "));
    EXPECT_THAT(text, HasSubstr("[console] Pasted with Transition speed taken from Ace's override: the clipboard has none\n"));
    EXPECT_THAT(text, HasSubstr("[camera] 3 new writes, last at tick 3 for Player_Bot_Zed: FOV 95 "));
    // The camera view of one moment, Cap's override off and then on.
    EXPECT_THAT(text, HasSubstr("\"focusId\":\"Player_Bot_Cap\",\"fov\":108.0,\"pitch\":-6.0"));
    EXPECT_THAT(text, HasSubstr("\"focusId\":\"Player_Bot_Cap\",\"fov\":75.0,\"pitch\":-12.0"));
    EXPECT_THAT(text, HasSubstr("\"focusedId\": \"Player_Bot_Cap\""));
    EXPECT_THAT(text, HasSubstr("[host] unloaded Vistorb\n"));
    EXPECT_THAT(text, EndsWith("== demo done ==\n"));
    EXPECT_THAT(text, Not(HasSubstr("demo.vsim:"))) << "no line of the demo failed";
}

TEST(ScriptEndToEnd, ACheckedBuild162SessionPasses) {
    RunResult run = RunHostWithTestingPlugin("--script " + Script("session162.vsim"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("[console] null camera\n"));
    EXPECT_THAT(run.output, HasSubstr("[host] unloaded Vistorb\n"));
}

TEST(ScriptEndToEnd, TheReadmeExampleRunsAsDocumented) {
    RunResult run = RunHostWithTestingPlugin("--script " + Script("readme-example.vsim"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("> vistorb_set enabled 1; vistorb_set fov 200\n"));
    EXPECT_THAT(run.output, HasSubstr("[camera] 3 new writes, last at tick 1 for Player_Bot_Zed: FOV 110 "));
}

TEST(ScriptEndToEnd, ThePluginIsLoadedByNameAndBoundKeysRunAtTheConsole) {
    RunResult run = RunHostWithTestingPlugin("--script " + Script("plugin-console.vsim"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("> plugin unload VISTORB\n[host] unloaded Vistorb\n"));
    EXPECT_THAT(run.output, HasSubstr("[console] plugin load nosuch: no plugin nosuch in "));
    EXPECT_THAT(run.output, HasSubstr("> plugin load vistorb\n[console] Reading camera preset json files"));
    EXPECT_THAT(run.output, HasSubstr("[host] key F5 runs: vistorb_set enabled 1; vistorb_set fov 100\n"));
    EXPECT_THAT(run.output, HasSubstr("[host] key F6: nothing is bound to it\n"));
    EXPECT_THAT(run.output, HasSubstr("> plugin unload vistorb; plugin load vistorb\n[host] unloaded Vistorb\n"));
}

TEST(ScriptEndToEnd, VersionAndRelativePaths) {
    RunResult version = RunHost("--version");
    EXPECT_EQ(version.status, 0) << version.output;
    EXPECT_THAT(version.output, HasSubstr("vistorb-host " VISTORB_VERSION "\nplugin Vistorb " VISTORB_VERSION
                                          " (plugin API build 95) from "));
    RunResult notPlugin = RunHost("--version --plugin " VISTORB_NOT_A_PLUGIN);
    EXPECT_EQ(notPlugin.status, 1) << "a version that cannot be read is no success";

    // The preset folder must be absolute: a relative --data is taken from the current folder.
    // Below the current folder, so that the relative path stays on its drive on Windows.
    const std::filesystem::path relative = "vistorb-reldata-" + std::to_string(std::random_device{}());
    const std::filesystem::path data = std::filesystem::absolute(relative);
    std::filesystem::create_directory(data);
    RunResult run = RunHost("--data " + ShellPath(relative.string()), "quit\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Reading camera preset json files recursively from " + data.string()));
    EXPECT_TRUE(std::filesystem::is_directory(data / "Vistorb" / "presets"));
    std::filesystem::remove_all(data);
}

TEST(ScriptEndToEnd, BadInputGetsOneClearMessageAndItsExitStatus) {
    RunResult bad = RunHost("--script " + Script("bad-line.vsim"));
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.output, HasSubstr("first\n"));
    EXPECT_THAT(bad.output, HasSubstr("bad-line.vsim:3: unknown command 'frobnicate'\n"));
    EXPECT_THAT(bad.output, Not(HasSubstr("never printed")));

    RunResult notPlugin = RunHost("--plugin " VISTORB_NOT_A_PLUGIN " --script " + Script("load-only.vsim"));
    EXPECT_EQ(notPlugin.status, 1);
    EXPECT_THAT(notPlugin.output, HasSubstr("load-only.vsim:1: cannot load " VISTORB_NOT_A_PLUGIN
                                            ": it is not a plugin library: it has no 'exports' record\n"));
    EXPECT_THAT(notPlugin.output, Not(HasSubstr("never printed")));

    RunResult wrongBuild =
        RunHost("--plugin " + ShellPath(VISTORB_FAKE_PLUGIN_DIR "/fake_wrong_build" VISTORB_LIBRARY_SUFFIX));
    EXPECT_EQ(wrongBuild.status, 1) << "without a script the plugin must load, or the run cannot go on";
    EXPECT_THAT(wrongBuild.output, HasSubstr("it was built for plugin API build 94, this host loads API build 95"));

    RunResult missing = RunHost("--script /nonexistent/x.vsim");
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.output, HasSubstr("/nonexistent/x.vsim: cannot read the script: No such file or directory\n"));

    // Below a file, where no system can make a folder.
    RunResult folder = RunHost("--data " + ShellPath(VISTORB_HOST_PATH "/data") + " --demo");
    EXPECT_EQ(folder.status, 1);
    EXPECT_THAT(folder.output, HasSubstr("vistorb-host: cannot use "));
    EXPECT_THAT(folder.output, HasSubstr("data as the data folder: "));

    for (const char* options : {"--bogus", "--build", "--build x", "--gui sideways", "--demo --script x"}) {
        RunResult usage = RunHost(options);
        EXPECT_EQ(usage.status, 2) << options;
        EXPECT_THAT(usage.output, HasSubstr("usage: vistorb-host")) << options;
    }
}

TEST(ScriptEndToEnd, TheConsoleOnStdinLoadsThePluginAndCarriesOnAfterMistakes) {
    RunResult run = RunHostWithTestingPlugin("", "replay open\nconsole vistorb_set fov\nbogus line\nconsole vistorb_set fov 90\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("[host] loaded Vistorb"));
    EXPECT_THAT(run.output, HasSubstr("[console] Usage: vistorb_set "));
    EXPECT_THAT(run.output, HasSubstr("console:3: unknown command 'bogus': neither a script command nor one of the host console\n"));
    EXPECT_THAT(run.output, HasSubstr("[console] no focus actor\n")) << "the line after the mistake ran";
    EXPECT_THAT(run.output, HasSubstr("[host] unloaded Vistorb\n"));
}

TEST(ScriptEndToEnd, TheReleaseLibraryLoadsButShowsNoPluginTable) {
    // The build a host would load has no diagnostic surface: the state says nothing of the
    // plugin's own data, and the checks that read it fail with a reason.
    RunResult run = RunHost("--plugin " + test_platform::Quoted(VISTORB_PLUGIN_PATH),
                            "expect overrides null\nexpect presets null\nexpect count presets 0\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("[host] loaded Vistorb " VISTORB_VERSION " (plugin API build 95) from " + AsHostShows(VISTORB_PLUGIN_PATH)));
    EXPECT_THAT(run.output, HasSubstr("console:3: presets is not a list: null\n"));
    EXPECT_THAT(run.output, Not(HasSubstr("console:1:")));
    EXPECT_THAT(run.output, Not(HasSubstr("console:2:")));
}

TEST(ThreadsScriptEndToEnd, ASessionWithRealGameAndRenderThreadsPasses) {
    RunResult run = RunHostWithTestingPlugin("--script " + Script("threads.vsim"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("[host] threads on"));
    EXPECT_THAT(run.output, HasSubstr("[host] unloaded Vistorb\n"));
}

}  // namespace
