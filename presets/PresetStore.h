#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "presets/CameraPreset.h"

// The preset cache, kept sorted by name, mirrored one file per preset in presetFolder.
class PresetStore {
public:
    std::vector<CameraPreset> presets;
    std::filesystem::path presetFolder;

    PresetStore() = default;
    explicit PresetStore(std::filesystem::path folder);
    PresetStore(PresetStore&&) = default;
    PresetStore& operator=(PresetStore&&) = default;
    PresetStore(const PresetStore&) = delete;
    PresetStore& operator=(const PresetStore&) = delete;

    void LoadPresets();
    // True when the preset's file now holds the new document.
    bool SavePreset(const CameraPreset& preset);
    void AddPreset(const CameraPreset& preset);
    void DeletePreset(const std::string& name);
    std::optional<CameraPreset> FindPreset(const std::string& name) const;
    // presetFolder joined with the name's file name; the name must have passed PresetNameProblem.
    std::filesystem::path PresetFilePath(const std::string& name) const;
    // Rename or re-tune: the preset named oldName gives way to `preset`, but only once the new
    // document is known to be writable, so a failed save never costs the user the old preset.
    void ReplacePreset(const std::string& oldName, const CameraPreset& preset);
};

// Why a name cannot be a preset's file name (it would leave the preset folder, or make a file
// that never loads again), or nullptr for a usable name. Usable names keep the file-name rule
// exactly: the name unchanged, then ".json".
const char* PresetNameProblem(const std::string& name);
