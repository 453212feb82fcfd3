#include "gui/Sliders.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

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
// What one slider shows for one stored value, and where its grab sits. Formatting a float costs
// more than drawing the slider, and frame after frame the same few values come back (the shown
// tab, the preview, the rename popup), so each row keeps the last few faces it made, keyed by the
// value's bits: -0 and 0, or two NaNs, show differently and must not share a face. A value the
// user moves is simply a new key. Per thread, so that no two GUI threads ever share one.
struct SliderFace {
    std::uint32_t bits;
    bool used;
    bool hasIndex;  // false: no number, or too far out; the grab sits at the end it is beyond
    int index;
    char text[64];  // the value in the row's format; it doubles as the slider's format
};
constexpr int kFacesPerRow = 4;
struct RowFaces {
    SliderFace faces[kFacesPerRow];
    int next;  // the face to replace next, oldest first
};
thread_local RowFaces tRowFaces[7];

const SliderFace& FaceOf(int position, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    RowFaces& faces = tRowFaces[position];
    for (const SliderFace& face : faces.faces)
        if (face.used && face.bits == bits) return face;

    const CameraValue& row = kCameraValues[position];
    SliderFace& face = faces.faces[faces.next];
    faces.next = (faces.next + 1) % kFacesPerRow;
    face.bits = bits;
    face.used = true;
    std::memset(face.text, 0, sizeof face.text);
    std::snprintf(face.text, sizeof face.text, row.format, static_cast<double>(value));
    face.hasIndex = CameraSliderIndex(row, value, face.index);
    if (!face.hasIndex) face.index = value > row.low ? row.lastIndex : 0;
    return face;
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

        // The face is that of the value as stored, before it is stepped, so the first frame
        // shows what was stored. Its text holds no conversion, so the slider shows the value
        // rather than the index.
        const SliderFace& face = FaceOf(position, value);
        int index = face.index;
        const bool hasIndex = face.hasIndex;
        const bool moved = SteppedSlider(row, index, face.text);

        // A value with no index (not a number, or absurdly far out) is kept until the user
        // moves its slider; everything else is written back onto the grid every frame.
        if (hasIndex || moved) value = static_cast<float>(index) * row.step + row.low;
        changed = changed || moved;
    }
    return changed;
}
