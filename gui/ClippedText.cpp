#include "gui/ClippedText.h"

#include "imgui.h"
#include "imgui_internal.h"

const char* VisibleTextEnd(const char* text, const char* end, float width) {
    const ImFont* font = ImGui::GetFont();
    const float scale = ImGui::GetFontSize() / font->FontSize;
    float x = 0.0f;
    const char* s = text;
    while ((end ? s < end : *s != '\0') && x <= width) {
        // Names are mostly ASCII, one byte a character: the decoder is for the rest.
        unsigned int c = static_cast<unsigned char>(*s);
        const int bytes = c < 0x80 ? 1 : ImTextCharFromUtf8(&c, s, end);
        if (c == 0) break;  // a NUL ends what a C string shows
        x += font->GetCharAdvance(static_cast<ImWchar>(c)) * scale;
        s += bytes;
    }
    return s;
}

namespace {

constexpr char kUnseen = '\r';

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string WholeLabel(std::string_view text) {
    std::string label;
    label.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && text[i] == '#' && text[i - 1] == '#') label += kUnseen;
        label += text[i];
    }
    return label;
}

const char* VisibleLabel(const char* text, size_t length, float width, char* buffer, size_t bufferSize) {
    const char* end = VisibleTextEnd(text, text + length, width);
    const std::string_view shown(text, static_cast<size_t>(end - text));
    if (end == text + length && shown.find("##") == std::string_view::npos) return text;
    // Cut at a character boundary that fits the buffer; the library clips the last one drawn.
    size_t out = 0, lastBoundary = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (!IsContinuationByte(shown[i])) lastBoundary = out;
        const bool split = i > 0 && shown[i] == '#' && shown[i - 1] == '#';
        if (out + (split ? 2 : 1) >= bufferSize) {
            if (IsContinuationByte(shown[i])) out = lastBoundary;
            break;
        }
        if (split) buffer[out++] = kUnseen;
        buffer[out++] = shown[i];
    }
    buffer[out] = '\0';
    return buffer;
}
