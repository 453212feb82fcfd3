#pragma once
#include <string>
#include <vector>

namespace sim {

// The built-in demo scenario (sim/script/demo.vsim), carried inside the binary so that the demo runs
// wherever the simulator is copied to.
std::string DemoScript();

// The lines that set up a ready session for a person at the window: the demo's replay opened,
// its players (the demo's own "player" lines) added and imported.
std::vector<std::string> ReadySessionLines();

}  // namespace sim
