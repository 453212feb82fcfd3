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
    bool refusedOverwrite = false;  // the file to write holds another preset, or none that loads
    bool keptOther = false;         // the file to remove holds another preset, or none that loads
    bool refusedFolder = false;     // the folder was moved, or the store is unusable
    bool renameKeptOld = false;  // the new file is in place, the old one could not be removed
    bool missingFile = false;    // "preset file does not exist"
};

Outcome Classify(const Lines& lines) {
    static const char* const normal[] = {"Saving preset ", "Updating cached preset with name ", "Deleting preset: ",
                                         "Preset file deleted: ", "removed preset from cache",
                                         "Failed to remove preset from cache",  // a file dropped in by hand
                                         "Reading camera preset json files recursively from ",
                                         "Done reading camera presets",
                                         "Removed the left-over file of an interrupted save: "};
    Outcome outcome;
    for (const std::string& line : lines) {
        if (std::any_of(std::begin(normal), std::end(normal), [&](const char* p) { return StartsWith(line, p); })) {
            continue;
        }
        if (line.find("last read: '{ h'") != std::string::npos) continue;  // a half document dropped by hand
        if (StartsWith(line, "preset file does not exist: ")) {
            outcome.missingFile = true;
        } else if ((line.find(" not renamed: its file ") != std::string::npos ||
                    line.find(" not saved: its file ") != std::string::npos) &&
                   (line.find(" holds the preset ") != std::string::npos ||
                    line.find(" holds no preset that loads") != std::string::npos)) {
            outcome.refusedOverwrite = true;
        } else if (StartsWith(line, "Preset file not deleted, ") && line.find(" holds ") != std::string::npos) {
            outcome.keptOther = true;
        } else if (line.find(", the preset folder is unavailable: ") != std::string::npos) {
            outcome.refusedFolder = true;
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

    Files FilesIn(const fs::path& where) {
        Files files;
        for (const auto& entry : fs::directory_iterator(where))
            if (entry.path().extension() == ".json") files[entry.path().filename().string()] = Read(entry.path().string());
        return files;
    }

    // What a fresh start would cache, read with every failure point quiet.
    std::vector<std::pair<std::string, std::string>> FreshLoad() {
        PresetStore fresh = PresetStore::Open(folder);
        EXPECT_TRUE(fresh.Usable()) << fresh.UnusableReason();
        return Records(fresh.Presets());
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
    const fs::path aside = root / "moved-aside";
    PresetStore store = MakeStore();
    std::mt19937 pick(7);
    long failedOperations = 0, refusals = 0, folderRefusals = 0, losses = 0;
    std::map<int, long> byKind;
    // A file changed by hand since the last load (or a Reload that failed in part): the cache is a
    // picture of the disk again only after the next clean Reload; until then, only what the
    // changes did to the files is checked.
    bool handChanged = false, moved = false;

    for (int i = 0; i < operations; ++i) {
        const std::string name = names[pick() % names.size()];
        const std::string other = names[pick() % names.size()];
        const CameraPreset preset = Preset(pick() % 3 == 0 ? name : other, static_cast<float>(i));
        const int kind = static_cast<int>(pick() % 8);
        ++byKind[kind];
        SCOPED_TRACE(::testing::Message() << "operation " << i << " kind " << kind << " " << name << " -> "
                                          << preset.name);
        if (kind == 6) {  // the folder moved aside by hand, a copy put at its path
            if (!moved) {
                fs::rename(folder, aside);
                fs::copy(aside, folder, fs::copy_options::recursive);
                moved = true;
            }
            continue;
        }
        if (kind == 7) {  // a file dropped in, copied over or removed by hand
            const int how = static_cast<int>(pick() % 4);
            if (how == 0) Write(name + ".json", SerializePreset(Preset(other, -5)));
            if (how == 1) Write(name + ".json", "{ half a document");
            if (how == 2) Write("dropped-" + std::to_string(i) + ".json", SerializePreset(Preset(name, -6)));
            if (how == 3) fs::remove(folder / (name + ".json"));
            handChanged = true;
            continue;
        }

        const Files before = PresetFiles();
        const auto cachedBefore = Records(store.Presets());
        const Files asideBefore = moved ? FilesIn(aside) : Files{};
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
            case 4:
                loaded.emplace(PresetStore::Open(folder));
                break;
            default:
                try {
                    store.LoadPresets();
                } catch (const std::exception&) {
                }
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
        if (moved) {
            EXPECT_EQ(FilesIn(aside), asideBefore) << "nothing written where the user no longer looks";
        }

        // No failure is reported without a fault behind it, and none twice.
        EXPECT_LE(static_cast<long>(outcome.failures.size()), faults);
        if (!outcome.failures.empty()) ++failedOperations;
        if (outcome.refusedOverwrite || outcome.keptOther) ++refusals;
        if (outcome.refusedFolder) ++folderRefusals;

        if (kind == 4 || kind == 5) {
            EXPECT_EQ(after, before);  // a load never changes a preset file
            PresetStore& read = kind == 4 ? *loaded : store;
            if (read.Usable() && outcome.failures.empty()) {
                EXPECT_EQ(Records(read.Presets()), FreshLoad());
            }
            if (!read.Usable()) {
                EXPECT_TRUE(read.Presets().empty());
            }
            // A Reload that could not read a file or a sub-folder caches the rest, as a start
            // would: the cache is a picture of the disk again after the next clean Reload.
            if (kind == 5 && !outcome.failures.empty()) handChanged = true;
            if (kind == 5 && read.Usable() && outcome.failures.empty()) {
                handChanged = false;
                if (moved) fs::remove_all(aside);
                moved = false;
            }
            continue;
        }
        const Files was = after;
        if (outcome.refusedFolder || outcome.refusedOverwrite || (kind == 2 && (outcome.missingFile || outcome.keptOther))) {
            EXPECT_EQ(after, before);
        } else if (kind == 3 && (outcome.renameKeptOld || outcome.keptOther)) {
            Files both = before;
            both[preset.name + ".json"] = SerializePreset(preset);
            EXPECT_EQ(after, both);
        } else if (outcome.failures.empty() || Flushless(outcome)) {
            EXPECT_EQ(after, expected);
        } else {
            EXPECT_EQ(after, before);
            if (!handChanged) {
                EXPECT_EQ(Records(store.Presets()), cachedBefore);
            }
        }
        if (HasFailure()) ++losses;
        if (store.Usable() && !handChanged) {
            EXPECT_EQ(Records(store.Presets()), FreshLoad());
        }
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

    std::string points, kinds;
    for (const auto& [point, count] : injector.byPoint) points += fmt::format(" {}={}", point, count);
    for (const auto& [kind, count] : byKind) kinds += fmt::format(" {}={}", kind, count);
    std::printf("injected %ld faults over %d operations (by kind:%s); %ld operations reported a failure, %ld "
                "replaces or removals were refused for what the file held, %ld changes refused for a moved or "
                "unusable folder, %ld losses;%s\n",
                injector.injected, operations, kinds.c_str(), failedOperations, refusals, folderRefusals, losses,
                points.c_str());
    EXPECT_GT(injector.injected, operations / 10);  // the preload libraries were really in place
}
