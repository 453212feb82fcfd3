#pragma once
// Building the override table from the players of the open replay.
#include "camera/SharedCameraState.h"
#include "bakkesmod/wrappers/GameWrapper.h"

// Replaces the table of `state` with one disabled override per player of the replay, each
// starting from the player's own camera values. Without a replay server the table is emptied and "no server"
// logged. The host is asked for everything before the lock is taken, and the finished table is
// swapped in at once: the GUI never waits on game calls and never sees a half-built table.
void RefreshPlayers(GameWrapper& game, SharedCameraState state);
