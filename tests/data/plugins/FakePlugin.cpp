// A library that looks like a plugin but is broken in exactly one way, chosen at build time.
// The loader must refuse each of them with a clear message and never crash.
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace {

class FakePlugin : public BakkesMod::Plugin::BakkesModPlugin {
public:
    void onLoad() override {
#if defined(FAKE_THROWING_ONLOAD)
        // Installs a hook first, so the host has something of the plugin to drop again.
        gameWrapper->HookEvent("Function TAGame.Replay_TA.Tick", [](std::string) {});
        throw std::runtime_error("the fake plugin refuses to start");
#endif
    }
};

std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> instance;

}  // namespace

extern "C" {

BAKKESMOD_PLUGIN_EXPORT uintptr_t getPlugin() {
#if !defined(FAKE_EMPTY_HANDLE)
    if (!instance) instance = std::make_shared<FakePlugin>();
#endif
    return reinterpret_cast<uintptr_t>(&instance);
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe() { instance.reset(); }

#if defined(FAKE_MISMATCHED_SYMBOL)
static uintptr_t otherGetPlugin() { return getPlugin(); }
#endif

BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginInfo exports = {
#if defined(FAKE_WRONG_BUILD)
    94,
#else
    BAKKESMOD_PLUGIN_API_VERSION,
#endif
    "tests/data/plugins/FakePlugin.cpp",
    "FakePlugin",
#if defined(FAKE_NO_DESCRIPTION)
    nullptr,
#else
    "a plugin that is broken on purpose",
#endif
    "0.0.1",
    1,
#if defined(FAKE_NO_GET_PLUGIN)
    nullptr,
#elif defined(FAKE_MISMATCHED_SYMBOL)
    &otherGetPlugin,
#else
    &getPlugin,
#endif
    &deleteMe,
};
}
