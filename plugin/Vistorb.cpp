#include "plugin/Vistorb.h"

#include <exception>
#include <filesystem>

#include "core/LogLine.h"

void Vistorb::onLoad() {
    globalConsoleManager = cvarManager;

    // Nothing may escape into the host: a failure ends start-up where it happened, with one
    // line on the console saying why.
    try {
        InitHooks();
    } catch (const std::exception& e) {
        LogLine("Vistorb could not install its replay hooks: {}", e.what());
        return;
    }

    // A preset folder that cannot be opened costs the presets, nothing else: the store then
    // refuses every change (it would otherwise act on the working directory, in the game the
    // game's own folder), the panel shows why, and the console command, which needs no preset,
    // is registered all the same.
    std::filesystem::path folder;
    try {
        folder = gameWrapper->GetDataFolder();
        folder /= "Vistorb";
        folder /= "presets";
    } catch (const std::exception& e) {
        folder.clear();
        LogLine("Vistorb could not find the host's data folder: {}", e.what());
    }
    presetStore = PresetStore::Open(folder);
    presetStore.LogUnavailable();

    cvarManager->registerNotifier(
        "vistorb_set", [this](std::vector<std::string> words) { HandleSetCommand(std::move(words)); }, "", 0);
    cvarManager->registerNotifier(
        "vistorb_preset", [this](std::vector<std::string> words) { HandlePresetCommand(std::move(words)); }, "", 0);
}
