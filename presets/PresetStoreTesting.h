#pragma once
#include <filesystem>
#include <functional>

// Runs between the store's check that a preset file exists and its removal, the window in which
// another program may remove the file first. Tests set it to stage that race; empty otherwise.
extern std::function<void(const std::filesystem::path&)> presetRemovalHookForTests;
