// The store decides from the disk at the moment of each change: Reload opens the folder at its
// path as start-up does, a folder that is no longer the one opened takes no change, and a delete
// or a replace reads the file it acts on.
#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <unistd.h>

#include <gtest/gtest.h>

#include "presets/PresetFolderHandle.h"
#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

using Lines = std::vector<std::string>;
class PresetDisk : public PresetFolderTest {};

}  // namespace

// Moving a handle onto an open one, swapping, and moving onto itself: each keeps exactly one
// open folder per handle (under ASan, a member used after its destructor fails here).
TEST_F(PresetDisk, FolderHandlesMoveAndSwapSoundly) {
    const fs::path other = root / "other";
    fs::create_directories(folder);
    fs::create_directories(other);
    using preset_files::FolderHandle;
    FolderHandle a = FolderHandle::Open(folder), b = FolderHandle::Open(other);
    a = std::move(b);
    EXPECT_EQ(a.Path(), other);
    EXPECT_TRUE(a.IsOpen());
    EXPECT_FALSE(b.IsOpen());
    b = FolderHandle::Open(folder);
    swap(a, b);
    EXPECT_EQ(a.Path(), folder);
    EXPECT_EQ(b.Path(), other);
    FolderHandle& same = a;
    a = std::move(same);
    EXPECT_EQ(a.Path(), folder);
    EXPECT_TRUE(a.IsOpen());
}

// Reload after the folder changed under the store: the cache, saves and deletes all follow what
// is at the path now, as a fresh start would.
TEST_F(PresetDisk, ReloadOpensTheFolderAtItsPathAsStartUpDoes) {
    struct Case {
        const char* what;
        std::function<void()> change;
        bool usable;
        Lines presets;  // after Reload
    };
    const fs::path aside = root / "aside";
    const Case cases[] = {
        {"moved aside, a new one made",
         [&] {
             fs::rename(folder, aside);
             Write("New.json", SerializePreset(Preset("New", 2)));
         },
         true, {"New"}},
        {"removed and made again", [&] { fs::remove_all(folder); fs::create_directories(folder); }, true, {}},
        {"removed", [&] { fs::remove_all(folder); }, true, {}},
#if !defined(_WIN32)  // MinGW's std::filesystem cannot make links
        {"replaced by a link",
         [&] {
             fs::rename(folder, aside);
             fs::create_directory_symlink(aside, folder);
         },
         false, {}},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(aside);
        fs::remove_all(folder);
        Write("Old.json", SerializePreset(Preset("Old", 1)));
        PresetStore store = MakeStore();
        c.change();
        const std::string asideLeftOver = ".vistorb-save-1-0-0.tmp";
        if (fs::is_directory(aside)) std::ofstream(aside / asideLeftOver) << "a save of another process";
        TakeLog();
        try {
            store.LoadPresets();
        } catch (const std::exception&) {
        }
        EXPECT_EQ(store.Usable(), c.usable) << store.UnusableReason();
        EXPECT_EQ(Names(store.Presets()), c.presets);
        if (!c.usable) {
            EXPECT_NE(store.UnusableReason().find("it is a symbolic link"), std::string::npos) << store.UnusableReason();
            EXPECT_TRUE(fs::exists(aside / asideLeftOver)) << "nothing removed outside the preset folder";
            continue;
        }
        EXPECT_EQ(Names(store.Presets()), Names(PresetStore(folder).Presets()));
        store.AddPreset(Preset("Saved", 3));
        EXPECT_TRUE(Exists("Saved.json"));
        if (fs::is_directory(aside)) {
            EXPECT_FALSE(fs::exists(aside / "Saved.json"));
            store.DeletePreset("Old");
            EXPECT_TRUE(fs::exists(aside / "Old.json")) << "a delete never reaches the folder moved aside";
        }
    }
}

