#include "plugin/Vistorb.h"

#include <exception>
#include <filesystem>

#include "core/LogLine.h"

void Vistorb::onLoad() {
    globalConsoleManager = consoleManager;

    // Nothing may escape into the host: a failure ends start-up where it happened, with one
    // line on the console saying why.
    try {
        InitHooks();
    } catch (const std::exception& e) {
        LogLine("Vistorb could not install its replay hooks: {}", e.what());
        return;
    }

    try {
        std::filesystem::path folder = gameHandle->GetDataFolder();
        folder /= "Vistorb";
        folder /= "presets";
        PresetStore store(folder);
        presetStore = std::move(store);
    } catch (const std::exception& e) {
        LogLine("Vistorb could not open its preset folder, presets and vistorb_set are unavailable: {}",
                e.what());
        return;
    }

    consoleManager->registerNotifier(
        "vistorb_set", [this](std::vector<std::string> words) { HandleSetCommand(std::move(words)); }, "", 0);
}
