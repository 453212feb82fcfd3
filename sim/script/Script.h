#pragma once
// Scenario scripts: one command a line, from a file or typed at the simulator's console. They
// drive a whole replay session (host set-up, the plugin's load and unload, the replay, time,
// the console, the GUI) and print or check what happened. The language is described in
// README.md under "Scenario scripts".
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/base/Support.h"
#include "sim/loader/State.h"

namespace sim {

class Host;
class PluginLoader;

// Bounds of what one line may ask for.
inline constexpr double kLongestWait = 24 * 3600.0;  // game time, seconds
inline constexpr double kLongestSleep = 600.0;      // real time, seconds
inline constexpr long kMostTicks = 10'000'000;

// One line on its way through a command's handler.
struct ScriptLine {
    std::string text;               // as written, without its line end
    std::vector<ScriptWord> words;  // the verb first
    std::vector<std::string> args;  // the words after the verb
    std::string where;              // "FILE:LINE", the start of every message about it
    std::string usage;              // the verb's usage, from the command table
};

class ScriptRunner {
public:
    enum class Status {
        Ok,
        Failed,   // the line was understood but could not be carried out, or a check failed
        BadLine,  // unknown command, wrong arguments
        Quit,     // "quit": stop reading, all is well
    };
    // A GUI line, without its leading "gui": true when done, else false with a message.
    using GuiCommand = std::function<bool(const std::vector<std::string>& words, std::string& error)>;
    // Starts (true) or stops (false) the GUI host's render thread alongside the game thread.
    using ThreadSwitch = std::function<void(bool on)>;

    // Log lines of the host console are printed to `out` as they arrive, "[console] " first.
    ScriptRunner(Host& host, PluginLoader& loader, std::ostream& out, std::ostream& err);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    void SetDefaultPluginPath(std::string path) { defaultPluginPath = std::move(path); }
    void SetGuiCommand(GuiCommand handler) { guiCommand = std::move(handler); }
    void SetThreadSwitch(ThreadSwitch handler) { threadSwitch = std::move(handler); }
    void SetGuiSide(GuiSideRunner runner) { guiSide = std::move(runner); }
    // The GUI host's clipboard, which "clipboard" lines fill and the state shows. Without one
    // those lines fail and the state's "clipboard" is null.
    struct ClipboardAccess {
        std::function<void(const std::string&)> put;
        std::function<std::string()> read;
    };
    void SetClipboard(ClipboardAccess access) { clipboard = std::move(access); }
    // Without a place for pictures (no window to take them from), "gui screenshot" lines are
    // passed over with a note instead of failing, so one script serves both kinds of run.
    void SetScreenshots(bool enabled) { screenshots = enabled; }

    // Runs one line; `where` ("FILE:LINE") starts every message about it. A failure is
    // reported on the error stream before this returns.
    Status RunLine(const std::string& line, const std::string& where);
    // A whole script: stops at the first line that does not succeed. Exit status: 0 done,
    // 1 a step failed, 2 an unknown or malformed line (or an unreadable script).
    int RunScript(std::istream& in, const std::string& name);
    int RunFile(const std::filesystem::path& path);
    // The console: every line is run, failures are reported and the session carries on, until
    // the input ends or "quit".
    void RunConsole(std::istream& in, const std::string& name, bool prompt);
    // The same, reading through `readLine` (false: the input has ended). A reader that may
    // block should give up once StopRequested() is true.
    void RunConsole(const std::function<bool(std::string&)>& readLine, const std::string& name, bool prompt);

    static int ExitStatus(Status status);
    // Every command with its usage, one a line, in the order of the command table.
    static std::string Help();

    // Ends the run from any thread (the person closed the window): the line that runs
    // finishes (a "sleep" is cut short), no further line starts, and a console whose reader
    // watches StopRequested() stops waiting. The run then ends as if "quit" had been read.
    void RequestStop();
    bool StopRequested() const { return stopRequested; }

