#include "sim/Demo.h"

// The script's bytes go into the object file as they are, followed by a NUL. The build makes
// this file depend on demo.vsim, so editing the demo rebuilds it.
asm(".pushsection .rodata\n"
    ".balign 16\n"
    ".globl vistorb_demo_script\n"
    ".hidden vistorb_demo_script\n"
    ".type vistorb_demo_script, @object\n"
    "vistorb_demo_script:\n"
    ".incbin \"" VISTORB_SOURCE_DIR "/sim/demo.vsim\"\n"
    ".byte 0\n"
    ".popsection\n");

extern "C" const char vistorb_demo_script[];

namespace sim {

std::string DemoScript() { return vistorb_demo_script; }

}  // namespace sim
