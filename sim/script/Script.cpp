// The script runner: lines in, the command table, the run's end. What each verb does is in
// ScriptCommands.cpp (the session) and ScriptChecks.cpp (expect, log).
#include "sim/script/Script.h"

#include <cctype>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

#include <fmt/format.h>

#include "core/CameraValues.h"
#include "sim/game/Host.h"
#include "sim/base/Support.h"

namespace sim {

using Status = ScriptRunner::Status;

namespace {


std::string PlayerUsage() {
    std::string values;
    for (const CameraValue& value : kCameraValues) {
        values += values.empty() ? "" : " ";
        for (const char* c = value.consoleName; *c; ++c) values += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    }
    return fmt::format("player human UNIQUEID NAME [{}] [nocamera] | player bot NAME [{} values] [nocamera]"
                       " | player null | player clear",
                       values, std::size(kCameraValues));
}

}  // namespace

// The language, verb by verb, in the order "--help" lists them.
const std::vector<ScriptRunner::Command>& ScriptRunner::Commands() {
    static const std::vector<Command> commands = {
        {"build", "build NUMBER", &ScriptRunner::Build},
        {"data", "data PATH | data temp", &ScriptRunner::Data},
        {"file", "file PATH [TEXT] | file PATH <<MARKER", &ScriptRunner::File},
        {"clipboard", "clipboard [TEXT] | clipboard <<MARKER", &ScriptRunner::Clipboard},
        {"load", "load [PATH]", &ScriptRunner::Load},
        {"unload", "unload", &ScriptRunner::Unload},
        {"replay", "replay open | replay close | replay camera on|off | replay server on|off", &ScriptRunner::Replay},
        {"player", PlayerUsage(), &ScriptRunner::Player},
        {"import", "import", &ScriptRunner::Import},
        {"wait", fmt::format("wait SECONDS (0 to {})", kLongestWait), &ScriptRunner::Time},
        {"sleep", fmt::format("sleep SECONDS (0 to {})", kLongestSleep), &ScriptRunner::Time},
        {"focus", "focus FOCUSID", &ScriptRunner::Focus},
        {"tick", fmt::format("tick [COUNT] (0 to {})", kMostTicks), &ScriptRunner::Tick},
        {"hud", "hud destroy", &ScriptRunner::Hud},
        {"console", "console LINE", &ScriptRunner::Console},
        {"key", "key KEY", &ScriptRunner::Key},
        {"camera", "camera", &ScriptRunner::Camera},
        {"state", "state", &ScriptRunner::State},
        {"echo", "echo TEXT", &ScriptRunner::Echo},
        {"threads", "threads on|off", &ScriptRunner::Threads},
        {"expect", "expect PATH VALUE | expect count PATH N | expect log TEXT | expect nolog TEXT | expect logcount N",
         &ScriptRunner::Expect},
        {"log", "log mark", &ScriptRunner::Log},
        {"gui", "gui COMMAND [ARGUMENTS]", &ScriptRunner::Gui},
        {"quit", "quit", &ScriptRunner::Quit},
    };
    return commands;
}

std::string ScriptRunner::Help() {
    std::string text;
    for (const Command& command : Commands()) text += "  " + command.usage + "\n";
    return text;
}

// --- The runner -------------------------------------------------------------------------------

ScriptRunner::ScriptRunner(Host& owner, PluginLoader& plugins, std::ostream& output, std::ostream& errors)
    : host(owner), loader(plugins), out(output), err(errors) {
    host.SetLogEcho([this](const std::string& text) { Print("[console] " + text); });
    host.SetPluginHandler([this](const std::string& verb, const std::string& name) { RunPluginCommand(verb, name); });
}

ScriptRunner::~ScriptRunner() {
    host.SetLogEcho(nullptr);
    host.SetPluginHandler(nullptr);
}

void ScriptRunner::Print(const std::string& text) {
    std::lock_guard<std::mutex> lock(outputLock);
    out << text << '\n' << std::flush;
}

void ScriptRunner::PrintError(const std::string& text) {
    std::lock_guard<std::mutex> lock(outputLock);
    out << std::flush;
    err << text << '\n' << std::flush;
}

int ScriptRunner::ExitStatus(Status status) {
    switch (status) {
        case Status::Ok:
        case Status::Quit:
            return 0;
        case Status::Failed:
            return 1;
        case Status::BadLine:
            return 2;
    }
    return 1;
}

Status ScriptRunner::Fail(const std::string& where, const std::string& message, Status status) {
    PrintError(where + ": " + message);
    return status;
}

Status ScriptRunner::Usage(const ScriptLine& line) { return Fail(line.where, "usage: " + line.usage, Status::BadLine); }

void ScriptRunner::RequestStop() {
    {
        std::lock_guard<std::mutex> lock(stopLock);
        stopRequested = true;
    }
    stopSignal.notify_all();
}

void ScriptRunner::SleepUnlessStopped(double seconds) {
    std::unique_lock<std::mutex> lock(stopLock);
    stopSignal.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return stopRequested.load(); });
}

