#include "sim/Script.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>
#include <thread>

#include <fmt/format.h>

#include "sim/Host.h"
#include "sim/Loader.h"
#include "sim/TempFolder.h"

namespace sim {

namespace {

using Status = ScriptRunner::Status;
using nlohmann::json;

// A player's own camera when the script gives none: the game's usual defaults.
constexpr ProfileCameraSettings kDefaultPlayerCamera{110.0f, 100.0f, -3.0f, 270.0f, 0.5f, 4.7f, 1.2f};

constexpr double kLongestWait = 24 * 3600.0;  // game time
constexpr double kLongestSleep = 600.0;      // real time
constexpr long kMostTicks = 10'000'000;

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno != ERANGE;
}

bool ParseInteger(const std::string& text, long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end == text.c_str() + text.size() && errno != ERANGE;
}

bool ParseSwitch(const std::string& text, bool& on) {
    if (text == "on") return on = true, true;
    if (text == "off") return on = false, true;
    return false;
}

std::string Rest(const std::string& line, const std::vector<ScriptWord>& words, size_t after) {
    size_t start = words[after].end;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    std::string rest = line.substr(std::min(start, line.size()));
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) rest.pop_back();
    return rest;
}

std::string Join(const std::vector<std::string>& words, size_t from) {
    std::string text;
    for (size_t i = from; i < words.size(); ++i) text += (i > from ? " " : "") + words[i];
    return text;
}

std::string SettingsLine(const ProfileCameraSettings& s) {
    return fmt::format("FOV {} Height {} Angle {} Distance {} Stiffness {} SwivelSpeed {} TransitionSpeed {}", s.FOV,
                       s.Height, s.Pitch, s.Distance, s.Stiffness, s.SwivelSpeed, s.TransitionSpeed);
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

bool SameValue(const json& actual, const std::string& expected) {
    if (actual.is_number()) {
        double want;
        if (!ParseNumber(expected, want)) return false;
        double have = actual.get<double>();
        if (std::isnan(want) || std::isnan(have)) return std::isnan(want) && std::isnan(have);
        if (std::isinf(want) || std::isinf(have)) return want == have;
        // The state shows floats widened to double; a script writes them as decimals.
        return std::fabs(have - want) <= 1e-6 * std::max({1.0, std::fabs(have), std::fabs(want)});
    }
    if (actual.is_boolean()) return expected == (actual.get<bool>() ? "true" : "false");
    if (actual.is_string()) return actual.get<std::string>() == expected;
    if (actual.is_null()) return expected == "null";
    return actual.dump() == expected;
}

}  // namespace

bool SplitScriptLine(const std::string& line, std::vector<ScriptWord>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        ScriptWord word;
        bool quoted = false;
        while (i < line.size()) {
            c = line[i];
            if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) break;
            if (c == '"') {
                quoted = !quoted;
                ++i;
            } else if (quoted && c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word.text += line[i + 1];
                i += 2;
            } else {
                word.text += c;
                ++i;
            }
        }
        if (quoted) {
            error = "a double quote is not closed";
            return false;
        }
        word.end = i;
        words.push_back(std::move(word));
    }
    return true;
}

const json* FindJsonPath(const json& document, const std::string& path, std::string& error) {
    const json* node = &document;
    size_t i = 0;
    auto member = [&](const std::string& key) -> bool {
        if (!node->is_object() || !node->contains(key)) {
            error = fmt::format("'{}' has no member '{}'", path, key);
            return false;
        }
        node = &(*node)[key];
        return true;
    };
    while (i < path.size()) {
        if (path[i] == '.') {
            ++i;
            continue;
        }
        if (path[i] == '[') {
            // [2] indexes a list; [key] names a member, for keys a dot would cut apart.
            size_t close = path.find(']', i);
            if (close == std::string::npos) break;
            std::string inside = path.substr(i + 1, close - i - 1);
            if (inside.size() >= 2 && inside.front() == '"' && inside.back() == '"')
                inside = inside.substr(1, inside.size() - 2);
            i = close + 1;
            if (node->is_object()) {
                if (!member(inside)) return nullptr;
                continue;
            }
            long index;
            if (!ParseInteger(inside, index)) {
                i = std::string::npos;
                break;
            }
            if (!node->is_array() || index < 0 || static_cast<size_t>(index) >= node->size()) {
                error = fmt::format("'{}' has no element [{}]", path, index);
                return nullptr;
            }
            node = &(*node)[static_cast<size_t>(index)];
            continue;
        }
        size_t end = path.find_first_of(".[", i);
        if (end == std::string::npos) end = path.size();
        if (!member(path.substr(i, end - i))) return nullptr;
        i = end;
    }
    if (i != path.size()) {
        error = fmt::format("'{}' is not a path (a.b, a[2], a[key])", path);
        return nullptr;
    }
    return node;
}

