#include "sim/GuiHost.h"

#if !defined(VISTORB_NO_SDL_WINDOW)  // the Windows build is headless only
#include <SDL.h>
#include <SDL_opengl.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cfloat>
#include <exception>
#include <filesystem>
#include <stdexcept>

#include <fmt/format.h>

#include "imgui.h"
#if !defined(VISTORB_NO_SDL_WINDOW)
#include "imgui_impl_opengl3.h"
#include "imgui_impl_sdl.h"
#endif
#include "imgui_internal.h"
#include "sim/Host.h"
#include "sim/Loader.h"

#if !defined(VISTORB_NO_SDL_WINDOW)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop
#endif

namespace sim {

namespace {

constexpr const char* kSettingsTitle = "BakkesMod";
constexpr const char* kSettingsMenu = "settings";
constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr std::chrono::milliseconds kIdleFrame(16);

// Where the host's settings window and the plugin window first appear.
constexpr float kSettingsX = 20.0f, kSettingsY = 20.0f, kSettingsW = 640.0f, kSettingsH = 300.0f;
constexpr int kWindowX = 20, kWindowY = 340, kWindowW = 960, kWindowH = 440;

}  // namespace

namespace {
// The display's libraries (D-Bus, the OpenGL driver) keep some allocations for the life of the
// process, and the driver is unloaded before the leak check, so the check cannot even name
// them. They are not the simulator's to free; under LeakSanitizer they are left out.
struct [[maybe_unused]] DisplayLibraryAllocations {  // empty without LeakSanitizer
#if defined(__SANITIZE_ADDRESS__)
    DisplayLibraryAllocations() { __lsan_disable(); }
    ~DisplayLibraryAllocations() { __lsan_enable(); }
#endif
};
}  // namespace

// --- Life -------------------------------------------------------------------------------------

GuiHost::GuiHost(GuiHostOptions opts) : options(std::move(opts)) { Init(); }

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
    io.DisplaySize = ImVec2(static_cast<float>(options.width), static_cast<float>(options.height));
    io.DeltaTime = kFrameSeconds;
    for (int key = 0; key < ImGuiKey_COUNT; ++key) io.KeyMap[key] = key;
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    // Both copies of the GUI library report every item they lay out to the recorder.
    context->TestEngine = static_cast<ImGuiItemRecorder*>(&recorder);
    context->TestEngineHookItems = true;

    if (options.window && !InitWindow()) {
        const std::string reason = lastError;
        ImGui::DestroyContext(context);
        context = nullptr;
        throw std::runtime_error(reason);
    }
}

void GuiHost::Shutdown() {
    if (!context) return;
    ImGui::SetCurrentContext(context);
    ShutdownWindow();
    ImGui::DestroyContext(context);
    context = nullptr;
}

// --- The plugin -------------------------------------------------------------------------------

void GuiHost::AttachPlugin(std::shared_ptr<BakkesMod::Plugin::PluginSettingsWindow> newSettings,
                           std::shared_ptr<BakkesMod::Plugin::PluginWindow> newWindow) {
    RunOnGuiSide([&] {
        SetWindowOpen(false);
        settings = std::move(newSettings);
        window = std::move(newWindow);
    });
}

void GuiHost::DetachPlugin() {
    RunOnGuiSide([&] {
        SetWindowOpen(false);
        settings.reset();
        window.reset();
    });
}

void GuiHost::Follow(PluginLoader& loader) {
    if (followedLoader) followedLoader->RemoveListener(loaderListener);
    followedLoader = &loader;
    PluginLoader::Listener listener;
    listener.loaded = [this](PluginLoader& l) { AttachPlugin(l.Settings(), l.PluginWindowSlot()); };
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
        if (window) CallSlot("GetMenuId", [&] { menuId = window->GetMenuId(); });
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
        CallSlot("OnWindowClosed", [&] { window->OnWindowClosed(); });
        return;
    }
    // The first time a window of this title opens, it gets a remembered placement.
    std::string caption;
    CallSlot("GetMenuCaption", [&] { caption = window->GetMenuCaption(); });
    if (!caption.empty() && caption.find_first_of("]\r\n") == std::string::npos &&
        seededPlacements.insert(caption).second && !ImGui::FindWindowByName(caption.c_str())) {
        const std::string ini =
            fmt::format("[Window][{}]\nPos={},{}\nSize={},{}\nCollapsed=0\n\n", caption, kWindowX, kWindowY, kWindowW, kWindowH);
        ImGui::LoadIniSettingsFromMemory(ini.c_str(), ini.size());
    }
    CallSlot("OnWindowOpened", [&] { window->OnWindowOpened(); });
}

