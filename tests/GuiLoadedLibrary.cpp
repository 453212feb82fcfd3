// The built plugin library (its testing build, the one with the item hooks), loaded by the
// simulator's loader and drawn by its GUI host: the plugin's own copy of the GUI library draws
// into the host's context, and its widgets reach the host's recorder through the item hooks of
// that copy.
#include <gtest/gtest.h>

#include "sim/GuiHost.h"
#include "sim/Host.h"
#include "sim/Loader.h"
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

}  // namespace
