// "Copy", "Paste" and "Apply to all": the preset panel's buttons that share camera settings.
#include "gui/PresetSharing.h"

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

#include <fmt/format.h>

#include "core/CameraValues.h"
#include "core/LogLine.h"
#include "gui/DisabledScope.h"
#include "gui/OverrideTab.h"
#include "imgui.h"
#include "presets/CameraText.h"

namespace {

// On the row's line when the button still fits it, else at the start of the next line: the
// right column may be narrow.
void NextInRow(const char* label) {
    const float width = ImGui::CalcTextSize(label, nullptr, true).x + 2.0f * ImGui::GetStyle().FramePadding.x;
    ImGui::SameLine();
    if (ImGui::GetContentRegionAvail().x < width) ImGui::NewLine();
}

bool RowButton(const char* label, bool enabled) {
    NextInRow(label);
    DisabledScope disabled(!enabled, 0.5f);
    return ImGui::Button(label);
}

// The selected preset as the store holds it. The panel's preview snaps the selection's own copy
// onto the slider grid every frame (a file's Stiffness 0.45 becomes the grid's 0.45000002), and
// what is copied or applied must be the preset itself, as "Apply" gives it.
CameraPreset SelectedPreset(const PresetPanel& panel) {
    const std::optional<CameraPreset> record = SelectedRecord(panel);
    return record ? *record : panel.selected;
}

// The names of the values whose flag is `flag`, in record order, joined by commas.
std::string ValueNames(const std::array<bool, 7>& flags, bool flag) {
    std::string names;
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i] == flag) names += (names.empty() ? "" : ", ") + std::string(CameraTextName(i));
    return names;
}

void LogClamped(const CameraText& read) {
    std::string clamped;
    for (size_t i = 0; i < std::size(kCameraValues); ++i) {
        if (!read.clamped[i]) continue;
        clamped += fmt::format("{}{} {} to {}", clamped.empty() ? "" : ", ", CameraTextName(i), read.beforeClamping[i],
                               read.settings.*kCameraValues[i].member);
    }
    if (!clamped.empty()) LogLine("Clamped into the sliders' ranges: {}", clamped);
}

// The preset a paste of `clipboard` gives, or nothing, said in one line, when there is none.
std::optional<CameraPreset> PastedPreset(const char* clipboard, const PresetSharing& sharing) {
    const std::string_view text = clipboard ? std::string_view(clipboard) : std::string_view();
    const CameraText read = ParseCameraText(text);
    if (read.outcome == CameraText::Outcome::TooLong) {
        LogLine("Nothing to paste: the clipboard holds {} bytes, more than a paste reads ({})", text.size(),
                kMostCameraTextBytes);
        return std::nullopt;
    }
    if (read.outcome == CameraText::Outcome::NothingKnown) {
        LogLine("Nothing to paste: no camera values in the clipboard");
        return std::nullopt;
    }
    CameraPreset preset{read.name.value_or("Pasted"), read.settings};
    const std::string missing = ValueNames(read.given, false);
    if (!missing.empty()) {
        const std::optional<CameraOverride> followed = sharing.followed ? sharing.followed() : std::nullopt;
        if (!followed) {
            LogLine("Nothing to paste: the clipboard has no {}, and no player is followed to take them from", missing);
            return std::nullopt;
        }
        for (size_t i = 0; i < std::size(kCameraValues); ++i)
            if (!read.given[i]) preset.settings.*kCameraValues[i].member = followed->settings.*kCameraValues[i].member;
        LogLine("Pasted with {} taken from {}'s override: the clipboard has none", missing, followed->playerName);
    }
    LogClamped(read);
    return preset;
}

}  // namespace

void DrawPresetSharing(PresetPanel& panel, const PresetSharing& sharing) {
    const bool selected = !panel.selected.name.empty();
    if (RowButton("Copy", selected)) {
        const std::string line = FormatCameraLine(SelectedPreset(panel));
        ImGui::SetClipboardText(line.c_str());
        LogLine("Copied to the clipboard: {}", line);
    }
    if (RowButton("Paste", panel.store.Usable())) {
        if (std::optional<CameraPreset> pasted = PastedPreset(ImGui::GetClipboardText(), sharing)) {
            sharing.pasted = std::move(*pasted);
            ImGui::OpenPopup("save_new_preset_popup");
        }
    }
    if (RowButton("Apply to all", selected && !sharing.rosterEmpty) && sharing.applyToAll)
        sharing.applyToAll(SelectedPreset(panel));

    DrawSavePresetPopup(OverrideTabContext{false, sharing.pasted, sharing.requests, &panel.store});
}
