// The simulator's loader: the real library loaded and unloaded through its exports, libraries
// that are not (good) plugins refused with one clear message, and the in-process front end.
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/LogLine.h"
#include "plugin/Vistorb.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/loader/State.h"
#include "tests/PlayerSupport.h"
#include "tests/TestPlatform.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string Fake(const std::string& name) {
    return std::string(VISTORB_FAKE_PLUGIN_DIR) + "/fake_" + name + VISTORB_LIBRARY_SUFFIX;
}

using test_players::Bot;

class LoaderPlugins : public ::testing::Test {
protected:
    sim::Host host;
    std::unique_ptr<sim::PluginLoader> loader = std::make_unique<sim::PluginLoader>(host);
    std::string error;

    void TearDown() override {
        loader.reset();
        // The in-process plugin shares this binary's copy of the log helper's handle.
        globalConsoleManager.reset();
    }
};

TEST_F(LoaderPlugins, LoadsTheBuiltLibraryThroughItsExportsAndStartsIt) {
    host.OpenReplay();
    host.AddPlayer(Bot("Zed", 95));
    host.MoveFocus("Player_Bot_Zed");

    ASSERT_TRUE(loader->Load(sim::kDefaultPluginPath, error)) << error;
    EXPECT_TRUE(loader->Loaded());
    EXPECT_EQ(loader->Description().apiBuild, 95);
    EXPECT_EQ(loader->Description().className, "Vistorb");
    EXPECT_EQ(loader->Description().pluginName, "Vistorb: per-player replay cameras");
    EXPECT_EQ(loader->Description().pluginVersion, VISTORB_VERSION);
    EXPECT_EQ(loader->Description().pluginType, 1u);

    // The handles reached the object before onLoad, and onLoad ran.
    EXPECT_EQ(loader->LoadedPlugin()->cvarManager, host.Console());
    EXPECT_EQ(loader->LoadedPlugin()->gameWrapper, host.Game());
    EXPECT_THAT(host.HookKeys(), ElementsAre("post:Function TAGame.Camera_Replay_TA.SetFocusActor",
                                             "Function TAGame.GFxHUD_Replay_TA.Destroyed",
                                             "Function TAGame.Replay_TA.Tick",
                                             "Function TAGame.GameInfo_Replay_TA.HandleReplayImported"));
    auto notifiers = host.Notifiers();
    ASSERT_EQ(notifiers.count("vistorb_set"), 1u);
    EXPECT_EQ(notifiers["vistorb_set"].description, "");
    EXPECT_EQ(notifiers["vistorb_set"].permissions, 0);

    // The GUI interfaces are found across the library boundary, on the same object.
    ASSERT_NE(loader->Settings(), nullptr);
    ASSERT_NE(loader->PluginWindowSlot(), nullptr);
    EXPECT_EQ(loader->PluginWindowSlot()->GetMenuName(), "Vistorb");

    // A replay was open at load time: the roster and the focus were read at once, and the
    // simulator's state view sees them through the library's diagnostic surface.
    nlohmann::json state = sim::StateJson(host, *loader);
    EXPECT_EQ(state["focusedId"], "Player_Bot_Zed");
    ASSERT_TRUE(state["overrides"].contains("Player_Bot_Zed"));
    EXPECT_EQ(state["overrides"]["Player_Bot_Zed"]["playerName"], "Zed");
    EXPECT_EQ(state["overrides"]["Player_Bot_Zed"]["settings"]["FOV"], 95.0);
    EXPECT_EQ(state["plugin"]["loaded"], true);
}

TEST_F(LoaderPlugins, LoadOutsideAReplayOnlyInstallsAndLogsNothingOfTheRoster) {
    ASSERT_TRUE(loader->Load(sim::kDefaultPluginPath, error)) << error;
    nlohmann::json state = sim::StateJson(host, *loader);
    EXPECT_TRUE(state["overrides"].empty());
    EXPECT_EQ(state["focusedId"], "");
    for (const std::string& line : host.LogLines()) {
        EXPECT_EQ(line.find("no server"), std::string::npos) << line;
        EXPECT_EQ(line.find("not in replay"), std::string::npos) << line;
    }
    EXPECT_EQ(host.HookKeys().size(), 4u);
}

