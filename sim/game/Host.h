#pragma once
// The simulated game and host: a replay with its server, players and camera, the game thread's
// hooks, timers and Execute queue, the console, the data folder and the host build number. It
// implements the binding the SDK wrappers talk to, so a plugin sees it as the real host.
//
// Where it lives: Host.cpp (set-up, the replay, game time, observation, the game thread),
// HostConsole.cpp (console lines and the commands the host knows), HostBinding.cpp (the calls
// the SDK's wrappers make).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "bakkesmod/wrappers/GameWrapper.h"
#include "sdkhost/HostBinding.h"
#include "sim/base/JobQueue.h"
#include "sim/base/Support.h"

namespace sim {

inline constexpr const char* kSetFocusActorEvent = "Function TAGame.Camera_Replay_TA.SetFocusActor";
inline constexpr const char* kHudDestroyedEvent = "Function TAGame.GFxHUD_Replay_TA.Destroyed";
inline constexpr const char* kReplayTickEvent = "Function TAGame.Replay_TA.Tick";
inline constexpr const char* kReplayImportedEvent = "Function TAGame.GameInfo_Replay_TA.HandleReplayImported";

// Where build 162 keeps a player's camera: a pointer in the player's game object, and the seven
// floats inside the object it points to.
inline constexpr size_t kPriCameraPointerOffset = 0x600;
inline constexpr size_t kCameraSettingsOffset = 0x278;

struct PlayerSpec {
    bool nullRecord = false;        // the replay lists a record that the game gives as null
    bool bot = false;
    std::string uniqueId;           // humans
    std::string name;
    bool nullName = false;          // the game gives the record's name string as null
    ProfileCameraSettings camera{};
    bool hasCameraObject = true;    // false: the game object's camera pointer is null
};

struct CameraWrite {
    std::string focusActor;         // whom the camera followed when it was written
    ProfileCameraSettings settings{};
    uint64_t tick = 0;              // replay tick count at the time of the write
};

struct CameraSnapshot {
    bool exists = false;
    std::string focusActor;
    std::string state;
    ProfileCameraSettings settings{};
    std::vector<CameraWrite> writes;
};

struct Notifier {
    HostBinding::NotifierCallback callback;
    std::string description;
    unsigned char permissions = 0;
};

class Host : public HostBinding {
public:
    Host();
    ~Host() override;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Handles the host gives a plugin before onLoad.
    std::shared_ptr<GameWrapper> Game() { return game; }
    std::shared_ptr<CVarManagerWrapper> Console() { return console; }

    // --- Set-up -------------------------------------------------------------------------
    void SetBuild(int build);
    int Build() const;
    // A given data folder (created when missing), or a fresh temporary one that is removed with
    // the host. Throws std::filesystem::filesystem_error when the folder cannot be made.
    void SetDataFolder(const std::filesystem::path& folder);
    std::filesystem::path DataFolder();
    // Log lines are printed as they arrive when set (called without any host lock held).
    void SetLogEcho(std::function<void(const std::string&)> echo);
    // openmenu / togglemenu / closemenu reach the GUI host through this (game thread).
    void SetMenuHandler(std::function<void(const std::string& verb, const std::string& menu)> handler);

    // --- The replay (each runs on the game thread) ----------------------------------------
    void OpenReplay();
    void CloseReplay();
    void SetCameraPresent(bool present);
    void SetServerPresent(bool present);    // a replay whose game event the host cannot find
    void SetPlayerArrayPresent(bool present);  // a game event whose player array is null
    void AddPlayer(const PlayerSpec& player);
    void ClearPlayers();
    void ImportReplay();                    // the game's import event
    void MoveFocus(const std::string& focusActor);  // the game's SetFocusActor: pre-hooks, focus, post-hooks
    void Tick(int count = 1);               // replay ticks
    // Play or pause the threaded game's 120 Hz tick (on by default); the game thread reads it on
    // every turn of its loop. Explicit Tick calls tick either way.
    void SetTicking(bool on) { ticking = on; }
    bool Ticking() const { return ticking; }
    void DestroyHud();
    void Wait(double seconds);              // game time passes: due timers fire, queued work runs
    void RunConsoleLine(const std::string& line);
    // The person presses a key in the game, outside any GUI window: the command bound to it
    // ("bind KEY COMMAND") runs at the console. False when nothing is bound to the key.
    bool PressKey(const std::string& key);
    std::optional<std::string> BoundCommand(const std::string& key);
    // "plugin load NAME" and "plugin unload NAME" reach whoever loads plugins through this
    // (game thread); verb is "load" or "unload".
    void SetPluginHandler(std::function<void(const std::string& verb, const std::string& name)> handler);

