#pragma once
// Loads a plugin library the way the host does: the description record first, then the one
// plugin object through getPlugin, the two handles, onLoad. Unloading runs the same road back
// and makes sure nothing of the plugin is called once its object or its code may be gone.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bakkesmod/plugin/PluginSettingsWindow.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/pluginwindow.h"

namespace sim {

class Host;

// The plugin's diagnostic surface: a function the testing build of a plugin exports (the build a
// host would load does not) that hands `sink` one JSON document of the plugin's own state. The
// simulator's state view learns the override table, focus and presets through it, never by
// looking inside the plugin object.
using DiagnosticSink = void (*)(void* context, const char* json, size_t size);
using DiagnosticStateFunction = void (*)(DiagnosticSink sink, void* context);
inline constexpr const char* kDiagnosticStateSymbol = "VistorbDiagnosticState";

// The library the simulator loads unless told otherwise: the testing build of the plugin, which
// carries the GUI item hooks and the diagnostic surface, so that scripts can find widgets and
// check the plugin's state. (The build a host would load has neither.)
#ifdef VISTORB_TESTING_PLUGIN_PATH
inline constexpr const char* kDefaultPluginPath = VISTORB_TESTING_PLUGIN_PATH;
#else
inline constexpr const char* kDefaultPluginPath = VISTORB_PLUGIN_PATH;
#endif

// What the loader read from a library's `exports` record, copied out so it outlives the library.
struct PluginDescription {
    int apiBuild = 0;
    std::string fileName;
    std::string className;
    std::string pluginName;
    std::string pluginVersion;
    unsigned int pluginType = 0;
};

class PluginLoader {
public:
    using Plugin = BakkesMod::Plugin::BakkesModPlugin;
    using SettingsWindow = BakkesMod::Plugin::PluginSettingsWindow;
    using Window = BakkesMod::Plugin::PluginWindow;

    // Whoever draws the plugin (the GUI host) hears of it here: `loaded` once onLoad has run,
    // `unloading` before anything of the plugin is torn down. When `unloading` returns, the
    // listener must not call the plugin again.
    struct Listener {
        std::function<void(PluginLoader&)> loaded;
        std::function<void(PluginLoader&)> unloading;
    };

    explicit PluginLoader(Host& host);
    ~PluginLoader();  // unloads a plugin that is still loaded
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Open the library (dlopen; LoadLibraryW on Windows), check the record, getPlugin, set the
    // handles, onLoad. False with one clear message in `error` when the library is not a
    // loadable plugin; nothing stays loaded then.
    bool Load(const std::string& path, std::string& error);
    // The in-process front end: a plugin object that is already constructed (tests). No library
    // is involved, so unloading skips deleteMe and dlclose. `className` names it in messages;
    // `diagnostics`, when given, is what the state view reads the plugin's own state through.
    bool Attach(std::shared_ptr<Plugin> plugin, std::string& error, const std::string& className = "Vistorb",
                DiagnosticStateFunction diagnostics = nullptr);
    // onUnload, then the host drops every callback of the plugin, deleteMe, the host's handle
    // goes, dlclose. Does nothing when no plugin is loaded.
    void Unload();

    bool Loaded() const { return plugin != nullptr; }
    const std::shared_ptr<Plugin>& LoadedPlugin() const { return plugin; }
    const std::shared_ptr<SettingsWindow>& Settings() const { return settings; }
    const std::shared_ptr<Window>& PluginWindowSlot() const { return window; }
    const PluginDescription& Description() const { return description; }
    const std::string& Path() const { return libraryPath; }
    // The loaded plugin's diagnostic surface; null when it has none (a release build, another
    // plugin) or when nothing is loaded.
    DiagnosticStateFunction Diagnostics() const { return diagnostics; }

    // Returns an id for RemoveListener. A listener added while a plugin is loaded hears
    // `loaded` at once.
    int AddListener(Listener listener);
    void RemoveListener(int id);

    // Reads and checks the record of a library that is already open. Exposed for tests.
    static bool ReadDescription(void* library, PluginDescription& out, std::string& error);
    // The record of the library at `path`, opened for that and closed again; nothing of the
    // plugin is started.
    static bool Describe(const std::string& path, PluginDescription& out, std::string& error);

private:
    bool Start(std::string& error);
    void Release();

    Host& host;
    void* library = nullptr;
    void (*deleteMe)() = nullptr;
    DiagnosticStateFunction diagnostics = nullptr;
    std::string libraryPath;
    PluginDescription description;
    std::shared_ptr<Plugin> plugin;
    std::shared_ptr<SettingsWindow> settings;
    std::shared_ptr<Window> window;
    std::vector<std::pair<int, Listener>> listeners;
    int nextListenerId = 1;
};

}  // namespace sim
