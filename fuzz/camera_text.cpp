// Any bytes as pasted text: reading never fails, reads nothing beyond its input, and gives only
// values inside the sliders' ranges (checked against the tests' pinned copy of the seven values);
// whatever it gives goes out as a copy line and reads back as itself, name and all, bit for bit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "presets/CameraText.h"
#include "tests/CameraValuesPinned.h"

namespace {

void Require(bool holds) {
    if (!holds) std::abort();
}

// True when some value was given.
bool CheckValues(const CameraText& read) {
    bool any = false;
    for (size_t i = 0; i < 7; ++i) {
        const pinned::CameraValueRow& row = pinned::kCameraValues[i];
        const float value = read.settings.*row.value.member;
        Require(read.given[i] || !read.clamped[i]);
        if (read.given[i])
            Require(value >= row.value.low && value <= row.high);
        else
            Require(value == 0.0f);
        any = any || read.given[i];
    }
    return any;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CameraText read = ParseCameraText(text);
    if (size > kMostCameraTextBytes) {
        Require(read.outcome == CameraText::Outcome::TooLong);
        return 0;
    }
    const bool any = CheckValues(read);
    Require(any == (read.outcome == CameraText::Outcome::Read));
    if (!any) return 0;

    // A paste fills what the text leaves out (from the followed player); here the range's low end.
    CameraPreset preset{read.name.value_or(""), read.settings};
    for (size_t i = 0; i < 7; ++i)
        if (!read.given[i]) preset.settings.*pinned::kCameraValues[i].value.member = pinned::kCameraValues[i].value.low;
    const std::string line = FormatCameraLine(preset);
    if (line.size() > kMostCameraTextBytes) return 0;  // a name of escapes may outgrow what a paste takes
    const CameraText again = ParseCameraText(line);
    Require(again.outcome == CameraText::Outcome::Read && again.name == preset.name);
    for (size_t i = 0; i < 7; ++i) Require(again.given[i] && !again.clamped[i]);
    Require(std::memcmp(&again.settings, &preset.settings, sizeof preset.settings) == 0);
    return 0;
}
