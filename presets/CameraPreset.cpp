#include "presets/CameraPreset.h"

using nlohmann::json;

// Every value goes in as a double, never as an integer: a whole 110 must come out as 110.0, so
// that files written by every version look the same and diff cleanly.
void to_json(json& j, const ProfileCameraSettings& settings) {
    j = json::object();
    j["FOV"] = static_cast<double>(settings.FOV);
    j["Height"] = static_cast<double>(settings.Height);
    j["Pitch"] = static_cast<double>(settings.Pitch);
    j["Distance"] = static_cast<double>(settings.Distance);
    j["Stiffness"] = static_cast<double>(settings.Stiffness);
    j["SwivelSpeed"] = static_cast<double>(settings.SwivelSpeed);
    j["TransitionSpeed"] = static_cast<double>(settings.TransitionSpeed);
}

// `at` rather than `[]`: a missing key must be an error naming it, never a silent zero. The
// order of the lookups decides which fault a broken file reports, so it is kept fixed. The
// float conversion takes any number, and a boolean as 1 or 0, like files written by hand expect.
void from_json(const json& j, ProfileCameraSettings& settings) {
    ProfileCameraSettings read;
    j.at("FOV").get_to(read.FOV);
    j.at("Height").get_to(read.Height);
    j.at("Pitch").get_to(read.Pitch);
    j.at("Distance").get_to(read.Distance);
    j.at("Stiffness").get_to(read.Stiffness);
    j.at("SwivelSpeed").get_to(read.SwivelSpeed);
    j.at("TransitionSpeed").get_to(read.TransitionSpeed);
    settings = read;
}

void to_json(json& j, const CameraPreset& preset) {
    j = json::object();
    j["preset"] = preset.settings;
    j["preset_name"] = preset.name;
}

// Reads into a local record so that a document that fails half-way leaves the target untouched.
void from_json(const json& j, CameraPreset& preset) {
    CameraPreset read;
    j.at("preset").get_to(read.settings);
    j.at("preset_name").get_to(read.name);
    preset = std::move(read);
}

std::string SerializePreset(const CameraPreset& preset) {
    json document = preset;
    return document.dump(4);
}

std::string PresetFileName(const std::string& name) { return name + ".json"; }
