// The four game events the plugin follows. Every callback holds a plain pointer to the plugin:
// the host drops them before the plugin object goes.
#include <string>

#include "core/Guarded.h"
#include "plugin/Vistorb.h"

void Vistorb::InitHooks() {
    // After the game's function, so the camera already has its new focus.
    gameWrapper->HookEventPost("Function TAGame.Camera_Replay_TA.SetFocusActor", [this](std::string) {
        RunGuarded("focus update", [this] { UpdateFocusedPlayer(); });
    });

    gameWrapper->HookEvent("Function TAGame.GFxHUD_Replay_TA.Destroyed", [this](std::string) {
        RunGuarded("replay HUD teardown", [this] {
            // focusedId stays: it always names the last player the camera followed.
            CameraOverrideTable dropped = CameraState().Replace({});
        });
    });

    gameWrapper->HookEvent("Function TAGame.Replay_TA.Tick", [this](std::string) {
        RunGuarded("replay tick", [this] { ApplyFocusedOverride(); });
    });

    // The replay's players are not all there when the import event fires; the roster is built
    // two seconds later. Every import arms its own timer.
    gameWrapper->HookEvent("Function TAGame.GameInfo_Replay_TA.HandleReplayImported", [this](std::string) {
        RunGuarded("replay import", [this] {
            gameWrapper->SetTimeout(
                [this](GameWrapper*) { RunGuarded("roster refresh", [this] { RefreshPlayers(); }); }, 2.0f);
        });
    });

    if (gameWrapper->IsInReplay()) {
        // A failed start-up refresh must not keep the rest of start-up from running.
        RunGuarded("roster refresh", [this] {
            RefreshPlayers();
            UpdateFocusedPlayer();
        });
    }
}
