// The preset panel: the searchable combo, the list, the preview, "Apply", "Edit" with the
// rename popup, and "Delete". In this order:
//   the combo and the list            TheComboSearches..., TheOpenList...
//   Apply and the preview             ApplyNeedsAFocusedPlayer..., ThePreviewShows...
//   Edit: renames and re-tunes        EditThenSave..., ARename... (its question included)
//   without a folder                  WithoutItsFolder..., AUsableStoreShowsNoProblemLine
//   Delete, odd names, the selection  DeleteRemoves..., PresetsWithOneName..., NamesHoldingHashPairs...,
//                                     ARetunedPreset..., ReloadAfterTheFolderMoved..., WithNothingSelected...
#include <algorithm>
#include <cstring>

#include <nlohmann/json.hpp>

#include "imgui.h"
#include "imgui_internal.h"
#include "gui/SearchableCombo.h"
#include "presets/PresetStoreTesting.h"
#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

constexpr const char* kPanel = "vistorb2-right";
const std::string kZed = "Player_Bot_Zed";
const ProfileCameraSettings kWide = Camera(110, 120, -5, 300, 0.4f, 5, 1.5f);
const ProfileCameraSettings kClose = Camera(80, 60, -10, 150, 0.7f, 3, 1);

class GuiPresetPanel : public GuiTest {
protected:
    void ThreePresets() {
        PresetFile("Wide", kWide);
        PresetFile("Close", kClose);
        PresetFile("my camera", OnGrid(95));
        Load();
        ASSERT_EQ(PresetNames(), (std::vector<std::string>{"Close", "Wide", "my camera"}));
    }