// --- What is shown ----------------------------------------------------------------------------

void GuiHost::ShowSettings(bool shown) {
    RunOnGuiSide([&] { settingsShown = shown; });
}

bool GuiHost::SettingsShown() {
    bool shown = false;
    RunOnGuiSide([&] { shown = settingsShown; });
    return shown;
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

// --- Frames -----------------------------------------------------------------------------------

void GuiHost::Frame(int count) {
    RunOnGuiSide([&] {
        for (int i = 0; i < count; ++i) RunFrame();
    });
}

uint64_t GuiHost::FrameCount() {
    uint64_t count = 0;
    RunOnGuiSide([&] { count = frames; });
    return count;
}

template <typename Slot>
void GuiHost::CallSlot(const char* what, Slot&& slot) {
    // A plugin must never take the host down; what it leaves open of the frame is closed again.
    ImGuiContext& g = *context;
    const int depth = g.CurrentWindowStack.Size;
    std::string failure;
    try {
        slot();
        return;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "an exception that is not a std::exception";
    }
    Message(fmt::format("the plugin's {} failed: {}", what, failure));
    if (!g.WithinFrameScope) return;
    while (g.CurrentWindowStack.Size > depth) {
        ImGui::ErrorCheckEndWindowRecover(nullptr);
        if (g.CurrentWindow->Flags & ImGuiWindowFlags_ChildWindow)
            ImGui::EndChild();
        else
            ImGui::End();
    }
}

void GuiHost::RunFrame(const std::string& screenshotPath, bool* screenshotSaved) {
    ImGui::SetCurrentContext(context);
    ApplyMenuRequests();

    ImGuiIO& io = ImGui::GetIO();
    // A person at the window drives the GUI, except while a scripted action runs its frames.
    const bool live = options.liveInput && sdlWindow && scripting == 0;
    if (sdlWindow) {
        DisplayLibraryAllocations outsideLeakCheck;
        PumpWindowEvents();
#if !defined(VISTORB_NO_SDL_WINDOW)
        ImGui_ImplOpenGL3_NewFrame();
        if (live) ImGui_ImplSDL2_NewFrame();
#endif
    }
    if (!live) {
        int width = options.width, height = options.height;
#if !defined(VISTORB_NO_SDL_WINDOW)
        if (sdlWindow) SDL_GetWindowSize(sdlWindow, &width, &height);
#endif
        io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
        io.DeltaTime = kFrameSeconds;
        FeedInput();
    }

    recorder.BeginFrame();
    glyphsRead = false;
    ImGui::NewFrame();
    DrawHostWindows();
    ImGui::Render();
    recorder.EndFrame();
    ++frames;

    if (sdlWindow) {
        DisplayLibraryAllocations outsideLeakCheck;
        const bool saved = RenderWindow(screenshotPath);
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
    // The game behind the menus: a plain dusk sky over a pitch.
    ImDrawList* background = ImGui::GetBackgroundDrawList();
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    background->AddRectFilledMultiColor(ImVec2(0, 0), ImVec2(size.x, size.y * 0.6f), IM_COL32(28, 36, 58, 255),
                                        IM_COL32(28, 36, 58, 255), IM_COL32(52, 70, 96, 255), IM_COL32(52, 70, 96, 255));
    background->AddRectFilledMultiColor(ImVec2(0, size.y * 0.6f), size, IM_COL32(30, 84, 46, 255),
                                        IM_COL32(30, 84, 46, 255), IM_COL32(22, 60, 34, 255), IM_COL32(22, 60, 34, 255));

    const auto handle = reinterpret_cast<uintptr_t>(context);
    if (settingsShown && settings) {
        bool keepShown = true;
        ImGui::SetNextWindowPos(ImVec2(kSettingsX, kSettingsY), ImGuiCond_FirstUseEver);
        ImGui::SetNextWindowSize(ImVec2(kSettingsW, kSettingsH), ImGuiCond_FirstUseEver);
        if (ImGui::Begin(kSettingsTitle, &keepShown) && ImGui::BeginTabBar("host tabs")) {
            if (ImGui::BeginTabItem("Plugins")) {
                std::string name;
                CallSlot("GetSettingsName", [&] { name = settings->GetSettingsName(); });
                ImGui::BeginChild("plugin list", ImVec2(150.0f, 0.0f), true);
                ImGui::Selectable(name.c_str(), true);
                ImGui::EndChild();
                ImGui::SameLine();
                ImGui::BeginChild("plugin page", ImVec2(0.0f, 0.0f), true);
                ImGui::TextUnformatted(name.c_str());
                ImGui::Separator();
                CallSlot("DrawSettingsPage", [&] {
                    settings->SetGuiContext(handle);
                    settings->DrawSettingsPage();
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
        CallSlot("DrawWindow", [&] {
            window->SetGuiContext(handle);
            window->DrawWindow();
        });
    }
}

// --- The render thread ------------------------------------------------------------------------

void GuiHost::RunOnGuiSide(const std::function<void()>& work) {
    if (!threaded || std::this_thread::get_id() == renderThreadId) {
        work();
        return;
    }
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    {
        std::lock_guard<std::mutex> lock(jobMutex);
        jobs.push_back(std::move(task));
    }
    jobReady.notify_one();
    done.get();
}

void GuiHost::StartRenderThread() {
    if (threaded) return;
    ReleaseGl();
    {
        std::lock_guard<std::mutex> lock(jobMutex);
        stopping = false;
    }
    std::promise<std::thread::id> started;
    std::future<std::thread::id> id = started.get_future();
    renderThread = std::thread([this, &started] {
        started.set_value(std::this_thread::get_id());
        AcquireGl();
        RenderLoop();
        ReleaseGl();
    });
    renderThreadId = id.get();
    threaded = true;
}

void GuiHost::StopRenderThread() {
    if (!threaded) return;
    {
        std::lock_guard<std::mutex> lock(jobMutex);
        stopping = true;
    }
    jobReady.notify_one();
    renderThread.join();
    threaded = false;
    renderThreadId = std::thread::id();
    AcquireGl();
}

void GuiHost::RenderLoop() {
    for (;;) {
        std::deque<std::packaged_task<void()>> batch;
        {
            std::unique_lock<std::mutex> lock(jobMutex);
            jobReady.wait_for(lock, kIdleFrame, [this] { return stopping || !jobs.empty(); });
            batch.swap(jobs);
            if (batch.empty() && stopping) return;
        }
        if (batch.empty()) {
            RunFrame();  // nobody asked for anything: the host keeps drawing
            continue;
        }
        for (auto& job : batch) job();
    }
}

// --- Input ------------------------------------------------------------------------------------

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

namespace {
// A window's first frame lays it out unseen (its size is not known yet); a person can click it
// only from the next frame on.
bool Shown(ImGuiContext* context, const GuiItem& item) {
    ImGui::SetCurrentContext(context);
    const ImGuiWindow* window = ImGui::FindWindowByName(item.window.c_str());
    return window && window->WasActive && !window->Hidden;
}
}  // namespace

// Marks the frames of one scripted action.
struct GuiHost::Scripted {
    explicit Scripted(int& depth) : depth(depth) { ++depth; }
    ~Scripted() { --depth; }
    int& depth;
};

const GuiItem* GuiHost::Require(const std::string& label, const std::string& scope) {
    const GuiItem* item = recorder.Find(label, scope);
    // What was asked for may only just have been put on screen.
    for (int tries = 0; tries < 2 && !(item && Shown(context, *item)); ++tries) {
        RunFrame();
        item = recorder.Find(label, scope);
    }
    if (!item)
        Fail(scope.empty() ? fmt::format("no widget labelled '{}' on screen", label)
                           : fmt::format("no widget labelled '{}' in a window matching '{}'", label, scope));
    return item;
}

bool GuiHost::ClickAt(float x, float y) {
    Scripted scripted(scripting);
    input.mouseX = x;
    input.mouseY = y;
    input.mouseDown = false;
    RunFrame();
    input.mouseDown = true;
    RunFrame();
    input.mouseDown = false;
    RunFrame();
    return true;
}

bool GuiHost::Press(const std::string& label, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        const GuiItem target = *item;
        done = ClickAt(target.CenterX(), target.CenterY());
    });
    return done;
}

bool GuiHost::Hover(const std::string& label, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        Scripted scripted(scripting);
        input.mouseX = item->CenterX();
        input.mouseY = item->CenterY();
        RunFrame();
        RunFrame();
        done = true;
    });
    return done;
}

bool GuiHost::DragSlider(const std::string& label, int index, int lastIndex, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        if (lastIndex <= 0 || index < 0 || index > lastIndex) {
            Fail(fmt::format("slider index {} is outside 0 to {}", index, lastIndex));
            return;
        }
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        // The integer slider's geometry: 2 pixels of padding at each end, a grab one index wide
        // (at least the style's minimum), and the grab's centre travels between the ends.
        const float padding = 2.0f;
        const float track = item->Width() - 2.0f * padding;
        const float grab = ImMin(ImMax(track / static_cast<float>(lastIndex + 1), ImGui::GetStyle().GrabMinSize), track);
        const float start = item->minX + padding + grab * 0.5f;
        const float x = start + (track - grab) * static_cast<float>(index) / static_cast<float>(lastIndex);
        done = ClickAt(x, item->CenterY());
    });
    return done;
}

