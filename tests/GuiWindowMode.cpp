// The GUI host's window mode: frames rendered by OpenGL into an SDL window and saved as PNG.
// Needs a display; under CI it runs inside xvfb-run, elsewhere it is skipped.
#include <cstdlib>
#include <cstring>
#include <filesystem>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <SDL.h>

#include "imgui.h"
#include "sim/loader/Loader.h"
#include "sim/screen/CameraView.h"
#include "sim/window/GuiWindow.h"
#include "tests/GuiSupport.h"

namespace gui_test {
namespace {

// The plugin started and its settings page on screen.
void ShowSettingsPage(sim::PluginLoader& loader, sim::GuiHost& gui, const std::shared_ptr<Vistorb>& plugin) {
    std::string error;
    ASSERT_TRUE(loader.Attach(plugin, error)) << error;
    gui.AttachPlugin(plugin, plugin);
    gui.ShowSettings(true);
    gui.Frame(2);
}

TEST(GuiWindowMode, AScreenshotIsThePictureOfTheFrameAsRendered) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    setenv("SDL_VIDEODRIVER", "x11", 1);  // the tests' default is SDL's dummy driver, which has no OpenGL

    RecordingHost host;
    auto plugin = std::make_shared<Vistorb>();
    sim::GuiHostOptions options;
    options.window = sim::OpenGuiWindow;
    options.layout.width = 800;
    options.layout.height = 600;
    options.screenshotFolder = (host.DataFolder() / "shots").string();
    sim::GuiHost gui(options);
    sim::PluginLoader loader(host);
    ASSERT_NO_FATAL_FAILURE(ShowSettingsPage(loader, gui, plugin));

    ASSERT_TRUE(gui.Screenshot("settings.png")) << gui.LastError();
    const std::filesystem::path file = host.DataFolder() / "shots" / "settings.png";
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(file.string().c_str(), &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);

    // The "Open" button is painted in the style's button colour; the sky behind the windows is not.
    const auto open = gui.Find("Open");
    ASSERT_TRUE(open);
    const auto at = [&](float x, float y) {
        const unsigned char* p = pixels + (static_cast<int>(y) * width + static_cast<int>(x)) * 4;
        return ImVec4(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f);
    };
    const ImVec4 face = at(open->minX + 2, open->minY + 2);
    const ImVec4 grass = at(2, 590);
    EXPECT_EQ(face.w, 1.0f) << "screenshots are opaque";
    EXPECT_GT(face.z, face.y) << "the default button face is blue";
    EXPECT_GT(grass.y, grass.z) << "the pitch behind the windows is green";

    // Cropped to one window: the picture is that window, its top left corner the window's own.
    std::string saved;
    ASSERT_TRUE(gui.Screenshot("page.png", "BakkesMod", &saved)) << gui.LastError();
    EXPECT_EQ(saved, (host.DataFolder() / "shots" / "page.png").string());
    unsigned char* page = stbi_load(saved.c_str(), &width, &height, &channels, 4);
    ASSERT_NE(page, nullptr) << stbi_failure_reason();
    EXPECT_EQ(width, 640);  // the settings window's first size
    EXPECT_EQ(height, 300);
    EXPECT_EQ(0, std::memcmp(page, pixels + (20 * 800 + 20) * 4, 16)) << "the crop starts at the window's corner";
    stbi_image_free(page);
    stbi_image_free(pixels);
    EXPECT_FALSE(gui.Screenshot("none.png", "No such window", nullptr));
    EXPECT_EQ(gui.LastError(), "no window 'No such window' is shown for the screenshot");
    EXPECT_FALSE(std::filesystem::exists(host.DataFolder() / "shots" / "none.png"));

