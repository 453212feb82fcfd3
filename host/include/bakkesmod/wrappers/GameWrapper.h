#pragma once
// Stand-in for the host SDK's header of the same path (the part the plugin uses): the plugin's
// handle on the running game. Callbacks given to it run on the game thread.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <typeindex>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

class CameraWrapper;
class ReplayServerWrapper;

class BAKKESMOD_PLUGIN_IMPORT GameWrapper {
public:
    GameWrapper(std::uintptr_t mem, long pluginType, std::type_index idx);
    GameWrapper(const GameWrapper& other);
    GameWrapper& operator=(GameWrapper rhs);
    ~GameWrapper();

    bool IsInReplay();
    ReplayServerWrapper GetGameEventAsReplay();
    CameraWrapper GetCamera();

    // Time in seconds.
    void SetTimeout(std::function<void(GameWrapper*)> theLambda, float time);
    // Runs the closure on the game thread: for calls from another thread.
    void Execute(std::function<void(GameWrapper*)> theLambda);
    void HookEvent(std::string eventName, std::function<void(std::string eventName)> callback);
    void HookEventPost(std::string eventName, std::function<void(std::string eventName)> callback);

    std::filesystem::path GetDataFolder();
    int GetBakkesModVersion();

public:
    struct Impl;
    std::unique_ptr<Impl> pimpl;
};

// As in the SDK, the wrappers the game wrapper hands out come with it.
#include "bakkesmod/wrappers/includes.h"
