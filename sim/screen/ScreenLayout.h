#pragma once
// Where the host puts things on its screen: the camera view of the replay, and the first
// placement of each window (a person may move them afterwards).
//
// Pictures keep the screen of a game: the camera view fills it and the windows float over it.
// A person at the simulator's window gets a desk instead: the camera view in one corner and
// every window beside it, none over the view or over another, so that what the plugin changes
// is seen while it is changed.
namespace sim {

struct Placement {
    float x = 0, y = 0, w = 0, h = 0;
};

struct ScreenLayout {
    int width = 0, height = 0;  // the screen
    Placement cameraView;
    Placement settings;  // the host's settings window, which lists the plugin's page
    Placement window;    // the plugin's window
    Placement replay, console, overrides;  // the host's panels
};

inline ScreenLayout PictureLayout() {
    ScreenLayout layout;
    layout.width = 1280;
    layout.height = 800;
    layout.cameraView = {0, 0, 1280, 800};
    layout.settings = {20, 20, 640, 300};
    layout.window = {20, 340, 960, 440};
    layout.replay = {680, 20, 580, 250};
    layout.console = {680, 280, 580, 240};
    layout.overrides = {680, 530, 580, 250};
    return layout;
}

inline ScreenLayout DeskLayout() {
    ScreenLayout layout;
    layout.width = 1600;
    layout.height = 900;
    layout.cameraView = {0, 0, 980, 470};
    layout.window = {10, 480, 960, 410};
    layout.settings = {990, 10, 600, 200};
    layout.replay = {990, 220, 600, 220};
    layout.console = {990, 450, 600, 210};
    layout.overrides = {990, 670, 600, 220};
    return layout;
}

}  // namespace sim
