#pragma once
// From a preset's name to its file, and back into log text, with the file system's own rules.
//
// A name is UTF-8 text from the GUI. On Linux its bytes are the path's bytes. On Windows the
// path is made from the UTF-8 text (a wide path), so every character reaches the file name;
// earlier versions made it through the ANSI code page, and the files they wrote are still
// found by delete and rename and replaced by a save (LegacyPresetFileName). Windows also refuses some names and
// ignores case in file names: WindowsNameProblem and FileKey tell.
#include <filesystem>
#include <optional>
#include <string>

// The name followed by ".json", as a file name of the preset folder.
std::filesystem::path PresetFileNameFor(const std::string& name);

// Windows only: the file name an earlier version wrote for the name, when it is not the same.
std::optional<std::filesystem::path> LegacyPresetFileName(const std::string& name);

// One text for every way of writing a path relative to the preset folder that leads to the same
// file: the path itself where file names keep case, its upper-case form on Windows.
std::string FileKey(const std::filesystem::path& relative);

// A path as UTF-8 text, for log lines.
std::string PathText(const std::filesystem::path& path);

// Why Windows cannot hold a file named after the name (reserved device name, a character it
// refuses), or nullptr. A trailing dot or space is kept: the file name ends in ".json". Pure text rules, so they can be tested anywhere.
const char* WindowsNameProblem(const std::string& name);
