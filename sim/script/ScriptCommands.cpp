// What the script lines do to the session: the host's set-up, the plugin's load and unload, the
// replay, time, the console, the GUI and the run itself. Checks are in ScriptChecks.cpp.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <system_error>

#include <fmt/format.h>

#include "core/CameraValues.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/script/Script.h"
#include "sim/base/Support.h"

namespace sim {

using Status = ScriptRunner::Status;

namespace {

// A player's own camera when the script gives none: the game's usual defaults.
constexpr ProfileCameraSettings kDefaultPlayerCamera{110.0f, 100.0f, -3.0f, 270.0f, 0.5f, 4.7f, 1.2f};

bool ParseSwitch(const std::string& text, bool& on) {
    if (text == "on") return on = true, true;
    if (text == "off") return on = false, true;
    return false;
}

// The rest of the line after word `after`, as written, without the blanks around it.
std::string Rest(const ScriptLine& line, size_t after) {
    size_t start = line.words[after].end;
    while (start < line.text.size() && (line.text[start] == ' ' || line.text[start] == '\t')) ++start;
    std::string rest = line.text.substr(std::min(start, line.text.size()));
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) rest.pop_back();
    return rest;
}

// What the [camera] line shows of a write: each value under its slider's label.
std::string SettingsLine(const ProfileCameraSettings& settings) {
    std::string text;
    for (const CameraValue& value : kCameraValues)
        text += fmt::format("{}{} {}", text.empty() ? "" : " ", value.sliderLabel, settings.*value.member);
    return text;
}

// A path inside the data folder: relative, and never climbing out of it.
bool DataRelativePath(const std::string& text, std::filesystem::path& path, std::string& error) {
    std::filesystem::path given(text);
    if (text.empty() || given.is_absolute() || given.has_root_name() || given.has_root_directory()) {
        error = fmt::format("'{}' must be a path relative to the data folder", text);
        return false;
    }
    for (const auto& part : given) {
        if (part == "..") {
            error = fmt::format("'{}' must stay inside the data folder", text);
            return false;
        }
    }
    if (!given.has_filename()) {
        error = fmt::format("'{}' names a folder, not a file", text);
        return false;
    }
    path = given;
    return true;
}

}  // namespace

// --- The host's set-up ------------------------------------------------------------------------

Status ScriptRunner::Echo(const ScriptLine& line) {
    // The text as written, indentation included: only the one blank after "echo" goes.
    const size_t start = line.words[0].end + 1;
    std::string text = start < line.text.size() ? line.text.substr(start) : "";
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    Print(text);
    return Status::Ok;
}

Status ScriptRunner::Build(const ScriptLine& line) {
    long build;
    if (line.args.size() != 1 || !ParseInteger(line.args[0], 0, 1'000'000, build)) return Usage(line);
    host.SetBuild(static_cast<int>(build));
    return Status::Ok;
}

Status ScriptRunner::Data(const ScriptLine& line) {
    if (line.args.size() != 1) return Usage(line);
    std::filesystem::path folder = line.args[0];
    if (line.args[0] == "temp") {
        try {
            temporaryFolders.emplace_back("vistorb-data");
        } catch (const std::filesystem::filesystem_error& e) {
            return Fail(line.where, fmt::format("cannot create a temporary data folder: {}", e.code().message()));
        }
        folder = temporaryFolders.back().Path();
    }
    try {
        host.SetDataFolder(folder);
    } catch (const std::exception& e) {
        return Fail(line.where, fmt::format("cannot use {} as the data folder: {}", folder.string(), e.what()));
    }
    Print("[host] data folder " + folder.string());
    return Status::Ok;
}

Status ScriptRunner::File(const ScriptLine& line) {
    if (line.words.size() < 2) return Usage(line);
    std::filesystem::path path;
    std::string error;
    if (!DataRelativePath(line.words[1].text, path, error)) return Fail(line.where, error, Status::BadLine);
    const std::string rest = line.words.size() > 2 ? Rest(line, 1) : "";
    if (rest.rfind("<<", 0) == 0) {
        std::string marker = rest.substr(2);
        marker.erase(0, marker.find_first_not_of(" \t"));
        if (marker.empty() || marker.find_first_of(" \t") != std::string::npos)
            return Fail(line.where, "usage: file PATH <<MARKER (one word ends the text)", Status::BadLine);
        pendingFileOpen = true;
        pendingFile = PendingFile{path, marker, line.where, ""};
        return Status::Ok;
    }
    return WriteFile(path, rest.empty() ? rest : rest + "\n", line.where);
}

