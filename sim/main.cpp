// vistorb-host: the host simulator. Loads the plugin library the way the host does and plays a
// replay session from a scenario script, the built-in demo, or lines typed at its console.
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <fmt/format.h>

#include "sim/screen/CameraScene.h"
#include "sim/script/Demo.h"
#include "sim/guihost/GuiHost.h"
#include "sim/script/GuiScript.h"
#if !defined(VISTORB_NO_WINDOW)
#include "sim/window/GuiWindow.h"
#endif
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/script/Script.h"
#include "sim/base/Support.h"

namespace {

constexpr const char* kUsage =
    "usage: vistorb-host [--plugin PATH] [--script FILE | --demo] [--data DIR] [--build N]\n"
    "                    [--console] [--gui headless|window] [--screenshots DIR] [--version]\n"
    "\n"
    "  --plugin PATH      the plugin library that 'load' loads (default: the built\n"
    "                     VistorbTesting.so, whose GUI hooks and diagnostics scripts rely on)\n"
    "  --script FILE      run a scenario script\n"
    "  --demo             run the built-in demo session\n"
    "  --data DIR         the host's data folder (created when missing; default: a fresh\n"
    "                     temporary folder, removed at exit)\n"
    "  --build N          the host build number (default 160; 162 reads cameras from memory)\n"
    "  --console          after the script, read more lines from standard input\n"
    "                     (a line that is no script command goes to the host's console,\n"
    "                     as 'console LINE' does: 'vistorb_set fov 90' works as typed)\n"
    "  --gui MODE         the GUI host: headless (default, off-screen) or window (on screen,\n"
    "                     live mouse and keyboard, threads on; closing it ends the run)\n"
    "  --screenshots DIR  keep the scripts' screenshots there (renders into a hidden window;\n"
    "                     without a display run under xvfb-run -a)\n"
    "  --version          the simulator's version and that of the plugin --plugin names\n"
    "\n"
    "Relative paths are taken from the current folder. With --gui window the host's settings\n"
    "window lists Vistorb's page and the plugin window opens beside the camera view;\n"
    "'togglemenu Vistorb' at the console closes and opens it again.\n"
    "\n"
    "Without --script or --demo the plugin is loaded at once and the console reads standard\n"
    "input; with --gui window the demo's replay is playing too, its players imported and the\n"
    "camera on the first of them. Exit status: 0 done, 1 a step failed, 2 a bad option or\n"
    "script line.\n"
    "\n"
    "The host's console (console LINE, or typed with --console) takes the plugin's commands\n"
    "and the host's own: bind KEY \"COMMAND\" (';' separates commands inside the quotes),\n"
    "unbind KEY, plugin load NAME, plugin unload NAME (NAME: the library's file name without\n"
    "its extension, or Vistorb, in any letter case), openmenu|togglemenu|closemenu Vistorb,\n"
    "sleep MS. The script line 'key KEY' presses a bound key.\n";

// --help: the options, then every line a script or the console takes.
std::string Help() {
    return std::string(kUsage) + "\nScript lines:\n" + sim::ScriptRunner::Help() + "\nGUI lines:\n" +
           sim::GuiScriptHelp();
}

struct Options {
    std::string plugin = sim::kDefaultPluginPath;
    std::optional<std::string> script;
    bool demo = false;
    std::optional<std::string> data;
    std::optional<int> build;
    bool console = false;
    std::optional<std::string> gui;
    std::optional<std::string> screenshots;
    bool version = false;
};

// The simulator's own options name places as the person typed them; the host and the plugin
// take only absolute paths (the preset folder must be one), so they are made absolute here.
std::string Absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(path), ec);
    return ec ? path : absolute.lexically_normal().u8string();
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--plugin") {
            if (!value(text)) return false;
            // A bare name that is no file here is left to the system's library search.
            std::error_code ec;
            const bool here = text.find_first_of("/\\") != std::string::npos ||
                              std::filesystem::exists(std::filesystem::u8path(text), ec);
            options.plugin = here ? Absolute(text) : text;
        } else if (arg == "--script") {
            if (!value(text)) return false;
            options.script = text;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--data") {
            if (!value(text)) return false;
            options.data = Absolute(text);
        } else if (arg == "--build") {
            if (!value(text)) return false;
            long build = 0;
            if (!sim::ParseInteger(text, 0, 1'000'000, build)) {
                error = "--build needs a whole number, not '" + text + "'";
                return false;
            }
            options.build = static_cast<int>(build);
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--console") {
            options.console = true;
        } else if (arg == "--gui") {
            if (!value(text)) return false;
            if (text != "headless" && text != "window") {
                error = "--gui is headless or window, not '" + text + "'";
                return false;
            }
            options.gui = text;
        } else if (arg == "--screenshots") {
            if (!value(text)) return false;
            options.screenshots = Absolute(text);
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (options.script && options.demo) {
        error = "--script and --demo cannot go together";
        return false;
    }
    return true;
}

