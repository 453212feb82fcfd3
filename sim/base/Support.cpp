#include "sim/base/Support.h"

#include <stdlib.h>

#include <cerrno>
#include <random>
#include <system_error>

#include <fmt/format.h>

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

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool SplitScriptLine(const std::string& line, std::vector<ScriptWord>& words, std::string& error) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        ScriptWord word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
            const char c = line[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word.text += line[++i];
            } else {
                word.text += c;
            }
        }
        if (quoted) {
            error = "a double quote is not closed";
            return false;
        }
        word.end = i;
        words.push_back(std::move(word));
    }
    return true;
}

namespace {

#if defined(_WIN32)

// No mkdtemp on Windows: creating a folder fails when the name is taken, so a few random names
// give one that is new and ours.
std::filesystem::path MakeTemporaryFolder(const std::string& prefix) {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path folder = base / fmt::format("{}-{:012x}", prefix, random() & 0xffffffffffffULL);
        if (std::filesystem::create_directory(folder, error)) return folder;
        if (error) break;
    }
    if (!error) error = std::make_error_code(std::errc::file_exists);
    throw std::filesystem::filesystem_error("cannot create a temporary folder", base / prefix, error);
}

#else

std::filesystem::path MakeTemporaryFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::filesystem::filesystem_error("cannot create a temporary folder", pattern,
                                                std::error_code(errno, std::generic_category()));
    return pattern;
}

#endif

}  // namespace

TemporaryFolder::TemporaryFolder(const std::string& prefix) : path(MakeTemporaryFolder(prefix)) {}

TemporaryFolder::~TemporaryFolder() { Remove(); }

TemporaryFolder::TemporaryFolder(TemporaryFolder&& other) noexcept : path(std::move(other.path)) {
    other.path.clear();
}

TemporaryFolder& TemporaryFolder::operator=(TemporaryFolder&& other) noexcept {
    if (this != &other) {
        Remove();
        path = std::move(other.path);
        other.path.clear();
    }
    return *this;
}

// A test may have left parts of it closed to its owner: they are opened again first. What still
// cannot go (held open elsewhere) is left to the system.
void TemporaryFolder::Remove() noexcept {
    if (path.empty()) return;
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(path, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored))
        if (!it->is_symlink(ignored)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
    path.clear();
}

}  // namespace sim
