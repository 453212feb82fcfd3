#include "sim/script/Demo.h"

#include <cstddef>
#include <sstream>

namespace sim {

// Written at build time from sim/script/demo.vsim (sim/script/EmbedFile.cmake), so that editing the demo
// rebuilds the simulator.
extern const unsigned char kDemoScriptBytes[];
extern const std::size_t kDemoScriptSize;

std::string DemoScript() { return std::string(reinterpret_cast<const char*>(kDemoScriptBytes), kDemoScriptSize); }

std::vector<std::string> ReadySessionLines() {
    std::vector<std::string> lines{"replay open"};
    std::istringstream demo(DemoScript());
    for (std::string line; std::getline(demo, line);)
        if (line.rfind("player ", 0) == 0) lines.push_back(line);
    lines.push_back("import");
    return lines;
}

}  // namespace sim
