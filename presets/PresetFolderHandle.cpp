// The preset folder held open: POSIX through a directory descriptor, Windows through the
// folder's identity. Sections: shared helpers; POSIX; Windows.
#include "presets/PresetFolderHandle.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <cstdio>
#include <unistd.h>
#endif

#include "core/LogLine.h"
#include "presets/PresetPath.h"

namespace fs = std::filesystem;

namespace preset_files {

namespace {

// --- Shared helpers --------------------------------------------------------------------------

std::string ErrnoText(int error) {
    if (error == 0) return "unknown error";
    return std::generic_category().message(error);
}

int LastErrno() { return errno ? errno : EIO; }

// The staged file stops being a save in progress however the rename ends.
struct SaveEnds {
    const fs::path& temp;
    ~SaveEnds() { TempFileDone(temp); }
};

// Writes all of the text, across short writes and interrupted calls. Returns errno or 0.
int WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const size_t left = text.size() - done;
        const unsigned chunk = left > (1u << 30) ? (1u << 30) : static_cast<unsigned>(left);
#if defined(_WIN32)
        const int written = ::_write(fd, text.data() + done, chunk);  // text mode: LF goes out as CR LF
#else
        const ssize_t written = ::write(fd, text.data() + done, chunk);
        if (written < 0 && errno == EINTR) continue;
#endif
        if (written < 0) return LastErrno();
        if (written == 0) return EIO;
        done += static_cast<size_t>(written);
    }
    return 0;
}

}  // namespace

// Moves go through swap, so that no member is ever used after a destructor ran: the handle
// moved onto closes with the temporary that takes it over.
FolderHandle::FolderHandle(FolderHandle&& other) noexcept { swap(other); }

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    FolderHandle taken(std::move(other));
    swap(taken);
    return *this;
}

void FolderHandle::swap(FolderHandle& other) noexcept {
    using std::swap;
    swap(path, other.path);
#if defined(_WIN32)
    swap(open, other.open);
    swap(volume, other.volume);
    swap(index, other.index);
#else
    swap(fd, other.fd);
    swap(device, other.device);
    swap(inode, other.inode);
#endif
}

static std::string FolderGoneText(const fs::path& folder) {
    return fmt::format("the folder at {} is no longer the one that was opened (moved, removed or replaced); press "
                       "\"Reload\" to open it again",
                       PathText(folder));
}

#if !defined(_WIN32)
// --- POSIX -----------------------------------------------------------------------------------

FolderHandle::~FolderHandle() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

