#pragma once
#include <memory>
#include <string>
#include <utility>

#include <fmt/format.h>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"

// Copy of the plugin's console manager, made by onLoad; every log line goes through it.
extern std::shared_ptr<CVarManagerWrapper> globalConsoleManager;

// Writes one line to the host console, exactly as formatted. Before onLoad has set the console
// manager there is nowhere to write, so the line is dropped.
template <typename... Args>
void LogLine(fmt::format_string<Args...> format, Args&&... args) {
    if (!globalConsoleManager) return;
    globalConsoleManager->log(fmt::format(format, std::forward<Args>(args)...));
}
