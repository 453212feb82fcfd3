#pragma once
#include <filesystem>

// The moments at which another program may change the preset folder under a store's feet.
// The library calls Reach at each; what it does there is chosen when a program is linked:
// nothing, in everything that ships (PresetSeamsNone.cpp, in vistorb_presets), or whatever a
// test has set, in the tests' build of the layer (PresetStoreTesting.h, vistorb_presets_seamed).
namespace preset_seams {

enum class Moment {
    BeforeOpen,    // the load is about to open a file it took for a regular file
    BeforeRemove,  // a change checked that a file exists and is about to remove it
    BeforeCommit,  // a save looked at the file it will write and is about to rename onto it
};

void Reach(Moment moment, const std::filesystem::path& file);

}  // namespace preset_seams
