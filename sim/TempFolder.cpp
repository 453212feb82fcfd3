#include "sim/TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <random>
#include <system_error>

#include <fmt/format.h>

namespace sim {

namespace fs = std::filesystem;

#if defined(_WIN32)

// No mkdtemp here: creating a folder fails when the name is taken, so a few random names
// give one that is new and ours.
fs::path MakeTempFolder(const std::string& prefix) {
    const fs::path base = fs::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path folder = base / fmt::format("{}-{:012x}", prefix, random() & 0xffffffffffffULL);
        if (fs::create_directory(folder, error)) return folder;
        if (error) break;
    }
    if (!error) error = std::make_error_code(std::errc::file_exists);
    throw fs::filesystem_error("cannot create a temporary folder", base / prefix, error);
}

#else

fs::path MakeTempFolder(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw fs::filesystem_error("cannot create a temporary folder", pattern,
                                   std::error_code(errno, std::generic_category()));
    return pattern;
}

#endif

}  // namespace sim
