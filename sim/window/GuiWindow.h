#pragma once
// The GUI host's window: SDL2 with an OpenGL 3.0 context, drawn by Dear ImGui's own SDL2 and
// OpenGL 3 backends, hidden or shown, and the PNG screenshots read back from it. Lives in the
// library vistorb_sim_window; a GUI host uses it when its options say
// `window = sim::OpenGuiWindow`.
#include <memory>

#include "sim/guihost/GuiSurface.h"

namespace sim {

// Opens the window the options describe (size, shown or hidden). Throws std::runtime_error when
// there is no display or no OpenGL 3 context to be had.
std::unique_ptr<GuiSurface> OpenGuiWindow(const GuiHostOptions& options);

}  // namespace sim
