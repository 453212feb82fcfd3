// What the store refuses: acting without a preset folder it could open, keeping two records for
// one file, overwriting another preset by renaming, values that are not finite, and files that
// could hang or swamp the load.
#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <limits>

#include <functional>

#include <gtest/gtest.h>

#include "presets/PresetFiles.h"
#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

using Lines = std::vector<std::string>;

class PresetGuards : public PresetFolderTest {
protected:
    fs::path startDirectory = fs::current_path();
    void TearDown() override {
        fs::current_path(startDirectory);
        PresetFolderTest::TearDown();
    }
};

}  // namespace

// The folder could not be opened at start-up. In the game the working directory is the game's
// own folder: a save must never land there, nor a delete remove a file there.
TEST_F(PresetGuards, WithoutItsFolderEveryChangeIsRefusedAndNothingIsTouched) {
    const fs::path cwd = root / "game";
    fs::create_directories(cwd);
    std::ofstream(cwd / "config.json") << "the game's own file";
    fs::current_path(cwd);
#if !defined(_WIN32)
    fs::create_directories(root / "locked");
    fs::permissions(root / "locked", fs::perms::none);
#endif

    struct Case {
        const char* what;
        std::function<void()> make;  // lays out the broken folder
        fs::path folder;
    };
    const Case cases[] = {
        {"a file", [&] { std::ofstream(root / "file") << "x"; }, root / "file"},
        {"relative", [] {}, "presets"},
        {"empty", [] {}, ""},
#if !defined(_WIN32)  // symbolic links, FIFOs and mode bits are POSIX's
        {"a dangling link", [&] { fs::create_symlink(root / "nowhere", root / "dangling"); }, root / "dangling"},
        {"a link loop", [&] { fs::create_symlink(root / "loop", root / "loop"); }, root / "loop"},
        {"a FIFO", [&] { ASSERT_EQ(mkfifo((root / "fifo").c_str(), 0600), 0); }, root / "fifo"},
        {"unreadable", [] {}, root / "locked"},
#endif
    };
    for (const Case& c : cases) {
        c.make();
        std::optional<PresetStore> store;
        bool constructorThrew = false;
        ASSERT_TRUE(WithoutRootPowers([&] {
            store.emplace(PresetStore::Open(c.folder));
            try {
                PresetStore thrown(c.folder);
            } catch (const fs::filesystem_error&) {
                constructorThrew = true;
            }
        }));
        EXPECT_FALSE(store->Usable()) << c.what;
        const std::string why = store->UnusableReason();
        EXPECT_FALSE(why.empty()) << c.what;
        EXPECT_TRUE(store->Presets().empty()) << c.what;
        EXPECT_TRUE(constructorThrew) << c.what;  // the constructor says the same by throwing
        TakeLog();

        const Lines before = Tree();
        store->AddPreset(Preset("config", 1));
        EXPECT_FALSE(store->SavePreset(Preset("config", 1)));
        store->ReplacePreset("config", Preset("other", 2));
        store->DeletePreset("config");
        const std::string saveRefused = "Preset not saved, the preset folder is unavailable: " + why;
        EXPECT_EQ(TakeLog(), (Lines{saveRefused, saveRefused, saveRefused,
                                    "Preset file not deleted, the preset folder is unavailable: " + why}))
            << c.what;
        EXPECT_EQ(Tree(), before) << c.what;
        EXPECT_FALSE(fs::exists(fs::path("presets"))) << c.what;  // the relative folder was not made
    }

    // The plugin's store before (or without) a successful start-up.
    PresetStore unopened;
    EXPECT_FALSE(unopened.Usable());
    EXPECT_EQ(unopened.UnusableReason(), "no preset folder has been opened");
    unopened.AddPreset(Preset("config", 3));
    unopened.DeletePreset("config");
    EXPECT_EQ(TakeLog(), (Lines{"Preset not saved, the preset folder is unavailable: no preset folder has been opened",
                                "Preset file not deleted, the preset folder is unavailable: no preset folder has "
                                "been opened"}));
    std::stringstream config;
    config << std::ifstream(cwd / "config.json").rdbuf();
    EXPECT_EQ(config.str(), "the game's own file");
    EXPECT_EQ(std::distance(fs::directory_iterator(cwd), fs::directory_iterator()), 1);

    // A folder that opens is usable and says nothing against itself.
    PresetStore good = PresetStore::Open(folder);
    EXPECT_TRUE(good.Usable());
    EXPECT_EQ(good.UnusableReason(), "");
}

