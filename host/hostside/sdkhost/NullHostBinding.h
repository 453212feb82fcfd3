#pragma once
// A host with no game: no replay, no camera, no players, a console that drops what it is
// given. Fakes derive from it and answer only what their test needs.
#include "sdkhost/HostBinding.h"

class NullHostBinding : public HostBinding {
public:
    bool IsInReplay() override { return false; }
    uintptr_t GetCamera() override { return 0; }
    uintptr_t GetGameEventAsReplay() override { return 0; }
    int GetBakkesModVersion() override { return 0; }
    std::filesystem::path GetDataFolder() override { return {}; }
    void HookEvent(const std::string&, EventCallback, bool) override {}
    void SetTimeout(GameCallback, float) override {}
    void Execute(GameCallback) override {}

    void Log(const std::string&) override {}
    void RegisterNotifier(const std::string&, NotifierCallback, const std::string&, unsigned char) override {}
    void ExecuteCommand(const std::string&, bool) override {}

    std::string GetFocusActor(uintptr_t) override { return {}; }
    void SetCameraSettings(uintptr_t, ProfileCameraSettings) override {}
    bool SetCameraState(uintptr_t, const std::string&) override { return false; }
    bool SetFocusActor(uintptr_t, const std::string&) override { return false; }

    uintptr_t GetPRIs(uintptr_t) override { return 0; }
    int ArrayCount(uintptr_t) override { return 0; }
    uintptr_t ArrayGet(uintptr_t, int) override { return 0; }
    ProfileCameraSettings GetCameraSettings(uintptr_t) override { return {}; }
    unsigned long GetbBot(uintptr_t) override { return 0; }
    std::optional<std::string> GetPlayerName(uintptr_t) override { return std::nullopt; }
    std::string GetUniqueIdString(uintptr_t) override { return {}; }
};
