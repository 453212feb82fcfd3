// The value word of "vistorb_set": a plain number or a random range.
#include "core/ValueText.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace {

// The leading number of a text, read as strtod reads it in the C locale: blanks, a sign, then a
// decimal or "0x" hexadecimal number, an infinity or a NaN; whatever follows is ignored. The
// process's locale never matters: a game may set one whose decimal point is a comma, and
// "0.45" must still be 0.45.
template <typename Number>
struct LeadingNumber {
    enum class Outcome { None, Read, TooLarge, TooSmall } outcome = Outcome::None;
    Number value = 0;
};

bool IsCBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigitOf(char c, bool hex) {
    return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// For a number beyond the type's range: whether it is too large (rather than too close to zero).
// Its scale is where its first significant digit stands, moved by the exponent.
bool IsTooLarge(std::string_view text, bool hex) {
    long scale = 0;
    bool point = false, significant = false;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (IsDigitOf(c, hex)) {
            significant = significant || c != '0';
            if (significant && !point) scale += hex ? 4 : 1;
            if (!significant && point) scale -= hex ? 4 : 1;
        } else {
            break;
        }
    }
    long exponent = 0;
    if (i + 1 < text.size() && (hex ? (text[i] == 'p' || text[i] == 'P') : (text[i] == 'e' || text[i] == 'E'))) {
        const bool negative = text[i + 1] == '-';
        for (i += (text[i + 1] == '-' || text[i + 1] == '+') ? 2 : 1; i < text.size() && IsDigitOf(text[i], false); ++i)
            exponent = exponent > 100000 ? exponent : exponent * 10 + (text[i] - '0');
        if (negative) exponent = -exponent;
    }
    return scale + exponent > 0;
}

template <typename Number>
LeadingNumber<Number> ReadLeadingNumber(const std::string& whole) {
    std::string_view text(whole);
    while (!text.empty() && IsCBlank(text.front())) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    LeadingNumber<Number> read;
    if (text.empty() || text.front() == '+' || text.front() == '-') return read;
    bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex) {
        const std::string_view digits = text.substr(2);
        const bool hasDigit = !digits.empty() && (IsDigitOf(digits[0], true) ||
                                                  (digits[0] == '.' && digits.size() > 1 && IsDigitOf(digits[1], true)));
        if (hasDigit) {
            text = digits;
        } else {
            hex = false;  // "0x" with no digit after it is the number 0 followed by text
            text = text.substr(0, 1);
        }
    }
    const auto format = hex ? std::chars_format::hex : std::chars_format::general;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), read.value, format);
    if (result.ec == std::errc::result_out_of_range) {
        read.outcome = IsTooLarge(text, hex) ? LeadingNumber<Number>::Outcome::TooLarge
                                             : LeadingNumber<Number>::Outcome::TooSmall;
        read.value = read.outcome == LeadingNumber<Number>::Outcome::TooLarge ? std::numeric_limits<Number>::infinity() : 0;
    } else if (result.ec == std::errc()) {
        read.outcome = LeadingNumber<Number>::Outcome::Read;
    } else {
        read.value = 0;
        return read;
    }
    if (negative) read.value = -read.value;
    return read;
}

// std::stof's contract without its locale: the leading number as a float, or
// std::invalid_argument when there is none and std::out_of_range when a float cannot hold it.
float ReadFloat(const std::string& text) {
    const LeadingNumber<float> read = ReadLeadingNumber<float>(text);
    using Outcome = LeadingNumber<float>::Outcome;
    if (read.outcome == Outcome::None) throw std::invalid_argument("no number in the range");
    if (read.outcome != Outcome::Read) throw std::out_of_range("a number of the range is out of range");
    return read.value;
}

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
    SplitOnComma(text.substr(1), pieces);  // the ")" stays on the last piece; reading ignores it
    size_t pairs = pieces.size() / 2;
    if (pairs == 0) throw std::invalid_argument("random range without a pair");

    size_t k = static_cast<size_t>(std::rand()) % pairs;
    float lo = ReadFloat(pieces[2 * k]);
    float hi = ReadFloat(pieces[2 * k + 1]);
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
            // As atof reads it in the C locale, "inf" included, on every runtime.
            value = NarrowToFloat(ReadLeadingNumber<double>(text).value);
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
