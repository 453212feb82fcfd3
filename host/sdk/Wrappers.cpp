// The bodies of the game-object wrappers. A wrapper is its object's address; each call asks
// the host named in that object's header, and a null object answers with nothing, except where
// the host's SDK would read through the null address (a game array or string, below).
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "bakkesmod/wrappers/includes.h"
#include "sdk/Binding.h"

using sdk_detail::HostOf;

namespace {

// The host's SDK promises nothing for reading a null game array or string; it offers IsNull to
// test first, and a read through the null address would take the game down. The stand-in stops
// the process just as plainly, and says where, so a plugin that reads before it tests IsNull
// fails its tests instead of passing them.
[[noreturn]] void ReadThroughNull(const char* what) {
    std::fprintf(stderr, "stand-in SDK: %s read through a null address (test IsNull() first)\n", what);
    std::fflush(stderr);
    std::abort();
}

}  // namespace

ObjectWrapper::ObjectWrapper(std::uintptr_t mem) : memory_address(mem) {}

// The four special members of a wrapper that holds nothing but its address.
#define ADDRESS_ONLY_WRAPPER(name, base)                                            \
    name::name(std::uintptr_t mem) : base(mem) {}                                   \
    name::name(const name& other) : base(other.memory_address) {}                   \
    name& name::operator=(name rhs) {                                               \
        memory_address = rhs.memory_address;                                        \
        return *this;                                                               \
    }                                                                               \
    name::~name() = default;

ADDRESS_ONLY_WRAPPER(ActorWrapper, ObjectWrapper)
ADDRESS_ONLY_WRAPPER(PlayerReplicationInfoWrapper, ActorWrapper)
ADDRESS_ONLY_WRAPPER(PriXWrapper, PlayerReplicationInfoWrapper)
ADDRESS_ONLY_WRAPPER(PriWrapper, PriXWrapper)
ADDRESS_ONLY_WRAPPER(BaseCameraWrapper, ActorWrapper)
ADDRESS_ONLY_WRAPPER(CameraXWrapper, BaseCameraWrapper)
ADDRESS_ONLY_WRAPPER(CameraWrapper, CameraXWrapper)
ADDRESS_ONLY_WRAPPER(GameEventWrapper, ActorWrapper)
ADDRESS_ONLY_WRAPPER(TeamGameEventWrapper, GameEventWrapper)
ADDRESS_ONLY_WRAPPER(ServerWrapper, TeamGameEventWrapper)
ADDRESS_ONLY_WRAPPER(ReplayServerWrapper, ServerWrapper)

bool ActorWrapper::IsNull() { return memory_address == 0; }
bool ActorWrapper::IsNull() const { return memory_address == 0; }
ActorWrapper::operator bool() { return !IsNull(); }
ActorWrapper::operator bool() const { return !IsNull(); }

// --- camera -----------------------------------------------------------------------------

void CameraWrapper::SetCameraSettings(ProfileCameraSettings settings) {
    if (HostBinding* host = HostOf(memory_address)) host->SetCameraSettings(memory_address, settings);
}
void CameraWrapper::SetCameraState(std::string stateName) {
    if (HostBinding* host = HostOf(memory_address)) host->SetCameraState(memory_address, stateName);
}
std::string CameraWrapper::GetFocusActor() {
    HostBinding* host = HostOf(memory_address);
    return host ? host->GetFocusActor(memory_address) : std::string();
}
bool CameraWrapper::SetFocusActor(std::string actorName) {
    HostBinding* host = HostOf(memory_address);
    return host && host->SetFocusActor(memory_address, actorName);
}

// --- arrays, strings, ids -----------------------------------------------------------------

template <typename T>
struct ArrayWrapper<T>::Impl {
    std::uintptr_t address;
};

