#include "presets/CameraPreset.h"

#include "core/CameraValues.h"

using nlohmann::json;

// Every value goes in as a double, never as an integer: a whole 110 must come out as 110.0, so
// that files written by every version look the same and diff cleanly.
void to_json(json& j, const ProfileCameraSettings& settings) {
    j = json::object();
    for (const CameraValue& value : kCameraValues) j[value.jsonKey] = static_cast<double>(settings.*value.member);
}

// `at` rather than `[]`: a missing key must be an error naming it, never a silent zero. The
// order of the lookups (the table's order) decides which fault a broken file reports, so it is
// kept fixed. The float conversion takes any number, and a boolean as 1 or 0, like files written
// by hand expect.
void from_json(const json& j, ProfileCameraSettings& settings) {
    ProfileCameraSettings read;
    for (const CameraValue& value : kCameraValues) j.at(value.jsonKey).get_to(read.*value.member);
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