// Saving a name again, as "Save Preset" does each time, updates its one record.
TEST_F(PresetGuards, SavingACachedNameAgainKeepsOneRecordPerFile) {
    PresetStore store = MakeStore();
    for (int i = 0; i < 40; ++i) {
        store.AddPreset(Preset("Player", static_cast<float>(i)));
        const Lines lines = TakeLog();
        if (i == 0) {
            EXPECT_EQ(lines, Lines{"Saving preset Player to " + PathOf("Player.json")});
        } else {
            EXPECT_EQ(lines, (Lines{"Saving preset Player to " + PathOf("Player.json"),
                                    "Updating cached preset with name Player"}))
                << i;
        }
    }
    ASSERT_EQ(Names(store.Presets()), Lines{"Player"});
    EXPECT_TRUE(SameSettings(store.Presets()[0].settings, Cam(39)));
    EXPECT_EQ(Read("Player.json"), OnDisk(SerializePreset(Preset("Player", 39))));
}

// A save, a re-tune or a rename reads the file it would write at that moment, whatever the cache
// remembers of it, and asks before replacing one that holds another preset or none that loads.
TEST_F(PresetGuards, EveryReplaceAsksFromWhatTheFileHoldsNow) {
    using Outcome = PresetStore::Answer::Outcome;
    struct Case {
        const char* what;
        std::function<void()> handEdit;  // after start-up
        std::string oldName;             // empty: a save
        std::string newName;
        Outcome outcome;
        std::string question;
    };
    const std::string other = SerializePreset(Preset("Zed", 9));
    const Case cases[] = {
        {"save over a file copied over by hand", [&] { Write("B.json", other); }, "", "B", Outcome::Ask,
         "B.json holds the preset \"Zed\". Replace it?"},
        {"save over a file added by hand", [&] { Write("Disk.json", other); }, "", "Disk", Outcome::Ask,
         "Disk.json holds the preset \"Zed\". Replace it?"},
        {"save over a file that does not load", [&] { Write("Half.json", "{ half"); }, "", "Half", Outcome::Ask,
         "Half.json holds no preset that loads. Replace it?"},
        {"re-tune over a file that now holds another", [&] { Write("A.json", other); }, "A", "A", Outcome::Ask,
         "A.json holds the preset \"Zed\". Replace it?"},
        {"rename onto a file added by hand", [&] { Write("Disk.json", other); }, "A", "Disk", Outcome::Ask,
         "Disk.json holds the preset \"Zed\". Replace it?"},
        {"rename onto a name only a record has", [] {}, "A", "Loose", Outcome::Done, ""},
        {"a file removed by hand is free", [&] { fs::remove(folder / "B.json"); }, "", "B", Outcome::Done, ""},
        {"re-tune of its own file", [] {}, "A", "A", Outcome::Done, ""},
    };
    for (const Case& c : cases) {
        fs::remove_all(folder);
        Write("by-hand.json", SerializePreset(Preset("Loose", 5)));  // a record whose file is not its name's
        PresetStore store = MakeStore();
        store.AddPreset(Preset("A", 1));
        store.AddPreset(Preset("B", 2));
        c.handEdit();
        const Lines filesBefore = Tree();
        const std::string before = Exists(c.newName + ".json") ? Read(c.newName + ".json") : "";
        const CameraPreset wanted = Preset(c.newName, 3);
        const PresetStore::Answer answer = c.oldName.empty() ? store.Save(wanted) : store.Rename(c.oldName, wanted);
        EXPECT_EQ(answer.outcome, c.outcome) << c.what;
        EXPECT_EQ(answer.question, c.question) << c.what;
        if (c.outcome != Outcome::Ask) continue;
        EXPECT_EQ(Tree(), filesBefore) << c.what;
        EXPECT_EQ(Read(c.newName + ".json"), before) << c.what;

        // The file changed between the question and "Replace": nothing written, asked again.
        const std::string changed = SerializePreset(Preset("Yan", 8));
        Write(c.newName + ".json", changed);
        const PresetStore::Answer again =
            c.oldName.empty() ? store.Save(wanted, &answer.consent) : store.Rename(c.oldName, wanted, &answer.consent);
        EXPECT_EQ(again.outcome, Outcome::Ask) << c.what;
        EXPECT_EQ(again.question, c.newName + ".json holds the preset \"Yan\". Replace it?") << c.what;
        EXPECT_EQ(Read(c.newName + ".json"), changed) << c.what;

        // Unchanged since the question: "Replace" writes, and the cache says what the disk holds.
        const PresetStore::Answer replaced =
            c.oldName.empty() ? store.Save(wanted, &again.consent) : store.Rename(c.oldName, wanted, &again.consent);
        EXPECT_EQ(replaced.outcome, Outcome::Done) << c.what;
        EXPECT_EQ(Read(c.newName + ".json"), OnDisk(SerializePreset(wanted))) << c.what;
        EXPECT_EQ(Names(store.Presets()), Names(PresetStore(folder).Presets())) << c.what;
    }
}

