#define IMGUI_DEFINE_MATH_OPERATORS
#include "gui/SearchableCombo.h"

#include <algorithm>
#include <cctype>

#include "gui/ClippedText.h"
#include "gui/ImGuiVersions.h"
#include "imgui_internal.h"

namespace {

namespace versions = imgui_versions;

// What the field may disturb of the library's active-item bookkeeping while it pretends to be
// the active widget; put back afterwards so the widget that is really active is unaffected.
struct ActiveItemState {
    ImGuiID id;
    ImGuiWindow* window;
    float timer;
    bool isJustActivated, allowOverlap, pressedBefore, editedBefore, editedThisFrame;
    int mouseButton;
    ImGuiInputSource source;
    versions::NoClearOnFocusLoss noClearOnFocusLoss;

    static ActiveItemState Save(const ImGuiContext& g) {
        return {g.ActiveId, g.ActiveIdWindow, g.ActiveIdTimer, g.ActiveIdIsJustActivated, g.ActiveIdAllowOverlap,
                g.ActiveIdHasBeenPressedBefore, g.ActiveIdHasBeenEditedBefore, g.ActiveIdHasBeenEditedThisFrame,
                g.ActiveIdMouseButton, g.ActiveIdSource, versions::NoClearOnFocusLoss::Save(g)};
    }
    void Restore(ImGuiContext& g) const {
        g.ActiveId = id;
        g.ActiveIdWindow = window;
        g.ActiveIdTimer = timer;
        g.ActiveIdIsJustActivated = isJustActivated;
        g.ActiveIdAllowOverlap = allowOverlap;
        g.ActiveIdHasBeenPressedBefore = pressedBefore;
        g.ActiveIdHasBeenEditedBefore = editedBefore;
        g.ActiveIdHasBeenEditedThisFrame = editedThisFrame;
        g.ActiveIdMouseButton = mouseButton;
        g.ActiveIdSource = source;
        noClearOnFocusLoss.Restore(g);
    }
};

// The cursor and line bookkeeping that laying out an item changes. The field is laid over the
// combo's own frame, which the combo has already laid out, so the layout is put back after it.
struct LayoutState {
    ImVec2 cursorPos, cursorPosPrevLine, cursorMaxPos, prevLineSize, currLineSize;
    float prevLineTextBaseOffset, currLineTextBaseOffset;
    versions::LastItem lastItem;

