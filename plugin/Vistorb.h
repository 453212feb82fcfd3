#pragma once
#include <cstdint>
// Before the SDK: its GameWrapper declares GetDataFolder only where <filesystem> came first.
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "bakkesmod/plugin/PluginSettingsWindow.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/pluginwindow.h"
#include "camera/CameraOverride.h"
#include "camera/SharedCameraState.h"
#include "gui/Requests.h"
#include "presets/CameraPreset.h"
#include "presets/PresetStore.h"

struct PresetPanel;

// The plugin object. The host reaches it through its BakkesModPlugin base and calls the GUI
// slots through the other two.
class Vistorb : public BakkesMod::Plugin::BakkesModPlugin,
                public BakkesMod::Plugin::PluginSettingsWindow,
                public BakkesMod::Plugin::PluginWindow {
public:
    // cvarManager and gameWrapper come first, from BakkesModPlugin.
    PresetStore presetStore;
    std::map<std::string, CameraOverride> cameraOverrides;
    std::string focusedId;
    CameraPreset newPreset;
    CameraPreset selectedPreset;
    std::filesystem::path selectedPresetFile;  // the file the selection is; empty: nothing selected
    CameraPreset renamePreset;
    char presetSearch[64] = {};
    bool isWindowOpen = false;
    std::string menuTitle = "Vistorb";

    // Guards cameraOverrides and focusedId: the game thread rebuilds, clears, looks up and edits
    // them while the render thread walks and edits them in the GUI frame. Held only while they
    // are read or written: never across file I/O, a log line or any host call (GameWrapper::
    // Execute included). What must be done with them is copied out under the lock and done after
    // it is let go, so neither thread ever waits on the other's disk, console or host.
    std::mutex stateLock;

    // The only way to cameraOverrides and focusedId outside tests: the view takes stateLock itself.
    SharedCameraState CameraState() { return SharedCameraState{cameraOverrides, focusedId, stateLock}; }

    // Start-up and shut-down (Vistorb.cpp)
    void onLoad() override;

    // Replay event hooks (Hooks.cpp)
    void InitHooks();

    // Roster and camera writes, game thread only (CameraWrites.cpp; the work is camera/'s)
    void RefreshPlayers();
    void ApplyCameraOverride(const CameraOverride& override);
    void ApplyFocusedOverride();
    void UpdateFocusedPlayer();
    void FocusPlayer(const CameraOverride& override);

    // Console commands "vistorb_set" and "vistorb_preset" (SetCommand.cpp, PresetCommand.cpp)
    void HandleSetCommand(std::vector<std::string> words);
    void HandlePresetCommand(std::vector<std::string> words);

    // The SDK's slots, in slot order. Each hands over to the plugin's own operation below.
    void RenderSettings() override { DrawSettingsPage(); }
    std::string GetPluginName() override { return GetSettingsName(); }
    // The one slot both interfaces share.
    void SetImGuiContext(uintptr_t ctx) override { SetGuiContext(ctx); }
    void Render() override { DrawWindow(); }
    std::string GetMenuName() override { return GetMenuId(); }
    std::string GetMenuTitle() override { return GetMenuCaption(); }
    bool ShouldBlockInput() override { return WantsInputBlocked(); }
    bool IsActiveOverlay() override { return IsOverlayActive(); }
    void OnOpen() override { OnWindowOpened(); }
    void OnClose() override { OnWindowClosed(); }

    // Settings page (WindowSlots.cpp)
    void DrawSettingsPage();
    std::string GetSettingsName();
    void SetGuiContext(uintptr_t ctx);

    // Plugin window: DrawWindow in WindowPanels.cpp, the rest in WindowSlots.cpp
    void DrawWindow();
    std::string GetMenuId();
    std::string GetMenuCaption();
    bool WantsInputBlocked();
    bool IsOverlayActive();
    void OnWindowOpened();
    void OnWindowClosed();

    // The footer at the bottom of both the settings page and the window (WindowSlots.cpp).
    void DrawCredits();

private:
    friend struct VistorbTestAccess;

    // The window's panels (WindowPanels.cpp).
    // Draws one tab with stateLock held; a click on it makes it the `focus`, and what the tab asks
    // for goes to `requests`.
    void DrawCameraOverrideTabItem(const std::string& key, CameraOverride& override, std::string& focus,
                                   GuiRequests& requests);
    // Carries out a frame's requests, in order, with stateLock not held.
    void CarryOutGuiRequests(const GuiRequests& requests);
    void OverridePlayerCameraFromGui(CameraOverride& override);

    void DrawPresetCombo();
    void DrawPresetActions();
    void DrawRenamePopup();
    // "Copy", "Paste" and "Apply to all", after the panel's other actions (SharingButtons.cpp).
    void DrawSharingButtons(PresetPanel& panel);
    void ApplyPresetToAll(const CameraPreset& preset);
};
