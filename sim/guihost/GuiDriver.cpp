// The GUI host driven: widgets are found by label in the last finished frame, and a person's
// action is played as the frames it takes. No SDL or OpenGL here: all of it works on the GUI
// library's own data, headless or not.
#include <fmt/format.h>

#include "imgui.h"
#include "imgui_internal.h"
#include "sim/guihost/GuiDriver.h"

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

const GuiItem* GuiDriver::Require(const std::string& label, const std::string& scope) {
    const GuiItem* item = frames.Recorder().Find(label, scope);
    // What was asked for may only just have been put on screen.
    for (int tries = 0; tries < 2 && !(item && Shown(frames.Context(), *item)); ++tries) {
        frames.RunHostFrame();
        item = frames.Recorder().Find(label, scope);
    }
    if (!item)
        frames.Fail(scope.empty() ? fmt::format("no widget labelled '{}' on screen", label)
                           : fmt::format("no widget labelled '{}' in a window matching '{}'", label, scope));
    return item;
}

bool GuiDriver::ClickAt(float x, float y) {
    ScriptedInput& input = frames.Input();
    input.mouseX = x;
    input.mouseY = y;
    input.mouseDown = false;
    frames.RunScriptedFrame();
    input.mouseDown = true;
    frames.RunScriptedFrame();
    input.mouseDown = false;
    frames.RunScriptedFrame();
    return true;
}

bool GuiDriver::Press(const std::string& label, const std::string& scope) {
    bool done = false;
    frames.RunOnGuiSide([&] {
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        const GuiItem target = *item;
        done = ClickAt(target.CenterX(), target.CenterY());
    });
    return done;
}

bool GuiDriver::Hover(const std::string& label, const std::string& scope) {
    bool done = false;
    frames.RunOnGuiSide([&] {
        const GuiItem* item = Require(label, scope);
        if (!item) return;
        frames.Input().mouseX = item->CenterX();
        frames.Input().mouseY = item->CenterY();
        frames.RunScriptedFrame();
        frames.RunScriptedFrame();
        done = true;
    });
    return done;
}

