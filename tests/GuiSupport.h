#pragma once
// The plugin, loaded into a simulated host, drawn by the simulator's GUI host (headless), and
// driven frame by frame with simulated mouse and keyboard.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/LogLine.h"
#include "plugin/Vistorb.h"
#include "sim/guihost/GuiHost.h"
#include "sim/loader/Loader.h"
#include "sim/game/Host.h"
#include "tests/PlayerSupport.h"
#include "tests/PluginSession.h"

namespace gui_test {

// A host that also remembers the second argument of every command the plugin hands over.
class RecordingHost : public sim::Host {
public:
    void ExecuteCommand(const std::string& command, bool log) override {
        {
            std::lock_guard<std::mutex> lock(flagsLock);
            logFlags.push_back(log);
        }
        sim::Host::ExecuteCommand(command, log);
    }
    std::vector<bool> LogFlags() {
        std::lock_guard<std::mutex> lock(flagsLock);
        return logFlags;
    }

private:
    std::mutex flagsLock;
    std::vector<bool> logFlags;
};

inline ProfileCameraSettings Camera(float fov, float height, float pitch, float distance, float stiffness,
                                    float swivel, float transition) {
    return ProfileCameraSettings{fov, height, pitch, distance, stiffness, swivel, transition};
}

using test_players::Bot;
using test_players::Human;
using test_players::Same;

// Values that sit on every slider's grid, so drawing them changes nothing.
inline ProfileCameraSettings OnGrid(float fov) { return Camera(fov, 100, -5, 250, 0.5f, 4, 1.2f); }

// The plugin session (host, plugin, loader), drawn by a GUI host.
class GuiTest : public ::testing::Test, protected PluginSession<RecordingHost> {
protected:
    sim::GuiHost gui;

    void SetUp() override { gui.ConnectMenus(host); }
    // The plugin linked into the tests shares this binary's log handle, which would outlive the host.
    void TearDown() override { globalConsoleManager.reset(); }

    // Preset files that are in the folder before the plugin starts.
    void PresetFile(const std::string& name, const ProfileCameraSettings& s) {
        const std::filesystem::path folder = PresetFolder();
        std::filesystem::create_directories(folder);
        std::ofstream file(folder / (name + ".json"));
        file << "{\"preset\": {\"FOV\": " << s.FOV << ", \"Height\": " << s.Height << ", \"Pitch\": " << s.Pitch
             << ", \"Distance\": " << s.Distance << ", \"Stiffness\": " << s.Stiffness
             << ", \"SwivelSpeed\": " << s.SwivelSpeed << ", \"TransitionSpeed\": " << s.TransitionSpeed
             << "}, \"preset_name\": \"" << name << "\"}";
    }

    std::filesystem::path PresetFolder() { return host.DataFolder() / "Vistorb" / "presets"; }

    void StartPlugin() {
        std::string error;
        ASSERT_TRUE(TryStart(error)) << error;
    }

    void Load() {
        StartPlugin();
        gui.AttachPlugin(plugin, plugin);
        host.ClearLog();
    }

    // A replay whose roster the plugin has built, the camera following `focus`.
    void Replay(const std::vector<sim::PlayerSpec>& players, const std::string& focus = "") {
        OpenReplay(players, focus);
    }

    void ShowWindow() {
        gui.OpenWindow();
        gui.Frame(2);
    }

    CameraOverride Entry(const std::string& key) {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        auto it = plugin->cameraOverrides.find(key);
        return it == plugin->cameraOverrides.end() ? CameraOverride{} : it->second;
    }

    void EditEntry(const std::string& key, const std::function<void(CameraOverride&)>& edit) {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        edit(plugin->cameraOverrides.at(key));
    }

    std::string FocusedId() {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        return plugin->focusedId;
    }

    std::vector<std::string> PresetNames() {
        std::vector<std::string> names;
        for (const auto& p : plugin->presetStore.Presets()) names.push_back(p.name);
        return names;
    }

    // The settings the camera received last (after the queued work has run).
    ProfileCameraSettings LastCameraWrite() {
        const sim::CameraSnapshot camera = host.Camera();
        return camera.writes.empty() ? ProfileCameraSettings{} : camera.writes.back().settings;
    }

    size_t CameraWrites() { return host.Camera().writes.size(); }

    std::string Text(const std::string& label, const std::string& scope = "") {
        return gui.TextOf(label, scope).value_or("<not on screen>");
    }
};

}  // namespace gui_test
