#include "gui/Sliders.h"

#include <cmath>
#include <cstdio>

#include "imgui.h"

namespace {
// 0.05 and 0.1 have no exact float, so index * step + low can land a few ulps off the grid
// point and plain truncation would then step a value down one notch every frame. The quotient of
// a value written from an index, or typed as that grid point's decimal, is at most two ulps from
// the index; a quotient this close to a whole number is that number. Anything farther, however
// little, is a value between two steps and is taken toward zero: 1.2999 is SwivelSpeed 1.2.
constexpr float kReadBackUlps = 4.0f;
// Beyond this an index no longer fits an int slider; such values are left as they are.
constexpr float kLargestIndex = 1e7f;

// One ulp of a quotient near the whole number `whole`. Near 0 that of 1 serves: there truncation
// gives index 0 anyway, and the ulps of tiny numbers would say nothing.
float QuotientUlp(float whole) {
    const float magnitude = std::fmax(std::fabs(whole), 1.0f);
    return std::nextafter(magnitude, INFINITY) - magnitude;
}

// The slider of one value's index. Typing into it must not be possible: Ctrl+click would let
// the user type a number that the slider takes as an index, so typing 100 on "FOV" would store
// 160. 1.86 has a flag for that; the host's 1.75 opens its text input only on a click with Ctrl
// held, so there the slider is drawn with Ctrl hidden from it, and whatever an index field may
// still take is held to the slider's range.
bool SteppedSlider(const CameraValue& row, int& index, const char* text) {
#if IMGUI_VERSION_NUM >= 18600
    return ImGui::SliderInt(row.sliderLabel, &index, 0, row.lastIndex, text, ImGuiSliderFlags_NoInput);
#else
    ImGuiIO& io = ImGui::GetIO();
    const bool ctrl = io.KeyCtrl;
    io.KeyCtrl = false;
    const bool moved = ImGui::SliderInt(row.sliderLabel, &index, 0, row.lastIndex, text);
    io.KeyCtrl = ctrl;
    // A drag stays in range; only a typed index could leave it. (An index that was out of range
    // before, from a value far off the grid, is left alone until the slider moves.)
    if (moved) index = index < 0 ? 0 : index > row.lastIndex ? row.lastIndex : index;
    return moved;
#endif
}
}  // namespace

bool CameraSliderIndex(const CameraValue& row, float value, int& index) {
    const float quotient = (value - row.low) / row.step;
    if (!std::isfinite(quotient) || std::fabs(quotient) > kLargestIndex) return false;
    const float nearest = std::nearbyint(quotient);
    const bool onGrid = std::fabs(quotient - nearest) <= kReadBackUlps * QuotientUlp(nearest);
    index = static_cast<int>(onGrid ? nearest : std::trunc(quotient));
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

        const bool moved = SteppedSlider(row, index, text);

        // A value with no index (not a number, or absurdly far out) is kept until the user
        // moves its slider; everything else is written back onto the grid every frame.
        if (hasIndex || moved) value = static_cast<float>(index) * row.step + row.low;
        changed = changed || moved;
    }
    return changed;
}
