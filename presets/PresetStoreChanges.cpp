// The store's changes: save, delete, and the rename or re-tune that composes them. Every one acts
// in the folder held open since start-up, on the name's file and that file's record only.
#include <stdexcept>
#include <system_error>

#include "core/LogLine.h"
#include "presets/PresetFiles.h"
#include "presets/PresetPath.h"
#include "presets/PresetStore.h"
#include "presets/PresetStoreTesting.h"

namespace fs = std::filesystem;
std::function<void(const fs::path&)> presetCommitHookForTests;
using EntryType = preset_files::FolderHandle::EntryType;

namespace {

const char* ReadProblem(const preset_files::FileRead& read) {
    switch (read.outcome) {
        case preset_files::FileRead::Outcome::NotRegular: return "it is not a regular file";
        case preset_files::FileRead::Outcome::TooLarge: return "it is larger than 1 MiB";
        default: return nullptr;
    }
}

}  // namespace

// What a save of `name` would replace at `file`. A file the cache knows says so at once; any
// other is read now, since a save must not replace what it does not own.
PresetStore::Target PresetStore::TargetOf(const fs::path& file, const std::string& name, std::string& detail) const {
    const auto held = fileRecords.find(FileKey(file));
    if (held != fileRecords.end()) {
        detail = held->second.preset.name;
        return detail == name ? Target::Own : Target::OtherPreset;
    }
    std::error_code error;
    switch (folderHandle.TypeOf(file, error)) {
        case EntryType::Missing: return Target::Free;
        case EntryType::Folder:
        case EntryType::Other: return Target::NotAFile;
        case EntryType::Unknown: detail = error.message(); return Target::Unreadable;
        default: break;
    }
    const preset_files::FileRead read = folderHandle.Read(file);
    if (const char* problem = ReadProblem(read)) {
        detail = problem;
        return read.outcome == preset_files::FileRead::Outcome::NotRegular ? Target::NotAFile : Target::Unreadable;
    }
    if (read.outcome != preset_files::FileRead::Outcome::Text) {
        detail = std::generic_category().message(read.error);
        return Target::Unreadable;
    }
    try {
        const nlohmann::json document = nlohmann::json::parse(read.text);
        if (!document.is_object()) {
            detail = "it holds no preset";
            return Target::Unreadable;
        }
        detail = document.get<CameraPreset>().name;
        return detail == name ? Target::Own : Target::OtherPreset;
    } catch (const std::exception& e) {
        detail = e.what();
        return Target::Unreadable;
    }
}

// One line and true when the target may not be replaced.
bool PresetStore::RefusedTarget(Target target, const fs::path& file, const std::string& detail, bool allowReplace,
                                const std::string& refusal) const {
    const std::string shown = PathText(folderHandle.PathOf(file));
    switch (target) {
        case Target::OtherPreset:
            if (allowReplace) return false;
            LogLine("{}: its file {} holds the preset {}", refusal, shown, detail);
            return true;
        case Target::Unreadable:
            LogLine("{}: its file {} could not be read: {}", refusal, shown, detail);
            return true;
        case Target::NotAFile:
            LogLine("{}: {} is not a file", refusal, shown);
            return true;
        default:
            return false;
    }
}

// Stages the document and renames it to `file`; an existing file is replaced only with `replace`.
// False, after one line, when a file took the name meanwhile (it is left as it is).
bool PresetStore::WriteFile(const fs::path& file, const CameraPreset& preset, bool replace, std::string& unflushed) {
    // Serialised before any file is touched: a name that cannot be written costs nothing.
    const std::string text = SerializePreset(preset);
    const fs::path temp = folderHandle.Stage(text, file);
    if (presetCommitHookForTests) presetCommitHookForTests(folderHandle.PathOf(file));
    if (folderHandle.Commit(temp, file, replace, unflushed)) return true;
    LogLine("Preset {} not saved, its file {} appeared meanwhile and was left alone", preset.name,
            PathText(folderHandle.PathOf(file)));
    return false;
}

