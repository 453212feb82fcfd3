#pragma once
#include <exception>

#include "core/LogLine.h"
#include "gui/ImGuiVersions.h"
#include "imgui.h"
#include "imgui_internal.h"

// Runs one GUI slot's drawing. The host's frame must go on whatever happens in the plugin: an
// exception ends the slot with one console line, and every window, child, tab bar, id and style
// the slot had opened is closed again so the host's frame stays balanced.
template <typename Draw>
void DrawGuarded(const char* what, Draw&& draw) {
    ImGuiContext& g = *GImGui;
    const int windowDepth = g.CurrentWindowStack.Size;
    const imgui_compat::StyleStacks styles = imgui_compat::StyleStacks::Save(g);
    try {
        draw();
        return;
    } catch (const std::exception& e) {
        LogLine("Vistorb: drawing {} failed: {}", what, e.what());
    } catch (...) {
        LogLine("Vistorb: drawing {} failed", what);
    }
    imgui_compat::EndWindowsDownTo(g, windowDepth);
    styles.Restore(g);
}