ScriptRunner::ScriptRunner(Host& owner, PluginLoader& plugins, std::ostream& output, std::ostream& errors)
    : host(owner), loader(plugins), out(output), err(errors) {
    host.SetLogEcho([this](const std::string& text) { Print("[console] " + text); });
}

ScriptRunner::~ScriptRunner() {
    host.SetLogEcho(nullptr);
    for (const auto& folder : temporaryFolders) {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
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

Status ScriptRunner::RunLine(const std::string& rawLine, const std::string& where) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // scripts written on Windows
    try {
        if (pendingFileOpen) {
            if (line == pendingFile.marker) {
                pendingFileOpen = false;
                return WriteFile(pendingFile.path, pendingFile.text, pendingFile.where);
            }
            pendingFile.text += line + "\n";
            return Status::Ok;
        }
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') return Status::Ok;  // blank, or a comment
        std::vector<ScriptWord> words;
        std::string error;
        if (!SplitScriptLine(line, words, error)) return Fail(where, error, Status::BadLine);
        if (words.empty()) return Status::Ok;
        return Run(line, words, where);
    } catch (const std::exception& e) {
        return Fail(where, fmt::format("{}", e.what()));
    } catch (...) {
        return Fail(where, "failed with an unknown exception");
    }
}

Status ScriptRunner::Run(const std::string& line, const std::vector<ScriptWord>& words, const std::string& where) {
    const std::string& verb = words[0].text;
    std::vector<std::string> args;
    for (size_t i = 1; i < words.size(); ++i) args.push_back(words[i].text);
    auto arity = [&](size_t count, const char* usage) {
        return args.size() == count ? Status::Ok : Fail(where, fmt::format("usage: {}", usage), Status::BadLine);
    };

    if (verb == "echo") {
        // The text as written, indentation included: only the one blank after "echo" goes.
        size_t start = words[0].end + 1;
        std::string text = start < line.size() ? line.substr(start) : "";
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
        Print(text);
        return Status::Ok;
    }
    if (verb == "build") return Build(args, where);
    if (verb == "data") return Data(args, where);
    if (verb == "file") return File(line, words, where);
    if (verb == "load") return Load(args, where);
    if (verb == "unload") return Unload(args, where);
    if (verb == "replay") return Replay(args, where);
    if (verb == "player") return Player(args, where);
    if (verb == "import") {
        if (arity(0, "import") != Status::Ok) return Status::BadLine;
        host.ImportReplay();
        return Status::Ok;
    }
    if (verb == "wait" || verb == "sleep") return Time(verb, args, where);
    if (verb == "focus") {
        if (arity(1, "focus FOCUSID") != Status::Ok) return Status::BadLine;
        host.MoveFocus(args[0]);
        return Status::Ok;
    }
    if (verb == "tick") return Tick(args, where);
    if (verb == "hud") {
        if (args.size() != 1 || args[0] != "destroy") return Fail(where, "usage: hud destroy", Status::BadLine);
        host.DestroyHud();
        return Status::Ok;
    }
    if (verb == "console") {
        if (words.size() < 2) return Fail(where, "usage: console LINE", Status::BadLine);
        std::string command = Rest(line, words, 0);
        Print("> " + command);
        host.RunConsoleLine(command);
        return Status::Ok;
    }
    if (verb == "state") {
        if (arity(0, "state") != Status::Ok) return Status::BadLine;
        Print(StateJson(host, loader, guiSide).dump(2));
        return Status::Ok;
    }
    if (verb == "camera") {
        if (arity(0, "camera") != Status::Ok) return Status::BadLine;
        PrintCamera();
        return Status::Ok;
    }
    if (verb == "threads") return Threads(args, where);
    if (verb == "expect") return Expect(args, where);
    if (verb == "log") return Log(args, where);
    if (verb == "gui") {
        if (args.empty()) return Fail(where, "usage: gui COMMAND [ARGUMENTS]", Status::BadLine);
        if (args[0] == "screenshot" && args.size() == 2 && !screenshots) {
            Print(fmt::format("[host] no screenshot {} taken: run with --screenshots DIR to keep pictures", args[1]));
            return Status::Ok;
        }
        if (!guiCommand) return Fail(where, "no GUI host is running");
        std::string error;
        if (!guiCommand(args, error)) return Fail(where, error);
        return Status::Ok;
    }
    if (verb == "quit") return arity(0, "quit") == Status::Ok ? Status::Quit : Status::BadLine;
    return Fail(where, fmt::format("unknown command '{}'", verb), Status::BadLine);
}

Status ScriptRunner::Build(const std::vector<std::string>& args, const std::string& where) {
    long build;
    if (args.size() != 1 || !ParseInteger(args[0], build) || build < 0 || build > 1'000'000)
        return Fail(where, "usage: build NUMBER", Status::BadLine);
    host.SetBuild(static_cast<int>(build));
    return Status::Ok;
}

Status ScriptRunner::Data(const std::vector<std::string>& args, const std::string& where) {
    if (args.size() != 1) return Fail(where, "usage: data PATH | data temp", Status::BadLine);
    std::filesystem::path folder = args[0];
    if (args[0] == "temp") {
        try {
            folder = MakeTempFolder("vistorb-data");
        } catch (const std::exception& e) {
            return Fail(where, fmt::format("cannot create a temporary data folder: {}", e.what()));
        }
        temporaryFolders.push_back(folder);
    }
    try {
        host.SetDataFolder(folder);
    } catch (const std::exception& e) {
        return Fail(where, fmt::format("cannot use {} as the data folder: {}", folder.string(), e.what()));
    }
    Print("[host] data folder " + folder.string());
    return Status::Ok;
}

Status ScriptRunner::File(const std::string& line, const std::vector<ScriptWord>& words, const std::string& where) {
    if (words.size() < 2) return Fail(where, "usage: file PATH [TEXT] | file PATH <<MARKER", Status::BadLine);
    std::filesystem::path path;
    std::string error;
    if (!DataRelativePath(words[1].text, path, error)) return Fail(where, error, Status::BadLine);
    std::string rest = words.size() > 2 ? Rest(line, words, 1) : "";
    if (rest.rfind("<<", 0) == 0) {
        std::string marker = rest.substr(2);
        marker.erase(0, marker.find_first_not_of(" \t"));
        if (marker.empty() || marker.find_first_of(" \t") != std::string::npos)
            return Fail(where, "usage: file PATH <<MARKER (one word ends the text)", Status::BadLine);
        pendingFileOpen = true;
        pendingFile = PendingFile{path, marker, where, ""};
        return Status::Ok;
    }
    return WriteFile(path, rest.empty() ? rest : rest + "\n", where);
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

Status ScriptRunner::FinishInput() {
    if (!pendingFileOpen) return Status::Ok;
    pendingFileOpen = false;
    return Fail(pendingFile.where,
                fmt::format("the text of {} never ends: no line '{}' follows", pendingFile.path.generic_string(),
                            pendingFile.marker),
                Status::BadLine);
}

Status ScriptRunner::Load(const std::vector<std::string>& args, const std::string& where) {
    if (args.size() > 1) return Fail(where, "usage: load [PATH]", Status::BadLine);
    std::string path = args.empty() ? defaultPluginPath : args[0];
    if (path.empty()) return Fail(where, "no plugin path: give one (load PATH)", Status::BadLine);
    std::string error;
    if (!loader.Load(path, error)) return Fail(where, error);
    const PluginDescription& plugin = loader.Description();
    Print(fmt::format("[host] loaded {} {} (plugin API build {}) from {}", plugin.className, plugin.pluginVersion,
                      plugin.apiBuild, path));
    return Status::Ok;
}

Status ScriptRunner::Unload(const std::vector<std::string>& args, const std::string& where) {
    if (!args.empty()) return Fail(where, "usage: unload", Status::BadLine);
    if (!loader.Loaded()) return Fail(where, "no plugin is loaded");
    std::string name = loader.Description().className;
    loader.Unload();
    Print("[host] unloaded " + name);
    return Status::Ok;
}

Status ScriptRunner::Replay(const std::vector<std::string>& args, const std::string& where) {
    const char* usage = "usage: replay open | replay close | replay camera on|off | replay server on|off";
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
        return Fail(where, usage, Status::BadLine);
    }
    return Status::Ok;
}

Status ScriptRunner::Player(const std::vector<std::string>& args, const std::string& where) {
    const char* usage =
        "usage: player human UNIQUEID NAME [FOV HEIGHT ANGLE DISTANCE STIFFNESS SWIVEL TRANSITION] [nocamera]"
        " | player bot NAME [7 values] [nocamera] | player null | player clear";
    if (args.size() == 1 && args[0] == "null") {
        PlayerSpec setup;
        setup.nullRecord = true;
        host.AddPlayer(setup);
        return Status::Ok;
    }
    if (args.size() == 1 && args[0] == "clear") {
        host.ClearPlayers();
        return Status::Ok;
    }
    if (args.empty() || (args[0] != "human" && args[0] != "bot")) return Fail(where, usage, Status::BadLine);

    PlayerSpec setup;
    setup.bot = args[0] == "bot";
    size_t next = 1;
    if (!setup.bot) {
        if (args.size() < 3) return Fail(where, usage, Status::BadLine);
        setup.uniqueId = args[next++];
    } else if (args.size() < 2) {
        return Fail(where, usage, Status::BadLine);
    }
    setup.name = args[next++];
    std::vector<std::string> rest(args.begin() + static_cast<long>(next), args.end());
    if (!rest.empty() && rest.back() == "nocamera") {
        setup.hasCameraObject = false;
        rest.pop_back();
    }
    setup.camera = kDefaultPlayerCamera;
    if (!rest.empty()) {
        if (rest.size() != 7) return Fail(where, "a player's camera takes all seven values", Status::BadLine);
        float* fields[] = {&setup.camera.FOV,       &setup.camera.Height,      &setup.camera.Pitch,
                           &setup.camera.Distance,  &setup.camera.Stiffness,   &setup.camera.SwivelSpeed,
                           &setup.camera.TransitionSpeed};
        for (size_t i = 0; i < 7; ++i) {
            double value;
            if (!ParseNumber(rest[i], value))
                return Fail(where, fmt::format("'{}' is not a number", rest[i]), Status::BadLine);
            *fields[i] = static_cast<float>(value);
        }
    }
    host.AddPlayer(setup);
    return Status::Ok;
}

Status ScriptRunner::Time(const std::string& verb, const std::vector<std::string>& args, const std::string& where) {
    double seconds;
    double longest = verb == "wait" ? kLongestWait : kLongestSleep;
    if (args.size() != 1 || !ParseNumber(args[0], seconds) || !(seconds >= 0) || seconds > longest)
        return Fail(where, fmt::format("usage: {} SECONDS (0 to {})", verb, longest), Status::BadLine);
    if (verb == "wait")
        host.Wait(seconds);  // game time: due timers fire, queued work runs
    else
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));  // real time, for the threads
    return Status::Ok;
}

