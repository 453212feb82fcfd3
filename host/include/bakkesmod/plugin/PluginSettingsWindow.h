#pragma once
// Stand-in for the host SDK's header of the same path: the interface through which the host
// has a plugin draw its page in the host's plugin settings.
#include <cstdint>
#include <string>

#if !defined(_WIN32)
// The host casts a loaded plugin to this interface across libraries; on ELF that needs the
// type's information visible (the plugin is built with hidden visibility).
#pragma GCC visibility push(default)
#endif

namespace BakkesMod::Plugin {
class PluginSettingsWindow {
public:
    virtual ~PluginSettingsWindow() = default;
    // Runs in the host's render thread: game objects are not to be touched here.
    virtual void RenderSettings() = 0;
    virtual std::string GetPluginName() = 0;
    // Called by the host with its GUI context, before any drawing slot.
    virtual void SetImGuiContext(uintptr_t ctx) = 0;
};
}  // namespace BakkesMod::Plugin

#if !defined(_WIN32)
#pragma GCC visibility pop
#endif