TEST_F(PresetGuards, ValuesThatAreNotFiniteAreRefused) {
    const std::pair<const char*, const char*> files[] = {
        {"big-fov", R"({"preset_name": "big", "preset": {"FOV": 1e300, "Height": 1, "Pitch": 1, "Distance": 1,
            "Stiffness": 1, "SwivelSpeed": 1, "TransitionSpeed": 1}})"},
        {"low-speed", R"({"preset_name": "low", "preset": {"FOV": 1, "Height": 1, "Pitch": 1, "Distance": 1,
            "Stiffness": 1, "SwivelSpeed": 1, "TransitionSpeed": -3.5e38}})"},
    };
    for (const auto& [file, text] : files) Write(std::string(file) + ".json", text);
    Write("edge.json", R"({"preset_name": "edge", "preset": {"FOV": 3.4e38, "Height": -3.4e38, "Pitch": 1e-45,
        "Distance": 1, "Stiffness": 1, "SwivelSpeed": 1, "TransitionSpeed": 1}})");
    PresetStore store(folder);
    EXPECT_EQ(Names(store.Presets()), Lines{"edge"});
    Lines lines = console.LogLines();
    std::sort(lines.begin() + 1, lines.end() - 1);
    EXPECT_EQ(lines, (Lines{"Reading camera preset json files recursively from " + folder.string(),
                            "Preset file " + PathOf("big-fov.json") + " rejected: FOV is not a finite number",
                            "Preset file " + PathOf("low-speed.json") + " rejected: TransitionSpeed is not a finite "
                                                                       "number",
                            "Done reading camera presets"}));
    TakeLog();

    const float bad[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
    for (float value : bad) {
        CameraPreset preset = Preset("edge", 1);
        preset.settings.Pitch = value;
        store.AddPreset(preset);
        store.ReplacePreset("edge", preset);
        EXPECT_EQ(TakeLog(), (Lines{"Preset not saved, its Pitch is not a finite number",
                                    "Preset not saved, its Pitch is not a finite number"}));
    }
    EXPECT_TRUE(SameSettings(store.Presets()[0].settings, store.FindPreset("edge")->settings));
    EXPECT_EQ(store.Presets()[0].settings.FOV, 3.4e38f);
}

// A FIFO must never be waited on, and a huge file never read.
TEST_F(PresetGuards, SpecialAndHugeFilesAreNeverReadAsPresets) {
    using preset_files::FileRead;
    fs::create_directories(folder);
    Write("real.json", kWideDocument);
#if !defined(_WIN32)  // FIFOs and symbolic links are POSIX's
    ASSERT_EQ(mkfifo((folder / "pipe.json").c_str(), 0600), 0);
    fs::create_symlink(folder / "pipe.json", folder / "to-pipe.json");
    // As if swapped in after the walk saw a regular file or a link.
    EXPECT_EQ(preset_files::ReadPresetFile(folder / "pipe.json", false).outcome, FileRead::Outcome::NotRegular);
    EXPECT_EQ(preset_files::ReadPresetFile(folder / "to-pipe.json", true).outcome, FileRead::Outcome::NotRegular);
    // A link where the walk saw none is not followed: it reads as nothing.
    fs::create_symlink(folder / "real.json", folder / "swapped.json");
    const FileRead swapped = preset_files::ReadPresetFile(folder / "swapped.json", false);
    EXPECT_EQ(swapped.outcome, FileRead::Outcome::Text);
    EXPECT_EQ(swapped.text, "");
    EXPECT_EQ(preset_files::ReadPresetFile(folder / "swapped.json", true).text, kWideDocument);
    fs::remove(folder / "swapped.json");
#endif

    // The cap: a preset padded to exactly 1 MiB loads, one byte more is skipped with one line.
    const std::string doc = SerializePreset(Preset("fits", 1));
    Write("fits.json", doc + std::string(preset_files::kMaxPresetFileSize - doc.size(), ' '));
    Write("huge.json", SerializePreset(Preset("huge", 1)) +
                           std::string(preset_files::kMaxPresetFileSize + 1 - doc.size(), ' '));
    PresetStore store(folder);
    EXPECT_EQ(Names(store.Presets()), (Lines{"Wide", "fits"}));
    const Lines lines = console.LogLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "Preset file " + PathOf("huge.json") + " skipped: it is larger than 1 MiB"),
              1);
    EXPECT_EQ(lines.size(), 3u);  // the FIFO and the link to it are passed over without a word
}

