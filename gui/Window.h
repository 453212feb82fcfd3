#pragma once
// The camera overrides window's frame: two columns, the players' tabs over the credit footer on
// the left, the preset panel on the right. What goes inside, the footer too, comes from the caller.
#include <functional>
#include <string>

struct OverridesWindowPanels {
    std::function<void()> overrideTabs;  // inside the left column's tab area
    std::function<void()> presetPanel;   // below the right column's heading
    std::function<void()> credits;       // the footer at the left column's bottom
};

// Draws the window titled `title`. Its close button (a collapsed window's too) clears `keepOpen`.
void DrawCameraOverridesWindow(const std::string& title, bool& keepOpen, const OverridesWindowPanels& panels);
