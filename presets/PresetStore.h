#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "presets/CameraPreset.h"

// The preset cache, kept sorted by name, mirrored one file per preset in presetFolder.
//
// A store acts only inside a preset folder it could open: one built by default, or whose folder
// could not be created or read, or is not an absolute path, refuses every change with one line
// (and says why through UnusableReason), so that no preset file is ever written or removed
// anywhere else, such as the process's working directory.
class PresetStore {
public:
    std::vector<CameraPreset> presets;
    std::filesystem::path presetFolder;

    PresetStore() = default;
    // Creates the folder and loads it; throws std::filesystem::filesystem_error when the folder
    // is not an absolute path, cannot be created, or cannot be read.
    explicit PresetStore(std::filesystem::path folder);
    // The same, but never throws: a folder that fails gives an unusable store that says why.
    static PresetStore Open(std::filesystem::path folder);
    PresetStore(PresetStore&&) = default;
    PresetStore& operator=(PresetStore&&) = default;
    PresetStore(const PresetStore&) = delete;
    PresetStore& operator=(const PresetStore&) = delete;

    // True once the folder was loaded; only then do saves, renames and deletes act.
    bool Usable() const;
    // Why the store refuses to act, for the panel; empty when usable.
    std::string UnusableReason() const;

    // Reads every preset file below the folder into the cache, and removes the left-over files of
    // interrupted saves. Throws like the constructor when the folder cannot be read.
    void LoadPresets();
    // Writes the preset's file and updates every cached record of its name. True when the file
    // now holds the new document.
    bool SavePreset(const CameraPreset& preset);
    // SavePreset, then caches the preset in name order unless its name was already cached (one
    // record per preset file).
    void AddPreset(const CameraPreset& preset);
    void DeletePreset(const std::string& name);
    std::optional<CameraPreset> FindPreset(const std::string& name) const;
    // Whether a record of that name is cached, or a file of that name is in the folder.
    bool HasPreset(const std::string& name) const;
    // presetFolder joined with the name's file name; the name must have passed PresetNameProblem.
    // Throws std::runtime_error rather than build a path from a folder that is not absolute.
    std::filesystem::path PresetFilePath(const std::string& name) const;
    // Rename or re-tune: the preset named oldName gives way to `preset`, but only once the new
    // document is known to be written, so a failed save never costs the user the old preset.
    // Renaming onto another existing preset is refused unless allowReplace says the user agreed
    // (RenameWouldOverwrite tells the panel when to ask).
    void ReplacePreset(const std::string& oldName, const CameraPreset& preset, bool allowReplace = false);
    // True when renaming oldName to newName would overwrite a different preset.
    bool RenameWouldOverwrite(const std::string& oldName, const std::string& newName) const;

private:
    // Set while the store may not act; cleared by a successful load.
    std::string unusableReason = "no preset folder has been opened";

    void OpenFolder();
    bool RefusedWithoutFolder(const char* refusal) const;
    bool RefusedValues(const CameraPreset& preset) const;
    void RetireOldPreset(const std::string& oldName, const std::filesystem::path& oldFile, bool oldFileExisted,
                         const std::filesystem::path& newFile, const std::string& newName);
    void CommitNewRecord(const CameraPreset& preset);
};

// Why a name cannot be a preset's file name (it would leave the preset folder, or make a file
// that never loads again), or nullptr for a usable name. Usable names keep the file-name rule
// exactly: the name unchanged, then ".json".
const char* PresetNameProblem(const std::string& name);

// Inserts a record into a cache sorted by name, at its place in that order.
void InsertByName(std::vector<CameraPreset>& presets, const CameraPreset& preset);
