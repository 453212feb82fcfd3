#pragma once
// Stand-in for the host SDK's header of the same path: a game string.
#include <string>

#include "bakkesmod/wrappers/arraywrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT UnrealStringWrapper : public ArrayWrapper<wchar_t> {
public:
    CONSTRUCTORS(UnrealStringWrapper)

    std::string ToString();
    bool IsNull();
    explicit operator bool();

private:
    PIMPL
    // Stand-in only: the host hands a player's name and id over as text.
    friend class PlayerReplicationInfoWrapper;
};
