#pragma once
// Reads back the text a frame shows, from the frame's draw data: every glyph the GUI library
// drew is a textured quad whose texture corner names the glyph in the font atlas. So what a
// person would read on screen (a slider's value, a line in red) can be checked without pixels.
#include <string>
#include <vector>

struct ImDrawData;
struct ImFont;

namespace sim {

struct ScreenTextRun {
    std::string text;
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    float lineY = 0;         // the top of the text line: where the text was placed
    unsigned int color = 0;  // ImU32, alpha in the top byte
    std::string window;      // the window (or child, popup) whose drawing holds it

    unsigned char Red() const { return static_cast<unsigned char>(color); }
    unsigned char Green() const { return static_cast<unsigned char>(color >> 8); }
    unsigned char Blue() const { return static_cast<unsigned char>(color >> 16); }
    unsigned char Alpha() const { return static_cast<unsigned char>(color >> 24); }
};

struct ScreenGlyph {
    unsigned int codepoint = 0;
    float penX = 0, penY = 0, advance = 0;   // where the text's pen was, and how far it moved
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    unsigned int color = 0;
    const char* window = "";  // owner of the draw list; valid while the frame's draw data is
};

// A plain filled rectangle (a selected row's highlight, a button's face).
struct ScreenRect {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    unsigned int color = 0;
    const char* window = "";
};

// Every plain filled rectangle of the frame, in drawing order. `whitePixelU/V` is the font
// atlas's white texel, which untextured shapes sample.
std::vector<ScreenRect> ReadRects(const ImDrawData& drawData, float whitePixelU, float whitePixelV);

// Every visible glyph of the frame, in drawing order (clipped-away ones left out).
std::vector<ScreenGlyph> ReadGlyphs(const ImDrawData& drawData, const ImFont& font);

// Glyphs joined into runs of text: one run per stretch of one colour on one line, with the
// blanks between words put back.
std::vector<ScreenTextRun> JoinGlyphs(const std::vector<ScreenGlyph>& glyphs, float spaceAdvance);

// The text of the glyphs that `window` drew with their centres inside the rectangle, runs
// separated by one blank. Text of other windows under or over the rectangle does not count.
std::string TextInside(const std::vector<ScreenGlyph>& glyphs, float spaceAdvance, const std::string& window,
                       float minX, float minY, float maxX, float maxY);

}  // namespace sim
