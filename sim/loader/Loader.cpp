#include "sim/loader/Loader.h"

#include <exception>
#include <utility>

#include <fmt/format.h>

#include "sim/game/Host.h"
#include "sim/loader/PlatformLibrary.h"
#include "sim/base/Support.h"

namespace sim {

namespace {

using PluginHandle = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

}  // namespace

PluginLoader::PluginLoader(Host& owner) : host(owner) {}

PluginLoader::~PluginLoader() { Unload(); }

bool PluginLoader::ReadDescription(void* lib, PluginDescription& out, std::string& error) {
    auto* record = static_cast<const BakkesMod::Plugin::PluginInfo*>(LibrarySymbol(lib, "exports"));
    if (!record) {
        error = "it is not a plugin library: it has no 'exports' record";
        return false;
    }
    if (record->apiBuildVersion != BAKKESMOD_PLUGIN_API_VERSION) {
        error = fmt::format("it was built for plugin API build {}, this host loads API build {}",
                            record->apiBuildVersion, BAKKESMOD_PLUGIN_API_VERSION);
        return false;
    }
    const std::pair<const char*, const char*> texts[] = {{"file name", record->fileName},
                                                         {"class name", record->className},
                                                         {"plugin name", record->pluginName},
                                                         {"plugin version", record->pluginVersion}};
    for (const auto& [what, text] : texts) {
        if (!text) {
            error = fmt::format("its 'exports' record has no {}", what);
            return false;
        }
    }
    if (!record->initializeFunc || !record->delFunc) {
        error = fmt::format("its 'exports' record has no {} function",
                            record->initializeFunc ? "deleteMe" : "getPlugin");
        return false;
    }
    // The record's function pointers are what the host calls; when the library also exports the
    // functions by name, a mismatch means the record was not built for this library's code.
    const std::pair<const char*, const void*> functions[] = {
        {"getPlugin", reinterpret_cast<const void*>(record->initializeFunc)},
        {"deleteMe", reinterpret_cast<const void*>(record->delFunc)}};
    for (const auto& [name, pointer] : functions) {
        void* symbol = LibrarySymbol(lib, name);
        if (symbol && symbol != pointer) {
            error = fmt::format("its 'exports' record points elsewhere than its exported {}", name);
            return false;
        }
    }
    out.apiBuild = record->apiBuildVersion;
    out.fileName = record->fileName;
    out.className = record->className;
    out.pluginName = record->pluginName;
    out.pluginVersion = record->pluginVersion;
    out.pluginType = record->pluginType;
    return true;
}

bool PluginLoader::Describe(const std::string& path, PluginDescription& out, std::string& error) {
    void* lib = OpenLibrary(path, error);
    if (!lib) return false;
    const bool read = ReadDescription(lib, out, error);
    CloseLibrary(lib);
    return read;
}

bool PluginLoader::Load(const std::string& path, std::string& error) {
    if (Loaded()) {
        error = fmt::format("cannot load {}: a plugin is already loaded ({}); unload it first", path,
                            libraryPath.empty() ? description.className : libraryPath);
        return false;
    }
    std::string openError;
    void* lib = OpenLibrary(path, openError);
    if (!lib) {
        error = fmt::format("cannot load {}: {}", path, openError);
        return false;
    }
    PluginDescription read;
    std::string why;
    if (!ReadDescription(lib, read, why)) {
        CloseLibrary(lib);
        error = fmt::format("cannot load {}: {}", path, why);
        return false;
    }
    const auto* record = static_cast<const BakkesMod::Plugin::PluginInfo*>(LibrarySymbol(lib, "exports"));

    uintptr_t address = 0;
    std::string failure;
    bool called = false;
    // Every call into the plugin is caught: a plugin must never take the host down, not even
    // while it starts or stops.
    host.RunOnGameThread([&] { called = RunCaught([&] { address = record->initializeFunc(); }, failure); });
    PluginHandle handle;
    if (called && address) handle = *reinterpret_cast<const PluginHandle*>(address);  // the host's own copy
    if (!handle) {
        // getPlugin may have made an object before it failed; let the library release it.
        host.RunOnGameThread([&] { RunCaught(record->delFunc, why); });
        CloseLibrary(lib);
        error = fmt::format("cannot load {}: getPlugin {}", path,
                            !called ? "threw: " + failure
                                    : (address ? std::string("returned an empty plugin handle")
                                               : std::string("returned no address")));
        return false;
    }

    library = lib;
    deleteMe = record->delFunc;
    diagnostics = reinterpret_cast<DiagnosticStateFunction>(LibrarySymbol(lib, kDiagnosticStateSymbol));
    libraryPath = path;
    description = read;
    plugin = std::move(handle);
    return Start(error);
}

bool PluginLoader::Attach(std::shared_ptr<Plugin> object, std::string& error, const std::string& className,
                          DiagnosticStateFunction diagnosticState) {
    if (Loaded()) {
        error = fmt::format("cannot attach {}: a plugin is already loaded; unload it first", className);
        return false;
    }
    if (!object) {
        error = fmt::format("cannot attach {}: the plugin handle is empty", className);
        return false;
    }
    description = PluginDescription{};
    description.apiBuild = BAKKESMOD_PLUGIN_API_VERSION;
    description.className = className;
    libraryPath.clear();
    diagnostics = diagnosticState;
    plugin = std::move(object);
    return Start(error);
}

bool PluginLoader::Start(std::string& error) {
    plugin->cvarManager = host.Console();
    plugin->gameWrapper = host.Game();
    // The GUI slots live in the other two bases; the interfaces are exported, so the cast
    // finds them across the library boundary.
    settings = std::dynamic_pointer_cast<SettingsWindow>(plugin);
    window = std::dynamic_pointer_cast<Window>(plugin);

    std::string failure;
    bool started = false;
    host.RunOnGameThread([&] { started = RunCaught([&] { plugin->onLoad(); }, failure); });
    if (!started) {
        error = fmt::format("onLoad of {} threw: {}; the plugin was unloaded", description.className, failure);
        Release();
        return false;
    }
    for (auto& [id, listener] : listeners)
        if (listener.loaded) listener.loaded(*this);
    return true;
}

void PluginLoader::Unload() {
    if (!Loaded()) return;
    for (auto& [id, listener] : listeners)
        if (listener.unloading) listener.unloading(*this);
    std::string failure;
    host.RunOnGameThread([&] {
        if (!RunCaught([&] { plugin->onUnload(); }, failure))
            host.Log(fmt::format("onUnload of {} threw: {}", description.className, failure));
    });
    Release();
}

// Everything after onUnload: the order matters. The host stops calling the plugin before the
// library lets go of the object, and the last handle goes before the code it points into.
void PluginLoader::Release() {
    host.DropPluginCallbacks();
    settings.reset();
    window.reset();
    std::string failure;
    host.RunOnGameThread([&] {
        if (deleteMe && !RunCaught(deleteMe, failure))
            host.Log(fmt::format("deleteMe of {} threw: {}", description.className, failure));
        if (!RunCaught([&] { plugin.reset(); }, failure))
            host.Log(fmt::format("destroying {} threw: {}", description.className, failure));
    });
    plugin.reset();
    deleteMe = nullptr;
    diagnostics = nullptr;
    CloseLibrary(library);
    library = nullptr;
}

int PluginLoader::AddListener(Listener listener) {
    int id = nextListenerId++;
    listeners.emplace_back(id, std::move(listener));
    if (Loaded() && listeners.back().second.loaded) listeners.back().second.loaded(*this);
    return id;
}

void PluginLoader::RemoveListener(int id) {
    for (auto it = listeners.begin(); it != listeners.end(); ++it) {
        if (it->first == id) {
            listeners.erase(it);
            return;
        }
    }
}

}  // namespace sim
