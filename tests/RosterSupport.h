#pragma once
// A simulated host with the plugin loaded into it, for the camera engine's tests.
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/LogLine.h"
#include "plugin/Vistorb.h"
#include "tests/PlayerSupport.h"
#include "tests/PluginSession.h"

// Reaches the one private entry the GUI uses into the camera engine.
struct VistorbTestAccess {
    static void OverridePlayerCameraFromGui(Vistorb& plugin, CameraOverride& override) {
        plugin.OverridePlayerCameraFromGui(override);
    }
};

namespace camera_test {

// Seven distinct values starting at base, so a mix-up of players or fields shows.
inline ProfileCameraSettings Cam(float base) {
    return ProfileCameraSettings{base, base + 1, base + 2, base + 3, base + 4, base + 5, base + 6};
}

using test_players::Bot;
using test_players::Human;
using test_players::Same;

class LoadedPlugin : public ::testing::Test, protected PluginSession<> {
protected:
    // What start-up logged apart from the preset store's own report on its folder.
    std::vector<std::string> startupLines;

    void Load() {
        std::string error;
        ASSERT_TRUE(TryStart(error)) << error;
        for (const std::string& line : host.LogLines())
            if (line.find("preset") == std::string::npos) startupLines.push_back(line);
        host.ClearLog();
    }

    // A replay with its roster built through the import hook and its timer.
    void ImportWith(const std::vector<sim::PlayerSpec>& players) { OpenReplay(players); }

    std::map<std::string, CameraOverride> Table() {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        return plugin->cameraOverrides;
    }

    std::string FocusedId() {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        return plugin->focusedId;
    }

    void Edit(const std::string& key, bool enabled, ProfileCameraSettings settings) {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        auto& entry = plugin->cameraOverrides.at(key);
        entry.enabled = enabled;
        entry.settings = settings;
    }

    size_t Writes() { return host.Camera().writes.size(); }

    void TearDown() override {
        host.DropPluginCallbacks();
        // The console manager outlives this host in the global; later tests must not log into it.
        globalConsoleManager.reset();
    }
};

}  // namespace camera_test
