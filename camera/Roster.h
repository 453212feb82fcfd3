#pragma once
// Building the override table from the players of the open replay.
#include <map>
#include <mutex>
#include <string>

#include "camera/CameraOverride.h"
#include "bakkesmod/wrappers/GameWrapper.h"

// One override per player, keyed by focus id.
using CameraOverrideTable = std::map<std::string, CameraOverride>;

// Replaces `table` with one disabled override per player of the replay, each starting from the
// player's own camera values. Without a replay server the table is emptied and "no server"
// logged. The host is asked for everything before `tableLock` is taken, and the finished table is
// swapped in at once: the GUI never waits on game calls and never sees a half-built table.
void RefreshRoster(GameWrapper& game, CameraOverrideTable& table, std::mutex& tableLock);
