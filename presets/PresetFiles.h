#pragma once
// The preset store's file work: reading one preset file safely, writing one durably, and walking
// the preset folder. The store decides what to do; these functions only touch the disk, and
// every platform difference lives behind them.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "presets/CameraPreset.h"

namespace preset_files {

// A preset is about 250 bytes; anything past this is not one of ours and would only cost memory
// and time while the host waits for start-up.
constexpr std::uintmax_t kMaxPresetFileSize = 1024 * 1024;

// Temporary files of a save in progress: never named like a preset, so a left-over one is never
// read as a preset, and named after the saving process (its id and start stamp) so that a load
// removes only its own left-overs and those of processes that are gone.
constexpr const char* kTempPrefix = ".vistorb-save-";
constexpr const char* kTempSuffix = ".tmp";
bool IsTempFileName(const std::string& fileName);
// A fresh temporary name for a save of this process, counted as in progress until TempFileDone.
std::filesystem::path NewTempFileName();
void TempFileDone(const std::filesystem::path& temp);
// Whether a temporary file is a left-over: its process is gone, or it is this process's and no
// save of it is in progress. A name of another form is never one.
bool IsStaleTempFile(const std::string& fileName);

struct FileRead {
    enum class Outcome { Text, NotRegular, TooLarge, ReadFailed };
    Outcome outcome = Outcome::Text;
    std::string text;  // the whole file, for Outcome::Text
    std::uintmax_t size = 0;
    int error = 0;  // errno of a failed read
};

// Reads a whole preset file. It never blocks on a special file swapped in after the walk looked
// at the entry, and never follows a link that was not a link when the walk saw it
// (`entryWasLink` false). A file that cannot be opened reads as empty text, which the parser
// then rejects with its own message.
FileRead ReadPresetFile(const std::filesystem::path& file, bool entryWasLink);

#if !defined(_WIN32)
// ReadPresetFile's rules for a file already opened (and closed here).
FileRead ReadDescriptor(int fd);
#endif

// A preset as the load found it, with its file's path relative to the preset folder.
struct LoadedPreset {
    std::filesystem::path file;
    CameraPreset preset;
};

// Every preset file below `folder`, with the store's load rules and log lines. Throws
// std::filesystem::filesystem_error when `folder` itself cannot be read.
std::vector<LoadedPreset> ReadPresetFolder(const std::filesystem::path& folder);

}  // namespace preset_files
