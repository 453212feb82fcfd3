#pragma once
#include <filesystem>
#include <functional>

// Runs between the store's check that a preset file exists and its removal, the window in which
// another program may remove the file first. Tests set it to stage that race; empty otherwise.
extern std::function<void(const std::filesystem::path&)> presetRemovalHookForTests;

// Runs just before the load opens a preset file it took for a regular file, the window in which
// another program may swap something else in. Tests set it to stage that swap; empty otherwise.
extern std::function<void(const std::filesystem::path&)> presetOpenHookForTests;

// Runs between a save's look at the file it is about to write and the rename that writes it,
// the window in which another program may create that file. Tests set it to stage that race.
extern std::function<void(const std::filesystem::path&)> presetCommitHookForTests;
