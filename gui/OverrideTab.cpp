// One player's tab in the camera overrides window.
#include "gui/OverrideTab.h"

#include <string>

#include "gui/ClippedText.h"
#include "gui/Sliders.h"
#include "imgui.h"
#include "imgui_internal.h"
#include "gui/TextField.h"

namespace {

void RequestSave(const OverrideTabContext& context, bool allowReplace) {
    context.requests.push_back({GuiRequest::Kind::SavePreset, {}, context.newPreset, allowReplace});
    ImGui::CloseCurrentPopup();
}

}  // namespace

// "Save" writes the typed name's file, unless that file holds another preset: then the popup
// asks, as the rename popup does, and only "Replace" overwrites it.
void DrawSavePresetPopup(const OverrideTabContext& context) {
    if (!ImGui::BeginPopup("save_new_preset_popup")) return;
    // Whether the popup waits for an answer: kept in the popup's own state, forgotten whenever it
    // opens again or the name is edited.
    ImGuiStorage* state = ImGui::GetStateStorage();
    const ImGuiID asking = ImGui::GetID("replace_question");
    if (ImGui::IsWindowAppearing()) state->SetBool(asking, false);
    if (InputTextString("Preset Name", context.newPreset.name)) state->SetBool(asking, false);
    if (state->GetBool(asking)) {
        ImGui::Text("A preset named \"%s\" already exists. Replace it?", context.newPreset.name.c_str());
        if (ImGui::Button("Replace")) RequestSave(context, /*allowReplace=*/true);
        ImGui::SameLine();
        if (ImGui::Button("Cancel")) state->SetBool(asking, false);
    } else if (ImGui::Button("Save")) {
        if (context.store && context.store->SaveWouldReplace(context.newPreset.name))
            state->SetBool(asking, true);
        else
            RequestSave(context, false);
    }
    ImGui::EndPopup();
}

namespace {

void RequestApply(const CameraOverride& override, const OverrideTabContext& context) {
    context.requests.push_back({GuiRequest::Kind::ApplyOverride, override, {}});
}

void DrawShownTab(CameraOverride& override, const OverrideTabContext& context) {
    const bool toggled = ImGui::Checkbox("Enabled", &override.enabled);
    const bool moved = DrawCameraSettingsSliders(override.settings);
    if (toggled || moved) RequestApply(override, context);

    if (ImGui::Button("Reset")) {
        override.settings = override.defaultSettings;
        RequestApply(override, context);
    }
    ImGui::SameLine();
    if (ImGui::Button("Save Preset")) {
        ImGui::OpenPopup("save_new_preset_popup");
        context.newPreset.name = override.playerName;
        context.newPreset.settings = override.settings;
    }
    DrawSavePresetPopup(context);
}

}  // namespace

bool DrawCameraOverrideTab(const std::string& key, CameraOverride& override, const OverrideTabContext& context) {
    // Every widget of the tab lives in the key's id scope: players may share a display name.
    ImGui::PushID(key.data(), key.data() + key.size());
    const ImGuiTabItemFlags flags = context.selected ? ImGuiTabItemFlags_SetSelected : 0;
    // Most names hold no "##" and are their own label; only the others need a copy.
    const std::string& name = override.playerName;
    const bool plain = name.find("##") == std::string::npos;
    const std::string escaped = plain ? std::string() : WholeLabel(name);
    const char* label = plain ? name.c_str() : escaped.c_str();
    const bool shown = ImGui::BeginTabItem(label, nullptr, flags);
#if defined(IMGUI_ENABLE_TEST_ENGINE) && IMGUI_VERSION_NUM < 18600
    {
        // The host's 1.75 reports no label for a tab header; the testing build reports it, as
        // 1.86 does itself. (The released library has no hooks.)
        ImGuiContext& g = *GImGui;
        IMGUI_TEST_ENGINE_ITEM_INFO(ImGui::GetItemID(), label, ImGui::GetItemStatusFlags());
    }
#endif

    // Only the header of a tab that is not shown moves the camera; pressing anything inside the
    // shown tab (its "Save Preset" button included) leaves the camera where it is.
    const bool activated = !shown && ImGui::IsItemActivated();
    if (shown) {
        DrawShownTab(override, context);
        ImGui::EndTabItem();
    }
    ImGui::PopID();
    return activated;
}
