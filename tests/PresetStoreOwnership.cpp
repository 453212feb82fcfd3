// What the store owns: the folder it opened at start-up (never one its path is pointed to later),
// and the files whose records it holds. A save never replaces a file that holds another preset
// without consent, nor one it could not read, nor one that appears while it saves; and the cache
// stays what a fresh load of the folder gives.
#include <memory>

#include <gtest/gtest.h>

#include "presets/PresetFiles.h"
#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

using Lines = std::vector<std::string>;

class PresetOwnership : public PresetFolderTest {
protected:
    // The cache as sorted documents, against a fresh load of the folder (its lines dropped).
    static Lines Documents(const std::vector<CameraPreset>& presets) {
        Lines documents;
        for (const CameraPreset& p : presets) documents.push_back(SerializePreset(p));
        std::sort(documents.begin(), documents.end());
        return documents;
    }
    void ExpectCacheIsTheDisk(const PresetStore& store) {
        const Lines fresh = Documents(PresetStore(folder).Presets());
        console.ClearLog();
        EXPECT_EQ(Documents(store.Presets()), fresh);
    }
    static Lines Entries(const fs::path& where) {
        Lines entries;
        for (const auto& entry : fs::directory_iterator(where)) entries.push_back(entry.path().filename().string());
        std::sort(entries.begin(), entries.end());
        return entries;
    }
};

}  // namespace

// After start-up another program points the folder's path (or its parent's) elsewhere. POSIX: the
// store still acts in the folder it opened. Windows: it sees the folder is not the one it opened
// and refuses, one line each. Either way nothing is written or removed elsewhere.
TEST_F(PresetOwnership, TheFolderOpenedAtStartUpIsTheOnlyOneActedIn) {
    for (const char* replaced : {"presets", "Vistorb"}) {
        SCOPED_TRACE(replaced);
        const fs::path data = root / replaced / "data";
        const fs::path presets = data / "Vistorb" / "presets";
        fs::create_directories(presets);
        std::ofstream(presets / "Kept.json") << SerializePreset(Preset("Kept", 1));
        PresetStore store(presets);
        ASSERT_TRUE(store.Usable());

        const fs::path swapped = std::string(replaced) == "presets" ? presets : data / "Vistorb";
        const fs::path moved = root / replaced / "moved";
        fs::rename(swapped, moved);
        const fs::path opened = std::string(replaced) == "presets" ? moved : moved / "presets";
        const fs::path elsewhere = root / replaced / "elsewhere";
        const fs::path elsewherePresets = std::string(replaced) == "presets" ? elsewhere : elsewhere / "presets";
        fs::create_directories(elsewherePresets);
        std::ofstream(elsewherePresets / "Kept.json") << "not a preset of this store";
#if defined(_WIN32)  // MinGW cannot make links: another folder takes the path's place
        fs::rename(elsewhere, swapped);
        const fs::path victims = presets;
#else
        fs::create_directory_symlink(elsewhere, swapped);
        const fs::path victims = elsewherePresets;
#endif
        TakeLog();
        store.AddPreset(Preset("New", 2));
        store.DeletePreset("Kept");
        EXPECT_EQ(Entries(victims), Lines{"Kept.json"}) << "nothing written or removed where the path leads now";
        // Nothing goes into the folder moved aside either, which the user no longer sees.
        const std::string why = FolderGone(presets);
        EXPECT_EQ(TakeLog(), (Lines{"Preset not saved, the preset folder is unavailable: " + why,
                                    "Preset file not deleted, the preset folder is unavailable: " + why}));
        EXPECT_EQ(Entries(opened), Lines{"Kept.json"});
    }
}