// Standard input, read on a thread of its own, so that a console waiting for its next line can
// give up when the person closes the window. The reader may still be blocked in a read when the
// run ends; it holds nothing but its own queue, and the process ends without waiting for it.
class InputLines {
public:
    InputLines() {
        std::thread([queue = queue] {
            std::string line;
            bool more = true;
            while (more) {
                more = static_cast<bool>(std::getline(std::cin, line));
                std::lock_guard<std::mutex> lock(queue->mutex);
                if (more) queue->lines.push_back(line);
                queue->ended = !more;
                queue->changed.notify_all();
            }
        }).detach();
    }
    // False when the input has ended or `stop` says to give up.
    bool Next(std::string& line, const sim::ScriptRunner& stop) {
        std::unique_lock<std::mutex> lock(queue->mutex);
        while (queue->lines.empty() && !queue->ended && !stop.StopRequested())
            queue->changed.wait_for(lock, std::chrono::milliseconds(100));
        if (queue->lines.empty()) return false;
        line = std::move(queue->lines.front());
        queue->lines.pop_front();
        return true;
    }

private:
    struct Queue {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::string> lines;
        bool ended = false;
    };
    std::shared_ptr<Queue> queue = std::make_shared<Queue>();
};

// The GUI host draws whatever plugin the loader holds and lets go of it before it unloads; the
// console's menu commands reach it. Off-screen unless a window is asked for, or pictures are:
// those are read back from a (hidden) window.
std::unique_ptr<sim::GuiHost> StartGui(const Options& options, bool liveWindow) {
    sim::GuiHostOptions guiOptions;
#if defined(VISTORB_NO_WINDOW)
    // A build without the window library (Windows): headless frames only.
    if (liveWindow || options.screenshots) {
        std::cerr << "vistorb-host: cannot start the GUI host: this build has no window (no --gui window, no "
                     "--screenshots); the GUI host runs headless\n";
        return nullptr;
    }
#else
    if (liveWindow || options.screenshots) guiOptions.window = sim::OpenGuiWindow;
#endif
    guiOptions.visible = liveWindow;
    if (liveWindow) guiOptions.layout = sim::DeskLayout();
    guiOptions.liveInput = liveWindow;
    guiOptions.screenshotFolder = options.screenshots.value_or("");
    try {
        return std::make_unique<sim::GuiHost>(guiOptions);
    } catch (const std::exception& e) {
        std::cerr << fmt::format("vistorb-host: cannot start the GUI host: {}\n", e.what());
        return nullptr;
    }
}

void ConnectGui(sim::GuiHost& gui, sim::Host& host, sim::PluginLoader& loader, sim::ScriptRunner& runner,
                bool liveWindow) {
    gui.Follow(loader);
    gui.ShowReplay(host, liveWindow);  // a person gets the host's panels at once; scripts ask for them
    gui.ConnectMenus(host);
    gui.SetCloseHandler([&runner] {
        runner.Print("[host] the window was closed: the run ends");
        runner.RequestStop();
    });
    runner.SetGuiCommand([&](const std::vector<std::string>& words, std::string& error) {
        return sim::RunGuiScriptCommand(gui, words, error, [&](const std::string& text) { runner.Print(text); });
    });
    runner.SetThreadSwitch([&gui](bool on) {
        if (on)
            gui.StartRenderThread();
        else
            gui.StopRenderThread();
    });
    runner.SetGuiSide([&gui](const std::function<void()>& work) { gui.RunOnGuiSide(work); });
    runner.SetClipboard({[&gui](const std::string& text) { gui.SetClipboard(text); }, [&gui] { return gui.Clipboard(); }});
}

// A person at the window without a script gets a session to play with: the plugin loaded, the
// demo's replay playing (the game thread ticks it), the camera on its first player.
// The host's settings window lists the plugin's page, and the plugin's window is open.
sim::ScriptRunner::Status StartReadySession(sim::ScriptRunner& runner, sim::Host& host) {
    std::vector<std::string> lines = {"load"};
    for (const std::string& line : sim::ReadySessionLines()) lines.push_back(line);
    for (const std::string& line : lines) {
        const sim::ScriptRunner::Status status = runner.RunLine(line, "vistorb-host");
        if (status != sim::ScriptRunner::Status::Ok) return status;
    }
    sim::ScriptRunner::Status status = sim::ScriptRunner::Status::Ok;
    for (const sim::PlayerSpec& player : host.Players()) {
        if (player.nullRecord) continue;
        status = runner.RunLine("focus " + sim::FocusIdOf(player), "vistorb-host");
        break;
    }
    for (const char* line : {"gui open settings", "gui open window"}) {
        if (status != sim::ScriptRunner::Status::Ok) return status;
        status = runner.RunLine(line, "vistorb-host");
    }
    return status;
}

