#include "presets/PresetStore.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "plugin/LogLine.h"
#include "presets/PresetPath.h"
#include "presets/PresetStoreTesting.h"

namespace fs = std::filesystem;

std::function<void(const fs::path&)> presetRemovalHookForTests;

namespace {

bool NameLess(const CameraPreset& a, const CameraPreset& b) { return a.name < b.name; }

const fs::path kJsonExtension(".json");

// A refused name goes into the log quoted, with control bytes spelled out, so that an empty
// name or a stray line break is visible on the console.
std::string PrintableName(const std::string& name) {
    std::string text = "\"";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            text += fmt::format("\\x{:02X}", static_cast<unsigned>(c));
        } else {
            text += static_cast<char>(c);
        }
    }
    text += '"';
    return text;
}

std::string ErrnoText(int error) {
    if (error == 0) return "unknown error";
    return std::generic_category().message(error);
}

// Writes the text to a new file beside `file`, for a later rename over it. The temporary name
// never ends in ".json", so a left-over file is never read as a preset.
fs::path StageFile(const fs::path& file, const std::string& text) {
    static std::atomic<unsigned long long> counter{0};
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    const fs::path folder = file.parent_path();
    const fs::path temp = folder / fmt::format(".vistorb-save-{:x}-{}.tmp", stamp, counter.fetch_add(1));

    errno = 0;
    std::ofstream out(temp, std::ios::out | std::ios::trunc);
    if (!out.is_open()) {
        throw std::runtime_error(fmt::format("could not create a file in {}: {}", PathText(folder), ErrnoText(errno)));
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (out.fail()) {
        const int error = errno;
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw std::runtime_error(fmt::format("could not write {}: {}", PathText(file), ErrnoText(error)));
    }
    return temp;
}

// The rename swaps the whole document in at once: the preset file is always either the old
// document or the new one, never a half-written or empty file.
void CommitFile(const fs::path& temp, const fs::path& file) {
    std::error_code error;
    fs::rename(temp, file, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw std::runtime_error(fmt::format("could not replace {}: {}", PathText(file), error.message()));
    }
}

// The file-system half of deleting a preset, with DeletePreset's log lines. True when removed.
bool RemovePresetFile(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    // A folder that happens to carry the name is not a preset file: never removed.
    if (status.type() == fs::file_type::not_found || fs::is_directory(status)) {
        LogLine("preset file does not exist: {}", PathText(file));
        return false;
    }
    if (status.type() == fs::file_type::none) {
        LogLine("Failed to delete preset file: {} ({})", PathText(file), error.message());
        return false;
    }
    if (presetRemovalHookForTests) presetRemovalHookForTests(file);
    const bool removed = fs::remove(file, error);
    if (error) {
        LogLine("Failed to delete preset file: {} ({})", PathText(file), error.message());
        return false;
    }
    if (!removed) {  // gone between the check and the removal
        LogLine("Failed to delete preset file: {}", PathText(file));
        return false;
    }
    LogLine("Preset file deleted: {}", PathText(file));
    return true;
}

void EraseCached(std::vector<CameraPreset>& presets, const std::string& name) {
    const auto first = std::remove_if(presets.begin(), presets.end(),
                                      [&](const CameraPreset& record) { return record.name == name; });
    const auto erased = presets.end() - first;
    presets.erase(first, presets.end());
    if (erased == 1) {
        LogLine("removed preset from cache");
    } else {
        LogLine("Failed to remove preset from cache");
    }
}

// Every cached record of the name takes the saved values, each with its own line.
void RefreshCached(std::vector<CameraPreset>& presets, const CameraPreset& preset) {
    for (CameraPreset& record : presets) {
        if (record.name != preset.name) continue;
        LogLine("Updating cached preset with name {}", preset.name);
        record.name = preset.name;
        record.settings = preset.settings;
    }
}

// The cache is sorted by every operation that adds, so one insertion keeps it sorted; should
// someone have appended by hand, the full sort restores the order.
void InsertSorted(std::vector<CameraPreset>& presets, const CameraPreset& preset) {
    if (std::is_sorted(presets.begin(), presets.end(), NameLess)) {
        presets.insert(std::upper_bound(presets.begin(), presets.end(), preset, NameLess), preset);
    } else {
        presets.push_back(preset);
        std::sort(presets.begin(), presets.end(), NameLess);
    }
}

// The whole file as text; a file that cannot be opened reads as empty and so fails in the parser.
std::string ReadWholeFile(const fs::path& file) {
    std::string text;
    std::ifstream in(file);
    if (!in.is_open()) return text;
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<size_t>(in.gcount()));
    }
    return text;
}

}  // namespace

