#include "gui/ClippedText.h"

#include <cstring>

#include "imgui.h"
#include "imgui_internal.h"

const char* VisibleTextEnd(const char* text, const char* end, float width) {
    const ImFont* font = ImGui::GetFont();
    const float scale = ImGui::GetFontSize() / font->FontSize;
    float x = 0.0f;
    const char* s = text;
    while ((end ? s < end : *s != '\0') && x <= width) {
        unsigned int c = 0;
        const int bytes = ImTextCharFromUtf8(&c, s, end);
        if (c == 0) break;  // a NUL ends what a C string shows
        x += font->GetCharAdvance(static_cast<ImWchar>(c)) * scale;
        s += bytes;
    }
    return s;
}

const char* VisibleLabel(const char* text, size_t length, float width, char* buffer, size_t bufferSize) {
    const char* end = VisibleTextEnd(text, text + length, width);
    if (end == text + length) return text;
    // Cut at a character boundary that fits the buffer; the library clips the last one drawn.
    size_t bytes = static_cast<size_t>(end - text);
    if (bytes >= bufferSize) {
        bytes = bufferSize - 1;
        while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
    }
    std::memcpy(buffer, text, bytes);
    buffer[bytes] = '\0';
    return buffer;
}
