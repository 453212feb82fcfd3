// The GUI host's scripted input and its queries: widgets are found by label in the last
// finished frame, and a person's action is played as the frames it takes. No SDL or OpenGL here:
// all of it works on the GUI library's own data, headless or not.
#include <fmt/format.h>

#include "imgui.h"
#include "imgui_internal.h"
#include "sim/guihost/GuiHost.h"

namespace sim {

// --- Input ------------------------------------------------------------------------------------

namespace {
// A window's first frame lays it out unseen (its size is not known yet); a person can click it
// only from the next frame on.
bool Shown(ImGuiContext* context, const GuiItem& item) {
    ImGui::SetCurrentContext(context);
    const ImGuiWindow* window = ImGui::FindWindowByName(item.window.c_str());
    return window && window->WasActive && !window->Hidden;
}
}  // namespace

// Marks the frames of one scripted action.
struct GuiHost::Scripted {
    explicit Scripted(int& depth) : depth(depth) { ++depth; }
    ~Scripted() { --depth; }
    int& depth;
};

const GuiItem* GuiHost::Require(const std::string& label, const std::string& scope) {
    const GuiItem* item = recorder.Find(label, scope);
    // What was asked for may only just have been put on screen.
    for (int tries = 0; tries < 2 && !(item && Shown(context, *item)); ++tries) {
        RunFrame();
        item = recorder.Find(label, scope);
    }
    if (!item)
        Fail(scope.empty() ? fmt::format("no widget labelled '{}' on screen", label)
                           : fmt::format("no widget labelled '{}' in a window matching '{}'", label, scope));
    return item;
}

bool GuiHost::ClickAt(float x, float y) {
    Scripted scripted(scripting);
    input.mouseX = x;
    input.mouseY = y;
    input.mouseDown = false;
    RunFrame();
    input.mouseDown = true;
    RunFrame();
    input.mouseDown = false;
    RunFrame();
    return true;
}

bool GuiHost::Press(const std::string& label, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        const GuiItem target = *item;
        done = ClickAt(target.CenterX(), target.CenterY());
    });
    return done;
}

bool GuiHost::Hover(const std::string& label, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        Scripted scripted(scripting);
        input.mouseX = item->CenterX();
        input.mouseY = item->CenterY();
        RunFrame();
        RunFrame();
        done = true;
    });
    return done;
}

bool GuiHost::DragSlider(const std::string& label, int index, int lastIndex, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        if (lastIndex <= 0 || index < 0 || index > lastIndex) {
            Fail(fmt::format("slider index {} is outside 0 to {}", index, lastIndex));
            return;
        }
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        // The integer slider's geometry: 2 pixels of padding at each end, a grab one index wide
        // (at least the style's minimum), and the grab's centre travels between the ends.
        const float padding = 2.0f;
        const float track = item->Width() - 2.0f * padding;
        const float grab = ImMin(ImMax(track / static_cast<float>(lastIndex + 1), ImGui::GetStyle().GrabMinSize), track);
        const float start = item->minX + padding + grab * 0.5f;
        const float x = start + (track - grab) * static_cast<float>(index) / static_cast<float>(lastIndex);
        done = ClickAt(x, item->CenterY());
    });
    return done;
}

void GuiHost::Type(const std::string& text) {
    RunOnGuiSide([&] {
        Scripted scripted(scripting);
        input.chars += text;
        RunFrame();
    });
}

void GuiHost::PressKey(int imguiKey, bool ctrl) {
    RunOnGuiSide([&] {
        Scripted scripted(scripting);
        input.ctrl = ctrl;
        input.keys.insert(imguiKey);
        RunFrame();
        input.keys.erase(imguiKey);
        input.ctrl = false;
        RunFrame();
    });
}

bool GuiHost::Fill(const std::string& label, const std::string& text, const std::string& scope) {
    bool done = false;
    RunOnGuiSide([&] {
        if (!Press(label, scope)) return;
        PressKey(ImGuiKey_A, true);
        Type(text);
        done = true;
    });
    return done;
}

namespace {
bool PressTitleButton(ImGuiContext* context, ItemRecorder& recorder, const std::string& title, const char* button,
                      std::string& error, ImGuiID& id) {
    ImGui::SetCurrentContext(context);
    ImGuiWindow* found = ImGui::FindWindowByName(title.c_str());
    if (!found || !found->WasActive) {
        error = fmt::format("no window titled '{}' on screen", title);
        return false;
    }
    id = ImHashStr(button, 0, found->ID);
    if (!recorder.FindById(id)) {
        error = fmt::format("window '{}' has no {} button", title, button + 1);
        return false;
    }
    return true;
}
}  // namespace

