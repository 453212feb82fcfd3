#pragma once
// Stand-in for the host SDK's header of the same path: the interface through which the host
// has a plugin draw a window of its own, tells it when it opens and closes, and asks whether
// the game's input is to be blocked.
#include <cstdint>
#include <string>

#if !defined(_WIN32)
// See PluginSettingsWindow.h: the host casts to this interface across libraries.
#pragma GCC visibility push(default)
#endif

namespace BakkesMod {
namespace Plugin {
class PluginWindow {
public:
    virtual void Render() = 0;
    // Name of the menu that toggles the window.
    virtual std::string GetMenuName() = 0;
    virtual std::string GetMenuTitle() = 0;
    virtual void SetImGuiContext(uintptr_t ctx) = 0;
    // Whether mouse clicks and key presses are kept from the game.
    virtual bool ShouldBlockInput() = 0;
    // True for an overlay that is not interacted with.
    virtual bool IsActiveOverlay() = 0;
    virtual void OnOpen() = 0;
    virtual void OnClose() = 0;
};
}  // namespace Plugin
}  // namespace BakkesMod

#if !defined(_WIN32)
#pragma GCC visibility pop
#endif
