// Thousands of store operations with input/output calls failing at random (libfiu's POSIX
// preload, plus our own stat points). Run with both preload libraries in LD_PRELOAD; CTest does.
// After every operation: the cache is what a fresh load reads; an operation that reported a
// failure changed nothing (a rename whose old file could not be removed keeps both); no preset
// is lost; each failure is one line.
#define FIU_ENABLE 1
#include <fiu-control.h>
#include <fiu.h>

#include <cstdlib>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "presets/PresetFiles.h"
#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

using Files = std::map<std::string, std::string>;  // file name -> content, preset files only
using Lines = std::vector<std::string>;

// Decides each failure point's fate while `active`, and counts what it failed.
struct Injector {
    std::mt19937 random{20261208};
    double probability = 0.04;
    bool active = false;
    long injected = 0;
    std::map<std::string, long> byPoint;
};
Injector injector;

int Decide(const char* name, int*, void**, unsigned*) {
    if (!injector.active) return 0;
    if (std::uniform_real_distribution<double>(0, 1)(injector.random) >= injector.probability) return 0;
    ++injector.injected;
    ++injector.byPoint[name];
    return 1;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// What an operation reported: lines that say something failed, and what else it said.
struct Outcome {
    Lines failures;
    bool refusedOverwrite = false;
    bool renameKeptOld = false;  // the new file is in place, the old one could not be removed
    bool missingFile = false;    // "preset file does not exist"
};

Outcome Classify(const Lines& lines) {
    static const char* const normal[] = {"Saving preset ", "Updating cached preset with name ", "Deleting preset: ",
                                         "Preset file deleted: ", "removed preset from cache",
                                         "Reading camera preset json files recursively from ",
                                         "Done reading camera presets",
                                         "Removed the left-over file of an interrupted save: "};
    Outcome outcome;
    for (const std::string& line : lines) {
        if (std::any_of(std::begin(normal), std::end(normal), [&](const char* p) { return StartsWith(line, p); })) {
            continue;
        }
        if (StartsWith(line, "preset file does not exist: ")) {
            outcome.missingFile = true;
        } else if (line.find(" not renamed: its file ") != std::string::npos &&
                   line.find(" holds the preset ") != std::string::npos) {
            outcome.refusedOverwrite = true;
        } else if (line.find(" saved, but the folder could not be flushed: ") != std::string::npos) {
            outcome.failures.push_back(line);  // the save is done; only its durability is unsure
        } else {
            if (StartsWith(line, "Failed to delete preset file: ")) outcome.renameKeptOld = true;
            outcome.failures.push_back(line);
        }
    }
    return outcome;
}

bool Flushless(const Outcome& o) {
    return std::all_of(o.failures.begin(), o.failures.end(),
                       [](const std::string& l) { return l.find("could not be flushed") != std::string::npos; });
}

class InjectedFaults : public PresetFolderTest {
protected:
    Files PresetFiles() {
        Files files;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".json") files[entry.path().filename().string()] = Read(entry.path().filename());
        }
        return files;
    }

    static std::vector<std::pair<std::string, std::string>> Records(const std::vector<CameraPreset>& presets) {
        std::vector<std::pair<std::string, std::string>> records;
        for (const CameraPreset& p : presets) records.emplace_back(p.name, SerializePreset(p));
        std::sort(records.begin(), records.end());
        return records;
    }

    // What a fresh start would cache, read with every failure point quiet.
    std::vector<std::pair<std::string, std::string>> FreshLoad() {
        PresetStore fresh = PresetStore::Open(folder);
        EXPECT_TRUE(fresh.Usable()) << fresh.UnusableReason();
        return Records(fresh.presets);
    }
};

}  // namespace

