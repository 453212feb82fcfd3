// The "gui" script lines: what they do to the window, and how they refuse malformed lines.
#include <nlohmann/json.hpp>

#include "sim/script/GuiScript.h"
#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

class GuiScriptLines : public GuiTest {
protected:
    std::string error;
    std::vector<std::string> printed;

    bool Run(std::vector<std::string> words) {
        error.clear();
        return sim::RunGuiScriptCommand(gui, words, error, [&](const std::string& text) { printed.push_back(text); });
    }
};

TEST_F(GuiScriptLines, AScriptOpensTheWindowAndWorksItsWidgets) {
    PresetFile("Wide", Camera(110, 120, -5, 300, 0.4f, 5, 1.5f));
    Load();
    Replay({Bot("Zed", OnGrid(90))}, "Player_Bot_Zed");
    ASSERT_TRUE(Run({"open", "window"})) << error;
    ASSERT_TRUE(Run({"frames", "2"}));
    ASSERT_TRUE(Run({"expect", "Enabled", "unchecked"})) << error;
    ASSERT_TRUE(Run({"press", "Enabled", "in", "vistorb2_"})) << error;
    ASSERT_TRUE(Run({"expect", "Enabled", "checked"})) << error;
    EXPECT_FALSE(Run({"expect", "Enabled", "unchecked"}));
    EXPECT_EQ(error, "'Enabled' is checked, expected unchecked");

    ASSERT_TRUE(Run({"drag", "SwivelSpeed", "3"})) << error;
    ASSERT_TRUE(Run({"frames", "1"}));
    ASSERT_TRUE(Run({"expect", "SwivelSpeed", "text", "1.30", "in", "vistorb2_"})) << error;
    ASSERT_TRUE(Run({"drag", "Height", "2", "of", "16"})) << error;
    EXPECT_EQ(Entry("Player_Bot_Zed").settings.Height, 60.0f);

    ASSERT_TRUE(Run({"select", "Wide", "in", "presets table"})) << error;
    ASSERT_TRUE(Run({"hover", "Apply"})) << error;
    ASSERT_TRUE(Run({"expect", "Wide", "checked", "in", "presets table"})) << "selected, with the mouse away";
    ASSERT_TRUE(Run({"expect", "FOV", "disabled", "in", "vistorb2-right"})) << error;
    ASSERT_TRUE(Run({"unsee", "No focus actor"})) << error;

    ASSERT_TRUE(Run({"press", "Edit"})) << error;
    ASSERT_TRUE(Run({"fill", "Preset Name", "Wider", "in", "##Popup"})) << error;
    ASSERT_TRUE(Run({"key", "ctrl+a"})) << error;
    ASSERT_TRUE(Run({"type", "Widest"})) << error;
    ASSERT_TRUE(Run({"press", "Save", "in", "##Popup"})) << error;
    EXPECT_EQ(PresetNames(), std::vector<std::string>{"Widest"});

    ASSERT_TRUE(Run({"show", "Apply"})) << error;
    ASSERT_EQ(printed.size(), 1u);
    const nlohmann::json shown = nlohmann::json::parse(printed[0]);
    EXPECT_EQ(shown.at("text"), "Apply");
    EXPECT_EQ(shown.at("disabled"), false);
    ASSERT_TRUE(Run({"text"}));
    EXPECT_GT(printed.size(), 5u);

    ASSERT_TRUE(Run({"closebutton", "Vistorb"})) << error;
    EXPECT_EQ(host.ExecutedCommands().back(), "togglemenu Vistorb");
}

TEST_F(GuiScriptLines, MalformedOrImpossibleLinesAreRefusedWithAReason) {
    Load();
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{}, "usage: gui COMMAND [ARGUMENTS]"},
        {{"dance"}, "unknown gui command 'dance'"},
        {{"open"}, "usage: gui open|close settings|window"},
        {{"open", "door"}, "usage: gui open|close settings|window"},
        {{"frames", "0"}, "usage: gui frames N (1 to 100000)"},
        {{"frames", "ten"}, "usage: gui frames N (1 to 100000)"},
        {{"press"}, "usage: gui press|select LABEL [in SCOPE]"},
        {{"press", "Nothing"}, "no widget labelled 'Nothing' on screen"},
        {{"drag", "Dial", "3"}, "'Dial' is not a camera slider: say 'drag Dial INDEX of LAST'"},
        {{"drag", "FOV", "51"}, "the index of 'FOV' is a whole number from 0 to 50, not '51'"},
        {{"drag", "FOV", "-1"}, "the index of 'FOV' is a whole number from 0 to 50, not '-1'"},
        {{"drag", "FOV", "1", "of"}, "usage: gui drag LABEL INDEX [of LAST] [in SCOPE]"},
        {{"key", "F13"}, "unknown key 'F13'"},
        {{"key", "ctrl+q"}, "unknown key 'ctrl+q'"},
        {{"expect", "Open", "shiny"},
         "usage: gui expect LABEL present|absent|checked|unchecked|enabled|disabled|text TEXT [in SCOPE]"},
        {{"expect", "Open", "present"}, "'Open' is not on screen"},
        {{"see", "Saved Camera Presets"}, "'Saved Camera Presets' is not on screen"},
        {{"closebutton", "Nowhere"}, "no window titled 'Nowhere' on screen"},
        {{"screenshot"}, "usage: gui screenshot FILE [WINDOW] (WINDOW: that window alone, such as Vistorb)"},
    };
    for (const auto& [words, reason] : refused) {
        EXPECT_FALSE(Run(words));
        EXPECT_EQ(error, reason);
    }
    EXPECT_FALSE(Run({"screenshot", "x.png"})) << "headless";
    EXPECT_NE(error.find("window mode"), std::string::npos) << error;

    gui.DetachPlugin();
    EXPECT_FALSE(Run({"open", "window"}));
    EXPECT_EQ(error, "the plugin has no window to open (is it loaded?)");
}

}  // namespace
}  // namespace gui_test
