#pragma once
// Scenario scripts: one command a line, from a file or typed at the simulator's console. They
// drive a whole replay session (host set-up, the plugin's load and unload, the replay, time,
// the console, the GUI) and print or check what happened. The language is described in
// README.md under "Scenario scripts".
#include <cstddef>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/State.h"

namespace sim {

class Host;
class PluginLoader;

// A script line cut into words: blanks separate, double quotes group (and may hold \" and \\).
struct ScriptWord {
    std::string text;
    size_t end = 0;  // offset just past the word in the line, quotes included
};
// False, with a reason, for a line whose quotes do not close.
bool SplitScriptLine(const std::string& line, std::vector<ScriptWord>& words, std::string& error);

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

    static int ExitStatus(Status status);

    // Output that never tears a log line arriving from another thread.
    void Print(const std::string& text);
    void PrintError(const std::string& text);

private:
    struct PendingFile {
        std::filesystem::path path;
        std::string marker;
        std::string where;
        std::string text;
    };

    Status Run(const std::string& line, const std::vector<ScriptWord>& words, const std::string& where);
    Status Fail(const std::string& where, const std::string& message, Status status = Status::Failed);
    // Ends a heredoc that is still open when the input ends.
    Status FinishInput();

    Status Build(const std::vector<std::string>& args, const std::string& where);
    Status Data(const std::vector<std::string>& args, const std::string& where);
    Status File(const std::string& line, const std::vector<ScriptWord>& words, const std::string& where);
    Status WriteFile(const std::filesystem::path& path, const std::string& text, const std::string& where);
    Status Load(const std::vector<std::string>& args, const std::string& where);
    Status Unload(const std::vector<std::string>& args, const std::string& where);
    Status Replay(const std::vector<std::string>& args, const std::string& where);
    Status Player(const std::vector<std::string>& args, const std::string& where);
    Status Time(const std::string& verb, const std::vector<std::string>& args, const std::string& where);
    Status Tick(const std::vector<std::string>& args, const std::string& where);
    Status Threads(const std::vector<std::string>& args, const std::string& where);
    Status Expect(const std::vector<std::string>& args, const std::string& where);
    Status Log(const std::vector<std::string>& args, const std::string& where);
    void PrintCamera();

    Host& host;
    PluginLoader& loader;
    std::ostream& out;
    std::ostream& err;
    std::mutex outputLock;

    std::string defaultPluginPath;
    GuiCommand guiCommand;
    ThreadSwitch threadSwitch;
    GuiSideRunner guiSide;
    bool screenshots = true;

    bool pendingFileOpen = false;
    PendingFile pendingFile;
    std::vector<std::filesystem::path> temporaryFolders;
    size_t camerasSeen = 0;   // camera writes already summed up by "camera"
    size_t logMark = 0;       // log lines before this index are out of reach of "expect log"
};

// Dotted path into a JSON document: a.b.c, list[2], map[key.with.dots]. Null when absent.
const nlohmann::json* FindJsonPath(const nlohmann::json& document, const std::string& path, std::string& error);

}  // namespace sim
