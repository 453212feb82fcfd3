// Loading and unloading the plugin: the "load" and "unload" lines, and the host console's
// "plugin load NAME" and "plugin unload NAME", which do the same.
#include <cctype>
#include <filesystem>
#include <system_error>

#include <fmt/format.h>

#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/script/Script.h"

namespace sim {

namespace {

#if defined(_WIN32)
constexpr const char* kLibrarySuffix = ".dll";
#else
constexpr const char* kLibrarySuffix = ".so";
#endif

// Plugin names ignore letter case, as the host's do.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Stem(const std::string& path) { return std::filesystem::u8path(path).stem().u8string(); }

}  // namespace

bool ScriptRunner::LoadPlugin(const std::string& path, std::string& error) {
    if (!loader.Load(path, error)) return false;
    const PluginDescription& plugin = loader.Description();
    Print(fmt::format("[host] loaded {} {} (plugin API build {}) from {}", plugin.className, plugin.pluginVersion,
                      plugin.apiBuild, path));
    return true;
}

void ScriptRunner::UnloadPlugin() {
    const std::string name = loader.Description().className;
    loader.Unload();
    Print("[host] unloaded " + name);
}

// The host's plugins folder is where --plugin's library is. That library answers to its file
// name and to its class name (the testing build stands in for Vistorb); any other NAME is
// NAME.so (NAME.dll) in that folder, the letter case of the file's name aside.
std::string ScriptRunner::PluginPathFor(const std::string& name, std::string& error) const {
    const std::filesystem::path installed = std::filesystem::u8path(defaultPluginPath);
    PluginDescription description;
    std::string ignored;
    if (SameName(name, Stem(defaultPluginPath)) ||
        (PluginLoader::Describe(defaultPluginPath, description, ignored) && SameName(name, description.className)))
        return defaultPluginPath;
    const std::filesystem::path folder = installed.parent_path().empty() ? "." : installed.parent_path();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& file = it->path();
        if (SameName(file.extension().u8string(), kLibrarySuffix) && SameName(file.stem().u8string(), name))
            return file.u8string();
    }
    error = fmt::format("no plugin {} in {}", name, folder.u8string());
    return "";
}

// On the game thread, from the host's console; failures go to that console, as the host's own do.
void ScriptRunner::RunPluginCommand(const std::string& verb, const std::string& name) {
    std::string error;
    if (verb == "unload") {
        if (!loader.Loaded() ||
            !(SameName(name, Stem(loader.Path())) || SameName(name, loader.Description().className))) {
            host.Log(fmt::format("plugin unload {}: no plugin of that name is loaded", name));
            return;
        }
        UnloadPlugin();
        return;
    }
    const std::string path = PluginPathFor(name, error);
    if (path.empty() || !LoadPlugin(path, error)) host.Log(fmt::format("plugin load {}: {}", name, error));
}

}  // namespace sim
