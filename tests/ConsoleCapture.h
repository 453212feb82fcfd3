#pragma once
// A host console that only keeps what is logged: enough for the code below the plugin (the
// preset store, the log helper), which reaches the host through nothing but LogLine.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "sdkhost/NullHostBinding.h"

class CapturedConsole : private NullHostBinding {
public:
    CapturedConsole() : console(MakeConsoleWrapper(*this)) {}

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

    std::shared_ptr<CVarManagerWrapper> console;
    std::mutex linesLock;
    std::vector<std::string> lines;
};
