// "Copy", "Paste" and "Apply to all" in the preset panel: the plugin hands them its table, the
// save popup's record and the camera write.
#include <optional>
#include <string>

#include "core/LogLine.h"
#include "gui/PresetSharing.h"
#include "plugin/Vistorb.h"

void Vistorb::DrawSharingButtons(PresetPanel& panel) {
    // Drawn without the table lent: each question about it takes the lock for itself.
    GuiRequests requests;
    const PresetSharing sharing{newPreset, requests, CameraState().Empty(),
                                [this] { return CameraState().FindFocused(); },
                                [this](const CameraPreset& preset) { ApplyPresetToAll(preset); }};
    DrawPresetSharing(panel, sharing);
    CarryOutGuiRequests(requests);
}

void Vistorb::ApplyPresetToAll(const CameraPreset& preset) {
    size_t players = 0;
    std::string off;  // the players whose override is off, who keep their own camera
    std::optional<CameraOverride> followed = CameraState().EditAll([&](CameraOverride& entry) {
        entry.settings = preset.settings;
        ++players;
        if (!entry.enabled) off += (off.empty() ? "" : ", ") + entry.playerName;
    });
    // As "Apply" does for one: the camera shows the preset at once where the override is on.
    if (followed) OverridePlayerCameraFromGui(*followed);
    if (players == 0) {
        LogLine("No players to apply {} to", PrintableName(preset.name));
    } else if (off.empty()) {
        LogLine("Applied {} to all {} players", PrintableName(preset.name), players);
    } else {
        LogLine("Applied {} to all {} players; the override is off for {}, who keep their own camera until "
                "\"Enabled\" is ticked",
                PrintableName(preset.name), players, off);
    }
}