TEST_F(LoaderPlugins, AfterUnloadNothingOfThePluginIsCalled) {
    std::vector<std::string> events;
    loader->AddListener({[&](sim::PluginLoader& l) { events.push_back(l.Loaded() ? "loaded" : "loaded-but-empty"); },
                         [&](sim::PluginLoader& l) {
                             // The GUI host still has the plugin here, and must let go of it now.
                             events.push_back(l.PluginWindowSlot() ? "unloading" : "unloading-without-window");
                         }});
    host.OpenReplay();
    host.AddPlayer(Bot("Zed", 95));
    ASSERT_TRUE(loader->Load(VISTORB_PLUGIN_PATH, error)) << error;
    host.ImportReplay();  // arms the plugin's two-second timer
    ASSERT_EQ(host.PendingTimers(), 1u);

    loader->Unload();
    EXPECT_THAT(events, ElementsAre("loaded", "unloading"));
    EXPECT_FALSE(loader->Loaded());
    EXPECT_EQ(loader->Settings(), nullptr);
    EXPECT_EQ(loader->PluginWindowSlot(), nullptr);
    EXPECT_THAT(host.HookKeys(), IsEmpty());
    EXPECT_TRUE(host.Notifiers().empty());
    EXPECT_EQ(host.PendingTimers(), 0u);

    // The game carries on: none of this may reach the unloaded plugin.
    host.ClearLog();
    host.Wait(3.0);
    host.MoveFocus("Player_Bot_Zed");
    host.Tick(5);
    host.DestroyHud();
    host.ImportReplay();
    host.Wait(3.0);
    host.RunConsoleLine("vistorb_set fov 90");
    EXPECT_THAT(host.LogLines(), ElementsAre("Unknown command: vistorb_set"));
    EXPECT_TRUE(host.Camera().writes.empty());

    // Unloading twice is harmless, and the library loads again afterwards.
    loader->Unload();
    ASSERT_TRUE(loader->Load(VISTORB_PLUGIN_PATH, error)) << error;
    EXPECT_EQ(host.HookKeys().size(), 4u);
    loader.reset();  // while `events` still exists for the listener
    EXPECT_THAT(events, ElementsAre("loaded", "unloading", "loaded", "unloading"));
}

TEST_F(LoaderPlugins, RefusesLibrariesThatAreNotGoodPluginsWithOneClearMessage) {
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {VISTORB_NOT_A_PLUGIN, "it is not a plugin library: it has no 'exports' record"},
        {"/nonexistent/Vistorb.so", "cannot load /nonexistent/Vistorb.so"},
        {Fake("wrong_build"), "it was built for plugin API build 94, this host loads API build 95"},
        {Fake("no_get_plugin"), "its 'exports' record has no getPlugin function"},
        {Fake("no_description"), "its 'exports' record has no plugin name"},
        {Fake("mismatched_symbol"), "its 'exports' record points elsewhere than its exported getPlugin"},
        {Fake("empty_handle"), "getPlugin returned an empty plugin handle"},
        {Fake("throwing_onload"), "onLoad of FakePlugin threw: the fake plugin refuses to start; the plugin was unloaded"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        error.clear();
        EXPECT_FALSE(loader->Load(c.path, error));
        EXPECT_THAT(error, HasSubstr(c.message));
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
        EXPECT_FALSE(loader->Loaded());
        EXPECT_THAT(host.HookKeys(), IsEmpty()) << "nothing of a refused plugin stays with the host";
    }
    // The host is unharmed: the real plugin still loads.
    ASSERT_TRUE(loader->Load(VISTORB_PLUGIN_PATH, error)) << error;
    EXPECT_FALSE(loader->Load(VISTORB_PLUGIN_PATH, error)) << "one plugin at a time";
    EXPECT_THAT(error, HasSubstr("a plugin is already loaded"));
}

TEST_F(LoaderPlugins, AttachesAnInProcessPluginAndReleasesItOnUnload) {
    auto plugin = std::make_shared<Vistorb>();
    std::weak_ptr<Vistorb> watch = plugin;
    ASSERT_TRUE(loader->Attach(plugin, error)) << error;
    plugin.reset();
    EXPECT_FALSE(watch.expired()) << "the loader holds the host's handle";
    EXPECT_EQ(host.HookKeys().size(), 4u);
    EXPECT_NE(loader->Settings(), nullptr);

    EXPECT_FALSE(loader->Attach(nullptr, error));
    host.OpenReplay();
    host.AddPlayer(Bot("Ann", 80));
    host.ImportReplay();
    host.Wait(2.0);
    // The attached plugin runs: the replay's roster reached it. (The state view shows an attached
    // plugin's own data only through a diagnostic surface handed to Attach.)
    EXPECT_EQ(watch.lock()->cameraOverrides.count("Player_Bot_Ann"), 1u);
    EXPECT_TRUE(sim::StateJson(host, *loader)["overrides"].is_null());

    loader->Unload();
    EXPECT_TRUE(watch.expired()) << "the object goes with the host's handle";
    EXPECT_TRUE(host.Notifiers().empty());
}

}  // namespace