Status ScriptRunner::WriteFile(const std::filesystem::path& relative, const std::string& text, const std::string& where) {
    std::filesystem::path folder;
    try {
        folder = host.DataFolder();
    } catch (const std::exception& e) {
        return Fail(where, fmt::format("no data folder: {}", e.what()));
    }
    std::filesystem::path path = folder / relative;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) return Fail(where, fmt::format("cannot create {}: {}", path.parent_path().string(), ec.message()));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (file) file.close();
    if (!file) return Fail(where, fmt::format("cannot write {}", path.string()));
    Print(fmt::format("[host] placed {} ({} bytes) in the data folder", relative.generic_string(), text.size()));
    return Status::Ok;
}

// --- The plugin -------------------------------------------------------------------------------

Status ScriptRunner::Load(const ScriptLine& line) {
    if (line.args.size() > 1) return Usage(line);
    const std::string path = line.args.empty() ? defaultPluginPath : line.args[0];
    if (path.empty()) return Fail(line.where, "no plugin path: give one (load PATH)", Status::BadLine);
    std::string error;
    if (!LoadPlugin(path, error)) return Fail(line.where, error);
    return Status::Ok;
}

Status ScriptRunner::Unload(const ScriptLine& line) {
    if (!line.args.empty()) return Usage(line);
    if (!loader.Loaded()) return Fail(line.where, "no plugin is loaded");
    UnloadPlugin();
    return Status::Ok;
}

// --- The replay -------------------------------------------------------------------------------

Status ScriptRunner::Replay(const ScriptLine& line) {
    const std::vector<std::string>& args = line.args;
    bool on = false;
    if (args.size() == 1 && args[0] == "open") {
        host.OpenReplay();
    } else if (args.size() == 1 && args[0] == "close") {
        host.CloseReplay();
    } else if (args.size() == 2 && args[0] == "camera" && ParseSwitch(args[1], on)) {
        host.SetCameraPresent(on);
    } else if (args.size() == 2 && args[0] == "server" && ParseSwitch(args[1], on)) {
        host.SetServerPresent(on);
    } else {
        return Usage(line);
    }
    return Status::Ok;
}

Status ScriptRunner::Player(const ScriptLine& line) {
    const std::vector<std::string>& args = line.args;
    PlayerSpec setup;
    if (args.size() == 1 && args[0] == "null") {
        setup.nullRecord = true;
        host.AddPlayer(setup);
        return Status::Ok;
    }
    if (args.size() == 1 && args[0] == "clear") {
        host.ClearPlayers();
        return Status::Ok;
    }
    setup.bot = !args.empty() && args[0] == "bot";
    const size_t named = setup.bot ? 2 : 3;  // "bot NAME" or "human UNIQUEID NAME"
    if (args.empty() || (args[0] != "human" && !setup.bot) || args.size() < named) return Usage(line);
    if (!setup.bot) setup.uniqueId = args[1];
    setup.name = args[named - 1];
    std::vector<std::string> values(args.begin() + static_cast<long>(named), args.end());
    if (!values.empty() && values.back() == "nocamera") {
        setup.hasCameraObject = false;
        values.pop_back();
    }
    setup.camera = kDefaultPlayerCamera;
    if (!values.empty() && values.size() != std::size(kCameraValues))
        return Fail(line.where, "a player's camera takes all seven values", Status::BadLine);
    for (size_t i = 0; i < values.size(); ++i) {
        double number;
        if (!ParseNumber(values[i], number))
            return Fail(line.where, fmt::format("'{}' is not a number", values[i]), Status::BadLine);
        setup.camera.*kCameraValues[i].member = static_cast<float>(number);
    }
    host.AddPlayer(setup);
    return Status::Ok;
}

Status ScriptRunner::Import(const ScriptLine& line) {
    if (!line.args.empty()) return Usage(line);
    host.ImportReplay();
    return Status::Ok;
}

Status ScriptRunner::Focus(const ScriptLine& line) {
    if (line.args.size() != 1) return Usage(line);
    host.MoveFocus(line.args[0]);
    return Status::Ok;
}

