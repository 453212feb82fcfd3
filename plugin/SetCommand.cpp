// The console command "vistorb_set": sets one value of the followed player's override.
#include "plugin/SetCommand.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "plugin/Guarded.h"
#include "plugin/LogLine.h"
#include "plugin/Vistorb.h"

namespace {

// One settable number of ProfileCameraSettings with the range of its slider.
struct NumberValue {
    const char* name;
    float ProfileCameraSettings::*member;
    float lower;
    float upper;
};

constexpr NumberValue kNumberValues[] = {
    {"fov", &ProfileCameraSettings::FOV, 60.0f, 110.0f},
    {"height", &ProfileCameraSettings::Height, 40.0f, 200.0f},
    {"angle", &ProfileCameraSettings::Pitch, -15.0f, 0.0f},
    {"distance", &ProfileCameraSettings::Distance, 100.0f, 400.0f},
    {"stiffness", &ProfileCameraSettings::Stiffness, 0.0f, 1.0f},
    {"swivelspeed", &ProfileCameraSettings::SwivelSpeed, 1.0f, 10.0f},
    {"transitionspeed", &ProfileCameraSettings::TransitionSpeed, 1.0f, 2.0f},
};

const NumberValue* FindNumberValue(const std::string& name) {
    for (const NumberValue& value : kNumberValues)
        if (name == value.name) return &value;
    return nullptr;
}

float Clamp(float v, float lower, float upper) {
    if (v > upper) return upper;
    if (v < lower) return lower;
    return v;
}

std::string ToLower(std::string text) {
    // Through unsigned char: tolower of a negative char other than EOF is undefined.
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A double beyond the float range has no float to narrow to; it becomes the infinity of its
// sign, as the hardware would give.
float NarrowToFloat(double value) {
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

enum class SetOutcome { Changed, NoFocusActor, UnknownValue };

}  // namespace

size_t SplitOnComma(const std::string& text, std::vector<std::string>& pieces) {
    pieces.clear();
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces.size();
        }
        pieces.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

bool IsRandomRange(const std::string& text) {
    return !text.empty() && text.front() == '(' && text.back() == ')' && text.find(',') != std::string::npos;
}

float RandomInRange(const std::string& text) {
    std::vector<std::string> pieces;
    SplitOnComma(text.substr(1), pieces);  // the ")" stays on the last piece; stof ignores it
    size_t pairs = pieces.size() / 2;
    if (pairs == 0) throw std::invalid_argument("random range without a pair");

    size_t k = static_cast<size_t>(std::rand()) % pairs;
    float lo = std::stof(pieces[2 * k]);
    float hi = std::stof(pieces[2 * k + 1]);
    // The formula below expects a draw of 0 to 32767, which is all rand() gives on the host's
    // platform; where RAND_MAX is larger, the draw is folded into that range, or the result
    // would land far outside the pair.
#if RAND_MAX > 32767
    int r = std::rand() % 32768;
#else
    int r = std::rand();
#endif
    return static_cast<float>(r) / (32767 / (hi - lo)) + lo;
}

float ParseValue(std::string text) {
    float value = 0.0f;
    try {
        if (IsRandomRange(text))
            value = RandomInRange(text);
        else
            // atof is strtod with its end pointer ignored; the old Windows C runtime that MinGW
            // links has an atof that reads no "inf", unlike the host's own runtime.
            value = NarrowToFloat(std::strtod(text.c_str(), nullptr));
    } catch (const std::invalid_argument&) {
        value = 0.0f;
    } catch (const std::out_of_range&) {
        value = 0.0f;
    }
    // "nan" (or a range made from it) would slip past every bound and reach the camera; treat it
    // as a text without a number. Infinities become finite so clamping puts them on a bound.
    if (std::isnan(value)) return 0.0f;
    if (std::isinf(value)) return value > 0 ? FLT_MAX : -FLT_MAX;
    return value;
}

void Vistorb::HandleSetCommand(std::vector<std::string> words) {
    RunGuarded("vistorb_set", [&] {
        if (words.size() != 3) {
            LogLine("Usage: {} enabled|fov|height|angle|distance|stiffness|swivelspeed|transitionspeed new-value",
                    words.empty() ? std::string("vistorb_set") : words[0]);
            return;
        }
        if (!gameHandle->IsInReplay()) {
            LogLine("not in replay");
            return;
        }
        const std::string name = ToLower(words[1]);
        const std::string& valueText = words[2];

        // The edit is made under the lock; the camera is written from a copy after it is let go.
        SetOutcome outcome;
        std::optional<CameraOverride> changed;
        {
            std::lock_guard<std::mutex> lock(stateLock);
            auto found = cameraOverrides.find(focusedId);
            if (found == cameraOverrides.end()) {
                outcome = SetOutcome::NoFocusActor;
            } else if (name == "enabled") {
                found->second.enabled = ParseValue(valueText) >= 0.5f;
                outcome = SetOutcome::Changed;
                changed = found->second;
            } else if (const NumberValue* value = FindNumberValue(name)) {
                found->second.settings.*(value->member) = Clamp(ParseValue(valueText), value->lower, value->upper);
                outcome = SetOutcome::Changed;
                changed = found->second;
            } else {
                outcome = SetOutcome::UnknownValue;
            }
        }

        switch (outcome) {
        case SetOutcome::NoFocusActor: LogLine("no focus actor"); break;
        case SetOutcome::UnknownValue: LogLine("Unknown value {}", name); break;
        case SetOutcome::Changed: ApplyCameraOverride(*changed); break;
        }
    });
}