    // --- Observation ----------------------------------------------------------------------
    bool InReplay();
    std::vector<PlayerSpec> Players();      // the replay's player list as added
    CameraSnapshot Camera();
    // The camera with only its latest write (or none), for a reader on every frame.
    CameraSnapshot CameraLatest();
    // Forgets the camera's writes so far, as ClearLog forgets the log, for a run of many that
    // looks only at its own (a fuzz target).
    void ClearCameraWrites();
    std::vector<std::string> LogLines();
    // Where a reader of the log stands: lines seen, and how many times the log had been cleared.
    struct LogCursor {
        size_t seen = 0;
        uint64_t clears = 0;
    };
    // Appends the lines the reader has not seen to `lines`; when the log was cleared since, `lines`
    // starts over from the log's first line.
    void LogLinesSince(LogCursor& cursor, std::vector<std::string>& lines);
    void ClearLog();
    std::vector<std::string> HookKeys();     // installed hooks, in order, "post:" marked
    std::map<std::string, Notifier> Notifiers();
    std::vector<std::string> ExecutedCommands();  // every line handed to ExecuteCommand
    size_t PendingTimers();
    size_t PendingExecutes();
    double GameTime();
    uint64_t TickCount();

    // --- Plugin discipline ----------------------------------------------------------------
    // Stop calling the plugin: hooks, timers, queued closures and notifiers go. Runs on the game
    // thread, so no callback of the plugin is running when it returns.
    void DropPluginCallbacks();

    // --- Threads --------------------------------------------------------------------------
    // Threaded: a real game thread pumps timers and the Execute queue, and ticks the replay
    // while one is open (autoTick). Stepped (default): nothing happens unless asked.
    void StartGameThread(bool autoTick, double tickSeconds = 1.0 / 120.0);
    void StopGameThread();
    bool Threaded() const { return gameThread.joinable(); }
    // Runs work on the game thread and waits for it (inline when stepped or already there).
    void RunOnGameThread(const std::function<void()>& work);
    // Queues work for the game thread without waiting (inline when stepped or already there).
    void PostToGameThread(std::function<void()> work);
    bool OnGameThread() const;

    // --- HostBinding ----------------------------------------------------------------------
    bool IsInReplay() override;
    uintptr_t GetCamera() override;
    uintptr_t GetGameEventAsReplay() override;
    int GetBakkesModVersion() override;
    std::filesystem::path GetDataFolder() override;
    void HookEvent(const std::string& eventName, EventCallback callback, bool post) override;
    void SetTimeout(GameCallback callback, float seconds) override;
    void Execute(GameCallback callback) override;
    void Log(const std::string& text) override;
    void RegisterNotifier(const std::string& name, NotifierCallback callback, const std::string& description,
                          unsigned char permissions) override;
    void ExecuteCommand(const std::string& command, bool log) override;
    std::string GetFocusActor(uintptr_t camera) override;
    void SetCameraSettings(uintptr_t camera, ProfileCameraSettings settings) override;
    bool SetCameraState(uintptr_t camera, const std::string& state) override;
    bool SetFocusActor(uintptr_t camera, const std::string& actorName) override;
    uintptr_t GetPRIs(uintptr_t gameEvent) override;
    int ArrayCount(uintptr_t array) override;
    uintptr_t ArrayGet(uintptr_t array, int index) override;
    ProfileCameraSettings GetCameraSettings(uintptr_t pri) override;
    unsigned long GetbBot(uintptr_t pri) override;
    std::optional<std::string> GetPlayerName(uintptr_t pri) override;
    std::string GetUniqueIdString(uintptr_t pri) override;

