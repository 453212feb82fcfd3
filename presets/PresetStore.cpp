#include "presets/PresetStore.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "core/LogLine.h"
#include "presets/PresetFiles.h"
#include "presets/PresetPath.h"
#include "presets/PresetStoreTesting.h"

namespace fs = std::filesystem;

std::function<void(const fs::path&)> presetRemovalHookForTests;

namespace {

bool NameLess(const CameraPreset& a, const CameraPreset& b) { return a.name < b.name; }

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

// The cache is sorted by name, so the records of one name sit together. Every one of them takes
// the saved values, each with its own line. Returns how many there were.
size_t RefreshCached(std::vector<CameraPreset>& presets, const CameraPreset& preset) {
    const auto [first, last] = std::equal_range(presets.begin(), presets.end(), preset, NameLess);
    for (auto record = first; record != last; ++record) {
        LogLine("Updating cached preset with name {}", preset.name);
        record->name = preset.name;
        record->settings = preset.settings;
    }
    return static_cast<size_t>(last - first);
}

}  // namespace

// After the records of the same name (if any), as a stable insertion would put it; no re-sort.
void InsertByName(std::vector<CameraPreset>& presets, const CameraPreset& preset) {
    presets.insert(std::upper_bound(presets.begin(), presets.end(), preset, NameLess), preset);
}

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

PresetStore::PresetStore(fs::path folder) : presetFolder(std::move(folder)) { OpenFolder(); }

PresetStore PresetStore::Open(fs::path folder) {
    PresetStore store;
    store.presetFolder = std::move(folder);
    try {
        store.OpenFolder();
    } catch (const std::exception& e) {
        store.presets.clear();
        store.unusableReason = e.what();
    }
    return store;
}

// A relative folder would resolve against whatever the working directory is (in the game, the
// game's own folder), so it is refused before anything is created.
void PresetStore::OpenFolder() {
    if (!presetFolder.is_absolute()) {
        unusableReason = fmt::format("the preset folder \"{}\" is not an absolute path", PathText(presetFolder));
        throw fs::filesystem_error(unusableReason, presetFolder, std::make_error_code(std::errc::invalid_argument));
    }
    try {
        fs::create_directories(presetFolder);
    } catch (const std::exception& e) {
        unusableReason = e.what();
        throw;
    }
    LoadPresets();
}

bool PresetStore::Usable() const { return unusableReason.empty() && presetFolder.is_absolute(); }

std::string PresetStore::UnusableReason() const {
    if (!unusableReason.empty()) return unusableReason;
    if (!presetFolder.is_absolute()) return "no preset folder has been opened";
    return {};
}

bool PresetStore::RefusedWithoutFolder(const char* refusal) const {
    if (Usable()) return false;
    LogLine("{}, the preset folder is unavailable: {}", refusal, UnusableReason());
    return true;
}

// Checked before anything is touched: a refused preset costs nothing.
bool PresetStore::RefusedValues(const CameraPreset& preset) const {
    if (RefusedWithoutFolder("Preset not saved")) return true;
    if (const char* problem = PresetNameProblem(preset.name)) {
        LogLine("Preset not saved, the name {} cannot be a file name: {}", PrintableName(preset.name), problem);
        return true;
    }
    // Written as null, such a value would make the file unreadable; read back, it would reach
    // the camera as infinity.
    if (const char* key = NonFiniteValue(preset.settings)) {
        LogLine("Preset not saved, its {} is not a finite number", key);
        return true;
    }
    return false;
}

fs::path PresetStore::PresetFilePath(const std::string& name) const {
    if (!presetFolder.is_absolute()) throw std::runtime_error("no usable preset folder");
    return PresetFilePathFor(presetFolder, name);
}

void PresetStore::LoadPresets() {
    try {
        if (!presetFolder.is_absolute()) {
            throw fs::filesystem_error("the preset folder is not an absolute path", presetFolder,
                                       std::make_error_code(std::errc::invalid_argument));
        }
        if (!fs::exists(presetFolder)) {
            LogLine("Preset folder missing. ({})", PathText(presetFolder));
            unusableReason = fmt::format("the preset folder {} is missing", PathText(presetFolder));
            return;
        }
        LogLine("Reading camera preset json files recursively from {}", PathText(presetFolder));
        std::vector<CameraPreset> loaded = preset_files::ReadPresetFolder(presetFolder);
        LogLine("Done reading camera presets");
        presets = std::move(loaded);
        std::sort(presets.begin(), presets.end(), NameLess);
        unusableReason.clear();
    } catch (const std::exception& e) {
        unusableReason = e.what();
        throw;
    }
}

bool PresetStore::SavePreset(const CameraPreset& presetRef) {
    const CameraPreset preset = presetRef;  // may be a cached record, which the refresh rewrites
    if (RefusedValues(preset)) return false;
    if (SharesFileWithCached(presets, preset.name, preset.name, "Preset not saved")) return false;
    try {
        const fs::path file = PresetFilePath(preset.name);
        LogLine("Saving preset {} to {}", preset.name, PathText(file));
        // Serialised before any file is touched: a name that cannot be written costs nothing.
        const std::string text = SerializePreset(preset);
        const std::string unflushed = preset_files::CommitFile(preset_files::StageFile(file, text), file);
        if (!unflushed.empty()) LogLine("Preset {} saved, but the folder could not be flushed: {}", preset.name, unflushed);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
        return false;
    }
    RefreshCached(presets, preset);
    return true;
}

