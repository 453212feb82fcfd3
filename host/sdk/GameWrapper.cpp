// The game wrapper's bodies: every call goes to the host binding the wrapper was made with.
#include "bakkesmod/wrappers/GameWrapper.h"

#include "sdk/Binding.h"

struct GameWrapper::Impl {
    HostBinding* host;
};

GameWrapper::GameWrapper(std::uintptr_t mem, long /*pluginType*/, std::type_index /*idx*/)
    : pimpl(std::make_unique<Impl>(Impl{reinterpret_cast<HostBinding*>(mem)})) {}
GameWrapper::GameWrapper(const GameWrapper& other) : pimpl(std::make_unique<Impl>(*other.pimpl)) {}
GameWrapper& GameWrapper::operator=(GameWrapper rhs) {
    pimpl.swap(rhs.pimpl);
    return *this;
}
GameWrapper::~GameWrapper() = default;

bool GameWrapper::IsInReplay() { return pimpl->host->IsInReplay(); }
ReplayServerWrapper GameWrapper::GetGameEventAsReplay() { return ReplayServerWrapper(pimpl->host->GetGameEventAsReplay()); }
CameraWrapper GameWrapper::GetCamera() { return CameraWrapper(pimpl->host->GetCamera()); }

void GameWrapper::SetTimeout(std::function<void(GameWrapper*)> theLambda, float time) {
    pimpl->host->SetTimeout(std::move(theLambda), time);
}
void GameWrapper::Execute(std::function<void(GameWrapper*)> theLambda) { pimpl->host->Execute(std::move(theLambda)); }
void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string eventName)> callback) {
    pimpl->host->HookEvent(eventName, std::move(callback), false);
}
void GameWrapper::HookEventPost(std::string eventName, std::function<void(std::string eventName)> callback) {
    pimpl->host->HookEvent(eventName, std::move(callback), true);
}

std::filesystem::path GameWrapper::GetDataFolder() { return pimpl->host->GetDataFolder(); }
int GameWrapper::GetBakkesModVersion() { return pimpl->host->GetBakkesModVersion(); }
