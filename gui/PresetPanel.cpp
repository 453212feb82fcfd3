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

void DrawPresetStoreProblem(const PresetStore& store) {
    if (store.Usable()) return;
    // Without its folder the store refuses every change; the user sees why here rather than only
    // in the console's refusals.
    const std::string reason = "Presets unavailable: " + store.UnusableReason();
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 0.4f, 0.4f, 1.0f));
    ImGui::TextWrapped("%s", reason.c_str());
    ImGui::PopStyleColor();
}

void DrawPresetActions(PresetPanel& panel, bool hasFocusEntry, const std::function<void()>& apply,
                       const std::function<void()>& renamePopup) {
    {
        DisabledScope disabled(!hasFocusEntry, 0.5f);
        if (!hasFocusEntry) ImGui::TextColored(ImVec4(1.0f, 0.0f, 0.0f, 1.0f), "No focus actor");
        if (ImGui::Button("Apply")) apply();
    }
    // A store without its folder would refuse anyway; its buttons say so by fading.
    const bool storeUnusable = !panel.store.Usable();

    ImGui::SameLine();
    bool editPressed = false;
    {
        DisabledScope disabled(storeUnusable, 0.5f);
        editPressed = ImGui::Button("Edit");
    }
    if (editPressed) {
        panel.rename = panel.selected;
        ImGui::OpenPopup("rename_popup");
    }
    renamePopup();

    ImGui::SameLine();
    bool deletePressed = false;
    {
        DisabledScope disabled(storeUnusable, 0.5f);
        deletePressed = ImGui::Button("Delete");
    }
    if (deletePressed) {
        RunGuarded("deleting a preset", [&] { panel.store.DeletePreset(panel.selected.name); });
        panel.selected = CameraPreset{};
    }
}

namespace {

// The end of a rename, whatever the store did: the selection follows the new name.
void FinishRename(PresetPanel& panel) {
    panel.selected = panel.rename;
    ImGui::CloseCurrentPopup();
}

// "Save" in the rename popup. True when the new name belongs to another preset, which only an
// explicit "Replace" may overwrite.
bool SaveRename(PresetPanel& panel) {
    bool ask = false;
    RunGuarded("updating a preset", [&] {
        // The store drops the old preset only once the new one is written, so a failed save
        // never costs the user the preset they had.
        if (!panel.store.FindPreset(panel.selected.name))
            LogLine("Failed to find the old preset to update");
        else if (panel.store.RenameWouldOverwrite(panel.selected.name, panel.rename.name))
            ask = true;
        else
            panel.store.ReplacePreset(panel.selected.name, panel.rename);
    });
    return ask;
}

// The question in place of "Save" while the new name is taken. Returns whether it still stands.
bool DrawReplaceQuestion(PresetPanel& panel) {
    ImGui::Text("A preset named \"%s\" already exists. Replace it?", panel.rename.name.c_str());
    if (ImGui::Button("Replace")) {
        RunGuarded("updating a preset",
                   [&] { panel.store.ReplacePreset(panel.selected.name, panel.rename, /*allowReplace=*/true); });
        FinishRename(panel);
        return false;
    }
    ImGui::SameLine();
    return !ImGui::Button("Cancel");
}

}  // namespace

void DrawRenamePopup(PresetPanel& panel) {
    if (!ImGui::BeginPopup("rename_popup")) return;
    // Whether the popup waits for an answer about replacing another preset: kept in the popup's
    // own state, forgotten whenever it opens again or the name is edited.
    ImGuiStorage* state = ImGui::GetStateStorage();
    const ImGuiID asking = ImGui::GetID("replace_question");
    if (ImGui::IsWindowAppearing()) state->SetBool(asking, false);

    if (ImGui::InputText("Preset Name", &panel.rename.name)) state->SetBool(asking, false);
    DrawCameraSettingsSliders(panel.rename.settings);
    if (state->GetBool(asking)) {
        state->SetBool(asking, DrawReplaceQuestion(panel));
    } else if (ImGui::Button("Save")) {
        if (SaveRename(panel))
            state->SetBool(asking, true);
        else
            FinishRename(panel);
    }
    ImGui::EndPopup();
}
