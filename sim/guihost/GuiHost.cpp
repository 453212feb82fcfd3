// The GUI host's frames and the plugin's slots: the GUI context, the host's own windows with the
// plugin's settings page and window in them, the menu commands, and the render thread.
//
// Sections:
//   Life                          the context, the surface, teardown
//   The plugin                    attaching, following a loader, menu commands, opening the window,
//                                 the host's own screen
//   What is shown                 the settings page and the window, as asked for
//   The clipboard                 the host's own, for the GUI library's copy and paste
//   Frames                        one frame: input, the host's windows, the plugin's slots caught
//   The window                    the person closing it, screenshots
//   The render thread             frames on a thread of their own, and work run between them
//   Messages                      the host's own messages and the last error
#include "sim/guihost/GuiHost.h"
#include "core/ImGuiCompat.h"

#include <cfloat>
#include <chrono>
#include <exception>
#include <filesystem>
#include <stdexcept>

#include <fmt/format.h>

#include "imgui.h"
#include "imgui_internal.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/base/Support.h"

namespace sim {

namespace {

constexpr const char* kSettingsTitle = "BakkesMod";
constexpr const char* kSettingsMenu = "settings";
constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr std::chrono::milliseconds kIdleFrame(16);

// Where the host's settings window and the plugin window first appear.

}  // namespace

// --- Life -------------------------------------------------------------------------------------

GuiHost::GuiHost(GuiHostOptions opts) : GuiDriver(static_cast<GuiFrames&>(*this)), options(std::move(opts)) {
    Init();
}

GuiHost::~GuiHost() {
    StopRenderThread();
    if (menuHost) menuHost->SetMenuHandler(nullptr);
    if (followedLoader) followedLoader->RemoveListener(loaderListener);
    settings.reset();
    window.reset();
    Shutdown();
}

void GuiHost::Init() {
    IMGUI_CHECKVERSION();
    context = ImGui::CreateContext();
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // placement lives as long as the GUI host
    io.LogFilename = nullptr;
    io.DisplaySize = ImVec2(static_cast<float>(options.layout.width), static_cast<float>(options.layout.height));
    io.DeltaTime = kFrameSeconds;
    for (int key = 0; key < ImGuiKey_COUNT; ++key) io.KeyMap[key] = key;
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    // Both copies of the GUI library report every item they lay out to the recorder.
#if IMGUI_VERSION_NUM >= 18600
    context->TestEngine = static_cast<ImGuiItemRecorder*>(&recorder);
    context->TestEngineHookItems = true;
#else
    io.UserData = static_cast<ImGuiItemRecorder*>(&recorder);  // 1.75: no test-engine slot, hooks always on
#endif

    if (options.window) {
        try {
            surface = options.window(options);
        } catch (...) {
            ImGui::DestroyContext(context);
            context = nullptr;
            throw;
        }
    }
    InstallClipboard();  // after the window, whose backend would put the desktop's in its place
}

// The GUI library asks for the text and keeps the pointer only until its next call, which the
// string outlives. Both ImGui 1.75 and 1.86 take these two functions and their user data.
void GuiHost::InstallClipboard() {
    ImGuiIO& io = ImGui::GetIO();
    io.ClipboardUserData = this;
    io.GetClipboardTextFn = [](void* host) -> const char* { return static_cast<GuiHost*>(host)->clipboard.c_str(); };
    io.SetClipboardTextFn = [](void* host, const char* text) { static_cast<GuiHost*>(host)->clipboard = text ? text : ""; };
}

void GuiHost::Shutdown() {
    if (!context) return;
    ImGui::SetCurrentContext(context);
    surface.reset();
    ImGui::DestroyContext(context);
    context = nullptr;
}

// --- The plugin -------------------------------------------------------------------------------

void GuiHost::AttachPlugin(std::shared_ptr<BakkesMod::Plugin::PluginSettingsWindow> newSettings,
                           std::shared_ptr<BakkesMod::Plugin::PluginWindow> newWindow,
                           DiagnosticStateFunction newDiagnostics) {
    RunOnGuiSide([&] {
        SetWindowOpen(false);
        settings = std::move(newSettings);
        window = std::move(newWindow);
        diagnostics = newDiagnostics;
    });
}

void GuiHost::DetachPlugin() {
    RunOnGuiSide([&] {
        CloseThePluginsPopups();
        SetWindowOpen(false);
        settings.reset();
        window.reset();
        diagnostics = nullptr;
    });
}

// A popup lives in the host's context, not in the plugin that opened it. The library closes one
// that nobody draws only a frame later, so a plugin unloaded and loaded again before the next
// frame would find its old popup open, and its first click would go to closing it. Only the
// plugin opens popups in this host: all of them go with it, and so does the focus it held.
void GuiHost::CloseThePluginsPopups() {
    if (!context) return;
    ImGui::SetCurrentContext(context);
    if (!context->OpenPopupStack.empty()) ImGui::ClosePopupToLevel(0, false);
    ImGui::FocusWindow(nullptr);
}

void GuiHost::ShowReplay(Host& host, bool panelsShown) {
    RunOnGuiSide([&] { screen = std::make_unique<HostScreen>(host, panelsShown, options.layout); });
}

void GuiHost::Follow(PluginLoader& loader) {
    if (followedLoader) followedLoader->RemoveListener(loaderListener);
    followedLoader = &loader;
    PluginLoader::Listener listener;
    listener.loaded = [this](PluginLoader& l) { AttachPlugin(l.Settings(), l.PluginWindowSlot(), l.Diagnostics()); };
    listener.unloading = [this](PluginLoader&) { DetachPlugin(); };
    loaderListener = loader.AddListener(std::move(listener));
}

void GuiHost::ConnectMenus(Host& host) {
    menuHost = &host;
    host.SetMenuHandler([this](const std::string& verb, const std::string& menu) { HandleMenuCommand(verb, menu); });
    std::lock_guard<std::mutex> lock(messageMutex);
    messageSink = [&host](const std::string& text) { host.Log(text); };
}

void GuiHost::HandleMenuCommand(const std::string& verb, const std::string& menu) {
    std::lock_guard<std::mutex> lock(menuMutex);
    menuRequests.emplace_back(verb, menu);
}

void GuiHost::ApplyMenuRequests() {
    std::deque<std::pair<std::string, std::string>> requests;
    {
        std::lock_guard<std::mutex> lock(menuMutex);
        requests.swap(menuRequests);
    }
    for (const auto& [verb, menu] : requests) {
        const bool open = verb == "openmenu";
        const bool toggle = verb == "togglemenu";
        if (menu == kSettingsMenu) {
            settingsShown = open || (toggle && !settingsShown);
            continue;
        }
        std::string menuId;
        if (window) CallSlot("GetMenuName", [&] { menuId = window->GetMenuName(); });
        if (!window || menu != menuId) {
            Message(fmt::format("{}: there is no menu named '{}'", verb, menu));
            continue;
        }
        SetWindowOpen(open || (toggle && !windowOpen));
    }
}

void GuiHost::SetWindowOpen(bool open) {
    if (!window || open == windowOpen) return;
    windowOpen = open;
    if (!open) {
        CallSlot("OnClose", [&] { window->OnClose(); });
        return;
    }
    // The first time a window of this title opens, it gets a remembered placement.
    std::string caption;
    CallSlot("GetMenuTitle", [&] { caption = window->GetMenuTitle(); });
    if (!caption.empty() && caption.find_first_of("]\r\n") == std::string::npos &&
        seededPlacements.insert(caption).second && !ImGui::FindWindowByName(caption.c_str())) {
        const Placement& place = options.layout.window;
        const std::string ini = fmt::format("[Window][{}]\nPos={},{}\nSize={},{}\nCollapsed=0\n\n", caption, place.x,
                                            place.y, place.w, place.h);
        ImGui::LoadIniSettingsFromMemory(ini.c_str(), ini.size());
    }
    CallSlot("OnOpen", [&] { window->OnOpen(); });
}

// --- What is shown ----------------------------------------------------------------------------

void GuiHost::ShowSettings(bool shown) {
    RunOnGuiSide([&] { settingsShown = shown; });
}

void GuiHost::OpenWindow() {
    RunOnGuiSide([&] { SetWindowOpen(true); });
}

void GuiHost::CloseWindow() {
    RunOnGuiSide([&] { SetWindowOpen(false); });
}

bool GuiHost::WindowOpen() {
    bool open = false;
    RunOnGuiSide([&] { open = windowOpen; });
    return open;
}

bool GuiHost::PluginWantsInput() {
    bool wants = false;
    RunOnGuiSide([&] {
        if (!window) return;
        CallSlot("ShouldBlockInput", [&] {
            window->SetImGuiContext(reinterpret_cast<uintptr_t>(context));
            wants = window->ShouldBlockInput();
        });
    });
    return wants;
}

// --- The clipboard ----------------------------------------------------------------------------

void GuiHost::SetClipboard(const std::string& text) {
    RunOnGuiSide([&] { clipboard = text; });
}

std::string GuiHost::Clipboard() {
    std::string text;
    RunOnGuiSide([&] { text = clipboard; });
    return text;
}

// --- Frames -----------------------------------------------------------------------------------

void GuiHost::Frame(int count) {
    RunOnGuiSide([&] {
        for (int i = 0; i < count; ++i) RunFrame();
    });
}

template <typename Slot>
void GuiHost::CallSlot(const char* what, Slot&& slot) {
    // A plugin must never take the host down; what it leaves open of the frame is closed again.
    ImGuiContext& g = *context;
    const int depth = g.CurrentWindowStack.Size;
    const imgui_compat::StyleStacks styles = imgui_compat::StyleStacks::Save(g);
    std::string failure;
    if (RunCaught(slot, failure)) return;
    Message(fmt::format("the plugin's {} failed: {}", what, failure));
    if (!g.WithinFrameScope) return;
    imgui_compat::EndWindowsDownTo(g, depth);
    styles.Restore(g);
}

// A scripted action's frame: its input, even where a person drives the window.
void GuiHost::RunScriptedFrame() {
    ++scripting;
    RunFrame();
    --scripting;
}

void GuiHost::RunFrame(const std::string& screenshotPath, bool* screenshotSaved) {
    ImGui::SetCurrentContext(context);
    ApplyMenuRequests();

    ImGuiIO& io = ImGui::GetIO();
    // A person at the window drives the GUI, except while a scripted action runs its frames.
    const bool live = options.liveInput && surface && scripting == 0;
    if (surface && surface->BeginFrame(live)) ReportClose();
    if (!live) {
        int width = options.layout.width, height = options.layout.height;
        if (surface) surface->Size(width, height);
        io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
        io.DeltaTime = kFrameSeconds;
        FeedInput();
    }

    recorder.BeginFrame();
    ImGui::NewFrame();
    DrawHostWindows();
    ImGui::Render();
    recorder.EndFrame();
    if (screen) screen->RunRequests();  // after the frame: no plugin slot is running

    if (surface) {
        PictureArea area;
        if (!pictureWindow.empty()) {
            // A window drawn in this frame, as it is on screen (a window not drawn now is stale).
            const ImGuiWindow* shown = ImGui::FindWindowByName(pictureWindow.c_str());
            pictureWindowShown = shown && shown->Active;
            if (pictureWindowShown)
                area = PictureArea{static_cast<int>(shown->Pos.x), static_cast<int>(shown->Pos.y),
                                   static_cast<int>(shown->Size.x), static_cast<int>(shown->Size.y)};
        }
        const bool saved = surface->Present(screenshotPath, area);
        if (screenshotSaved) *screenshotSaved = saved;
    }
}

void GuiHost::FeedInput() {
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = input.mouseX < 0.0f ? ImVec2(-FLT_MAX, -FLT_MAX) : ImVec2(input.mouseX, input.mouseY);
    for (bool& down : io.MouseDown) down = false;
    io.MouseDown[0] = input.mouseDown;
    for (int key = 0; key < ImGuiKey_COUNT; ++key) {
        const int index = io.KeyMap[key];
        if (index >= 0 && index < IM_ARRAYSIZE(io.KeysDown)) io.KeysDown[index] = input.keys.count(key) != 0;
    }
    io.KeyCtrl = input.ctrl;
    io.KeyShift = io.KeyAlt = io.KeySuper = false;
    if (!input.chars.empty()) {
        io.AddInputCharactersUTF8(input.chars.c_str());
        input.chars.clear();
    }
}

void GuiHost::DrawHostWindows() {
    // The game behind the menus: the replay through its camera, or a plain dusk sky over a pitch.
    ImDrawList* background = ImGui::GetBackgroundDrawList();
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    if (screen) {
        screen->Draw(ImGui::GetIO().DeltaTime, diagnostics);
    } else {
        background->AddRectFilledMultiColor(ImVec2(0, 0), ImVec2(size.x, size.y * 0.6f), IM_COL32(28, 36, 58, 255),
                                            IM_COL32(28, 36, 58, 255), IM_COL32(52, 70, 96, 255),
                                            IM_COL32(52, 70, 96, 255));
        background->AddRectFilledMultiColor(ImVec2(0, size.y * 0.6f), size, IM_COL32(30, 84, 46, 255),
                                            IM_COL32(30, 84, 46, 255), IM_COL32(22, 60, 34, 255),
                                            IM_COL32(22, 60, 34, 255));
    }

    const auto handle = reinterpret_cast<uintptr_t>(context);
    if (settingsShown && settings) {
        bool keepShown = true;
        const Placement& place = options.layout.settings;
        ImGui::SetNextWindowPos(ImVec2(place.x, place.y), ImGuiCond_FirstUseEver);
        ImGui::SetNextWindowSize(ImVec2(place.w, place.h), ImGuiCond_FirstUseEver);
        if (ImGui::Begin(kSettingsTitle, &keepShown) && ImGui::BeginTabBar("host tabs")) {
            if (ImGui::BeginTabItem("Plugins")) {
                std::string name;
                CallSlot("GetPluginName", [&] { name = settings->GetPluginName(); });
                ImGui::BeginChild("plugin list", ImVec2(150.0f, 0.0f), true);
                ImGui::Selectable(name.c_str(), true);
                ImGui::EndChild();
                ImGui::SameLine();
                ImGui::BeginChild("plugin page", ImVec2(0.0f, 0.0f), true);
                ImGui::TextUnformatted(name.c_str());
                ImGui::Separator();
                CallSlot("RenderSettings", [&] {
                    settings->SetImGuiContext(handle);
                    settings->RenderSettings();
                });
                ImGui::EndChild();
                ImGui::EndTabItem();
            }
            ImGui::EndTabBar();
        }
        ImGui::End();
        if (!keepShown) settingsShown = false;
    }
    if (windowOpen && window) {
        CallSlot("Render", [&] {
            window->SetImGuiContext(handle);
            window->Render();
        });
    }
}

// --- The window: closing it, pictures of it ---------------------------------------------------

void GuiHost::SetCloseHandler(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(messageMutex);
    closeHandler = std::move(handler);
}

void GuiHost::ReportClose() {
    if (closeReported) return;
    closeReported = true;
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(messageMutex);
        handler = closeHandler;
    }
    if (handler) handler();
}