    ASSERT_FALSE(gui.Screenshot("/proc/no/such/folder/x.png"));
    EXPECT_NE(gui.LastError().find("cannot write the screenshot"), std::string::npos);
    globalConsoleManager.reset();
}

// With a replay shown, the camera view is the backdrop of the rendered window as well: first the
// plain "no camera" panel, then the scene, sky above and grass below.
TEST(CameraViewWindow, TheRenderedBackdropIsTheCameraView) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    setenv("SDL_VIDEODRIVER", "x11", 1);

    RecordingHost host;
    sim::GuiHostOptions options;
    options.window = sim::OpenGuiWindow;
    options.layout.width = 800;
    options.layout.height = 600;
    options.screenshotFolder = (host.DataFolder() / "shots").string();
    sim::GuiHost gui(options);
    gui.ShowReplay(host, false);
    const auto pixelAt = [&](const char* name, int x, int y) {
        EXPECT_TRUE(gui.Screenshot(name)) << gui.LastError();
        int width = 0, height = 0, channels = 0;
        const std::string file = (host.DataFolder() / "shots" / name).string();
        unsigned char* pixels = stbi_load(file.c_str(), &width, &height, &channels, 4);
        EXPECT_NE(pixels, nullptr) << stbi_failure_reason();
        if (!pixels) return ImVec4();
        const unsigned char* p = pixels + (y * width + x) * 4;
        const ImVec4 colour(p[0], p[1], p[2], p[3]);
        stbi_image_free(pixels);
        return colour;
    };

    const ImVec4 none = pixelAt("none.png", 2, 590);
    const ImU32 expected = sim::kViewNoCameraColour;
    EXPECT_EQ(none.x, static_cast<float>(expected & 0xFF)) << "no replay: the plain no-camera panel";
    EXPECT_EQ(none.y, static_cast<float>((expected >> 8) & 0xFF));
    EXPECT_EQ(none.z, static_cast<float>((expected >> 16) & 0xFF));

    host.OpenReplay();
    host.AddPlayer(Bot("Zed", 90.0f));
    host.SetCameraSettings(host.GetCamera(), OnGrid(90.0f));
    host.MoveFocus("Player_Bot_Zed");
    const ImVec4 sky = pixelAt("sky.png", 400, 5);
    const ImVec4 grass = pixelAt("grass.png", 400, 595);
    EXPECT_GT(sky.z, sky.y) << "the sky is blue";
    EXPECT_GT(grass.y, grass.z) << "the pitch is green";
}

TEST(GuiWindowMode, ScriptedActionsWorkOnAWindowThatAPersonDrives) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    setenv("SDL_VIDEODRIVER", "x11", 1);

    RecordingHost host;
    auto plugin = std::make_shared<Vistorb>();
    sim::GuiHostOptions options;
    options.window = sim::OpenGuiWindow;
    options.visible = options.liveInput = true;
    sim::GuiHost gui(options);
    sim::PluginLoader loader(host);
    ASSERT_NO_FATAL_FAILURE(ShowSettingsPage(loader, gui, plugin));
    ASSERT_TRUE(gui.Press("Open")) << gui.LastError();
    EXPECT_EQ(host.ExecutedCommands(), std::vector<std::string>{"sleep 1; openmenu Vistorb"});
    globalConsoleManager.reset();
}

TEST(GuiWindowMode, ClosingTheShownWindowTellsTheRunOnce) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display: run under xvfb-run -a";
    setenv("SDL_VIDEODRIVER", "x11", 1);

    sim::GuiHostOptions options;
    options.window = sim::OpenGuiWindow;
    options.visible = options.liveInput = true;
    sim::GuiHost gui(options);
    int closed = 0;
    gui.SetCloseHandler([&] { ++closed; });
    gui.Frame(2);
    EXPECT_EQ(closed, 0) << "nobody closed it yet";

    // What the window system sends when a person clicks the window's close button.
    auto clickClose = [] {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    };
    clickClose();
    gui.Frame();
    EXPECT_EQ(closed, 1);
    clickClose();
    gui.Frame(2);
    EXPECT_EQ(closed, 1) << "the run hears of it once";
}

}  // namespace
}  // namespace gui_test