    // The labels of the selectables in windows matching `scope`, top to bottom.
    std::vector<std::string> Listed(const std::string& scope) {
        std::vector<sim::GuiItem> rows;
        for (const sim::GuiItem& item : gui.Items())
            if (item.hasInfo && item.hasRect && item.window.find(scope) != std::string::npos) rows.push_back(item);
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.minY < b.minY; });
        std::vector<std::string> labels;
        for (const auto& row : rows) labels.push_back(row.label);
        return labels;
    }

    std::string Search() { return std::string(plugin->presetSearch, strnlen(plugin->presetSearch, 64)); }

    nlohmann::json ReadPresetFile(const std::string& name) {
        std::ifstream in(PresetFolder() / (name + ".json"));
        return nlohmann::json::parse(in);
    }

    bool LogHas(const std::string& line) {
        const auto lines = host.LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(GuiPresetPanel, TheComboSearchesAtOnceIgnoringCaseWhileTheListStaysWhole) {
    ThreePresets();
    ShowWindow();
    EXPECT_EQ(Text("Presets", kPanel), "") << "nothing selected: an empty preview";
    EXPECT_EQ(Listed("presets table"), (std::vector<std::string>{"Close", "Wide", "my camera"}));

    ASSERT_TRUE(gui.Press("Presets", kPanel)) << gui.LastError();
    EXPECT_TRUE(gui.Find("Presets", kPanel)->Opened());
    gui.Frame();  // the list shows from its second frame on
    EXPECT_EQ(Listed("##Combo"), (std::vector<std::string>{"Close", "Wide", "my camera"})) << "empty search: all";

    gui.Type("CAM");  // no second click: the field took the keyboard when the list opened
    EXPECT_EQ(Search(), "CAM");
    gui.Frame();  // a text field shows what was typed from the next frame on
    EXPECT_EQ(Listed("##Combo"), std::vector<std::string>{"my camera"});
    EXPECT_EQ(Listed("presets table"), (std::vector<std::string>{"Close", "Wide", "my camera"}));
    EXPECT_EQ(Text("Presets", kPanel), "CAM") << "the search shows where the preview was";
    EXPECT_TRUE(plugin->WantsInputBlocked()) << "keys typed into the search are not the game's";

    ASSERT_TRUE(gui.Press("my camera", "##Combo"));
    gui.Frame();
    EXPECT_EQ(plugin->selectedPreset.name, "my camera");
    EXPECT_TRUE(Same(plugin->selectedPreset.settings, OnGrid(95)));
    EXPECT_FALSE(gui.Find("Presets", kPanel)->Opened()) << "choosing closes the list";
    EXPECT_EQ(Text("Presets", kPanel), "my camera");
    gui.MoveMouse(2, 2);
    gui.Frame();
    EXPECT_EQ(gui.Highlighted("my camera", "presets table"), true) << "the list highlights the choice";
    EXPECT_EQ(gui.Highlighted("Wide", "presets table"), false);

    // Reopened, the field takes its 63 characters and no more; the old search is replaced.
    ASSERT_TRUE(gui.Press("Presets", kPanel));
    gui.Type(std::string(70, 'x'));
    EXPECT_EQ(Search(), std::string(63, 'x'));
    EXPECT_TRUE(Listed("##Combo").empty());
    gui.MoveMouse(2, 2);  // a click elsewhere closes the list; the search stays
    gui.SetMouseButton(true);
    gui.Frame();
    gui.SetMouseButton(false);
    gui.Frame(2);
    EXPECT_FALSE(gui.Find("Presets", kPanel)->Opened());
    EXPECT_EQ(Search(), std::string(63, 'x'));
    EXPECT_EQ(Text("Presets", kPanel), "my camera") << "closed, the combo shows the selection again";
}

TEST_F(GuiPresetPanel, TheOpenListLeavesTheCaptureFlagsToTheLibrary) {
    ThreePresets();
    ShowWindow();
    ASSERT_TRUE(gui.Press("Presets", kPanel));
    gui.MoveMouse(2, 2);  // away from every window
    gui.Frame(2);
    ASSERT_TRUE(gui.Find("Presets", kPanel)->Opened());
    const ImGuiIO& io = gui.Context()->IO;
    EXPECT_FALSE(io.WantCaptureKeyboard) << "nothing typed, no widget active: the keyboard is not claimed";
    EXPECT_TRUE(io.WantTextInput) << "the search field takes text";
    // The library claims the mouse while any popup is open: that holds the game's input back
    // while the search is typed.
    EXPECT_TRUE(io.WantCaptureMouse);
    EXPECT_TRUE(plugin->WantsInputBlocked());

    gui.Type("w");
    gui.Frame();
    EXPECT_EQ(Search(), "w");
    EXPECT_TRUE(plugin->WantsInputBlocked());

    gui.SetMouseButton(true);  // a click away from the list closes it
    gui.Frame();
    gui.SetMouseButton(false);
    gui.Frame(2);
    ASSERT_FALSE(gui.Find("Presets", kPanel)->Opened());
    EXPECT_FALSE(io.WantCaptureKeyboard);
    EXPECT_FALSE(plugin->WantsInputBlocked()) << "closed, with the mouse away: the game gets its input";
}

TEST_F(GuiPresetPanel, ApplyNeedsAFocusedPlayerAndGivesItThePresetsValuesLeavingEnabledAlone) {
    ThreePresets();
    Replay({Bot("Zed", OnGrid(90))});  // nobody in focus yet
    ShowWindow();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));

    const auto apply = gui.Find("Apply", kPanel);
    ASSERT_TRUE(apply);
    EXPECT_TRUE(apply->disabled);
    const auto warning = gui.FindText("No focus actor");
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->Red(), 255);
    EXPECT_EQ(warning->Green(), 0);
    EXPECT_EQ(warning->Blue(), 0);
    EXPECT_LT(warning->Alpha(), 255) << "faded like the button";
    EXPECT_LE(warning->maxY, apply->minY) << "on its own line above the button";
    ASSERT_TRUE(gui.Press("Apply", kPanel));
    EXPECT_EQ(host.PendingExecutes(), 0u) << "a faded button does nothing";

    host.MoveFocus(kZed);
    gui.Frame();
    EXPECT_FALSE(gui.Find("Apply", kPanel)->disabled);
    EXPECT_FALSE(gui.FindText("No focus actor"));
    ASSERT_TRUE(gui.Press("Apply", kPanel));
    EXPECT_TRUE(Same(Entry(kZed).settings, kWide));
    EXPECT_FALSE(Entry(kZed).enabled);
    EXPECT_EQ(host.PendingExecutes(), 1u);
    host.Wait(0);
    EXPECT_TRUE(Same(LastCameraWrite(), OnGrid(90))) << "the override is off: the camera keeps the player's values";

    ASSERT_TRUE(gui.Press("Enabled", "vistorb2_"));
    host.Wait(0);
    EXPECT_TRUE(Same(LastCameraWrite(), kWide)) << "until it is switched on";
}

