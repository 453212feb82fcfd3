// The plugin's roster and camera methods: each hands its own handle, table and lock to camera/.
#include "camera/CameraOps.h"
#include "camera/Roster.h"
#include "core/Guarded.h"
#include "plugin/Vistorb.h"

void Vistorb::RefreshPlayers() { RefreshRoster(*gameWrapper, cameraOverrides, stateLock); }

void Vistorb::ApplyCameraOverride(const CameraOverride& override) { WriteOverrideToCamera(*gameWrapper, override); }

void Vistorb::ApplyFocusedOverride() { WriteFocusedOverride(*gameWrapper, cameraOverrides, stateLock); }

void Vistorb::UpdateFocusedPlayer() { ReadCameraFocus(*gameWrapper, focusedId, stateLock); }

void Vistorb::FocusPlayer(const CameraOverride& override) { MoveCameraToPlayer(*gameWrapper, override); }

void Vistorb::OverridePlayerCameraFromGui(CameraOverride& override) {
    // The closure carries its own copy: by the time the game thread runs it, the GUI may have
    // edited the entry again or the table may have been rebuilt.
    gameWrapper->Execute([this, copy = override](GameWrapper*) {
        RunGuarded("camera override", [&] { ApplyCameraOverride(copy); });
    });
}
