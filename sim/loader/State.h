#pragma once
// The simulator's view of a whole session as one JSON document: the camera, the replay, the
// plugin's override table, focus and presets, the host's own bookkeeping and the console log.
#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "bakkesmod/wrappers/wrapperstructs.h"
#include "sim/loader/Loader.h"

namespace sim {

class Host;
class PluginLoader;

// The camera keeps every write; the state shows this many of the latest, and the total.
inline constexpr size_t kStateCameraWrites = 4;

// The seven values under their preset-file keys.
nlohmann::json SettingsJson(const ProfileCameraSettings& settings);

// Text of any JSON the simulator shows. Log lines and names are whatever bytes the plugin or a
// script gave; bytes that are not UTF-8 come out as U+FFFD instead of failing the whole dump.
std::string DumpJson(const nlohmann::json& value, int indent = -1);

// Runs a piece of work where no GUI frame of the plugin runs at the same time (the GUI host's
// render thread, or inline when there is none).
using GuiSideRunner = std::function<void(const std::function<void()>&)>;

// Keys come out sorted (nlohmann's default object is an ordered map), floats as numbers.
// The plugin's own state comes through its diagnostic surface (null without one); the preset
// cache belongs to the GUI side once the plugin runs, so that surface is asked through
// `guiSide` when one is given.
nlohmann::json StateJson(Host& host, const PluginLoader& loader, const GuiSideRunner& guiSide = {});

}  // namespace sim

namespace sim {

// The plugin's override table and focus alone, in the state's shape ({"overrides", "focusedId"}),
// asked through `diagnostics` on the calling thread (which must be where the plugin's GUI frame
// runs). Nulls without a surface; a surface that fails adds "diagnosticError".
nlohmann::json OverrideTableJson(DiagnosticStateFunction diagnostics);

}  // namespace sim