bool GuiHost::Screenshot(const std::string& path, std::string* savedAs) { return Screenshot(path, "", savedAs); }

bool GuiHost::Screenshot(const std::string& path, const std::string& windowTitle, std::string* savedAs) {
    bool saved = false;
    RunOnGuiSide([&] {
        if (!surface) {
            Fail("screenshots need the window mode (--gui window; without a display run under xvfb-run -a)");
            return;
        }
        std::filesystem::path file(path);
        if (file.is_relative() && !options.screenshotFolder.empty()) file = options.screenshotFolder / file;
        std::error_code error;
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
        pictureWindow = windowTitle;
        RunFrame(file.string(), &saved);
        const bool found = windowTitle.empty() || pictureWindowShown;
        pictureWindow.clear();
        if (!found) {
            saved = false;
            std::filesystem::remove(file, error);  // the whole screen is not the picture asked for
            return Fail(fmt::format("no window '{}' is shown for the screenshot", windowTitle));
        }
        if (!saved) Fail(fmt::format("cannot write the screenshot {}", file.string()));
        if (saved && savedAs) *savedAs = file.string();
    });
    return saved;
}

// --- The render thread ------------------------------------------------------------------------

void GuiHost::RunOnGuiSide(const std::function<void()>& work) {
    if (!threaded || std::this_thread::get_id() == renderThreadId) {
        work();
        return;
    }
    jobs.RunAndWait(work);
}