void GuiHost::Type(const std::string& text) {
    RunOnGuiSide([&] {
        Scripted scripted(scripting);
        input.chars += text;
        RunFrame();
    });
}

void GuiHost::PressKey(int imguiKey, bool ctrl) {
    RunOnGuiSide([&] {
        Scripted scripted(scripting);
        input.ctrl = ctrl;
        input.keys.insert(imguiKey);
        RunFrame();
        input.keys.erase(imguiKey);
        input.ctrl = false;
        RunFrame();
    });
}

bool GuiHost::Fill(const std::string& label, const std::string& text, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        if (!Press(label, scope)) return;
        PressKey(ImGuiKey_A, true);
        Type(text);
        done = true;
    });
    return done;
}

namespace {
bool PressTitleButton(ImGuiContext* context, ItemRecorder& recorder, const std::string& title, const char* button,
                      std::string& error, ImGuiID& id) {
    ImGui::SetCurrentContext(context);
    ImGuiWindow* found = ImGui::FindWindowByName(title.c_str());
    if (!found || !found->WasActive) {
        error = fmt::format("no window titled '{}' on screen", title);
        return false;
    }
    id = ImHashStr(button, 0, found->ID);
    if (!recorder.FindById(id)) {
        error = fmt::format("window '{}' has no {} button", title, button + 1);
        return false;
    }
    return true;
}
}  // namespace

