// The console command "vistorb_set": sets one value of the followed player's override.
#include <cctype>
#include <optional>
#include <string>

#include "core/CameraValues.h"
#include "core/Guarded.h"
#include "core/LogLine.h"
#include "core/ValueText.h"
#include "plugin/ConsoleText.h"
#include "plugin/Vistorb.h"

namespace {

const CameraValue* FindCameraValue(const std::string& consoleName) {
    for (const CameraValue& value : kCameraValues)
        if (consoleName == value.consoleName) return &value;
    return nullptr;
}

// "enabled|fov|height|...": every name the command takes, in the table's order.
std::string ValueNames() {
    std::string names = "enabled";
    for (const CameraValue& value : kCameraValues) names = names + "|" + value.consoleName;
    return names;
}

float Clamp(float v, float lower, float upper) {
    if (v > upper) return upper;
    if (v < lower) return lower;
    return v;
}

enum class SetOutcome { Changed, NoFocusActor, UnknownValue };

// Runs with the lock held, on the followed player's entry.
SetOutcome EditValue(CameraOverride& entry, const std::string& name, const std::string& valueText) {
    if (name == "enabled") {
        entry.enabled = ParseValue(valueText) >= 0.5f;
        return SetOutcome::Changed;
    }
    const CameraValue* value = FindCameraValue(name);
    if (!value) return SetOutcome::UnknownValue;
    // The clamps are the slider's two ends, so a value set here is one the window can show.
    entry.settings.*(value->member) = Clamp(ParseValue(valueText), value->low, CameraValueHigh(*value));
    return SetOutcome::Changed;
}

}  // namespace

void Vistorb::HandleSetCommand(std::vector<std::string> words) {
    RunGuarded("vistorb_set", [&] {
        if (words.size() != 3) {
            LogLine("Usage: {} {} new-value", words.empty() ? std::string("vistorb_set") : words[0], ValueNames());
            return;
        }
        if (!gameWrapper->IsInReplay()) {
            LogLine("not in replay");
            return;
        }
        const std::string name = ToLower(words[1]);
        const std::string& valueText = words[2];

        // The edit is made under the lock; the camera is written from a copy after it is let go.
        SetOutcome outcome = SetOutcome::NoFocusActor;
        std::optional<CameraOverride> changed = CameraState().EditFocused([&](CameraOverride& entry) {
            outcome = EditValue(entry, name, valueText);
            return outcome == SetOutcome::Changed;
        });

        switch (outcome) {
        case SetOutcome::NoFocusActor: LogLine("no focus actor"); break;
        case SetOutcome::UnknownValue: LogLine("Unknown value {}", name); break;
        case SetOutcome::Changed: ApplyCameraOverride(*changed); break;
        }
    });
}
