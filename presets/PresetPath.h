#pragma once
// From a preset's name to its file, and back into log text, with the file system's own rules.
//
// A name is UTF-8 text from the GUI. On Linux its bytes are the path's bytes. On Windows the
// path is made from the UTF-8 text (a wide path), so every character reaches the file name;
// earlier versions made it through the ANSI code page, and the files they wrote are still
// found by delete and rename (LegacyPresetFilePath). Windows also refuses some names and
// ignores case in file names: WindowsNameProblem and SameFileName tell.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The folder joined with the name followed by ".json".
std::filesystem::path PresetFilePathFor(const std::filesystem::path& folder, const std::string& name);

// Windows only: the file an earlier version wrote for the name, when it is not the same path.
std::optional<std::filesystem::path> LegacyPresetFilePath(const std::filesystem::path& folder,
                                                          const std::string& name);

// A path as UTF-8 text, for log lines.
std::string PathText(const std::filesystem::path& path);

// Why Windows cannot hold a file named after the name (reserved device name, a character it
// refuses, a trailing dot or space), or nullptr. Pure text rules, so they can be tested anywhere.
const char* WindowsNameProblem(const std::string& name);

// Whether two names lead to the same file: byte equality where file names keep case, equality
// ignoring case (as the file system compares) on Windows.
bool SameFileName(const std::string& a, const std::string& b);

// The preset's file where it is: the UTF-8 path, or the one an earlier version wrote when only
// that exists. For delete and rename, which must find files of every version.
std::filesystem::path ExistingPresetFile(const std::filesystem::path& folder, const std::string& name);

struct CameraPreset;

// True, after one log line starting with `refusal`, when a cached preset of another name (not
// `name`, not `except`) would share the name's file: one preset's save or delete must never
// overwrite or remove another's file. Never true where file names keep case.
bool SharesFileWithCached(const std::vector<CameraPreset>& presets, const std::string& name,
                          const std::string& except, const char* refusal);
