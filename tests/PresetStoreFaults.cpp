// Saving, renaming and deleting never lose or damage a preset the user had, and never touch a
// file outside the preset folder.
#include <gtest/gtest.h>

#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

class PresetFaults : public PresetFolderTest {};

using Lines = std::vector<std::string>;

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

// A failure while serialising happens before any file is touched.
TEST_F(PresetFaults, ANameThatIsNotUtf8LeavesTheExistingFileAlone) {
    const std::string name = "bad\xFF";
    const std::string before = SerializePreset(Preset("hand written", 1));
    Write(name + ".json", before);
    PresetStore store = MakeStore();
    ASSERT_EQ(store.Presets().size(), 1u);

    // The name's file holds another preset: without consent the save is refused at once.
    store.AddPreset(Preset(name, 2));
    EXPECT_EQ(TakeLog(), Lines{"Preset " + name + " not saved: its file " + PathOf(name + ".json") +
                               " holds the preset hand written"});
    store.AddPreset(Preset(name, 2), true);
    const Lines lines = TakeLog();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Saving preset " + name + " to " + PathOf(name + ".json"));
    EXPECT_TRUE(StartsWith(lines[1], "Exception while saving preset: [json.exception.type_error.316] invalid UTF-8 byte "
                                     "at index 3: 0xFF"))
        << lines[1];
    EXPECT_EQ(Read(name + ".json"), before);
    EXPECT_EQ(Names(store.Presets()), Lines{"hand written"});

    // The same through a rename: the old preset stays as it was.
    store.AddPreset(Preset("Keep", 3));
    TakeLog();
    store.ReplacePreset("Keep", Preset(name, 4), true);
    const Lines renameLines = TakeLog();
    ASSERT_EQ(renameLines.size(), 1u);
    EXPECT_TRUE(StartsWith(renameLines[0], "Preset Keep kept, its replacement could not be saved: "
                                           "[json.exception.type_error.316]"))
        << renameLines[0];
    EXPECT_EQ(Read("Keep.json"), OnDisk(SerializePreset(Preset("Keep", 3))));
    EXPECT_EQ(Names(store.Presets()), (Lines{"Keep", "hand written"}));
}