// Another program swaps a FIFO, or a link to one, in after the walk saw a regular file: the load
// neither waits for a writer nor follows the link, and says what it found.
TEST_F(PresetGuards, AFileSwappedForAFifoDuringTheLoadCannotHangIt) {
    SKIP_ON_WINDOWS("FIFOs and symbolic links are POSIX's");
#if !defined(_WIN32)
    Write("a.json", SerializePreset(Preset("a", 1)));
    Write("swapped.json", SerializePreset(Preset("swapped", 2)));
    Write("linked.json", SerializePreset(Preset("linked", 3)));
    Write("z.json", SerializePreset(Preset("z", 4)));
    ASSERT_EQ(mkfifo((root / "fifo").c_str(), 0600), 0);
    PresetStoreTesting::ScopedMoment opening(PresetStoreTesting::beforeOpen, [&](const fs::path& file) {
        if (file.filename() == "swapped.json") {
            fs::remove(file);
            ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
        } else if (file.filename() == "linked.json") {
            fs::remove(file);
            fs::create_symlink(root / "fifo", file);
        }
    });
    PresetStore store(folder);
    EXPECT_EQ(Names(store.Presets()), (Lines{"a", "z"}));
    Lines lines = console.LogLines();
    std::sort(lines.begin() + 1, lines.end() - 1);
    EXPECT_EQ(lines, (Lines{"Reading camera preset json files recursively from " + folder.string(),
                            "Could not read " + PathOf("swapped.json") + ": it is not a regular file",
                            // O_NOFOLLOW: the link is not opened at all, so it reads as empty.
                            "[json.exception.parse_error.101] parse error at line 1, column 1: syntax error while "
                            "parsing value - unexpected end of input; expected '[', '{', or a literal",
                            "Done reading camera presets"}));
#endif
}

TEST_F(PresetGuards, LoadingRemovesOnlyOurOwnLeftOverTemporaryFiles) {
    Write(".vistorb-save-1f-2a-0.tmp", "");
    Write(".vistorb-save-99-1-7.tmp", "{\"half");
    Write("other.tmp", "someone else's");
    Write(".vistorb-save-.txt", "not ours");
    Write("sub/.vistorb-save-1-1-1.tmp", "not where we save");
    fs::create_directories(folder / ".vistorb-save-dir.tmp");
    PresetStore store(folder);
    Lines lines = console.LogLines();
    std::sort(lines.begin() + 1, lines.end() - 1);
    EXPECT_EQ(lines, (Lines{"Reading camera preset json files recursively from " + folder.string(),
                            "Removed the left-over file of an interrupted save: " + PathOf(".vistorb-save-1f-2a-0.tmp"),
                            "Removed the left-over file of an interrupted save: " + PathOf(".vistorb-save-99-1-7.tmp"),
                            "Done reading camera presets"}));
    EXPECT_FALSE(Exists(".vistorb-save-1f-2a-0.tmp"));
    EXPECT_TRUE(Exists("other.tmp"));
    EXPECT_TRUE(Exists(".vistorb-save-.txt"));
    EXPECT_TRUE(Exists("sub/.vistorb-save-1-1-1.tmp"));
    EXPECT_TRUE(Exists(".vistorb-save-dir.tmp"));
    EXPECT_TRUE(store.Usable());
}