TEST_F(GuiPresetPanel, ThePreviewShowsTheSelectedPresetFadedAndFixed) {
    ThreePresets();
    ShowWindow();
    EXPECT_FALSE(gui.Find("FOV", kPanel)) << "no preview with nothing selected";
    ASSERT_TRUE(gui.Press("Close", "presets table"));
    gui.Frame();
    const auto fov = gui.Find("FOV", kPanel);
    ASSERT_TRUE(fov);
    EXPECT_TRUE(fov->disabled);
    EXPECT_EQ(Text("FOV", kPanel), "80");
    EXPECT_EQ(Text("Height", kPanel), "60.00");
    ASSERT_TRUE(gui.DragSlider("FOV", 50, 50, kPanel));
    EXPECT_EQ(plugin->selectedPreset.settings.FOV, 80.0f);
    EXPECT_EQ(plugin->presetStore.FindPreset("Close")->settings.FOV, 80.0f);
}

TEST_F(GuiPresetPanel, EditThenSaveRenamesAndRetunesTheSelectedPreset) {
    ThreePresets();
    ShowWindow();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    ASSERT_TRUE(gui.Press("Edit", kPanel));
    gui.Frame();
    EXPECT_EQ(Text("Preset Name", "##Popup"), "Wide");
    EXPECT_EQ(Text("FOV", "##Popup"), "110");

    ASSERT_TRUE(gui.Fill("Preset Name", "Alpha", "##Popup"));
    ASSERT_TRUE(gui.DragSlider("FOV", 0, 50, "##Popup"));
    EXPECT_EQ(plugin->presetStore.FindPreset("Wide")->settings.FOV, 110.0f) << "nothing stored before Save";
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame();

    EXPECT_FALSE(gui.Find("Preset Name")) << "Save closes the popup";
    EXPECT_FALSE(std::filesystem::exists(PresetFolder() / "Wide.json"));
    EXPECT_EQ(ReadPresetFile("Alpha").at("preset").at("FOV").get<float>(), 60.0f);
    EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Alpha", "Close", "my camera"}));
    EXPECT_EQ(plugin->selectedPreset.name, "Alpha");
    gui.MoveMouse(2, 2);
    gui.Frame();
    EXPECT_EQ(gui.Highlighted("Alpha", "presets table"), true);
    EXPECT_EQ(Text("Presets", kPanel), "Alpha");
}

TEST_F(GuiPresetPanel, EditThenSaveWithNothingSelectedStoresNothingAndSaysSo) {
    ThreePresets();
    Replay({Bot("Zed", OnGrid(90))}, kZed);
    ShowWindow();
    host.ClearLog();
    ASSERT_TRUE(gui.Press("Edit", kPanel));
    ASSERT_TRUE(gui.Fill("Preset Name", "Ghost", "##Popup"));
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    EXPECT_EQ(host.LogLines(), std::vector<std::string>{"Failed to find the old preset to update"});
    EXPECT_FALSE(std::filesystem::exists(PresetFolder() / "Ghost.json"));
    EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Close", "Wide", "my camera"}));
    EXPECT_EQ(plugin->selectedPreset.name, "Ghost") << "the selection takes the typed name anyway";

    gui.Frame();
    ASSERT_TRUE(gui.Press("Apply", kPanel));
    EXPECT_EQ(host.PendingExecutes(), 0u) << "a name the cache does not hold applies nothing";
    EXPECT_TRUE(Same(Entry(kZed).settings, OnGrid(90)));
}

