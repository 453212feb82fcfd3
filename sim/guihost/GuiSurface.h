#pragma once
// Where the GUI host's frames go besides the GUI library's own draw data: a window on a display
// (GuiWindow.h, an SDL2 + OpenGL window in the library vistorb_sim_window), or nowhere, when the
// GUI host runs headless. The GUI host itself knows nothing of SDL or OpenGL, so whatever needs
// only headless frames links without them.
//
// The GUI host calls a surface only with its GUI context current, on the thread that runs its
// frames.
#include <functional>
#include <memory>
#include <string>

namespace sim {

struct GuiHostOptions;

// Part of the screen, in pixels from its top left corner; empty (no width) means all of it.
struct PictureArea {
    int x = 0, y = 0, w = 0, h = 0;
};

class GuiSurface {
public:
    virtual ~GuiSurface() = default;

    // Before a frame: takes the window's events and starts the backends' frame. `live`: a
    // person drives the GUI this frame, so their input and the window's size reach the GUI
    // library. True when the person asked to close the window.
    virtual bool BeginFrame(bool live) = 0;
    // The window's size, for frames a script drives.
    virtual void Size(int& width, int& height) = 0;
    // After the frame is rendered into draw data: shows it, and saves it (or `area` of it) as a
    // PNG first when `screenshotPath` is not empty. False when the picture could not be saved.
    virtual bool Present(const std::string& screenshotPath, const PictureArea& area = {}) = 0;
    // The drawing context belongs to one thread at a time: the GUI host hands it over when its
    // render thread starts or stops.
    virtual void Acquire() = 0;
    virtual void Release() = 0;
};

// Makes the surface for a GUI host (its context is current). Throws std::runtime_error with the
// reason when there can be none (no display, no OpenGL 3).
using GuiSurfaceMaker = std::function<std::unique_ptr<GuiSurface>(const GuiHostOptions& options)>;

}  // namespace sim
