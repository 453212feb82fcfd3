#pragma once
// One player's tab in the camera overrides window.
#include <string>

#include "camera/CameraOverride.h"
#include "gui/Requests.h"
#include "presets/CameraPreset.h"
#include "presets/PresetStore.h"

// What the tab needs besides the entry it edits.
struct OverrideTabContext {
    bool selected;            // the camera follows this player: select the tab
    CameraPreset& newPreset;  // record of the save-new-preset popup
    GuiRequests& requests;    // an apply after every change the camera must see; the popup's save
    // Not asked while drawing (the tabs draw with the table locked, and a save's question comes
    // from the disk): kept for the callers that hand it.
    const PresetStore* store = nullptr;
};

// Draws the tab of `override` (keyed `key`) and, while it is shown, its checkbox, sliders,
// "Reset", "Save Preset" and the save popup; edits happen in place, and what must reach the
// camera or the store is added to context.requests. Returns true when the header
// of a tab that was not shown was pressed: the caller then moves the camera onto this player.
bool DrawCameraOverrideTab(const std::string& key, CameraOverride& override, const OverrideTabContext& context);

// The save popup "save_new_preset_popup" of context.newPreset, in the current id scope: "Preset
// Name", then "Save", which adds a SavePreset request; the popup closes once the store's answer
// comes (SavePopupAnswered), or shows its question and "Replace". "Save Preset" opens it, and so
// does "Paste".
void DrawSavePresetPopup(const OverrideTabContext& context);
