#pragma once
// Small pieces every part of the simulator uses the same way: reading a number or a line's words
// from a script or an option, making a scratch folder, and running one unit of work so that
// whatever it throws comes back as a message instead of ending the run.
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace sim {

// The whole text is a decimal integer (an optional sign, no blanks after it) that fits a long.
bool ParseInteger(const std::string& text, long& value);
// The same, and within low..high.
bool ParseInteger(const std::string& text, long low, long high, long& value);
// The whole text is a number as strtod reads it ("1.5", "-3", "1e3", "nan", "inf") that fits a
// double.
bool ParseNumber(const std::string& text, double& value);

// A script line cut into words: blanks separate, double quotes group (and may hold \" and \\).
struct ScriptWord {
    std::string text;
    size_t end = 0;  // offset just past the word in the line, quotes included
};
// False, with a reason, for a line whose quotes do not close.
bool SplitScriptLine(const std::string& line, std::vector<ScriptWord>& words, std::string& error);

// A fresh empty folder named PREFIX-XXXXXX in the system's temporary folder, for the simulator,
// the tests and the benchmarks alike: made by the constructor, which throws
// std::filesystem::filesystem_error (with the system's reason) when it cannot be, and removed
// with everything in it when the object goes.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix);
    ~TemporaryFolder();
    TemporaryFolder(TemporaryFolder&& other) noexcept;
    TemporaryFolder& operator=(TemporaryFolder&& other) noexcept;
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& Path() const { return path; }

private:
    std::filesystem::path path;  // empty once moved from
    void Remove() noexcept;
};

// Runs `work`; true when it returned, false with its message in `failure` when it threw.
template <typename Work>
bool RunCaught(Work&& work, std::string& failure) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "an exception that is not a std::exception";
    }
    return false;
}

}  // namespace sim
