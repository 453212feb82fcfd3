#include "sim/screen/HostScreen.h"

#include <utility>

#include "imgui.h"
#include "sim/screen/CameraView.h"
#include "sim/loader/State.h"

namespace sim {

HostScreen::HostScreen(Host& host, bool panelsShown) : host(host) {
    shown = PanelsShown{panelsShown, panelsShown, panelsShown};
}

void HostScreen::Draw(float seconds, DiagnosticStateFunction diagnostics) {
    // The camera is read without its log of writes: this runs on every frame.
    const Scene scene = SceneAt(host.Players(), host.TickCount());
    rig.Update(CameraInputFrom(host.InReplay(), host.CameraLatest()), scene, seconds);
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    DrawCameraView(ImGui::GetBackgroundDrawList(), ImVec2(0.0f, 0.0f), size, scene, rig);
    DrawPanels(diagnostics);
}

void HostScreen::DrawPanels(DiagnosticStateFunction diagnostics) {
    if (shown.replay) {
        const CameraSnapshot camera = host.CameraLatest();
        // Only the game thread ticks on its own; a stepped host moves when told to, so it is paused.
        const bool playing = host.Threaded() && host.Ticking();
        const ReplayPanelData data{host.InReplay(), playing, host.TickCount(), camera.focusActor, host.Players()};
        ReplayPanelActions actions;
        actions.focus = [this](const std::string& id) { requests.push_back([this, id] { host.MoveFocus(id); }); };
        actions.play = [this](bool play) { requests.push_back([this, play] { host.SetTicking(play); }); };
        actions.import = [this] { requests.push_back([this] { host.ImportReplay(); }); };
        actions.destroyHud = [this] { requests.push_back([this] { host.DestroyHud(); }); };
        DrawReplayPanel(&shown.replay, data, actions);
    }
    if (shown.console) {
        host.LogLinesSince(logCursor, log);
        DrawConsolePanel(&shown.console, console, log, [this](const std::string& line) { return RunTyped(line); });
    }
    // The surface is asked here, on the GUI side, where the plugin's own frame runs too.
    if (shown.overrides) DrawOverridesPanel(&shown.overrides, OverrideTableJson(diagnostics));
}

// The console's refusal is known at once (the panel shows it under the line); a line it takes
// runs after the frame.
ConsoleOutcome HostScreen::RunTyped(const std::string& line) {
    std::vector<std::string> known;
    for (const auto& [name, notifier] : host.Notifiers()) known.push_back(name);
    ConsoleOutcome outcome = CheckConsoleLine(line, known);
    if (outcome.accepted) requests.push_back([this, line] { host.RunConsoleLine(line); });
    return outcome;
}

void HostScreen::RunRequests() {
    std::vector<std::function<void()>> now;
    now.swap(requests);
    for (const auto& request : now) request();
}

}  // namespace sim
