// The preset panel's own widgets: the searchable combo, the list, the action row and the rename
// popup.
#include "gui/PresetPanel.h"

#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/CameraValues.h"
#include "core/Guarded.h"
#include "core/LogLine.h"
#include "gui/ClippedText.h"
#include "gui/DisabledScope.h"
#include "gui/SearchableCombo.h"
#include "gui/Sliders.h"
#include "imgui.h"
#include "gui/TextField.h"

namespace {

// Room for the visible part of a name that does not fit its row.
constexpr size_t kLabelBytes = 512;

// One selectable row, the name cut where the row ends. Names need not be unique (nor non-empty);
// the row number keeps their ids apart.
void DrawPresetRow(PresetPanel& panel, size_t index, float width) {
    const CameraPreset& preset = panel.store.presets[index];
    char buffer[kLabelBytes];
    const char* label = VisibleLabel(preset.name.c_str(), preset.name.size(), width, buffer, sizeof buffer);
    ImGui::PushID(static_cast<int>(index));
    if (ImGui::Selectable(label, preset.name == panel.selected.name, 0)) panel.selected = preset;
    ImGui::PopID();
}

// Every preset, but only the rows in view are laid out: a frame costs the same with ten presets
// or ten thousand.
void DrawAllPresetRows(PresetPanel& panel, float width) {
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(panel.store.presets.size()));
    while (clipper.Step())
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row)
            DrawPresetRow(panel, static_cast<size_t>(row), width);
}

// The indices of the presets whose name contains the search text, any case, kept from frame to
// frame: the search text changes only when the user types, the cache only when a preset is saved,
// renamed or deleted, so a frame with the list open costs the rows in view, not every name.
//
// One list serves the one combo of the window, on the GUI thread. It is derived data, rebuilt
// from the panel's own fields whenever they may differ from what it was built from:
// - the search text differs;
// - the cache is another vector, or holds another number of records (a save or a delete);
// - the list has just opened. The cache can change while the list is closed in ways the two
//   above do not see (a rename keeps the count), but not while it is open: renaming, like saving
//   from a tab, goes through a popup of its own, and opening one closes the combo's.
struct MatchingPresets {
    const ImGuiContext* context = nullptr;  // the GUI context and the combo it was built for
    ImGuiID combo = 0;
    const CameraPreset* records = nullptr;
    size_t count = 0;
    std::string search;
    std::vector<size_t> indices;

    bool BuiltFor(ImGuiID comboId, const std::vector<CameraPreset>& presets, std::string_view text) const {
        return context == ImGui::GetCurrentContext() && combo == comboId && records == presets.data() &&
               count == presets.size() && search == text;
    }
    void Build(ImGuiID comboId, const std::vector<CameraPreset>& presets, std::string_view text) {
        context = ImGui::GetCurrentContext();
        combo = comboId;
        records = presets.data();
        count = presets.size();
        search.assign(text.data(), text.size());
        indices.clear();
        const CaseFolding folding;
        for (size_t i = 0; i < presets.size(); ++i)
            if (FindIgnoreCase(presets[i].name, search, folding) != std::string_view::npos) indices.push_back(i);
    }
};

// The one list, guarded because nothing stops a process from drawing two GUI contexts on two
// threads; the lock is never contended in a host.
std::mutex matchingLock;
MatchingPresets matching;

// The matching presets, only the rows in view laid out. `comboId` names the combo whose list is
// being drawn (the list window is the current one).
void DrawMatchingPresetRows(PresetPanel& panel, ImGuiID comboId, std::string_view search, float width) {
    const std::lock_guard<std::mutex> lock(matchingLock);
    const std::vector<CameraPreset>& presets = panel.store.presets;
    if (ImGui::IsWindowAppearing() || !matching.BuiltFor(comboId, presets, search))
        matching.Build(comboId, presets, search);

    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(matching.indices.size()));
    while (clipper.Step())
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row)
            DrawPresetRow(panel, matching.indices[static_cast<size_t>(row)], width);
}

// Whether the cache holds `preset`: its name with exactly its values.
bool CachedAsIs(const PresetStore& store, const CameraPreset& preset) {
    const auto cached = store.FindPreset(preset.name);
    if (!cached) return false;
    for (const CameraValue& value : kCameraValues)
        if (!(cached->settings.*value.member == preset.settings.*value.member)) return false;
    return true;
}

}  // namespace

void DrawPresetCombo(PresetPanel& panel) {
    const ImGuiID comboId = ImGui::GetID("Presets");
    if (!BeginSearchableCombo("Presets", panel.selected.name.c_str(), panel.search, panel.searchSize, "Search", 0))
        return;
    // The list sizes itself to its rows; a name is cut at the screen's width at most.
    const std::string_view search(panel.search, strnlen(panel.search, panel.searchSize));
    DrawMatchingPresetRows(panel, comboId, search, ImGui::GetIO().DisplaySize.x);
    ImGui::EndCombo();
}

void DrawPresetList(PresetPanel& panel) {
    ImGui::BeginChild("presets table", ImVec2(0.0f, 125.0f), true, 0);
    DrawAllPresetRows(panel, ImGui::GetContentRegionAvail().x);
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

void DrawApplyAndEdit(PresetPanel& panel, bool hasFocusEntry, const std::function<void()>& apply) {
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
}

void DrawDeleteButton(PresetPanel& panel) {
    const bool storeUnusable = !panel.store.Usable();
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

void DrawReloadButton(PresetPanel& panel) {
    ImGui::SameLine();
    if (!ImGui::Button("Reload")) return;
    RunGuarded("reloading the presets", [&] { panel.store.LoadPresets(); });
    const std::optional<CameraPreset> still = panel.store.FindPreset(panel.selected.name);
    panel.selected = still ? *still : CameraPreset{};
}

namespace {

// The end of a rename, whatever the store did: the selection follows the new name.
void FinishRename(PresetPanel& panel) {
    // A rename that was refused or not saved leaves the old preset in place: it stays selected,
    // so the selection never names a preset that does not exist.
    const bool oldStillThere = panel.store.FindPreset(panel.selected.name).has_value();
    if (CachedAsIs(panel.store, panel.rename) || !oldStillThere) panel.selected = panel.rename;
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

    if (InputTextString("Preset Name", panel.rename.name)) state->SetBool(asking, false);
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
