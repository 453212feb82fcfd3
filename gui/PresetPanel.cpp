// The preset panel's own widgets: the searchable combo, the action row and the rename popup.
#include <cstring>
#include <mutex>

#include "gui/DisabledScope.h"
#include "gui/SearchableCombo.h"
#include "gui/Sliders.h"
#include "imgui.h"
#include "imgui_stdlib.h"
#include "core/Guarded.h"
#include "core/LogLine.h"
#include "plugin/Vistorb.h"

void Vistorb::DrawPresetCombo() {
    if (!BeginSearchableCombo("Presets", selectedPreset.name.c_str(), presetSearch, sizeof presetSearch, "Search", 0))
        return;
    const std::string search(presetSearch, strnlen(presetSearch, sizeof presetSearch));
    for (size_t i = 0; i < presetStore.presets.size(); ++i) {
        const CameraPreset& preset = presetStore.presets[i];
        if (ContainsIgnoreCase(preset.name, search) == std::string::npos) continue;
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(preset.name.c_str(), preset.name == selectedPreset.name, 0)) selectedPreset = preset;
        ImGui::PopID();
    }
    ImGui::EndCombo();
}

void Vistorb::DrawPresetActions() {
    {
        bool hasFocusEntry = false;
        {
            std::lock_guard<std::mutex> lock(stateLock);
            hasFocusEntry = cameraOverrides.count(focusedId) != 0;
        }
        DisabledScope disabled(!hasFocusEntry, 0.5f);
        if (!hasFocusEntry) ImGui::TextColored(ImVec4(1.0f, 0.0f, 0.0f, 1.0f), "No focus actor");
        if (ImGui::Button("Apply")) {
            // Looked up again: the game thread may have rebuilt the table since the check above.
            std::lock_guard<std::mutex> lock(stateLock);
            const auto entry = cameraOverrides.find(focusedId);
            if (entry != cameraOverrides.end()) {
                if (const auto preset = presetStore.FindPreset(selectedPreset.name)) {
                    entry->second.settings = preset->settings;
                    OverridePlayerCameraFromGui(entry->second);
                }
            }
        }
    }

    ImGui::SameLine();
    if (ImGui::Button("Edit")) {
        renamePreset = selectedPreset;
        ImGui::OpenPopup("rename_popup");
    }
    DrawRenamePopup();

    ImGui::SameLine();
    if (ImGui::Button("Delete")) {
        RunGuarded("deleting a preset", [&] { presetStore.DeletePreset(selectedPreset.name); });
        selectedPreset = CameraPreset{};
    }
}

void Vistorb::DrawRenamePopup() {
    if (!ImGui::BeginPopup("rename_popup")) return;
    ImGui::InputText("Preset Name", &renamePreset.name);
    DrawCameraSettingsSliders(renamePreset.settings);
    if (ImGui::Button("Save")) {
        RunGuarded("updating a preset", [&] {
            // The store drops the old preset only once the new one is written, so a failed save
            // never costs the user the preset they had.
            if (presetStore.FindPreset(selectedPreset.name))
                presetStore.ReplacePreset(selectedPreset.name, renamePreset);
            else
                LogLine("Failed to find the old preset to update");
        });
        selectedPreset = renamePreset;
        ImGui::CloseCurrentPopup();
    }
    ImGui::EndPopup();
}
