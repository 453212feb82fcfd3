#pragma once
// "Copy", "Paste" and "Apply to all" in the preset panel's action row: camera settings handed
// between players as text through the clipboard, and one preset for everyone in the replay.
#include <functional>
#include <optional>

#include "camera/CameraOverride.h"
#include "gui/PresetPanel.h"
#include "gui/Requests.h"
#include "presets/CameraPreset.h"

// What the buttons need besides the panel.
struct PresetSharing {
    CameraPreset& pasted;   // the save popup's record, the one "Save Preset" fills
    GuiRequests& requests;  // where the save popup's "Save" goes
    bool rosterEmpty;       // no player to apply to
    // The followed player's override, asked only when a paste leaves values out.
    std::function<std::optional<CameraOverride>()> followed;
    // Every player's override takes the preset's values, each keeping its "Enabled"; the
    // followed player's camera is written at once.
    std::function<void(const CameraPreset&)> applyToAll;
};

// Draws the three buttons after the row's others (on the next line where the row is full), and
// the save popup that "Paste" opens:
// - "Copy" puts the selected preset on the clipboard as one line (FormatCameraLine);
// - "Paste" reads the clipboard and opens the save popup with the values and name it gives
//   ("Pasted" without a name); a value it leaves out comes from the followed player's override.
//   Whatever stops it (nothing known, too much text, values missing with nobody followed) is
//   one line, and nothing opens; values clamped into range are named in one line;
// - "Apply to all" hands the selected preset to `applyToAll`.
// "Copy" and "Apply to all" are faded while nothing is selected, "Apply to all" also while the
// roster is empty, and "Paste" while the store cannot save.
void DrawPresetSharing(PresetPanel& panel, const PresetSharing& sharing);
