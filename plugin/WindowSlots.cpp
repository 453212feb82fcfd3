// The plugin's two window interfaces as the host sees them: the settings page and the window's
// slots. The drawing itself lives in gui/.
#include <fmt/format.h>

#include "gui/Credits.h"
#include "gui/GuardedFrame.h"
#include "gui/SettingsPage.h"
#include "imgui.h"
#include "plugin/Vistorb.h"

namespace {
constexpr const char* kMenuId = "Vistorb";
}

void Vistorb::DrawSettingsPage() {
    DrawGuarded("the settings page", [&] {
        const auto openWindow = [&] {
            // Through the window interface, as the host would ask it.
            const std::string menuId = static_cast<BakkesMod::Plugin::PluginWindow*>(this)->GetMenuName();
            cvarManager->executeCommand(fmt::format("sleep 1; openmenu {}", menuId), true);
        };
        DrawSettingsPageContents(openWindow, [&] { DrawCredits(); });
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

void Vistorb::DrawCredits() { DrawCreditsFooter(); }