// One record per preset file: a name already cached was refreshed by the save, not added again.
void PresetStore::AddPreset(const CameraPreset& presetRef) {
    const CameraPreset preset = presetRef;
    const bool cached = std::binary_search(presets.begin(), presets.end(), preset, NameLess);
    if (SavePreset(preset) && !cached) InsertByName(presets, preset);
}

void PresetStore::DeletePreset(const std::string& nameRef) {
    const std::string name = nameRef;  // may be a cached record's name, which the erase destroys
    if (RefusedWithoutFolder("Preset file not deleted")) return;
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

bool PresetStore::HasPreset(const std::string& name) const {
    if (FindPreset(name)) return true;
    if (!Usable() || PresetNameProblem(name)) return false;
    std::error_code error;
    // A file whose state cannot be read counts as there: asking once too often loses nothing. A
    // folder carrying the name is no preset.
    const fs::file_type type = fs::symlink_status(ExistingPresetFile(presetFolder, name), error).type();
    return type != fs::file_type::not_found && type != fs::file_type::directory;
}

bool PresetStore::RenameWouldOverwrite(const std::string& oldName, const std::string& newName) const {
    if (oldName == newName || !HasPreset(newName)) return false;
    if (FindPreset(newName) || PresetNameProblem(oldName) || PresetNameProblem(newName)) return true;
    // Wide and wide share one file where case is ignored: renaming one into the other replaces
    // nothing else.
    std::error_code error;
    return !fs::equivalent(PresetFilePath(oldName), PresetFilePath(newName), error);
}
void PresetStore::ReplacePreset(const std::string& oldNameRef, const CameraPreset& presetRef, bool allowReplace) {
    const std::string oldName = oldNameRef;
    const CameraPreset preset = presetRef;
    if (RefusedValues(preset)) return;
    if (!allowReplace && RenameWouldOverwrite(oldName, preset.name)) {
        LogLine("Preset {} not renamed, a preset named {} already exists", oldName, preset.name);
        return;
    }
    if (SharesFileWithCached(presets, preset.name, oldName, "Preset not saved")) return;

    // The new document reaches its file before the old preset is touched; if it cannot, the old
    // preset stays exactly as it was. The log then tells the usual story: delete, then save.
    fs::path file;
    fs::path oldFile;  // looked up before the new file exists: it may be an earlier version's
    bool oldFileExisted = false;
    std::string unflushed;
    try {
        file = PresetFilePath(preset.name);
        const std::string text = SerializePreset(preset);
        const fs::path temp = preset_files::StageFile(file, text);
        if (!PresetNameProblem(oldName)) {
            // A state that cannot be read counts as there when the old preset is another file
            // (its removal then says what failed), and as the cache says when it is this file.
            std::error_code ignored;
            oldFile = ExistingPresetFile(presetFolder, oldName);
            const fs::file_type type = fs::status(oldFile, ignored).type();
            if (type == fs::file_type::none && oldName == preset.name) {
                oldFileExisted = FindPreset(oldName).has_value();
            } else {
                oldFileExisted = type != fs::file_type::not_found && type != fs::file_type::directory;
            }
        }
        unflushed = preset_files::CommitFile(temp, file);
    } catch (const std::exception& e) {
        LogLine("Preset {} kept, its replacement could not be saved: {}", oldName, e.what());
        return;
    }

    try {
        RetireOldPreset(oldName, oldFile, oldFileExisted, file, preset.name);
        LogLine("Saving preset {} to {}", preset.name, PathText(file));
        if (!unflushed.empty()) LogLine("Preset {} saved, but the folder could not be flushed: {}", preset.name, unflushed);
        CommitNewRecord(preset);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
    }
}

// The old half of a rename, once the new file is in place: its file and its records go, with
// DeletePreset's lines.
void PresetStore::RetireOldPreset(const std::string& oldName, const fs::path& oldFile, bool oldFileExisted,
                                  const fs::path& newFile, const std::string& newName) {
    if (const char* problem = PresetNameProblem(oldName)) {
        LogLine("Preset file not deleted, the name {} cannot be a file name: {}", PrintableName(oldName), problem);
        return;
    }
    if (SharesFileWithCached(presets, oldName, newName, "Preset file not deleted")) return;
    LogLine("Deleting preset: {}", oldName);
    bool removed = false;
    if (!oldFileExisted) {
        LogLine("preset file does not exist: {}", PathText(oldFile));
    } else {
        // Re-tuning, or a rename that differs only in case on a file system that ignores it: the
        // new document already took the old file's place.
        std::error_code ignored;
        if (oldFile == newFile || fs::equivalent(oldFile, newFile, ignored)) {
            LogLine("Preset file deleted: {}", PathText(oldFile));
            removed = true;
        } else {
            removed = RemovePresetFile(oldFile);
        }
    }
    if (removed) EraseCached(presets, oldName);
}

// Refreshes the records of the preset's name, or, when there are none, inserts it in name order.
void PresetStore::CommitNewRecord(const CameraPreset& preset) {
    if (RefreshCached(presets, preset) == 0) InsertByName(presets, preset);
}

std::optional<CameraPreset> PresetStore::FindPreset(const std::string& name) const {
    for (const CameraPreset& record : presets) {
        if (record.name == name) return record;
    }
    return std::nullopt;
}