    // Splits a console line into commands at ';' and each command into words; double quotes
    // group words and are dropped. Exposed for tests.
    static std::vector<std::vector<std::string>> SplitCommandLine(const std::string& line);
    // The commands the host carries out itself ("sleep", the menu commands, "bind", "unbind",
    // "plugin"), whatever the plugin registers.
    static bool IsOwnCommand(const std::string& name);

private:
    struct Player {
        PlayerSpec setup;
        std::unique_ptr<unsigned char[]> object;        // the player's game object
        std::unique_ptr<unsigned char[]> cameraObject;  // what its camera pointer points to
    };
    struct Hook {
        std::string key;
        EventCallback callback;
        bool post;
    };
    struct Timer {
        double due;
        uint64_t order;
        GameCallback callback;
    };

    void FireEvent(const std::string& key, const std::function<void()>& gameFunction);
    void Pump(double seconds);              // game thread: time passes, timers, queue, commands
    void RunQueued();
    using CommandList = std::vector<std::vector<std::string>>;
    void RunCommands(const std::shared_ptr<const CommandList>& commands, size_t next);
    void RunCommandWords(const std::vector<std::string>& words);  // one command, not "sleep"
    void RunMenuCommand(const std::vector<std::string>& words);
    void RunBindCommand(const std::vector<std::string>& words);   // bind and unbind
    void RunPluginCommand(const std::vector<std::string>& words);
    Player* FindPlayer(uintptr_t pri);      // caller holds mu
    CameraSnapshot CameraWithoutWrites() const;  // caller holds mu
    // Camera objects and the replay's server only need stable, distinct, non-null addresses
    // whose first bytes name this host (StampGameObject).
    static uintptr_t AddressOf(const unsigned char* p) { return reinterpret_cast<uintptr_t>(p); }
    void GameThreadMain(bool autoTick, double tickSeconds);

    // Guards everything below. Held only for plain reads and writes of these members: never
    // across a call into the plugin, a log echo, the menu handler or any other Host method, so
    // no thread ever takes it twice.
    mutable std::mutex mu;
    std::shared_ptr<GameWrapper> game;
    std::shared_ptr<CVarManagerWrapper> console;

    int build = 160;
    std::filesystem::path dataFolder;
    std::optional<TemporaryFolder> temporaryDataFolder;  // the one made when none was given
    std::function<void(const std::string&)> logEcho;
    std::function<void(const std::string&, const std::string&)> menuHandler;
    std::function<void(const std::string&, const std::string&)> pluginHandler;
    struct Bind {
        std::string key;      // as last bound
        std::string command;  // a console line
    };
    std::map<std::string, Bind> binds;  // by key, ignoring letter case

    bool inReplay = false;
    bool cameraPresent = true;
    bool serverPresent = true;
    bool playerArrayPresent = true;
    std::vector<std::unique_ptr<Player>> players;
    unsigned char serverObject[16] = {};
    unsigned char priArrayObject[16] = {};
    unsigned char cameraObject[16] = {};
    std::string focusActor;
    std::string cameraState = "PlayerView";
    ProfileCameraSettings cameraSettings{};
    std::vector<CameraWrite> cameraWrites;
    uint64_t tickCount = 0;

    std::vector<Hook> hooks;
    std::vector<Timer> timers;
    uint64_t timerOrder = 0;
    std::deque<GameCallback> executeQueue;
    std::deque<std::string> commandQueue;  // lines handed to ExecuteCommand, run on the game thread
    std::map<std::string, Notifier> notifiers;
    std::vector<std::string> executedCommands;
    std::vector<std::string> logLines;
    uint64_t logClears = 0;
    double gameTime = 0.0;
    uint64_t callbackGeneration = 0;       // bumped when the plugin's callbacks are dropped

    // Game thread
    std::thread gameThread;
    std::thread::id gameThreadId;  // written only while no game thread runs
    std::atomic<bool> ticking{true};
    JobQueue jobs;
};

}  // namespace sim
