// Camera settings as text: the copy line, and the reader that takes it back together with preset
// documents and the label and value pairs players write.
//
// Sections:
//   Names        the text's names of the seven values, and the labels free text may use
//   Writing      the copy line
//   Reading      a value given, numbers, free text, the copy line, a preset document, the whole
#include "presets/CameraText.h"

#include <charconv>
#include <exception>
#include <iterator>
#include <system_error>

#include "core/CameraValues.h"
#include "core/ValueText.h"

namespace {

// --- Names ------------------------------------------------------------------------------------

// In the order of kCameraValues.
constexpr const char* kTextNames[7] = {"FOV",       "Height",       "Angle",           "Distance",
                                       "Stiffness", "Swivel speed", "Transition speed"};

// The labels free text may give, folded (lower case, the blanks and underscores between their
// words gone), with the position of their value in kCameraValues. The preset file's keys and
// the console's value names fold to labels of this list too.
struct Label {
    std::string_view folded;
    size_t position;
};
constexpr Label kLabels[] = {
    {"fov", 0},       {"fieldofview", 0}, {"height", 1},      {"angle", 2},           {"pitch", 2},      {"distance", 3},
    {"stiffness", 4}, {"swivelspeed", 5}, {"swivel", 5},      {"transitionspeed", 6}, {"transition", 6},
};
// A label is three words at most ("Field of View"), fifteen letters at most ("transitionspeed").
constexpr size_t kLabelWords = 3;
constexpr size_t kLongestLabel = 15;

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (FoldCase(c) >= 'a' && FoldCase(c) <= 'f'); }
int HexValue(char c) { return IsDigit(c) ? c - '0' : FoldCase(c) - 'a' + 10; }

}  // namespace

const char* CameraTextName(size_t position) { return position < std::size(kTextNames) ? kTextNames[position] : ""; }

// --- Writing ----------------------------------------------------------------------------------

std::string ShortestFloatText(float value) {
    // std::to_chars without a format gives the shortest text that reads back as the same float,
    // in the C locale's form whatever the process's locale is (a game may set one with a
    // decimal comma).
    char buffer[64];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

// PrintableName (PresetStore.h) spells control bytes the same way, but leaves '"' and '\' as
// they are, so its text cannot always be read back; this one can.
std::string QuoteCameraName(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string text = "\"";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            text += c;
        }
    }
    text += '"';
    return text;
}

std::string FormatCameraLine(const CameraPreset& preset) {
    std::string line = "Vistorb camera " + QuoteCameraName(preset.name) + ":";
    for (size_t i = 0; i < std::size(kCameraValues); ++i) {
        line += i == 0 ? " " : ", ";
        line += kTextNames[i];
        line += ' ';
        line += ShortestFloatText(preset.settings.*kCameraValues[i].member);
    }
    return line;
}

// --- Reading ----------------------------------------------------------------------------------

namespace {

// A value the text gives, clamped into its slider's range. The comparison is made in double, so
// that a document's 1e300 never becomes a float before it is clamped. A later value of the same
// label replaces an earlier one.
void Give(CameraText& out, size_t position, double value) {
    const CameraValue& row = kCameraValues[position];
    const float high = CameraValueHigh(row);
    const bool clamped = !(value >= row.low && value <= high);  // NaN too, though no reader gives one
    const float stored = !clamped ? static_cast<float>(value) : value > high ? high : row.low;
    out.settings.*row.member = stored;
    out.given[position] = true;
    out.clamped[position] = clamped;
    out.beforeClamping[position] = value;
}

// A number's text as free text writes it: a sign, digits with a decimal point or comma, an
// exponent. Read as a float directly, so the copy line's shortest texts give back their exact
// floats; what a float cannot hold is read as the console reads it (the largest float of its
// sign, or 0), which clamping then puts on a bound.
double NumberValue(std::string_view token) {
    std::string text;
    for (const char c : token) {
        if (c != '+') text += c == ',' ? '.' : c;
    }
    float value = 0.0f;
    const std::from_chars_result read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec == std::errc() && read.ptr == text.data() + text.size()) return value;
    return ParseValue(text);
}

