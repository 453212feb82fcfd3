#include "sim/State.h"

#include <map>
#include <mutex>
#include <string>

#include "plugin/Vistorb.h"
#include "sim/Host.h"
#include "sim/Loader.h"

namespace sim {

namespace {

using nlohmann::json;

json OverrideJson(const CameraOverride& entry) {
    return json{{"enabled", entry.enabled},
                {"settings", SettingsJson(entry.settings)},
                {"defaultSettings", SettingsJson(entry.defaultSettings)},
                {"focusId", entry.focusId},
                {"playerName", entry.playerName}};
}

json CameraJson(const CameraSnapshot& camera) {
    json writes = json::array();
    size_t first = camera.writes.size() > kStateCameraWrites ? camera.writes.size() - kStateCameraWrites : 0;
    for (size_t i = first; i < camera.writes.size(); ++i) {
        const CameraWrite& write = camera.writes[i];
        writes.push_back(json{{"focusActor", write.focusActor},
                              {"settings", SettingsJson(write.settings)},
                              {"tick", write.tick}});
    }
    return json{{"exists", camera.exists},
                {"focusActor", camera.focusActor},
                {"state", camera.state},
                {"settings", SettingsJson(camera.settings)},
                {"writeCount", camera.writes.size()},
                {"writes", std::move(writes)}};
}

json PlayersJson(const std::vector<PlayerSpec>& players) {
    json list = json::array();
    for (const PlayerSpec& player : players) {
        if (player.nullRecord) {
            list.push_back(nullptr);
            continue;
        }
        json entry{{"bot", player.bot}, {"name", player.name}, {"camera", SettingsJson(player.camera)},
                   {"hasCameraObject", player.hasCameraObject}};
        if (!player.bot) entry["uniqueId"] = player.uniqueId;
        list.push_back(std::move(entry));
    }
    return list;
}

// The simulator's one window into the plugin's own data. None of it is reachable through the
// SDK, so it is read straight from the object: the library was compiled from the same header
// with the same compiler, and Vistorb's first base is the BakkesModPlugin the host holds, so
// the pointer needs no adjustment. Read only; the table and focus under the plugin's own lock,
// exactly as its GUI frame takes it.
struct PluginData {
    std::mutex* stateLock;
    const std::map<std::string, CameraOverride>* cameraOverrides;
    const std::string* focusedId;
    const PresetStore* presetStore;
};

// The type check of the sanitizer build would need Vistorb's type information, which only the
// library holds (hidden); the class name in the record stands in for it.
__attribute__((no_sanitize("vptr"))) PluginData Inside(BakkesMod::Plugin::BakkesModPlugin* object) {
    auto* plugin = static_cast<Vistorb*>(object);
    return PluginData{&plugin->stateLock, &plugin->cameraOverrides, &plugin->focusedId, &plugin->presetStore};
}

void ReadPlugin(const PluginLoader& loader, const GuiSideRunner& guiSide, json& state) {
    state["overrides"] = nullptr;
    state["focusedId"] = nullptr;
    state["presets"] = nullptr;
    if (!loader.Loaded() || loader.Description().className != "Vistorb") return;
    const PluginData plugin = Inside(loader.LoadedPlugin().get());

    std::map<std::string, CameraOverride> overrides;
    std::string focusedId;
    {
        std::lock_guard<std::mutex> lock(*plugin.stateLock);
        overrides = *plugin.cameraOverrides;
        focusedId = *plugin.focusedId;
    }
    json table = json::object();
    for (const auto& [key, entry] : overrides) table[key] = OverrideJson(entry);
    state["overrides"] = std::move(table);
    state["focusedId"] = focusedId;

    json presets = json::array();
    std::string folder;
    auto readPresets = [&] {
        for (const CameraPreset& preset : plugin.presetStore->presets)
            presets.push_back(json{{"name", preset.name}, {"settings", SettingsJson(preset.settings)}});
        folder = plugin.presetStore->presetFolder.string();
    };
    if (guiSide)
        guiSide(readPresets);
    else
        readPresets();
    state["presets"] = std::move(presets);
    state["presetFolder"] = folder;
}

}  // namespace

json SettingsJson(const ProfileCameraSettings& settings) {
    return json{{"FOV", settings.FOV},
                {"Height", settings.Height},
                {"Pitch", settings.Pitch},
                {"Distance", settings.Distance},
                {"Stiffness", settings.Stiffness},
                {"SwivelSpeed", settings.SwivelSpeed},
                {"TransitionSpeed", settings.TransitionSpeed}};
}

json StateJson(Host& host, const PluginLoader& loader, const GuiSideRunner& guiSide) {
    json state;
    state["camera"] = CameraJson(host.Camera());
    state["replay"] = json{{"open", host.InReplay()}, {"build", host.Build()}, {"players", PlayersJson(host.Players())}};

    json notifiers = json::array();
    for (const auto& [name, notifier] : host.Notifiers()) notifiers.push_back(name);
    std::string dataFolder;
    try {
        dataFolder = host.DataFolder().string();
    } catch (const std::exception&) {
        // No folder could be made; the state still shows everything else.
    }
    state["host"] = json{{"dataFolder", dataFolder},
                         {"gameTime", host.GameTime()},
                         {"tickCount", host.TickCount()},
                         {"hooks", host.HookKeys()},
                         {"notifiers", std::move(notifiers)},
                         {"pendingTimers", host.PendingTimers()},
                         {"pendingExecutes", host.PendingExecutes()},
                         {"threaded", host.Threaded()}};

    const PluginDescription& description = loader.Description();
    json plugin{{"loaded", loader.Loaded()}};
    if (loader.Loaded()) {
        plugin["className"] = description.className;
        plugin["version"] = description.pluginVersion;
        plugin["path"] = loader.Path();
    }
    state["plugin"] = std::move(plugin);
    ReadPlugin(loader, guiSide, state);
    state["log"] = host.LogLines();
    return state;
}

}  // namespace sim