TEST_F(GuiPresetPanel, ARenameThatIsNotSavedKeepsTheOldPresetSelected) {
    ThreePresets();
    // A folder where the new file would go makes the save fail; a name with a separator is refused.
    std::filesystem::create_directories(PresetFolder() / "Taken.json");
    ShowWindow();
    for (const std::string newName : {"Taken", "sub/Wide"}) {
        SCOPED_TRACE(newName);
        ASSERT_TRUE(gui.Press("Close", "presets table"));
        ASSERT_TRUE(gui.Press("Wide", "presets table"));
        ASSERT_TRUE(gui.Press("Edit", kPanel));
        ASSERT_TRUE(gui.Fill("Preset Name", newName, "##Popup"));
        ASSERT_TRUE(gui.DragSlider("FOV", 0, 50, "##Popup"));
        host.ClearLog();
        ASSERT_TRUE(gui.Press("Save", "##Popup"));
        EXPECT_EQ(host.LogLines().size(), 1u) << "one line says why";
        EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Close", "Wide", "my camera"}));
        EXPECT_EQ(plugin->selectedPreset.name, "Wide") << "the selection names a preset that exists";
        EXPECT_TRUE(Same(plugin->selectedPreset.settings, kWide));
        gui.Frame();
        EXPECT_EQ(Text("Presets", kPanel), "Wide");
        EXPECT_EQ(Text("FOV", kPanel), "110") << "the preview shows the preset as it is stored";
    }
}

TEST_F(GuiPresetPanel, ARenameOntoAnotherPresetAsksAndOnlyReplaceOverwritesIt) {
    ThreePresets();
    ShowWindow();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    ASSERT_TRUE(gui.Press("Edit", kPanel));
    ASSERT_TRUE(gui.Fill("Preset Name", "Close", "##Popup"));
    const auto untouched = [&] {
        EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Close", "Wide", "my camera"}));
        EXPECT_EQ(ReadPresetFile("Close").at("preset").at("FOV").get<float>(), 80.0f);
        EXPECT_TRUE(std::filesystem::exists(PresetFolder() / "Wide.json"));
        EXPECT_EQ(plugin->selectedPreset.name, "Wide");
    };

    // Save asks instead of overwriting; Cancel leaves the popup open and everything as it was.
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame(2);  // the popup grows to the question from the frame after it appears
    untouched();
    ASSERT_TRUE(gui.FindText("Close.json holds the preset \"Close\". Replace it?"));
    EXPECT_FALSE(gui.Find("Save", "##Popup")) << "the question takes Save's place";
    ASSERT_TRUE(gui.Press("Cancel", "##Popup"));
    gui.Frame();
    untouched();
    EXPECT_FALSE(gui.FindText("Replace it?"));
    ASSERT_TRUE(gui.Find("Preset Name", "##Popup")) << "still open for another name";

    // Asked again, then a change of name withdraws the question.
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame(2);
    ASSERT_TRUE(gui.Find("Replace", "##Popup"));
    ASSERT_TRUE(gui.Fill("Preset Name", "my camera", "##Popup"));
    gui.Frame();
    EXPECT_FALSE(gui.Find("Replace", "##Popup"));
    untouched();

    // Closed while asking (a click outside), the popup asks nothing when it opens again.
    ASSERT_TRUE(gui.Fill("Preset Name", "Close", "##Popup"));
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame(2);
    ASSERT_TRUE(gui.Find("Replace", "##Popup"));
    gui.MoveMouse(2, 2);
    gui.SetMouseButton(true);
    gui.Frame();
    gui.SetMouseButton(false);
    gui.Frame(2);
    ASSERT_FALSE(gui.Find("Preset Name")) << "a click outside closes the popup";
    untouched();
    ASSERT_TRUE(gui.Press("Edit", kPanel));
    gui.Frame();
    EXPECT_EQ(Text("Preset Name", "##Popup"), "Wide");
    EXPECT_TRUE(gui.Find("Save", "##Popup"));
    EXPECT_FALSE(gui.Find("Replace", "##Popup"));

    // Only Replace overwrites: Close now holds Wide's values, and Wide is gone.
    ASSERT_TRUE(gui.Fill("Preset Name", "Close", "##Popup"));
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame(2);
    ASSERT_TRUE(gui.Press("Replace", "##Popup"));
    gui.Frame();
    EXPECT_FALSE(gui.Find("Preset Name")) << "Replace closes the popup";
    EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Close", "my camera"}));
    EXPECT_FALSE(std::filesystem::exists(PresetFolder() / "Wide.json"));
    EXPECT_EQ(ReadPresetFile("Close").at("preset").at("FOV").get<float>(), 110.0f);
    EXPECT_TRUE(Same(plugin->presetStore.FindPreset("Close")->settings, kWide));
    EXPECT_EQ(plugin->selectedPreset.name, "Close");
}

