// The camera overrides window: the plugin hands its table, presets and handles to the panels of
// gui/ and does what they report, on the game thread where the game is touched.
#include <mutex>
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
    return PresetPanel{plugin.presetStore, plugin.selectedPreset, plugin.renamePreset, plugin.presetSearch,
                       sizeof plugin.presetSearch};
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
            {
                std::lock_guard<std::mutex> lock(stateLock);
                if (!ImGui::BeginTabBar("Camera overrides", 0)) return;
                for (auto& [key, override] : cameraOverrides) DrawCameraOverrideTabItem(key, override, requests);
                ImGui::EndTabBar();
            }
            CarryOutGuiRequests(requests);
        };
        panels.presetPanel = [&] {
            DrawPresetStoreProblem(presetStore);
            DrawPresetCombo();
            PresetPanel panel = PanelOf(*this);
            DrawPresetList(panel);
            DrawPresetActions();
        };
        DrawCameraOverridesWindow(menuTitle, keepOpen, panels);
    });
    if (keepOpen) return;

    isWindowOpen = false;
    cvarManager->executeCommand("togglemenu " + GetMenuId(), true);
}

void Vistorb::DrawCameraOverrideTabItem(const std::string& key, CameraOverride& override, GuiRequests& requests) {
    // Called with stateLock held, by the tab walk.
    const OverrideTabContext context{key == focusedId, newPreset, requests, &presetStore};
    if (!DrawCameraOverrideTab(key, override, context)) return;

    focusedId = override.focusId;
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
            RunGuarded("saving a preset", [&] { presetStore.AddPreset(request.preset, request.allowReplace); });
            break;
        }
    }
}

void Vistorb::DrawPresetCombo() {
    PresetPanel panel = PanelOf(*this);
    ::DrawPresetCombo(panel);
}

void Vistorb::DrawPresetActions() {
    bool hasFocusEntry = false;
    {
        std::lock_guard<std::mutex> lock(stateLock);
        hasFocusEntry = cameraOverrides.count(focusedId) != 0;
    }
    const auto applySelected = [this] {
        const auto preset = presetStore.FindPreset(selectedPreset.name);
        std::optional<CameraOverride> applied;
        {
            // Looked up again: the game thread may have rebuilt the table since the check above.
            std::lock_guard<std::mutex> lock(stateLock);
            const auto entry = cameraOverrides.find(focusedId);
            if (entry == cameraOverrides.end() || !preset) return;
            entry->second.settings = preset->settings;
            applied = entry->second;
        }
        OverridePlayerCameraFromGui(*applied);
    };
    PresetPanel panel = PanelOf(*this);
    ::DrawPresetActions(panel, hasFocusEntry, applySelected, [this] { DrawRenamePopup(); });
}

void Vistorb::DrawRenamePopup() {
    PresetPanel panel = PanelOf(*this);
    ::DrawRenamePopup(panel);
}
