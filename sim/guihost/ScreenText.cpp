#include "sim/guihost/ScreenText.h"

#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "imgui.h"

namespace sim {

namespace {

void AppendUtf8(std::string& out, unsigned int c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool Inside(const ImVec4& clip, float x, float y) { return x >= clip.x && x < clip.z && y >= clip.y && y < clip.w; }

// Glyphs follow each other on one line when the second starts where the first's pen stopped,
// give or take blanks; the number of blanks comes from the gap.
int BlanksBetween(const ScreenGlyph& a, const ScreenGlyph& b, float spaceAdvance) {
    if (std::fabs(a.penY - b.penY) > 0.5f || a.color != b.color || std::strcmp(a.window, b.window) != 0) return -1;
    const float gap = b.penX - (a.penX + a.advance);
    if (gap < -0.5f || spaceAdvance <= 0.0f || gap > 4.5f * spaceAdvance) return -1;
    return static_cast<int>(std::lround(gap / spaceAdvance));
}

}  // namespace

std::vector<ScreenGlyph> ReadGlyphs(const ImDrawData& drawData, const ImFont& font) {
    // A glyph quad starts at the glyph's top-left texture corner.
    std::map<std::pair<float, float>, const ImFontGlyph*> byCorner;
    for (const ImFontGlyph& glyph : font.Glyphs)
        if (glyph.X1 > glyph.X0 && glyph.Y1 > glyph.Y0) byCorner.emplace(std::make_pair(glyph.U0, glyph.V0), &glyph);

    std::vector<ScreenGlyph> glyphs;
    for (int n = 0; n < drawData.CmdListsCount; ++n) {
        const ImDrawList& list = *drawData.CmdLists[n];
        const char* owner = list._OwnerName ? list._OwnerName : "";
        for (const ImDrawCmd& cmd : list.CmdBuffer) {
            if (cmd.UserCallback != nullptr || cmd.ElemCount == 0) continue;
            // The vertices this command draws.
            unsigned int first = ~0u, last = 0;
            for (unsigned int i = cmd.IdxOffset; i < cmd.IdxOffset + cmd.ElemCount; ++i) {
                const unsigned int v = cmd.VtxOffset + list.IdxBuffer[static_cast<int>(i)];
                if (v < first) first = v;
                if (v > last) last = v;
            }
            for (unsigned int v = first; v + 3 <= last;) {
                const ImDrawVert* q = &list.VtxBuffer[static_cast<int>(v)];
                auto found = byCorner.find(std::make_pair(q[0].uv.x, q[0].uv.y));
                if (found == byCorner.end()) {
                    ++v;
                    continue;
                }
                const ImFontGlyph& g = *found->second;
                const bool quad = q[1].uv.x == g.U1 && q[1].uv.y == g.V0 && q[2].uv.x == g.U1 && q[2].uv.y == g.V1 &&
                                  q[3].uv.x == g.U0 && q[3].uv.y == g.V1 && q[1].pos.y == q[0].pos.y &&
                                  q[2].pos.x == q[1].pos.x && q[3].pos.x == q[0].pos.x;
                if (!quad) {
                    ++v;
                    continue;
                }
                const float glyphWidth = g.X1 - g.X0;
                const float scale = glyphWidth > 0.0f ? (q[1].pos.x - q[0].pos.x) / glyphWidth : 1.0f;
                ScreenGlyph out;
                out.codepoint = g.Codepoint;
                out.minX = q[0].pos.x;
                out.minY = q[0].pos.y;
                out.maxX = q[2].pos.x;
                out.maxY = q[2].pos.y;
                out.penX = q[0].pos.x - g.X0 * scale;
                out.penY = q[0].pos.y - g.Y0 * scale;
                out.advance = g.AdvanceX * scale;
                out.color = q[0].col;
                out.window = owner;
                if (Inside(cmd.ClipRect, (out.minX + out.maxX) * 0.5f, (out.minY + out.maxY) * 0.5f))
                    glyphs.push_back(out);
                v += 4;
            }
        }
    }
    return glyphs;
}

std::vector<ScreenRect> ReadRects(const ImDrawData& drawData, float whitePixelU, float whitePixelV) {
    std::vector<ScreenRect> rects;
    for (int n = 0; n < drawData.CmdListsCount; ++n) {
        const ImDrawList& list = *drawData.CmdLists[n];
        const char* owner = list._OwnerName ? list._OwnerName : "";
        const int count = list.VtxBuffer.Size;
        for (int v = 0; v + 3 < count;) {
            const ImDrawVert* q = &list.VtxBuffer[v];
            bool plain = true;
            for (int k = 0; k < 4 && plain; ++k)
                plain = q[k].uv.x == whitePixelU && q[k].uv.y == whitePixelV && q[k].col == q[0].col;
            // A rectangle goes top-left, top-right, bottom-right, bottom-left.
            if (plain && q[1].pos.y == q[0].pos.y && q[2].pos.x == q[1].pos.x && q[3].pos.x == q[0].pos.x &&
                q[3].pos.y == q[2].pos.y && q[2].pos.x > q[0].pos.x && q[2].pos.y > q[0].pos.y) {
                rects.push_back(ScreenRect{q[0].pos.x, q[0].pos.y, q[2].pos.x, q[2].pos.y, q[0].col, owner});
                v += 4;
            } else {
                ++v;
            }
        }
    }
    return rects;
}

std::vector<ScreenTextRun> JoinGlyphs(const std::vector<ScreenGlyph>& glyphs, float spaceAdvance) {
    std::vector<ScreenTextRun> runs;
    const ScreenGlyph* previous = nullptr;
    for (const ScreenGlyph& glyph : glyphs) {
        const int blanks = previous ? BlanksBetween(*previous, glyph, spaceAdvance) : -1;
        if (blanks < 0) {
            runs.push_back(
                ScreenTextRun{"", glyph.minX, glyph.minY, glyph.maxX, glyph.maxY, glyph.penY, glyph.color, glyph.window});
        } else {
            runs.back().text.append(static_cast<size_t>(blanks), ' ');
        }
        ScreenTextRun& run = runs.back();
        AppendUtf8(run.text, glyph.codepoint);
        run.minX = std::fmin(run.minX, glyph.minX);
        run.minY = std::fmin(run.minY, glyph.minY);
        run.maxX = std::fmax(run.maxX, glyph.maxX);
        run.maxY = std::fmax(run.maxY, glyph.maxY);
        previous = &glyph;
    }
    return runs;
}

std::string TextInside(const std::vector<ScreenGlyph>& glyphs, float spaceAdvance, const std::string& window,
                       float minX, float minY, float maxX, float maxY) {
    std::vector<ScreenGlyph> inside;
    for (const ScreenGlyph& glyph : glyphs) {
        if (window != glyph.window) continue;
        const float x = (glyph.minX + glyph.maxX) * 0.5f, y = (glyph.minY + glyph.maxY) * 0.5f;
        if (x >= minX && x < maxX && y >= minY && y < maxY) inside.push_back(glyph);
    }
    std::string text;
    for (const ScreenTextRun& run : JoinGlyphs(inside, spaceAdvance)) {
        if (!text.empty()) text += ' ';
        text += run.text;
    }
    return text;
}

}  // namespace sim
