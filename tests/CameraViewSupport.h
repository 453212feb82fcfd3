#pragma once
// A bare headless GUI for the host's own drawings (camera view, host panels): a GUI context of
// the host's copy of the library with the item recorder attached, frames run on demand, and
// widgets pressed by label the way a person would (mouse over, down, up).
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imgui.h"
#include "imgui_internal.h"
#include "sim/guihost/ItemRecorder.h"
#include "sim/guihost/ScreenText.h"

namespace camera_view_test {

class HeadlessGui {
public:
    explicit HeadlessGui(float width = 1280.0f, float height = 800.0f) {
        context = ImGui::CreateContext();
        ImGui::SetCurrentContext(context);
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(width, height);
        io.DeltaTime = 1.0f / 60.0f;
        for (int key = 0; key < ImGuiKey_COUNT; ++key) io.KeyMap[key] = key;
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
#if IMGUI_VERSION_NUM >= 18600
        context->TestEngine = static_cast<ImGuiItemRecorder*>(&recorder);
        context->TestEngineHookItems = true;
#else
        io.UserData = static_cast<ImGuiItemRecorder*>(&recorder);
#endif
    }
    ~HeadlessGui() { ImGui::DestroyContext(context); }
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

    std::function<void()> draw;  // what every frame draws

    void Frame(int count = 1) {
        for (int i = 0; i < count; ++i) {
            ImGui::SetCurrentContext(context);
            ImGuiIO& io = ImGui::GetIO();
            io.MousePos = mouse;
            io.MouseDown[0] = mouseDown;
            for (int key = 0; key < ImGuiKey_COUNT; ++key) io.KeysDown[key] = key == keyDown;
            if (!chars.empty()) io.AddInputCharactersUTF8(chars.c_str());
            chars.clear();
            recorder.BeginFrame();
            ImGui::NewFrame();
            if (draw) draw();
            ImGui::Render();
            recorder.EndFrame();
        }
    }

    // Presses the widget with this label in a window whose name contains `scope`.
    bool Press(const std::string& label, const std::string& scope = "") {
        const sim::GuiItem* item = recorder.Find(label, scope);
        for (int tries = 0; tries < 2 && !item; ++tries) {
            Frame();
            item = recorder.Find(label, scope);
        }
        if (!item) return false;
        mouse = ImVec2(item->CenterX(), item->CenterY());
        Frame();
        mouseDown = true;
        Frame();
        mouseDown = false;
        Frame();
        return true;
    }

    void Key(int imguiKey) {
        keyDown = imguiKey;
        Frame();
        keyDown = -1;
        Frame();
    }

    void Type(const std::string& text) {
        chars += text;
        Frame();
    }

    // The text of the last frame, one run per colour and line.
    std::vector<sim::ScreenTextRun> Text() {
        ImGui::SetCurrentContext(context);
        const ImFont& font = *ImGui::GetIO().Fonts->Fonts[0];
        const ImFontGlyph* space = font.FindGlyphNoFallback(' ');
        return sim::JoinGlyphs(sim::ReadGlyphs(*ImGui::GetDrawData(), font), space ? space->AdvanceX : 7.0f);
    }

    bool Shows(const std::string& part) {
        for (const auto& run : Text())
            if (run.text.find(part) != std::string::npos) return true;
        return false;
    }

    // A whole word of the frame's text (table cells, numbers), not part of a longer one.
    bool ShowsWord(const std::string& word) {
        for (const auto& run : Text()) {
            std::istringstream words(run.text);
            for (std::string w; words >> w;)
                if (w == word) return true;
        }
        return false;
    }

    ImGuiContext* context = nullptr;
    sim::ItemRecorder recorder;
    ImVec2 mouse{-1.0f, -1.0f};
    bool mouseDown = false;
    int keyDown = -1;
    std::string chars;
};

}  // namespace camera_view_test