Status ScriptRunner::Hud(const ScriptLine& line) {
    if (line.args.size() != 1 || line.args[0] != "destroy") return Usage(line);
    host.DestroyHud();
    return Status::Ok;
}

// --- Time -------------------------------------------------------------------------------------

Status ScriptRunner::Time(const ScriptLine& line) {
    const bool game = line.words[0].text == "wait";
    double seconds;
    if (line.args.size() != 1 || !ParseNumber(line.args[0], seconds) || !(seconds >= 0) ||
        seconds > (game ? kLongestWait : kLongestSleep))
        return Usage(line);
    if (game)
        host.Wait(seconds);  // game time: due timers fire, queued work runs
    else
        SleepUnlessStopped(seconds);  // real time, for the threads
    return Status::Ok;
}

Status ScriptRunner::Tick(const ScriptLine& line) {
    long count = 1;
    if (line.args.size() > 1 || (line.args.size() == 1 && !ParseInteger(line.args[0], 0, kMostTicks, count)))
        return Usage(line);
    host.Tick(static_cast<int>(count));
    return Status::Ok;
}

Status ScriptRunner::Threads(const ScriptLine& line) {
    bool on;
    if (line.args.size() != 1 || !ParseSwitch(line.args[0], on)) return Usage(line);
    if (on == host.Threaded()) return Status::Ok;
    if (on) {
        host.StartGameThread(true);
        if (threadSwitch) threadSwitch(true);
        Print("[host] threads on: the game thread ticks the replay on its own");
    } else {
        if (threadSwitch) threadSwitch(false);
        host.StopGameThread();
        Print("[host] threads off: the game moves only when the script says so");
    }
    return Status::Ok;
}

// --- The console, the GUI, what is shown ------------------------------------------------------

Status ScriptRunner::Console(const ScriptLine& line) {
    if (line.words.size() < 2) return Usage(line);
    const std::string command = Rest(line, 0);
    Print("> " + command);
    host.RunConsoleLine(command);
    return Status::Ok;
}

Status ScriptRunner::Key(const ScriptLine& line) {
    if (line.args.size() != 1) return Usage(line);
    const std::optional<std::string> command = host.BoundCommand(line.args[0]);
    if (!command) {
        Print(fmt::format("[host] key {}: nothing is bound to it", line.args[0]));
        return Status::Ok;
    }
    Print(fmt::format("[host] key {} runs: {}", line.args[0], *command));
    host.PressKey(line.args[0]);
    return Status::Ok;
}

Status ScriptRunner::Gui(const ScriptLine& line) {
    const std::vector<std::string>& args = line.args;
    if (args.empty()) return Usage(line);
    if (args[0] == "screenshot" && (args.size() == 2 || args.size() == 3) && !screenshots) {
        Print(fmt::format("[host] no screenshot {} taken: run with --screenshots DIR to keep pictures", args[1]));
        return Status::Ok;
    }
    if (!guiCommand) return Fail(line.where, "no GUI host is running");
    std::string error;
    if (!guiCommand(args, error)) return Fail(line.where, error);
    return Status::Ok;
}

Status ScriptRunner::State(const ScriptLine& line) {
    if (!line.args.empty()) return Usage(line);
    Print(DumpJson(SessionState(), 2));
    return Status::Ok;
}

Status ScriptRunner::Camera(const ScriptLine& line) {
    if (!line.args.empty()) return Usage(line);
    const CameraSnapshot camera = host.Camera();
    const size_t fresh = camera.writes.size() > camerasSeen ? camera.writes.size() - camerasSeen : 0;
    camerasSeen = camera.writes.size();
    const std::string focus = camera.focusActor.empty() ? "nobody" : camera.focusActor;
    if (fresh == 0) {
        Print(fmt::format("[camera] no new writes (following {})", focus));
        return Status::Ok;
    }
    const CameraWrite& last = camera.writes.back();
    Print(fmt::format("[camera] {} new write{}, last at tick {} for {}: {}", fresh, fresh == 1 ? "" : "s", last.tick,
                      last.focusActor.empty() ? "nobody" : last.focusActor, SettingsLine(last.settings)));
    return Status::Ok;
}

Status ScriptRunner::Quit(const ScriptLine& line) {
    if (!line.args.empty()) return Usage(line);
    return Status::Quit;
}

}  // namespace sim
