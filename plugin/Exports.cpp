// The library's host-facing entry points: the description record and the two functions that
// create and release the one plugin object. Nothing else of the library is visible to the host.
#include <memory>

#include "host/BakkesModPlugin.h"
#include "plugin/Vistorb.h"

namespace {
std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> pluginInstance;
}

extern "C" {

BAKKESMOD_EXPORT uintptr_t getPlugin() {
    if (!pluginInstance) {
        try {
            pluginInstance = std::make_shared<Vistorb>();
        } catch (...) {
            // Out of memory: the host finds an empty handle rather than an exception.
        }
    }
    return reinterpret_cast<uintptr_t>(&pluginInstance);
}

BAKKESMOD_EXPORT void deleteMe() {
    if (pluginInstance) pluginInstance.reset();
}

BAKKESMOD_EXPORT BakkesMod::Plugin::PluginInfo exports = {
    BAKKESMOD_PLUGIN_API_VERSION,
    "plugin/Vistorb.cpp",
    "Vistorb",
    "write a plugin description here",
    "1.1.0.5",
    1,
    &getPlugin,
    &deleteMe,
};
}
