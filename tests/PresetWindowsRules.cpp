// Preset files under Windows' file-name rules: UTF-8 names, names Windows refuses, names that
// differ only in case, text-mode line ends, and a file held open by another program. Each case
// states what happens on Windows and what happens where those rules do not apply (Linux).
#if defined(_WIN32)
#include <windows.h>
#endif

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "presets/PresetPath.h"
#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

class PresetWindowsRules : public PresetFolderTest {};

using Lines = std::vector<std::string>;

// The file names in the preset folder, as UTF-8.
Lines FileNames(const fs::path& folder) {
    Lines names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
}

// A trailing dot or space is kept: the file name ends in ".json", which Windows leaves alone.
TEST(PresetFileNames, WindowsRefusesDeviceNamesItsReservedCharactersAndTrailingDotsOrSpaces) {
    struct Case {
        const char* name;
        const char* problem;  // nullptr: Windows can hold the name
    };
    const char* const device = "Windows reserves it for a device";
    const char* const reserved = "Windows does not allow any of <>:\"|?* in file names";
    const Case cases[] = {
        {"CON", device},         {"con", device},          {"Con.backup", device}, {"NUL ", device},
        {"AUX .x", device},      {"PRN", device},          {"COM1", device},       {"com9", device},
        {"LPT1", device},        {"lpt9.json", device},    {"COM0", nullptr},      {"COM10", nullptr},
        {"LPT", nullptr},        {"CONSOLE", nullptr},     {"NULL", nullptr},      {"xCON", nullptr},
        {"a<b", reserved},       {"a>b", reserved},        {"Mode: wide", reserved}, {"quote\"d", reserved},
        {"a|b", reserved},       {"why?", reserved},       {"star*", reserved},
        {"tab\there", "Windows does not allow control characters in file names"},
        {"Wide.", nullptr},      {"Wide ", nullptr},      {"a..b", nullptr},      {" lead", nullptr},
        {"Caf\xC3\xA9 \xE2\x98\x85", nullptr}, {"semi;colon", nullptr}, {"x.json", nullptr},
    };
    for (const Case& c : cases) {
        const char* problem = WindowsNameProblem(c.name);
        if (c.problem) {
            EXPECT_STREQ(problem, c.problem) << c.name;
        } else {
            EXPECT_EQ(problem, nullptr) << c.name;
        }
    }
}

TEST_F(PresetWindowsRules, NamesWindowsRefusesGetOneLineEachAndNothingIsWritten) {
    PresetStore store = MakeStore();
    store.AddPreset(Preset("Kept", 1));
    TakeLog();
    const Lines before = Tree();
    struct Case {
        const char* name;
        const char* why;
    };
    const Case cases[] = {
        {"CON", "Windows reserves it for a device"},
        {"com1.old", "Windows reserves it for a device"},
        {"Mode: wide", "Windows does not allow any of <>:\"|?* in file names"},
        {"why?", "Windows does not allow any of <>:\"|?* in file names"},
    };
    for (const Case& c : cases) {
        store.AddPreset(Preset(c.name, 2));
        store.ReplacePreset("Kept", Preset(c.name, 3));
        store.DeletePreset(c.name);
#if defined(_WIN32)
        const std::string quoted = std::string("\"") + c.name + "\" cannot be a file name: " + c.why;
        EXPECT_EQ(TakeLog(), (Lines{"Preset not saved, the name " + quoted, "Preset not saved, the name " + quoted,
                                    "Preset file not deleted, the name " + quoted}));
        EXPECT_EQ(Tree(), before) << c.name;
        EXPECT_EQ(Names(store.Presets()), Lines{"Kept"}) << c.name;
        EXPECT_TRUE(SameSettings(store.Presets()[0].settings, Cam(1)));
#else
        (void)c.why;
        TakeLog();
        PresetStoreTesting::SetUnfiledRecords(store, {Preset("Kept", 1)});  // saved, renamed and deleted as any name
#endif
    }
}

TEST_F(PresetWindowsRules, ANameIsItsUtf8TextInTheFileNameAndTheLog) {
    PresetStore store = MakeStore();
    const std::string name = "Kamera \xC3\xBC \xE2\x98\x85";
    store.AddPreset(Preset(name, 1));
    EXPECT_EQ(FileNames(folder), Lines{name + ".json"});
    const Lines log = TakeLog();
    EXPECT_EQ(log, Lines{"Saving preset " + name + " to " + PathOf(name + ".json")});
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log[0].find(name + ".json"), std::string::npos) << "the name as the user typed it";
    PresetStore reloaded(folder);
    EXPECT_EQ(Names(reloaded.Presets()), Lines{name});
    reloaded.ReplacePreset(name, Preset(name + " 2", 2));
    EXPECT_EQ(FileNames(folder), Lines{name + " 2.json"});
    reloaded.DeletePreset(name + " 2");
    EXPECT_EQ(FileNames(folder), Lines{});
}