Status ScriptRunner::Tick(const std::vector<std::string>& args, const std::string& where) {
    long count = 1;
    if (args.size() > 1 || (args.size() == 1 && (!ParseInteger(args[0], count) || count < 0 || count > kMostTicks)))
        return Fail(where, fmt::format("usage: tick [COUNT] (0 to {})", kMostTicks), Status::BadLine);
    host.Tick(static_cast<int>(count));
    return Status::Ok;
}

Status ScriptRunner::Threads(const std::vector<std::string>& args, const std::string& where) {
    bool on;
    if (args.size() != 1 || !ParseSwitch(args[0], on)) return Fail(where, "usage: threads on|off", Status::BadLine);
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

Status ScriptRunner::Log(const std::vector<std::string>& args, const std::string& where) {
    if (args.size() != 1 || args[0] != "mark") return Fail(where, "usage: log mark", Status::BadLine);
    logMark = host.LogLines().size();
    return Status::Ok;
}

Status ScriptRunner::Expect(const std::vector<std::string>& args, const std::string& where) {
    const char* usage =
        "usage: expect PATH VALUE | expect count PATH N | expect log TEXT | expect nolog TEXT | expect logcount N";
    if (args.size() < 2) return Fail(where, usage, Status::BadLine);
    const std::string& kind = args[0];

    if (kind == "log" || kind == "nolog" || kind == "logcount") {
        std::vector<std::string> lines = host.LogLines();
        size_t from = std::min(logMark, lines.size());
        std::string text = Join(args, 1);
        if (kind == "logcount") {
            long count;
            if (args.size() != 2 || !ParseInteger(args[1], count)) return Fail(where, usage, Status::BadLine);
            size_t have = lines.size() - from;
            if (have != static_cast<size_t>(count))
                return Fail(where, fmt::format("expected {} log lines since the mark, found {}", count, have));
            return Status::Ok;
        }
        auto found = std::find(lines.begin() + static_cast<long>(from), lines.end(), text);
        if (kind == "log") {
            if (found == lines.end()) return Fail(where, fmt::format("expected the log line \"{}\"", text));
            // Checks read the log in order: the next one starts after this line.
            logMark = static_cast<size_t>(found - lines.begin()) + 1;
        } else if (found != lines.end()) {
            return Fail(where, fmt::format("did not expect the log line \"{}\"", text));
        }
        return Status::Ok;
    }

    json state = StateJson(host, loader, guiSide);
    std::string error;
    if (kind == "count") {
        long count;
        if (args.size() != 3 || !ParseInteger(args[2], count)) return Fail(where, usage, Status::BadLine);
        const json* node = FindJsonPath(state, args[1], error);
        if (!node) return Fail(where, error);
        if (!node->is_array() && !node->is_object())
            return Fail(where, fmt::format("{} is not a list: {}", args[1], node->dump()));
        if (node->size() != static_cast<size_t>(count))
            return Fail(where, fmt::format("expected {} entries in {}, found {}", count, args[1], node->size()));
        return Status::Ok;
    }
    if (args.size() != 2) return Fail(where, usage, Status::BadLine);
    const json* node = FindJsonPath(state, kind, error);
    if (!node) return Fail(where, error);
    if (!SameValue(*node, args[1]))
        return Fail(where, fmt::format("expected {} to be {}, found {}", kind, args[1], node->dump()));
    return Status::Ok;
}

void ScriptRunner::PrintCamera() {
    CameraSnapshot camera = host.Camera();
    size_t fresh = camera.writes.size() > camerasSeen ? camera.writes.size() - camerasSeen : 0;
    camerasSeen = camera.writes.size();
    std::string focus = camera.focusActor.empty() ? "nobody" : camera.focusActor;
    if (fresh == 0) {
        Print(fmt::format("[camera] no new writes (following {})", focus));
        return;
    }
    const CameraWrite& last = camera.writes.back();
    Print(fmt::format("[camera] {} new write{}, last at tick {} for {}: {}", fresh, fresh == 1 ? "" : "s", last.tick,
                      last.focusActor.empty() ? "nobody" : last.focusActor, SettingsLine(last.settings)));
}

int ScriptRunner::RunScript(std::istream& in, const std::string& name) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        Status status = RunLine(line, fmt::format("{}:{}", name, number));
        if (status == Status::Quit) return 0;
        if (status != Status::Ok) return ExitStatus(status);
    }
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
    std::string line;
    int number = 0;
    for (;;) {
        if (prompt) {
            std::lock_guard<std::mutex> lock(outputLock);
            out << (pendingFileOpen ? "... " : "vistorb> ") << std::flush;
        }
        if (!std::getline(in, line)) break;
        ++number;
        if (RunLine(line, fmt::format("{}:{}", name, number)) == Status::Quit) break;
    }
    FinishInput();
}

}  // namespace sim
