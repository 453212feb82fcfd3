// The preset panel's own widgets: the searchable combo, the list, the action row and the rename
// popup.
#include "gui/PresetPanel.h"

#include <cstring>
#include <map>
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

bool SameRecord(const CameraPreset& a, const CameraPreset& b) {
    if (a.name != b.name) return false;
    for (const CameraValue& value : kCameraValues)
        if (!(a.settings.*value.member == b.settings.*value.member)) return false;
    return true;
}

// One selectable row, the name cut where the row ends. Names need not be unique (nor non-empty);
// the row number keeps their ids apart, and the highlight goes by the selected file's record.
void DrawPresetRow(PresetPanel& panel, const std::optional<CameraPreset>& selected, size_t index, float width) {
    const CameraPreset& preset = panel.store.Presets()[index];
    char buffer[kLabelBytes];
    const char* label = VisibleLabel(preset.name.c_str(), preset.name.size(), width, buffer, sizeof buffer);
    ImGui::PushID(static_cast<int>(index));
    // A record the cache holds without a file can only be told by its name.
    const bool highlighted = selected ? SameRecord(preset, *selected)
                                      : panel.selectedFile.empty() && preset.name == panel.selected.name &&
                                            !preset.name.empty();
    if (ImGui::Selectable(label, highlighted, 0)) {
        const CameraPreset chosen = preset;
        Select(panel, chosen, panel.store.FileOfRecord(chosen).value_or(std::filesystem::path()));
    }
    ImGui::PopID();
}

// Every preset, but only the rows in view are laid out: a frame costs the same with ten presets
// or ten thousand.
void DrawAllPresetRows(PresetPanel& panel, float width) {
    const std::optional<CameraPreset> selected = SelectedRecord(panel);
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(panel.store.Presets().size()));
    while (clipper.Step())
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row)
            DrawPresetRow(panel, selected, static_cast<size_t>(row), width);
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
    const std::vector<CameraPreset>& presets = panel.store.Presets();
    if (ImGui::IsWindowAppearing() || !matching.BuiltFor(comboId, presets, search))
        matching.Build(comboId, presets, search);

    const std::optional<CameraPreset> selected = SelectedRecord(panel);
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(matching.indices.size()));
    while (clipper.Step())
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row)
            DrawPresetRow(panel, selected, matching.indices[static_cast<size_t>(row)], width);
}

// The save popups waiting on the store, by popup id; one GUI thread draws them.
std::mutex savePopupsLock;
std::map<unsigned, SavePopupState> savePopups;

}  // namespace

std::optional<CameraPreset> SelectedRecord(const PresetPanel& panel) {
    if (panel.selectedFile.empty() || panel.selected.name.empty()) return std::nullopt;
    std::optional<CameraPreset> record = panel.store.RecordOfFile(panel.selectedFile);
    if (!record || record->name != panel.selected.name) return std::nullopt;
    return record;
}

void Select(PresetPanel& panel, const CameraPreset& preset, const std::filesystem::path& file) {
    panel.selected = preset;
    panel.selectedFile = file;
}

SavePopupState SavePopupStateOf(unsigned popup) {
    const std::lock_guard<std::mutex> lock(savePopupsLock);
    const auto found = savePopups.find(popup);
    return found == savePopups.end() ? SavePopupState{} : found->second;
}

// A refusal has said why in the console, as a save always did; only a question is kept.
void SavePopupAnswered(unsigned popup, const PresetStore::Answer& answer) {
    const std::lock_guard<std::mutex> lock(savePopupsLock);
    if (answer.outcome == PresetStore::Answer::Outcome::Ask)
        savePopups[popup] = SavePopupState{SavePopupState::Stage::Asking, answer.question, answer.consent, true};
    else
        savePopups.erase(popup);
}

bool ReopenSavePopup(unsigned popup) {
    const std::lock_guard<std::mutex> lock(savePopupsLock);
    const auto found = savePopups.find(popup);
    if (found == savePopups.end() || !found->second.reopen) return false;
    found->second.reopen = false;
    found->second.reopening = true;
    return true;
}

void SavePopupDrawn(unsigned popup, bool appearing) {
    const std::lock_guard<std::mutex> lock(savePopupsLock);
    const auto found = savePopups.find(popup);
    if (found == savePopups.end()) return;
    if (!appearing)
        found->second.reopening = false;
    else if (!found->second.reopening)
        savePopups.erase(found);
}

void ForgetSavePopup(unsigned popup) {
    const std::lock_guard<std::mutex> lock(savePopupsLock);
    savePopups.erase(popup);
}

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
        Select(panel, CameraPreset{}, {});
    }
}

void DrawReloadButton(PresetPanel& panel) {
    ImGui::SameLine();
    if (!ImGui::Button("Reload")) return;
    RunGuarded("reloading the presets", [&] { panel.store.Reload(); });
    const std::optional<CameraPreset> still = SelectedRecord(panel);
    Select(panel, still ? *still : CameraPreset{}, still ? panel.selectedFile : std::filesystem::path());
}

namespace {

// The end of a rename, whatever the store did. Written: the selection is the file just written,
// with the values just saved. Not written: the old preset stays selected while its file still
// holds it; otherwise the selection takes the new name, which no file holds.
void FinishRename(PresetPanel& panel, const PresetStore::Answer& answer) {
    if (answer.outcome == PresetStore::Answer::Outcome::Done)
        Select(panel, panel.rename, answer.file);
    else if (!SelectedRecord(panel))
        Select(panel, panel.rename, {});
    ImGui::CloseCurrentPopup();
}

// "Save" in the rename popup, or "Replace" with the consent the question gave. The question, if
// the store asks one, goes into `asking`.
void SaveRename(PresetPanel& panel, const PresetStore::Consent* consent, unsigned popup) {
    PresetStore::Answer answer;
    RunGuarded("updating a preset", [&] {
        // The store drops the old preset only once the new one is written, so a failed save
        // never costs the user the preset they had.
        if (!panel.store.FindPreset(panel.selected.name))
            LogLine("Failed to find the old preset to update");
        else
            answer = panel.store.Rename(panel.selected.name, panel.rename, consent);
    });
    if (answer.outcome == PresetStore::Answer::Outcome::Ask) {
        SavePopupAnswered(popup, answer);
        ReopenSavePopup(popup);  // the rename popup is still open
        return;
    }
    ForgetSavePopup(popup);
    FinishRename(panel, answer);
}

}  // namespace

void DrawRenamePopup(PresetPanel& panel) {
    if (!ImGui::BeginPopup("rename_popup")) return;
    // The question waits in the popup's own entry, forgotten whenever it opens again or the name
    // is edited.
    const unsigned popup = ImGui::GetID("replace_question");
    if (ImGui::IsWindowAppearing()) ForgetSavePopup(popup);

    if (InputTextString("Preset Name", panel.rename.name)) ForgetSavePopup(popup);
    DrawCameraSettingsSliders(panel.rename.settings);
    const SavePopupState state = SavePopupStateOf(popup);
    if (state.stage == SavePopupState::Stage::Asking) {
        ImGui::Text("%s", state.question.c_str());
        if (ImGui::Button("Replace")) SaveRename(panel, &state.consent, popup);
        ImGui::SameLine();
        if (ImGui::Button("Cancel")) ForgetSavePopup(popup);
    } else if (ImGui::Button("Save")) {
        SaveRename(panel, nullptr, popup);
    }
    ImGui::EndPopup();
}
