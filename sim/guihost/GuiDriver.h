#pragma once
// Driving a GUI host as a person would, apart from the host that records and draws the frames
// (the way the GUI library's own test engine keeps its driver apart from its item recorder).
//
// Input operations find widgets by label in the last finished frame (see ItemRecorder) and
// run the frames a person's action takes: a press is a frame with the mouse over the widget,
// one with the button down, one with it up. They return false, with LastError(), when the
// widget is not there. Every call may come from any thread: it is carried out on the GUI side.
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "sim/guihost/ItemRecorder.h"
#include "sim/guihost/ScreenText.h"

struct ImGuiContext;

namespace sim {

// The input scripted actions feed to the next frame.
struct ScriptedInput {
    float mouseX = -1.0f, mouseY = -1.0f;
    bool mouseDown = false;
    bool ctrl = false;
    std::set<int> keys;   // ImGuiKey_ values held
    std::string chars;    // typed, not yet handed to the GUI
};

// What the driver needs of a GUI host, and no more.
class GuiFrames {
public:
    virtual void RunOnGuiSide(const std::function<void()>& work) = 0;
    // On the GUI side: one frame as the host runs it, or one fed by the scripted input even
    // where a person drives the window.
    virtual void RunHostFrame() = 0;
    virtual void RunScriptedFrame() = 0;
    virtual ScriptedInput& Input() = 0;
    virtual const ItemRecorder& Recorder() const = 0;
    virtual ImGuiContext* Context() const = 0;
    virtual void Fail(const std::string& error) = 0;

protected:
    ~GuiFrames() = default;
};

class GuiDriver {
public:
    explicit GuiDriver(GuiFrames& frames) : frames(frames) {}

    // --- Input (each runs the frames it needs) -------------------------------------------
    // `scope` narrows the search to widgets whose window name contains it, e.g. "vistorb2_"
    // (the player tabs), "vistorb2-right" (the preset panel), "##Popup" (an open popup),
    // "##Combo" (an open combo list).
    bool Press(const std::string& label, const std::string& scope = "");
    bool Hover(const std::string& label, const std::string& scope = "");
    // Presses the slider's track where index `index` of 0..lastIndex sits and lets go.
    bool DragSlider(const std::string& label, int index, int lastIndex, const std::string& scope = "");
    // Types text into whatever has the keyboard (one frame).
    void Type(const std::string& text);
    // Presses and releases a key (ImGuiKey_ value), optionally with Ctrl held (two frames).
    void PressKey(int imguiKey, bool ctrl = false);
    // Clicks a text field, selects all it holds and types `text` over it.
    bool Fill(const std::string& label, const std::string& text, const std::string& scope = "");
    // The title bar buttons of a window, by window title (the plugin window: "Vistorb").
    bool PressCloseButton(const std::string& windowTitle);
    bool PressCollapseButton(const std::string& windowTitle);
    // Raw mouse: takes effect with the next frame.
    void MoveMouse(float x, float y);
    void SetMouseButton(bool down);
    void SetKeyCtrl(bool held);

    // --- Reading the last finished frame -------------------------------------------------
    std::optional<GuiItem> Find(const std::string& label, const std::string& scope = "");
    std::vector<GuiItem> FindAll(const std::string& label, const std::string& scope = "");
    std::vector<GuiItem> Items();
    // The text drawn inside the widget: a button's label, a slider's value, a field's content.
    std::optional<std::string> TextOf(const std::string& label, const std::string& scope = "");
    // Whether a selectable row is drawn highlighted as the selected one. Read it with the mouse
    // elsewhere: a row under the mouse is highlighted in the hover colour instead.
    std::optional<bool> Highlighted(const std::string& label, const std::string& scope = "");
    // All text on screen, joined into runs (one per colour and line).
    std::vector<ScreenTextRun> ScreenText();
    // The first run that contains `part`.
    std::optional<ScreenTextRun> FindText(const std::string& part);

private:
    const GuiItem* Require(const std::string& label, const std::string& scope);
    bool ClickAt(float x, float y);
    bool PressTitleBarButton(const std::string& windowTitle, const char* button);
    const std::vector<ScreenGlyph>& Glyphs();
    float SpaceAdvance() const;

    GuiFrames& frames;
    int glyphsFrame = -1;  // the frame whose draw data `glyphs` was read from
    std::vector<ScreenGlyph> glyphs;
};

}  // namespace sim