TEST_F(GuiPresetPanel, WithoutItsFolderThePanelSaysWhyAndNoButtonWritesAnywhere) {
    std::filesystem::create_directories(host.DataFolder());
    std::ofstream(host.DataFolder() / "Vistorb") << "a file where the folder should be";
    Load();
    Replay({Bot("Zed", OnGrid(90))}, kZed);
    ShowWindow();

    const auto reason = gui.FindText("Presets unavailable: ");
    ASSERT_TRUE(reason) << "the panel shows why the presets are gone";
    EXPECT_EQ(reason->window.find(kPanel) != std::string::npos, true) << reason->window;
    EXPECT_TRUE(gui.Find("Edit", kPanel)->disabled);
    EXPECT_TRUE(gui.Find("Delete", kPanel)->disabled);
    EXPECT_FALSE(gui.Find("Apply", kPanel)->disabled) << "Apply depends on the focus alone";

    const std::filesystem::path here = std::filesystem::current_path();
    ASSERT_TRUE(gui.Press("Save Preset", "vistorb2_"));
    ASSERT_TRUE(gui.Fill("Preset Name", "config", "##Popup"));
    host.ClearLog();
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    ASSERT_TRUE(gui.Press("Edit", kPanel));
    ASSERT_TRUE(gui.Press("Delete", kPanel));
    gui.Frame();
    ASSERT_EQ(host.LogLines().size(), 1u) << "the save is refused with one line; the faded buttons do nothing";
    EXPECT_EQ(host.LogLines()[0].rfind("Preset not saved, the preset folder is unavailable: ", 0), 0u)
        << host.LogLines()[0];
    EXPECT_FALSE(std::filesystem::exists(here / "config.json"));
    EXPECT_FALSE(gui.Find("Preset Name")) << "no rename popup";
    EXPECT_TRUE(PresetNames().empty());
}

TEST_F(GuiPresetPanel, AUsableStoreShowsNoProblemLine) {
    ThreePresets();
    ShowWindow();
    EXPECT_FALSE(gui.FindText("Presets unavailable"));
    EXPECT_FALSE(gui.Find("Edit", kPanel)->disabled);
    EXPECT_FALSE(gui.Find("Delete", kPanel)->disabled);
}

TEST_F(GuiPresetPanel, DeleteRemovesTheSelectedPresetAndClearsTheSelection) {
    ThreePresets();
    ShowWindow();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    gui.Frame();
    ASSERT_TRUE(gui.Find("FOV", kPanel));
    host.ClearLog();

    ASSERT_TRUE(gui.Press("Delete", kPanel));
    gui.Frame();
    EXPECT_FALSE(std::filesystem::exists(PresetFolder() / "Wide.json"));
    EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Close", "my camera"}));
    EXPECT_TRUE(LogHas("Deleting preset: Wide"));
    EXPECT_EQ(plugin->selectedPreset.name, "");
    EXPECT_TRUE(Same(plugin->selectedPreset.settings, ProfileCameraSettings{}));
    EXPECT_FALSE(gui.Find("FOV", kPanel)) << "the preview goes with the selection";
    EXPECT_EQ(Text("Presets", kPanel), "");
    EXPECT_EQ(Listed("presets table"), (std::vector<std::string>{"Close", "my camera"}));

    host.ClearLog();
    ASSERT_TRUE(gui.Press("Delete", kPanel));
    EXPECT_FALSE(host.LogLines().empty()) << "the store is asked about the empty name and answers";
    EXPECT_EQ(PresetNames(), (std::vector<std::string>{"Close", "my camera"}));
}

