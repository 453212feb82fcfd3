#pragma once
#include <cstddef>

// The game's own camera profile record: seven floats, nothing else. The layout is fixed because
// it is copied straight out of game memory on some host builds.
struct ProfileCameraSettings {
    float FOV = 0.0f;
    float Height = 0.0f;
    float Pitch = 0.0f;
    float Distance = 0.0f;
    float Stiffness = 0.0f;
    float SwivelSpeed = 0.0f;
    float TransitionSpeed = 0.0f;
};

static_assert(sizeof(ProfileCameraSettings) == 28, "ProfileCameraSettings must be seven packed floats");
static_assert(offsetof(ProfileCameraSettings, FOV) == 0 && offsetof(ProfileCameraSettings, TransitionSpeed) == 24,
              "ProfileCameraSettings field order");
