#pragma once
// Stand-in for the host SDK's header of the same path.
#include "bakkesmod/wrappers/GameEvent/TeamGameEventWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT ServerWrapper : public TeamGameEventWrapper {
public:
    CONSTRUCTORS(ServerWrapper)
};
