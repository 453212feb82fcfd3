#include "presets/PresetFiles.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/LogLine.h"
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

#ifndef _WIN32
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
    errno = 0;
    std::ofstream out(temp, std::ios::out | std::ios::trunc);
    if (!out.is_open()) {
        throw std::runtime_error(
            fmt::format("could not create a file in {}: {}", file.parent_path().string(), ErrnoText(errno)));
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (out.fail()) {
        const int error = errno;
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw std::runtime_error(fmt::format("could not write {}: {}", file.string(), ErrnoText(error)));
    }
    return temp;
}

std::string CommitFile(const fs::path& temp, const fs::path& file) {
    std::error_code error;
    fs::rename(temp, file, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw std::runtime_error(fmt::format("could not replace {}: {}", file.string(), error.message()));
    }
    return {};
}
#else
fs::path StageFile(const fs::path& file, const std::string& text) {
    const fs::path temp = TempPathBeside(file);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error(
            fmt::format("could not create a file in {}: {}", file.parent_path().string(), ErrnoText(errno)));
    }
    // Flushed before the rename: without it a power cut can leave the renamed file empty on file
    // systems that reorder data and metadata writes.
    int error = WriteAll(fd, text);
    if (error == 0 && ::fsync(fd) != 0) error = errno ? errno : EIO;
    if (::close(fd) != 0 && error == 0) error = errno ? errno : EIO;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error(fmt::format("could not write {}: {}", file.string(), ErrnoText(error)));
    }
    return temp;
}

std::string CommitFile(const fs::path& temp, const fs::path& file) {
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw std::runtime_error(fmt::format("could not replace {}: {}", file.string(), ErrnoText(error)));
    }
    if (const int error = SyncFolder(file.parent_path())) return ErrnoText(error);
    return {};
}
#endif

}  // namespace preset_files
