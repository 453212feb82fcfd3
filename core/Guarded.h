#pragma once
#include <exception>

#include "core/LogLine.h"

// Runs one unit of work that the host started (a hook, a timer, a queued closure, a command).
// An exception must never unwind into the host's game loop: it ends the unit with one line.
template <typename Work>
void RunGuarded(const char* what, Work&& work) {
    try {
        work();
    } catch (const std::exception& e) {
        LogLine("Vistorb: {} failed: {}", what, e.what());
    } catch (...) {
        LogLine("Vistorb: {} failed", what);
    }
}
