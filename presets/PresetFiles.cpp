#include "presets/PresetFiles.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/LogLine.h"
#include "presets/PresetPath.h"
#include "presets/PresetSeams.h"

namespace fs = std::filesystem;

namespace preset_files {

namespace {

#if !defined(_WIN32)
// One read of the expected size and a byte more: a short read of a regular file is its end.
// Only a file that grew meanwhile takes more reads, up to the cap.
void ReadWhole(int fd, size_t expected, FileRead& read) {
    read.text.resize(expected + 1);
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
    // Shorter than the size the file had when opened: a read that failed half-way, never taken
    // for the file's text (a change decides from it).
    if (read.outcome == FileRead::Outcome::Text && done < expected) {
        read.outcome = FileRead::Outcome::ReadFailed;
        read.error = EIO;
    }
    read.text.resize(read.outcome == FileRead::Outcome::Text ? done : 0);
}
#endif

}  // namespace

#ifdef _WIN32
// No FIFOs to hang on here; the size is checked before the bytes are read. Text mode, as the
// host's runtime reads a text file: CR LF reads as LF and a Ctrl-Z ends the file.
FileRead ReadPresetFile(const fs::path& file, bool) {
    preset_seams::Reach(preset_seams::Moment::BeforeOpen, file);
    FileRead read;
    std::error_code error;
    read.size = fs::file_size(file, error);
    if (!error && read.size > kMaxPresetFileSize) {
        read.outcome = FileRead::Outcome::TooLarge;
        return read;
    }
    std::ifstream in(file);
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
    preset_seams::Reach(preset_seams::Moment::BeforeOpen, file);
    // O_NONBLOCK: a FIFO swapped in opens at once instead of waiting for a writer; fstat then
    // shows what was really opened.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (entryWasLink ? 0 : O_NOFOLLOW);
    const int fd = ::open(file.c_str(), flags);
    if (fd < 0) return FileRead{};
    return ReadDescriptor(fd);
}

FileRead ReadDescriptor(int fd) {
    FileRead read;
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
        ReadWhole(fd, static_cast<size_t>(info.st_size), read);
    }
    ::close(fd);  // read-only: nothing to lose when closing fails
    return read;
}
#endif

}  // namespace preset_files
