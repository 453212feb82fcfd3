// Building the store and loading the preset folder: what is taken, what is passed over, what is
// logged, and how the walk survives folders and files it cannot read.
#include <gtest/gtest.h>

#include "tests/PresetSupport.h"

using namespace preset_test;

namespace {

class PresetLoading : public PresetFolderTest {};

std::string Document(const std::string& name, float base = 1) { return SerializePreset(CameraPreset{name, Cam(base)}); }

}  // namespace

TEST_F(PresetLoading, EmptyFolderIsCreatedWithItsParentsAndLoadsNothing) {
    folder = root / "data" / "Vistorb" / "presets";
    PresetStore store(folder);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(store.PresetFolder(), folder);
    EXPECT_TRUE(store.Presets().empty());
    EXPECT_EQ(console.LogLines(), (std::vector<std::string>{"Reading camera preset json files recursively from " +
                                                             folder.string(),
                                                         "Done reading camera presets"}));
}

TEST_F(PresetLoading, CacheIsSortedByNameInByteOrder) {
    // Files named apart from their presets, so that names differing only in case are two files
    // on every file system.
    int file = 0;
    for (const std::string name : {"b", "A", "ab", "a", "\xC3\xA9t\xC3\xA9", "Z", "_"})
        Write("preset" + std::to_string(++file) + ".json", Document(name));
    PresetStore store(folder);
    EXPECT_EQ(Names(store.Presets()), (std::vector<std::string>{"A", "Z", "_", "a", "ab", "b", "\xC3\xA9t\xC3\xA9"}));
}

TEST_F(PresetLoading, TakesRegularJsonFilesAtAnyDepthOnly) {
    Write("top.json", Document("top", 1));
    Write("sub/deep/deeper/nested.json", Document("nested", 2));
    Write("y.json/inside.json", Document("inside", 3));  // a folder named like a preset file
    Write("x.JSON", Document("upper"));
    Write("x.Json", Document("mixed"));
    Write("x.json.bak", Document("backup"));
    Write(".json", Document("dotjson"));
    Write("sub/.json", Document("dotjson2"));
    Write("notes.txt", Document("text"));
    Write("file-name.json", Document("different name", 4));
#if defined(_WIN32)  // MinGW's std::filesystem cannot make symbolic links
    const std::vector<std::string> expected{"different name", "inside", "nested", "top"};
#else
    fs::create_symlink(folder / "top.json", folder / "link.json");  // links to files are followed
    const std::vector<std::string> expected{"different name", "inside", "nested", "top", "top"};
#endif

    PresetStore store(folder);
    EXPECT_EQ(Names(store.Presets()), expected);
    EXPECT_TRUE(SameSettings(store.FindPreset("nested")->settings, Cam(2)));
    EXPECT_TRUE(SameSettings(store.FindPreset("different name")->settings, Cam(4)));
    EXPECT_EQ(console.LogLines().size(), 2u);  // passed-over entries leave no line
}

TEST_F(PresetLoading, RejectedFilesLogTheirMessageAndTheOthersLoad) {
    Write("a-good.json", Document("good"));
    Write("empty.json", "");
    Write("broken.json", "{\"preset\": {");
    Write("missing.json", R"({"preset_name": "no values"})");
    Write("array.json", "[1, 2]");
    Write("string.json", "\"text\"");
    Write("number.json", "12");
    Write("null.json", "null");
    Write("bool.json", "true");
    Write("twin-1.json", Document("twin", 5));
    Write("twin-2.json", Document("twin", 6));

    PresetStore store(folder);
    EXPECT_EQ(Names(store.Presets()), (std::vector<std::string>{"good", "twin", "twin"}));

    std::vector<std::string> lines = console.LogLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines.front(), "Reading camera preset json files recursively from " + folder.string());
    EXPECT_EQ(lines.back(), "Done reading camera presets");
    std::vector<std::string> rejections(lines.begin() + 1, lines.end() - 1);
    std::sort(rejections.begin(), rejections.end());
    EXPECT_EQ(rejections,
              (std::vector<std::string>{
                  "[json.exception.out_of_range.403] key 'preset' not found",
                  "[json.exception.parse_error.101] parse error at line 1, column 13: syntax error while parsing "
                  "object key - unexpected end of input; expected string literal",
                  "[json.exception.parse_error.101] parse error at line 1, column 1: syntax error while parsing "
                  "value - unexpected end of input; expected '[', '{', or a literal"}));

    // FindPreset hands back one of the two records sharing a name.
    const auto twin = store.FindPreset("twin");
    ASSERT_TRUE(twin);
    EXPECT_TRUE(SameSettings(twin->settings, Cam(5)) || SameSettings(twin->settings, Cam(6)));
}

