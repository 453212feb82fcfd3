#pragma once
// Stand-in for the host SDK's header of the same path (the part the plugin uses).
#include <string>

#include "bakkesmod/wrappers/GameObject/CameraXWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT CameraWrapper : public CameraXWrapper {
public:
    CONSTRUCTORS(CameraWrapper)

    void SetCameraSettings(ProfileCameraSettings settings);
    void SetCameraState(std::string stateName);
    std::string GetFocusActor();
    bool SetFocusActor(std::string actorName);
};