// The script, the demo or the plugin alone, then the console when asked for (or when nothing
// else was).
int RunInput(const Options& options, sim::ScriptRunner& runner, sim::Host& host, bool liveWindow) {
    int status = 0;
    bool console = options.console;
    if (options.demo) {
        std::istringstream demo(sim::DemoScript());
        status = runner.RunScript(demo, "demo.vsim");
    } else if (options.script) {
        status = runner.RunFile(*options.script);
    } else if (liveWindow) {
        status = sim::ScriptRunner::ExitStatus(StartReadySession(runner, host));
        console = true;
    } else {
        status = sim::ScriptRunner::ExitStatus(runner.RunLine("load", "vistorb-host"));
        console = true;
    }
    if (!console || status != 0 || runner.StopRequested()) return status;
    const bool prompt = isatty(STDIN_FILENO) != 0;
    if (!liveWindow) {
        runner.RunConsole(std::cin, "console", prompt);
        return status;
    }
    InputLines input;
    runner.RunConsole([&](std::string& line) { return input.Next(line, runner); }, "console", prompt);
    return status;
}

int Run(const Options& options) {
    sim::Host host;
    if (options.build) host.SetBuild(*options.build);
    if (options.data) {
        try {
            host.SetDataFolder(*options.data);
        } catch (const std::exception& e) {
            std::cerr << fmt::format("vistorb-host: cannot use {} as the data folder: {}\n", *options.data, e.what());
            return 1;
        }
    }
    sim::PluginLoader loader(host);
    sim::ScriptRunner runner(host, loader, std::cout, std::cerr);
    runner.SetDefaultPluginPath(options.plugin);
    const bool liveWindow = options.gui && *options.gui == "window";
    std::unique_ptr<sim::GuiHost> gui = StartGui(options, liveWindow);
    if (!gui) return 1;
    ConnectGui(*gui, host, loader, runner, liveWindow);
    runner.SetScreenshots(liveWindow || options.screenshots);
    if (liveWindow) {
        host.Log("togglemenu Vistorb closes Vistorb's window and opens it again");
        runner.RunLine("threads on", "vistorb-host");  // a person needs live frames
    }

    const int status = RunInput(options, runner, host, liveWindow);

    // A clean end whatever the script left behind: the plugin goes first, then the threads.
    if (loader.Loaded()) runner.RunLine("unload", "vistorb-host");
    if (host.Threaded()) runner.RunLine("threads off", "vistorb-host");
    gui->SetCloseHandler(nullptr);
    runner.SetGuiCommand(nullptr);
    runner.SetThreadSwitch(nullptr);
    runner.SetGuiSide(nullptr);
    runner.SetClipboard({});
    return status;
}

// The simulator's version, then the plugin's as its library's record gives it (nothing of the
// plugin is started).
int PrintVersion(const Options& options) {
    std::cout << "vistorb-host " << VISTORB_VERSION << "\n";
    sim::PluginDescription plugin;
    std::string error;
    if (!sim::PluginLoader::Describe(options.plugin, plugin, error)) {
        std::cerr << fmt::format("vistorb-host: cannot read the plugin {}: {}\n", options.plugin, error);
        return 1;
    }
    std::cout << fmt::format("plugin {} {} (plugin API build {}) from {}\n", plugin.className, plugin.pluginVersion,
                             plugin.apiBuild, options.plugin);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::cout << Help();
            return 0;
        }
    }
    if (!ParseOptions(argc, argv, options, error)) {
        std::cerr << "vistorb-host: " << error << "\n" << kUsage << "(--help also lists the script lines)\n";
        return 2;
    }
    if (options.version) return PrintVersion(options);
#if !defined(VISTORB_NO_WINDOW) && !defined(_WIN32)
    if (options.gui && *options.gui == "window" && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::cerr << "vistorb-host: --gui window needs a display, and there is none (DISPLAY is not set): run it "
                     "on a desktop, or use --gui headless\n";
        return 1;
    }
#endif
    int status = 1;
    std::string failure;
    if (sim::RunCaught([&] { status = Run(options); }, failure)) return status;
    std::cerr << "vistorb-host: " << failure << "\n";
    return 1;
}
