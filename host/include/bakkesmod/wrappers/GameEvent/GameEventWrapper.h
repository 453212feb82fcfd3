#pragma once
// Stand-in for the host SDK's header of the same path (the part the plugin uses).
#include "bakkesmod/wrappers/Engine/ActorWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class PriWrapper;
template <typename T>
class ArrayWrapper;

class BAKKESMOD_PLUGIN_IMPORT GameEventWrapper : public ActorWrapper {
public:
    CONSTRUCTORS(GameEventWrapper)

    ArrayWrapper<PriWrapper> GetPRIs();
};