TEST_F(GuiPresetPanel, PresetsWithOneNameAreSeparateRowsAndAnEmptyNameIsARowToo) {
    PresetFile("Twin", kWide);
    Load();
    PresetStoreTesting::AddUnfiledRecords(plugin->presetStore, {{"Twin", kClose}, {"", OnGrid(70)}});
    ShowWindow();
    const std::vector<sim::GuiItem> twins = gui.FindAll("Twin", "presets table");
    ASSERT_EQ(twins.size(), 2u);
    EXPECT_NE(twins[0].id, twins[1].id);
    const sim::GuiItem second = twins[0].minY < twins[1].minY ? twins[1] : twins[0];
    gui.MoveMouse(second.CenterX(), second.CenterY());
    gui.Frame();
    gui.SetMouseButton(true);
    gui.Frame();
    gui.SetMouseButton(false);
    gui.Frame();
    EXPECT_TRUE(Same(plugin->selectedPreset.settings, kClose)) << "the row clicked, not its namesake";
}

// A widget label shows only up to its first "##"; a name is not a label and shows whole.
TEST_F(GuiPresetPanel, NamesHoldingHashPairsShowWholeInTheListThePreviewAndTheTabs) {
    std::vector<std::string> names = {"Cam##near", "Cam##far", "###", "Ends##"};
    const std::string tooWide(200, '#');
    for (const std::string& name : names) PresetFile(name, kWide);
    PresetFile(tooWide, kWide);
    Load();
    Replay({Human("Steam|1|0", "Ace##1", OnGrid(90))}, "Player_Steam|1|0");
    ShowWindow();
    std::vector<std::string> listed = Listed("presets table");
    ASSERT_EQ(listed.size(), names.size() + 1);
    const std::string cut = listed[1];  // "###" sorts first, then the run of 200
    EXPECT_TRUE(cut.size() > 3 && cut.size() < tooWide.size() && tooWide.compare(0, cut.size(), cut) == 0)
        << "a name wider than its row is cut where the row ends, not at its first pair: " << cut.size();
    listed.erase(listed.begin() + 1);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(listed, names) << "each row its own widget, named in full";
    for (const char* name : {"Cam##near", "Cam##far", "Ends##", "Ace##1"})
        EXPECT_TRUE(gui.FindText(name)) << name << " is on screen";
    EXPECT_TRUE(gui.Find("Ace##1")) << "the player's tab";
    ASSERT_TRUE(gui.Press("Cam##near", "presets table"));
    gui.Frame();
    EXPECT_EQ(plugin->selectedPreset.name, "Cam##near");
    EXPECT_EQ(Text("Presets", kPanel), "Cam##near") << "the preview";
}

TEST(GuiSearch, TheListFilterFoldsAsciiLettersOnly) {
    constexpr auto npos = std::string_view::npos;
    const struct { const char *text, *search; std::string_view::size_type at; } cases[] = {
        {"my camera", "CAM", 3}, {"Wide", "CAM", npos}, {"Wide", "", 0}, {"", "", 0}, {"", "a", npos},
        // Bytes above 0x7F (UTF-8) go through the C library's tolower safely and stay as they are.
        {"K\xC3\xA4se", "\xC3\xA4", 1}, {"K\xC3\xA4se", "\xC3\x84", npos}, {"ZED", "zed", 0},
        {"aaab", "AAB", 1},  // a partial match does not hide the next one
        {"abc", "abcd", npos},
    };
    const CaseFolding folding;
    for (const auto& c : cases) EXPECT_EQ(FindIgnoreCase(c.text, c.search, folding), c.at) << c.text << " / " << c.search;
}

}  // namespace
}  // namespace gui_test

