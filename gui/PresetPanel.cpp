// The preset panel's own widgets: the searchable combo, the list, the action row and the rename
// popup.
#include "gui/PresetPanel.h"

#include <cstring>
#include <string>

#include "core/Guarded.h"
#include "core/LogLine.h"
#include "gui/DisabledScope.h"
#include "gui/SearchableCombo.h"
#include "gui/Sliders.h"
#include "imgui.h"
#include "imgui_stdlib.h"

namespace {

// One selectable row per preset that `keep` lets through. Names need not be unique (nor
// non-empty); the row number keeps their ids apart.
template <typename Keep>
void DrawPresetRows(PresetPanel& panel, Keep&& keep) {
    for (size_t i = 0; i < panel.store.presets.size(); ++i) {
        const CameraPreset& preset = panel.store.presets[i];
        if (!keep(preset)) continue;
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(preset.name.c_str(), preset.name == panel.selected.name, 0)) panel.selected = preset;
        ImGui::PopID();
    }
}

}  // namespace

void DrawPresetCombo(PresetPanel& panel) {
    if (!BeginSearchableCombo("Presets", panel.selected.name.c_str(), panel.search, panel.searchSize, "Search", 0))
        return;
    const std::string search(panel.search, strnlen(panel.search, panel.searchSize));
    DrawPresetRows(panel, [&](const CameraPreset& preset) {
        return ContainsIgnoreCase(preset.name, search) != std::string::npos;
    });
    ImGui::EndCombo();
}

void DrawPresetList(PresetPanel& panel) {
    ImGui::BeginChild("presets table", ImVec2(0.0f, 125.0f), true, 0);
    DrawPresetRows(panel, [](const CameraPreset&) { return true; });
    ImGui::EndChild();

    if (!panel.selected.name.empty()) {
        DisabledScope preview(true, 0.5f);
        DrawCameraSettingsSliders(panel.selected.settings);
    }
}

void DrawPresetActions(PresetPanel& panel, bool hasFocusEntry, const std::function<void()>& apply,
                       const std::function<void()>& renamePopup) {
    {
        DisabledScope disabled(!hasFocusEntry, 0.5f);
        if (!hasFocusEntry) ImGui::TextColored(ImVec4(1.0f, 0.0f, 0.0f, 1.0f), "No focus actor");
        if (ImGui::Button("Apply")) apply();
    }

    ImGui::SameLine();
    if (ImGui::Button("Edit")) {
        panel.rename = panel.selected;
        ImGui::OpenPopup("rename_popup");
    }
    renamePopup();

    ImGui::SameLine();
    if (ImGui::Button("Delete")) {
        RunGuarded("deleting a preset", [&] { panel.store.DeletePreset(panel.selected.name); });
        panel.selected = CameraPreset{};
    }
}

void DrawRenamePopup(PresetPanel& panel) {
    if (!ImGui::BeginPopup("rename_popup")) return;
    ImGui::InputText("Preset Name", &panel.rename.name);
    DrawCameraSettingsSliders(panel.rename.settings);
    if (ImGui::Button("Save")) {
        RunGuarded("updating a preset", [&] {
            // The store drops the old preset only once the new one is written, so a failed save
            // never costs the user the preset they had.
            if (panel.store.FindPreset(panel.selected.name))
                panel.store.ReplacePreset(panel.selected.name, panel.rename);
            else
                LogLine("Failed to find the old preset to update");
        });
        panel.selected = panel.rename;
        ImGui::CloseCurrentPopup();
    }
    ImGui::EndPopup();
}
