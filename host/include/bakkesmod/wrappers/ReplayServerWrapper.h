#pragma once
// Stand-in for the host SDK's header of the same path: the game event of an open replay.
#include "bakkesmod/wrappers/GameEvent/ServerWrapper.h"

class BAKKESMOD_PLUGIN_IMPORT ReplayServerWrapper : public ServerWrapper {
public:
    CONSTRUCTORS(ReplayServerWrapper)
};
