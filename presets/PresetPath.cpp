#include "presets/PresetPath.h"

#include <array>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "presets/CameraPreset.h"

namespace fs = std::filesystem;

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsReservedDeviceName(const std::string& name) {
    // The device name is what stands before the first point, trailing spaces ignored: "CON",
    // "con.backup" and "COM1 " all open a device. Compared ignoring ASCII case.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = AsciiUpper(c);
    static const std::array<const char*, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    for (const char* reserved : plain)
        if (stem == reserved) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

#if defined(_WIN32)
bool IsValidUtf8(const std::string& text) {
    return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

#endif

}  // namespace

fs::path PresetFileNameFor(const std::string& name) {
#if defined(_WIN32)
    // A name that is not UTF-8 has no wide form; the save fails on it anyway (the document
    // cannot be written), so the narrow path only has to be some path.
    if (IsValidUtf8(name)) return fs::u8path(PresetFileName(name));
#endif
    return fs::path(PresetFileName(name));
}

std::optional<fs::path> LegacyPresetFileName(const std::string& name) {
#if defined(_WIN32)
    try {
        fs::path legacy(PresetFileName(name));  // through the ANSI code page
        if (legacy != PresetFileNameFor(name)) return legacy;
    } catch (const std::exception&) {
        // The code page cannot hold the name: no earlier version could have written its file.
    }
#else
    (void)name;
#endif
    return std::nullopt;
}

std::string FileKey(const fs::path& relative) {
#if defined(_WIN32)
    // The file system ignores case: one key for every spelling of one file.
    std::wstring wide = relative.generic_wstring();
    if (!wide.empty()) ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return fs::path(wide).u8string();
#else
    return relative.generic_string();
#endif
}

std::string PathText(const fs::path& path) {
#if defined(_WIN32)
    return path.u8string();
#else
    return path.string();
#endif
}

const char* WindowsNameProblem(const std::string& name) {
    for (unsigned char c : name) {
        if (c < 0x20) return "Windows does not allow control characters in file names";
        if (c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*')
            return "Windows does not allow any of <>:\"|?* in file names";
    }
    if (IsReservedDeviceName(name)) return "Windows reserves it for a device";
    return nullptr;
}