    static LayoutState Save(const ImGuiContext& g, const ImGuiWindow& window) {
        const ImGuiWindowTempData& dc = window.DC;
        return {dc.CursorPos, dc.CursorPosPrevLine, dc.CursorMaxPos, dc.PrevLineSize, dc.CurrLineSize,
                dc.PrevLineTextBaseOffset, dc.CurrLineTextBaseOffset, versions::LastItem::Save(g)};
    }
    void Restore(ImGuiContext& g, ImGuiWindow& window) const {
        ImGuiWindowTempData& dc = window.DC;
        dc.CursorPos = cursorPos;
        dc.CursorPosPrevLine = cursorPosPrevLine;
        dc.CursorMaxPos = cursorMaxPos;
        dc.PrevLineSize = prevLineSize;
        dc.CurrLineSize = currLineSize;
        dc.PrevLineTextBaseOffset = prevLineTextBaseOffset;
        dc.CurrLineTextBaseOffset = currLineTextBaseOffset;
        lastItem.Restore(g);
    }
};

// Where the combo is and what state it is in during this frame.
struct ComboFrame {
    ImGuiID id;
    ImRect frame;          // the preview area and the arrow part
    float previewRight;    // where the arrow part starts
    float arrowSize;
    ImVec2 labelSize;
    bool hovered, popupOpen, opening;
};

// The search field in place of the preview. It carries the combo's label, hence the combo's id.
void DrawSearchField(ImGuiWindow& window, const ComboFrame& combo, const char* label, char* search, int searchSize,
                     const char* hint) {
    ImGuiContext& g = *GImGui;
    const LayoutState layout = LayoutState::Save(g, window);
    window.DC.CursorPos = combo.frame.Min;

    // The field would draw its own copy of the label over the arrow; the combo draws the label.
    const ImRect& frame = combo.frame;
    ImGui::PushClipRect(frame.Min, ImVec2(combo.previewRight, frame.Max.y), true);
    const ImVec2 size(combo.previewRight - frame.Min.x, frame.GetHeight());
    if (combo.opening) {
        // As if activated by keyboard navigation: the field starts text input in this frame.
        ImGuiID& navInput = versions::NavActivateInputId(g);
        const ImGuiID savedNavInput = navInput;
        navInput = combo.id;
        ImGui::InputTextEx(label, hint, search, searchSize, size, ImGuiInputTextFlags_NoUndoRedo, nullptr, nullptr);
        versions::NavActivateInputId(g) = savedNavInput;
    } else {
        // The open list holds the focus, which took the active id from the field. Handing it back
        // for the field's turn lets the field take the typed characters in every frame.
        const ActiveItemState active = ActiveItemState::Save(g);
        g.ActiveId = combo.id;
        ImGui::InputTextEx(label, hint, search, searchSize, size, ImGuiInputTextFlags_NoUndoRedo, nullptr, nullptr);
        active.Restore(g);
    }
    ImGui::PopClipRect();
    layout.Restore(g, window);
}

// Whether the popup `id` is open at the current level of the popup stack, as the library asks it.
bool PopupOpenHere(const ImGuiContext& g, ImGuiID id) {
    return g.OpenPopupStack.Size > g.BeginPopupStack.Size && g.OpenPopupStack[g.BeginPopupStack.Size].PopupId == id;
}

// Lays the combo out and handles the press on it; false when it is clipped away.
bool LayOutCombo(ImGuiWindow& window, const char* label, ComboFrame& combo) {
    using namespace ImGui;
    const ImGuiStyle& style = GImGui->Style;
    combo.id = window.GetID(label);
    combo.arrowSize = GetFrameHeight();
    combo.labelSize = CalcTextSize(label, nullptr, true);
    const ImVec2 min = window.DC.CursorPos;
    combo.frame = ImRect(min, min + ImVec2(CalcItemWidth(), combo.labelSize.y + style.FramePadding.y * 2.0f));
    const float labelRoom = combo.labelSize.x > 0.0f ? style.ItemInnerSpacing.x + combo.labelSize.x : 0.0f;
    const ImRect total(combo.frame.Min, combo.frame.Max + ImVec2(labelRoom, 0.0f));
    ItemSize(total, style.FramePadding.y);
    if (!ItemAdd(total, combo.id, &combo.frame)) return false;

    bool held = false;
    const bool pressed = ButtonBehavior(combo.frame, combo.id, &combo.hovered, &held);
    const ImGuiID popupId = ImHashStr("##ComboPopup", 0, combo.id);
    combo.popupOpen = PopupOpenHere(*GImGui, popupId);
    combo.opening = pressed && !combo.popupOpen;
    if (combo.opening) {
        OpenPopupEx(popupId);
        combo.popupOpen = true;
    }
    combo.previewRight = ImMax(combo.frame.Min.x, combo.frame.Max.x - combo.arrowSize);
    return true;
}

// The preview area's background while closed, the arrow part, the border, the preview, the label.
void DrawComboShape(ImGuiWindow& window, const ComboFrame& combo, const char* label, const char* previewValue) {
    using namespace ImGui;
    const ImGuiStyle& style = GImGui->Style;
    const ImRect& frame = combo.frame;
    ImDrawList& draw = *window.DrawList;
    if (!combo.popupOpen)
        draw.AddRectFilled(frame.Min, ImVec2(combo.previewRight, frame.Max.y),
                           GetColorU32(combo.hovered ? ImGuiCol_FrameBgHovered : ImGuiCol_FrameBg), style.FrameRounding,
                           versions::kRoundLeft);

    const bool lit = combo.popupOpen || combo.hovered;
    const ImU32 arrowBackground = GetColorU32(lit ? ImGuiCol_ButtonActive : ImGuiCol_ButtonHovered);
    const bool arrowOnly = frame.GetWidth() <= combo.arrowSize;
    draw.AddRectFilled(ImVec2(combo.previewRight, frame.Min.y), frame.Max, arrowBackground, style.FrameRounding,
                       arrowOnly ? versions::kRoundAll : versions::kRoundRight);
    if (combo.previewRight + combo.arrowSize - style.FramePadding.x <= frame.Max.x)
        RenderArrow(&draw, ImVec2(combo.previewRight + style.FramePadding.y, frame.Min.y + style.FramePadding.y),
                    GetColorU32(ImGuiCol_Text), ImGuiDir_Down, 1.0f);
    RenderFrameBorder(frame.Min, frame.Max, style.FrameRounding);

    if (!combo.popupOpen && previewValue != nullptr) {
        // Only the part that fits is measured: a preset's name may be of any length. The preview
        // is a name, not a label, so it is drawn whole, "##" and all.
        const ImVec2 previewMin = frame.Min + style.FramePadding;
        const char* previewEnd = VisibleTextEnd(previewValue, nullptr, combo.previewRight - previewMin.x);
        RenderTextClippedEx(&draw, previewMin, ImVec2(combo.previewRight, frame.Max.y), previewValue, previewEnd, nullptr);
    }
    if (combo.labelSize.x > 0.0f)
        RenderText(ImVec2(frame.Max.x + style.ItemInnerSpacing.x, frame.Min.y + style.FramePadding.y), label);
}

// The tallest list of `rows` rows, as the library measures a combo's list.
float ListHeightForRows(const ImGuiContext& g, int rows) {
    return (g.FontSize + g.Style.ItemSpacing.y) * rows - g.Style.ItemSpacing.y + g.Style.WindowPadding.y * 2.0f;
}

// How many rows the list shows at most, by the caller's height flag; 8 unless told otherwise.
int MaxListRows(ImGuiComboFlags flags) {
    if (flags & ImGuiComboFlags_HeightSmall) return 4;
    if (flags & ImGuiComboFlags_HeightLarge) return 20;
    if (flags & ImGuiComboFlags_HeightLargest) return -1;  // as many as fit
    return 8;
}

// The library's combo list: the caller's size constraint (widened to the combo) or at most 8 rows,
// one popup window per popup depth, placed below the combo or where it fits.
bool BeginComboList(const ComboFrame& combo, ImGuiComboFlags flags) {
    using namespace ImGui;
    ImGuiContext& g = *GImGui;
    const ImGuiID popupId = ImHashStr("##ComboPopup", 0, combo.id);
    if (!PopupOpenHere(g, popupId)) {
        g.NextWindowData.ClearFlags();
        return false;
    }
    const float width = combo.frame.GetWidth();
    if (g.NextWindowData.Flags & ImGuiNextWindowDataFlags_HasSizeConstraint) {
        g.NextWindowData.SizeConstraintRect.Min.x = ImMax(g.NextWindowData.SizeConstraintRect.Min.x, width);
    } else {
        const int rows = MaxListRows(flags);
        SetNextWindowSizeConstraints(ImVec2(width, 0.0f), ImVec2(FLT_MAX, rows > 0 ? ListHeightForRows(g, rows) : FLT_MAX));
    }

    char name[16];
    ImFormatString(name, IM_ARRAYSIZE(name), "##Combo_%02d", g.BeginPopupStack.Size);  // one window per depth
    if (ImGuiWindow* popup = FindWindowByName(name); popup != nullptr && popup->WasActive) {
        const ImVec2 size = versions::PopupNextSize(popup);
        popup->AutoPosLastDirection = (flags & ImGuiComboFlags_PopupAlignLeft) ? ImGuiDir_Left : ImGuiDir_Down;
        const ImRect outer = versions::PopupAllowedRect(popup);
        SetNextWindowPos(FindBestWindowPosForPopupEx(combo.frame.GetBL(), size, &popup->AutoPosLastDirection, outer,
                                                     combo.frame, ImGuiPopupPositionPolicy_ComboBox));
    }
    const ImGuiWindowFlags windowFlags = ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_Popup |
                                         ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                                         ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoMove;
    // The rows' text lines up with the combo's preview text.
    PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(g.Style.FramePadding.x, g.Style.WindowPadding.y));
    const bool begun = Begin(name, nullptr, windowFlags);
    PopStyleVar();
    if (!begun) {
        EndPopup();
        IM_ASSERT(0 && "the list is open, so its window begins");
    }
    return begun;
}

}  // namespace

