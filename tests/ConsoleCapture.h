#pragma once
// A host console that only keeps what is logged: enough for the code below the plugin (the
// preset store, the log helper), which reaches the host through nothing but LogLine.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/HostBinding.h"

class CapturedConsole : private HostBinding {
public:
    CapturedConsole() : console(std::make_shared<CVarManagerWrapper>(static_cast<HostBinding*>(this))) {}

    std::shared_ptr<CVarManagerWrapper> Console() { return console; }

    std::vector<std::string> LogLines() {
        std::lock_guard<std::mutex> lock(linesLock);
        return lines;
    }

    void ClearLog() {
        std::lock_guard<std::mutex> lock(linesLock);
        lines.clear();
    }

private:
    void Log(const std::string& text) override {
        std::lock_guard<std::mutex> lock(linesLock);
        lines.push_back(text);
    }

    // Nothing but the log is reachable from here; the rest answers "no game".
    bool IsInReplay() override { return false; }
    uintptr_t GetCamera() override { return 0; }
    uintptr_t GetGameEventAsReplay() override { return 0; }
    int GetBakkesModVersion() override { return 0; }
    std::filesystem::path GetDataFolder() override { return {}; }
    void HookEvent(const std::string&, EventCallback, bool) override {}
    void SetTimeout(GameCallback, float) override {}
    void Execute(GameCallback) override {}
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
    std::string GetPlayerName(uintptr_t) override { return {}; }
    std::string GetUniqueIdString(uintptr_t) override { return {}; }

    std::shared_ptr<CVarManagerWrapper> console;
    std::mutex linesLock;
    std::vector<std::string> lines;
};