// Windows: the file an earlier version wrote for the name goes once the UTF-8 one holds the
// preset, so that the name has one file and one record. Another preset's file is left alone.
void PresetStore::RemoveLegacyFile(const std::string& name) {
    const auto legacy = LegacyPresetFileName(name);
    if (!legacy || FileKey(*legacy) == FileKey(PresetFileNameFor(name))) return;
    std::string detail;
    if (TargetOf(*legacy, name, detail) != Target::Own) return;
    if (const std::error_code error = folderHandle.Remove(*legacy)) {
        LogLine("Could not remove the earlier version's file {}: {}", PathText(folderHandle.PathOf(*legacy)),
                error.message());
        return;
    }
    SetFileRecord(*legacy, std::nullopt);
}

// A file just written: its record, and the earlier version's file of the same name gone.
void PresetStore::RecordSavedFile(const fs::path& file, const CameraPreset& preset, const std::string& unflushed) {
    if (!unflushed.empty()) LogLine("Preset {} saved, but the folder could not be flushed: {}", preset.name, unflushed);
    const auto held = fileRecords.find(FileKey(file));
    const bool refresh = held != fileRecords.end() && held->second.preset.name == preset.name;
    SetFileRecord(file, preset);
    if (refresh) LogLine("Updating cached preset with name {}", preset.name);
    RemoveLegacyFile(preset.name);
}

bool PresetStore::SavePreset(const CameraPreset& presetRef, bool allowReplace) {
    const CameraPreset preset = presetRef;  // may be a cached record, which the refresh rewrites
    if (RefusedValues(preset)) return false;
    if (SharesFileWithCached(presets, preset.name, preset.name, "Preset not saved")) return false;
    try {
        const fs::path file = PresetFileNameFor(preset.name);
        std::string detail;
        const Target target = TargetOf(file, preset.name, detail);
        if (RefusedTarget(target, file, detail, allowReplace, fmt::format("Preset {} not saved", preset.name)))
            return false;
        LogLine("Saving preset {} to {}", preset.name, PathText(folderHandle.PathOf(file)));
        std::string unflushed;
        if (!WriteFile(file, preset, target != Target::Free, unflushed)) return false;
        RecordSavedFile(file, preset, unflushed);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
        return false;
    }
    return true;
}

void PresetStore::AddPreset(const CameraPreset& preset, bool allowReplace) { SavePreset(preset, allowReplace); }

// One line and true when the name's file is known to hold another preset: deleting the name
// must not cost that preset.
bool PresetStore::RefusedOthersFile(const fs::path& file, const std::string& name) const {
    const auto held = fileRecords.find(FileKey(file));
    if (held == fileRecords.end() || held->second.preset.name == name) return false;
    LogLine("Preset file not deleted, {} holds the preset {}", PathText(folderHandle.PathOf(file)),
            held->second.preset.name);
    return true;
}

