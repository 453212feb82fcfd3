#pragma once
#include "host/ProfileCameraSettings.h"

// One stepped slider of the camera block: the value shown is low + index * step.
struct CameraSliderRow {
    const char* label;
    float ProfileCameraSettings::*field;
    float low;
    float step;
    int lastIndex;
    const char* format;
};

// The rows in drawing order. Distance comes before Height on screen, and Pitch is called
// "Angle" there.
extern const CameraSliderRow kCameraSliderRows[7];

// The slider index a stored value sits on. Values written from an index read back as that
// index even where float rounding leaves them a hair below it; values between two steps are
// taken toward zero. Returns false when the value is no number or too far out to have an index.
bool CameraSliderIndex(const CameraSliderRow& row, float value, int& index);

// Draws the seven stepped sliders for `settings` and writes the stepped values back, so drawing
// a record snaps it onto the grid. True when the user moved any slider in this frame.
bool DrawCameraSettingsSliders(ProfileCameraSettings& settings);