// A change decides from the file it would remove or replace as it is now, whatever the cache
// remembers of it, and a status check that fails says so in one line and decides nothing.
TEST_F(PresetDisk, DeleteAndSaveReadTheFileTheyActOn) {
    struct Case {
        const char* what;
        std::function<void(PresetStore&)> change;
        Lines lines;
        const char* keptFile;  // still holding what it held, or nullptr
    };
    const std::string zed = SerializePreset(Preset("Zed", 9));
    const std::string tooLong(300, 'x');
    const Case cases[] = {
        {"delete of a file another preset was copied over",
         [&](PresetStore& s) { Write("B.json", zed), s.DeletePreset("B"); },
         {"Deleting preset: B", "Preset file not deleted, " + PathOf("B.json") + " holds the preset Zed"}, "B.json"},
        {"delete of a file that does not load",
         [&](PresetStore& s) { Write("B.json", "{"), s.DeletePreset("B"); },
         {"Deleting preset: B", "Preset file not deleted, " + PathOf("B.json") + " holds no preset that loads"},
         "B.json"},
        {"re-tune of a preset whose own file now holds another",
         [&](PresetStore& s) { Write("B.json", zed), s.ReplacePreset("B", Preset("B", 4)); },
         {"Preset B not renamed: its file " + PathOf("B.json") + " holds the preset Zed"}, "B.json"},
#if !defined(_WIN32)  // Windows finds no file of a name too long, and the write then fails with one line
        {"save under a name whose file name is too long",
         [&](PresetStore& s) { s.AddPreset(Preset(tooLong, 4)); },
         {"Preset " + tooLong + " not saved: its file " + PathOf(tooLong + ".json") +
          " could not be read: File name too long"},
         nullptr},
        {"rename to a name whose file name is too long",
         [&](PresetStore& s) { s.ReplacePreset("B", Preset(tooLong, 4)); },
         {"Preset B not renamed: its file " + PathOf(tooLong + ".json") + " could not be read: File name too long"},
         "B.json"},
#endif
        {"nothing selected: the empty name's file is never removed",
         [&](PresetStore& s) { Write(".json", zed), s.DeletePreset(""); },
         {"Deleting preset: ", "Preset file not deleted, the name \"\" cannot be a file name: it is empty"}, ".json"},
        {"nothing selected, no such file", [&](PresetStore& s) { s.DeletePreset(""); },
         {"Deleting preset: ", "preset file does not exist: " + PathOf(".json")}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        PresetStore store = MakeStore();
        store.AddPreset(Preset("B", 2));
        TakeLog();
        c.change(store);
        const std::string kept = c.keptFile ? Read(c.keptFile) : "";
        EXPECT_EQ(TakeLog(), c.lines);
        if (c.keptFile) {
            EXPECT_TRUE(Exists(c.keptFile));
            EXPECT_EQ(Read(c.keptFile), kept);
        }
    }
}

// `vistorb_preset` reads what the store publishes: NAME.json's record first, and never a state
// between the steps of one re-tune.
TEST_F(PresetDisk, ThePublishedLookupPrefersTheNamesOwnFileAndSeesEachChangeWhole) {
    Write("my-wide.json", SerializePreset(Preset("Wide", 1)));
    Write("sub/Wide.json", SerializePreset(Preset("Wide", 2)));
    PresetStore store = MakeStore();
    ASSERT_TRUE(store.FindPublished("Wide"));
    store.ReplacePreset("Wide", Preset("Wide", 3));  // Wide.json is written; the others stay
    ASSERT_EQ(store.Presets().size(), 3u);
    EXPECT_TRUE(SameSettings(store.FindPublished("Wide")->settings, Cam(3)));
    PresetStore fresh(folder);
    EXPECT_TRUE(SameSettings(fresh.FindPublished("Wide")->settings, Cam(3)));

    std::atomic<bool> done{false};
    std::atomic<long> misses{0}, reads{0};
    std::thread reader([&] {
        while (!done) {
            if (!store.FindPublished("Wide")) ++misses;
            ++reads;
        }
    });
    for (int i = 0; i < 300; ++i) store.ReplacePreset("Wide", Preset("Wide", static_cast<float>(i)));
    done = true;
    reader.join();
    EXPECT_EQ(misses, 0) << "of " << reads << " reads";
}

#if defined(__linux__)
// A save in progress in another process keeps its temporary file through a load; a left-over of
// a process that is gone (or whose id another process has taken since) goes.
TEST_F(PresetDisk, ALoadRemovesOnlyTheLeftOversOfProcessesThatAreGone) {
    const unsigned long parent = static_cast<unsigned long>(getppid());
    std::ifstream in("/proc/" + std::to_string(parent) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;  // the start time is field 22
    const unsigned long long started = std::stoull(field);
    const struct {
        std::string name;
        bool kept;
    } files[] = {
        {fmt::format(".vistorb-save-{:x}-{:x}-0.tmp", parent, started), true},
        {fmt::format(".vistorb-save-{:x}-{:x}-0.tmp", parent, started + 1), false},
        {".vistorb-save-7ffffffe-0-0.tmp", false},
        {".vistorb-save-by-hand.tmp", true},
    };
    for (const auto& file : files) Write(file.name, "partial");
    PresetStore store = MakeStore();
    for (const auto& file : files) EXPECT_EQ(Exists(file.name), file.kept) << file.name;
}
#endif
