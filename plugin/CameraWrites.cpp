// The roster and the camera writes, on the game thread: the plugin hands the host's game and its
// own table to the camera layer, which does the work without holding the plugin's lock across a
// host call.
#include "camera/CameraOps.h"
#include "camera/Roster.h"
#include "plugin/Vistorb.h"

void Vistorb::RefreshPlayers() { ::RefreshPlayers(*gameWrapper, CameraState()); }

void Vistorb::ApplyCameraOverride(const CameraOverride& override) { ::ApplyCameraOverride(*gameWrapper, override); }

void Vistorb::ApplyFocusedOverride() { ::ApplyFocusedOverride(*gameWrapper, CameraState()); }

void Vistorb::UpdateFocusedPlayer() { ::UpdateFocusedPlayer(*gameWrapper, CameraState()); }

void Vistorb::FocusPlayer(const CameraOverride& override) { ::FocusPlayer(*gameWrapper, override); }
