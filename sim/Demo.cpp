#include "sim/Demo.h"

#include <cstddef>

namespace sim {

// Written at build time from sim/demo.vsim (sim/EmbedFile.cmake), so that editing the demo
// rebuilds the simulator.
extern const unsigned char kDemoScriptBytes[];
extern const std::size_t kDemoScriptSize;

std::string DemoScript() { return std::string(reinterpret_cast<const char*>(kDemoScriptBytes), kDemoScriptSize); }

}  // namespace sim