bool GuiDriver::DragSlider(const std::string& label, int index, int lastIndex, const std::string& scope) {
    bool done = false;
    frames.RunOnGuiSide([&] {
        if (lastIndex <= 0 || index < 0 || index > lastIndex) {
            frames.Fail(fmt::format("slider index {} is outside 0 to {}", index, lastIndex));
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

void GuiDriver::Type(const std::string& text) {
    frames.RunOnGuiSide([&] {
        frames.Input().chars += text;
        frames.RunScriptedFrame();
    });
}

void GuiDriver::PressKey(int imguiKey, bool ctrl) {
    frames.RunOnGuiSide([&] {
        ScriptedInput& input = frames.Input();
        input.ctrl = ctrl;
        input.keys.insert(imguiKey);
        frames.RunScriptedFrame();
        input.keys.erase(imguiKey);
        input.ctrl = false;
        frames.RunScriptedFrame();
    });
}

bool GuiDriver::Fill(const std::string& label, const std::string& text, const std::string& scope) {
    bool done = false;
    frames.RunOnGuiSide([&] {
        if (!Press(label, scope)) return;
        PressKey(ImGuiKey_A, true);
        Type(text);
        done = true;
    });
    return done;
}

namespace {
bool PressTitleButton(ImGuiContext* context, const ItemRecorder& recorder, const std::string& title, const char* button,
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

bool GuiDriver::PressCloseButton(const std::string& windowTitle) { return PressTitleBarButton(windowTitle, "#CLOSE"); }

bool GuiDriver::PressCollapseButton(const std::string& windowTitle) {
    return PressTitleBarButton(windowTitle, "#COLLAPSE");
}

bool GuiDriver::PressTitleBarButton(const std::string& windowTitle, const char* button) {
    bool done = false;
    frames.RunOnGuiSide([&] {
        std::string error;
        ImGuiID id = 0;
        if (!PressTitleButton(frames.Context(), frames.Recorder(), windowTitle, button, error, id)) return frames.Fail(error);
        const GuiItem target = *frames.Recorder().FindById(id);
        done = ClickAt(target.CenterX(), target.CenterY());
    });
    return done;
}

void GuiDriver::MoveMouse(float x, float y) {
    frames.RunOnGuiSide([&] {
        frames.Input().mouseX = x;
        frames.Input().mouseY = y;
    });
}

void GuiDriver::SetMouseButton(bool down) {
    frames.RunOnGuiSide([&] { frames.Input().mouseDown = down; });
}

void GuiDriver::SetKeyCtrl(bool held) {
    frames.RunOnGuiSide([&] { frames.Input().ctrl = held; });
}

// --- Reading ----------------------------------------------------------------------------------

std::optional<GuiItem> GuiDriver::Find(const std::string& label, const std::string& scope) {
    std::optional<GuiItem> found;
    frames.RunOnGuiSide([&] {
        if (const GuiItem* item = frames.Recorder().Find(label, scope)) found = *item;
    });
    return found;
}

std::vector<GuiItem> GuiDriver::FindAll(const std::string& label, const std::string& scope) {
    std::vector<GuiItem> found;
    frames.RunOnGuiSide([&] {
        for (const GuiItem* item : frames.Recorder().FindAll(label, scope)) found.push_back(*item);
    });
    return found;
}

std::vector<GuiItem> GuiDriver::Items() {
    std::vector<GuiItem> items;
    frames.RunOnGuiSide([&] { items = frames.Recorder().Items(); });
    return items;
}

const std::vector<ScreenGlyph>& GuiDriver::Glyphs() {
    // The draw data stays valid until the next frame starts, so it is read only when asked.
    ImGuiContext* context = frames.Context();
    if (glyphsFrame != context->FrameCount) {
        glyphs.clear();
        ImGui::SetCurrentContext(context);
        const ImDrawData* drawData = ImGui::GetDrawData();
        if (drawData && drawData->Valid) glyphs = ReadGlyphs(*drawData, *ImGui::GetIO().Fonts->Fonts[0]);
        glyphsFrame = context->FrameCount;
    }
    return glyphs;
}

float GuiDriver::SpaceAdvance() const {
    const ImFont* font = frames.Context()->IO.Fonts->Fonts[0];
    const ImFontGlyph* space = font->FindGlyphNoFallback(' ');
    return space ? space->AdvanceX : font->FallbackAdvanceX;
}

std::optional<std::string> GuiDriver::TextOf(const std::string& label, const std::string& scope) {
    std::optional<std::string> text;
    frames.RunOnGuiSide([&] {
        const GuiItem* item = frames.Recorder().Find(label, scope);
        if (!item) {
            frames.Fail(fmt::format("no widget labelled '{}' on screen", label));
            return;
        }
        text = TextInside(Glyphs(), SpaceAdvance(), item->window, item->minX, item->minY, item->maxX, item->maxY);
    });
    return text;
}

std::optional<bool> GuiDriver::Highlighted(const std::string& label, const std::string& scope) {
    std::optional<bool> highlighted;
    frames.RunOnGuiSide([&] {
        const GuiItem* item = frames.Recorder().Find(label, scope);
        const ImDrawData* drawData = ImGui::GetDrawData();
        if (!item || !drawData || !drawData->Valid) {
            frames.Fail(fmt::format("no widget labelled '{}' on screen", label));
            return;
        }
        const ImGuiContext& g = *frames.Context();
        const ImVec2 white = g.IO.Fonts->TexUvWhitePixel;
        const ImU32 header = ImGui::ColorConvertFloat4ToU32(g.Style.Colors[ImGuiCol_Header]);
        highlighted = false;
        for (const ScreenRect& rect : ReadRects(*drawData, white.x, white.y))
            if (rect.color == header && item->window == rect.window && rect.minX <= item->CenterX() &&
                item->CenterX() < rect.maxX && rect.minY <= item->CenterY() && item->CenterY() < rect.maxY)
                highlighted = true;
    });
    return highlighted;
}

std::vector<ScreenTextRun> GuiDriver::ScreenText() {
    std::vector<ScreenTextRun> runs;
    frames.RunOnGuiSide([&] { runs = JoinGlyphs(Glyphs(), SpaceAdvance()); });
    return runs;
}

std::optional<ScreenTextRun> GuiDriver::FindText(const std::string& part) {
    for (ScreenTextRun& run : ScreenText())
        if (run.text.find(part) != std::string::npos) return run;
    return std::nullopt;
}

}  // namespace sim
