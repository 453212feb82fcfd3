#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "presets/CameraPreset.h"
#include "presets/PresetFolderHandle.h"

// The preset cache, kept sorted by name, mirrored one file per preset in presetFolder.
//
// A store acts only inside a preset folder it could open: one built by default, or whose folder
// could not be created or read, or is not an absolute path, refuses every change with one line
// (and says why through UnusableReason), so that no preset file is ever written or removed
// anywhere else, such as the process's working directory. The folder is held open from then on
// (PresetFolderHandle.h): a path pointed elsewhere later never takes a save or a delete with it.
//
// The store knows which file holds each record it loaded or saved, so that the cache always
// equals what a fresh load of the folder would give: a save or a delete acts on the name's file
// and on that file's record only, and a save never replaces a file that holds another preset
// (without the caller's consent) or a file it could not read.
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
    // interrupted saves. Throws like the constructor when the folder cannot be read. Loading
    // again reads the folder afresh; a folder that has gone leaves the cache as it was.
    void LoadPresets();

    // The store belongs to one thread (after start-up, the render thread). Another thread reads
    // this instead: the first record of that name as of the last load or change (the one
    // FindPreset gives), copied under a lock of its own that nothing else is done under.
    std::optional<CameraPreset> FindPublished(const std::string& name) const;
    // Every record as last published, for the same readers; never null.
    std::shared_ptr<const std::vector<CameraPreset>> Published() const;
    // Writes the preset's file and updates the record of that file, or caches a new one in name
    // order. A file that holds another preset is replaced only with `allowReplace` (the user's
    // consent; SaveWouldReplace tells the panel when to ask); an unreadable one never. True when
    // the file now holds the new document.
    bool SavePreset(const CameraPreset& preset, bool allowReplace = false);
    void AddPreset(const CameraPreset& preset, bool allowReplace = false);
    // Whether the name's file holds another cached preset, which a save replaces only with
    // consent. Looks at the cache only, never at the disk, so it may be asked with a lock held.
    bool SaveWouldReplace(const std::string& name) const;
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

    // What the name's file holds now, as a save would find it.
    enum class Target { Free, Own, OtherPreset, Unreadable, NotAFile };

private:
    // The cache as last published: replaced whole after every load and change, never edited.
    struct Publication {
        std::mutex lock;
        std::shared_ptr<const std::vector<CameraPreset>> presets = std::make_shared<std::vector<CameraPreset>>();
    };
    std::shared_ptr<Publication> publication = std::make_shared<Publication>();
    void Publish();

    struct FileRecord {
        std::filesystem::path file;  // relative to the folder
        CameraPreset preset;         // the record it holds, as cached
    };

    // Set while the store may not act; cleared by a successful load.
    std::string unusableReason = "no preset folder has been opened";
    preset_files::FolderHandle folderHandle;
    // FileKey of each loaded or saved file -> its record. Records put into `presets` by other
    // means have no file here.
    std::map<std::string, FileRecord> fileRecords;

    void OpenFolder();
    bool RefusedWithoutFolder(const char* refusal) const;
    bool RefusedValues(const CameraPreset& preset) const;
    std::filesystem::path ExistingFileName(const std::string& name) const;
    Target TargetOf(const std::filesystem::path& file, const std::string& name, std::string& detail) const;
    bool RefusedTarget(Target target, const std::filesystem::path& file, const std::string& detail, bool allowReplace,
                       const std::string& refusal) const;
    bool WriteFile(const std::filesystem::path& file, const CameraPreset& preset, bool replace, std::string& unflushed);
    void RemoveLegacyFile(const std::string& name);
    void RecordSavedFile(const std::filesystem::path& file, const CameraPreset& preset, const std::string& unflushed);
    bool RefusedOthersFile(const std::filesystem::path& file, const std::string& name) const;
    bool RemoveFile(const std::filesystem::path& file);
    struct OldFile {
        bool usable = false;    // the old name can be a file name
        std::filesystem::path file;
        bool sameFile = false;  // it is the new name's file
        bool existed = false;
    };
    OldFile LookAtOldFile(const std::string& oldName, const std::filesystem::path& newFile) const;
    void RetireOldPreset(const std::string& oldName, const OldFile& old, const std::string& newName);
    // Makes the cache say that `file` holds `record` (or nothing): the file's old record, if any,
    // is updated in place or erased, with the usual lines. Returns whether it had a record.
    bool SetFileRecord(const std::filesystem::path& file, const std::optional<CameraPreset>& record);
};

// Why a name cannot be a preset's file name (it would leave the preset folder, or make a file
// that never loads again), or nullptr for a usable name. Usable names keep the file-name rule
// exactly: the name unchanged, then ".json".
const char* PresetNameProblem(const std::string& name);

// A name as refusal lines show it: quoted, control bytes spelled out.
std::string PrintableName(const std::string& name);

// Inserts a record into a cache sorted by name, at its place in that order.
void InsertByName(std::vector<CameraPreset>& presets, const CameraPreset& preset);
