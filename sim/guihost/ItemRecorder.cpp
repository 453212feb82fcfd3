#include "sim/guihost/ItemRecorder.h"

#include "imgui.h"
#include "imgui_internal.h"
#include "core/ImGuiCompat.h"

namespace sim {

bool GuiItem::Checked() const { return (statusFlags & ImGuiItemStatusFlags_Checked) != 0; }
bool GuiItem::Opened() const { return (statusFlags & ImGuiItemStatusFlags_Opened) != 0; }

void ItemRecorder::BeginFrame() {
    recording.clear();
    recordingIndex.clear();
}

void ItemRecorder::EndFrame() {
    finished.swap(recording);
    finishedIndex.swap(recordingIndex);
    recording.clear();
    recordingIndex.clear();
}

namespace {
bool Matches(const GuiItem& item, const std::string& label, const std::string& scope) {
    return item.hasInfo && item.hasRect && item.label == label && item.window.find(scope) != std::string::npos;
}
}  // namespace

const GuiItem* ItemRecorder::Find(const std::string& label, const std::string& scope) const {
    for (const GuiItem& item : finished)
        if (Matches(item, label, scope)) return &item;
    return nullptr;
}

std::vector<const GuiItem*> ItemRecorder::FindAll(const std::string& label, const std::string& scope) const {
    std::vector<const GuiItem*> found;
    for (const GuiItem& item : finished)
        if (Matches(item, label, scope)) found.push_back(&item);
    return found;
}

GuiItem& ItemRecorder::Entry(ImGuiContext* ctx, unsigned int id) {
    auto it = recordingIndex.find(id);
    if (it != recordingIndex.end()) return recording[it->second];
    GuiItem item;
    item.id = id;
    if (ctx->CurrentWindow) item.window = ctx->CurrentWindow->Name;
    recordingIndex.emplace(id, recording.size());
    recording.push_back(std::move(item));
    return recording.back();
}

const GuiItem* ItemRecorder::FindById(unsigned int id) const {
    auto it = finishedIndex.find(id);
    return it == finishedIndex.end() ? nullptr : &finished[it->second];
}

void ItemRecorder::ItemAdd(ImGuiContext* ctx, unsigned int id, float minX, float minY, float maxX, float maxY) {
    // A widget may lay out a second item under its own id (a combo's search field does); the
    // first rectangle is the widget's.
    GuiItem& item = Entry(ctx, id);
    if (item.hasRect) return;
    item.hasRect = true;
    item.minX = minX;
    item.minY = minY;
    item.maxX = maxX;
    item.maxY = maxY;
    // ItemAdd has just stored the item's flags, the disabled block's included.
    item.disabled = item.disabled || (imgui_compat::LastItemFlags(*ctx) & ImGuiItemFlags_Disabled) != 0;
}

void ItemRecorder::ItemInfo(ImGuiContext* ctx, unsigned int id, const char* label, int statusFlags) {
    // Most widgets report after they are laid out, tabs before.
    GuiItem& item = Entry(ctx, id);
    if (item.hasInfo) return;
    item.hasInfo = true;
    // The library draws no carriage return; the plugin puts one between two '#' of a name so
    // that the label shows all of it. The label is kept as it reads on screen.
    for (const char* c = label; c && *c; ++c)
        if (*c != '\r') item.label += *c;
    item.statusFlags = statusFlags;
    item.disabled = item.disabled || (imgui_compat::LastItemFlags(*ctx) & ImGuiItemFlags_Disabled) != 0;
}

}  // namespace sim
