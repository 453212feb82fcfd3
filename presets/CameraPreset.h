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
