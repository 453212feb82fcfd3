#pragma once
// Stand-in for the host SDK's header of the same path.
#include "bakkesmod/wrappers/GameObject/PlayerReplicationInfoWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT PriXWrapper : public PlayerReplicationInfoWrapper {
public:
    CONSTRUCTORS(PriXWrapper)
};
