#pragma once
// Stand-in for the host SDK's header of the same path: the plugin types, the notifier
// permissions and the export macros, as the SDK declares them.
enum PLUGINTYPE {
    PLUGINTYPE_FREEPLAY = 0x01,
    PLUGINTYPE_CUSTOM_TRAINING = 0x02,
    PLUGINTYPE_SPECTATOR = 0x04,
    PLUGINTYPE_BOTAI = 0x08,
    PLUGINTYPE_REPLAY = 0x10,
    PLUGINTYPE_THREADED = 0x20,
    PLUGINTYPE_THREADEDUNLOAD = 0x40
};

// Permissions of a console notifier; 0 means everywhere.
enum NOTIFIER_PERMISSION {
    PERMISSION_ALL = 0,
    PERMISSION_MENU = (1 << 0),
    PERMISSION_SOCCAR = (1 << 1),
    PERMISSION_FREEPLAY = (1 << 2),
    PERMISSION_CUSTOM_TRAINING = (1 << 3),
    PERMISSION_ONLINE = (1 << 4),
    PERMISSION_PAUSEMENU_CLOSED = (1 << 5),
    PERMISSION_REPLAY = (1 << 6),
    PERMISSION_OFFLINE = (1 << 7)
};

// _BAKKESMOD is defined only where the SDK library itself is built (here: the stand-in
// library); a plugin exports its own plugin base and imports the wrappers.
#if defined(_WIN32)
#ifdef _BAKKESMOD
#define BAKKESMOD_PLUGIN_EXPORT
#define BAKKESMOD_PLUGIN_IMPORT __declspec(dllexport)
#else
#define BAKKESMOD_PLUGIN_EXPORT __declspec(dllexport)
#define BAKKESMOD_PLUGIN_IMPORT __declspec(dllimport)
#endif
#else
// ELF has no import or export, only visibility: both sides keep these names visible, since
// the plugin is built with hidden visibility.
#define BAKKESMOD_PLUGIN_EXPORT __attribute__((visibility("default")))
#define BAKKESMOD_PLUGIN_IMPORT __attribute__((visibility("default")))
#endif

#define BAKKESMOD_PLUGIN_API_VERSION 95