const char* PresetNameProblem(const std::string& name) {
    if (name.empty()) return "it is empty";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return "it holds a control character";
        if (c == '/' || c == '\\') return "it holds a path separator";
    }
    if (name == "." || name == "..") return "it names a folder";
    const unsigned char first = static_cast<unsigned char>(name[0]);
    const bool asciiLetter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
    if (name.size() >= 2 && asciiLetter && name[1] == ':') return "it starts with a drive";
#if defined(_WIN32)
    if (const char* problem = WindowsNameProblem(name)) return problem;
#endif
    return nullptr;
}

PresetStore::PresetStore(fs::path folder) : presetFolder(std::move(folder)) {
    fs::create_directories(presetFolder);
    LoadPresets();
}

fs::path PresetStore::PresetFilePath(const std::string& name) const {
    return PresetFilePathFor(presetFolder, name);
}

void PresetStore::LoadPresets() {
    if (!fs::exists(presetFolder)) {
        LogLine("Preset folder missing. ({})", PathText(presetFolder));
        return;
    }
    LogLine("Reading camera preset json files recursively from {}", PathText(presetFolder));

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
            LogLine("Could not read preset folder {}: {}", PathText(folder), error.message());
            continue;
        }
        topFolder = false;

        for (; it != fs::directory_iterator(); it.increment(error)) {
            const fs::directory_entry& entry = *it;
            std::error_code entryError;
            const fs::file_status linkStatus = entry.symlink_status(entryError);
            if (linkStatus.type() == fs::file_type::none) {
                LogLine("Could not read {}: {}", PathText(entry.path()), entryError.message());
                continue;
            }
            // Links to folders are not followed, so a link loop cannot trap the walk.
            if (fs::is_directory(linkStatus)) {
                folders.push_back(entry.path());
                continue;
            }
            const fs::file_status status = fs::is_symlink(linkStatus) ? entry.status(entryError) : linkStatus;
            if (status.type() == fs::file_type::none) {
                LogLine("Could not read {}: {}", PathText(entry.path()), entryError.message());
                continue;
            }
            if (!fs::is_regular_file(status) || entry.path().extension().native() != kJsonExtension.native()) continue;

            try {
                const nlohmann::json document = nlohmann::json::parse(ReadWholeFile(entry.path()));
                if (document.is_object()) loaded.push_back(document.get<CameraPreset>());
            } catch (const std::exception& e) {
                LogLine("{}", e.what());
            }
        }
        if (error) LogLine("Could not read preset folder {}: {}", PathText(folder), error.message());
    }

    LogLine("Done reading camera presets");
    presets = std::move(loaded);
    std::sort(presets.begin(), presets.end(), NameLess);
}

bool PresetStore::SavePreset(const CameraPreset& presetRef) {
    const CameraPreset preset = presetRef;  // may be a cached record, which the refresh rewrites
    if (const char* problem = PresetNameProblem(preset.name)) {
        LogLine("Preset not saved, the name {} cannot be a file name: {}", PrintableName(preset.name), problem);
        return false;
    }
    if (SharesFileWithCached(presets, preset.name, preset.name, "Preset not saved")) return false;
    try {
        const fs::path file = PresetFilePath(preset.name);
        LogLine("Saving preset {} to {}", preset.name, PathText(file));
        // Serialised before any file is touched: a name that cannot be written costs nothing.
        const std::string text = SerializePreset(preset);
        CommitFile(StageFile(file, text), file);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
        return false;
    }
    RefreshCached(presets, preset);
    return true;
}

