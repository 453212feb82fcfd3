#pragma once
// What differs between the platforms the suite runs on (Linux, and Windows under Wine): library
// names, running a program as a shell does, and the tests that have no meaning on Windows.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <gtest/gtest.h>

#include "sim/base/Support.h"

#if defined(_WIN32)
#define VISTORB_LIBRARY_SUFFIX ".dll"
// A library every Windows process can open, which is no plugin.
#define VISTORB_NOT_A_PLUGIN "kernel32.dll"
#else
#define VISTORB_LIBRARY_SUFFIX ".so"
#define VISTORB_NOT_A_PLUGIN "libm.so.6"
#endif

// A test that has no meaning on Windows says so and why; it shows as skipped there.
#if defined(_WIN32)
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << "not on Windows: " << reason
#else
#define SKIP_ON_WINDOWS(reason) (void)0
#endif

namespace test_platform {

struct RunResult {
    int status = -1;
    std::string output;  // stdout and stderr together, in the order written
};

// A path argument for the shell: quoted, and on Windows with the drive the program sees.
inline std::string ShellPath(const std::string& path) {
#if defined(_WIN32)
    std::filesystem::path full = std::filesystem::absolute(std::filesystem::u8path(path)).make_preferred();
    return "\"" + full.string() + "\"";
#else
    return "'" + path + "'";
#endif
}

// An argument quoted for the shell as it is, so that the program sees (and prints) the same text.
inline std::string Quoted(const std::string& text) {
#if defined(_WIN32)
    return "\"" + text + "\"";
#else
    return "'" + text + "'";
#endif
}

// Runs a program through the system's shell with `input` on its standard input.
inline RunResult RunProgram(const std::string& program, const std::string& arguments, const std::string& input) {
    RunResult result;
    const sim::TemporaryFolder folder("vistorb-run");
    const std::filesystem::path stdinFile = folder.Path() / "stdin.txt";
    std::ofstream(stdinFile, std::ios::binary) << input;
    std::string command = ShellPath(program) + " " + arguments + " <" + ShellPath(stdinFile.string()) + " 2>&1";
#if defined(_WIN32)
    command = "\"" + command + "\"";  // cmd /c drops the outermost quotes
#endif
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
        const int raw = pclose(pipe);
#if defined(_WIN32)
        result.status = raw;
#else
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
    }
    return result;
}

}  // namespace test_platform