TEST_F(PresetLoading, ByteOrderMarkAndWindowsLineEndsLoad) {
    std::string crlf;
    for (char c : Document("windows", 3)) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
    Write("windows.json", "\xEF\xBB\xBF" + crlf + "\r\n");
    PresetStore store(folder);
    ASSERT_EQ(Names(store.Presets()), std::vector<std::string>{"windows"});
    EXPECT_TRUE(SameSettings(store.Presets()[0].settings, Cam(3)));
}

TEST_F(PresetLoading, LoadingAgainReplacesTheCacheAndMakesAMissingFolderAsStartUpDoes) {
    Write("one.json", Document("one"));
    PresetStore store = MakeStore();
    Write("two.json", Document("two"));
    store.LoadPresets();
    EXPECT_EQ(Names(store.Presets()), (std::vector<std::string>{"one", "two"}));

    fs::remove_all(folder);
    console.ClearLog();
    store.LoadPresets();
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(Names(store.Presets()), std::vector<std::string>{});
    EXPECT_EQ(console.LogLines(), (std::vector<std::string>{"Reading camera preset json files recursively from " +
                                                                folder.string(),
                                                            "Done reading camera presets"}));
}

// One unreadable folder or entry costs only what is inside it.
TEST_F(PresetLoading, AnUnreadableSubFolderDoesNotHideTheOtherPresets) {
    SKIP_ON_WINDOWS("POSIX mode bits lock the folder, and the link loop is a POSIX symbolic link");
    Write("a.json", Document("a"));
    Write("locked/hidden.json", Document("hidden"));
    Write("open/b.json", Document("b"));
    fs::permissions(folder / "locked", fs::perms::none);
    // A link loop: its status cannot be read at all.
    fs::create_symlink("loop-2.json", folder / "loop-1.json");
    fs::create_symlink("loop-1.json", folder / "loop-2.json");

    std::vector<std::string> names;
    ASSERT_TRUE(WithoutRootPowers([&] {
        PresetStore store(folder);
        names = Names(store.Presets());
    })) << "could not drop root's file permissions";

    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    const std::vector<std::string> lines = console.LogLines();
    auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("Could not read preset folder " + (folder / "locked").string() + ": Permission denied"));
    EXPECT_TRUE(has("Could not read " + (folder / "loop-1.json").string() + ": Too many levels of symbolic links"));
    EXPECT_TRUE(has("Could not read " + (folder / "loop-2.json").string() + ": Too many levels of symbolic links"));
    EXPECT_EQ(lines.back(), "Done reading camera presets");
    EXPECT_EQ(lines.size(), 5u);
}

TEST_F(PresetLoading, LinksToFoldersAreNotFollowed) {
    SKIP_ON_WINDOWS("MinGW's std::filesystem cannot create symbolic links");
    Write("real/r.json", Document("r"));
    fs::create_directory_symlink(folder / "real", folder / "alias");
    fs::create_directory_symlink(folder, folder / "real" / "back");  // would loop if followed
    PresetStore store(folder);
    EXPECT_EQ(Names(store.Presets()), std::vector<std::string>{"r"});
}

TEST_F(PresetLoading, AFolderThatCannotBeMadeOrReadThrowsToTheCaller) {
    std::ofstream(root / "blocker") << "a file where a folder should be";
    try {
        PresetStore store(root / "blocker" / "presets");
        ADD_FAILURE() << "the store was built below a file";
    } catch (const fs::filesystem_error& e) {
        EXPECT_EQ(e.path1(), root / "blocker" / "presets");
    }

    SKIP_ON_WINDOWS("POSIX mode bits make the folder unreadable; Windows has no such bits");
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::none);
    bool threw = false;
    ASSERT_TRUE(WithoutRootPowers([&] {
        try {
            PresetStore store(folder);
        } catch (const fs::filesystem_error&) {
            threw = true;
        }
    }));
    EXPECT_TRUE(threw);
}
