#pragma once
#include <string>

#include <nlohmann/json.hpp>

#include "host/ProfileCameraSettings.h"

// A named set of camera values; the record of one preset file.
struct CameraPreset {
    std::string name;
    ProfileCameraSettings settings{};
};

void to_json(nlohmann::json& j, const ProfileCameraSettings& settings);
void from_json(const nlohmann::json& j, ProfileCameraSettings& settings);
void to_json(nlohmann::json& j, const CameraPreset& preset);
void from_json(const nlohmann::json& j, CameraPreset& preset);

// The exact text of a preset file: four-space indent, keys sorted, no line break at the end.
// Throws nlohmann::json::type_error (316) when the name is not valid UTF-8.
std::string SerializePreset(const CameraPreset& preset);

// The preset's file name inside the preset folder: the name unchanged, then ".json".
std::string PresetFileName(const std::string& name);
