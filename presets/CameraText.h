#pragma once
// Camera settings as text, the way players pass them around: the one line "Copy" puts on the
// clipboard, and the reader behind "Paste", which takes that line back exactly, a preset file's
// document, or the label and value pairs people write in messages, forum posts and web tables
// ("FOV 110, Distance 270, Height 100, Angle -5, ...", one a line or several on a line).
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "presets/CameraPreset.h"

// A longer text is refused whole: nobody's camera settings fill 64 KiB, and a clipboard can hold
// a whole web page.
inline constexpr size_t kMostCameraTextBytes = 64 * 1024;

// The preset as one line a person can read and the reader takes back bit for bit:
//   Vistorb camera "Wide": FOV 100, Height 110, Angle -4, Distance 270, Stiffness 0.45, Swivel speed 5, Transition speed 1.2
// Each value is the shortest decimal text that reads back as the same float.
std::string FormatCameraLine(const CameraPreset& preset);

// A name as the copy line quotes it: in double quotes, with '"' and '\' escaped by a backslash
// and control bytes spelled out as \xNN (as refusal lines show them), every other byte as it is.
std::string QuoteCameraName(const std::string& name);

// The name people know a value by, in the order of kCameraValues ("Angle" for Pitch, "Swivel
// speed" for SwivelSpeed), as the copy line and the lines about a paste say it.
const char* CameraTextName(size_t position);

// The shortest decimal text that reads back as the same float ("0.45", "-4", "1e-05").
std::string ShortestFloatText(float value);

// What a text says about the seven values. Arrays go by position in kCameraValues.
struct CameraText {
    enum class Outcome {
        Read,          // at least one value
        NothingKnown,  // no value Vistorb knows
        TooLong,       // more than kMostCameraTextBytes: not read at all
    };
    Outcome outcome = Outcome::NothingKnown;
    ProfileCameraSettings settings{};  // the values given, clamped into the sliders' ranges; the others 0
    std::array<bool, 7> given{};
    std::array<bool, 7> clamped{};
    std::array<double, 7> beforeClamping{};  // a clamped value as the text gave it
    std::optional<std::string> name;         // from a copy line or a preset document
};

// Reads camera values out of any text: the copy line (found anywhere in the text; only its own
// line is read), a preset document, or free text. In free text a label is one of "FOV", "Field
// of View", "Height", "Angle" or "Pitch", "Distance", "Stiffness", "Swivel Speed" or "Swivel",
// "Transition Speed" or "Transition", in any letter case, with or without blanks or
// underscores; ':', '=' or blanks stand between label and value, and ',', ';', '|', tabs or line
// ends between pairs (a label and its value may also stand in two cells of a table, or on two
// lines). Any other label is passed over; a value given twice takes the later one. A decimal
// comma ("0,45") is read as a point. Never reads past `text` and never throws.
CameraText ParseCameraText(std::string_view text) noexcept;
