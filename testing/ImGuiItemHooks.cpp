// The GUI library's item hooks. Compiled into every copy of the library; inert until the host
// stores a recorder in the context and switches the hooks on.
#include "imgui.h"
#include "imgui_internal.h"

#include "testing/ImGuiItemRecorder.h"

void ImGuiTestEngineHook_ItemAdd(ImGuiContext* ctx, const ImRect& bb, ImGuiID id) {
    if (auto* recorder = static_cast<ImGuiItemRecorder*>(ctx->TestEngine))
        recorder->ItemAdd(ctx, id, bb.Min.x, bb.Min.y, bb.Max.x, bb.Max.y);
}

void ImGuiTestEngineHook_ItemInfo(ImGuiContext* ctx, ImGuiID id, const char* label, ImGuiItemStatusFlags flags) {
    if (auto* recorder = static_cast<ImGuiItemRecorder*>(ctx->TestEngine)) recorder->ItemInfo(ctx, id, label, flags);
}

void ImGuiTestEngineHook_Log(ImGuiContext*, const char*, ...) {}

const char* ImGuiTestEngine_FindItemDebugLabel(ImGuiContext*, ImGuiID) { return nullptr; }
