// The store's operations: their files, their cache and their log lines, in order.
#include <gtest/gtest.h>

#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

class PresetOperations : public PresetFolderTest {};

using Lines = std::vector<std::string>;

// The cache as a sorted list of documents, to compare with a fresh load.
Lines Serialized(const std::vector<CameraPreset>& presets) {
    Lines documents;
    for (const CameraPreset& p : presets) documents.push_back(SerializePreset(p));
    std::sort(documents.begin(), documents.end());
    return documents;
}

}  // namespace

TEST_F(PresetOperations, AddWritesTheDocumentAndKeepsTheCacheSorted) {
    PresetStore store = MakeStore();
    store.AddPreset(WidePreset());
    EXPECT_EQ(TakeLog(), Lines{"Saving preset Wide to " + PathOf("Wide.json")});
    EXPECT_EQ(Read("Wide.json"), OnDisk(kWideDocument));

    for (const std::string name : {"b", "A", "\xC3\xA9", "ab"}) store.AddPreset(Preset(name, 1));
    EXPECT_EQ(Names(store.Presets()), (Lines{"A", "Wide", "ab", "b", "\xC3\xA9"}));
    EXPECT_TRUE(Exists("\xC3\xA9.json"));

    // What was written loads back as it was added, and no temporary file is left behind.
    PresetStore reloaded(folder);
    EXPECT_EQ(Names(reloaded.Presets()), Names(store.Presets()));
    EXPECT_TRUE(SameSettings(reloaded.FindPreset("Wide")->settings, WidePreset().settings));
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().extension(), ".json") << entry.path();
        ++files;
    }
    EXPECT_EQ(files, 5u);
}

// Two files carrying one name are two records. Saving that name writes its own file and that
// file's record only; deleting it removes that file and record: the cache stays what a fresh load
// of the folder gives.
TEST_F(PresetOperations, AddingACachedNameActsOnItsOwnFileAndItsRecordOnly) {
    Write("one.json", SerializePreset(Preset("Twin", 1)));
    Write("two.json", SerializePreset(Preset("Twin", 2)));
    PresetStore store = MakeStore();
    const auto freshLoad = [&] {
        const Lines documents = Serialized(PresetStore(folder).Presets());
        console.ClearLog();
        return documents;
    };

    store.AddPreset(Preset("Twin", 3));
    EXPECT_EQ(TakeLog(), (Lines{"Saving preset Twin to " + PathOf("Twin.json")}));
    ASSERT_EQ(Names(store.Presets()), (Lines{"Twin", "Twin", "Twin"}));
    EXPECT_EQ(Serialized(store.Presets()), freshLoad());

    // Saving again refreshes the one record of Twin.json in place.
    EXPECT_TRUE(store.SavePreset(Preset("Twin", 4)));
    EXPECT_EQ(TakeLog(), (Lines{"Saving preset Twin to " + PathOf("Twin.json"), "Updating cached preset with name Twin"}));
    EXPECT_EQ(store.Presets().size(), 3u);
    EXPECT_EQ(Serialized(store.Presets()), freshLoad());

    store.DeletePreset("Twin");
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Twin", "Preset file deleted: " + PathOf("Twin.json"),
                                "removed preset from cache"}));
    EXPECT_EQ(Serialized(store.Presets()), freshLoad());
    EXPECT_EQ(store.Presets().size(), 2u);
    EXPECT_FALSE(Exists("Twin.json"));
    EXPECT_TRUE(Exists("one.json"));
}

TEST_F(PresetOperations, DeleteLooksOnlyForTheNamedFileInTheFolder) {
    Write("Wide.json", kWideDocument);
    Write("sub/Deep.json", SerializePreset(Preset("Deep", 1)));
    Write("other-file.json", SerializePreset(Preset("Elsewhere", 1)));
    PresetStore store = MakeStore();

    // A cached reference as the argument: the name survives its record's erasure.
    store.DeletePreset(store.Presets().back().name);
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Wide", "Preset file deleted: " + PathOf("Wide.json"),
                                "removed preset from cache"}));
    EXPECT_EQ(Names(store.Presets()), (Lines{"Deep", "Elsewhere"}));

    store.DeletePreset("Deep");
    store.DeletePreset("Elsewhere");
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Deep", "preset file does not exist: " + PathOf("Deep.json"),
                                "Deleting preset: Elsewhere",
                                "preset file does not exist: " + PathOf("Elsewhere.json")}));
    EXPECT_EQ(Names(store.Presets()), (Lines{"Deep", "Elsewhere"}));
    EXPECT_TRUE(Exists("sub/Deep.json"));

    // A file put there by hand after start-up is removed though nothing was cached, but only when
    // it holds the preset deleted.
    Write("Late.json", kWideDocument);
    store.DeletePreset("Late");
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Late",
                                "Preset file not deleted, " + PathOf("Late.json") + " holds the preset Wide"}));
    Write("Late.json", SerializePreset(Preset("Late", 2)));
    store.DeletePreset("Late");
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Late", "Preset file deleted: " + PathOf("Late.json"),
                                "Failed to remove preset from cache"}));
    EXPECT_FALSE(Exists("Late.json"));
}

