#pragma once
#include <string>

#include "bakkesmod/wrappers/wrapperstructs.h"

// One player's camera override. A plain value: the GUI hands copies of it to the game thread.
struct CameraOverride {
    bool enabled = false;
    ProfileCameraSettings settings{};
    ProfileCameraSettings defaultSettings{};
    std::string focusId;
    std::string playerName;
};
