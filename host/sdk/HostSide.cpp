// What a host uses to hand its game to a plugin through the stand-in SDK.
#include <cstring>
#include <typeinfo>

#include "bakkesmod/wrappers/GameWrapper.h"
#include "sdkhost/HostBinding.h"

void StampGameObject(void* object, HostBinding* host) {
    GameObjectHeader header{host};
    std::memcpy(object, &header, sizeof header);
}

// The plugin type and type index are the host's bookkeeping of which plugin holds the wrapper;
// nothing here reads them.
std::shared_ptr<GameWrapper> MakeGameWrapper(HostBinding& host) {
    return std::make_shared<GameWrapper>(reinterpret_cast<std::uintptr_t>(&host), PLUGINTYPE_FREEPLAY,
                                         std::type_index(typeid(HostBinding)));
}

std::shared_ptr<CVarManagerWrapper> MakeConsoleWrapper(HostBinding& host) {
    return std::make_shared<CVarManagerWrapper>(reinterpret_cast<std::uintptr_t>(&host),
                                                std::type_index(typeid(HostBinding)));
}
