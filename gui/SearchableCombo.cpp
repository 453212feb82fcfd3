#define IMGUI_DEFINE_MATH_OPERATORS
#include "gui/SearchableCombo.h"

#include <cctype>

#include "imgui_internal.h"

namespace {

// What the field may disturb of the library's active-item bookkeeping while it pretends to be
// the active widget; put back afterwards so the widget that is really active is unaffected.
struct ActiveItemState {
    ImGuiID id;
    ImGuiWindow* window;
    float timer;
    bool isJustActivated, allowOverlap, noClearOnFocusLoss, pressedBefore, editedBefore, editedThisFrame;
    int mouseButton;
    ImGuiInputSource source;

    static ActiveItemState Save(const ImGuiContext& g) {
        return {g.ActiveId, g.ActiveIdWindow, g.ActiveIdTimer, g.ActiveIdIsJustActivated, g.ActiveIdAllowOverlap,
                g.ActiveIdNoClearOnFocusLoss, g.ActiveIdHasBeenPressedBefore, g.ActiveIdHasBeenEditedBefore,
                g.ActiveIdHasBeenEditedThisFrame, g.ActiveIdMouseButton, g.ActiveIdSource};
    }
    void Restore(ImGuiContext& g) const {
        g.ActiveId = id;
        g.ActiveIdWindow = window;
        g.ActiveIdTimer = timer;
        g.ActiveIdIsJustActivated = isJustActivated;
        g.ActiveIdAllowOverlap = allowOverlap;
        g.ActiveIdNoClearOnFocusLoss = noClearOnFocusLoss;
        g.ActiveIdHasBeenPressedBefore = pressedBefore;
        g.ActiveIdHasBeenEditedBefore = editedBefore;
        g.ActiveIdHasBeenEditedThisFrame = editedThisFrame;
        g.ActiveIdMouseButton = mouseButton;
        g.ActiveIdSource = source;
    }
};

// The cursor and line bookkeeping that laying out an item changes. The field is laid over the
// combo's own frame, which the combo has already laid out, so the layout is put back after it.
struct LayoutState {
    ImVec2 cursorPos, cursorPosPrevLine, cursorMaxPos, prevLineSize, currLineSize;
    float prevLineTextBaseOffset, currLineTextBaseOffset;
    ImGuiLastItemData lastItem;

    static LayoutState Save(const ImGuiContext& g, const ImGuiWindow& window) {
        const ImGuiWindowTempData& dc = window.DC;
        return {dc.CursorPos, dc.CursorPosPrevLine, dc.CursorMaxPos, dc.PrevLineSize, dc.CurrLineSize,
                dc.PrevLineTextBaseOffset, dc.CurrLineTextBaseOffset, g.LastItemData};
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
        g.LastItemData = lastItem;
    }
};

// The search field in place of the preview. It carries the combo's label, hence the combo's id.
void DrawSearchField(ImGuiWindow& window, ImGuiID id, const char* label, const ImRect& frame, float previewRight,
                     char* search, int searchSize, const char* hint, bool opening) {
    ImGuiContext& g = *GImGui;
    const LayoutState layout = LayoutState::Save(g, window);
    window.DC.CursorPos = frame.Min;

    // The field would draw its own copy of the label over the arrow; the combo draws the label.
    ImGui::PushClipRect(frame.Min, ImVec2(previewRight, frame.Max.y), true);
    const ImVec2 size(previewRight - frame.Min.x, frame.GetHeight());
    if (opening) {
        // As if activated by keyboard navigation: the field starts text input in this frame.
        const ImGuiID navInput = g.NavActivateInputId;
        g.NavActivateInputId = id;
        ImGui::InputTextEx(label, hint, search, searchSize, size, ImGuiInputTextFlags_NoUndoRedo, nullptr, nullptr);
        g.NavActivateInputId = navInput;
    } else {
        // The open list holds the focus, which took the active id from the field. Handing it back
        // for the field's turn lets the field take the typed characters in every frame.
        const ActiveItemState active = ActiveItemState::Save(g);
        g.ActiveId = id;
        ImGui::InputTextEx(label, hint, search, searchSize, size, ImGuiInputTextFlags_NoUndoRedo, nullptr, nullptr);
        active.Restore(g);
    }
    ImGui::PopClipRect();
    layout.Restore(g, window);
}

}  // namespace

