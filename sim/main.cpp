// vistorb-host: the host simulator. Loads the plugin library the way the host does and plays a
// replay session from a scenario script, the built-in demo, or lines typed at its console.
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "sim/Demo.h"
#include "sim/GuiHost.h"
#include "sim/GuiScript.h"
#include "sim/Host.h"
#include "sim/Loader.h"
#include "sim/Script.h"

namespace {

constexpr const char* kUsage =
    "usage: vistorb-host [--plugin PATH] [--script FILE | --demo] [--data DIR] [--build N]\n"
    "                    [--console] [--gui headless|window] [--screenshots DIR]\n"
    "\n"
    "  --plugin PATH      the plugin library that 'load' loads (default: the built Vistorb.so)\n"
    "  --script FILE      run a scenario script\n"
    "  --demo             run the built-in demo session\n"
    "  --data DIR         the host's data folder (created when missing; default: a fresh\n"
    "                     temporary folder, removed at exit)\n"
    "  --build N          the host build number (default 160; 162 reads cameras from memory)\n"
    "  --console          after the script, read more lines from standard input\n"
    "  --gui MODE         the GUI host: headless (default, off-screen) or window (on screen,\n"
    "                     live mouse and keyboard, threads on)\n"
    "  --screenshots DIR  keep the scripts' screenshots there (renders into a hidden window;\n"
    "                     without a display run under xvfb-run -a)\n"
    "\n"
    "Without --script or --demo the plugin is loaded at once and the console reads standard\n"
    "input. Exit status: 0 done, 1 a step failed, 2 a bad option or script line.\n";

struct Options {
    std::string plugin = VISTORB_PLUGIN_PATH;
    std::optional<std::string> script;
    bool demo = false;
    std::optional<std::string> data;
    std::optional<int> build;
    bool console = false;
    std::optional<std::string> gui;
    std::optional<std::string> screenshots;
};

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
            if (!value(options.plugin)) return false;
        } else if (arg == "--script") {
            if (!value(text)) return false;
            options.script = text;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--data") {
            if (!value(text)) return false;
            options.data = text;
        } else if (arg == "--build") {
            if (!value(text)) return false;
            char* end = nullptr;
            long build = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || build < 0 || build > 1'000'000) {
                error = "--build needs a whole number, not '" + text + "'";
                return false;
            }
            options.build = static_cast<int>(build);
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
            options.screenshots = text;
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

    // The GUI host draws whatever plugin the loader holds and lets go of it before it unloads;
    // the console's menu commands reach it. Off-screen unless a window is asked for, or
    // pictures are: those are read back from a (hidden) window.
    const bool liveWindow = options.gui && *options.gui == "window";
    sim::GuiHostOptions guiOptions;
    guiOptions.window = liveWindow || options.screenshots.has_value();
    guiOptions.visible = liveWindow;
    guiOptions.liveInput = liveWindow;
    guiOptions.screenshotFolder = options.screenshots.value_or("");
    std::unique_ptr<sim::GuiHost> gui;
    try {
        gui = std::make_unique<sim::GuiHost>(guiOptions);
    } catch (const std::exception& e) {
        std::cerr << fmt::format("vistorb-host: cannot start the GUI host: {}\n", e.what());
        return 1;
    }
    gui->Follow(loader);
    gui->ConnectMenus(host);
    runner.SetGuiCommand([&](const std::vector<std::string>& words, std::string& error) {
        return sim::RunGuiScriptCommand(*gui, words, error, [&](const std::string& text) { runner.Print(text); });
    });
    runner.SetThreadSwitch([&](bool on) {
        if (on)
            gui->StartRenderThread();
        else
            gui->StopRenderThread();
    });
    runner.SetGuiSide([&](const std::function<void()>& work) { gui->RunOnGuiSide(work); });
    runner.SetScreenshots(guiOptions.window);
    if (liveWindow) runner.RunLine("threads on", "vistorb-host");  // a person needs live frames

    int status = 0;
    bool console = options.console;
    if (options.demo) {
        std::istringstream demo(sim::DemoScript());
        status = runner.RunScript(demo, "demo.vsim");
    } else if (options.script) {
        status = runner.RunFile(*options.script);
    } else {
        status = sim::ScriptRunner::ExitStatus(runner.RunLine("load", "vistorb-host"));
        console = true;
    }
    if (console && status == 0) runner.RunConsole(std::cin, "console", isatty(STDIN_FILENO) != 0);

    // A clean end whatever the script left behind: the plugin goes first, then the threads.
    if (loader.Loaded()) runner.RunLine("unload", "vistorb-host");
    if (host.Threaded()) runner.RunLine("threads off", "vistorb-host");
    runner.SetGuiCommand(nullptr);
    runner.SetThreadSwitch(nullptr);
    runner.SetGuiSide(nullptr);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    if (!ParseOptions(argc, argv, options, error)) {
        std::cerr << "vistorb-host: " << error << "\n" << kUsage;
        return 2;
    }
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << "vistorb-host: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "vistorb-host: failed with an unknown exception\n";
    }
    return 1;
}