#if defined(_WIN32)
// Earlier versions made the path through the ANSI code page: "Kamera ü" became the file
// "Kamera Ã¼.json". Delete and rename still find such files; new files get the UTF-8 name.
TEST_F(PresetWindowsRules, FilesOfTheCodePageRuleAreStillFoundByDeleteAndRename) {
    const std::string name = "Kamera \xC3\xBC";
    const std::string legacyName = "Kamera \xC3\x83\xC2\xBC.json";  // the UTF-8 text of "Kamera Ã¼.json"
    fs::create_directories(folder);
    auto writeLegacy = [&] { std::ofstream(folder / fs::path(name + ".json")) << SerializePreset(Preset(name, 1)); };
    writeLegacy();
    ASSERT_EQ(FileNames(folder), Lines{legacyName}) << "the code page of this system is not Windows-1252";

    PresetStore store = MakeStore();
    ASSERT_EQ(Names(store.Presets()), Lines{name});
    store.DeletePreset(name);
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: " + name, "Preset file deleted: " + PathOf(legacyName),
                                "removed preset from cache"}));
    EXPECT_EQ(FileNames(folder), Lines{});

    // Re-tuned: the new values take the UTF-8 name and the old file goes.
    writeLegacy();
    store.LoadPresets();
    store.ReplacePreset(name, Preset(name, 5));
    EXPECT_EQ(FileNames(folder), Lines{name + ".json"});
    EXPECT_EQ(PresetStore(folder).Presets().size(), 1u);
    fs::remove(folder / fs::u8path(name + ".json"));

    writeLegacy();
    store.LoadPresets();
    store.ReplacePreset(name, Preset("Neu", 2));
    EXPECT_EQ(FileNames(folder), Lines{"Neu.json"});
    store.ReplacePreset("Neu", Preset(name, 3));
    EXPECT_EQ(FileNames(folder), Lines{name + ".json"}) << "new files carry the UTF-8 name";

    // A save over the name replaces the earlier version's file: one file, one record after a restart.
    fs::remove(folder / fs::u8path(name + ".json"));
    writeLegacy();
    store.LoadPresets();
    store.AddPreset(Preset(name, 6));
    EXPECT_EQ(FileNames(folder), Lines{name + ".json"});
    ASSERT_EQ(PresetStore(folder).Presets().size(), 1u);
    EXPECT_TRUE(SameSettings(PresetStore(folder).Presets()[0].settings, Cam(6)));
    EXPECT_EQ(Names(store.Presets()), Lines{name});
}
#endif

TEST_F(PresetWindowsRules, NamesDifferingOnlyInCaseNeverTakeEachOthersFile) {
    PresetStore store = MakeStore();
    store.AddPreset(Preset("Wide", 1));
    TakeLog();
    store.AddPreset(Preset("wide", 2));
    store.ReplacePreset("Wide", Preset("Wide", 3));  // Wide's own file: always allowed
    store.DeletePreset("wide");
#if defined(_WIN32)
    // One file: the save of "wide" asks about Wide, and the delete of "wide" leaves Wide's file.
    const std::string holdsWide = PathOf("wide.json") + " holds the preset Wide";
    const Lines log = TakeLog();
    ASSERT_EQ(log.size(), 7u) << ::testing::PrintToString(log);
    EXPECT_EQ(log[0], "Preset wide not saved: its file " + holdsWide);
    EXPECT_EQ(log.back(), "Preset file not deleted, " + holdsWide);
    EXPECT_EQ(FileNames(folder), Lines{"Wide.json"});
    EXPECT_EQ(Read("Wide.json"), OnDisk(SerializePreset(Preset("Wide", 3))));
    EXPECT_EQ(Names(store.Presets()), Lines{"Wide"});
    EXPECT_EQ(store.Save(Preset("wide", 2)).question, "wide.json holds the preset \"Wide\". Replace it?");

    // A rename that changes only the case moves the one preset.
    store.ReplacePreset("Wide", Preset("wide", 4));
    EXPECT_EQ(Names(store.Presets()), Lines{"wide"});
    PresetStore reloaded(folder);
    ASSERT_EQ(Names(reloaded.Presets()), Lines{"wide"});
    EXPECT_TRUE(SameSettings(reloaded.Presets()[0].settings, Cam(4)));

    // The question and the outcome agree: "Replace" gives the one file to the name asked for.
    const PresetStore::Answer asked = store.Save(Preset("WIDE", 5));
    EXPECT_EQ(asked.question, "WIDE.json holds the preset \"wide\". Replace it?");
    EXPECT_EQ(store.Save(Preset("WIDE", 5), &asked.consent).outcome, PresetStore::Answer::Outcome::Done);
    EXPECT_EQ(Names(store.Presets()), Lines{"WIDE"});
    EXPECT_EQ(Names(PresetStore(folder).Presets()), Lines{"WIDE"});
#else
    EXPECT_EQ(FileNames(folder), Lines{"Wide.json"}) << "wide was saved and deleted on its own file";
    EXPECT_EQ(Names(store.Presets()), Lines{"Wide"});
#endif
}

