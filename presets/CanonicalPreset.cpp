// The exact-layout reader. It declines at the first byte that differs from the layout, so
// it never has to know how the general reader words a fault.
#include "presets/CanonicalPreset.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/CameraValues.h"

namespace {

class Cursor {
public:
    explicit Cursor(std::string_view text) : rest(text) {}

    bool Take(std::string_view expected) {
        if (rest.substr(0, expected.size()) != expected) return false;
        rest.remove_prefix(expected.size());
        return true;
    }

    // A JSON number as the general reader converts it: an integer through a 64-bit integer, a
    // number with a fraction or an exponent through a double, each then narrowed to float.
    bool Number(float& value) {
        const size_t length = NumberLength();
        if (length == 0) return false;
        const std::string_view text = rest.substr(0, length);
        const char* first = text.data();
        const char* last = first + text.size();
        if (text.find_first_of(".eE") == std::string_view::npos) {
            std::int64_t whole = 0;
            const auto result = std::from_chars(first, last, whole);
            if (result.ec != std::errc() || result.ptr != last) return false;
            value = static_cast<float>(whole);
        } else {
            double real = 0;
            const auto result = std::from_chars(first, last, real);
            if (result.ec != std::errc() || result.ptr != last) return false;
            value = static_cast<float>(real);
        }
        rest.remove_prefix(length);
        return std::isfinite(value);
    }

    // A string without escapes or control bytes, of well-formed UTF-8.
    bool PlainString(std::string& value) {
        if (!Take("\"")) return false;
        size_t i = 0;
        while (i < rest.size() && rest[i] != '"') {
            const auto byte = static_cast<unsigned char>(rest[i]);
            if (byte < 0x20 || byte == '\\') return false;
            const size_t width = Utf8Width(rest.substr(i));
            if (width == 0) return false;
            i += width;
        }
        if (i == rest.size()) return false;
        value.assign(rest.substr(0, i));
        rest.remove_prefix(i + 1);
        return true;
    }

    bool AtEnd() const { return rest.empty(); }

private:
    std::string_view rest;

    // The length of the JSON number at the front, or 0 where none is.
    size_t NumberLength() const {
        size_t i = 0;
        const auto digits = [&] {
            const size_t start = i;
            while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') ++i;
            return i - start;
        };
        if (i < rest.size() && rest[i] == '-') ++i;
        const size_t wholeStart = i;
        const size_t whole = digits();
        if (whole == 0 || (whole > 1 && rest[wholeStart] == '0')) return 0;
        if (i < rest.size() && rest[i] == '.') {
            ++i;
            if (digits() == 0) return 0;
        }
        if (i < rest.size() && (rest[i] == 'e' || rest[i] == 'E')) {
            ++i;
            if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) ++i;
            if (digits() == 0) return 0;
        }
        return i;
    }

    // The bytes of the well-formed UTF-8 character at the front (no overlong form, no
    // surrogate, nothing past U+10FFFF), or 0.
    static size_t Utf8Width(std::string_view text) {
        const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
        const auto follows = [&](size_t k, unsigned char low, unsigned char high) {
            return k < text.size() && at(k) >= low && at(k) <= high;
        };
        const unsigned char lead = at(0);
        if (lead < 0x80) return 1;
        if (lead >= 0xC2 && lead <= 0xDF) return follows(1, 0x80, 0xBF) ? 2 : 0;
        if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
            const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
            return follows(1, low, high) && follows(2, 0x80, 0xBF) ? 3 : 0;
        }
        if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
            return follows(1, low, high) && follows(2, 0x80, 0xBF) && follows(3, 0x80, 0xBF) ? 4 : 0;
        }
        return 0;
    }
};

// The values in the order a save writes them: their keys in byte order.
constexpr const char* kKeysInFileOrder[7] = {"Distance", "FOV", "Height", "Pitch", "Stiffness", "SwivelSpeed",
                                             "TransitionSpeed"};

float& Member(ProfileCameraSettings& settings, const char* key) {
    for (const CameraValue& value : kCameraValues)
        if (std::string_view(value.jsonKey) == key) return settings.*(value.member);
    return settings.FOV;  // not reached: every key is in the table
}

}  // namespace

std::optional<CameraPreset> ReadCanonicalPreset(std::string_view text) {
    Cursor cursor(text);
    CameraPreset preset;
    if (!cursor.Take("{\n    \"preset\": {\n")) return std::nullopt;
    for (size_t i = 0; i < 7; ++i) {
        if (!cursor.Take("        \"") || !cursor.Take(kKeysInFileOrder[i]) || !cursor.Take("\": ")) return std::nullopt;
        if (!cursor.Number(Member(preset.settings, kKeysInFileOrder[i]))) return std::nullopt;
        if (!cursor.Take(i < 6 ? ",\n" : "\n")) return std::nullopt;
    }
    if (!cursor.Take("    },\n    \"preset_name\": ") || !cursor.PlainString(preset.name)) return std::nullopt;
    if (!cursor.Take("\n}") || !cursor.AtEnd()) return std::nullopt;
    return preset;
}
