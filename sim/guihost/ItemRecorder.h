#pragma once
// The GUI host's record of every widget a frame lays out, fed by the GUI library's item hooks
// (testing/ImGuiItemHooks.cpp) from both copies of the library. Tests and scripts find widgets by
// their label here instead of by pixel position.
#include <string>
#include <unordered_map>
#include <vector>

#include "testing/ImGuiItemRecorder.h"

namespace sim {

struct GuiItem {
    unsigned int id = 0;
    std::string label;      // the label the widget was drawn with, "##" parts included, less any CR
    std::string window;     // name of the window (or child, popup) it was laid out in
    float minX = 0, minY = 0, maxX = 0, maxY = 0;  // the part that takes the mouse (a slider's frame)
    int statusFlags = 0;    // ImGuiItemStatusFlags as the widget reported them
    bool hasInfo = false;   // the widget reported a label and status (not all do, e.g. plain text)
    bool hasRect = false;   // the widget was laid out (some report their label first)
    bool disabled = false;  // drawn inside a disabled block

    float CenterX() const { return (minX + maxX) * 0.5f; }
    float CenterY() const { return (minY + maxY) * 0.5f; }
    float Width() const { return maxX - minX; }
    bool Checked() const;   // a checkbox that is ticked, a selectable that is highlighted
    bool Opened() const;    // a combo whose list is open
};

class ItemRecorder : public ImGuiItemRecorder {
public:
    // Frames are bracketed by the GUI host: what a frame recorded becomes readable when it ends.
    void BeginFrame();
    void EndFrame();

    // The last finished frame.
    const std::vector<GuiItem>& Items() const { return finished; }
    // The first widget laid out in that frame with exactly this label whose window name contains
    // `scope` (any window when empty); null when there is none.
    const GuiItem* Find(const std::string& label, const std::string& scope = "") const;
    std::vector<const GuiItem*> FindAll(const std::string& label, const std::string& scope = "") const;
    const GuiItem* FindById(unsigned int id) const;

    void ItemAdd(ImGuiContext* ctx, unsigned int id, float minX, float minY, float maxX, float maxY) override;
    void ItemInfo(ImGuiContext* ctx, unsigned int id, const char* label, int statusFlags) override;

private:
    GuiItem& Entry(ImGuiContext* ctx, unsigned int id);

    std::vector<GuiItem> recording, finished;
    std::unordered_map<unsigned int, size_t> recordingIndex, finishedIndex;
};

}  // namespace sim
