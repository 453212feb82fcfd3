#pragma once
// Stand-in for the host SDK's header of the same path (the part the plugin uses).
#include "bakkesmod/wrappers/Engine/ActorWrapper.h"
#include "bakkesmod/wrappers/UniqueIDWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class UnrealStringWrapper;

class BAKKESMOD_PLUGIN_IMPORT PlayerReplicationInfoWrapper : public ActorWrapper {
public:
    CONSTRUCTORS(PlayerReplicationInfoWrapper)

    UnrealStringWrapper GetPlayerName();
    unsigned long GetbBot();
    UniqueIDWrapper GetUniqueIdWrapper();
};
