#pragma once
// Not part of the host's SDK: what a host implements for the stand-in SDK library, which plays
// the part of the host's pluginsdk library. The wrappers' methods live in that library and
// answer every call through the HostBinding of the object they wrap:
//   - GameWrapper and CVarManagerWrapper are made from the binding's own address;
//   - every game object a host hands out (camera, replay server, player array, player record)
//     begins with a GameObjectHeader naming its binding, as a game object begins with its class.
// A plugin never names any of this.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <vector>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class GameWrapper;

class BAKKESMOD_PLUGIN_IMPORT HostBinding {
public:
    using EventCallback = std::function<void(std::string eventName)>;
    using GameCallback = std::function<void(GameWrapper*)>;
    using NotifierCallback = std::function<void(std::vector<std::string>)>;

    virtual ~HostBinding() = default;

    // Game
    virtual bool IsInReplay() = 0;
    virtual uintptr_t GetCamera() = 0;
    virtual uintptr_t GetGameEventAsReplay() = 0;
    virtual int GetBakkesModVersion() = 0;
    virtual std::filesystem::path GetDataFolder() = 0;
    virtual void HookEvent(const std::string& eventName, EventCallback callback, bool post) = 0;
    virtual void SetTimeout(GameCallback callback, float seconds) = 0;
    virtual void Execute(GameCallback callback) = 0;

    // Console
    virtual void Log(const std::string& text) = 0;
    virtual void RegisterNotifier(const std::string& name, NotifierCallback callback,
                                  const std::string& description, unsigned char permissions) = 0;
    virtual void ExecuteCommand(const std::string& command, bool log) = 0;

    // Camera
    virtual std::string GetFocusActor(uintptr_t camera) = 0;
    virtual void SetCameraSettings(uintptr_t camera, ProfileCameraSettings settings) = 0;
    virtual bool SetCameraState(uintptr_t camera, const std::string& state) = 0;
    virtual bool SetFocusActor(uintptr_t camera, const std::string& actorName) = 0;

    // Game event and player records (GetPRIs 0: the game event has a null player array)
    virtual uintptr_t GetPRIs(uintptr_t gameEvent) = 0;
    virtual int ArrayCount(uintptr_t array) = 0;
    virtual uintptr_t ArrayGet(uintptr_t array, int index) = 0;
    virtual ProfileCameraSettings GetCameraSettings(uintptr_t pri) = 0;
    virtual unsigned long GetbBot(uintptr_t pri) = 0;
    // No value: the game's name string is null (UnrealStringWrapper::IsNull).
    virtual std::optional<std::string> GetPlayerName(uintptr_t pri) = 0;
    virtual std::string GetUniqueIdString(uintptr_t pri) = 0;
};

// The first bytes of every game object a host hands out.
struct GameObjectHeader {
    HostBinding* host;
};

// Writes the header into a game object's first bytes (objects are often plain byte blocks).
BAKKESMOD_PLUGIN_IMPORT void StampGameObject(void* object, HostBinding* host);

// The wrappers a host sets on a plugin before onLoad.
BAKKESMOD_PLUGIN_IMPORT std::shared_ptr<GameWrapper> MakeGameWrapper(HostBinding& host);
BAKKESMOD_PLUGIN_IMPORT std::shared_ptr<CVarManagerWrapper> MakeConsoleWrapper(HostBinding& host);
