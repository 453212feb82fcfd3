// The plugin's page in the host's settings.
#include "gui/SettingsPage.h"

#include "gui/Layout.h"
#include "imgui.h"

void DrawSettingsPageContents(const std::function<void()>& openWindow, const std::function<void()>& credits) {
    ImGui::BeginChild("vistorb", ImVec2(0.0f, -kFooterLines * ImGui::GetTextLineHeightWithSpacing()), false, 0);
    if (ImGui::Button("Open")) openWindow();
    ImGui::EndChild();
    credits();
}
