#pragma once
// One player's tab in the camera overrides window.
#include <functional>
#include <string>

#include "camera/CameraOverride.h"
#include "presets/CameraPreset.h"
#include "presets/PresetStore.h"

// What the tab needs besides the entry it edits.
struct OverrideTabContext {
    bool selected;                                      // the camera follows this player: select the tab
    CameraPreset& newPreset;                            // record of the save-new-preset popup
    PresetStore& presetStore;                           // where "Save" in that popup writes
    std::function<void(CameraOverride&)> edited;         // after every change the camera must see
};

// Draws the tab of `override` (keyed `key`) and, while it is shown, its checkbox, sliders,
// "Reset", "Save Preset" and the save popup; edits happen in place. Returns true when the header
// of a tab that was not shown was pressed: the caller then moves the camera onto this player.
bool DrawCameraOverrideTab(const std::string& key, CameraOverride& override, const OverrideTabContext& context);
