// The walk of the preset folder at load: which entries are preset files, and how one that
// cannot be read costs only itself.
#include <optional>
#include <system_error>
#include <utility>

#include "core/LogLine.h"
#include "presets/CanonicalPreset.h"
#include "presets/PresetFiles.h"
#include "presets/PresetPath.h"

namespace fs = std::filesystem;

namespace preset_files {

namespace {

// Compared as paths, not as narrow text: on Windows a path's native form is wide.
const fs::path kJsonExtension(".json");

// One preset file into `loaded` (under its name relative to `top`), or one line saying why not.
void ReadOnePreset(const fs::path& top, const fs::path& file, bool entryWasLink, std::vector<LoadedPreset>& loaded) {
    FileRead read = ReadPresetFile(file, entryWasLink);
    switch (read.outcome) {
        case FileRead::Outcome::NotRegular:
            LogLine("Could not read {}: it is not a regular file", PathText(file));
            return;
        case FileRead::Outcome::TooLarge:
            LogLine("Preset file {} skipped: it is larger than 1 MiB", PathText(file));
            return;
        case FileRead::Outcome::ReadFailed:
            LogLine("Could not read {}: {}", PathText(file), std::generic_category().message(read.error));
            return;
        case FileRead::Outcome::Text:
            break;
    }
    if (std::optional<CameraPreset> saved = ReadCanonicalPreset(read.text)) {
        loaded.push_back({file.lexically_relative(top), std::move(*saved)});
        return;
    }
    try {
        const nlohmann::json document = nlohmann::json::parse(read.text);
        if (document.is_object()) loaded.push_back({file.lexically_relative(top), document.get<CameraPreset>()});
    } catch (const NonFiniteValueError& e) {
        LogLine("Preset file {} rejected: {}", PathText(file), e.what());
    } catch (const std::exception& e) {
        LogLine("{}", e.what());
    }
}

// A save cut short by a kill leaves its temporary file; only a left-over of ours, and only
// regular files: a save in progress in another process keeps its file.
void RemoveLeftOver(const fs::path& file) {
    if (!IsStaleTempFile(PathText(file.filename()))) return;
    std::error_code error;
    if (fs::remove(file, error)) {
        LogLine("Removed the left-over file of an interrupted save: {}", PathText(file));
    } else if (error) {
        LogLine("Could not remove the left-over file of an interrupted save: {} ({})", PathText(file), error.message());
    }
}

// The entry's own type (a link is not followed), taken from the folder listing where it says,
// so that an ordinary file costs no status call of its own.
fs::file_type OwnType(const fs::directory_entry& entry, std::error_code& error) {
    if (entry.is_symlink(error)) return fs::file_type::symlink;
    if (error) return fs::file_type::none;
    if (entry.is_directory(error)) return fs::file_type::directory;
    if (error) return fs::file_type::none;
    if (entry.is_regular_file(error)) return fs::file_type::regular;
    return error ? fs::file_type::none : fs::file_type::unknown;
}

}  // namespace

std::vector<LoadedPreset> ReadPresetFolder(const fs::path& presetFolder) {
    // Folders are walked one at a time so that one that cannot be read costs only its own
    // presets. Only the preset folder itself failing ends the load, as it has nothing to offer.
    std::vector<LoadedPreset> loaded;
    std::vector<fs::path> folders{presetFolder};
    bool topFolder = true;
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();

        std::error_code error;
        fs::directory_iterator it(folder, error);
        if (error) {
            if (topFolder) throw fs::filesystem_error("cannot read the preset folder", folder, error);
            LogLine("Could not read preset folder {}: {}", PathText(folder), error.message());
            continue;
        }
        const bool inTopFolder = topFolder;
        topFolder = false;

        for (; it != fs::directory_iterator(); it.increment(error)) {
            const fs::directory_entry& entry = *it;
            std::error_code entryError;
            const fs::file_type ownType = OwnType(entry, entryError);
            if (ownType == fs::file_type::none) {
                LogLine("Could not read {}: {}", PathText(entry.path()), entryError.message());
                continue;
            }
            // Links to folders are not followed, so a link loop cannot trap the walk.
            if (ownType == fs::file_type::directory) {
                folders.push_back(entry.path());
                continue;
            }
            if (inTopFolder && ownType == fs::file_type::regular) RemoveLeftOver(entry.path());
            const bool isLink = ownType == fs::file_type::symlink;
            const fs::file_type type = isLink ? entry.status(entryError).type() : ownType;
            if (type == fs::file_type::none) {
                LogLine("Could not read {}: {}", PathText(entry.path()), entryError.message());
                continue;
            }
            if (type != fs::file_type::regular || entry.path().extension() != kJsonExtension) continue;
            ReadOnePreset(presetFolder, entry.path(), isLink, loaded);
        }
        if (error) LogLine("Could not read preset folder {}: {}", PathText(folder), error.message());
    }
    return loaded;
}

}  // namespace preset_files