// Label and value pairs in any text. Words are collected until a number comes; the longest run
// of the last words that is a label takes the number. A separator starts a new cell: the words
// before it still name a number that opens the next cell (a table's label cell, then its value
// cell, or a label on one line and its value on the next), but a word there starts afresh.
class FreeTextReader {
public:
    FreeTextReader(std::string_view text, CameraText& out) : text(text), out(out) {}

    void Read() {
        size_t i = 0;
        while (i < text.size()) {
            const char c = text[i];
            if (IsSeparator(c)) {
                cellBreak = true;
                ++i;
            } else if (StartsNumber(i)) {
                const size_t end = NumberEnd(i);
                TakeNumber(text.substr(i, end - i));
                i = end;
            } else if (IsWordByte(c)) {
                size_t end = i;
                while (end < text.size() && IsWordByte(text[end])) ++end;
                TakeWord(text.substr(i, end - i));
                i = end;
            } else {
                ++i;  // blanks, ':', '=', quotes and the like stand between label and value
            }
        }
    }

private:
    static bool IsSeparator(char c) { return c == ',' || c == ';' || c == '|' || c == '\t' || c == '\n' || c == '\r'; }
    // Letters, and every byte of a character beyond ASCII; digits end a word ("FOV110").
    static bool IsWordByte(char c) {
        const char folded = FoldCase(c);
        return (folded >= 'a' && folded <= 'z') || static_cast<unsigned char>(c) >= 0x80;
    }
    bool DigitAt(size_t i) const { return i < text.size() && IsDigit(text[i]); }

    bool StartsNumber(size_t i) const {
        const char c = text[i];
        if (IsDigit(c)) return true;
        if (c == '.') return DigitAt(i + 1);
        if (c == '+' || c == '-') return DigitAt(i + 1) || (i + 1 < text.size() && text[i + 1] == '.' && DigitAt(i + 2));
        return false;
    }

    size_t DigitsEnd(size_t i) const {
        while (DigitAt(i)) ++i;
        return i;
    }

    size_t NumberEnd(size_t start) const {
        size_t i = start;
        if (text[i] == '+' || text[i] == '-') ++i;
        const size_t whole = i;
        i = DigitsEnd(i);
        // "0,45" is a decimal comma; "110, Height" and "110,Height" are a pair separator.
        const bool decimalComma = i > whole && i < text.size() && text[i] == ',' && DigitAt(i + 1);
        if (i < text.size() && (text[i] == '.' || decimalComma)) i = DigitsEnd(i + 1);
        if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
            size_t exponent = i + 1;
            if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
            if (DigitAt(exponent)) i = DigitsEnd(exponent);
        }
        return i;
    }

    void TakeWord(std::string_view word) {
        if (cellBreak) wordCount = 0;
        cellBreak = false;
        if (wordCount == kLabelWords) {
            for (size_t k = 1; k < kLabelWords; ++k) words[k - 1] = words[k];
            --wordCount;
        }
        words[wordCount++] = word;
    }

    void TakeNumber(std::string_view token) {
        const size_t position = LabelPosition();
        wordCount = 0;
        cellBreak = false;
        if (position < std::size(kCameraValues)) Give(out, position, NumberValue(token));
    }

    // The position named by the longest run of the last words that is a label, or past the end.
    size_t LabelPosition() const {
        for (size_t first = 0; first < wordCount; ++first) {
            char folded[kLongestLabel];
            size_t length = 0;
            bool fits = true;
            for (size_t k = first; k < wordCount && fits; ++k) {
                fits = length + words[k].size() <= kLongestLabel;
                for (size_t j = 0; fits && j < words[k].size(); ++j) folded[length++] = FoldCase(words[k][j]);
            }
            if (!fits) continue;
            const std::string_view run(folded, length);
            for (const Label& label : kLabels)
                if (label.folded == run) return label.position;
        }
        return std::size(kCameraValues);
    }

    std::string_view text;
    CameraText& out;
    std::string_view words[kLabelWords];
    size_t wordCount = 0;
    bool cellBreak = false;
};

