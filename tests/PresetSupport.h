#pragma once
// A scratch preset folder with the console captured, for the preset store's tests.
#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/LogLine.h"
#include "presets/PresetPath.h"
#include "presets/PresetStore.h"
#include "presets/PresetStoreTesting.h"
#include "tests/ConsoleCapture.h"
#include "tests/TestPlatform.h"

namespace preset_test {

namespace fs = std::filesystem;

inline ProfileCameraSettings Cam(float base) {
    return ProfileCameraSettings{base, base + 1, base + 2, base + 3, base + 4, base + 5, base + 6};
}

inline CameraPreset Preset(const std::string& name, float base) { return CameraPreset{name, Cam(base)}; }

// The refusal's reason while the folder at the path is not the one the store opened.
inline std::string FolderGone(const fs::path& folder) {
    return "the folder at " + folder.u8string() +
           " is no longer the one that was opened (moved, removed or replaced); press \"Reload\" to open it again";
}

inline bool SameSettings(const ProfileCameraSettings& a, const ProfileCameraSettings& b) {
    return a.FOV == b.FOV && a.Height == b.Height && a.Pitch == b.Pitch && a.Distance == b.Distance &&
           a.Stiffness == b.Stiffness && a.SwivelSpeed == b.SwivelSpeed && a.TransitionSpeed == b.TransitionSpeed;
}

inline std::vector<std::string> Names(const std::vector<CameraPreset>& presets) {
    std::vector<std::string> names;
    for (const auto& p : presets) names.push_back(p.name);
    return names;
}

// Runs work on a thread of its own that has dropped root's right to ignore file permissions, so
// that a folder's mode bits mean something even when the tests run as root. Only that thread
// changes identity: the raw system call, unlike the C library's wrapper, leaves the others alone.
// False when the identity could not be changed (the work did not run). Windows has no such
// powers to drop: the work just runs (tests that deny access with POSIX mode bits are skipped there).
inline bool WithoutRootPowers(const std::function<void()>& work) {
#if defined(_WIN32)
    work();
    return true;
#else
    if (geteuid() != 0) {
        work();
        return true;
    }
    bool ran = false;
    std::thread worker([&] {
        if (syscall(SYS_setresuid, 65534, 65534, 65534) != 0) return;
        ran = true;
        work();
    });
    worker.join();
    return ran;
#endif
}

class PresetFolderTest : public ::testing::Test {
protected:
    CapturedConsole console;
    std::optional<sim::TemporaryFolder> scratch;
    fs::path root;    // scratch space, removed afterwards
    fs::path folder;  // the preset folder inside it

    void SetUp() override {
        globalConsoleManager = console.Console();
        scratch.emplace("vistorb-presets");
        root = scratch->Path();
        // Open to every user, so that work done without root's powers can still reach it.
        fs::permissions(root, fs::perms::all);
        folder = root / "presets";
    }

    void TearDown() override {
        globalConsoleManager.reset();
        scratch.reset();
    }

    PresetStore MakeStore() {
        PresetStore store(folder);
        console.ClearLog();
        return store;
    }

    // Names are UTF-8 text, as the store's are, on every platform. One that is not UTF-8 has no
    // wide form on Windows; there the code page reads it, as the store then does too.
    fs::path FilePath(const std::string& relative) {
        try {
            return folder / fs::u8path(relative);
        } catch (const std::exception&) {
            return folder / fs::path(relative);
        }
    }

    void Write(const std::string& relative, const std::string& text) {
        const fs::path file = FilePath(relative);
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << text;
    }

    std::string Read(const std::string& relative) {
        std::ifstream in(FilePath(relative), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool Exists(const std::string& relative) { return fs::exists(fs::symlink_status(FilePath(relative))); }

    std::string PathOf(const std::string& fileName) { return PathText(FilePath(fileName)); }

    std::vector<std::string> TakeLog() {
        std::vector<std::string> lines = console.LogLines();
        console.ClearLog();
        return lines;
    }

    // Every entry below the scratch root, so a test can show that nothing was written anywhere.
    std::vector<std::string> Tree() {
        std::vector<std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied))
            entries.push_back(entry.path().string());
        std::sort(entries.begin(), entries.end());
        return entries;
    }
};

// The "Wide" preset's document, as every writer of this plugin must produce it.
inline const char* kWideDocument =
    "{\n"
    "    \"preset\": {\n"
    "        \"Distance\": 270.0,\n"
    "        \"FOV\": 110.0,\n"
    "        \"Height\": 100.0,\n"
    "        \"Pitch\": -4.0,\n"
    "        \"Stiffness\": 0.5,\n"
    "        \"SwivelSpeed\": 5.0,\n"
    "        \"TransitionSpeed\": 1.5\n"
    "    },\n"
    "    \"preset_name\": \"Wide\"\n"
    "}";

// A document as a preset file holds it: written in text mode, so with CR LF line ends on Windows.
inline std::string OnDisk(const std::string& document) {
#if defined(_WIN32)
    std::string text;
    for (char c : document) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return text;
#else
    return document;
#endif
}

inline CameraPreset WidePreset() { return CameraPreset{"Wide", {110.0f, 100.0f, -4.0f, 270.0f, 0.5f, 5.0f, 1.5f}}; }

}  // namespace preset_test
