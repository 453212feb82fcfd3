#include "gui/Sliders.h"

#include <cmath>
#include <cstdio>

#include "imgui.h"

namespace {
// 0.05 and 0.1 have no exact float, so index * step + low can land a few ulps below the grid
// point and plain truncation would then step the value down one notch every frame. A quotient
// this close to a whole number is that number; anything farther is a value between two steps.
constexpr float kReadBackTolerance = 1e-3f;
// Beyond this an index no longer fits an int slider; such values are left as they are.
constexpr float kLargestIndex = 1e7f;
}  // namespace

bool CameraSliderIndex(const CameraValue& row, float value, int& index) {
    const float quotient = (value - row.low) / row.step;
    if (!std::isfinite(quotient) || std::fabs(quotient) > kLargestIndex) return false;
    const float nearest = std::nearbyint(quotient);
    const float whole = std::fabs(quotient - nearest) <= kReadBackTolerance ? nearest : std::trunc(quotient);
    index = static_cast<int>(whole);
    return true;
}

bool DrawCameraSettingsSliders(ProfileCameraSettings& settings) {
    bool changed = false;
    for (const int position : kCameraSliderOrder) {
        const CameraValue& row = kCameraValues[position];
        float& value = settings.*row.member;

        // The text is taken before the value is stepped, so the first frame shows what was stored.
        // It doubles as the slider's format and holds no conversion, so the slider shows the
        // value rather than the index.
        char text[64] = {};
        std::snprintf(text, sizeof text, row.format, static_cast<double>(value));

        int index = 0;
        const bool hasIndex = CameraSliderIndex(row, value, index);
        if (!hasIndex) index = value > row.low ? row.lastIndex : 0;  // grab at the end it is beyond

        // NoInput: Ctrl+click would let the user type a number that the slider takes as an
        // index, so typing 100 on "FOV" would store 160.
        const bool moved = ImGui::SliderInt(row.sliderLabel, &index, 0, row.lastIndex, text, ImGuiSliderFlags_NoInput);

        // A value with no index (not a number, or absurdly far out) is kept until the user
        // moves its slider; everything else is written back onto the grid every frame.
        if (hasIndex || moved) value = static_cast<float>(index) * row.step + row.low;
        changed = changed || moved;
    }
    return changed;
}