bool BeginSearchableCombo(const char* label, const char* previewValue, char* search, int searchSize,
                          const char* hint, ImGuiComboFlags flags) {
    using namespace ImGui;
    ImGuiContext& g = *GImGui;
    ImGuiWindow* window = GetCurrentWindow();

    // Like Begin(), the combo consumes the next-window data; the list gets it back below.
    const ImGuiNextWindowDataFlags nextWindowDataFlags = g.NextWindowData.Flags;
    g.NextWindowData.ClearFlags();
    if (window->SkipItems) return false;

    const ImGuiStyle& style = g.Style;
    const ImGuiID id = window->GetID(label);
    const float arrowSize = GetFrameHeight();
    const ImVec2 labelSize = CalcTextSize(label, nullptr, true);
    const float width = CalcItemWidth();
    const ImRect frame(window->DC.CursorPos,
                       window->DC.CursorPos + ImVec2(width, labelSize.y + style.FramePadding.y * 2.0f));
    const ImRect total(frame.Min,
                       frame.Max + ImVec2(labelSize.x > 0.0f ? style.ItemInnerSpacing.x + labelSize.x : 0.0f, 0.0f));
    ItemSize(total, style.FramePadding.y);
    if (!ItemAdd(total, id, &frame)) return false;

    bool hovered = false, held = false;
    const bool pressed = ButtonBehavior(frame, id, &hovered, &held);
    const ImGuiID popupId = ImHashStr("##ComboPopup", 0, id);
    bool popupOpen = IsPopupOpen(popupId, ImGuiPopupFlags_None);
    const bool opening = pressed && !popupOpen;
    if (opening) {
        OpenPopupEx(popupId, ImGuiPopupFlags_None);
        popupOpen = true;
    }
#ifdef IMGUI_ENABLE_TEST_ENGINE
    // Only the testing build reports items to a recorder; the released library has no hooks, and
    // the two status flags exist only where they do.
    IMGUI_TEST_ENGINE_ITEM_INFO(id, label, g.LastItemData.StatusFlags | ImGuiItemStatusFlags_Openable |
                                               (popupOpen ? ImGuiItemStatusFlags_Opened : 0));
#endif

    const float previewRight = ImMax(frame.Min.x, frame.Max.x - arrowSize);
    RenderNavHighlight(frame, id);
    if (popupOpen) {
        DrawSearchField(*window, id, label, frame, previewRight, search, searchSize, hint, opening);
        // The game must not see the keys typed into the search.
        CaptureKeyboardFromApp(true);
    } else {
        window->DrawList->AddRectFilled(frame.Min, ImVec2(previewRight, frame.Max.y),
                                        GetColorU32(hovered ? ImGuiCol_FrameBgHovered : ImGuiCol_FrameBg),
                                        style.FrameRounding, ImDrawFlags_RoundCornersLeft);
    }

    const ImU32 arrowBackground = GetColorU32((popupOpen || hovered) ? ImGuiCol_ButtonActive : ImGuiCol_ButtonHovered);
    window->DrawList->AddRectFilled(ImVec2(previewRight, frame.Min.y), frame.Max, arrowBackground, style.FrameRounding,
                                    width <= arrowSize ? ImDrawFlags_RoundCornersAll : ImDrawFlags_RoundCornersRight);
    if (previewRight + arrowSize - style.FramePadding.x <= frame.Max.x)
        RenderArrow(window->DrawList, ImVec2(previewRight + style.FramePadding.y, frame.Min.y + style.FramePadding.y),
                    GetColorU32(ImGuiCol_Text), ImGuiDir_Down, 1.0f);
    RenderFrameBorder(frame.Min, frame.Max, style.FrameRounding);

    if (!popupOpen && previewValue != nullptr)
        RenderTextClipped(frame.Min + style.FramePadding, ImVec2(previewRight, frame.Max.y), previewValue, nullptr,
                          nullptr);
    if (labelSize.x > 0.0f)
        RenderText(ImVec2(frame.Max.x + style.ItemInnerSpacing.x, frame.Min.y + style.FramePadding.y), label);

    if (!popupOpen) return false;
    g.NextWindowData.Flags = nextWindowDataFlags;
    return BeginComboPopup(popupId, frame, flags);
}

std::string::size_type ContainsIgnoreCase(std::string text, std::string search) {
    // tolower takes the byte as unsigned char: UTF-8 bytes above 0x7F are negative as char.
    const auto fold = [](std::string& s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    fold(text);
    fold(search);
    return text.find(search);
}
