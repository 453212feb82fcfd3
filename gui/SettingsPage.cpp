// The plugin's two window interfaces as the host sees them, the settings page, and the credit
// footer that the settings page and the window share.
#include <fmt/format.h>

#include "gui/GuardedFrame.h"
#include "gui/Layout.h"
#include "imgui.h"
#include "plugin/Vistorb.h"

namespace {
constexpr const char* kMenuId = "Vistorb";
constexpr const char* kCreditLine = "Vistorb: a camera of its own for every player of a replay";
constexpr const char* kContactLine =
    "Something wrong or missing? Report it on the Vistorb project's issue tracker, with the host's "
    "console lines and the steps that lead to it.";
}  // namespace

void Vistorb::DrawSettingsPage() {
    DrawGuarded("the settings page", [&] {
        ImGui::BeginChild("vistorb", ImVec2(0.0f, -kFooterLines * ImGui::GetTextLineHeightWithSpacing()), false, 0);
        if (ImGui::Button("Open")) {
            // Through the window interface, as the host would ask it.
            const std::string menuId = static_cast<BakkesMod::Plugin::PluginWindow*>(this)->GetMenuId();
            consoleManager->executeCommand(fmt::format("sleep 1; openmenu {}", menuId), true);
        }
        ImGui::EndChild();
        DrawCredits();
    });
}

std::string Vistorb::GetSettingsName() { return kMenuId; }

void Vistorb::SetGuiContext(uintptr_t ctx) { ImGui::SetCurrentContext(reinterpret_cast<ImGuiContext*>(ctx)); }

std::string Vistorb::GetMenuId() { return kMenuId; }

std::string Vistorb::GetMenuCaption() { return menuTitle; }

bool Vistorb::WantsInputBlocked() {
    // The host may ask before it has handed over a context; there is nothing to capture then.
    if (!ImGui::GetCurrentContext()) return false;
    const ImGuiIO& io = ImGui::GetIO();
    return io.WantCaptureMouse || io.WantCaptureKeyboard;
}

bool Vistorb::IsOverlayActive() { return true; }

void Vistorb::OnWindowOpened() { isWindowOpen = true; }

void Vistorb::OnWindowClosed() { isWindowOpen = false; }

void Vistorb::DrawCredits() {
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
