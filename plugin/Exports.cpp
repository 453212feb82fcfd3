// The library's host-facing entry points: the description record and the two functions that
// create and release the one plugin object. Nothing else of the library is visible to the host.
#include <memory>

#include "plugin/Exports.h"

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "plugin/Vistorb.h"

namespace {
std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> pluginInstance;
}

Vistorb* CurrentPlugin() { return static_cast<Vistorb*>(pluginInstance.get()); }

extern "C" {

BAKKESMOD_PLUGIN_EXPORT uintptr_t getPlugin() {
    if (!pluginInstance) {
        try {
            pluginInstance = std::make_shared<Vistorb>();
        } catch (...) {
            // Out of memory: the host finds an empty handle rather than an exception.
        }
    }
    return reinterpret_cast<uintptr_t>(&pluginInstance);
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe() {
    if (pluginInstance) pluginInstance.reset();
}

BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginInfo exports = {
    BAKKESMOD_PLUGIN_API_VERSION,
    "plugin/Vistorb.cpp",
    "Vistorb",
    "Vistorb: per-player replay cameras",  // the name the host's plugin list shows players
    VISTORB_VERSION,  // the project's version, set by the build
    1,
    &getPlugin,
    &deleteMe,
};
}
