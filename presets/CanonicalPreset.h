#pragma once
#include <optional>
#include <string_view>

#include "presets/CameraPreset.h"

// Reads a preset file that is exactly what a save writes (SerializePreset's layout, its keys in
// their order, plain numbers, a name without escapes) straight from its bytes, without building
// a JSON document: a load of a large collection reads little else. Anything else, including
// every file that is broken or written by hand, gives nothing, and the caller reads it the
// general way, which also says what is wrong with it; so for any text this gives either
// nothing or exactly the preset the general reader would give.
std::optional<CameraPreset> ReadCanonicalPreset(std::string_view text);
