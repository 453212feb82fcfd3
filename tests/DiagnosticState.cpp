// The testing library's diagnostic export: the plugin's override table, focus and presets as one
// JSON text, handed to a sink. The released library must not have it.
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/LogLine.h"
#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/loader/PlatformLibrary.h"
#include "tests/CameraValuesPinned.h"
#include "tests/PlayerSupport.h"
#include "tests/TestPlatform.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test_players::Bot;
using test_players::Human;

using DiagnosticFunction = void (*)(void (*)(void*, const char*, size_t), void*);

// What the sink was handed, and how often.
struct Received {
    std::string text;
    int calls = 0;
};

void Sink(void* context, const char* text, size_t size) {
    auto* received = static_cast<Received*>(context);
    received->text.assign(text, size);
    ++received->calls;
}

Received Ask(DiagnosticFunction state) {
    Received received;
    state(&Sink, &received);
    return received;
}

class DiagnosticState : public ::testing::Test {
protected:
    sim::Host host;
    std::unique_ptr<sim::PluginLoader> loader = std::make_unique<sim::PluginLoader>(host);
    std::string error;
    sim::TemporaryFolder scratch{"vistorb-diagnostics"};
    fs::path root = scratch.Path();

    void SetUp() override { host.SetDataFolder(root); }

    void TearDown() override {
        loader.reset();
        globalConsoleManager.reset();
    }

    // The function of the library the loader holds, found the way the simulator finds it. The
    // loader holds the library, so opening it again only takes a reference, which is dropped.
    DiagnosticFunction LoadedFunction() {
        std::string why;
        void* library = sim::OpenLibrary(VISTORB_TESTING_PLUGIN_PATH, why);
        if (!library) return nullptr;
        auto function = reinterpret_cast<DiagnosticFunction>(sim::LibrarySymbol(library, "VistorbDiagnosticState"));
        sim::CloseLibrary(library);
        return function;
    }
};

TEST_F(DiagnosticState, OnlyTheTestingLibraryHasIt) {
    void* release = sim::OpenLibrary(VISTORB_PLUGIN_PATH, error);
    ASSERT_NE(release, nullptr) << error;
    EXPECT_EQ(sim::LibrarySymbol(release, "VistorbDiagnosticState"), nullptr);
    sim::CloseLibrary(release);

    void* testing = sim::OpenLibrary(VISTORB_TESTING_PLUGIN_PATH, error);
    ASSERT_NE(testing, nullptr) << error;
    EXPECT_NE(sim::LibrarySymbol(testing, "VistorbDiagnosticState"), nullptr);
    sim::CloseLibrary(testing);
}

TEST_F(DiagnosticState, WithoutAPluginObjectEveryPartIsNull) {
    void* library = sim::OpenLibrary(VISTORB_TESTING_PLUGIN_PATH, error);
    ASSERT_NE(library, nullptr) << error;
    auto deleteMe = reinterpret_cast<void (*)()>(sim::LibrarySymbol(library, "deleteMe"));
    auto state = reinterpret_cast<DiagnosticFunction>(sim::LibrarySymbol(library, "VistorbDiagnosticState"));
    ASSERT_NE(deleteMe, nullptr);
    ASSERT_NE(state, nullptr);
    deleteMe();  // whatever an earlier test left behind

    const Received received = Ask(state);
    EXPECT_EQ(received.calls, 1);
    EXPECT_EQ(json::parse(received.text),
              json::parse(R"({"overrides":null,"focusedId":null,"presets":null,"presetFolder":""})"));
    state(nullptr, nullptr);  // no sink: nothing to hand over, and nothing may break
    sim::CloseLibrary(library);
}

TEST_F(DiagnosticState, ShowsTheTableTheFocusAndThePresets) {
    fs::create_directories(root / "Vistorb" / "presets");
    std::ofstream(root / "Vistorb" / "presets" / "Wide.json")
        << R"({"preset":{"FOV":110.0,"Height":100.0,"Pitch":-4.0,"Distance":270.0,"Stiffness":0.5,)"
        << R"("SwivelSpeed":5.0,"TransitionSpeed":1.5},"preset_name":"Wide"})";
    host.OpenReplay();
    host.AddPlayer(Bot("Zed", 95));
    host.AddPlayer(Human("U1", "Ann", ProfileCameraSettings{70, 110, -5, 280, 0.25f, 3, 1.5f}));
    host.MoveFocus("Player_U1");
    ASSERT_TRUE(loader->Load(VISTORB_TESTING_PLUGIN_PATH, error)) << error;
    host.ClearLog();

    const DiagnosticFunction state = LoadedFunction();
    ASSERT_NE(state, nullptr);
    const Received received = Ask(state);
    ASSERT_EQ(received.calls, 1);
    const json dump = json::parse(received.text);

    EXPECT_EQ(dump.at("focusedId"), "Player_U1");
    ASSERT_EQ(dump.at("overrides").size(), 2u);
    const json& ann = dump.at("overrides").at("Player_U1");
    EXPECT_EQ(ann.at("enabled"), false);
    EXPECT_EQ(ann.at("focusId"), "Player_U1");
    EXPECT_EQ(ann.at("playerName"), "Ann");
    const float annValues[7] = {70, 110, -5, 280, 0.25f, 3, 1.5f};
    for (size_t i = 0; i < 7; ++i) {
        const char* key = pinned::kCameraValues[i].value.jsonKey;
        EXPECT_EQ(ann.at("settings").at(key).get<float>(), annValues[i]) << key;
        EXPECT_EQ(ann.at("defaultSettings").at(key).get<float>(), annValues[i]) << key;
    }
    EXPECT_EQ(dump.at("overrides").at("Player_Bot_Zed").at("settings").at("FOV").get<float>(), 95.0f);

    ASSERT_EQ(dump.at("presets").size(), 1u);
    EXPECT_EQ(dump.at("presets")[0].at("name"), "Wide");
    EXPECT_EQ(dump.at("presets")[0].at("settings").at("Pitch").get<float>(), -4.0f);
    EXPECT_EQ(fs::path(dump.at("presetFolder").get<std::string>()), root / "Vistorb" / "presets");
    EXPECT_TRUE(host.LogLines().empty()) << "asking for the state logs nothing";
}

TEST_F(DiagnosticState, ANameThatIsNoUtf8IsShownReplacedNotAFailure) {
    host.OpenReplay();
    host.AddPlayer(Bot("Z\xff" "d", 95));
    ASSERT_TRUE(loader->Load(VISTORB_TESTING_PLUGIN_PATH, error)) << error;

    const DiagnosticFunction state = LoadedFunction();
    ASSERT_NE(state, nullptr);
    const json dump = json::parse(Ask(state).text);
    ASSERT_EQ(dump.at("overrides").size(), 1u);
    EXPECT_EQ(dump.at("overrides").begin().value().at("playerName"), "Z\xEF\xBF\xBD" "d");
}

}  // namespace
