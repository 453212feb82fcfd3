// The built plugin library (its testing build, the one with the item hooks), loaded by the
// simulator's loader and drawn by its GUI host: the plugin's own copy of the GUI library draws
// into the host's context, and its widgets reach the host's recorder through the item hooks of
// that copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/guihost/GuiHost.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "tests/PlayerSupport.h"

namespace {

using test_players::Bot;

TEST(GuiLoadedLibrary, TheLibrarysWindowOpensFromItsSettingsPageAndDrivesTheCamera) {
    sim::Host host;
    sim::PluginLoader loader(host);
    sim::GuiHost gui;
    gui.ConnectMenus(host);
    gui.Follow(loader);

    host.OpenReplay();
    host.AddPlayer(Bot("Zed", 95));
    host.AddPlayer(Bot("Ann", 85));
    std::string error;
    ASSERT_TRUE(loader.Load(VISTORB_TESTING_PLUGIN_PATH, error)) << error;
    host.ImportReplay();
    host.Wait(2.0);
    host.MoveFocus("Player_Bot_Zed");

    gui.ShowSettings(true);
    ASSERT_TRUE(gui.Press("Open", "vistorb_")) << gui.LastError();
    host.Wait(0);
    host.Wait(0.01);
    gui.Frame(2);
    ASSERT_TRUE(gui.WindowOpen());
    ASSERT_TRUE(gui.Find("Ann", "vistorb2_")) << "the library's tabs are seen by the host's recorder";
    EXPECT_EQ(gui.TextOf("FOV", "vistorb2_"), "95");

    ASSERT_TRUE(gui.Press("Enabled", "vistorb2_"));
    ASSERT_TRUE(gui.DragSlider("FOV", 40, 50, "vistorb2_"));
    host.Wait(0);
    const sim::CameraSnapshot camera = host.Camera();
    ASSERT_FALSE(camera.writes.empty());
    EXPECT_EQ(camera.writes.back().settings.FOV, 100.0f);

    // Typing reaches the library's text fields through the shared context.
    ASSERT_TRUE(gui.Press("Save Preset", "vistorb2_"));
    ASSERT_TRUE(gui.Fill("Preset Name", "Zed far", "##Popup"));
    ASSERT_TRUE(gui.Press("Save", "##Popup"));
    gui.Frame();
    EXPECT_TRUE(gui.Find("Zed far", "presets table"));
    EXPECT_TRUE(std::filesystem::exists(host.DataFolder() / "Vistorb" / "presets" / "Zed far.json"));

    ASSERT_TRUE(gui.PressCloseButton("Vistorb"));
    host.Wait(0);
    gui.Frame();
    EXPECT_FALSE(gui.WindowOpen());

    // Unloaded, the library is drawn no more.
    gui.OpenWindow();
    loader.Unload();
    gui.Frame(2);
    EXPECT_FALSE(gui.WindowOpen());
    EXPECT_FALSE(gui.FindText("Saved Camera Presets"));
    EXPECT_FALSE(gui.FindText("Vistorb:"));
}

// A popup lives in the host's context, not in the plugin: unloading the plugin while one is open
// must not leave it to swallow the next click of the plugin loaded again, even with no frame
// between the unload and the load.
TEST(GuiLoadedLibrary, APopupOpenAtUnloadDoesNotOutliveThePlugin) {
    sim::Host host;
    sim::PluginLoader loader(host);
    sim::GuiHost gui;
    gui.ConnectMenus(host);
    gui.Follow(loader);
    const std::filesystem::path presets = host.DataFolder() / "Vistorb" / "presets";
    std::filesystem::create_directories(presets);
    std::ofstream(presets / "Wide.json") << R"({"preset": {"FOV": 110, "Height": 100, "Pitch": -4, "Distance": 270, "Stiffness": 0.4,
        "SwivelSpeed": 4, "TransitionSpeed": 1.2}, "preset_name": "Wide"})";

    std::string error;
    for (int load = 0; load < 2; ++load) {
        ASSERT_TRUE(loader.Load(VISTORB_TESTING_PLUGIN_PATH, error)) << error;
        gui.OpenWindow();
        gui.Frame(2);
        EXPECT_FALSE(gui.Find("Preset Name", "##Popup")) << "no popup left from an earlier load";
        ASSERT_TRUE(gui.Press("Wide", "presets table")) << gui.LastError();
        gui.Frame();
        if (load == 1) break;
        ASSERT_TRUE(gui.Press("Edit", "vistorb2")) << gui.LastError();
        gui.Frame();
        ASSERT_TRUE(gui.Find("Preset Name", "##Popup")) << "the rename popup is open";
        loader.Unload();
    }
    EXPECT_FALSE(gui.Find("Preset Name", "##Popup")) << "the earlier plugin's popup is gone";
    ASSERT_TRUE(gui.Press("Delete", "vistorb2"));
    host.Wait(0);
    gui.Frame();
    EXPECT_FALSE(std::filesystem::exists(presets / "Wide.json")) << "the first click after the reload counts";
}

}  // namespace
