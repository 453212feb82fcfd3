#include "sim/loader/State.h"

#include <limits>
#include <string>
#include <utility>

#include "core/CameraValues.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/base/Support.h"

namespace sim {

namespace {

using nlohmann::json;

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

// The plugin's diagnostic document, taken apart and put together again in the state's own
// shape: the state is the simulator's contract with scripts and tests, so a plugin that says
// more, or says it differently, does not change it. A value that a float cannot hold came
// through JSON as null; it stays NaN.
ProfileCameraSettings SettingsFrom(const json& object) {
    ProfileCameraSettings settings{};
    for (const CameraValue& value : kCameraValues) {
        const json& number = object.at(value.jsonKey);
        settings.*value.member = number.is_null() ? std::numeric_limits<float>::quiet_NaN() : number.get<float>();
    }
    return settings;
}

json OverrideJson(const json& entry) {
    return json{{"enabled", entry.at("enabled").get<bool>()},
                {"settings", SettingsJson(SettingsFrom(entry.at("settings")))},
                {"defaultSettings", SettingsJson(SettingsFrom(entry.at("defaultSettings")))},
                {"focusId", entry.at("focusId").get<std::string>()},
                {"playerName", entry.at("playerName").get<std::string>()}};
}

// A plugin without an object to show says so with nulls; they stay nulls.
json PluginSectionFrom(const json& document) {
    json section;
    const json& overrides = document.at("overrides");
    section["overrides"] = overrides.is_null() ? json() : json::object();
    for (const auto& [key, entry] : overrides.items()) section["overrides"][key] = OverrideJson(entry);
    const json& focusedId = document.at("focusedId");
    section["focusedId"] = focusedId.is_null() ? json() : json(focusedId.get<std::string>());
    const json& presets = document.at("presets");
    section["presets"] = presets.is_null() ? json() : json::array();
    for (const json& preset : presets)
        section["presets"].push_back(json{{"name", preset.at("name").get<std::string>()},
                                          {"settings", SettingsJson(SettingsFrom(preset.at("settings")))}});
    section["presetFolder"] = document.at("presetFolder").get<std::string>();
    return section;
}

void CollectText(void* context, const char* text, size_t size) {
    if (text) static_cast<std::string*>(context)->append(text, size);
}

// Asks the diagnostic surface on the calling thread and puts its answer into the state's shape;
// false, with the reason, when it throws or says something of another shape.
bool AskPlugin(DiagnosticStateFunction diagnostics, json& section, std::string& failure) {
    std::string text;
    if (!RunCaught([&] { diagnostics(&CollectText, &text); }, failure)) return false;
    return RunCaught([&] { section = PluginSectionFrom(json::parse(text)); }, failure);
}

// Reads the plugin's own state through its diagnostic surface, where its GUI frame runs (the
// preset cache is render-side data). Without that surface the plugin's part stays null.
void ReadPlugin(const PluginLoader& loader, const GuiSideRunner& guiSide, json& state) {
    state["overrides"] = nullptr;
    state["focusedId"] = nullptr;
    state["presets"] = nullptr;
    const DiagnosticStateFunction diagnostics = loader.Diagnostics();
    if (!loader.Loaded() || !diagnostics) return;

    json section;
    std::string failure;
    bool answered = false;
    auto ask = [&] { answered = AskPlugin(diagnostics, section, failure); };
    if (guiSide)
        guiSide(ask);
    else
        ask();
    if (!answered) {
        state["plugin"]["diagnosticError"] = failure;
        return;
    }
    for (auto& [key, value] : section.items()) state[key] = std::move(value);
}

}  // namespace

json SettingsJson(const ProfileCameraSettings& settings) {
    json object = json::object();
    for (const CameraValue& value : kCameraValues) object[value.jsonKey] = settings.*value.member;
    return object;
}

std::string DumpJson(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

json OverrideTableJson(DiagnosticStateFunction diagnostics) {
    json table{{"overrides", nullptr}, {"focusedId", nullptr}};
    if (!diagnostics) return table;
    json section;
    std::string failure;
    if (!AskPlugin(diagnostics, section, failure)) {
        table["diagnosticError"] = failure;
        return table;
    }
    table["overrides"] = std::move(section["overrides"]);
    table["focusedId"] = std::move(section["focusedId"]);
    return table;
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
