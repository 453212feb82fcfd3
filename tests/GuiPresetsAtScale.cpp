// The preset panel with thousands of presets and with a name of a megabyte: only the rows in
// view are laid out, every preset can still be reached, the open list's matches are kept only as
// long as the search and the cache are what they were, and a long name is cut where it leaves
// the row.
#include <algorithm>
#include <string>

#include <fmt/format.h>

#include "imgui.h"
#include "presets/PresetStoreTesting.h"
#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

constexpr const char* kPanel = "vistorb2-right";

class GuiPresetsAtScale : public GuiTest {
protected:
    // Presets in the cache only: the panel lists what the store holds.
    void CachePresets(int count) {
        std::vector<CameraPreset> records;
        for (int i = 0; i < count; ++i) records.push_back({fmt::format("Preset {:04}", i), OnGrid(60.0f + i % 50)});
        PresetStoreTesting::AddUnfiledRecords(plugin->presetStore, records);
    }

    std::vector<sim::GuiItem> Rows(const std::string& scope) {
        std::vector<sim::GuiItem> rows;
        for (const sim::GuiItem& item : gui.Items())
            if (item.hasInfo && item.hasRect && item.window.find(scope) != std::string::npos) rows.push_back(item);
        return rows;
    }

    // The labels of the rows in windows matching `scope`, top to bottom.
    std::vector<std::string> Labels(const std::string& scope) {
        std::vector<sim::GuiItem> rows = Rows(scope);
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.minY < b.minY; });
        std::vector<std::string> labels;
        for (const auto& row : rows) labels.push_back(row.label);
        return labels;
    }
};

TEST_F(GuiPresetsAtScale, OnlyTheRowsInViewAreLaidOutAndASearchReachesAnyOfThem) {
    Load();
    CachePresets(2000);
    ShowWindow();
    const std::vector<sim::GuiItem> table = Rows("presets table");
    ASSERT_FALSE(table.empty());
    EXPECT_LT(table.size(), 20u) << "a list 125 pixels high shows a handful of rows";
    EXPECT_TRUE(gui.Find("Preset 0000", "presets table"));
    EXPECT_FALSE(gui.Find("Preset 1999", "presets table")) << "far out of view: not laid out";

    ASSERT_TRUE(gui.Press("Presets", kPanel));
    gui.Frame();
    EXPECT_LT(Rows("##Combo").size(), 20u) << "the open list too";
    gui.Type("1999");
    gui.Frame(2);
    ASSERT_EQ(Rows("##Combo").size(), 1u);
    ASSERT_TRUE(gui.Press("Preset 1999", "##Combo"));
    EXPECT_EQ(plugin->selectedPreset.name, "Preset 1999");
    EXPECT_TRUE(Same(plugin->selectedPreset.settings, OnGrid(60.0f + 1999 % 50)));
}

TEST_F(GuiPresetsAtScale, TheOpenListFollowsTheSearchAndEveryChangeOfTheCache) {
    Load();
    plugin->presetStore.AddPreset({"Wide", OnGrid(110)});
    plugin->presetStore.AddPreset({"my camera", OnGrid(95)});
    ShowWindow();
    ASSERT_TRUE(gui.Press("Presets", kPanel));
    gui.Type("cam");
    gui.Frame(2);
    ASSERT_EQ(Labels("##Combo"), std::vector<std::string>{"my camera"});

    // Saved while the list is open: the next frame lists it.
    plugin->presetStore.AddPreset({"Camera two", OnGrid(80)});
    gui.Frame();
    EXPECT_EQ(Labels("##Combo"), (std::vector<std::string>{"Camera two", "my camera"}));
    gui.Type("era t");
    gui.Frame();
    EXPECT_EQ(Labels("##Combo"), std::vector<std::string>{"Camera two"}) << "each typed letter narrows the list";

    // Renamed while the list is closed, the count unchanged: reopened, the list has the new name.
    gui.MoveMouse(2, 2);
    gui.SetMouseButton(true);
    gui.Frame();
    gui.SetMouseButton(false);
    gui.Frame(2);
    ASSERT_FALSE(gui.Find("Presets", kPanel)->Opened());
    plugin->presetStore.ReplacePreset("Camera two", {"Wide two", OnGrid(80)});
    ASSERT_TRUE(gui.Press("Presets", kPanel));
    gui.Frame(2);
    EXPECT_TRUE(Labels("##Combo").empty()) << "no name holds \"camera t\" any more";
    gui.PressKey(ImGuiKey_A, true);  // the whole search, replaced by what is typed next
    gui.Type("wide");
    gui.Frame(2);
    EXPECT_EQ(Labels("##Combo"), (std::vector<std::string>{"Wide", "Wide two"}));
}

TEST_F(GuiPresetsAtScale, ANameOfAMegabyteIsCutAtTheRowButSelectedWhole) {
    const std::string huge = "Huge " + std::string(1 << 20, 'x');
    Load();
    PresetStoreTesting::AddUnfiledRecords(plugin->presetStore, {{huge, OnGrid(100)}, {"Wide", OnGrid(110)}});
    ShowWindow();

    const std::vector<sim::GuiItem> rows = Rows("presets table");
    const auto row = std::find_if(rows.begin(), rows.end(), [](const auto& r) { return r.label.rfind("Huge x", 0) == 0; });
    ASSERT_NE(row, rows.end());
    EXPECT_LT(row->label.size(), 600u) << "only what fits the row is handed to the widget";
    EXPECT_EQ(huge.compare(0, row->label.size(), row->label), 0) << "a prefix of the name";
    EXPECT_TRUE(gui.Find("Wide", "presets table")) << "the row below is in its place";

    ASSERT_TRUE(gui.Press(row->label, "presets table")) << gui.LastError();
    gui.MoveMouse(2, 2);
    gui.Frame(2);
    EXPECT_EQ(plugin->selectedPreset.name.size(), huge.size());
    EXPECT_TRUE(plugin->selectedPreset.name == huge) << "the selection is the whole preset";
    EXPECT_TRUE(gui.Highlighted(row->label, "presets table").value_or(false));
    EXPECT_EQ(Text("FOV", kPanel), "100");
}

}  // namespace
}  // namespace gui_test
