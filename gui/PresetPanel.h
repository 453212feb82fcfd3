#pragma once
// The preset panel of the camera overrides window: the searchable combo, the list with a faded
// preview, the Apply/Edit/Delete row and the rename popup.
#include <cstddef>
#include <functional>

#include "presets/CameraPreset.h"
#include "presets/PresetStore.h"

// The panel's state, all of it owned by the caller.
struct PresetPanel {
    PresetStore& store;
    CameraPreset& selected;  // the preset chosen in the combo or the list
    CameraPreset& rename;    // working copy of the rename popup
    char* search;            // the combo's search text
    size_t searchSize;
};

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
// "Reload": the folder read again as at start-up, for files added, changed or removed since.
// The selection stays where a preset of its name is still there (with its values as read now),
// and is cleared where none is.
void DrawReloadButton(PresetPanel& panel);

// The rename popup: new name and values for the selected preset, written by "Save". A name that
// belongs to another preset is written only after "Replace" answers the question shown instead.
void DrawRenamePopup(PresetPanel& panel);