bool BeginSearchableCombo(const char* label, const char* previewValue, char* search, int searchSize,
                          const char* hint, ImGuiComboFlags flags) {
    ImGuiContext& g = *GImGui;
    ImGuiWindow* window = ImGui::GetCurrentWindow();

    // Like Begin(), the combo consumes the next-window data; the list gets it back below.
    const ImGuiNextWindowDataFlags nextWindowDataFlags = g.NextWindowData.Flags;
    g.NextWindowData.ClearFlags();
    if (window->SkipItems) return false;

    ComboFrame combo{};
    if (!LayOutCombo(*window, label, combo)) return false;
#ifdef IMGUI_ENABLE_TEST_ENGINE
    // Only the testing build reports items to a recorder; the released library has no hooks, and
    // the two status flags exist only where they do.
    IMGUI_TEST_ENGINE_ITEM_INFO(combo.id, label, ImGui::GetItemStatusFlags() | ImGuiItemStatusFlags_Openable |
                                                     (combo.popupOpen ? ImGuiItemStatusFlags_Opened : 0));
#endif

    ImGui::RenderNavHighlight(combo.frame, combo.id);
    // The capture flags stay the library's own: while the list is open, the open popup alone
    // makes it claim the mouse, so the host holds the game's input back anyway.
    if (combo.popupOpen) DrawSearchField(*window, combo, label, search, searchSize, hint);
    DrawComboShape(*window, combo, label, previewValue);

    if (!combo.popupOpen) return false;
    g.NextWindowData.Flags = nextWindowDataFlags;
    return BeginComboList(combo, flags);
}

CaseFolding::CaseFolding() {
    // tolower takes the byte as unsigned char: UTF-8 bytes above 0x7F are negative as char.
    for (int c = 0; c < 256; ++c) lower[c] = static_cast<unsigned char>(std::tolower(c));
}

std::string_view::size_type FindIgnoreCase(std::string_view text, std::string_view search, const CaseFolding& folding) {
    if (search.empty()) return 0;  // found at the start of every text, the empty one too
    const auto same = [&](char a, char b) {
        return folding.lower[static_cast<unsigned char>(a)] == folding.lower[static_cast<unsigned char>(b)];
    };
    const auto found = std::search(text.begin(), text.end(), search.begin(), search.end(), same);
    return found == text.end() ? std::string_view::npos : static_cast<std::string_view::size_type>(found - text.begin());
}