    // Output that never tears a log line arriving from another thread.
    void Print(const std::string& text);
    void PrintError(const std::string& text);

private:
    struct PendingFile {
        std::filesystem::path path;
        std::string marker;
        std::string where;
        std::string text;
        bool toClipboard = false;  // "clipboard <<MARKER": the text goes there, not into a file
    };
    using Handler = Status (ScriptRunner::*)(const ScriptLine& line);
    // One verb of the language: what "usage:" says about it, and what runs it.
    struct Command {
        const char* verb;
        std::string usage;
        Handler run;
    };
    static const std::vector<Command>& Commands();

    Status Fail(const std::string& where, const std::string& message, Status status = Status::Failed);
    Status Usage(const ScriptLine& line);  // the line's usage, as a bad line
    // Ends a heredoc that is still open when the input ends.
    Status FinishInput();
    Status Dispatch(const std::string& text, const std::string& where);

    // Handlers (ScriptCommands.cpp, ScriptChecks.cpp), named after their verbs.
    Status Echo(const ScriptLine& line);
    Status Build(const ScriptLine& line);
    Status Data(const ScriptLine& line);
    Status File(const ScriptLine& line);
    Status Load(const ScriptLine& line);
    Status Unload(const ScriptLine& line);
    Status Replay(const ScriptLine& line);
    Status Player(const ScriptLine& line);
    Status Import(const ScriptLine& line);
    Status Time(const ScriptLine& line);  // wait and sleep
    Status Focus(const ScriptLine& line);
    Status Tick(const ScriptLine& line);
    Status Hud(const ScriptLine& line);
    Status Console(const ScriptLine& line);
    Status Key(const ScriptLine& line);
    Status State(const ScriptLine& line);
    Status Camera(const ScriptLine& line);
    Status Threads(const ScriptLine& line);
    Status Expect(const ScriptLine& line);
    Status Log(const ScriptLine& line);
    Status Gui(const ScriptLine& line);
    Status Clipboard(const ScriptLine& line);  // ScriptClipboard.cpp
    Status Quit(const ScriptLine& line);

    // What "load" and "unload" lines do, and "plugin load NAME" / "plugin unload NAME" at the
    // host's console (ScriptPlugins.cpp).
    bool LoadPlugin(const std::string& path, std::string& error);
    void UnloadPlugin();
    void RunPluginCommand(const std::string& verb, const std::string& name);
    // The library a host would load for "plugin load NAME", or empty with a reason.
    std::string PluginPathFor(const std::string& name, std::string& error) const;

    Status WriteFile(const std::filesystem::path& path, const std::string& text, const std::string& where);
    Status PutOnClipboard(const std::string& text, const std::string& where);
    // The state JSON, with the clipboard.
    nlohmann::json SessionState();
    Status ExpectLog(const ScriptLine& line);
    void SleepUnlessStopped(double seconds);

    Host& host;
    PluginLoader& loader;
    std::ostream& out;
    std::ostream& err;
    std::mutex outputLock;

    std::string defaultPluginPath;
    GuiCommand guiCommand;
    ThreadSwitch threadSwitch;
    GuiSideRunner guiSide;
    ClipboardAccess clipboard;
    bool screenshots = true;

    bool pendingFileOpen = false;
    bool readingConsole = false;  // lines typed at the console: a host command needs no "console"
    PendingFile pendingFile;
    std::vector<TemporaryFolder> temporaryFolders;
    size_t camerasSeen = 0;   // camera writes already summed up by "camera"
    size_t logMark = 0;       // log lines before this index are out of reach of "expect log"

    std::atomic<bool> stopRequested{false};
    std::mutex stopLock;
    std::condition_variable stopSignal;
};

// Dotted path into a JSON document: a.b.c, list[2], map[key.with.dots]. Null when absent.
const nlohmann::json* FindJsonPath(const nlohmann::json& document, const std::string& path, std::string& error);

}  // namespace sim
