#pragma once
// One plugin as the host runs it, for the tests, the benchmarks and the fuzz targets alike: the
// plugin object attached through the simulator's loader (handles set, onLoad, menus), replays
// opened and ticked through the simulated host, and the plugin unloaded as the host unloads it
// when the session goes. What draws attaches a GUI host to `plugin` (GuiSupport.h).
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/Vistorb.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"

template <typename HostType = sim::Host>
struct PluginSession {
    HostType host;
    std::shared_ptr<Vistorb> plugin = std::make_shared<Vistorb>();
    sim::PluginLoader loader{host};

    // The loader goes first and unloads the plugin before the host goes: onUnload, then every
    // callback of the plugin dropped.

    // Starts the plugin as the host does; false with the loader's message when it refuses.
    bool TryStart(std::string& error) { return loader.Attach(plugin, error); }
    // The same, for a caller that has nothing to do with a refusal but stop.
    void Start() {
        std::string error;
        if (!TryStart(error)) throw std::runtime_error(error);
    }

    // A replay of `players`, imported and its roster built, the camera following `focus` (when given).
    void OpenReplay(const std::vector<sim::PlayerSpec>& players, const std::string& focus = "") {
        host.OpenReplay();
        for (const sim::PlayerSpec& player : players) host.AddPlayer(player);
        host.ImportReplay();
        host.Wait(2.0);
        if (!focus.empty()) host.MoveFocus(focus);
    }

    // Every player's override on, under the plugin's own lock.
    void EnableEveryOverride() {
        const std::lock_guard<std::mutex> lock(plugin->stateLock);
        for (auto& [key, entry] : plugin->cameraOverrides) entry.enabled = true;
    }
};
