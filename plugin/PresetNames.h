#pragma once
// How "vistorb_preset" finds the preset a person typed, and which names it offers when none
// matches. Both read only what the store has published, so they may run on the game thread.
#include <optional>
#include <string>
#include <vector>

#include "presets/CameraPreset.h"
#include "presets/PresetStore.h"

// The preset of exactly that name; else the one preset whose name differs only in letter case.
// Two names that both match ignoring case ("Wide" and "WIDE" for "wide") leave the choice to
// the person: nothing is found.
std::optional<CameraPreset> FindPresetForCommand(const PresetStore& store, const std::string& typed);

// Up to `most` distinct names, the closest to `typed` first (edit distance ignoring letter case,
// then the store's name order).
std::vector<std::string> ClosestPresetNames(const std::vector<CameraPreset>& presets, const std::string& typed,
                                            size_t most);

// The line that follows "Unknown preset": the closest names, quoted as refusals quote them, or
// "no presets".
std::string PresetHintLine(const std::vector<CameraPreset>& presets, const std::string& typed);
