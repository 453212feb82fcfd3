// A child process saves, re-tunes, renames and deletes presets in a tight loop and is killed with
// SIGKILL at random moments. After each kill, and after the next load: every preset file is one
// whole document of ours, no preset went back to an older document or went missing, and the load
// leaves no temporary file behind.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "core/LogLine.h"
#include "presets/PresetFiles.h"
#include "presets/PresetStore.h"
#include "sim/base/Support.h"

namespace fs = std::filesystem;

namespace {

// Stable presets are only ever re-saved; each pair is renamed back and forth; the churn presets
// come and go.
const std::vector<std::string> kStable{"Stable 0", "Stable 1", "Stable 2"};
const std::vector<std::pair<std::string, std::string>> kPairs{{"Pair 0 a", "Pair 0 b"}, {"Pair 1 a", "Pair 1 b"}};
const std::vector<std::string> kChurn{"Churn 0", "Churn 1"};

// A document's generation (round, step) and a check value derived from it and the name, so that a
// document can be told apart from any mix of two.
float Check(const std::string& name, float round, float step) {
    return static_cast<float>(std::fmod(name.size() * 31.0 + round * 7.0 + step * 3.0, 1000.0));
}

CameraPreset Generation(const std::string& name, unsigned round, unsigned step) {
    CameraPreset preset{name, {}};
    preset.settings.Height = static_cast<float>(round);
    preset.settings.Distance = static_cast<float>(step);
    preset.settings.Stiffness = Check(name, preset.settings.Height, preset.settings.Distance);
    preset.settings.FOV = 90;
    return preset;
}

[[noreturn]] void WorkUntilKilled(const fs::path& folder, unsigned round) {
    globalConsoleManager.reset();  // nowhere to log in the child
    PresetStore store = PresetStore::Open(folder);
    if (!store.Usable()) _exit(3);
    for (unsigned step = 0;; ++step) {
        switch (step % 4) {
            case 0:
                store.AddPreset(Generation(kStable[step % kStable.size()], round, step));
                break;
            case 1: {
                const auto& [a, b] = kPairs[step / 4 % kPairs.size()];
                if (store.FindPreset(a))
                    store.ReplacePreset(a, Generation(b, round, step), true);
                else
                    store.ReplacePreset(b, Generation(a, round, step), true);
                break;
            }
            case 2: {
                const std::string& name = kStable[step / 4 % kStable.size()];
                store.ReplacePreset(name, Generation(name, round, step));
                break;
            }
            default: {
                const std::string& name = kChurn[step / 4 % kChurn.size()];
                if (store.FindPreset(name))
                    store.DeletePreset(name);
                else
                    store.AddPreset(Generation(name, round, step));
            }
        }
    }
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class KilledSaves : public ::testing::Test {
protected:
    sim::TemporaryFolder scratch{"vistorb-kills"};
    fs::path root = scratch.Path();
    fs::path folder = root / "presets";
};

}  // namespace

TEST_F(KilledSaves, EveryPresetIsItsOldOrItsNewDocument) {
    {
        PresetStore store(folder);
        for (const std::string& name : kStable) store.AddPreset(Generation(name, 0, 0));
        for (const auto& pair : kPairs) store.AddPreset(Generation(pair.first, 0, 0));
    }
    const int kills = std::getenv("VISTORB_KILLS") ? std::atoi(std::getenv("VISTORB_KILLS")) : 220;
    std::mt19937 random(1208);
    std::map<std::string, std::pair<float, float>> newest;  // name -> generation last seen
    int tempFilesFound = 0;

    for (int round = 1; round <= kills; ++round) {
        SCOPED_TRACE(::testing::Message() << "kill " << round);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) WorkUntilKilled(folder, static_cast<unsigned>(round));
        usleep(static_cast<useconds_t>(2000 + random() % 20000));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself, status " << status;

        // As the kill left it: every preset file a whole document, none older than seen before.
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string fileName = entry.path().filename().string();
            if (preset_files::IsTempFileName(fileName)) {
                ++tempFilesFound;
                continue;
            }
            ASSERT_EQ(entry.path().extension(), ".json") << fileName;
            const std::string text = ReadFile(entry.path());
            CameraPreset preset;
            ASSERT_NO_THROW(preset = nlohmann::json::parse(text).get<CameraPreset>()) << fileName << ":\n" << text;
            EXPECT_EQ(preset.name + ".json", fileName);
            EXPECT_EQ(SerializePreset(preset), text);
            const ProfileCameraSettings& s = preset.settings;
            EXPECT_EQ(s.Stiffness, Check(preset.name, s.Height, s.Distance)) << fileName;
            const auto generation = std::make_pair(s.Height, s.Distance);
            if (newest.count(preset.name)) {
                EXPECT_GE(generation, newest[preset.name]) << fileName;
            }
            newest[preset.name] = generation;
            files[preset.name] = text;
        }
        for (const std::string& name : kStable) EXPECT_EQ(files.count(name), 1u) << name;
        for (const auto& [a, b] : kPairs) EXPECT_GE(files.count(a) + files.count(b), 1u) << a << " and " << b;

        // The next load reads exactly those presets and tidies the folder.
        PresetStore loaded = PresetStore::Open(folder);
        ASSERT_TRUE(loaded.Usable()) << loaded.UnusableReason();
        std::map<std::string, std::string> cached;
        for (const CameraPreset& p : loaded.Presets()) cached[p.name] = SerializePreset(p);
        EXPECT_EQ(cached, files);
        for (const auto& entry : fs::directory_iterator(folder)) {
            EXPECT_FALSE(preset_files::IsTempFileName(entry.path().filename().string())) << entry.path();
        }
        if (HasFailure()) break;
    }
    std::printf("%d kills; %d left a temporary file of a save cut short\n", kills, tempFilesFound);
}
