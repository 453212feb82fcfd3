#pragma once
// What the window's panels ask for in one frame besides their edits in place: camera work for
// the game thread and preset saves. The panels draw while the shared override table is locked;
// the plugin carries the requests out in the order they were made once the lock is let go, so
// the game thread never waits on a file, a log line or a host call.
#include <optional>
#include <vector>

#include "camera/CameraOverride.h"
#include "presets/CameraPreset.h"
#include "presets/PresetStore.h"

struct GuiRequest {
    enum class Kind {
        ApplyOverride,  // write `override` into the camera if its player is followed
        FocusPlayer,    // move the camera onto `override`'s player
        SavePreset,     // add `preset` to the store
    };
    Kind kind;
    CameraOverride override;  // a copy taken when the request was made
    CameraPreset preset;
    // SavePreset: the user's "Replace" for the file the popup asked about, and the popup that
    // waits for the store's answer (SavePopupAnswered).
    std::optional<PresetStore::Consent> consent = std::nullopt;
    unsigned popup = 0;
};

using GuiRequests = std::vector<GuiRequest>;
