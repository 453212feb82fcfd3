// One player's tab in the camera overrides window.
#include "gui/OverrideTab.h"

#include <string>

#include "gui/ClippedText.h"
#include "gui/PresetPanel.h"
#include "gui/Sliders.h"
#include "imgui.h"
#include "imgui_internal.h"
#include "gui/TextField.h"

namespace {

// The save is done after the frame's table walk, away from the lock. The popup closes as the
// save is asked for; if the store answers with a question instead, it opens again with it
// (SavePopupAnswered).
void RequestSave(const OverrideTabContext& context, unsigned popup, const PresetStore::Consent* consent) {
    GuiRequest request{GuiRequest::Kind::SavePreset, {}, context.newPreset};
    if (consent) request.consent = *consent;
    request.popup = popup;
    context.requests.push_back(std::move(request));
    ForgetSavePopup(popup);
    ImGui::CloseCurrentPopup();
}

}  // namespace

// "Save" writes the typed name's file, unless that file holds another preset or one that does
// not load: then the popup asks, naming the file and what it holds, and only "Replace" replaces
// it (and only while it still holds what the question named).
void DrawSavePresetPopup(const OverrideTabContext& context) {
    const unsigned popup = ImGui::GetID("save_new_preset_popup");
    if (ReopenSavePopup(popup)) ImGui::OpenPopup("save_new_preset_popup");
    if (!ImGui::BeginPopup("save_new_preset_popup")) return;
    // A question is forgotten whenever the popup opens afresh or the name is edited.
    SavePopupDrawn(popup, ImGui::IsWindowAppearing());
    if (InputTextString("Preset Name", context.newPreset.name)) ForgetSavePopup(popup);
    const SavePopupState state = SavePopupStateOf(popup);
    if (state.stage == SavePopupState::Stage::Asking) {
        ImGui::Text("%s", state.question.c_str());
        if (ImGui::Button("Replace")) RequestSave(context, popup, &state.consent);
        ImGui::SameLine();
        if (ImGui::Button("Cancel")) ForgetSavePopup(popup);
    } else if (ImGui::Button("Save")) {
        RequestSave(context, popup, nullptr);
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