TEST_F(PresetOperations, FindMatchesExactBytesAndReturnsTheFirstRecord) {
    PresetStore store = MakeStore();
    // Straight into the cache: where file names ignore case, the second could not be saved.
    PresetStoreTesting::SetUnfiledRecords(store, {Preset("Wide", 1), Preset("wide", 2)});
    EXPECT_TRUE(SameSettings(store.FindPreset("Wide")->settings, Cam(1)));
    EXPECT_TRUE(SameSettings(store.FindPreset("wide")->settings, Cam(2)));
    EXPECT_FALSE(store.FindPreset("WIDE"));
    EXPECT_FALSE(store.FindPreset("Wide "));
    EXPECT_FALSE(store.FindPreset(""));

    // A copy: changing it leaves the cache alone.
    auto copy = store.FindPreset("Wide");
    copy->settings.FOV = 1000;
    EXPECT_EQ(store.FindPreset("Wide")->settings.FOV, 1.0f);
}

// The preset panel's rename and re-tune.
TEST_F(PresetOperations, ReplaceRenamesAndRetunesWithTheUsualLogLines) {
    PresetStore store = MakeStore();
    store.AddPreset(Preset("A", 1));
    store.AddPreset(Preset("C", 9));
    TakeLog();

    store.ReplacePreset("A", Preset("B", 2));
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: A", "Preset file deleted: " + PathOf("A.json"),
                                "removed preset from cache", "Saving preset B to " + PathOf("B.json")}));
    EXPECT_FALSE(Exists("A.json"));
    EXPECT_EQ(Read("B.json"), OnDisk(SerializePreset(Preset("B", 2))));
    EXPECT_EQ(Names(store.Presets()), (Lines{"B", "C"}));

    // New values under the same name: rewritten in place, no refresh line.
    store.ReplacePreset("B", Preset("B", 5));
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: B", "Preset file deleted: " + PathOf("B.json"),
                                "removed preset from cache", "Saving preset B to " + PathOf("B.json")}));
    EXPECT_EQ(Read("B.json"), OnDisk(SerializePreset(Preset("B", 5))));
    ASSERT_EQ(Names(store.Presets()), (Lines{"B", "C"}));
    EXPECT_TRUE(SameSettings(store.Presets()[0].settings, Cam(5)));

    // Onto a name that is already cached, once the user agreed: that file is overwritten and its
    // one record refreshed.
    store.ReplacePreset("B", Preset("C", 6), true);
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: B", "Preset file deleted: " + PathOf("B.json"),
                                "removed preset from cache", "Saving preset C to " + PathOf("C.json"),
                                "Updating cached preset with name C"}));
    EXPECT_EQ(Names(store.Presets()), (Lines{"C"}));
    EXPECT_EQ(Read("C.json"), OnDisk(SerializePreset(Preset("C", 6))));

    // The old preset's file is missing: its record stays and the new one is added.
    Write("sub/Old.json", SerializePreset(Preset("Old", 7)));
    store.LoadPresets();
    TakeLog();
    store.ReplacePreset("Old", Preset("New", 8));
    EXPECT_EQ(TakeLog(), (Lines{"Deleting preset: Old", "preset file does not exist: " + PathOf("Old.json"),
                                "Saving preset New to " + PathOf("New.json")}));
    EXPECT_EQ(Names(store.Presets()), (Lines{"C", "New", "Old"}));
    EXPECT_TRUE(Exists("sub/Old.json"));
}

TEST_F(PresetOperations, OrdinaryNamesKeepTheFileNameRule) {
    PresetStore store = MakeStore();
    Lines names{"Caf\xC3\xA9 \xE2\x98\x85", "a..b", "...x", " lead", "semi;colon", "x.json", "\xF0\x9F\x8E\xA5"};
#if !defined(_WIN32)  // names Windows cannot hold as file names: refused there (PresetWindowsRules)
    names.insert(names.end(), {"trailing ", "quote\"d", "Mode: wide"});
#endif
    for (const std::string& name : names) {
        EXPECT_TRUE(store.SavePreset(Preset(name, 1))) << name;
        EXPECT_TRUE(Exists(name + ".json")) << name;
    }
    EXPECT_TRUE(Exists("x.json.json"));
    PresetStore reloaded(folder);
    Lines sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Names(reloaded.Presets()), sorted);
}

// A name whose file stays in the folder is a name like any other: a file the store loads can be
// re-tuned, renamed and deleted, and what is saved under such a name loads again.
TEST_F(PresetOperations, EveryNameWhoseFileStaysInTheFolderCanBeLoadedRetunedRenamedAndDeleted) {
    const std::vector<std::string> names = {
        ".", "..", "Close ", "Wide.", "...",
#if !defined(_WIN32)  // plain bytes here; Windows refuses them
        "a\\b", "C:evil", "line\nbreak", "del\x7F",
#endif
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Write(name + ".json", SerializePreset(Preset(name, 1)));
        PresetStore store = MakeStore();
        ASSERT_EQ(Names(store.Presets()), Lines{name});
        store.ReplacePreset(name, Preset(name, 2));
        EXPECT_EQ(Read(name + ".json"), OnDisk(SerializePreset(Preset(name, 2))));
        store.ReplacePreset(name, Preset("Plain", 3));
        store.ReplacePreset("Plain", Preset(name, 4));
        EXPECT_EQ(Names(PresetStore(folder).Presets()), Lines{name});
        store.DeletePreset(name);
        EXPECT_EQ(Names(store.Presets()), Lines{});
        EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 1) << "only the folder";
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 0);
    }
}
