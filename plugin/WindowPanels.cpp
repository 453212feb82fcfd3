// The camera overrides window: the plugin hands its table, presets and handles to the panels of
// gui/ and does what they report, on the game thread where the game is touched.
#include <optional>

#include "core/Guarded.h"
#include "gui/GuardedFrame.h"
#include "gui/OverrideTab.h"
#include "gui/PresetPanel.h"
#include "gui/Window.h"
#include "imgui.h"
#include "plugin/Vistorb.h"

namespace {
PresetPanel PanelOf(Vistorb& plugin) {
    return PresetPanel{plugin.presetStore, plugin.selectedPreset,      plugin.renamePreset,
                       plugin.presetSearch, sizeof plugin.presetSearch, plugin.selectedPresetFile};
}
}  // namespace

void Vistorb::DrawWindow() {
    // The close button clears this flag, and only a press in this very frame asks the host to
    // toggle the menu: the host may draw the window again before it gets to the request, and a
    // second toggle would open the window again. A collapsed window's close button counts too.
    bool keepOpen = true;
    DrawGuarded("the window", [&] {
        OverridesWindowPanels panels;
        panels.overrideTabs = [&] {
            // The game thread rebuilds and clears the table; it waits for the tab walk to finish,
            // so the walk only draws and edits. What the tabs ask for is done after it.
            GuiRequests requests;
            CameraState().LendForFrame([&](CameraOverrideTable& table, std::string& focus) {
                if (!ImGui::BeginTabBar("Camera overrides", 0)) return;
                for (auto& [key, override] : table) DrawCameraOverrideTabItem(key, override, focus, requests);
                ImGui::EndTabBar();
            });
            CarryOutGuiRequests(requests);
        };
        panels.presetPanel = [&] {
            DrawPresetStoreProblem(presetStore);
            DrawPresetCombo();
            PresetPanel panel = PanelOf(*this);
            DrawPresetList(panel);
            DrawPresetActions();
        };
        panels.credits = [&] { DrawCredits(); };
        DrawCameraOverridesWindow(menuTitle, keepOpen, panels);
    });
    if (keepOpen) return;

    isWindowOpen = false;
    cvarManager->executeCommand("togglemenu " + GetMenuId(), true);
}

void Vistorb::DrawCameraOverrideTabItem(const std::string& key, CameraOverride& override, std::string& focus,
                                        GuiRequests& requests) {
    // Called with stateLock held, by the tab walk, with the focus it lent.
    const OverrideTabContext context{key == focus, newPreset, requests, &presetStore};
    if (!DrawCameraOverrideTab(key, override, context)) return;

    focus = override.focusId;
    requests.push_back({GuiRequest::Kind::FocusPlayer, override, {}});
}

void Vistorb::CarryOutGuiRequests(const GuiRequests& requests) {
    for (const GuiRequest& request : requests) {
        switch (request.kind) {
        case GuiRequest::Kind::ApplyOverride: {
            CameraOverride copy = request.override;
            OverridePlayerCameraFromGui(copy);
            break;
        }
        case GuiRequest::Kind::FocusPlayer:
            gameWrapper->Execute([plugin = this, copy = request.override](GameWrapper*) {
                RunGuarded("moving the camera to a player", [&] { plugin->FocusPlayer(copy); });
            });
            break;
        case GuiRequest::Kind::SavePreset:
            RunGuarded("saving a preset", [&] {
                const PresetStore::Answer answer =
                    presetStore.Save(request.preset, request.consent ? &*request.consent : nullptr);
                SavePopupAnswered(request.popup, answer);
                // The selection is the file just written: the preview and "Apply" show what was saved.
                if (answer.outcome == PresetStore::Answer::Outcome::Done) {
                    PresetPanel panel = PanelOf(*this);
                    Select(panel, request.preset, answer.file);
                }
            });
            break;
        }
    }
}

void Vistorb::OverridePlayerCameraFromGui(CameraOverride& override) {
    // The closure carries its own copy: by the time the game thread runs it, the GUI may have
    // edited the entry again or the table may have been rebuilt.
    gameWrapper->Execute([this, copy = override](GameWrapper*) {
        RunGuarded("camera override", [&] { ApplyCameraOverride(copy); });
    });
}

void Vistorb::DrawPresetCombo() {
    PresetPanel panel = PanelOf(*this);
    ::DrawPresetCombo(panel);
}

void Vistorb::DrawPresetActions() {
    const bool hasFocusEntry = CameraState().HasFocusedEntry();
    const auto applySelected = [this] {
        // The selected file's record: of two presets with one name, the one the user picked or
        // just saved. Nothing selected, nothing applied.
        const auto preset = SelectedRecord(PanelOf(*this));
        if (!preset) return;
        // Looked up again: the game thread may have rebuilt the table since the check above.
        std::optional<CameraOverride> applied = CameraState().EditFocused([&](CameraOverride& entry) {
            entry.settings = preset->settings;
            return true;
        });
        if (applied) OverridePlayerCameraFromGui(*applied);
    };
    PresetPanel panel = PanelOf(*this);
    DrawApplyAndEdit(panel, hasFocusEntry, applySelected);
    DrawRenamePopup();
    DrawDeleteButton(panel);
    DrawReloadButton(panel);
    DrawSharingButtons(panel);
}

void Vistorb::DrawRenamePopup() {
    PresetPanel panel = PanelOf(*this);
    ::DrawRenamePopup(panel);
}
