#include "sim/screen/HostScreen.h"

#include <utility>

#include "imgui.h"
#include "sim/screen/CameraView.h"
#include "sim/loader/State.h"

namespace sim {

HostScreen::HostScreen(Host& host, bool panelsShown, const ScreenLayout& layout) : host(host), layout(layout) {
    shown = PanelsShown{panelsShown, panelsShown, panelsShown};
}

void HostScreen::Draw(float seconds, DiagnosticStateFunction diagnostics) {
    // The camera is read without its log of writes: this runs on every frame.
    const Scene scene = SceneAt(host.Players(), host.TickCount());
    rig.Update(CameraInputFrom(host.InReplay(), host.CameraLatest()), scene, seconds);
    const Placement& view = layout.cameraView;
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    if (view.x > 0 || view.y > 0 || view.x + view.w < size.x || view.y + view.h < size.y)
        ImGui::GetBackgroundDrawList()->AddRectFilled(ImVec2(0, 0), size, IM_COL32(22, 24, 28, 255));  // the desk
    DrawCameraView(ImGui::GetBackgroundDrawList(), ImVec2(view.x, view.y), ImVec2(view.x + view.w, view.y + view.h),
                   scene, rig);
    DrawPanels(diagnostics);
}

void HostScreen::DrawPanels(DiagnosticStateFunction diagnostics) {
    if (shown.replay) {
        const CameraSnapshot camera = host.CameraLatest();
        // Only the game thread ticks on its own; a stepped host moves when told to, so it is paused.
        const bool playing = host.Threaded() && host.Ticking();
        const ReplayPanelData data{host.InReplay(), playing, host.TickCount(), camera.focusActor, host.Players()};
        ReplayPanelActions actions;
        actions.focus = [this](const std::string& id) { ToGame([id](Host& game) { game.MoveFocus(id); }); };
        actions.play = [this](bool play) { requests.push_back([this, play] { host.SetTicking(play); }); };
        actions.import = [this] { ToGame([](Host& game) { game.ImportReplay(); }); };
        actions.destroyHud = [this] { ToGame([](Host& game) { game.DestroyHud(); }); };
        DrawReplayPanel(&shown.replay, layout.replay, data, actions);
    }
    if (shown.console) {
        host.LogLinesSince(logCursor, log);
        DrawConsolePanel(&shown.console, layout.console, console, log, [this](const std::string& line) { return RunTyped(line); });
    }
    // The surface is asked here, on the GUI side, where the plugin's own frame runs too.
    if (shown.overrides) DrawOverridesPanel(&shown.overrides, layout.overrides, OverrideTableJson(diagnostics));
}

// The console's refusal is known at once (the panel shows it under the line); a line it takes
// runs after the frame.
ConsoleOutcome HostScreen::RunTyped(const std::string& line) {
    std::vector<std::string> known;
    for (const auto& [name, notifier] : host.Notifiers()) known.push_back(name);
    ConsoleOutcome outcome = CheckConsoleLine(line, known);
    if (outcome.accepted) ToGame([line](Host& game) { game.RunConsoleLine(line); });
    return outcome;
}

// After the frame, handed to the game thread without waiting for it: the game thread may be
// waiting for this frame to end (a plugin unloaded from the console detaches from the GUI).
void HostScreen::ToGame(std::function<void(Host&)> work) {
    requests.push_back([this, work = std::move(work)] {
        Host* game = &host;
        host.PostToGameThread([game, work] { work(*game); });
    });
}

void HostScreen::RunRequests() {
    std::vector<std::function<void()>> now;
    now.swap(requests);
    for (const auto& request : now) request();
}

}  // namespace sim
