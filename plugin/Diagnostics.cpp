// The testing library's window into the plugin's state, for the simulator's state dumps: the
// override table, the focus and the presets as one JSON text. Only VistorbTesting exports it; the
// library a real host loads has no such door.
#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "plugin/Exports.h"
#include "plugin/Vistorb.h"

namespace {

using nlohmann::json;

json OverrideJson(const CameraOverride& entry) {
    return json{{"enabled", entry.enabled},
                {"settings", entry.settings},
                {"defaultSettings", entry.defaultSettings},
                {"focusId", entry.focusId},
                {"playerName", entry.playerName}};
}

std::string StateJson() {
    Vistorb* plugin = CurrentPlugin();
    if (!plugin)
        return json{{"overrides", nullptr}, {"focusedId", nullptr}, {"presets", nullptr}, {"presetFolder", ""}}.dump();

    // A copy under the lock, the JSON built after it is let go: the game thread must not wait
    // on the formatting.
    const SharedCameraState::Snapshot shared = plugin->CameraState().Copy();
    json state = json::object();
    state["overrides"] = json::object();
    for (const auto& [key, entry] : shared.table) state["overrides"][key] = OverrideJson(entry);
    state["focusedId"] = shared.focusedId;
    // The presets belong to the render thread, which is where this is called from.
    state["presets"] = json::array();
    for (const CameraPreset& preset : plugin->presetStore.Presets())
        state["presets"].push_back(json{{"name", preset.name}, {"settings", preset.settings}});
    state["presetFolder"] = plugin->presetStore.PresetFolder().string();
    // Names come from the game and may be any bytes: they are shown, never a reason to fail.
    return state.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace

extern "C" BAKKESMOD_PLUGIN_EXPORT void VistorbDiagnosticState(void (*sink)(void* context, const char* json, size_t size),
                                                        void* context) {
    if (!sink) return;
    std::string text;
    try {
        text = StateJson();
    } catch (...) {
        text = "null";  // nothing may unwind into the caller; it learns only that there was no state
    }
    sink(context, text.data(), text.size());
}
