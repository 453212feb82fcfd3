#pragma once
#include <filesystem>
#include <functional>
#include <string>

#include "HostBinding.h"
#include "Wrappers.h"

// The plugin's handle on the running game. All callbacks given to it run on the game thread.
class GameWrapper {
public:
    explicit GameWrapper(HostBinding* binding) : host(binding) {}

    bool IsInReplay() const { return host->IsInReplay(); }
    CameraWrapper GetCamera() const { return CameraWrapper(host->GetCamera(), host); }
    ReplayServerWrapper GetGameEventAsReplay() const {
        return ReplayServerWrapper(host->GetGameEventAsReplay(), host);
    }
    int GetBakkesModVersion() const { return host->GetBakkesModVersion(); }
    std::filesystem::path GetDataFolder() const { return host->GetDataFolder(); }

    void HookEvent(std::string eventName, std::function<void(std::string eventName)> callback) {
        host->HookEvent(eventName, std::move(callback), false);
    }
    void HookEventPost(std::string eventName, std::function<void(std::string eventName)> callback) {
        host->HookEvent(eventName, std::move(callback), true);
    }
    void SetTimeout(std::function<void(GameWrapper*)> callback, float seconds) {
        host->SetTimeout(std::move(callback), seconds);
    }
    void Execute(std::function<void(GameWrapper*)> callback) { host->Execute(std::move(callback)); }

private:
    HostBinding* host;
};
