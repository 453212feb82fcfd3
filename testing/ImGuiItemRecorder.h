#pragma once
// What the GUI library reports about every item it lays out, forwarded to whoever the host
// put in the shared context (its TestEngine slot; on 1.75, which has none, its IO's UserData). Both copies of the library, the host's and
// the plugin's, forward through this interface, so one recorder sees every widget of a frame.
struct ImGuiContext;

class ImGuiItemRecorder {
public:
    virtual ~ImGuiItemRecorder() = default;
    virtual void ItemAdd(ImGuiContext* ctx, unsigned int id, float minX, float minY, float maxX, float maxY) = 0;
    virtual void ItemInfo(ImGuiContext* ctx, unsigned int id, const char* label, int statusFlags) = 0;
};
