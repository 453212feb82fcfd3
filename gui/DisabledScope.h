#pragma once
#include "imgui.h"
#include "imgui_internal.h"

// Fades and locks every widget drawn while it lives: buttons report no press, sliders do not
// move. The alpha replaces the style's alpha rather than multiplying it, so nested faded
// blocks look the same as a single one.
struct DisabledScope {
    bool disabled;

    DisabledScope(bool disable, float alpha) : disabled(disable) {
        if (!disabled) return;
        ImGui::PushItemFlag(ImGuiItemFlags_Disabled, true);
        ImGui::PushStyleVar(ImGuiStyleVar_Alpha, alpha);
    }
    ~DisabledScope() {
        if (!disabled) return;
        ImGui::PopItemFlag();
        ImGui::PopStyleVar();
    }

    DisabledScope(const DisabledScope&) = delete;
    DisabledScope& operator=(const DisabledScope&) = delete;
};