namespace gui_test {
namespace {

// A selection is a file: after a re-tune of a preset held in another file, the list holds both
// records of the name, and the selection, its preview and "Apply" are the file just written.
TEST_F(GuiPresetPanel, ARetunedPresetIsTheSelectionItsPreviewAndWhatApplyApplies) {
    std::filesystem::create_directories(PresetFolder());
    std::ofstream(PresetFolder() / "my-wide.json") << SerializePreset(CameraPreset{"Wide", kWide});
    PresetFile("Close", kClose);
    Load();
    Replay({Bot("Zed", OnGrid(90))}, kZed);
    ShowWindow();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    ASSERT_TRUE(gui.Press("Edit", kPanel));
    ASSERT_TRUE(gui.DragSlider("FOV", 0, 50, "##Popup"));
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame();
    EXPECT_EQ(gui.FindAll("Wide", "presets table").size(), 2u);
    EXPECT_EQ(plugin->selectedPresetFile, std::filesystem::path("Wide.json"));
    EXPECT_EQ(Text("FOV", kPanel), "60") << "the preview shows the values just saved";
    ASSERT_TRUE(gui.Press("Apply", kPanel));
    EXPECT_EQ(Entry(kZed).settings.FOV, 60.0f);
}

// Moved aside by hand, the folder takes no change until "Reload", which opens the one at the path.
TEST_F(GuiPresetPanel, ReloadAfterTheFolderMovedActsOnTheFolderAtThePath) {
    ThreePresets();
    ShowWindow();
    const std::filesystem::path aside = PresetFolder().parent_path() / "aside";
    std::filesystem::rename(PresetFolder(), aside);
    PresetFile("Fresh", kClose);
    host.ClearLog();
    ASSERT_TRUE(gui.Press("Wide", "presets table"));
    ASSERT_TRUE(gui.Press("Delete", kPanel));
    ASSERT_EQ(host.LogLines().size(), 1u);
    EXPECT_NE(host.LogLines()[0].find("press \"Reload\""), std::string::npos) << host.LogLines()[0];
    EXPECT_TRUE(std::filesystem::exists(aside / "Wide.json"));
    gui.Frame();  // the cleared selection hides the preview: the buttons move up

    ASSERT_TRUE(gui.Press("Reload", kPanel));
    gui.Frame();
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"Fresh"});
    ASSERT_TRUE(gui.Press("Fresh", "presets table"));
    ASSERT_TRUE(gui.Press("Delete", kPanel));
    EXPECT_FALSE(std::filesystem::exists(PresetFolder() / "Fresh.json"));
    EXPECT_TRUE(std::filesystem::exists(aside / "Wide.json"));
}

// Nothing selected: "Apply" applies nothing, even a preset whose name is empty, and "Delete"
// removes no file.
TEST_F(GuiPresetPanel, WithNothingSelectedApplyAndDeleteTouchNothing) {
    std::filesystem::create_directories(PresetFolder());
    std::ofstream(PresetFolder() / "blank.json") << SerializePreset(CameraPreset{"", kWide});
    Load();
    Replay({Bot("Zed", OnGrid(90))}, kZed);
    ShowWindow();
    ASSERT_TRUE(gui.Press("Apply", kPanel));
    EXPECT_TRUE(Same(Entry(kZed).settings, OnGrid(90)));
    host.ClearLog();
    ASSERT_TRUE(gui.Press("Delete", kPanel));
    EXPECT_EQ(host.LogLines(), (std::vector<std::string>{
                                   "Deleting preset: ", "preset file does not exist: " +
                                                            (PresetFolder() / ".json").string()}));
    EXPECT_TRUE(std::filesystem::exists(PresetFolder() / "blank.json"));
}

}  // namespace
}  // namespace gui_test