bool GuiHost::PressCloseButton(const std::string& windowTitle) { return PressTitleBarButton(windowTitle, "#CLOSE"); }

bool GuiHost::PressCollapseButton(const std::string& windowTitle) {
    return PressTitleBarButton(windowTitle, "#COLLAPSE");
}

bool GuiHost::PressTitleBarButton(const std::string& windowTitle, const char* button) {
    bool done = false;
    RunOnGuiSide([&] {
        std::string error;
        ImGuiID id = 0;
        if (!PressTitleButton(context, recorder, windowTitle, button, error, id)) return Fail(error);
        const GuiItem target = *recorder.FindById(id);
        done = ClickAt(target.CenterX(), target.CenterY());
    });
    return done;
}

void GuiHost::MoveMouse(float x, float y) {
    RunOnGuiSide([&] {
        input.mouseX = x;
        input.mouseY = y;
    });
}

void GuiHost::SetMouseButton(bool down) {
    RunOnGuiSide([&] { input.mouseDown = down; });
}

void GuiHost::SetKeyCtrl(bool held) {
    RunOnGuiSide([&] { input.ctrl = held; });
}

// --- Reading ----------------------------------------------------------------------------------

std::optional<GuiItem> GuiHost::Find(const std::string& label, const std::string& scope) {
    std::optional<GuiItem> found;
    RunOnGuiSide([&] {
        if (const GuiItem* item = recorder.Find(label, scope)) found = *item;
    });
    return found;
}

std::vector<GuiItem> GuiHost::FindAll(const std::string& label, const std::string& scope) {
    std::vector<GuiItem> found;
    RunOnGuiSide([&] {
        for (const GuiItem* item : recorder.FindAll(label, scope)) found.push_back(*item);
    });
    return found;
}

std::vector<GuiItem> GuiHost::Items() {
    std::vector<GuiItem> items;
    RunOnGuiSide([&] { items = recorder.Items(); });
    return items;
}

const std::vector<ScreenGlyph>& GuiHost::Glyphs() {
    // The draw data stays valid until the next frame starts, so it is read only when asked.
    if (!glyphsRead) {
        glyphs.clear();
        ImGui::SetCurrentContext(context);
        const ImDrawData* drawData = ImGui::GetDrawData();
        if (drawData && drawData->Valid) glyphs = ReadGlyphs(*drawData, *ImGui::GetIO().Fonts->Fonts[0]);
        glyphsRead = true;
    }
    return glyphs;
}

float GuiHost::SpaceAdvance() const {
    const ImFont* font = context->IO.Fonts->Fonts[0];
    const ImFontGlyph* space = font->FindGlyphNoFallback(' ');
    return space ? space->AdvanceX : font->FallbackAdvanceX;
}

std::optional<std::string> GuiHost::TextOf(const std::string& label, const std::string& scope) {
    std::optional<std::string> text;
    RunOnGuiSide([&] {
        const GuiItem* item = recorder.Find(label, scope);
        if (!item) {
            Fail(fmt::format("no widget labelled '{}' on screen", label));
            return;
        }
        text = TextInside(Glyphs(), SpaceAdvance(), item->window, item->minX, item->minY, item->maxX, item->maxY);
    });
    return text;
}

std::optional<bool> GuiHost::Highlighted(const std::string& label, const std::string& scope) {
    std::optional<bool> highlighted;
    RunOnGuiSide([&] {
        const GuiItem* item = recorder.Find(label, scope);
        const ImDrawData* drawData = ImGui::GetDrawData();
        if (!item || !drawData || !drawData->Valid) {
            Fail(fmt::format("no widget labelled '{}' on screen", label));
            return;
        }
        const ImVec2 white = context->IO.Fonts->TexUvWhitePixel;
        const ImU32 header = ImGui::ColorConvertFloat4ToU32(context->Style.Colors[ImGuiCol_Header]);
        highlighted = false;
        for (const ScreenRect& rect : ReadRects(*drawData, white.x, white.y))
            if (rect.color == header && item->window == rect.window && rect.minX <= item->CenterX() &&
                item->CenterX() < rect.maxX && rect.minY <= item->CenterY() && item->CenterY() < rect.maxY)
                highlighted = true;
    });
    return highlighted;
}

std::vector<ScreenTextRun> GuiHost::ScreenText() {
    std::vector<ScreenTextRun> runs;
    RunOnGuiSide([&] { runs = JoinGlyphs(Glyphs(), SpaceAdvance()); });
    return runs;
}

std::optional<ScreenTextRun> GuiHost::FindText(const std::string& part) {
    for (ScreenTextRun& run : ScreenText())
        if (run.text.find(part) != std::string::npos) return run;
    return std::nullopt;
}

}  // namespace sim
