#pragma once
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "bakkesmod/wrappers/wrapperstructs.h"

// A named set of camera values; the record of one preset file.
struct CameraPreset {
    std::string name;
    ProfileCameraSettings settings{};
};

// Reading a value that is not finite once it is a float (NaN, infinity, or a number too large
// for a float) fails with this, its message naming the key: "FOV is not a finite number".
struct NonFiniteValueError : std::runtime_error {
    using std::runtime_error::runtime_error;
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

// The key of the first value, in file order, that is not a finite number, or nullptr.
const char* NonFiniteValue(const ProfileCameraSettings& settings);
