// Start-up of the plugin object: the preset folder below the host's data folder, and a failed
// folder contained in onLoad.
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/PluginSession.h"
#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {
class PluginStartUp : public PresetFolderTest {};
}  // namespace

// Start-up: the preset folder below the host's data folder, and a failure contained in onLoad.
TEST_F(PluginStartUp, LoadsItsPresetsOrStopsCleanly) {
    folder = root / "data" / "Vistorb" / "presets";
    Write("Wide.json", kWideDocument);
    {
        PluginSession<> session;
        session.host.SetDataFolder(root / "data");
        session.Start();
        const std::shared_ptr<Vistorb>& plugin = session.plugin;
        EXPECT_EQ(plugin->presetStore.PresetFolder(), folder);
        ASSERT_EQ(Names(plugin->presetStore.Presets()), std::vector<std::string>{"Wide"});
        EXPECT_TRUE(SameSettings(plugin->presetStore.Presets()[0].settings, WidePreset().settings));
        EXPECT_EQ(session.host.Notifiers().count("vistorb_set"), 1u);
    }

    PluginSession<> session;
    sim::Host& blocked = session.host;
    blocked.SetDataFolder(root / "blocked");
    std::ofstream(root / "blocked" / "Vistorb") << "a file where a folder should be";
    const std::shared_ptr<Vistorb>& plugin = session.plugin;
    std::string error;
    EXPECT_TRUE(session.TryStart(error)) << error;
    EXPECT_TRUE(plugin->presetStore.Presets().empty());
    EXPECT_FALSE(plugin->presetStore.Usable());
    EXPECT_NE(plugin->presetStore.UnusableReason().find((root / "blocked" / "Vistorb").string()), std::string::npos)
        << plugin->presetStore.UnusableReason();
    const std::vector<std::string> lines = blocked.LogLines();
    ASSERT_EQ(lines.size(), 1u) << "one line says why, nothing more";
    EXPECT_EQ(lines[0].rfind("Vistorb could not open its preset folder, presets are unavailable: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find((root / "blocked" / "Vistorb" / "presets").string()), std::string::npos) << lines[0];
    EXPECT_EQ(blocked.HookKeys().size(), 4u) << "the hooks stay installed";

    // The command needs no preset: it is still there, and answers.
    ASSERT_EQ(blocked.Notifiers().count("vistorb_set"), 1u);
    EXPECT_EQ(blocked.Notifiers().at("vistorb_set").description, "");
    blocked.ClearLog();
    blocked.RunConsoleLine("vistorb_set fov 90");
    EXPECT_EQ(blocked.LogLines(), std::vector<std::string>{"not in replay"});

    // The store refuses rather than act on the working directory.
    blocked.ClearLog();
    plugin->presetStore.AddPreset(WidePreset());
    plugin->presetStore.DeletePreset("Wide");
    EXPECT_TRUE(plugin->presetStore.Presets().empty());
    EXPECT_FALSE(std::filesystem::exists("Wide.json"));
    EXPECT_EQ(blocked.LogLines().size(), 2u) << "one refusal line each";
}
