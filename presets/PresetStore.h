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
// Every change decides from the disk at that moment, not from the cache: it reads the file it
// would write or remove, replaces a file that holds another preset (or none that loads) only with
// the user's consent to exactly what that file holds, removes only a file holding the preset
// deleted, and refuses, in one line, while the folder at the path is no longer the one opened.
// The store knows which file holds each record, so that the cache stays equal to what a fresh
// load would give for every file it touched.
class PresetStore {
public:
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

    // The cache, sorted by name, for the thread that owns the store; it changes only through the
    // operations below.
    const std::vector<CameraPreset>& Presets() const { return presets; }
    // The folder's path as given; every change acts in the folder opened there (PresetFolderHandle.h).
    const std::filesystem::path& PresetFolder() const { return presetFolder; }

    // True once the folder was loaded; only then do saves, renames and deletes act.
    bool Usable() const;
    // Why the store refuses to act, for the panel; empty when usable.
    std::string UnusableReason() const;

    // Start-up, and "Reload": opens the folder at its path afresh (made when missing, a link
    // refused), reads every preset file below it into the cache, and removes the left-over files
    // of interrupted saves. Every later change acts in the folder this opened. Throws like the
    // constructor when the folder cannot be opened or read; the store is then unusable and empty.
    void LoadPresets();
    // "Reload": LoadPresets, and where the folder cannot be opened, start-up's line for it.
    void Reload();
    // Start-up's line for a store that cannot act, saying why; nothing for a usable store.
    void LogUnavailable() const;

    // The store belongs to one thread (after start-up, the render thread). Another thread reads
    // this instead, as of the last completed load or change: the record held in NAME.json at the
    // top of the folder where there is one, else the first record of that name; copied under a
    // lock of its own that nothing else is done under.
    std::optional<CameraPreset> FindPublished(const std::string& name) const;
    // Every record as last published, for the same readers; never null.
    std::shared_ptr<const std::vector<CameraPreset>> Published() const;
    // The user's "Replace" for one file as it was when the question was asked: a change replaces
    // that file only while it still holds exactly what it held then.
    struct Consent {
        std::string fileKey;
        std::string content;
    };
    // How a save, re-tune or rename ended. Ask: nothing was written, because the file it would
    // write holds another preset or one that does not load; `question` names both, and passing
    // `consent` back replaces that file if it has not changed since (else the question comes again).
    struct Answer {
        enum class Outcome { Done, Ask, Refused };
        Outcome outcome = Outcome::Refused;
        std::string question;
        Consent consent;
        std::filesystem::path file;  // Done: the file written, relative to the folder
    };
    // Writes the preset's file and makes the cache say what that file now holds.
    Answer Save(const CameraPreset& preset, const Consent* consent = nullptr);
    // Rename or re-tune: the preset named oldName gives way to `preset`, but only once the new
    // document is known to be written, so a failed save never costs the user the old preset.
    Answer Rename(const std::string& oldName, const CameraPreset& preset, const Consent* consent = nullptr);

    // The same, where `allowReplace` agrees in advance to whatever the file holds at the moment.
    // True when the file now holds the new document.
    bool SavePreset(const CameraPreset& preset, bool allowReplace = false);
    void AddPreset(const CameraPreset& preset, bool allowReplace = false);
    void ReplacePreset(const std::string& oldName, const CameraPreset& preset, bool allowReplace = false);
    // Removes the name's file, only when it holds a preset of that name.
    void DeletePreset(const std::string& name);
    std::optional<CameraPreset> FindPreset(const std::string& name) const;

    // A selection names a file: the record that file holds in the cache, and the file holding a
    // cached record (its name and values; the first such file).
    std::optional<CameraPreset> RecordOfFile(const std::filesystem::path& file) const;
    std::optional<std::filesystem::path> FileOfRecord(const CameraPreset& record) const;

private:
    friend struct PresetStoreTesting;

    std::vector<CameraPreset> presets;
    std::filesystem::path presetFolder;

    // The cache as last published: replaced whole once per load and change, never edited.
    struct Publication {
        std::mutex lock;
        std::shared_ptr<const std::vector<CameraPreset>> presets = std::make_shared<std::vector<CameraPreset>>();
        // The record held in NAME.json at the top of the folder, by name.
        std::shared_ptr<const std::map<std::string, CameraPreset>> ownFiles =
            std::make_shared<std::map<std::string, CameraPreset>>();
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

    // What a file of the folder holds now, read from the disk.
    struct Look {
        enum class Holds { Nothing, Preset, NoPreset, Unknown, NotAFile };
        Holds holds = Holds::Nothing;
        std::string name;     // Preset: the preset's name
        std::string detail;   // NoPreset, Unknown: why
        std::string content;  // what was read, which a consent is given for
    };
    struct OldFile {
        bool usable = false;    // the old name can be a file name
        std::filesystem::path file;
        bool sameFile = false;  // it is the new name's file
        Look look;
    };

    void ForgetFolder(const std::string& why);
    bool RefusedWithoutFolder(const char* refusal) const;
    bool RefusedValues(const CameraPreset& preset) const;
    std::filesystem::path ExistingFileName(const std::string& name) const;
    Look LookAt(const std::filesystem::path& file) const;
    Answer Decide(const std::filesystem::path& file, const Look& look, bool own, const Consent* consent, bool anyConsent,
                  const std::string& refusal) const;
    Answer SaveUnpublished(const CameraPreset& preset, const Consent* consent, bool anyConsent);
    Answer RenameUnpublished(const std::string& oldName, const CameraPreset& preset, const Consent* consent,
                             bool anyConsent);
    void DeleteUnpublished(const std::string& name);
    bool WriteFile(const std::filesystem::path& file, const CameraPreset& preset, bool replace, std::string& unflushed);
    void RemoveLegacyFile(const std::string& name);
    void RecordSavedFile(const std::filesystem::path& file, const CameraPreset& preset, const std::string& unflushed);
    bool RemoveFile(const std::filesystem::path& file);
    bool RemoveIfHolds(const std::filesystem::path& file, const std::string& name);
    OldFile LookAtOldFile(const std::string& oldName, const std::filesystem::path& newFile) const;
    void RetireOldPreset(const std::string& oldName, const OldFile& old);
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
