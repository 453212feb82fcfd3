#pragma once
// What the host itself shows in the simulator's GUI, under and beside the plugin's windows: the
// replay as its camera sees it, as the backdrop of every frame, and the host's own panels
// (HostPanels.h) for the replay, the console and the plugin's override table.
//
// It lives on the GUI side: the GUI host calls Draw inside its frame and RunRequests after it.
// A panel's button never calls the host from inside the frame: the request waits in a queue
// until the frame is over, so no plugin slot, and no lock of the GUI library, is held while the
// game thread carries it out.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/screen/CameraRig.h"
#include "sim/screen/CameraScene.h"
#include "sim/game/Host.h"
#include "sim/screen/HostPanels.h"
#include "sim/screen/ScreenLayout.h"
#include "sim/loader/Loader.h"

namespace sim {

class HostScreen {
public:
    // `host` must outlive the screen. Panels start shown or hidden as asked, placed by `layout`.
    HostScreen(Host& host, bool panelsShown, const ScreenLayout& layout = PictureLayout());

    // One frame's backdrop and panels, inside the GUI frame; `seconds` passed since the last.
    // `diagnostics` is the loaded plugin's surface, or null (the overrides panel then says so).
    void Draw(float seconds, DiagnosticStateFunction diagnostics);
    // Carries out what the panels asked for during the frame, in order.
    void RunRequests();

    // By name: "replay", "console", "overrides". False for another name.
    bool ShowPanel(const std::string& panel, bool shown) { return SetPanelShown(this->shown, panel, shown); }
    nlohmann::json PanelsJson() const { return sim::PanelsJson(shown); }
    nlohmann::json CameraJson() const { return CameraViewJson(rig); }
    // The next frame places the camera where it belongs at once (pictures of a settled view).
    void SnapCamera() { rig.Snap(); }

private:
    void DrawPanels(DiagnosticStateFunction diagnostics);
    ConsoleOutcome RunTyped(const std::string& line);
    void ToGame(std::function<void(Host&)> work);  // a request the game thread carries out

    Host& host;
    ScreenLayout layout;
    CameraRig rig;
    PanelsShown shown;
    ConsolePanelState console;
    std::vector<std::string> log;
    Host::LogCursor logCursor;
    std::vector<std::function<void()>> requests;
};

}  // namespace sim
