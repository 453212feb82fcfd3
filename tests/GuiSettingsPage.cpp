// The settings page, the window slots as the host uses them, and the credit footer.
#include <algorithm>

#include "imgui.h"
#include "imgui_internal.h"
#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

class GuiSettingsPage : public GuiTest {};

TEST_F(GuiSettingsPage, OpenHandsTheDelayedOpenMenuToTheHostWhichOpensTheWindow) {
    Load();
    gui.ShowSettings(true);
    gui.Frame();
    ASSERT_TRUE(gui.Find("Open", "vistorb_")) << "the page's button sits in its child region 'vistorb'";

    ASSERT_TRUE(gui.Press("Open")) << gui.LastError();
    EXPECT_EQ(host.ExecutedCommands(), std::vector<std::string>{"sleep 1; openmenu Vistorb"});
    EXPECT_EQ(host.LogFlags(), std::vector<bool>{true});
    gui.Frame();
    EXPECT_FALSE(gui.WindowOpen()) << "the host opens the window only after the sleep";
    EXPECT_FALSE(plugin->isWindowOpen);

    host.Wait(0);  // the game thread takes the command line: "sleep 1" holds the rest back
    gui.Frame();
    EXPECT_FALSE(gui.WindowOpen());
    host.Wait(0.01);  // the host's sleep counts milliseconds
    gui.Frame();
    EXPECT_TRUE(gui.WindowOpen());
    EXPECT_TRUE(plugin->isWindowOpen) << "the host calls OnWindowOpened";
    gui.Frame();  // a new window shows from its second frame on
    EXPECT_TRUE(gui.FindText("Saved Camera Presets")) << "DrawWindow is drawn from then on";
}

TEST_F(GuiSettingsPage, MenuCommandsOpenToggleAndCloseTheWindowThroughTheSlots) {
    Load();
    host.RunConsoleLine("togglemenu Vistorb");
    gui.Frame();
    EXPECT_TRUE(plugin->isWindowOpen);
    host.RunConsoleLine("openmenu Vistorb");
    gui.Frame();
    EXPECT_TRUE(plugin->isWindowOpen) << "opening an open window changes nothing";
    host.RunConsoleLine("togglemenu Vistorb");
    gui.Frame();
    EXPECT_FALSE(plugin->isWindowOpen) << "the host calls OnWindowClosed";
    EXPECT_FALSE(gui.FindText("Saved Camera Presets"));
    host.RunConsoleLine("openmenu Somebody");
    gui.Frame();
    EXPECT_FALSE(gui.WindowOpen());
    EXPECT_EQ(gui.Messages(), std::vector<std::string>{"openmenu: there is no menu named 'Somebody'"});
}

// The footer's text line, and the window it is drawn in: the window named `window`, or the
// child window named `window` followed by its id.
void ExpectFooterAboveBottom(sim::GuiHost& gui, const std::string& window) {
    const auto credit = gui.FindText("Vistorb: a camera of its own for every player of a replay");
    ASSERT_TRUE(credit) << "no credit line on screen";
    ImGuiContext& g = *gui.Context();
    ImGuiWindow* found = nullptr;
    for (ImGuiWindow* candidate : g.Windows) {
        const std::string name = candidate->Name;
        if (candidate->WasActive && (name == window || (name.rfind(window + "_", 0) == 0 &&
                                                        name.find('/', window.size()) == std::string::npos)))
            found = candidate;
    }
    ASSERT_NE(found, nullptr) << window;
    const float lineHeight = g.FontSize + g.Style.ItemSpacing.y;
    const float expected = found->Pos.y + found->Size.y - 1.3f * lineHeight;
    EXPECT_NEAR(credit->lineY, expected, 1.0f) << "1.3 text lines above the bottom edge of " << found->Name;
}

TEST_F(GuiSettingsPage, CreditsSitAtTheBottomWhateverIsAboveThemAndTheTooltipNamesTheTracker) {
    Load();
    gui.ShowSettings(true);
    gui.Frame(2);
    ExpectFooterAboveBottom(gui, "BakkesMod/plugin page");

    ASSERT_FALSE(gui.FindText("issue tracker"));
    const auto mark = gui.FindText("(?)");
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->color, ImGui::GetColorU32(ImGuiCol_TextDisabled)) << "the question mark is drawn disabled";
    gui.MoveMouse((mark->minX + mark->maxX) / 2, (mark->minY + mark->maxY) / 2);
    gui.Frame(2);
    EXPECT_TRUE(gui.FindText("issue tracker")) << "the contact line shows while the (?) is hovered";

    gui.ShowSettings(false);
    gui.MoveMouse(-1, -1);
    ShowWindow();
    ExpectFooterAboveBottom(gui, "Vistorb");
}

TEST_F(GuiSettingsPage, WantsInputBlockedFollowsTheCaptureFlagsOfTheCurrentContext) {
    Load();
    ShowWindow();
    gui.MoveMouse(2, 2);  // over the game, away from every window
    gui.Frame(2);
    EXPECT_FALSE(gui.PluginWantsInput());

    const auto open = gui.Find("Presets");
    ASSERT_TRUE(open);
    gui.MoveMouse(open->CenterX(), open->CenterY());
    gui.Frame(2);
    EXPECT_TRUE(gui.PluginWantsInput()) << "the mouse is over the window";

    // Another context, as another host frame would hand over: only its flags count.
    ImGuiContext* other = ImGui::CreateContext();
    plugin->SetGuiContext(reinterpret_cast<uintptr_t>(other));
    EXPECT_EQ(ImGui::GetCurrentContext(), other);
    EXPECT_FALSE(plugin->WantsInputBlocked());
    ImGui::GetIO().WantCaptureKeyboard = true;
    EXPECT_TRUE(plugin->WantsInputBlocked());
    ImGui::GetIO().WantCaptureKeyboard = false;
    ImGui::GetIO().WantCaptureMouse = true;
    EXPECT_TRUE(plugin->WantsInputBlocked());
    ImGui::DestroyContext(other);
    ImGui::SetCurrentContext(nullptr);
    EXPECT_FALSE(plugin->WantsInputBlocked()) << "asked before any context was handed over";
    ImGui::SetCurrentContext(gui.Context());
}

}  // namespace
}  // namespace gui_test
