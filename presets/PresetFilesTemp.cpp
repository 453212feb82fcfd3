// The temporary files of saves: whose they are, and when one is a left-over that a load may
// remove. A second program (or a second copy of the plugin) may be saving into the same folder
// at the moment of a load; its file is left alone while its process lives.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <string>

#if defined(_WIN32)
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <fmt/format.h>

#include "presets/PresetFiles.h"

namespace fs = std::filesystem;

namespace preset_files {

namespace {

unsigned long CurrentProcess() {
#if defined(_WIN32)
    return static_cast<unsigned long>(_getpid());
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// When the process started, in the system's own unit, so that a later process that got the
// same id is told apart; nothing when the process does not exist. 0 where the system cannot
// tell the start but the process exists.
std::optional<unsigned long long> StartStamp(unsigned long process) {
#if defined(_WIN32)
    const HANDLE handle = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process));
    if (!handle) return std::nullopt;
    FILETIME created{}, exited{}, kernel{}, user{};
    const bool known = ::GetProcessTimes(handle, &created, &exited, &kernel, &user) != 0;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(handle, &code) != 0 && code == STILL_ACTIVE;
    ::CloseHandle(handle);
    if (!running) return std::nullopt;
    return known ? (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime : 0;
#elif defined(__linux__)
    // Field 22 of /proc/PID/stat, counted after the command name, which may hold spaces.
    std::ifstream in("/proc/" + std::to_string(process) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22) return std::strtoull(field.c_str(), nullptr, 10);
    return std::nullopt;
#else
    if (::kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM) return 0;
    return std::nullopt;
#endif
}

unsigned long long OwnStartStamp() {
    static const unsigned long long stamp = StartStamp(CurrentProcess()).value_or(0);
    return stamp;
}

// This process's saves between staging and their rename.
std::mutex inFlightLock;
std::set<std::string> inFlight;

}  // namespace

bool IsTempFileName(const std::string& name) {
    const std::string prefix = kTempPrefix, suffix = kTempSuffix;
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

fs::path NewTempFileName() {
    static std::mutex counterLock;
    static unsigned long long counter = 0;
    unsigned long long number;
    {
        std::lock_guard<std::mutex> lock(counterLock);
        number = counter++;
    }
    std::string name = fmt::format("{}{:x}-{:x}-{}{}", kTempPrefix, CurrentProcess(), OwnStartStamp(), number, kTempSuffix);
    std::lock_guard<std::mutex> lock(inFlightLock);
    inFlight.insert(name);
    return fs::path(name);
}

void TempFileDone(const fs::path& temp) {
    std::lock_guard<std::mutex> lock(inFlightLock);
    inFlight.erase(temp.filename().string());
}

bool IsStaleTempFile(const std::string& name) {
    if (!IsTempFileName(name)) return false;
    unsigned long process = 0;
    unsigned long long stamp = 0, number = 0;
    const std::string rest = name.substr(std::char_traits<char>::length(kTempPrefix));
    // Not of the form this store writes: another program's, never ours to remove.
    if (std::sscanf(rest.c_str(), "%lx-%llx-%llu", &process, &stamp, &number) != 3) return false;
    if (process == CurrentProcess() && stamp == OwnStartStamp()) {
        std::lock_guard<std::mutex> lock(inFlightLock);
        return inFlight.count(name) == 0;
    }
    const std::optional<unsigned long long> running = StartStamp(process);
    // A process of that id that started at another moment is not the one that saved.
    return !running || (*running != 0 && *running != stamp);
}

}  // namespace preset_files
