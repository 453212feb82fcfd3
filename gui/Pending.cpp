// Placeholders until the GUI lands; the GUI replaces this file.
#include "plugin/Vistorb.h"

void Vistorb::DrawSettingsPage() {}
std::string Vistorb::GetSettingsName() { return "Vistorb"; }
void Vistorb::SetGuiContext(uintptr_t) {}
void Vistorb::DrawWindow() {}
std::string Vistorb::GetMenuId() { return "Vistorb"; }
std::string Vistorb::GetMenuCaption() { return menuTitle; }
bool Vistorb::WantsInputBlocked() { return false; }
bool Vistorb::IsOverlayActive() { return true; }
void Vistorb::OnWindowOpened() { isWindowOpen = true; }
void Vistorb::OnWindowClosed() { isWindowOpen = false; }
void Vistorb::DrawCredits() {}
void Vistorb::DrawCameraOverrideTabItem(const std::string&, CameraOverride&) {}
void Vistorb::DrawPresetCombo() {}
void Vistorb::DrawPresetActions() {}
void Vistorb::DrawRenamePopup() {}
