#pragma once
// Stand-in for the host SDK's header of the same path.
#include "bakkesmod/wrappers/Engine/ActorWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT BaseCameraWrapper : public ActorWrapper {
public:
    CONSTRUCTORS(BaseCameraWrapper)
};
