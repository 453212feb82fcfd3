#pragma once
// The seven camera values of ProfileCameraSettings and everything said about each of them in one
// place: the preset files' keys, the console command's names and clamps, and the sliders' grid.
// Every other list of the seven (JSON conversions, command, sliders, the simulator's state) is
// derived from this table, so the copies cannot drift apart.
#include "bakkesmod/wrappers/wrapperstructs.h"

struct CameraValue {
    float ProfileCameraSettings::*member;
    const char* jsonKey;      // key in a preset file (and in the simulator's state)
    const char* consoleName;  // value name of "vistorb_set"
    const char* sliderLabel;  // label of the stepped slider
    float low;                // value at slider index 0; the console command's lower clamp
    float step;               // distance between two slider positions
    int lastIndex;            // the slider's last index; the upper bound is low + lastIndex * step
    const char* format;       // how the slider shows the value
};

// The value at the slider's last index: the console command's upper clamp.
constexpr float CameraValueHigh(const CameraValue& value) {
    return value.low + static_cast<float>(value.lastIndex) * value.step;
}

// In the member order of ProfileCameraSettings, which is also the order in which a preset file's
// keys are looked up (that order decides which fault a broken file reports).
inline constexpr CameraValue kCameraValues[7] = {
    {&ProfileCameraSettings::FOV, "FOV", "fov", "FOV", 60.0f, 1.0f, 50, "%.0f"},
    {&ProfileCameraSettings::Height, "Height", "height", "Height", 40.0f, 10.0f, 16, "%.2f"},
    {&ProfileCameraSettings::Pitch, "Pitch", "angle", "Angle", -15.0f, 1.0f, 15, "%.2f"},
    {&ProfileCameraSettings::Distance, "Distance", "distance", "Distance", 100.0f, 10.0f, 30, "%.2f"},
    {&ProfileCameraSettings::Stiffness, "Stiffness", "stiffness", "Stiffness", 0.0f, 0.05f, 20, "%.2f"},
    {&ProfileCameraSettings::SwivelSpeed, "SwivelSpeed", "swivelspeed", "SwivelSpeed", 1.0f, 0.1f, 90, "%.2f"},
    {&ProfileCameraSettings::TransitionSpeed, "TransitionSpeed", "transitionspeed", "TransitionSpeed", 1.0f, 0.1f,
     10, "%.2f"},
};
