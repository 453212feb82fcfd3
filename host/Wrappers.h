#pragma once
// Value wrappers around game objects. Actor-like wrappers keep the game object's address as
// their first data field (some host builds are read through it directly) and test for null
// with operator bool.
#include <cstdint>
#include <string>

#include "HostBinding.h"
#include "ProfileCameraSettings.h"

class ObjectWrapper {
public:
    uintptr_t memory_address = 0;

    ObjectWrapper() = default;
    ObjectWrapper(uintptr_t address, HostBinding* binding) : memory_address(address), host(binding) {}

protected:
    HostBinding* host = nullptr;
};

class ActorWrapper : public ObjectWrapper {
public:
    using ObjectWrapper::ObjectWrapper;
    bool IsNull() const { return memory_address == 0; }
    explicit operator bool() const { return !IsNull(); }
};

class UnrealStringWrapper {
public:
    UnrealStringWrapper() = default;
    explicit UnrealStringWrapper(std::string text) : value(std::move(text)) {}
    std::string ToString() const { return value; }

private:
    std::string value;
};

class UniqueIDWrapper {
public:
    UniqueIDWrapper() = default;
    explicit UniqueIDWrapper(std::string idString) : id(std::move(idString)) {}
    std::string GetIdString() const { return id; }

private:
    std::string id;
};

class PlayerReplicationInfoWrapper : public ActorWrapper {
public:
    using ActorWrapper::ActorWrapper;
    unsigned long GetbBot() const { return host ? host->GetbBot(memory_address) : 0; }
    UnrealStringWrapper GetPlayerName() const {
        return UnrealStringWrapper(host ? host->GetPlayerName(memory_address) : std::string());
    }
    UniqueIDWrapper GetUniqueIdWrapper() const {
        return UniqueIDWrapper(host ? host->GetUniqueIdString(memory_address) : std::string());
    }
};

class PriWrapper : public PlayerReplicationInfoWrapper {
public:
    using PlayerReplicationInfoWrapper::PlayerReplicationInfoWrapper;
    ProfileCameraSettings GetCameraSettings() const {
        return host ? host->GetCameraSettings(memory_address) : ProfileCameraSettings{};
    }
};

template <typename T>
class ArrayWrapper {
public:
    ArrayWrapper(uintptr_t address, HostBinding* binding) : memory_address(address), host(binding) {}
    int Count() const { return host && memory_address ? host->ArrayCount(memory_address) : 0; }
    T Get(int index) const {
        if (!host || !memory_address || index < 0 || index >= Count()) return T(0, host);
        return T(host->ArrayGet(memory_address, index), host);
    }

    uintptr_t memory_address = 0;

private:
    HostBinding* host = nullptr;
};

class GameEventWrapper : public ActorWrapper {
public:
    using ActorWrapper::ActorWrapper;
    ArrayWrapper<PriWrapper> GetPRIs() const {
        return ArrayWrapper<PriWrapper>(host && memory_address ? host->GetPRIs(memory_address) : 0, host);
    }
};

class TeamGameEventWrapper : public GameEventWrapper {
public:
    using GameEventWrapper::GameEventWrapper;
};

class ServerWrapper : public TeamGameEventWrapper {
public:
    using TeamGameEventWrapper::TeamGameEventWrapper;
};

class ReplayServerWrapper : public ServerWrapper {
public:
    using ServerWrapper::ServerWrapper;
};

class CameraWrapper : public ActorWrapper {
public:
    using ActorWrapper::ActorWrapper;
    std::string GetFocusActor() const { return host && memory_address ? host->GetFocusActor(memory_address) : ""; }
    void SetCameraSettings(ProfileCameraSettings settings) const {
        if (host && memory_address) host->SetCameraSettings(memory_address, settings);
    }
    bool SetCameraState(std::string state) const {
        return host && memory_address && host->SetCameraState(memory_address, state);
    }
    bool SetFocusActor(std::string actorName) const {
        return host && memory_address && host->SetFocusActor(memory_address, actorName);
    }
};
