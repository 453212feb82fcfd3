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
void DrawPresetList(PresetPanel& panel);

// "Apply" (locked, under a red "No focus actor", while the followed player has no entry; runs
// `apply` when pressed), "Edit" (opens the rename popup, which `renamePopup` draws), and "Delete".
void DrawPresetActions(PresetPanel& panel, bool hasFocusEntry, const std::function<void()>& apply,
                       const std::function<void()>& renamePopup);

// The rename popup: new name and values for the selected preset, written by "Save".
void DrawRenamePopup(PresetPanel& panel);
