#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "CVarManagerWrapper.h"
#include "GameWrapper.h"

#define BAKKESMOD_PLUGIN_API_VERSION 95
#if defined(_WIN32)
// The SDK exports its plugin base from every plugin library. Type identity across modules goes
// by the type's name there, so the two window interfaces need no export of their own.
#define BAKKESMOD_EXPORT __declspec(dllexport)
#define BAKKESMOD_INTERFACE
#else
#define BAKKESMOD_EXPORT __attribute__((visibility("default")))
#define BAKKESMOD_INTERFACE BAKKESMOD_EXPORT
#endif

namespace BakkesMod::Plugin {

// The record a plugin library exports as `exports`; the host reads it before anything else.
struct PluginInfo {
    int apiBuildVersion;
    const char* fileName;
    const char* className;
    const char* pluginName;
    const char* pluginVersion;
    unsigned int pluginType;
    uintptr_t (*initializeFunc)();
    void (*deleteFunc)();
};

static_assert(sizeof(void*) == 8, "plugins are 64-bit");
static_assert(offsetof(PluginInfo, apiBuildVersion) == 0);
static_assert(offsetof(PluginInfo, fileName) == 8);
static_assert(offsetof(PluginInfo, className) == 16);
static_assert(offsetof(PluginInfo, pluginName) == 24);
static_assert(offsetof(PluginInfo, pluginVersion) == 32);
static_assert(offsetof(PluginInfo, pluginType) == 40);
static_assert(offsetof(PluginInfo, initializeFunc) == 48);
static_assert(offsetof(PluginInfo, deleteFunc) == 56);
static_assert(sizeof(PluginInfo) == 64);

class BAKKESMOD_EXPORT BakkesModPlugin {
public:
    std::shared_ptr<CVarManagerWrapper> consoleManager;
    std::shared_ptr<GameWrapper> gameHandle;

    BakkesModPlugin();
    BakkesModPlugin(const BakkesModPlugin& other);
    BakkesModPlugin(BakkesModPlugin&& other) noexcept;
    BakkesModPlugin& operator=(const BakkesModPlugin& other);
    BakkesModPlugin& operator=(BakkesModPlugin&& other) noexcept;
    ~BakkesModPlugin();

    virtual void onLoad();
    virtual void onUnload();
};

class BAKKESMOD_INTERFACE PluginSettingsWindow {
public:
    virtual ~PluginSettingsWindow() = default;
    virtual void DrawSettingsPage() = 0;
    virtual std::string GetSettingsName() = 0;
    virtual void SetGuiContext(uintptr_t ctx) = 0;
};

class BAKKESMOD_INTERFACE PluginWindow {
public:
    virtual void DrawWindow() = 0;
    virtual std::string GetMenuId() = 0;
    virtual std::string GetMenuCaption() = 0;
    virtual void SetGuiContext(uintptr_t ctx) = 0;
    virtual bool WantsInputBlocked() = 0;
    virtual bool IsOverlayActive() = 0;
    virtual void OnWindowOpened() = 0;
    virtual void OnWindowClosed() = 0;
};

}  // namespace BakkesMod::Plugin