// The file-system half of deleting a preset, with DeletePreset's log lines. True when removed.
bool PresetStore::RemoveFile(const fs::path& file) {
    const std::string shown = PathText(folderHandle.PathOf(file));
    std::error_code error;
    const EntryType type = folderHandle.TypeOf(file, error);
    // A folder that happens to carry the name is not a preset file: never removed.
    if (type == EntryType::Missing || type == EntryType::Folder) {
        LogLine("preset file does not exist: {}", shown);
        return false;
    }
    if (type == EntryType::Unknown) {
        LogLine("Failed to delete preset file: {} ({})", shown, error.message());
        return false;
    }
    if (presetRemovalHookForTests) presetRemovalHookForTests(folderHandle.PathOf(file));
    error = folderHandle.Remove(file);
    if (error == std::errc::no_such_file_or_directory) {  // gone between the check and the removal
        LogLine("Failed to delete preset file: {}", shown);
        return false;
    }
    if (error) {
        LogLine("Failed to delete preset file: {} ({})", shown, error.message());
        return false;
    }
    LogLine("Preset file deleted: {}", shown);
    return true;
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
        const fs::path file = ExistingFileName(name);
        if (RefusedOthersFile(file, name)) return;
        LogLine("Deleting preset: {}", name);
        if (!RemoveFile(file)) return;
        // Only the removed file's record goes: a preset of that name in another file stays.
        LogLine(SetFileRecord(file, std::nullopt) ? "removed preset from cache" : "Failed to remove preset from cache");
    } catch (const std::exception& e) {
        LogLine("Exception while deleting preset: {}", e.what());
    }
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
    const fs::path file = PresetFileNameFor(preset.name);
    OldFile old;
    std::string unflushed;
    try {
        old = LookAtOldFile(oldName, file);
        std::string detail;
        const Target target = old.sameFile ? (old.existed ? Target::Own : Target::Free) : TargetOf(file, preset.name, detail);
        if (target == Target::OtherPreset && !allowReplace) {
            LogLine("Preset {} not renamed, a preset named {} already exists", oldName, preset.name);
            return;
        }
        const std::string kept = fmt::format("Preset {} kept, its replacement could not be saved", oldName);
        if (RefusedTarget(target, file, detail, allowReplace, kept)) return;
        if (!WriteFile(file, preset, target != Target::Free, unflushed)) return;
    } catch (const std::exception& e) {
        LogLine("Preset {} kept, its replacement could not be saved: {}", oldName, e.what());
        return;
    }

    try {
        RetireOldPreset(oldName, old, preset.name);
        LogLine("Saving preset {} to {}", preset.name, PathText(folderHandle.PathOf(file)));
        RecordSavedFile(file, preset, unflushed);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
    }
}

// Looked at before the new file exists: it may be an earlier version's, or the new one itself.
PresetStore::OldFile PresetStore::LookAtOldFile(const std::string& oldName, const fs::path& newFile) const {
    OldFile old;
    if (PresetNameProblem(oldName)) return old;
    old.usable = true;
    old.file = ExistingFileName(oldName);
    old.sameFile = FileKey(old.file) == FileKey(newFile);
    std::error_code error;
    const EntryType type = folderHandle.TypeOf(old.file, error);
    // A state that cannot be read counts as there when the old preset is another file (its
    // removal then says what failed), and as the cache says when it is this file.
    if (type == EntryType::Unknown && old.sameFile)
        old.existed = fileRecords.count(FileKey(old.file)) != 0;
    else
        old.existed = type != EntryType::Missing && type != EntryType::Folder;
    return old;
}

// The old half of a rename, once the new file is in place: its file and that file's record go,
// with DeletePreset's lines.
void PresetStore::RetireOldPreset(const std::string& oldName, const OldFile& old, const std::string& newName) {
    if (!old.usable) {
        LogLine("Preset file not deleted, the name {} cannot be a file name: {}", PrintableName(oldName),
                PresetNameProblem(oldName));
        return;
    }
    if (SharesFileWithCached(presets, oldName, newName, "Preset file not deleted")) return;
    if (!old.sameFile && RefusedOthersFile(old.file, oldName)) return;
    LogLine("Deleting preset: {}", oldName);
    if (!old.existed) {
        LogLine("preset file does not exist: {}", PathText(folderHandle.PathOf(old.file)));
        return;
    }
    if (old.sameFile) {
        // Re-tuning, or a rename that differs only in case where file names ignore it: the new
        // document already took the old file's place.
        LogLine("Preset file deleted: {}", PathText(folderHandle.PathOf(old.file)));
    } else if (!RemoveFile(old.file)) {
        return;
    }
    LogLine(SetFileRecord(old.file, std::nullopt) ? "removed preset from cache" : "Failed to remove preset from cache");
}
