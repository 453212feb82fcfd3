#pragma once
// Stand-in for the host SDK's header of the same path (the part the plugin uses).
#include "bakkesmod/wrappers/GameObject/PriXWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT PriWrapper : public PriXWrapper {
public:
    CONSTRUCTORS(PriWrapper)

    ProfileCameraSettings GetCameraSettings();
};