bool GuiHost::PressCloseButton(const std::string& windowTitle) { return PressTitleBarButton(windowTitle, "#CLOSE"); }

bool GuiHost::PressCollapseButton(const std::string& windowTitle) {
    return PressTitleBarButton(windowTitle, "#COLLAPSE");
}

bool GuiHost::PressTitleBarButton(const std::string& windowTitle, const char* button) {
    bool done = false;
    RunOnGuiSide([&] {
        std::string error;
        ImGuiID id = 0;
        if (!PressTitleButton(context, recorder, windowTitle, button, error, id)) return Fail(error);
        const GuiItem target = *recorder.FindById(id);
        done = ClickAt(target.CenterX(), target.CenterY());
    });
    return done;
}

void GuiHost::MoveMouse(float x, float y) {
    RunOnGuiSide([&] {
        input.mouseX = x;
        input.mouseY = y;
    });
}

void GuiHost::SetMouseButton(bool down) {
    RunOnGuiSide([&] { input.mouseDown = down; });
}

void GuiHost::SetKeyCtrl(bool held) {
    RunOnGuiSide([&] { input.ctrl = held; });
}

// --- Reading ----------------------------------------------------------------------------------

std::optional<GuiItem> GuiHost::Find(const std::string& label, const std::string& scope) {
    std::optional<GuiItem> found;
    RunOnGuiSide([&] {
        if (const GuiItem* item = recorder.Find(label, scope)) found = *item;
    });
    return found;
}

