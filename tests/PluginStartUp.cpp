// Start-up of the plugin object: the preset folder below the host's data folder, and a failed
// folder contained in onLoad.
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "plugin/Vistorb.h"
#include "sim/Host.h"
#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {
class PluginStartUp : public PresetFolderTest {
protected:
    sim::Host host;
};
}  // namespace

// Start-up: the preset folder below the host's data folder, and a failure contained in onLoad.
TEST_F(PluginStartUp, LoadsItsPresetsOrStopsCleanly) {
    folder = root / "data" / "Vistorb" / "presets";
    Write("Wide.json", kWideDocument);
    {
        host.SetDataFolder(root / "data");
        auto plugin = std::make_shared<Vistorb>();
        plugin->consoleManager = host.Console();
        plugin->gameHandle = host.Game();
        plugin->onLoad();
        EXPECT_EQ(plugin->presetStore.presetFolder, folder);
        ASSERT_EQ(Names(plugin->presetStore.presets), std::vector<std::string>{"Wide"});
        EXPECT_TRUE(SameSettings(plugin->presetStore.presets[0].settings, WidePreset().settings));
        EXPECT_EQ(host.Notifiers().count("vistorb_set"), 1u);
        host.DropPluginCallbacks();
    }

    sim::Host blocked;
    globalConsoleManager = blocked.Console();
    blocked.SetDataFolder(root / "blocked");
    std::ofstream(root / "blocked" / "Vistorb") << "a file where a folder should be";
    auto plugin = std::make_shared<Vistorb>();
    plugin->consoleManager = blocked.Console();
    plugin->gameHandle = blocked.Game();
    EXPECT_NO_THROW(plugin->onLoad());
    EXPECT_TRUE(plugin->presetStore.presets.empty());
    EXPECT_TRUE(plugin->presetStore.presetFolder.empty());
    EXPECT_EQ(blocked.Notifiers().count("vistorb_set"), 0u);
    const std::vector<std::string> lines = blocked.LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("Vistorb could not open its preset folder", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find((root / "blocked" / "Vistorb" / "presets").string()), std::string::npos) << lines.back();
    blocked.DropPluginCallbacks();
    globalConsoleManager.reset();
}