// A file that cannot be made is reported, and nothing unsaved enters the cache.
TEST_F(PresetFaults, AFolderThatCannotBeWrittenIsReportedAndCachesNothing) {
    PresetStore store = MakeStore();
    store.AddPreset(Preset("Saved", 1));
    TakeLog();

    // The folder was replaced by a file after start-up.
    fs::remove_all(folder);
    std::ofstream(folder) << "not a folder";
    store.AddPreset(Preset("Lost", 2));
    Lines lines = TakeLog();
    // The path leads to something else now: refused before anything is written.
    EXPECT_EQ(lines, Lines{"Preset not saved, the preset folder is unavailable: " + FolderGone(folder)});
    EXPECT_EQ(Read("Lost.json"), "");
    EXPECT_EQ(Names(store.Presets()), Lines{"Saved"});
    EXPECT_FALSE(store.SavePreset(Preset("Saved", 3)));
    EXPECT_TRUE(SameSettings(store.Presets()[0].settings, Cam(1)));
    TakeLog();

    // A folder whose permissions forbid writing.
    SKIP_ON_WINDOWS("POSIX mode bits deny the writing; Windows has no such bits");
    fs::remove(root / "presets");
    PresetStore writable = MakeStore();
    writable.AddPreset(Preset("Old", 4));
    TakeLog();
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    ASSERT_TRUE(WithoutRootPowers([&] {
        writable.AddPreset(Preset("New", 5));
        writable.ReplacePreset("Old", Preset("Renamed", 6));
        writable.ReplacePreset("Old", Preset("Old", 7));
        writable.DeletePreset("Old");
    }));
    lines = TakeLog();
    const std::string denied = "could not create a file in " + folder.string() + ": Permission denied";
    EXPECT_EQ(lines, (Lines{"Saving preset New to " + PathOf("New.json"), "Exception while saving preset: " + denied,
                            "Preset Old kept, its replacement could not be saved: " + denied,
                            "Preset Old kept, its replacement could not be saved: " + denied, "Deleting preset: Old",
                            "Failed to delete preset file: " + PathOf("Old.json") + " (Permission denied)"}));
    EXPECT_EQ(Names(writable.Presets()), Lines{"Old"});
    EXPECT_EQ(Read("Old.json"), OnDisk(SerializePreset(Preset("Old", 4))));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// A rename whose new file cannot take its place keeps the old preset, file and record.
TEST_F(PresetFaults, ARenameThatCannotBeSavedKeepsTheOldPreset) {
    Write("Target.json/keep.txt", "a folder in the way of the new file");
    PresetStore store = MakeStore();
    store.AddPreset(Preset("Source", 1));
    TakeLog();

    store.ReplacePreset("Source", Preset("Target", 2));
    const Lines lines = TakeLog();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Preset Source not renamed: " + PathOf("Target.json") + " is not a file");
    EXPECT_EQ(Read("Source.json"), OnDisk(SerializePreset(Preset("Source", 1))));
    EXPECT_EQ(Names(store.Presets()), Lines{"Source"});
    EXPECT_TRUE(fs::is_directory(folder / "Target.json"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);  // no temporary left
}

// Names that would leave the folder, or make a file that never loads again.
TEST_F(PresetFaults, UnusableNamesAreRefusedWithOneLine) {
    Write("Old.json", SerializePreset(Preset("Old", 1)));
    Write(".json", "placed by hand");
    Write("../victim.json", "outside the folder");
    PresetStore store = MakeStore();
    const Lines before = Tree();

    const std::pair<std::string, std::string> refused[] = {
        {"", "\"\" cannot be a file name: it is empty"},
        {"a/b", "\"a/b\" cannot be a file name: it holds a path separator"},
        {"../victim", "\"../victim\" cannot be a file name: it holds a path separator"},
        {"/abs", "\"/abs\" cannot be a file name: it holds a path separator"},
        {std::string("nul\0", 4), "\"nul\\x00\" cannot be a file name: it holds a control character"},
#if defined(_WIN32)  // plain bytes of a file name elsewhere
        {"..\\victim", "\"..\\victim\" cannot be a file name: it holds a path separator"},
        {"C:evil", "\"C:evil\" cannot be a file name: it starts with a drive"},
        {"line\nbreak", "\"line\\x0Abreak\" cannot be a file name: it holds a control character"},
        {"del\x7F", "\"del\\x7F\" cannot be a file name: it holds a control character"},
#endif
    };
    for (const auto& [name, why] : refused) {
        store.AddPreset(Preset(name, 2));
        EXPECT_FALSE(store.SavePreset(Preset(name, 2)));
        store.ReplacePreset("Old", Preset(name, 3));
        store.DeletePreset(name);
        Lines expected{"Preset not saved, the name " + why, "Preset not saved, the name " + why,
                       "Preset not saved, the name " + why, "Preset file not deleted, the name " + why};
        if (name.empty()) expected.insert(expected.begin() + 3, "Deleting preset: ");
        EXPECT_EQ(TakeLog(), expected) << name;
    }
    EXPECT_EQ(Tree(), before);
    EXPECT_EQ(Names(store.Presets()), Lines{"Old"});
    EXPECT_EQ(Read("Old.json"), SerializePreset(Preset("Old", 1)));

    // A record with such a name (from a hand-edited file) can still be renamed into a usable one;
    // its own file is not looked for.
    Write("hand.json", SerializePreset(Preset("up/../x", 4)));
    store.LoadPresets();
    TakeLog();
    store.ReplacePreset("up/../x", Preset("Fixed", 4));
    EXPECT_EQ(TakeLog(), (Lines{"Preset file not deleted, the name \"up/../x\" cannot be a file name: it holds a path "
                                "separator",
                                "Saving preset Fixed to " + PathOf("Fixed.json")}));
    EXPECT_EQ(Names(store.Presets()), (Lines{"Fixed", "Old", "up/../x"}));
}

TEST_F(PresetFaults, DeleteCopesWithFilesThatVanishOrAreNotFiles) {
    PresetStore store = MakeStore();
    store.AddPreset(Preset("Gone", 1));
    TakeLog();

    // Another program removes the file after the store saw it.
    {
        PresetStoreTesting::ScopedMoment removal(PresetStoreTesting::beforeRemove,
                                                 [](const fs::path& file) { fs::remove(file); });
        store.DeletePreset("Gone");
    }
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Gone", "Failed to delete preset file: " + PathOf("Gone.json")}));
    EXPECT_EQ(Names(store.Presets()), Lines{"Gone"});

    // A folder carrying a preset's file name is not a preset file, empty or not.
    fs::create_directory(folder / "Empty.json");
    Write("Full.json/inner.json", SerializePreset(Preset("inner", 1)));
    store.DeletePreset("Empty");
    store.DeletePreset("Full");
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Empty", "preset file does not exist: " + PathOf("Empty.json"),
                                "Deleting preset: Full", "preset file does not exist: " + PathOf("Full.json")}));
    EXPECT_TRUE(fs::is_directory(folder / "Empty.json"));
    EXPECT_TRUE(Exists("Full.json/inner.json"));

    // A link named like the preset is removed itself; what it points to stays.
    SKIP_ON_WINDOWS("MinGW's std::filesystem cannot create symbolic links");
    Write("../target.json", SerializePreset(Preset("Linked", 1)));
    fs::create_symlink(root / "target.json", folder / "Linked.json");
    store.DeletePreset("Linked");
    EXPECT_FALSE(Exists("Linked.json"));
    EXPECT_TRUE(fs::exists(root / "target.json"));
}
