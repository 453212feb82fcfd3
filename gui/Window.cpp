// The camera overrides window's frame.
#include "gui/Window.h"

#include "gui/Layout.h"
#include "imgui.h"

void DrawCameraOverridesWindow(const std::string& title, bool& keepOpen, const OverridesWindowPanels& panels) {
    if (!ImGui::Begin(title.c_str(), &keepOpen, 0)) {
        ImGui::End();  // collapsed: nothing else to draw
        return;
    }
    ImGui::Columns(2);

    ImGui::BeginChild("vistorb2", ImVec2(0.0f, -kFooterLines * ImGui::GetTextLineHeightWithSpacing()), false, 0);
    panels.overrideTabs();
    ImGui::EndChild();
    panels.credits();

    ImGui::NextColumn();
    ImGui::BeginChild("vistorb2-right", ImVec2(0.0f, 0.0f), false, 0);
    ImGui::TextUnformatted("Saved Camera Presets");
    panels.presetPanel();
    ImGui::EndChild();
    ImGui::End();
}
