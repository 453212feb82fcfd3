#pragma once
// The simulator's GUI host: it owns the GUI context, shows the plugin's settings page and the
// plugin's window the way the host does, feeds them mouse and keyboard input, and renders the
// frames (headless, or onto a surface such as the SDL2 + OpenGL window of GuiWindow.h, from
// which screenshots are taken).
//
// Where it lives: GuiHost.cpp (frames, the plugin's slots, menus, the render thread, the record
// of each frame's widgets); the driving (scripted input and the queries that find widgets and
// text) is GuiDriver, which the GUI host carries and which reaches it only through GuiFrames.
// Neither needs SDL or OpenGL; sim/window (the window and its screenshots) is a room of its
// own. What the host draws of its own (the camera view, its panels) is sim/screen.
//
// How the host treats the plugin:
//   - SetImGuiContext comes before every drawing slot, on the render thread.
//   - The settings page is drawn inside the host's own settings window ("BakkesMod", tab
//     "Plugins"), below the page's name, while the settings are shown.
//   - "openmenu M" opens the plugin window when M is the plugin's GetMenuName (OnOpen,
//     then Render every frame); "togglemenu M" opens or closes it (OnClose when
//     closing); "closemenu M" closes it. The menu "settings" is the host's settings window.
//     Menu requests come from the game thread and take effect at the start of the next frame.
//   - The plugin window's first placement is seeded as remembered placement (the GUI library's
//     saved settings), the way a host remembers where a window was.
//
// Threads: every call below may come from any thread. In stepped mode (the default) the work
// runs on the calling thread and frames run only when asked. After StartRenderThread, frames
// run continuously on the GUI host's own thread and every call is carried out there, between
// two frames, while the caller waits.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bakkesmod/plugin/PluginSettingsWindow.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/pluginwindow.h"
#include "sim/base/JobQueue.h"
#include "sim/guihost/GuiDriver.h"
#include "sim/guihost/GuiSurface.h"
#include "sim/screen/HostScreen.h"
#include "sim/screen/ScreenLayout.h"
#include "sim/guihost/ItemRecorder.h"
#include "sim/loader/Loader.h"
#include "sim/guihost/ScreenText.h"

struct ImGuiContext;

namespace sim {

class Host;
class PluginLoader;

struct GuiHostOptions {
    // Render onto a window made by this (sim::OpenGuiWindow; needed for screenshots). Empty:
    // headless, frames go no further than the GUI library's draw data.
    GuiSurfaceMaker window;
    bool visible = false;    // show that window on screen; otherwise it stays hidden
    bool liveInput = false;  // a person drives the window: its own mouse and keyboard feed the GUI
    // The screen's size, where the camera view is drawn and where windows first open.
    ScreenLayout layout = PictureLayout();
    std::string screenshotFolder;  // where relative screenshot paths go (empty: current folder)
};

class GuiHost : private GuiFrames, public GuiDriver {
public:
    // Throws std::runtime_error when the window cannot be made (no display, no OpenGL 3).
    explicit GuiHost(GuiHostOptions options = {});
    ~GuiHost();
    GuiHost(const GuiHost&) = delete;
    GuiHost& operator=(const GuiHost&) = delete;

    // --- The plugin ----------------------------------------------------------------------
    // Either interface may be null. The GUI host keeps the handles until DetachPlugin.
    // `diagnostics`, the plugin's diagnostic surface where it has one, feeds the host's
    // overrides panel.
    void AttachPlugin(std::shared_ptr<BakkesMod::Plugin::PluginSettingsWindow> settings,
                      std::shared_ptr<BakkesMod::Plugin::PluginWindow> window,
                      DiagnosticStateFunction diagnostics = nullptr);
    // Closes the plugin window (OnClose) and drops the handles; once it returns, no slot
    // of the plugin is called again.
    void DetachPlugin();
    // Attach on every load of `loader`, detach when it unloads. The loader must outlive the GUI
    // host, whose destructor removes the listener.
    void Follow(PluginLoader& loader);
    // Menu commands of `host` ("openmenu", "togglemenu", "closemenu") reach this GUI host, and
    // its own messages go to the host console. The host must outlive the GUI host, whose
    // destructor disconnects it.
    void ConnectMenus(Host& host);
    // Any thread; takes effect at the start of the next frame.
    void HandleMenuCommand(const std::string& verb, const std::string& menu);

