#include "sim/Demo.h"

// The script's bytes go into the object file as they are, followed by a NUL. The build makes
// this file depend on demo.vsim, so editing the demo rebuilds it.
asm(
#if defined(_WIN32)  // PE: read-only data lives in .rdata; no section stack, no ELF symbol types
    ".section .rdata,\"dr\"\n"
#else
    ".pushsection .rodata\n"
#endif
    ".balign 16\n"
    ".globl vistorb_demo_script\n"
#if !defined(_WIN32)
    ".hidden vistorb_demo_script\n"
    ".type vistorb_demo_script, @object\n"
#endif
    "vistorb_demo_script:\n"
    ".incbin \"" VISTORB_SOURCE_DIR "/sim/demo.vsim\"\n"
    ".byte 0\n"
#if defined(_WIN32)
    ".text\n"  // where the compiler left off
#else
    ".popsection\n"
#endif
    );

extern "C" const char vistorb_demo_script[];

namespace sim {

std::string DemoScript() { return vistorb_demo_script; }

}  // namespace sim
