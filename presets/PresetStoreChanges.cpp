// The store's changes: save, delete, and the rename or re-tune that composes them. Every one acts
// in the folder opened by the last load, decides from what the files hold at that moment, and
// publishes once it is complete.
#include <stdexcept>
#include <system_error>

#include "core/LogLine.h"
#include "presets/PresetFiles.h"
#include "presets/PresetPath.h"
#include "presets/PresetStore.h"
#include "presets/PresetSeams.h"

namespace fs = std::filesystem;
using EntryType = preset_files::FolderHandle::EntryType;
using Outcome = PresetStore::Answer::Outcome;

namespace {

PresetStore::Answer Refused() { return {}; }

}  // namespace

// The file as it is now. A status check that fails for any reason but "no such file" is not
// taken for an existing file, nor for a free one: nothing is decided on it.
PresetStore::Look PresetStore::LookAt(const fs::path& file) const {
    Look look;
    std::error_code error;
    switch (folderHandle.TypeOf(file, error)) {
        case EntryType::Missing: return look;
        case EntryType::Folder:
        case EntryType::Other: look.holds = Look::Holds::NotAFile; return look;
        case EntryType::Unknown:
            look.holds = Look::Holds::Unknown;
            look.detail = error.message();
            return look;
        default: break;
    }
    const preset_files::FileRead read = folderHandle.Read(file);
    using Outcome = preset_files::FileRead::Outcome;
    if (read.outcome == Outcome::NotRegular) {
        look.holds = Look::Holds::NotAFile;
        return look;
    }
    if (read.outcome == Outcome::ReadFailed && read.error == ENOENT) return look;  // gone since the status check
    if (read.outcome != Outcome::Text) {
        look.holds = Look::Holds::Unknown;
        look.detail = read.outcome == Outcome::TooLarge ? "it is larger than 1 MiB"
                                                        : std::generic_category().message(read.error);
        return look;
    }
    look.content = read.text;
    try {
        const nlohmann::json document = nlohmann::json::parse(read.text);
        look.holds = document.is_object() ? Look::Holds::Preset : Look::Holds::NoPreset;
        if (document.is_object()) look.name = document.get<CameraPreset>().name;
        if (!document.is_object()) look.detail = "it holds no preset";
    } catch (const std::exception& e) {
        look.holds = Look::Holds::NoPreset;
        look.detail = e.what();
    }
    return look;
}

// Whether the change may write `file` as it looked: freely when it holds nothing or the change's
// own preset (`own`), with consent to exactly this content when it holds another preset or none
// that loads, never when it cannot be read or is not a file. One line for every "no".
PresetStore::Answer PresetStore::Decide(const fs::path& file, const Look& look, bool own, const Consent* consent,
                                        bool anyConsent, const std::string& refusal) const {
    Answer answer;
    const std::string shown = PathText(folderHandle.PathOf(file));
    switch (look.holds) {
        case Look::Holds::Nothing: answer.outcome = Outcome::Done; return answer;
        case Look::Holds::Unknown:
            LogLine("{}: its file {} could not be read: {}", refusal, shown, look.detail);
            return answer;
        case Look::Holds::NotAFile: LogLine("{}: {} is not a file", refusal, shown); return answer;
        default: break;
    }
    if (own || anyConsent) {
        answer.outcome = Outcome::Done;
        return answer;
    }
    const std::string key = FileKey(file);
    if (consent && consent->fileKey == key && consent->content == look.content) {
        answer.outcome = Outcome::Done;
        return answer;
    }
    answer.outcome = Outcome::Ask;
    answer.consent = Consent{key, look.content};
    if (look.holds == Look::Holds::Preset) {
        answer.question = fmt::format("{} holds the preset \"{}\". Replace it?", PathText(file), look.name);
        LogLine("{}: its file {} holds the preset {}{}", refusal, shown, look.name,
                consent ? ", and it changed since the question" : "");
    } else {
        answer.question = fmt::format("{} holds no preset that loads. Replace it?", PathText(file));
        LogLine("{}: its file {} holds no preset that loads{}", refusal, shown,
                consent ? ", and it changed since the question" : "");
    }
    return answer;
}