// The example preset, byte for byte as the host stores it: text mode, so CR LF on Windows.
TEST_F(PresetWindowsRules, TheWideExampleIsStoredWithThePlatformsLineEnds) {
    PresetStore store = MakeStore();
    store.AddPreset(WidePreset());
#if defined(_WIN32)
    const char* expected =
        "{\r\n    \"preset\": {\r\n        \"Distance\": 270.0,\r\n        \"FOV\": 110.0,\r\n"
        "        \"Height\": 100.0,\r\n        \"Pitch\": -4.0,\r\n        \"Stiffness\": 0.5,\r\n"
        "        \"SwivelSpeed\": 5.0,\r\n        \"TransitionSpeed\": 1.5\r\n    },\r\n"
        "    \"preset_name\": \"Wide\"\r\n}";
#else
    const char* expected =
        "{\n    \"preset\": {\n        \"Distance\": 270.0,\n        \"FOV\": 110.0,\n"
        "        \"Height\": 100.0,\n        \"Pitch\": -4.0,\n        \"Stiffness\": 0.5,\n"
        "        \"SwivelSpeed\": 5.0,\n        \"TransitionSpeed\": 1.5\n    },\n"
        "    \"preset_name\": \"Wide\"\n}";
#endif
    EXPECT_EQ(Read("Wide.json"), expected);
    PresetStore reloaded(folder);
    ASSERT_EQ(Names(reloaded.Presets()), Lines{"Wide"});
    EXPECT_TRUE(SameSettings(reloaded.Presets()[0].settings, WidePreset().settings));
}

#if defined(_WIN32)
// Another program holds the preset file open without letting it be deleted: neither a save over
// it nor its deletion can go through. One line each, the file and the cache stay as they were.
TEST_F(PresetWindowsRules, AFileHeldOpenElsewhereIsReportedAndNothingIsLost) {
    PresetStore store = MakeStore();
    store.AddPreset(Preset("Busy", 1));
    TakeLog();
    const std::wstring path = (folder / "Busy.json").wstring();
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    store.AddPreset(Preset("Busy", 2));
    store.ReplacePreset("Busy", Preset("Busy", 3));
    store.DeletePreset("Busy");
    const Lines log = TakeLog();
    CloseHandle(held);

    ASSERT_EQ(log.size(), 5u) << ::testing::PrintToString(log);
    EXPECT_EQ(log[0], "Saving preset Busy to " + PathOf("Busy.json"));
    EXPECT_EQ(log[1].rfind("Exception while saving preset: could not replace " + PathOf("Busy.json") + ": ", 0), 0u)
        << log[1];
    EXPECT_EQ(log[2].rfind("Preset Busy kept, its replacement could not be saved: could not replace ", 0), 0u)
        << log[2];
    EXPECT_EQ(log[3], "Deleting preset: Busy");
    EXPECT_EQ(log[4].rfind("Failed to delete preset file: " + PathOf("Busy.json") + " (", 0), 0u) << log[4];
    EXPECT_EQ(Read("Busy.json"), OnDisk(SerializePreset(Preset("Busy", 1))));
    ASSERT_EQ(Names(store.Presets()), Lines{"Busy"});
    EXPECT_TRUE(SameSettings(store.Presets()[0].settings, Cam(1)));
    EXPECT_EQ(FileNames(folder), Lines{"Busy.json"}) << "no staged file left behind";
}
#endif

}  // namespace

// Preset files are read in text mode on Windows, as the host's runtime reads them: CR LF is a line
// end and a Ctrl-Z ends the file. Elsewhere the bytes are read as they are.
TEST_F(PresetWindowsRules, FilesAreReadInTheTextModeOfThePlatform) {
    Write("crlf.json", OnDisk(SerializePreset(Preset("crlf", 1))));
    Write("ctrlz.json", SerializePreset(Preset("ctrlz", 2)) + "\x1A" + "after the end");
    PresetStore store = MakeStore();
#if defined(_WIN32)
    EXPECT_EQ(Names(store.Presets()), (Lines{"crlf", "ctrlz"}));
#else
    EXPECT_EQ(Names(store.Presets()), Lines{"crlf"});
#endif
}
