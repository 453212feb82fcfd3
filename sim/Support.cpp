#include "sim/Support.h"

#include <stdlib.h>

#include <cerrno>
#include <system_error>

namespace sim {

bool ParseInteger(const std::string& text, long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || errno == ERANGE) return false;
    value = parsed;
    return true;
}

bool ParseInteger(const std::string& text, long low, long high, long& value) {
    long parsed = 0;
    if (!ParseInteger(text, parsed) || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE) return false;
    value = parsed;
    return true;
}

std::filesystem::path MakeTemporaryFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::filesystem::filesystem_error("cannot create a temporary folder", pattern,
                                                std::error_code(errno, std::generic_category()));
    return pattern;
}

}  // namespace sim