void GuiHost::StartRenderThread() {
    if (threaded) return;
    if (surface) surface->Release();
    jobs.Reopen();
    std::promise<std::thread::id> started;
    std::future<std::thread::id> id = started.get_future();
    renderThread = std::thread([this, &started] {
        started.set_value(std::this_thread::get_id());
        if (surface) surface->Acquire();
        RenderLoop();
        if (surface) surface->Release();
    });
    renderThreadId = id.get();
    threaded = true;
}

void GuiHost::StopRenderThread() {
    if (!threaded) return;
    jobs.RequestStop();
    renderThread.join();
    threaded = false;
    renderThreadId = std::thread::id();
    if (surface) surface->Acquire();
}

void GuiHost::RenderLoop() {
    for (;;) {
        switch (jobs.RunPending(kIdleFrame)) {
            case JobQueue::Turn::Stopped: return;
            case JobQueue::Turn::Idle: RunFrame(); break;  // nobody asked for anything: the host keeps drawing
            case JobQueue::Turn::Ran: break;
        }
    }
}

// --- Messages ---------------------------------------------------------------------------------

void GuiHost::Fail(const std::string& error) {
    std::lock_guard<std::mutex> lock(messageMutex);
    lastError = error;
}

std::string GuiHost::LastError() {
    std::lock_guard<std::mutex> lock(messageMutex);
    return lastError;
}

void GuiHost::Message(const std::string& text) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard<std::mutex> lock(messageMutex);
        messages.push_back(text);
        sink = messageSink;
    }
    if (sink) sink(text);
}

std::vector<std::string> GuiHost::Messages() {
    std::lock_guard<std::mutex> lock(messageMutex);
    return messages;
}

}  // namespace sim
