#pragma once
// Everything the plugin does to the replay camera, under the names of the plugin's operations
// that call them (plugin/CameraWrites.cpp). These run on the game thread only; the GUI
// reaches them through closures queued with GameWrapper::Execute. A null camera or an empty focus
// makes each of them a silent no-op.
#include "camera/CameraOverride.h"
#include "camera/SharedCameraState.h"
#include "bakkesmod/wrappers/GameWrapper.h"

// Writes the override into the camera if the camera follows that player: its own values while
// it is enabled, the player's defaults otherwise. Logs "not in replay" outside a replay.
void ApplyCameraOverride(GameWrapper& game, const CameraOverride& override);

// The replay tick: writes the followed player's entry, copied out of `state` so the camera is
// written without the lock held.
void ApplyFocusedOverride(GameWrapper& game, SharedCameraState state);

// Records in `state` which player the camera follows now; leaves the focus as it is when the
// camera follows no one.
void UpdateFocusedPlayer(GameWrapper& game, SharedCameraState state);

// Puts the camera in player view and points it at the override's player.
void FocusPlayer(GameWrapper& game, const CameraOverride& override);
