#pragma once
// Inside the stand-in SDK library: how a wrapper finds the host that answers for it.
#include <cstdint>
#include <cstring>

#include "sdkhost/HostBinding.h"

namespace sdk_detail {

// The binding named in a game object's header; null for a null object.
inline HostBinding* HostOf(std::uintptr_t object) {
    if (object == 0) return nullptr;
    GameObjectHeader header;  // copied out: a game object's bytes need not be aligned for it
    std::memcpy(&header, reinterpret_cast<const void*>(object), sizeof header);
    return header.host;
}

}  // namespace sdk_detail
