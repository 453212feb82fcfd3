#pragma once
// Stand-in for the host SDK's header of the same path: the record a plugin library exports and
// the plugin base the host reaches a plugin through.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/GameWrapper.h"
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"

namespace BakkesMod {
namespace Plugin {

class BakkesModPlugin;
typedef uintptr_t (*GetPluginFunc)();
typedef void (*deleteFunc)();

// The record a plugin library exports as `exports`; the host reads it before anything else.
// (`unsigned long` is 32 bits on the host and 64 here: the 1 it holds reads the same either
// way, since the field is followed by padding up to the next pointer.)
struct PluginInfo {
    short apiBuildVersion;
    const char* fileName;
    const char* className;
    const char* pluginName;
    const char* pluginVersion;
    const unsigned long pluginType;
    GetPluginFunc initializeFunc;
    deleteFunc delFunc;
};

static_assert(sizeof(void*) == 8, "plugins are 64-bit");
static_assert(offsetof(PluginInfo, fileName) == 8);
static_assert(offsetof(PluginInfo, pluginType) == 40);
static_assert(offsetof(PluginInfo, initializeFunc) == 48);
static_assert(offsetof(PluginInfo, delFunc) == 56);
static_assert(sizeof(PluginInfo) == 64);

// The SDK writes onLoad and onUnload inline and leaves the special members implicit: MSVC
// exports all of them from every plugin, because the class is declared for export. GCC emits
// only what a unit uses, so here they are declared, and their one source
// (host/sdk/BakkesModPlugin.cpp) goes into every plugin library.
class BAKKESMOD_PLUGIN_EXPORT BakkesModPlugin {
public:
    std::shared_ptr<CVarManagerWrapper> cvarManager;
    std::shared_ptr<GameWrapper> gameWrapper;

    BakkesModPlugin();
    BakkesModPlugin(const BakkesModPlugin& other);
    BakkesModPlugin(BakkesModPlugin&& other) noexcept;
    BakkesModPlugin& operator=(const BakkesModPlugin& other);
    BakkesModPlugin& operator=(BakkesModPlugin&& other) noexcept;
    ~BakkesModPlugin();

    virtual void onLoad();
    // Unload stuff here, notifiers/cvars are automatically cleared.
    virtual void onUnload();
};

}  // namespace Plugin
}  // namespace BakkesMod