std::vector<GuiItem> GuiHost::FindAll(const std::string& label, const std::string& scope) {
    std::vector<GuiItem> found;
    RunOnGuiSide([&] {
        for (const GuiItem* item : recorder.FindAll(label, scope)) found.push_back(*item);
    });
    return found;
}

std::vector<GuiItem> GuiHost::Items() {
    std::vector<GuiItem> items;
    RunOnGuiSide([&] { items = recorder.Items(); });
    return items;
}

const std::vector<ScreenGlyph>& GuiHost::Glyphs() {
    // The draw data stays valid until the next frame starts, so it is read only when asked.
    if (!glyphsRead) {
        glyphs.clear();
        ImGui::SetCurrentContext(context);
        const ImDrawData* drawData = ImGui::GetDrawData();
        if (drawData && drawData->Valid) glyphs = ReadGlyphs(*drawData, *ImGui::GetIO().Fonts->Fonts[0]);
        glyphsRead = true;
    }
    return glyphs;
}

float GuiHost::SpaceAdvance() const {
    const ImFont* font = context->IO.Fonts->Fonts[0];
    const ImFontGlyph* space = font->FindGlyphNoFallback(' ');
    return space ? space->AdvanceX : font->FallbackAdvanceX;
}

std::optional<std::string> GuiHost::TextOf(const std::string& label, const std::string& scope) {
    std::optional<std::string> text;
    RunOnGuiSide([&] {
        const GuiItem* item = recorder.Find(label, scope);
        if (!item) {
            Fail(fmt::format("no widget labelled '{}' on screen", label));
            return;
        }
        text = TextInside(Glyphs(), SpaceAdvance(), item->window, item->minX, item->minY, item->maxX, item->maxY);
    });
    return text;
}

std::optional<bool> GuiHost::Highlighted(const std::string& label, const std::string& scope) {
    std::optional<bool> highlighted;
    RunOnGuiSide([&] {
        const GuiItem* item = recorder.Find(label, scope);
        const ImDrawData* drawData = ImGui::GetDrawData();
        if (!item || !drawData || !drawData->Valid) {
            Fail(fmt::format("no widget labelled '{}' on screen", label));
            return;
        }
        const ImVec2 white = context->IO.Fonts->TexUvWhitePixel;
        const ImU32 header = ImGui::ColorConvertFloat4ToU32(context->Style.Colors[ImGuiCol_Header]);
        highlighted = false;
        for (const ScreenRect& rect : ReadRects(*drawData, white.x, white.y))
            if (rect.color == header && item->window == rect.window && rect.minX <= item->CenterX() &&
                item->CenterX() < rect.maxX && rect.minY <= item->CenterY() && item->CenterY() < rect.maxY)
                highlighted = true;
    });
    return highlighted;
}

std::vector<ScreenTextRun> GuiHost::ScreenText() {
    std::vector<ScreenTextRun> runs;
    RunOnGuiSide([&] { runs = JoinGlyphs(Glyphs(), SpaceAdvance()); });
    return runs;
}

std::optional<ScreenTextRun> GuiHost::FindText(const std::string& part) {
    for (ScreenTextRun& run : ScreenText())
        if (run.text.find(part) != std::string::npos) return run;
    return std::nullopt;
}

bool GuiHost::PluginWantsInput() {
    bool wants = false;
    RunOnGuiSide([&] {
        if (!window) return;
        CallSlot("WantsInputBlocked", [&] {
            window->SetGuiContext(reinterpret_cast<uintptr_t>(context));
            wants = window->WantsInputBlocked();
        });
    });
    return wants;
}

// --- The window -------------------------------------------------------------------------------