size_t FindIgnoringCase(std::string_view text, std::string_view part, size_t from) {
    for (size_t at = from; at + part.size() <= text.size(); ++at) {
        size_t k = 0;
        while (k < part.size() && FoldCase(text[at + k]) == part[k]) ++k;
        if (k == part.size()) return at;
    }
    return std::string_view::npos;
}

// The name between the quotes of a copy line, from just after the opening quote; `after` is
// where the reading stopped: past the closing quote, or, when no closing quote follows on the
// same line (false), at the line's end.
bool ReadQuotedName(std::string_view text, size_t i, std::string& name, size_t& after) {
    while (i < text.size()) {
        const char c = text[i];
        after = i + 1;
        if (c == '"') return true;
        if (c == '\n' || c == '\r') return false;
        if (c == '\\' && i + 1 < text.size()) {
            const char escaped = text[i + 1];
            if (escaped == '"' || escaped == '\\') {
                name += escaped;
                i += 2;
                continue;
            }
            if (escaped == 'x' && i + 3 < text.size() && IsHexDigit(text[i + 2]) && IsHexDigit(text[i + 3])) {
                name += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
                i += 4;
                continue;
            }
        }
        name += c;  // a backslash that escapes nothing is itself
        ++i;
    }
    after = text.size();
    return false;
}

// `Vistorb camera "NAME":` anywhere in the text (a copy line pasted into a message); the values
// are read from the rest of its line only, so that two copy lines never mix.
bool ReadCopyLine(std::string_view text, CameraText& out) {
    constexpr std::string_view kStart = "vistorb camera";
    size_t from = 0;
    for (size_t at = FindIgnoringCase(text, kStart, from); at != std::string_view::npos;
         at = FindIgnoringCase(text, kStart, from)) {
        size_t i = at + kStart.size();
        from = at + 1;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size() || text[i] != '"') continue;
        std::string name;
        size_t after = 0;
        // A quote that does not close on its line leaves every later start on that line
        // unclosed too (their quotes follow a blank, so none of them was read as an escape):
        // the search goes on from the next line, and the text is read once, however long.
        if (!ReadQuotedName(text, i + 1, name, after)) {
            from = after;
            continue;
        }
        size_t lineEnd = text.find_first_of("\r\n", after);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        FreeTextReader(text.substr(after, lineEnd - after), out).Read();
        out.name = std::move(name);
        return true;
    }
    return false;
}

bool StartsAsObject(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '{';
}

// A preset file's document, read as leniently as a paste deserves: whichever of the seven keys
// hold a number (or a boolean, as files do) inside "preset", or at the top when there is no
// "preset"; the rest comes from elsewhere. False when it is no JSON object or gives no value.
bool ReadPresetDocument(std::string_view text, CameraText& out) {
    const nlohmann::json document = nlohmann::json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    if (!document.is_object()) return false;
    const auto preset = document.find("preset");
    const nlohmann::json& values = preset != document.end() && preset->is_object() ? *preset : document;
    bool any = false;
    for (size_t i = 0; i < std::size(kCameraValues); ++i) {
        const auto found = values.find(kCameraValues[i].jsonKey);
        if (found == values.end() || !(found->is_number() || found->is_boolean())) continue;
        Give(out, i, found->is_boolean() ? (found->get<bool>() ? 1.0 : 0.0) : found->get<double>());
        any = true;
    }
    const auto name = document.find("preset_name");
    if (any && name != document.end() && name->is_string()) out.name = name->get<std::string>();
    return any;
}

}  // namespace

CameraText ParseCameraText(std::string_view text) noexcept {
    CameraText out;
    if (text.size() > kMostCameraTextBytes) {
        out.outcome = CameraText::Outcome::TooLong;
        return out;
    }
    try {
        // A document that is no preset (or no JSON at all) may still hold pairs free text gives.
        const bool read = StartsAsObject(text) && ReadPresetDocument(text, out);
        if (!read && !ReadCopyLine(text, out)) FreeTextReader(text, out).Read();
    } catch (const std::exception&) {
        out = CameraText{};  // only memory can run short here; nothing half read is handed on
    }
    bool any = false;
    for (const bool given : out.given) any = any || given;
    out.outcome = any ? CameraText::Outcome::Read : CameraText::Outcome::NothingKnown;
    return out;
}
