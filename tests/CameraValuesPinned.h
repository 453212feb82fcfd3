#pragma once
// The seven camera values as users meet them: preset-file keys, "vistorb_set" names and clamps,
// slider labels, grid and display format. This is the tests' one literal copy; CameraValuesTable
// checks the plugin's table against it, and every other test that walks the seven values walks
// this copy, never the plugin's own table.
#include "core/CameraValues.h"

namespace pinned {

struct CameraValueRow {
    CameraValue value;
    float high;  // the console command's upper clamp, the value at the slider's last index
};

inline const CameraValueRow kCameraValues[7] = {
    {{&ProfileCameraSettings::FOV, "FOV", "fov", "FOV", 60.0f, 1.0f, 50, "%.0f"}, 110.0f},
    {{&ProfileCameraSettings::Height, "Height", "height", "Height", 40.0f, 10.0f, 16, "%.2f"}, 200.0f},
    {{&ProfileCameraSettings::Pitch, "Pitch", "angle", "Angle", -15.0f, 1.0f, 15, "%.2f"}, 0.0f},
    {{&ProfileCameraSettings::Distance, "Distance", "distance", "Distance", 100.0f, 10.0f, 30, "%.2f"}, 400.0f},
    {{&ProfileCameraSettings::Stiffness, "Stiffness", "stiffness", "Stiffness", 0.0f, 0.05f, 20, "%.2f"}, 1.0f},
    {{&ProfileCameraSettings::SwivelSpeed, "SwivelSpeed", "swivelspeed", "SwivelSpeed", 1.0f, 0.1f, 90, "%.2f"},
     10.0f},
    {{&ProfileCameraSettings::TransitionSpeed, "TransitionSpeed", "transitionspeed", "TransitionSpeed", 1.0f, 0.1f,
      10, "%.2f"},
     2.0f},
};

// The sliders top to bottom on screen.
inline const char* const kSliderLabelsOnScreen[7] = {"FOV",       "Distance",    "Height",         "Angle",
                                                     "Stiffness", "SwivelSpeed", "TransitionSpeed"};

}  // namespace pinned
