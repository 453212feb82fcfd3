// The walk of the preset folder at load: which entries are preset files, and how one that
// cannot be read costs only itself.
#include <system_error>

#include "plugin/LogLine.h"
#include "presets/PresetFiles.h"

namespace fs = std::filesystem;

namespace preset_files {

namespace {

// One preset file into `loaded`, or one line saying why not.
void ReadOnePreset(const fs::path& file, bool entryWasLink, std::vector<CameraPreset>& loaded) {
    FileRead read = ReadPresetFile(file, entryWasLink);
    switch (read.outcome) {
        case FileRead::Outcome::NotRegular:
            LogLine("Could not read {}: it is not a regular file", file.string());
            return;
        case FileRead::Outcome::TooLarge:
            LogLine("Preset file {} skipped: it is larger than 1 MiB", file.string());
            return;
        case FileRead::Outcome::ReadFailed:
            LogLine("Could not read {}: {}", file.string(), std::generic_category().message(read.error));
            return;
        case FileRead::Outcome::Text:
            break;
    }
    try {
        const nlohmann::json document = nlohmann::json::parse(read.text);
        if (document.is_object()) loaded.push_back(document.get<CameraPreset>());
    } catch (const NonFiniteValueError& e) {
        LogLine("Preset file {} rejected: {}", file.string(), e.what());
    } catch (const std::exception& e) {
        LogLine("{}", e.what());
    }
}

// A save cut short by a kill leaves its temporary file; only ours, and only regular files.
void RemoveLeftOver(const fs::directory_entry& entry, const fs::file_status& linkStatus) {
    if (!fs::is_regular_file(linkStatus) || !IsTempFileName(entry.path().filename().string())) return;
    std::error_code error;
    if (fs::remove(entry.path(), error)) {
        LogLine("Removed the left-over file of an interrupted save: {}", entry.path().string());
    } else if (error) {
        LogLine("Could not remove the left-over file of an interrupted save: {} ({})", entry.path().string(),
                error.message());
    }
}

}  // namespace

std::vector<CameraPreset> ReadPresetFolder(const fs::path& presetFolder) {
    // Folders are walked one at a time so that one that cannot be read costs only its own
    // presets. Only the preset folder itself failing ends the load, as it has nothing to offer.
    std::vector<CameraPreset> loaded;
    std::vector<fs::path> folders{presetFolder};
    bool topFolder = true;
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();

        std::error_code error;
        fs::directory_iterator it(folder, error);
        if (error) {
            if (topFolder) throw fs::filesystem_error("cannot read the preset folder", folder, error);
            LogLine("Could not read preset folder {}: {}", folder.string(), error.message());
            continue;
        }
        const bool inTopFolder = topFolder;
        topFolder = false;

        for (; it != fs::directory_iterator(); it.increment(error)) {
            const fs::directory_entry& entry = *it;
            std::error_code entryError;
            const fs::file_status linkStatus = entry.symlink_status(entryError);
            if (linkStatus.type() == fs::file_type::none) {
                LogLine("Could not read {}: {}", entry.path().string(), entryError.message());
                continue;
            }
            // Links to folders are not followed, so a link loop cannot trap the walk.
            if (fs::is_directory(linkStatus)) {
                folders.push_back(entry.path());
                continue;
            }
            if (inTopFolder) RemoveLeftOver(entry, linkStatus);
            const bool isLink = fs::is_symlink(linkStatus);
            const fs::file_status status = isLink ? entry.status(entryError) : linkStatus;
            if (status.type() == fs::file_type::none) {
                LogLine("Could not read {}: {}", entry.path().string(), entryError.message());
                continue;
            }
            if (!fs::is_regular_file(status) || entry.path().extension().native() != ".json") continue;
            ReadOnePreset(entry.path(), isLink, loaded);
        }
        if (error) LogLine("Could not read preset folder {}: {}", folder.string(), error.message());
    }
    return loaded;
}

}  // namespace preset_files
