#pragma once
// Stand-in for the host SDK's header of the same path.
#include "bakkesmod/wrappers/GameObject/BaseCameraWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT CameraXWrapper : public BaseCameraWrapper {
public:
    CONSTRUCTORS(CameraXWrapper)
};