template <typename T>
ArrayWrapper<T>::ArrayWrapper(std::uintptr_t mem) : pimpl(std::make_unique<Impl>(Impl{mem})) {}
template <typename T>
ArrayWrapper<T>::ArrayWrapper(const ArrayWrapper<T>& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}
template <typename T>
ArrayWrapper<T>& ArrayWrapper<T>::operator=(ArrayWrapper<T> rhs) {
    pimpl.swap(rhs.pimpl);
    return *this;
}
template <typename T>
ArrayWrapper<T>::~ArrayWrapper() = default;
template <typename T>
bool ArrayWrapper<T>::IsNull() {
    return pimpl->address == 0;
}
template <typename T>
int ArrayWrapper<T>::Count() {
    if (IsNull()) ReadThroughNull("ArrayWrapper::Count");
    return HostOf(pimpl->address)->ArrayCount(pimpl->address);
}
template <typename T>
T ArrayWrapper<T>::Get(int index) {
    if (IsNull()) ReadThroughNull("ArrayWrapper::Get");
    HostBinding* host = HostOf(pimpl->address);
    if (index < 0 || index >= host->ArrayCount(pimpl->address)) return T(0);
    return T(host->ArrayGet(pimpl->address, index));
}

// A game string made by the host has no array behind it (address 0): its characters come
// over as text when the wrapper is made (see GetPlayerName), or none when the game's is null.
template class BAKKESMOD_PLUGIN_IMPORT ArrayWrapper<PriWrapper>;
template class BAKKESMOD_PLUGIN_IMPORT ArrayWrapper<wchar_t>;

struct UnrealStringWrapper::Impl {
    std::optional<std::string> text;
};

UnrealStringWrapper::UnrealStringWrapper(std::uintptr_t mem) : ArrayWrapper<wchar_t>(mem), pimpl(std::make_unique<Impl>()) {}
UnrealStringWrapper::UnrealStringWrapper(const UnrealStringWrapper& other)
    : ArrayWrapper<wchar_t>(other), pimpl(std::make_unique<Impl>(*other.pimpl)) {}
UnrealStringWrapper& UnrealStringWrapper::operator=(UnrealStringWrapper rhs) {
    ArrayWrapper<wchar_t>::operator=(rhs);
    pimpl.swap(rhs.pimpl);
    return *this;
}
UnrealStringWrapper::~UnrealStringWrapper() = default;
std::string UnrealStringWrapper::ToString() {
    if (IsNull()) ReadThroughNull("UnrealStringWrapper::ToString");
    return pimpl->text.value_or(std::string());
}
bool UnrealStringWrapper::IsNull() { return ArrayWrapper<wchar_t>::IsNull() && !pimpl->text; }
UnrealStringWrapper::operator bool() { return !IsNull(); }

struct UniqueIDWrapper::Impl {
    std::string id;
};

UniqueIDWrapper::UniqueIDWrapper() : pimpl(std::make_unique<Impl>()) {}
UniqueIDWrapper::UniqueIDWrapper(std::uintptr_t) : pimpl(std::make_unique<Impl>()) {}
UniqueIDWrapper::UniqueIDWrapper(const UniqueIDWrapper& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}
UniqueIDWrapper& UniqueIDWrapper::operator=(UniqueIDWrapper rhs) {
    pimpl.swap(rhs.pimpl);
    return *this;
}
UniqueIDWrapper::~UniqueIDWrapper() = default;
std::string UniqueIDWrapper::GetIdString() const { return pimpl->id; }

// --- players ------------------------------------------------------------------------------

ProfileCameraSettings PriWrapper::GetCameraSettings() {
    HostBinding* host = HostOf(memory_address);
    return host ? host->GetCameraSettings(memory_address) : ProfileCameraSettings{};
}
unsigned long PlayerReplicationInfoWrapper::GetbBot() {
    HostBinding* host = HostOf(memory_address);
    return host ? host->GetbBot(memory_address) : 0;
}
UnrealStringWrapper PlayerReplicationInfoWrapper::GetPlayerName() {
    UnrealStringWrapper name(0);
    if (HostBinding* host = HostOf(memory_address)) name.pimpl->text = host->GetPlayerName(memory_address);
    return name;
}
UniqueIDWrapper PlayerReplicationInfoWrapper::GetUniqueIdWrapper() {
    UniqueIDWrapper id;
    if (HostBinding* host = HostOf(memory_address)) id.pimpl->id = host->GetUniqueIdString(memory_address);
    return id;
}

ArrayWrapper<PriWrapper> GameEventWrapper::GetPRIs() {
    HostBinding* host = HostOf(memory_address);
    return ArrayWrapper<PriWrapper>(host ? host->GetPRIs(memory_address) : 0);
}