// --- One line ---------------------------------------------------------------------------------

Status ScriptRunner::RunLine(const std::string& rawLine, const std::string& where) {
    std::string text = rawLine;
    if (!text.empty() && text.back() == '\r') text.pop_back();  // scripts written on Windows
    Status status = Status::Failed;
    std::string failure;
    if (!RunCaught([&] { status = Dispatch(text, where); }, failure)) return Fail(where, failure);
    return status;
}

Status ScriptRunner::Dispatch(const std::string& text, const std::string& where) {
    if (pendingFileOpen) {
        if (text == pendingFile.marker) {
            pendingFileOpen = false;
            if (pendingFile.toClipboard) return PutOnClipboard(pendingFile.text, pendingFile.where);
            return WriteFile(pendingFile.path, pendingFile.text, pendingFile.where);
        }
        pendingFile.text += text + "\n";
        return Status::Ok;
    }
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] == '#') return Status::Ok;  // blank, or a comment
    ScriptLine line;
    std::string error;
    if (!SplitScriptLine(text, line.words, error)) return Fail(where, error, Status::BadLine);
    if (line.words.empty()) return Status::Ok;
    const std::string& verb = line.words[0].text;
    for (const Command& command : Commands()) {
        if (verb != command.verb) continue;
        line.text = text;
        for (size_t i = 1; i < line.words.size(); ++i) line.args.push_back(line.words[i].text);
        line.where = where;
        line.usage = command.usage;
        return (this->*command.run)(line);
    }
    if (!readingConsole) return Fail(where, fmt::format("unknown command '{}'", verb), Status::BadLine);
    // Anyone who knows the host types its console's lines as they are.
    if (!host.IsOwnCommand(verb) && host.Notifiers().count(verb) == 0)
        return Fail(where, fmt::format("unknown command '{}': neither a script command nor one of the host console",
                                       verb),
                    Status::BadLine);
    Print("> " + text.substr(first));
    host.RunConsoleLine(text.substr(first));
    return Status::Ok;
}

Status ScriptRunner::FinishInput() {
    if (!pendingFileOpen) return Status::Ok;
    pendingFileOpen = false;
    const std::string what = pendingFile.toClipboard ? "the clipboard" : pendingFile.path.generic_string();
    return Fail(pendingFile.where, fmt::format("the text of {} never ends: no line '{}' follows", what, pendingFile.marker),
                Status::BadLine);
}

// --- Whole inputs -----------------------------------------------------------------------------

int ScriptRunner::RunScript(std::istream& in, const std::string& name) {
    std::string line;
    int number = 0;
    while (!stopRequested && std::getline(in, line)) {
        ++number;
        Status status = RunLine(line, fmt::format("{}:{}", name, number));
        if (status == Status::Quit) return 0;
        if (status != Status::Ok) return ExitStatus(status);
    }
    if (stopRequested) return 0;
    if (in.bad()) {
        PrintError(fmt::format("{}: reading failed after line {}", name, number));
        return 2;
    }
    return ExitStatus(FinishInput());
}

int ScriptRunner::RunFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        PrintError(fmt::format("{}: cannot read the script: it is a folder", path.string()));
        return 2;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        PrintError(fmt::format("{}: cannot read the script: {}", path.string(), std::strerror(errno)));
        return 2;
    }
    return RunScript(in, path.string());
}

void ScriptRunner::RunConsole(std::istream& in, const std::string& name, bool prompt) {
    RunConsole([&in](std::string& line) { return static_cast<bool>(std::getline(in, line)); }, name, prompt);
}

void ScriptRunner::RunConsole(const std::function<bool(std::string&)>& readLine, const std::string& name,
                              bool prompt) {
    readingConsole = true;
    std::string line;
    int number = 0;
    while (!stopRequested) {
        if (prompt) {
            std::lock_guard<std::mutex> lock(outputLock);
            out << (pendingFileOpen ? "... " : "vistorb> ") << std::flush;
        }
        if (!readLine(line) || stopRequested) break;
        ++number;
        if (RunLine(line, fmt::format("{}:{}", name, number)) == Status::Quit) break;
    }
    readingConsole = false;
    FinishInput();
}

}  // namespace sim