TEST_F(InjectedFaults, EveryOperationLeavesTheStoreAndItsFilesConsistent) {
    ASSERT_EQ(fiu_init(0), 0);
    for (const char* point : {"posix/io/oc/*", "posix/io/rw/*", "posix/io/sync/*", "posix/io/dir/*",
                              "posix/io/stat/*", "posix/stdio/remove"}) {
        ASSERT_EQ(fiu_enable_external(point, 1, nullptr, 0, Decide), 0) << point;
    }
    const int operations = std::getenv("VISTORB_FAULT_OPERATIONS") ? std::atoi(std::getenv("VISTORB_FAULT_OPERATIONS"))
                                                                   : 3000;
    const std::vector<std::string> names{"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta", "Theta"};
    // Presets whose file is not their name's: one in a sub-folder, one sharing its name with
    // another file. No operation may touch them, and the cache must still equal a fresh load.
    Write("sub/Alpha.json", SerializePreset(Preset("Alpha", -1)));
    Write("Beta-copy.json", SerializePreset(Preset("Beta", -2)));
    PresetStore store = MakeStore();
    std::mt19937 pick(7);
    long failedOperations = 0, refusals = 0;

    for (int i = 0; i < operations; ++i) {
        const Files before = PresetFiles();
        const auto cachedBefore = Records(store.presets);
        const std::string name = names[pick() % names.size()];
        const std::string other = names[pick() % names.size()];
        const CameraPreset preset = Preset(pick() % 3 == 0 ? name : other, static_cast<float>(i));
        const int kind = static_cast<int>(pick() % 5);
        SCOPED_TRACE(::testing::Message() << "operation " << i << " kind " << kind << " " << name << " -> "
                                          << preset.name);

        Files expected = before;
        std::optional<PresetStore> loaded;
        console.ClearLog();
        const long faultsBefore = injector.injected;
        injector.active = true;
        switch (kind) {
            case 0:
            case 1:
                store.AddPreset(preset);
                expected[preset.name + ".json"] = SerializePreset(preset);
                break;
            case 2:
                store.DeletePreset(name);
                expected.erase(name + ".json");
                break;
            case 3:
                store.ReplacePreset(name, preset, pick() % 2 == 0);
                expected.erase(name + ".json");
                expected[preset.name + ".json"] = SerializePreset(preset);
                break;
            default:
                loaded.emplace(PresetStore::Open(folder));
                break;
        }
        injector.active = false;
        const long faults = injector.injected - faultsBefore;
        const Lines opLines = TakeLog();
        const Outcome outcome = Classify(opLines);
        std::string said;
        for (const auto& l : opLines) said += l + " | ";
        SCOPED_TRACE(said);
        const Files after = PresetFiles();

        // No failure is reported without a fault behind it, and none twice.
        EXPECT_LE(static_cast<long>(outcome.failures.size()), faults);
        if (!outcome.failures.empty()) ++failedOperations;
        if (outcome.refusedOverwrite) ++refusals;

        if (kind == 4) {
            EXPECT_EQ(after, before);  // a load never changes a preset file
            if (loaded->Usable() && outcome.failures.empty()) {
                EXPECT_EQ(Records(loaded->presets), FreshLoad());
            }
            if (!loaded->Usable()) {
                EXPECT_TRUE(loaded->presets.empty());
            }
            continue;
        }
        if (outcome.refusedOverwrite || (kind == 2 && outcome.missingFile)) {
            EXPECT_EQ(after, before);
        } else if (outcome.failures.empty() || Flushless(outcome)) {
            EXPECT_EQ(after, expected);
        } else if (kind == 3 && outcome.renameKeptOld) {
            Files both = before;
            both[preset.name + ".json"] = SerializePreset(preset);
            EXPECT_EQ(after, both);
        } else {
            EXPECT_EQ(after, before);
            EXPECT_EQ(Records(store.presets), cachedBefore);
        }
        EXPECT_EQ(Records(store.presets), FreshLoad());
        console.ClearLog();
        if (HasFailure()) break;
    }

    EXPECT_EQ(Read("sub/Alpha.json"), SerializePreset(Preset("Alpha", -1)));
    EXPECT_EQ(Read("Beta-copy.json"), SerializePreset(Preset("Beta", -2)));

    // The next start removes whatever interrupted saves left behind.
    PresetStore last = PresetStore::Open(folder);
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_FALSE(preset_files::IsTempFileName(entry.path().filename().string())) << entry.path();
    }
    fiu_disable("posix/io/oc/*");

    std::string points;
    for (const auto& [point, count] : injector.byPoint) points += fmt::format(" {}={}", point, count);
    std::printf("injected %ld faults over %d operations; %ld operations reported a failure, %ld renames were "
                "refused;%s\n",
                injector.injected, operations, failedOperations, refusals, points.c_str());
    EXPECT_GT(injector.injected, operations / 10);  // the preload libraries were really in place
}
