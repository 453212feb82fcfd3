#include "presets/PresetSeams.h"

void preset_seams::Reach(Moment, const std::filesystem::path&) {}
