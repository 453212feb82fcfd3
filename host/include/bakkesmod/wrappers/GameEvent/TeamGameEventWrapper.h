#pragma once
// Stand-in for the host SDK's header of the same path.
#include "bakkesmod/wrappers/GameEvent/GameEventWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT TeamGameEventWrapper : public GameEventWrapper {
public:
    CONSTRUCTORS(TeamGameEventWrapper)
};
