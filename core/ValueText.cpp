// The value word of "vistorb_set": a plain number or a random range.
#include "core/ValueText.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

// A double beyond the float range has no float to narrow to; it becomes the infinity of its
// sign, as the hardware would give.
float NarrowToFloat(double value) {
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

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