FolderHandle FolderHandle::Open(const fs::path& folder) {
    FolderHandle handle;
    handle.path = folder;
    handle.fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (handle.fd < 0) {
        const int error = LastErrno();
        // O_NOFOLLOW on a link gives ELOOP on some systems and ENOTDIR (with O_DIRECTORY) on
        // Linux, so the entry itself tells.
        const bool link = ::lstat(folder.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
        throw fs::filesystem_error(link ? "cannot open the preset folder, it is a symbolic link"
                                        : "cannot open the preset folder",
                                   folder, std::error_code(error, std::generic_category()));
    }
    if (::fstat(handle.fd, &info) != 0)
        throw fs::filesystem_error("cannot open the preset folder", folder,
                                   std::error_code(LastErrno(), std::generic_category()));
    handle.device = static_cast<unsigned long long>(info.st_dev);
    handle.inode = static_cast<unsigned long long>(info.st_ino);
    return handle;
}

bool FolderHandle::IsOpen() const { return fd >= 0; }

// The path's own last part, a link not followed: a link put in the folder's place is not it.
void FolderHandle::CheckStillThere() const {
    if (fd < 0) throw std::runtime_error("the preset folder is not open");
    struct stat now {};
    if (::lstat(path.c_str(), &now) != 0 && errno != ENOENT && errno != ENOTDIR)
        throw std::runtime_error(fmt::format("could not look at the preset folder {}: {}", PathText(path),
                                             ErrnoText(LastErrno())));
    if (::lstat(path.c_str(), &now) != 0 || !S_ISDIR(now.st_mode) ||
        static_cast<unsigned long long>(now.st_dev) != device || static_cast<unsigned long long>(now.st_ino) != inode)
        throw std::runtime_error(FolderGoneText(path));
}

FolderHandle::EntryType FolderHandle::TypeOf(const fs::path& name, std::error_code& error) const {
    struct stat info {};
    error.clear();
    if (::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        const int code = LastErrno();
        if (code == ENOENT) return EntryType::Missing;
        error = std::error_code(code, std::generic_category());
        return EntryType::Unknown;
    }
    if (S_ISREG(info.st_mode)) return EntryType::Regular;
    if (S_ISLNK(info.st_mode)) return EntryType::Link;
    if (S_ISDIR(info.st_mode)) return EntryType::Folder;
    return EntryType::Other;
}

FileRead FolderHandle::Read(const fs::path& name) const {
    const int file = ::openat(fd, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        FileRead read;
        read.outcome = FileRead::Outcome::ReadFailed;
        read.error = LastErrno();
        return read;
    }
    return ReadDescriptor(file);
}

// Within one change the descriptor is the folder: the path was checked once when it began.
fs::path FolderHandle::Stage(const std::string& text, const fs::path& forFile) const {
    if (fd < 0) throw std::runtime_error("the preset folder is not open");
    const fs::path temp = NewTempFileName();
    const int file = ::openat(fd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (file < 0) {
        const int error = errno;
        TempFileDone(temp);
        throw std::runtime_error(fmt::format("could not create a file in {}: {}", PathText(path), ErrnoText(error)));
    }
    // Flushed before the rename: without it a power cut can leave the renamed file empty on file
    // systems that reorder data and metadata writes.
    int error = WriteAll(file, text);
    if (error == 0 && ::fsync(file) != 0) error = LastErrno();
    if (::close(file) != 0 && error == 0) error = LastErrno();
    if (error != 0) {
        ::unlinkat(fd, temp.c_str(), 0);
        TempFileDone(temp);
        throw std::runtime_error(fmt::format("could not write {}: {}", PathText(PathOf(forFile)), ErrnoText(error)));
    }
    return temp;
}

namespace {

// Renames without replacing: the kernel's RENAME_NOREPLACE, or, where the file system lacks it,
// a hard link (which never replaces either) and the removal of the staged name. 0, EEXIST, or
// another errno.
int RenameNoReplace(int folder, const fs::path& temp, const fs::path& name) {
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (::renameat2(folder, temp.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0) return 0;
    const int error = LastErrno();
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP) return error;
#endif
    if (::linkat(folder, temp.c_str(), folder, name.c_str(), 0) != 0) return LastErrno();
    ::unlinkat(folder, temp.c_str(), 0);  // a left-over staged name is removed by the next load
    return 0;
}

}  // namespace

bool FolderHandle::Commit(const fs::path& temp, const fs::path& name, bool replace, std::string& unflushed) const {
    const SaveEnds ends{temp};
    const int error = replace ? (::renameat(fd, temp.c_str(), fd, name.c_str()) == 0 ? 0 : LastErrno())
                              : RenameNoReplace(fd, temp, name);
    if (error != 0) {
        ::unlinkat(fd, temp.c_str(), 0);
        if (error == EEXIST) return false;
        throw std::runtime_error(fmt::format("could not replace {}: {}", PathText(PathOf(name)), ErrnoText(error)));
    }
    // The rename itself survives a power cut only once the folder's entries are flushed.
    if (::fsync(fd) != 0) unflushed = ErrnoText(LastErrno());
    return true;
}

std::error_code FolderHandle::Remove(const fs::path& name) const {
    if (fd < 0) return std::make_error_code(std::errc::bad_file_descriptor);
    if (::unlinkat(fd, name.c_str(), 0) != 0) return std::error_code(LastErrno(), std::generic_category());
    ::fsync(fd);  // the file is gone either way; only the removal's durability is at stake
    return {};
}

#else
// --- Windows ---------------------------------------------------------------------------------

namespace {

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : fmt::format("error {}", code);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

// The volume and file index of what the path leads to now, or false.
bool IdentityOf(const fs::path& folder, unsigned long& volume, unsigned long long& index) {
    const HANDLE handle = ::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0 &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    ::CloseHandle(handle);
    volume = info.dwVolumeSerialNumber;
    index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return known;
}

}  // namespace

FolderHandle::~FolderHandle() { open = false; }

FolderHandle FolderHandle::Open(const fs::path& folder) {
    FolderHandle handle;
    handle.path = folder;
    if (!IdentityOf(folder, handle.volume, handle.index)) {
        throw fs::filesystem_error("cannot open the preset folder", folder,
                                   std::error_code(static_cast<int>(::GetLastError()), std::system_category()));
    }
    handle.open = true;
    return handle;
}

bool FolderHandle::IsOpen() const { return open; }

void FolderHandle::CheckStillThere() const {
    if (!open) throw std::runtime_error("the preset folder is not open");
    unsigned long nowVolume = 0;
    unsigned long long nowIndex = 0;
    if (!IdentityOf(path, nowVolume, nowIndex) || nowVolume != volume || nowIndex != index)
        throw std::runtime_error(FolderGoneText(path));
}

FolderHandle::EntryType FolderHandle::TypeOf(const fs::path& name, std::error_code& error) const {
    const fs::file_type type = fs::symlink_status(PathOf(name), error).type();
    switch (type) {
        case fs::file_type::not_found: return EntryType::Missing;
        case fs::file_type::regular: return EntryType::Regular;
        case fs::file_type::symlink: return EntryType::Link;
        case fs::file_type::directory: return EntryType::Folder;
        case fs::file_type::none: return EntryType::Unknown;
        default: return EntryType::Other;
    }
}

FileRead FolderHandle::Read(const fs::path& name) const { return ReadPresetFile(PathOf(name), true); }

fs::path FolderHandle::Stage(const std::string& text, const fs::path& forFile) const {
    CheckStillThere();
    const fs::path temp = NewTempFileName();
    const fs::path full = PathOf(temp);
    // Text mode, as the host's own runtime writes a text file: every LF goes out as CR LF.
    const int file = ::_wopen(full.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (file < 0) {
        const int error = errno;
        TempFileDone(temp);
        throw std::runtime_error(fmt::format("could not create a file in {}: {}", PathText(path), ErrnoText(error)));
    }
    // _commit is FlushFileBuffers: the bytes are on the disk before the rename makes them the preset.
    int error = WriteAll(file, text);
    if (error == 0 && ::_commit(file) != 0) error = LastErrno();
    if (::_close(file) != 0 && error == 0) error = LastErrno();
    if (error != 0) {
        ::_wunlink(full.c_str());
        TempFileDone(temp);
        throw std::runtime_error(fmt::format("could not write {}: {}", PathText(PathOf(forFile)), ErrnoText(error)));
    }
    return temp;
}

bool FolderHandle::Commit(const fs::path& temp, const fs::path& name, bool replace, std::string&) const {
    const SaveEnds ends{temp};
    // MOVEFILE_WRITE_THROUGH returns only once the rename is on the disk. Without
    // MOVEFILE_REPLACE_EXISTING an existing file is never replaced, even one that appeared since
    // the store looked. A file another program holds open cannot be replaced either.
    CheckStillThere();
    const fs::path from = PathOf(temp), to = PathOf(name);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (::MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(from.c_str());
    if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) return false;
    throw std::runtime_error(fmt::format("could not replace {}: {}", PathText(to), SystemErrorText(error)));
}

std::error_code FolderHandle::Remove(const fs::path& name) const {
    CheckStillThere();
    std::error_code error;
    if (fs::remove(PathOf(name), error)) return {};
    return error ? error : std::make_error_code(std::errc::no_such_file_or_directory);
}
#endif

}  // namespace preset_files
