// The console command "vistorb_preset": applies a named preset to the followed player's override
// as the preset panel's "Apply" does (the same values, "Enabled" left as it is, the same camera
// write), so that a key bound to it in the host does what the button does.
#include <optional>
#include <string>

#include "core/Guarded.h"
#include "core/LogLine.h"
#include "plugin/PresetNames.h"
#include "plugin/Vistorb.h"

void Vistorb::HandlePresetCommand(std::vector<std::string> words) {
    RunGuarded("vistorb_preset", [&] {
        if (words.size() != 2) {
            // The host splits at blanks: a name with spaces reaches here as several words.
            LogLine("Usage: {0} preset-name (quote a name with spaces: {0} \"my camera\")",
                    words.empty() ? std::string("vistorb_preset") : words[0]);
            return;
        }
        if (!gameWrapper->IsInReplay()) {
            LogLine("not in replay");
            return;
        }
        // This runs on the game thread, and the store belongs to the render thread: the preset is
        // read from what the store last published. Of two presets with one name, "Apply" takes the
        // first; so does this.
        const std::optional<CameraPreset> preset = FindPresetForCommand(presetStore, words[1]);
        bool hasFocusEntry = false;
        std::optional<CameraOverride> applied = CameraState().EditFocused([&](CameraOverride& entry) {
            hasFocusEntry = true;
            if (!preset) return false;
            entry.settings = preset->settings;
            return true;
        });
        if (!hasFocusEntry) {
            LogLine("no focus actor");
        } else if (!applied) {
            LogLine("Unknown preset {}", PrintableName(words[1]));
            LogLine("{}", PresetHintLine(*presetStore.Published(), words[1]));
        } else {
            ApplyCameraOverride(*applied);
            // The values are in, but a switched-off override keeps the camera on the player's own
            // values: a bind that only applies a preset would seem to do nothing.
            if (!applied->enabled)
                LogLine("Applied {} to {}, whose override is off: vistorb_set enabled 1 turns it on",
                        PrintableName(preset->name), applied->playerName);
        }
    });
}
