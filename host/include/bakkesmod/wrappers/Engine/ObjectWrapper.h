#pragma once
// Stand-in for the host SDK's header of the same path.
#include <cstdint>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT ObjectWrapper {
public:
    // The game object's address: the first data field of every wrapper of a game object.
    std::uintptr_t memory_address;
    ObjectWrapper(std::uintptr_t mem);
};
