// Any bytes as a preset file: reading must either yield a preset or throw a json exception (or
// refuse a value that is not finite), and a preset read must have finite values and write out
// and read back as itself. The saved-layout reader a load tries first must decline or agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "presets/CameraPreset.h"
#include "presets/CanonicalPreset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<CameraPreset> fast = ReadCanonicalPreset(text);
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception&) {
        if (fast) std::abort();
        return 0;
    }
    if (!document.is_object()) {
        if (fast) std::abort();
        return 0;
    }

    CameraPreset preset;
    try {
        document.get_to(preset);
    } catch (const nlohmann::json::exception&) {
        if (fast) std::abort();
        return 0;
    } catch (const NonFiniteValueError&) {
        if (fast) std::abort();
        return 0;
    }
    if (NonFiniteValue(preset.settings)) std::abort();
    if (fast && (fast->name != preset.name || std::memcmp(&fast->settings, &preset.settings, sizeof preset.settings) != 0))
        std::abort();

    // The parser accepted the name, so it is valid UTF-8 and serialising cannot fail; the values
    // read back bit for bit.
    const std::string written = SerializePreset(preset);
    const CameraPreset again = nlohmann::json::parse(written).get<CameraPreset>();
    if (again.name != preset.name || std::memcmp(&again.settings, &preset.settings, sizeof preset.settings) != 0) {
        std::abort();
    }
    return 0;
}
