#pragma once
// The few library internals that the searchable combo needs and that Dear ImGui renamed or moved
// between the host's 1.75 and the simulator's 1.86. Each has one meaning on both; only the name or
// the place differs, so the combo's code reads the same whichever copy it is built against.
#include "core/ImGuiCompat.h"
#include "imgui.h"
#include "imgui_internal.h"

// Only these two are built and checked. The internals below changed at versions in between that
// were never looked at, so a copy from between would pick the wrong names.
static_assert(IMGUI_VERSION_NUM == 17500 || IMGUI_VERSION_NUM >= 18600, "Dear ImGui 1.75 or 1.86 expected");
#define VISTORB_IMGUI_186_INTERNALS (IMGUI_VERSION_NUM >= 18600)

namespace imgui_versions {

// Corner rounding of a filled rectangle: 1.82 replaced the corner flags by draw flags, with
// other values, so the old names would round the wrong corners on 1.86.
#if IMGUI_VERSION_NUM >= 18200
constexpr int kRoundLeft = ImDrawFlags_RoundCornersLeft;
constexpr int kRoundRight = ImDrawFlags_RoundCornersRight;
constexpr int kRoundAll = ImDrawFlags_RoundCornersAll;
#else
constexpr int kRoundLeft = ImDrawCornerFlags_Left;
constexpr int kRoundRight = ImDrawCornerFlags_Right;
constexpr int kRoundAll = ImDrawCornerFlags_All;
#endif

// The id that keyboard navigation asks to start text input on (1.75 called it NavInputId).
inline ImGuiID& NavActivateInputId(ImGuiContext& g) {
#if VISTORB_IMGUI_186_INTERNALS
    return g.NavActivateInputId;
#else
    return g.NavInputId;
#endif
}

// What the library knows of the last item laid out: in the context on 1.86, in the window's
// temporary data on 1.75.
struct LastItem {
#if VISTORB_IMGUI_186_INTERNALS
    ImGuiLastItemData data;
    static LastItem Save(const ImGuiContext& g) { return {g.LastItemData}; }
    void Restore(ImGuiContext& g) const { g.LastItemData = data; }
#else
    ImGuiItemHoveredDataBackup data;  // takes the current window's on construction
    static LastItem Save(const ImGuiContext&) { return {}; }
    void Restore(ImGuiContext&) const { data.Restore(); }
#endif
};

// Whether a focus change in another window leaves the active item alone; 1.75 has no such flag
// (a focus change always clears the active item there), so there is nothing to keep.
struct NoClearOnFocusLoss {
#if VISTORB_IMGUI_186_INTERNALS
    bool value;
    static NoClearOnFocusLoss Save(const ImGuiContext& g) { return {g.ActiveIdNoClearOnFocusLoss}; }
    void Restore(ImGuiContext& g) const { g.ActiveIdNoClearOnFocusLoss = value; }
#else
    static NoClearOnFocusLoss Save(const ImGuiContext&) { return {}; }
    void Restore(ImGuiContext&) const {}
#endif
};

// The size a popup window will take when it appears next, and the screen area it must keep to.
inline ImVec2 PopupNextSize(ImGuiWindow* popup) {
#if VISTORB_IMGUI_186_INTERNALS
    return ImGui::CalcWindowNextAutoFitSize(popup);
#else
    return ImGui::CalcWindowExpectedSize(popup);
#endif
}

inline ImRect PopupAllowedRect(ImGuiWindow* popup) {
#if VISTORB_IMGUI_186_INTERNALS
    return ImGui::GetPopupAllowedExtentRect(popup);
#else
    return ImGui::GetWindowAllowedExtentRect(popup);
#endif
}

}  // namespace imgui_versions
