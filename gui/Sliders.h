#pragma once
#include "core/CameraValues.h"

// The sliders in drawing order, as positions in kCameraValues: on screen Distance comes before
// Height. Each one shows low + index * step of its value, labelled with its slider label
// (Pitch is called "Angle" there).
inline constexpr int kCameraSliderOrder[7] = {0, 3, 1, 2, 4, 5, 6};

// The slider index a stored value sits on. Values written from an index read back as that
// index even where float rounding leaves them a hair below it; values between two steps are
// taken toward zero. Returns false when the value is no number or too far out to have an index.
bool CameraSliderIndex(const CameraValue& row, float value, int& index);

// Draws the seven stepped sliders for `settings` and writes the stepped values back, so drawing
// a record snaps it onto the grid. True when the user moved any slider in this frame.
bool DrawCameraSettingsSliders(ProfileCameraSettings& settings);
