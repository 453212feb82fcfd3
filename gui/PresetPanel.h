#pragma once
// The preset panel of the camera overrides window: the searchable combo, the list with a faded
// preview, the Apply/Edit/Delete row and the rename popup.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "presets/CameraPreset.h"
#include "presets/PresetStore.h"
#include <optional>

// The panel's state, all of it owned by the caller.
struct PresetPanel {
    PresetStore& store;
    CameraPreset& selected;  // the preset chosen in the combo or the list, as shown
    CameraPreset& rename;    // working copy of the rename popup
    char* search;            // the combo's search text
    size_t searchSize;
    // The file the selection is: "Apply", "Copy" and the list's highlight go by the record this
    // file holds, never by name, since names need not be unique. Empty: nothing selected.
    std::filesystem::path& selectedFile;
};

// The record the selection is, as the store holds it; nothing when nothing is selected.
std::optional<CameraPreset> SelectedRecord(const PresetPanel& panel);
// The selection becomes `preset` as held by `file` (empty: nothing).
void Select(PresetPanel& panel, const CameraPreset& preset, const std::filesystem::path& file);

// A popup's question from the store, keyed by the popup's id. A save popup's save is carried out
// after the frame that asked for it, with the popup closed; a question opens it again
// (ReopenSavePopup says when, once).
struct SavePopupState {
    enum class Stage { Idle, Asking };
    Stage stage = Stage::Idle;
    std::string question;
    PresetStore::Consent consent;
    bool reopen = false;
    bool reopening = false;  // reopened for the question, and not yet past appearing
};
SavePopupState SavePopupStateOf(unsigned popup);
void SavePopupAnswered(unsigned popup, const PresetStore::Answer& answer);
bool ReopenSavePopup(unsigned popup);
void ForgetSavePopup(unsigned popup);
// Each frame the popup is drawn: one that appears afresh forgets its question, one reopened
// for it keeps it for as long as ImGui calls it appearing (1.75 does so for two frames, while
// it sizes the popup to the question).
void SavePopupDrawn(unsigned popup, bool appearing);

// The "Presets" combo: the presets whose name contains the search text, any case.
void DrawPresetCombo(PresetPanel& panel);

// Every preset as a selectable row, then the selected one's values as faded, locked sliders.
// In both lists only the rows in view are laid out, and a long name only as far as it shows.
void DrawPresetList(PresetPanel& panel);

// When the store cannot act (its folder could not be opened), one line saying why; else nothing.
void DrawPresetStoreProblem(const PresetStore& store);

// The action row, in two parts around the rename popup, which the caller draws between them:
// "Apply" (locked, under a red "No focus actor", while the followed player has no entry; runs
// `apply` when pressed) and "Edit" (opens the rename popup); then "Delete". "Edit" and "Delete"
// are faded while the store cannot act.
void DrawApplyAndEdit(PresetPanel& panel, bool hasFocusEntry, const std::function<void()>& apply);
void DrawDeleteButton(PresetPanel& panel);
// "Reload": the folder opened and read again as at start-up, for the folder or files moved,
// added, changed or removed since. The selection stays where its file still holds a preset of
// its name (with its values as read now), and is cleared where not.
void DrawReloadButton(PresetPanel& panel);

// The rename popup: new name and values for the selected preset, written by "Save". A file that
// holds another preset (or none that loads) is replaced only after "Replace" answers the question
// shown instead, which names the file and what it holds.
void DrawRenamePopup(PresetPanel& panel);
