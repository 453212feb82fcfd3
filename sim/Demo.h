#pragma once
#include <string>

namespace sim {

// The built-in demo scenario (sim/demo.vsim), carried inside the binary so that the demo runs
// wherever the simulator is copied to.
std::string DemoScript();

}  // namespace sim
