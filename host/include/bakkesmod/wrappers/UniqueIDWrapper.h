#pragma once
// Stand-in for the host SDK's header of the same path: a player's online identity.
#include <string>

#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT UniqueIDWrapper {
public:
    UniqueIDWrapper();
    UniqueIDWrapper(std::uintptr_t mem);
    UniqueIDWrapper(const UniqueIDWrapper& other);
    UniqueIDWrapper& operator=(UniqueIDWrapper rhs);
    ~UniqueIDWrapper();

    // The id as platform|accountId|splitScreenId.
    std::string GetIdString() const;

protected:
    PIMPL
    // Stand-in only: the host hands a player's name and id over as text.
    friend class PlayerReplicationInfoWrapper;
};
