#pragma once
// The preset folder as the store holds it from start-up: not a path that is resolved again for
// every save and delete, but the folder itself. If another program later points the path
// somewhere else (a symbolic link put in place of the folder or of a parent), every operation
// still acts inside the folder that was opened, or, where the system offers no such handle, is
// refused with a sentence for the log.
//
// POSIX: a directory descriptor opened without following a link in the folder's last part;
// files are made, renamed, removed and flushed with openat, renameat(2), unlinkat and fsync
// relative to it. Windows: the folder's identity (volume and file index) taken at start-up and
// checked before every operation.
#include <filesystem>
#include <string>
#include <system_error>

#include "presets/PresetFiles.h"

namespace preset_files {

class FolderHandle {
public:
    enum class EntryType { Missing, Regular, Link, Folder, Other, Unknown };

    FolderHandle() = default;
    ~FolderHandle();
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    void swap(FolderHandle& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // Opens an existing folder. Throws std::filesystem::filesystem_error when it cannot be opened
    // as a folder (a link in its last part counts as not a folder).
    static FolderHandle Open(const std::filesystem::path& folder);
    bool IsOpen() const;
    // Where the folder was when it was opened, for log lines.
    const std::filesystem::path& Path() const { return path; }
    // The opened folder's entry `name` (one file name) as a path, for log lines.
    std::filesystem::path PathOf(const std::filesystem::path& name) const { return path / name; }

    // Throws std::runtime_error with a sentence when the folder at the path is no longer the one
    // opened (moved, removed or replaced since): acting in it would write where the user no
    // longer looks, and acting at the path would act on a folder nobody loaded.
    void CheckStillThere() const;
    // The entry's own type, a link not followed; `error` says why for Unknown.
    EntryType TypeOf(const std::filesystem::path& name, std::error_code& error) const;
    // A whole file of the folder, following a link, with ReadPresetFile's rules.
    FileRead Read(const std::filesystem::path& name) const;
    // Writes `text` to a new temporary file of the folder and flushes it; returns its name.
    // Throws std::runtime_error naming `forFile` (the file it is meant to become).
    std::filesystem::path Stage(const std::string& text, const std::filesystem::path& forFile) const;
    // Renames the staged file to `name`. With `replace` false an existing `name` is never
    // replaced, even one that appears meanwhile: false is returned then, and the staged file is
    // removed. Throws std::runtime_error on any other failure (staged file removed). `unflushed`
    // gets what went wrong flushing the folder once the rename was done.
    bool Commit(const std::filesystem::path& temp, const std::filesystem::path& name, bool replace,
                std::string& unflushed) const;
    // Removes the file `name`; no error, or why not (no_such_file_or_directory when it was gone).
    std::error_code Remove(const std::filesystem::path& name) const;

private:
    std::filesystem::path path;
#if defined(_WIN32)
    bool open = false;
    unsigned long volume = 0;
    unsigned long long index = 0;
#else
    int fd = -1;
    unsigned long long device = 0, inode = 0;  // of the folder opened, to compare with the path's
#endif
};

inline void swap(FolderHandle& a, FolderHandle& b) noexcept { a.swap(b); }

}  // namespace preset_files
