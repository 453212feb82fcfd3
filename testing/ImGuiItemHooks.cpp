// The GUI library's item hooks. Compiled into every copy of the library; inert until the host
// stores a recorder in the context and switches the hooks on.
#include "imgui.h"
#include "imgui_internal.h"

#include "testing/ImGuiItemRecorder.h"

namespace {

ImGuiItemRecorder* RecorderOf(ImGuiContext* ctx) {
#if IMGUI_VERSION_NUM >= 18600
    return static_cast<ImGuiItemRecorder*>(ctx->TestEngine);
#else
    // The host's 1.75 has no test-engine slot in its context: the host keeps the recorder in
    // the IO record's user data instead (see ImGuiItemRecorder.h).
    return static_cast<ImGuiItemRecorder*>(ctx->IO.UserData);
#endif
}

}  // namespace

void ImGuiTestEngineHook_ItemAdd(ImGuiContext* ctx, const ImRect& bb, ImGuiID id) {
    if (auto* recorder = RecorderOf(ctx))
        recorder->ItemAdd(ctx, id, bb.Min.x, bb.Min.y, bb.Max.x, bb.Max.y);
}

void ImGuiTestEngineHook_ItemInfo(ImGuiContext* ctx, ImGuiID id, const char* label, ImGuiItemStatusFlags flags) {
    if (auto* recorder = RecorderOf(ctx)) recorder->ItemInfo(ctx, id, label, flags);
}

void ImGuiTestEngineHook_Log(ImGuiContext*, const char*, ...) {}

// 1.75 calls these around every new frame; 1.86 no longer does.
void ImGuiTestEngineHook_PreNewFrame(ImGuiContext*) {}
void ImGuiTestEngineHook_PostNewFrame(ImGuiContext*) {}

const char* ImGuiTestEngine_FindItemDebugLabel(ImGuiContext*, ImGuiID) { return nullptr; }
