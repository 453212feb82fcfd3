#pragma once
// Stand-in for the host SDK's header of the same path (the part the plugin uses): the host
// console, its log, the commands a plugin registers and the commands it issues.
#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "bakkesmod/plugin/bakkesmodsdk.h"
#include "bakkesmod/wrappers/wrapperstructs.h"

typedef void (*commandNotifier)(std::vector<std::string>);

class BAKKESMOD_PLUGIN_IMPORT CVarManagerWrapper {
public:
    CVarManagerWrapper(std::uintptr_t mem, std::type_index pluginIdx);
    CVarManagerWrapper(const CVarManagerWrapper& other);
    CVarManagerWrapper& operator=(CVarManagerWrapper rhs);
    ~CVarManagerWrapper();

    void executeCommand(std::string command, bool log = true);
    // Both forms are the SDK's: a lambda without captures would match either.
    void registerNotifier(std::string cvar, commandNotifier notifier, std::string description,
                          unsigned char permissions);
    void registerNotifier(std::string cvar, std::function<void(std::vector<std::string>)> notifier,
                          std::string description, unsigned char permissions);
    void log(std::string text);

private:
    PIMPL
};