void PresetStore::AddPreset(const CameraPreset& presetRef) {
    const CameraPreset preset = presetRef;
    // A preset that did not reach its file would be gone after the next start: not cached.
    if (SavePreset(preset)) InsertSorted(presets, preset);
}

void PresetStore::DeletePreset(const std::string& nameRef) {
    const std::string name = nameRef;  // may be a cached record's name, which the erase destroys
    // An empty name's file would be ".json", which is never a preset; other refused names point
    // outside the folder. Neither is removed, and the cache keeps such a record.
    if (const char* problem = PresetNameProblem(name)) {
        LogLine("Preset file not deleted, the name {} cannot be a file name: {}", PrintableName(name), problem);
        return;
    }
    if (SharesFileWithCached(presets, name, name, "Preset file not deleted")) return;
    try {
        LogLine("Deleting preset: {}", name);
        if (!RemovePresetFile(ExistingPresetFile(presetFolder, name))) return;
        EraseCached(presets, name);
    } catch (const std::exception& e) {
        LogLine("Exception while deleting preset: {}", e.what());
    }
}

void PresetStore::ReplacePreset(const std::string& oldNameRef, const CameraPreset& presetRef) {
    const std::string oldName = oldNameRef;
    const CameraPreset preset = presetRef;
    if (const char* problem = PresetNameProblem(preset.name)) {
        LogLine("Preset not saved, the name {} cannot be a file name: {}", PrintableName(preset.name), problem);
        return;
    }
    if (SharesFileWithCached(presets, preset.name, oldName, "Preset not saved")) return;

    // The new document reaches its file before the old preset is touched; if it cannot, the old
    // preset stays exactly as it was. The log then tells the usual story: delete, then save.
    fs::path file;
    fs::path oldFile;  // looked up before the new file exists: it may be an earlier version's
    bool oldFileExisted = false;
    try {
        file = PresetFilePath(preset.name);
        const std::string text = SerializePreset(preset);
        const fs::path temp = StageFile(file, text);
        if (!PresetNameProblem(oldName)) {
            std::error_code ignored;
            oldFile = ExistingPresetFile(presetFolder, oldName);
            oldFileExisted = fs::is_regular_file(oldFile, ignored);
        }
        CommitFile(temp, file);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
        LogLine("Preset {} kept, its replacement could not be saved", oldName);
        return;
    }

    try {
        if (const char* problem = PresetNameProblem(oldName)) {
            LogLine("Preset file not deleted, the name {} cannot be a file name: {}", PrintableName(oldName),
                    problem);
        } else if (!SharesFileWithCached(presets, oldName, preset.name, "Preset file not deleted")) {
            LogLine("Deleting preset: {}", oldName);
            bool removed = false;
            if (!oldFileExisted) {
                LogLine("preset file does not exist: {}", PathText(oldFile));
            } else {
                // Re-tuning, or a rename that differs only in case on a file system that ignores
                // it: the new document already took the old file's place.
                std::error_code ignored;
                if (oldFile == file || fs::equivalent(oldFile, file, ignored)) {
                    LogLine("Preset file deleted: {}", PathText(oldFile));
                    removed = true;
                } else {
                    removed = RemovePresetFile(oldFile);
                }
            }
            if (removed) EraseCached(presets, oldName);
        }
        LogLine("Saving preset {} to {}", preset.name, PathText(file));
        RefreshCached(presets, preset);
        InsertSorted(presets, preset);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
    }
}

std::optional<CameraPreset> PresetStore::FindPreset(const std::string& name) const {
    for (const CameraPreset& record : presets) {
        if (record.name == name) return record;
    }
    return std::nullopt;
}