    // --- The host's own screen ------------------------------------------------------------
    // From now on every frame shows the replay of `host` through its camera as the backdrop,
    // and the host's panels (shown at first, or hidden until asked for). The host must outlive
    // the GUI host.
    void ShowReplay(Host& host, bool panelsShown);
    // The screen, or null before ShowReplay. Use it on the GUI side only (RunOnGuiSide).
    HostScreen* Screen() { return screen.get(); }

    // --- What is shown -------------------------------------------------------------------
    void ShowSettings(bool shown);
    void OpenWindow();   // as "openmenu" with the plugin's menu id, at once
    void CloseWindow();  // as "closemenu"
    bool WindowOpen();

    // --- The clipboard -----------------------------------------------------------------------
    // What the GUI library's copy and paste use, the plugin's included. The GUI host keeps a
    // clipboard of its own, in the window mode too, so that a script can fill it and read it.
    void SetClipboard(const std::string& text);
    std::string Clipboard();

    // --- Frames --------------------------------------------------------------------------
    void Frame(int count = 1);
    void StartRenderThread();
    void StopRenderThread();
    bool Threaded() const { return threaded; }
    // Runs `work` between two frames: on the render thread when it runs, else right here.
    // Exceptions of `work` reach the caller.
    void RunOnGuiSide(const std::function<void()>& work) override;

    // --- Input and reading: see GuiDriver --------------------------------------------------
    // The plugin window's ShouldBlockInput, asked the way the host asks it.
    bool PluginWantsInput();
    ImGuiContext* Context() const override { return context; }

    // --- Pictures ------------------------------------------------------------------------
    // Renders one frame and saves it as a PNG. Needs the window mode. `savedAs` gets the file's
    // path (a relative `path` goes into the screenshot folder).
    bool Screenshot(const std::string& path, std::string* savedAs = nullptr);
    // The same, cropped to the GUI window of that title (the plugin's window is its menu title).
    bool Screenshot(const std::string& path, const std::string& windowTitle, std::string* savedAs);

    // The person at the window closed it: `handler` runs once, on the thread that runs the
    // frames, and should end the run (the window stays until the GUI host goes).
    void SetCloseHandler(std::function<void()> handler);

    std::string LastError();
    // Messages of the GUI host itself (unknown menus, a plugin slot that threw), oldest first.
    std::vector<std::string> Messages();

private:
    // What the driver uses.
    void RunHostFrame() override { RunFrame(); }
    void RunScriptedFrame() override;
    ScriptedInput& Input() override { return input; }
    const ItemRecorder& Recorder() const override { return recorder; }
    void Fail(const std::string& error) override;

    void CloseThePluginsPopups();

    void Init();              // context, fonts, and the window when asked (on the render thread)
    void InstallClipboard();
    void Shutdown();
    void RunFrame(const std::string& screenshotPath = "", bool* screenshotSaved = nullptr);
    void ApplyMenuRequests();
    void FeedInput();
    void DrawHostWindows();
    void SetWindowOpen(bool open);
    void Message(const std::string& text);
    void ReportClose();  // the person closed the window
    template <typename Slot>
    void CallSlot(const char* what, Slot&& slot);

    void RenderLoop();

    GuiHostOptions options;
    ImGuiContext* context = nullptr;
    ItemRecorder recorder;
    ScriptedInput input;
    int scripting = 0;  // > 0 while a scripted frame runs: its input, not the window's
    bool closeReported = false;

    std::shared_ptr<BakkesMod::Plugin::PluginSettingsWindow> settings;
    std::shared_ptr<BakkesMod::Plugin::PluginWindow> window;
    DiagnosticStateFunction diagnostics = nullptr;
    std::unique_ptr<HostScreen> screen;  // null: a plain backdrop, no host panels
    bool settingsShown = false;
    bool windowOpen = false;
    std::set<std::string> seededPlacements;

    std::unique_ptr<GuiSurface> surface;  // null when headless
    std::string clipboard;                // used on the GUI side only
    std::string pictureWindow;            // the window a screenshot is cropped to (GUI side)
    bool pictureWindowShown = false;      // and whether the frame drew it

    std::mutex menuMutex;
    std::deque<std::pair<std::string, std::string>> menuRequests;

    std::mutex messageMutex;
    std::vector<std::string> messages;
    std::function<void(const std::string&)> messageSink;
    std::function<void()> closeHandler;
    std::string lastError;

    Host* menuHost = nullptr;
    PluginLoader* followedLoader = nullptr;
    int loaderListener = 0;

    std::atomic<bool> threaded{false};
    std::thread renderThread;
    std::thread::id renderThreadId;
    JobQueue jobs;
};

}  // namespace sim
