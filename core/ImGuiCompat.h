#pragma once
// The few places where the plugin's frame guard and the simulator's GUI host reach past Dear
// ImGui's public API, written once for the two versions they are built on: Debian's 1.86 and the
// host's own 1.75. Header-only: it needs the ImGui headers of whoever includes it, and nothing of
// core/ itself uses it.
#include "imgui.h"
#include "imgui_internal.h"

namespace imgui_compat {

// The item flags of the item just laid out (the disabled block's included).
inline ImGuiItemFlags LastItemFlags(const ImGuiContext& g) {
#if IMGUI_VERSION_NUM >= 18600
    return g.LastItemData.InFlags;
#else
    return g.CurrentWindow ? g.CurrentWindow->DC.ItemFlags : 0;
#endif
}

// Closes what the current window left open (tab bars, trees, groups, ids, item flags), so that
// it can be ended: a plugin's slot that threw must not leave the host's frame unbalanced.
// 1.86 does this itself; on 1.75 it is done by hand.
inline void RecoverBeforeEnd() {
#if IMGUI_VERSION_NUM >= 18600
    ImGui::ErrorCheckEndWindowRecover(nullptr);
#else
    ImGuiContext& g = *GImGui;
    ImGuiWindow* window = g.CurrentWindow;
    while (g.CurrentTabBar) ImGui::EndTabBar();
    while (window->DC.TreeDepth > 0) ImGui::TreePop();
    while (window->DC.GroupStack.Size > 0) ImGui::EndGroup();
    while (window->IDStack.Size > 1) ImGui::PopID();
    while (window->DC.ItemFlagsStack.Size > 0) ImGui::PopItemFlag();
#endif
}

// Ends every window (and child) begun above `depth` windows deep, each cleared first.
inline void EndWindowsDownTo(ImGuiContext& g, int depth) {
    while (g.CurrentWindowStack.Size > depth) {
        RecoverBeforeEnd();
        if (g.CurrentWindow->Flags & ImGuiWindowFlags_ChildWindow)
            ImGui::EndChild();
        else
            ImGui::End();
    }
}

// The style and colour stacks are the context's own, not a window's: what a throwing slot
// pushed is popped back to what it found once its windows are closed.
struct StyleStacks {
    int styleVars;
    int colors;

    static StyleStacks Save(const ImGuiContext& g) {
#if IMGUI_VERSION_NUM >= 18600
        return {g.StyleVarStack.Size, g.ColorStack.Size};
#else
        return {g.StyleModifiers.Size, g.ColorModifiers.Size};
#endif
    }
    void Restore(const ImGuiContext& g) const {
        const StyleStacks now = Save(g);
        if (now.styleVars > styleVars) ImGui::PopStyleVar(now.styleVars - styleVars);
        if (now.colors > colors) ImGui::PopStyleColor(now.colors - colors);
    }
};

}  // namespace imgui_compat
