#pragma once
// Stand-in for the host SDK's header of the same path (the part the plugin uses).
#include "bakkesmod/wrappers/Engine/ObjectWrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class BAKKESMOD_PLUGIN_IMPORT ActorWrapper : public ObjectWrapper {
public:
    CONSTRUCTORS(ActorWrapper)

    bool IsNull();
    bool IsNull() const;
    explicit operator bool();
    explicit operator bool() const;
};
