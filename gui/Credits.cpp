#include "gui/Credits.h"

#include "gui/Layout.h"
#include "imgui.h"

namespace {
constexpr const char* kCreditLine = "Vistorb: a camera of its own for every player of a replay";
constexpr const char* kContactLine =
    "Something wrong or missing? Report it on the Vistorb project's issue tracker, with the host's "
    "console lines and the steps that lead to it.";
}  // namespace

void DrawCreditsFooter() {
    // Measured from the window's bottom edge, so the footer stays put however little is above it.
    ImGui::SetCursorPosY(ImGui::GetWindowHeight() - kFooterLines * ImGui::GetTextLineHeightWithSpacing());
    ImGui::TextUnformatted(kCreditLine);
    ImGui::SameLine();
    ImGui::TextDisabled("(?)");
    if (ImGui::IsItemHovered()) {
        ImGui::BeginTooltip();
        ImGui::PushTextWrapPos(35.0f * ImGui::GetFontSize());
        ImGui::TextUnformatted(kContactLine);
        ImGui::PopTextWrapPos();
        ImGui::EndTooltip();
    }
}