TEST_F(PresetOwnership, ASaveNeverReplacesAFileItDoesNotOwn) {
    Write("B.json", SerializePreset(Preset("Zed", 1)));  // renamed by hand
    Write("C.json", "{ half a document");                // fails to load; maybe being mended
    fs::create_directories(folder / "D.json");
    PresetStore store = MakeStore();
    store.AddPreset(Preset("A", 2));
    TakeLog();
    store.AddPreset(Preset("B", 3));
    store.AddPreset(Preset("C", 3));
    store.AddPreset(Preset("D", 3), true);
    const Lines lines = TakeLog();
    EXPECT_EQ(lines, (Lines{"Preset B not saved: its file " + PathOf("B.json") + " holds the preset Zed",
                            "Preset C not saved: its file " + PathOf("C.json") + " holds no preset that loads",
                            "Preset D not saved: " + PathOf("D.json") + " is not a file"}));
    EXPECT_EQ(Read("B.json"), SerializePreset(Preset("Zed", 1)));
    EXPECT_EQ(Read("C.json"), "{ half a document");
    EXPECT_EQ(Names(store.Presets()), (Lines{"A", "Zed"}));
    // A file that does not load is replaced only with consent.
    store.AddPreset(Preset("C", 3), true);
    EXPECT_EQ(Read("C.json"), OnDisk(SerializePreset(Preset("C", 3))));
    TakeLog();

    // With consent the other preset's file is replaced, and its record goes with it.
    store.AddPreset(Preset("B", 4), true);
    EXPECT_EQ(TakeLog(), Lines{"Saving preset B to " + PathOf("B.json")});
    EXPECT_EQ(Names(store.Presets()), (Lines{"A", "B", "C"}));
    ExpectCacheIsTheDisk(store);

    // Another program creates the file while the save is under way: its file is kept, the save
    // (and a rename onto the name) gives way, and no temporary file is left.
    auto racing = std::make_unique<PresetStoreTesting::ScopedMoment>(
        PresetStoreTesting::beforeCommit, [](const fs::path& file) { std::ofstream(file) << "theirs"; });
    for (const std::string name : {"E", "F"}) {
        if (name == "E") store.AddPreset(Preset(name, 5));
        if (name == "F") store.ReplacePreset("A", Preset(name, 5));
        const Lines raced = TakeLog();
        ASSERT_FALSE(raced.empty());
        EXPECT_EQ(raced.back(), "Preset " + name + " not saved, its file " + PathOf(name + ".json") +
                                    " appeared meanwhile and was left alone");
        EXPECT_EQ(Read(name + ".json"), "theirs");
    }
    racing.reset();
    EXPECT_EQ(Names(store.Presets()), (Lines{"A", "B", "C"}));
    EXPECT_EQ(Read("A.json"), OnDisk(SerializePreset(Preset("A", 2))));
    for (const std::string& entry : Entries(folder)) EXPECT_FALSE(preset_files::IsTempFileName(entry)) << entry;
}

// Presets whose file is not NAME.json at the top of the folder: each operation acts on the
// name's own file and that file's record, and the cache stays the disk.
TEST_F(PresetOwnership, EveryRecordKnowsItsFile) {
    Write("sub/Low.json", SerializePreset(Preset("Low", 1)));
    Write("X.json", SerializePreset(Preset("X", 2)));
    Write("X-copy.json", SerializePreset(Preset("X", 3)));
    PresetStore store = MakeStore();
    const std::function<void()> steps[] = {
        [&] { store.AddPreset(Preset("Low", 4)); },   // a second file, a second record
        [&] { store.AddPreset(Preset("X", 5)); },     // X.json's record only
        [&] { store.ReplacePreset("Low", Preset("Low", 6)); },
        [&] { store.DeletePreset("X"); },              // X-copy.json and its record stay
        [&] { store.ReplacePreset("X", Preset("Y", 7)); },  // no X.json any more: a new file only
        [&] { store.DeletePreset("Low"); },
    };
    for (const auto& step : steps) {
        step();
        ExpectCacheIsTheDisk(store);
    }
    EXPECT_EQ(Names(store.Presets()), (Lines{"Low", "X", "Y"}));
    EXPECT_TRUE(Exists("X-copy.json"));
    EXPECT_TRUE(Exists("sub/Low.json"));
}
