#include "presets/PresetFiles.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/LogLine.h"
#include "presets/PresetPath.h"
#include "presets/PresetStoreTesting.h"

namespace fs = std::filesystem;

std::function<void(const fs::path&)> presetOpenHookForTests;

namespace preset_files {

namespace {

std::string ErrnoText(int error) {
    if (error == 0) return "unknown error";
    return std::generic_category().message(error);
}

fs::path TempPathBeside(const fs::path& file) {
    static std::atomic<unsigned long long> counter{0};
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
#ifdef _WIN32
    const long process = _getpid();
#else
    const long process = static_cast<long>(getpid());
#endif
    return file.parent_path() /
           fmt::format("{}{:x}-{:x}-{}{}", kTempPrefix, process, stamp, counter.fetch_add(1), kTempSuffix);
}

#ifdef _WIN32
// Writes all of the text through the runtime's text mode. Returns errno or 0.
int WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const size_t left = text.size() - done;
        const unsigned chunk = left > (1u << 30) ? (1u << 30) : static_cast<unsigned>(left);
        const int written = ::_write(fd, text.data() + done, chunk);
        if (written < 0) return errno ? errno : EIO;
        if (written == 0) return EIO;
        done += static_cast<size_t>(written);
    }
    return 0;
}

// The system's own sentence for a Windows error code.
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
#else
// Writes all of the text, across short writes and interrupted calls. Returns errno or 0.
int WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno ? errno : EIO;
        }
        if (written == 0) return EIO;
        done += static_cast<size_t>(written);
    }
    return 0;
}

// Flushes the folder's entry list, so that a rename or removal in it is on stable storage.
int SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno ? errno : EIO;
    int error = ::fsync(fd) == 0 ? 0 : (errno ? errno : EIO);
    if (::close(fd) != 0 && error == 0) error = errno ? errno : EIO;
    return error;
}
#endif

}  // namespace

bool IsTempFileName(const std::string& name) {
    const std::string prefix = kTempPrefix, suffix = kTempSuffix;
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

#ifdef _WIN32
// No FIFOs to hang on here; the size is checked before the bytes are read.
FileRead ReadPresetFile(const fs::path& file, bool) {
    if (presetOpenHookForTests) presetOpenHookForTests(file);
    FileRead read;
    std::error_code error;
    read.size = fs::file_size(file, error);
    if (!error && read.size > kMaxPresetFileSize) {
        read.outcome = FileRead::Outcome::TooLarge;
        return read;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return read;
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        read.text.append(buffer, static_cast<size_t>(in.gcount()));
        if (read.text.size() > kMaxPresetFileSize) {
            read.outcome = FileRead::Outcome::TooLarge;
            read.text.clear();
            return read;
        }
    }
    return read;
}
#else
FileRead ReadPresetFile(const fs::path& file, bool entryWasLink) {
    if (presetOpenHookForTests) presetOpenHookForTests(file);
    FileRead read;
    // O_NONBLOCK: a FIFO swapped in opens at once instead of waiting for a writer; fstat then
    // shows what was really opened.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (entryWasLink ? 0 : O_NOFOLLOW);
    const int fd = ::open(file.c_str(), flags);
    if (fd < 0) return read;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        read.outcome = FileRead::Outcome::ReadFailed;
        read.error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        read.outcome = FileRead::Outcome::NotRegular;
    } else if (static_cast<std::uintmax_t>(info.st_size) > kMaxPresetFileSize) {
        read.outcome = FileRead::Outcome::TooLarge;
        read.size = static_cast<std::uintmax_t>(info.st_size);
    } else {
        // One read of the expected size and a byte more: a short read of a regular file is its
        // end. Only a file that grew meanwhile takes more reads, up to the cap.
        read.text.resize(static_cast<size_t>(info.st_size) + 1);
        size_t done = 0;
        for (;;) {
            if (done == read.text.size()) {
                if (done > kMaxPresetFileSize) {
                    read.outcome = FileRead::Outcome::TooLarge;
                    read.size = done;
                    break;
                }
                read.text.resize(done * 2);
            }
            const ssize_t got = ::read(fd, read.text.data() + done, read.text.size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                read.outcome = FileRead::Outcome::ReadFailed;
                read.error = errno;
                break;
            }
            done += static_cast<size_t>(got);
            if (done < read.text.size()) break;
        }
        read.text.resize(read.outcome == FileRead::Outcome::Text ? done : 0);
    }
    ::close(fd);  // read-only: nothing to lose when closing fails
    return read;
}
#endif

#ifdef _WIN32
fs::path StageFile(const fs::path& file, const std::string& text) {
    const fs::path temp = TempPathBeside(file);
    // Text mode, as the host's own runtime writes a text file: every LF goes out as CR LF.
    const int fd = ::_wopen(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        throw std::runtime_error(
            fmt::format("could not create a file in {}: {}", PathText(file.parent_path()), ErrnoText(errno)));
    }
    // _commit is FlushFileBuffers: the bytes are on the disk before the rename makes them the
    // preset, as fsync does elsewhere.
    int error = WriteAll(fd, text);
    if (error == 0 && ::_commit(fd) != 0) error = errno ? errno : EIO;
    if (::_close(fd) != 0 && error == 0) error = errno ? errno : EIO;
    if (error != 0) {
        ::_wunlink(temp.c_str());
        throw std::runtime_error(fmt::format("could not write {}: {}", PathText(file), ErrnoText(error)));
    }
    return temp;
}

std::string CommitFile(const fs::path& temp, const fs::path& file) {
    // MOVEFILE_WRITE_THROUGH returns only once the rename is on the disk, which is what flushing
    // the folder does elsewhere. A file another program holds open cannot be replaced: the
    // rename fails and the old document stays.
    if (!::MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        throw std::runtime_error(fmt::format("could not replace {}: {}", PathText(file), SystemErrorText(error)));
    }
    return {};
}
#else
fs::path StageFile(const fs::path& file, const std::string& text) {
    const fs::path temp = TempPathBeside(file);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error(
            fmt::format("could not create a file in {}: {}", PathText(file.parent_path()), ErrnoText(errno)));
    }
    // Flushed before the rename: without it a power cut can leave the renamed file empty on file
    // systems that reorder data and metadata writes.
    int error = WriteAll(fd, text);
    if (error == 0 && ::fsync(fd) != 0) error = errno ? errno : EIO;
    if (::close(fd) != 0 && error == 0) error = errno ? errno : EIO;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error(fmt::format("could not write {}: {}", PathText(file), ErrnoText(error)));
    }
    return temp;
}

std::string CommitFile(const fs::path& temp, const fs::path& file) {
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw std::runtime_error(fmt::format("could not replace {}: {}", PathText(file), ErrnoText(error)));
    }
    if (const int error = SyncFolder(file.parent_path())) return ErrnoText(error);
    return {};
}
#endif

}  // namespace preset_files
