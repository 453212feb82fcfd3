#pragma once
// The host's own panels in the simulator's window, drawn with the host's GUI (never the
// plugin's): the replay with its players, the console, and the plugin's override table as it
// is right now. Plain data in, callbacks out: a panel touches neither the host nor the plugin
// itself, so the GUI host decides on which thread each request runs.
//
// Every panel is a window with a close button; its `shown` flag is the one the GUI host keeps
// in PanelsShown and reports in its `gui` lines.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/game/Host.h"
#include "sim/screen/ScreenLayout.h"

namespace sim {

inline constexpr const char* kReplayPanelTitle = "Replay (host)";
inline constexpr const char* kConsolePanelTitle = "Console (host)";
inline constexpr const char* kOverridesPanelTitle = "Overrides (host)";

struct PanelsShown {
    bool replay = true;
    bool console = true;
    bool overrides = true;
};

// For the `gui` lines: {"replay": true, "console": true, "overrides": false}.
nlohmann::json PanelsJson(const PanelsShown& shown);
// Shows or hides the panel called "replay", "console" or "overrides"; false for another name.
bool SetPanelShown(PanelsShown& shown, const std::string& panel, bool show);

// --- Replay ------------------------------------------------------------------------------------

struct ReplayPanelData {
    bool inReplay = false;
    bool playing = false;        // the 120 Hz tick runs
    uint64_t tick = 0;
    std::string focusActor;      // whom the camera follows
    std::vector<PlayerSpec> players;
};

// Each may be empty; its button then does nothing.
struct ReplayPanelActions {
    std::function<void(const std::string& focusId)> focus;  // the game's focus function, so hooks run
    std::function<void(bool playing)> play;
    std::function<void()> import;
    std::function<void()> destroyHud;
};

// Buttons: "Play" or "Pause" (whichever the tick is not doing), "Import", "Destroy HUD", and per
// player "Focus##" followed by the player's focus id (shown as "Focus").
void DrawReplayPanel(bool* shown, const Placement& place, const ReplayPanelData& data,
                     const ReplayPanelActions& actions);

// --- Console -----------------------------------------------------------------------------------

struct ConsoleOutcome {
    bool accepted = true;
    std::string reason;  // why it was refused
};

struct ConsolePanelState {
    struct Typed {
        size_t logIndex;  // shown before this line of the log: where the log stood when it was typed
        std::string line;
        ConsoleOutcome outcome;
    };
    std::string input;
    std::vector<std::string> history;  // lines entered, oldest first
    int historyPos = -1;               // the history line in the field; -1: a new line
    std::vector<Typed> typed;
    size_t rowsShown = 0;              // to follow new lines while the view is at the bottom
};

// The console refuses an empty line and a line naming a command it does not know; `known` are
// the names of the registered commands (the host's own verbs are known anyway).
ConsoleOutcome CheckConsoleLine(const std::string& line, const std::vector<std::string>& known);

// The log as it arrives, each typed line in its place (refused ones marked "refused: reason"),
// and the field "Command" with a "Run" button. Enter runs the line too; Up and Down walk the
// history. `run` gets every non-empty line and says whether the console took it.
void DrawConsolePanel(bool* shown, const Placement& place, ConsolePanelState& state, const std::vector<std::string>& log,
                      const std::function<ConsoleOutcome(const std::string&)>& run);

// --- Overrides ---------------------------------------------------------------------------------

// `state` has the shape of the simulator's state document: {"overrides": {focus id: entry},
// "focusedId": ...}, null when no plugin is loaded. Anything of another shape shows as missing.
void DrawOverridesPanel(bool* shown, const Placement& place, const nlohmann::json& state);

}  // namespace sim
