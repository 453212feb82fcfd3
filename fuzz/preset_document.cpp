// Any bytes as a preset file: reading must either yield a preset or throw a json exception, and
// a preset read must write out and read back as itself.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "presets/CameraPreset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception&) {
        return 0;
    }
    if (!document.is_object()) return 0;

    CameraPreset preset;
    try {
        document.get_to(preset);
    } catch (const nlohmann::json::exception&) {
        return 0;
    }

    // The parser accepted the name, so it is valid UTF-8 and serialising cannot fail. Values
    // that are not finite are written as null, which reading refuses; the rest read back
    // bit for bit.
    const std::string written = SerializePreset(preset);
    const ProfileCameraSettings& s = preset.settings;
    bool finite = true;
    for (float value : {s.FOV, s.Height, s.Pitch, s.Distance, s.Stiffness, s.SwivelSpeed, s.TransitionSpeed}) {
        finite = finite && std::isfinite(value);
    }
    try {
        const CameraPreset again = nlohmann::json::parse(written).get<CameraPreset>();
        if (!finite || again.name != preset.name ||
            std::memcmp(&again.settings, &preset.settings, sizeof preset.settings) != 0) {
            std::abort();
        }
    } catch (const nlohmann::json::type_error&) {
        if (finite) std::abort();
    }
    return 0;
}
