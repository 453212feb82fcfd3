#pragma once
#include <functional>
#include <string>
#include <vector>

#include "HostBinding.h"

// The host console: log lines, console commands the plugin registers, commands it issues.
class CVarManagerWrapper {
public:
    explicit CVarManagerWrapper(HostBinding* binding) : host(binding) {}

    void log(std::string text) { host->Log(text); }
    void registerNotifier(std::string name, std::function<void(std::vector<std::string>)> notifier,
                          std::string description, unsigned char permissions) {
        host->RegisterNotifier(name, std::move(notifier), description, permissions);
    }
    void executeCommand(std::string command, bool log = true) { host->ExecuteCommand(command, log); }

private:
    HostBinding* host;
};
