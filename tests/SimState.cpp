// The simulator's state view of a plugin: what the plugin's diagnostic surface hands over comes
// out in the state's own shape; without that surface, or with a broken one, the plugin's part
// stays null; and whatever bytes the session holds, the state can always be shown.
#include <memory>
#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/game/Host.h"
#include "sim/loader/Loader.h"
#include "sim/loader/State.h"

namespace {

using ::testing::HasSubstr;
using nlohmann::json;

// What the fake diagnostic surface hands over, and whether it was asked on the GUI side.
std::string handedOver;
bool onGuiSide = false;
bool askedOnGuiSide = false;

void HandOver(sim::DiagnosticSink sink, void* context) {
    askedOnGuiSide = onGuiSide;
    // In two pieces: the sink may be called more than once.
    const size_t half = handedOver.size() / 2;
    sink(context, handedOver.data(), half);
    sink(context, handedOver.data() + half, handedOver.size() - half);
}

void Throw(sim::DiagnosticSink, void*) { throw std::runtime_error("the plugin's state is not readable"); }

const char* const kDocument = R"({
  "overrides": {"Player_Bot_Zed": {"enabled": true, "extra": "not shown",
    "settings": {"FOV": 95, "Height": 100, "Pitch": -3, "Distance": 260, "Stiffness": 0.45, "SwivelSpeed": 4,
                 "TransitionSpeed": 1.2},
    "defaultSettings": {"FOV": 90, "Height": 100, "Pitch": -3, "Distance": 260, "Stiffness": 0.5,
                        "SwivelSpeed": null, "TransitionSpeed": 1},
    "focusId": "Player_Bot_Zed", "playerName": "Zed"}},
  "focusedId": "Player_Bot_Zed",
  "presets": [{"name": "Wide", "settings": {"FOV": 110, "Height": 120, "Pitch": -5, "Distance": 300,
               "Stiffness": 0.4, "SwivelSpeed": 5, "TransitionSpeed": 1.5}}],
  "presetFolder": "/data/Vistorb/presets"
})";

class SimState : public ::testing::Test {
protected:
    sim::Host host;
    sim::PluginLoader loader{host};
    std::string error;

    void SetUp() override {
        handedOver = kDocument;
        askedOnGuiSide = false;
    }
    void Attach(sim::DiagnosticStateFunction diagnostics) {
        ASSERT_TRUE(loader.Attach(std::make_shared<BakkesMod::Plugin::BakkesModPlugin>(), error, "Quiet", diagnostics))
            << error;
    }
};

TEST_F(SimState, ThePluginsOwnStateComesThroughItsDiagnosticSurfaceInTheStatesShape) {
    Attach(&HandOver);
    const sim::GuiSideRunner guiSide = [](const std::function<void()>& work) {
        onGuiSide = true;
        work();
        onGuiSide = false;
    };
    const json state = sim::StateJson(host, loader, guiSide);
    EXPECT_TRUE(askedOnGuiSide) << "the preset cache is GUI-side data";

    // Floats as the plugin holds them, keys sorted, only the override's own five members; a
    // value a float cannot show (NaN came through as null) stays null.
    EXPECT_EQ(sim::DumpJson(state["overrides"]),
              R"({"Player_Bot_Zed":{"defaultSettings":{"Distance":260.0,"FOV":90.0,"Height":100.0,"Pitch":-3.0,)"
              R"("Stiffness":0.5,"SwivelSpeed":null,"TransitionSpeed":1.0},"enabled":true,"focusId":"Player_Bot_Zed",)"
              R"("playerName":"Zed","settings":{"Distance":260.0,"FOV":95.0,"Height":100.0,"Pitch":-3.0,)"
              R"("Stiffness":0.44999998807907104,"SwivelSpeed":4.0,"TransitionSpeed":1.2000000476837158}}})");
    EXPECT_EQ(state["focusedId"], "Player_Bot_Zed");
    EXPECT_EQ(sim::DumpJson(state["presets"]),
              R"([{"name":"Wide","settings":{"Distance":300.0,"FOV":110.0,"Height":120.0,"Pitch":-5.0,)"
              R"("Stiffness":0.4000000059604645,"SwivelSpeed":5.0,"TransitionSpeed":1.5}}])");
    EXPECT_EQ(state["presetFolder"], "/data/Vistorb/presets");
    EXPECT_FALSE(state["plugin"].contains("diagnosticError"));
}

TEST_F(SimState, APluginThatHasNoObjectToShowSaysSoWithNulls) {
    handedOver = R"({"overrides": null, "focusedId": null, "presets": null, "presetFolder": ""})";
    Attach(&HandOver);
    const json state = sim::StateJson(host, loader);
    EXPECT_TRUE(state["overrides"].is_null());
    EXPECT_TRUE(state["focusedId"].is_null());
    EXPECT_TRUE(state["presets"].is_null());
    EXPECT_EQ(state["presetFolder"], "");
    EXPECT_FALSE(state["plugin"].contains("diagnosticError"));
}

TEST_F(SimState, WithoutADiagnosticSurfaceOrWithABrokenOneThePluginsPartIsNull) {
    struct Case {
        const char* what;
        sim::DiagnosticStateFunction diagnostics;
        std::string document;
        const char* reason;  // in plugin.diagnosticError; null: none
    };
    const Case cases[] = {
        {"no surface (a release build, another plugin)", nullptr, kDocument, nullptr},
        {"not JSON", &HandOver, "{\"overrides\": {", "parse error"},
        {"a member missing", &HandOver, R"({"overrides": {}, "presets": [], "presetFolder": ""})", "focusedId"},
        {"a value of the wrong kind", &HandOver,
         R"({"overrides": {}, "focusedId": 7, "presets": [], "presetFolder": ""})", "type must be string"},
        {"the surface throws", &Throw, kDocument, "the plugin's state is not readable"},
        {"the plugin could not read its own state", &HandOver, "null", "null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handedOver = c.document;
        Attach(c.diagnostics);
        const json state = sim::StateJson(host, loader);
        EXPECT_TRUE(state["overrides"].is_null());
        EXPECT_TRUE(state["focusedId"].is_null());
        EXPECT_TRUE(state["presets"].is_null());
        EXPECT_FALSE(state.contains("presetFolder"));
        EXPECT_EQ(state["plugin"]["loaded"], true) << "the rest of the state is shown as ever";
        if (c.reason)
            EXPECT_THAT(state["plugin"].value("diagnosticError", ""), HasSubstr(c.reason));
        else
            EXPECT_FALSE(state["plugin"].contains("diagnosticError"));
        loader.Unload();
    }
    EXPECT_TRUE(sim::StateJson(host, loader)["overrides"].is_null()) << "nothing loaded";
}

TEST_F(SimState, BytesThatAreNotUtf8AreShownAsReplacementCharacters) {
    host.Log("Saving preset \xff\xfe to /tmp");
    host.RunConsoleLine("vistorb_\xc3");  // an unknown command, logged by the host with its bytes
    const json state = sim::StateJson(host, loader);
    std::string text;
    ASSERT_NO_THROW(text = sim::DumpJson(state, 2));
    EXPECT_THAT(text, HasSubstr("\"Saving preset \xEF\xBF\xBD\xEF\xBF\xBD to /tmp\""));
    EXPECT_THAT(text, HasSubstr("\"Unknown command: vistorb_\xEF\xBF\xBD\""));
    EXPECT_EQ(state["log"][0], "Saving preset \xff\xfe to /tmp") << "the state itself keeps the bytes";
}

}  // namespace
