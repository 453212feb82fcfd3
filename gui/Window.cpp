// The camera overrides window: one tab per player on the left, the preset panel on the right.
#include <mutex>

#include "gui/DisabledScope.h"
#include "gui/GuardedFrame.h"
#include "gui/Layout.h"
#include "gui/Sliders.h"
#include "imgui.h"
#include "imgui_stdlib.h"
#include "core/Guarded.h"
#include "plugin/Vistorb.h"

void Vistorb::DrawWindow() {
    // The close button clears this flag, and only a press in this very frame asks the host to
    // toggle the menu: the host may draw the window again before it gets to the request, and a
    // second toggle would open the window again. A collapsed window's close button counts too.
    bool keepOpen = true;
    DrawGuarded("the window", [&] {
        if (!ImGui::Begin(menuTitle.c_str(), &keepOpen, 0)) {
            ImGui::End();  // collapsed: nothing else to draw
            return;
        }
        ImGui::Columns(2);

        ImGui::BeginChild("vistorb2", ImVec2(0.0f, -kFooterLines * ImGui::GetTextLineHeightWithSpacing()), false, 0);
        {
            // The game thread rebuilds and clears the table; it waits for the tab walk to finish.
            std::lock_guard<std::mutex> lock(stateLock);
            if (ImGui::BeginTabBar("Camera overrides", 0)) {
                for (auto& [key, override] : cameraOverrides) DrawCameraOverrideTabItem(key, override);
                ImGui::EndTabBar();
            }
        }
        ImGui::EndChild();
        DrawCredits();

        ImGui::NextColumn();
        ImGui::BeginChild("vistorb2-right", ImVec2(0.0f, 0.0f), false, 0);
        ImGui::TextUnformatted("Saved Camera Presets");
        DrawPresetCombo();

        ImGui::BeginChild("presets table", ImVec2(0.0f, 125.0f), true, 0);
        for (size_t i = 0; i < presetStore.presets.size(); ++i) {
            const CameraPreset& preset = presetStore.presets[i];
            // Names need not be unique (nor non-empty); the row number keeps their ids apart.
            ImGui::PushID(static_cast<int>(i));
            if (ImGui::Selectable(preset.name.c_str(), preset.name == selectedPreset.name, 0)) selectedPreset = preset;
            ImGui::PopID();
        }
        ImGui::EndChild();

        if (!selectedPreset.name.empty()) {
            DisabledScope preview(true, 0.5f);
            DrawCameraSettingsSliders(selectedPreset.settings);
        }
        DrawPresetActions();
        ImGui::EndChild();
        ImGui::End();
    });
    if (keepOpen) return;

    isWindowOpen = false;
    consoleManager->executeCommand("togglemenu " + GetMenuId(), true);
}

void Vistorb::DrawCameraOverrideTabItem(const std::string& key, CameraOverride& override) {
    // Every widget of the tab lives in the key's id scope: players may share a display name.
    ImGui::PushID(key.data(), key.data() + key.size());
    const ImGuiTabItemFlags flags = key == focusedId ? ImGuiTabItemFlags_SetSelected : 0;
    const bool shown = ImGui::BeginTabItem(override.playerName.c_str(), nullptr, flags);

    // Only the header of a tab that is not shown moves the camera; pressing anything inside the
    // shown tab (its "Save Preset" button included) leaves the camera where it is.
    const bool activated = !shown && ImGui::IsItemActivated();

    if (shown) {
        const bool toggled = ImGui::Checkbox("Enabled", &override.enabled);
        const bool moved = DrawCameraSettingsSliders(override.settings);
        if (toggled || moved) OverridePlayerCameraFromGui(override);

        if (ImGui::Button("Reset")) {
            override.settings = override.defaultSettings;
            OverridePlayerCameraFromGui(override);
        }
        ImGui::SameLine();
        if (ImGui::Button("Save Preset")) {
            ImGui::OpenPopup("save_new_preset_popup");
            newPreset.name = override.playerName;
            newPreset.settings = override.settings;
        }
        if (ImGui::BeginPopup("save_new_preset_popup")) {
            ImGui::InputText("Preset Name", &newPreset.name);
            if (ImGui::Button("Save")) {
                RunGuarded("saving a preset", [&] { presetStore.AddPreset(newPreset); });
                ImGui::CloseCurrentPopup();
            }
            ImGui::EndPopup();
        }
        ImGui::EndTabItem();
    }

    if (activated) {
        focusedId = override.focusId;
        gameHandle->Execute([plugin = this, copy = override](GameWrapper*) {
            RunGuarded("moving the camera to a player", [&] { plugin->FocusPlayer(copy); });
        });
    }
    ImGui::PopID();
}
