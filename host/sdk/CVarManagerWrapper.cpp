// The console wrapper's bodies: every call goes to the host binding it was made with.
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"

#include "sdk/Binding.h"

struct CVarManagerWrapper::Impl {
    HostBinding* host;
};

CVarManagerWrapper::CVarManagerWrapper(std::uintptr_t mem, std::type_index /*pluginIdx*/)
    : pimpl(std::make_unique<Impl>(Impl{reinterpret_cast<HostBinding*>(mem)})) {}
CVarManagerWrapper::CVarManagerWrapper(const CVarManagerWrapper& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}
CVarManagerWrapper& CVarManagerWrapper::operator=(CVarManagerWrapper rhs) {
    pimpl.swap(rhs.pimpl);
    return *this;
}
CVarManagerWrapper::~CVarManagerWrapper() = default;

void CVarManagerWrapper::executeCommand(std::string command, bool log) { pimpl->host->ExecuteCommand(command, log); }
void CVarManagerWrapper::registerNotifier(std::string cvar, commandNotifier notifier, std::string description,
                                          unsigned char permissions) {
    pimpl->host->RegisterNotifier(cvar, notifier, description, permissions);
}
void CVarManagerWrapper::registerNotifier(std::string cvar, std::function<void(std::vector<std::string>)> notifier,
                                          std::string description, unsigned char permissions) {
    pimpl->host->RegisterNotifier(cvar, std::move(notifier), description, permissions);
}
void CVarManagerWrapper::log(std::string text) { pimpl->host->Log(text); }