// Stages the document and renames it to `file`; an existing file is replaced only with `replace`.
// False, after one line, when a file took the name meanwhile (it is left as it is).
bool PresetStore::WriteFile(const fs::path& file, const CameraPreset& preset, bool replace, std::string& unflushed) {
    // Serialised before any file is touched: a name that cannot be written costs nothing.
    const std::string text = SerializePreset(preset);
    const fs::path temp = folderHandle.Stage(text, file);
    preset_seams::Reach(preset_seams::Moment::BeforeCommit, folderHandle.PathOf(file));
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
    const Look look = LookAt(*legacy);
    if (look.holds != Look::Holds::Preset || look.name != name) return;
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

PresetStore::Answer PresetStore::Save(const CameraPreset& preset, const Consent* consent) {
    Answer answer = SaveUnpublished(preset, consent, false);
    Publish();
    return answer;
}

bool PresetStore::SavePreset(const CameraPreset& preset, bool allowReplace) {
    const Answer answer = SaveUnpublished(preset, nullptr, allowReplace);
    Publish();
    return answer.outcome == Outcome::Done;
}

void PresetStore::AddPreset(const CameraPreset& preset, bool allowReplace) { SavePreset(preset, allowReplace); }

PresetStore::Answer PresetStore::SaveUnpublished(const CameraPreset& presetRef, const Consent* consent,
                                                 bool anyConsent) {
    const CameraPreset preset = presetRef;  // may be a cached record, which the refresh rewrites
    if (RefusedValues(preset)) return Refused();
    try {
        const fs::path file = PresetFileNameFor(preset.name);
        const Look look = LookAt(file);
        const bool own = look.holds == Look::Holds::Preset && look.name == preset.name;
        Answer answer = Decide(file, look, own, consent, anyConsent, fmt::format("Preset {} not saved", preset.name));
        if (answer.outcome != Outcome::Done) return answer;
        LogLine("Saving preset {} to {}", preset.name, PathText(folderHandle.PathOf(file)));
        std::string unflushed;
        if (!WriteFile(file, preset, look.holds != Look::Holds::Nothing, unflushed)) return Refused();
        RecordSavedFile(file, preset, unflushed);
        answer.file = file;
        return answer;
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
        return Refused();
    }
}

// The file-system half of deleting a preset, with DeletePreset's log lines. True when removed.
bool PresetStore::RemoveFile(const fs::path& file) {
    const std::string shown = PathText(folderHandle.PathOf(file));
    preset_seams::Reach(preset_seams::Moment::BeforeRemove, folderHandle.PathOf(file));
    const std::error_code error = folderHandle.Remove(file);
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

// Removes `file` only when it holds a preset named `name`, read now; else one line. The cache
// then says what the file holds: nothing once removed, what was read when it was not.
bool PresetStore::RemoveIfHolds(const fs::path& file, const std::string& name) {
    const std::string shown = PathText(folderHandle.PathOf(file));
    const Look look = LookAt(file);
    switch (look.holds) {
        // A folder that happens to carry the name is not a preset file: never removed.
        case Look::Holds::Nothing:
        case Look::Holds::NotAFile: LogLine("preset file does not exist: {}", shown); return false;
        case Look::Holds::Unknown: LogLine("Failed to delete preset file: {} ({})", shown, look.detail); return false;
        case Look::Holds::NoPreset:
            LogLine("Preset file not deleted, {} holds no preset that loads", shown);
            return false;
        case Look::Holds::Preset: break;
    }
    if (look.name != name) {
        LogLine("Preset file not deleted, {} holds the preset {}", shown, look.name);
        return false;
    }
    if (!RemoveFile(file)) return false;
    LogLine(SetFileRecord(file, std::nullopt) ? "removed preset from cache" : "Failed to remove preset from cache");
    return true;
}

void PresetStore::DeletePreset(const std::string& name) {
    DeleteUnpublished(name);
    Publish();
}

void PresetStore::DeleteUnpublished(const std::string& nameRef) {
    const std::string name = nameRef;  // may be a cached record's name, which the erase destroys
    if (RefusedWithoutFolder("Preset file not deleted")) return;
    try {
        // The empty name's file ".json" is never a preset: it is reported, never removed. Other
        // refused names point outside the folder. The cache keeps such a record.
        if (name.empty()) {
            LogLine("Deleting preset: {}", name);
            std::error_code error;
            if (folderHandle.TypeOf(PresetFileNameFor(name), error) == EntryType::Missing) {
                LogLine("preset file does not exist: {}", PathText(folderHandle.PathOf(PresetFileNameFor(name))));
                return;
            }
        }
        if (const char* problem = PresetNameProblem(name)) {
            LogLine("Preset file not deleted, the name {} cannot be a file name: {}", PrintableName(name), problem);
            return;
        }
        LogLine("Deleting preset: {}", name);
        RemoveIfHolds(ExistingFileName(name), name);
    } catch (const std::exception& e) {
        LogLine("Exception while deleting preset: {}", e.what());
    }
}

PresetStore::Answer PresetStore::Rename(const std::string& oldName, const CameraPreset& preset,
                                        const Consent* consent) {
    Answer answer = RenameUnpublished(oldName, preset, consent, false);
    Publish();
    return answer;
}

void PresetStore::ReplacePreset(const std::string& oldName, const CameraPreset& preset, bool allowReplace) {
    RenameUnpublished(oldName, preset, nullptr, allowReplace);
    Publish();
}

PresetStore::Answer PresetStore::RenameUnpublished(const std::string& oldNameRef, const CameraPreset& presetRef,
                                                   const Consent* consent, bool anyConsent) {
    const std::string oldName = oldNameRef;
    const CameraPreset preset = presetRef;
    if (RefusedValues(preset)) return Refused();

    // The new document reaches its file before the old preset is touched; if it cannot, the old
    // preset stays exactly as it was. The log then tells the usual story: delete, then save.
    const fs::path file = PresetFileNameFor(preset.name);
    OldFile old;
    Answer answer;
    std::string unflushed;
    try {
        old = LookAtOldFile(oldName, file);
        const Look look = old.sameFile ? old.look : LookAt(file);
        // Its own file only where the old preset's file is the new name's too (re-tuning, or a
        // change of case where file names ignore it): any other file holding a preset, even one
        // of the new name, holds another preset.
        const bool own = old.sameFile && look.holds == Look::Holds::Preset &&
                         (look.name == oldName || look.name == preset.name);
        answer = Decide(file, look, own, consent, anyConsent, fmt::format("Preset {} not renamed", oldName));
        if (answer.outcome != Outcome::Done) return answer;
        if (!WriteFile(file, preset, look.holds != Look::Holds::Nothing, unflushed)) return Refused();
    } catch (const std::exception& e) {
        LogLine("Preset {} kept, its replacement could not be saved: {}", oldName, e.what());
        return Refused();
    }

    // The new file is written: whatever the old half does, the cache says so.
    try {
        RetireOldPreset(oldName, old);
    } catch (const std::exception& e) {
        LogLine("Failed to delete preset file: {} ({})", PathText(folderHandle.PathOf(old.file)), e.what());
    }
    try {
        LogLine("Saving preset {} to {}", preset.name, PathText(folderHandle.PathOf(file)));
        RecordSavedFile(file, preset, unflushed);
    } catch (const std::exception& e) {
        LogLine("Exception while saving preset: {}", e.what());
    }
    answer.file = file;
    return answer;
}

// Looked at before the new file exists: it may be an earlier version's, or the new one itself.
PresetStore::OldFile PresetStore::LookAtOldFile(const std::string& oldName, const fs::path& newFile) const {
    OldFile old;
    if (PresetNameProblem(oldName)) return old;
    old.usable = true;
    old.file = ExistingFileName(oldName);
    old.sameFile = FileKey(old.file) == FileKey(newFile);
    old.look = LookAt(old.file);
    return old;
}

// The old half of a rename, once the new file is in place: its file and that file's record go,
// with DeletePreset's lines, but only a file that holds the old preset.
void PresetStore::RetireOldPreset(const std::string& oldName, const OldFile& old) {
    if (!old.usable) {
        LogLine("Preset file not deleted, the name {} cannot be a file name: {}", PrintableName(oldName),
                PresetNameProblem(oldName));
        return;
    }
    const bool heldOld = old.look.holds == Look::Holds::Preset && old.look.name == oldName;
    if (!old.sameFile) {
        LogLine("Deleting preset: {}", oldName);
        RemoveIfHolds(old.file, oldName);
        return;
    }
    // Re-tuning, or a rename that differs only in case where file names ignore it: the new
    // document already took the old file's place. What it replaced was said by the question.
    if (!heldOld && old.look.holds != Look::Holds::Nothing) return;
    LogLine("Deleting preset: {}", oldName);
    if (!heldOld) {
        LogLine("preset file does not exist: {}", PathText(folderHandle.PathOf(old.file)));
        return;
    }
    LogLine("Preset file deleted: {}", PathText(folderHandle.PathOf(old.file)));
    LogLine(SetFileRecord(old.file, std::nullopt) ? "removed preset from cache" : "Failed to remove preset from cache");
}