#if defined(VISTORB_NO_SDL_WINDOW)
// A build without SDL (Windows): the GUI host runs headless only, and says so when asked for
// a window. With no window, nothing below is ever reached.
bool GuiHost::InitWindow() {
    Fail("the window mode is not part of this build; the GUI host runs headless (--gui headless)");
    return false;
}
void GuiHost::ShutdownWindow() {}
void GuiHost::AcquireGl() {}
void GuiHost::ReleaseGl() {}
void GuiHost::PumpWindowEvents() {}
bool GuiHost::RenderWindow(const std::string&) { return false; }
#else

bool GuiHost::InitWindow() {
    DisplayLibraryAllocations outsideLeakCheck;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Fail(fmt::format("cannot start SDL video (is there a display? try xvfb-run -a): {}", SDL_GetError()));
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    const Uint32 flags =
        SDL_WINDOW_OPENGL | (options.visible ? SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE : SDL_WINDOW_HIDDEN);
    sdlWindow = SDL_CreateWindow("vistorb-host", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, options.width,
                                 options.height, flags);
    if (!sdlWindow) {
        Fail(fmt::format("cannot open a window (is there a display? try xvfb-run -a): {}", SDL_GetError()));
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    glContext = SDL_GL_CreateContext(sdlWindow);
    if (!glContext) {
        Fail(fmt::format("cannot get an OpenGL 3.0 context: {}", SDL_GetError()));
        SDL_DestroyWindow(sdlWindow);
        sdlWindow = nullptr;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_GL_MakeCurrent(sdlWindow, glContext);
    SDL_GL_SetSwapInterval(options.visible ? 1 : 0);
    ImGui_ImplSDL2_InitForOpenGL(sdlWindow, glContext);
    ImGui_ImplOpenGL3_Init("#version 130");
    // The SDL backend maps keys to its scan codes; scripted key presses follow its map.
    return true;
}

void GuiHost::ShutdownWindow() {
    if (!sdlWindow) return;
    DisplayLibraryAllocations outsideLeakCheck;
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    SDL_GL_DeleteContext(glContext);
    SDL_DestroyWindow(sdlWindow);
    glContext = nullptr;
    sdlWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // The last user of SDL lets go of everything SDL started for it (its D-Bus connection too).
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

void GuiHost::AcquireGl() {
    if (sdlWindow) SDL_GL_MakeCurrent(sdlWindow, glContext);
}

void GuiHost::ReleaseGl() {
    if (sdlWindow) SDL_GL_MakeCurrent(sdlWindow, nullptr);
}

void GuiHost::PumpWindowEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
            quitRequested = true;
        if (options.liveInput && scripting == 0) ImGui_ImplSDL2_ProcessEvent(&event);
    }
}

bool GuiHost::RenderWindow(const std::string& screenshotPath) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(sdlWindow, &width, &height);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());

    bool saved = true;
    if (!screenshotPath.empty()) {
        std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        // OpenGL counts rows from the bottom; the picture is opaque whatever blending left in alpha.
        std::vector<unsigned char> image(pixels.size());
        const size_t row = static_cast<size_t>(width) * 4;
        for (int y = 0; y < height; ++y)
            std::copy_n(&pixels[(height - 1 - y) * row], row, &image[y * row]);
        for (size_t i = 3; i < image.size(); i += 4) image[i] = 255;
        saved = stbi_write_png(screenshotPath.c_str(), width, height, 4, image.data(), static_cast<int>(row)) != 0;
    }
    SDL_GL_SwapWindow(sdlWindow);
    return saved;
}
#endif

bool GuiHost::Screenshot(const std::string& path) {
    bool saved = false;
    RunOnGuiSide([&] {
        if (!sdlWindow) {
            Fail("screenshots need the window mode (--gui window; without a display run under xvfb-run -a)");
            return;
        }
        std::filesystem::path file(path);
        if (file.is_relative() && !options.screenshotFolder.empty()) file = options.screenshotFolder / file;
        std::error_code error;
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
        RunFrame(file.string(), &saved);
        if (!saved) Fail(fmt::format("cannot write the screenshot {}", file.string()));
    });
    return saved;
}

}  // namespace sim
