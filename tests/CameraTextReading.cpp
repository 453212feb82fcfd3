// Camera settings as players pass them around: the copy line, and what the paste reader makes of
// texts in the shapes people write them.
#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "presets/CameraText.h"
#include "tests/CameraValuesPinned.h"

namespace {

using Values = std::map<std::string, float>;  // preset-file key -> value

struct ReadCase {
    const char* shape;
    std::string text;
    Values values;  // exactly the values given, after clamping
    std::optional<std::string> name;
    std::vector<std::string> clamped = {};
};

void ExpectRead(const ReadCase& c) {
    SCOPED_TRACE(c.shape);
    const CameraText read = ParseCameraText(c.text);
    EXPECT_EQ(read.outcome, c.values.empty() ? CameraText::Outcome::NothingKnown : CameraText::Outcome::Read);
    for (size_t i = 0; i < 7; ++i) {
        const CameraValue& row = pinned::kCameraValues[i].value;
        const auto expected = c.values.find(row.jsonKey);
        EXPECT_EQ(read.given[i], expected != c.values.end()) << row.jsonKey;
        if (expected != c.values.end()) {
            EXPECT_EQ(read.settings.*row.member, expected->second) << row.jsonKey;
        }
        const bool clamped = std::find(c.clamped.begin(), c.clamped.end(), row.jsonKey) != c.clamped.end();
        EXPECT_EQ(read.clamped[i], clamped) << row.jsonKey;
    }
    if (!c.values.empty()) {
        EXPECT_EQ(read.name, c.name);
    }
}

const Values kAllSeven{{"FOV", 110},      {"Height", 100},     {"Pitch", -5},           {"Distance", 270},
                       {"Stiffness", 0.45f}, {"SwivelSpeed", 5}, {"TransitionSpeed", 1.2f}};

TEST(CameraTextReading, ShapesPlayersWriteGiveTheirValues) {
    const ReadCase cases[] = {
        {"the copy line", "Vistorb camera \"Wide\": FOV 110, Height 100, Angle -5, Distance 270, Stiffness 0.45, "
                          "Swivel speed 5, Transition speed 1.2", kAllSeven, "Wide"},
        {"one line, any order", "FOV 110, Distance 270, Height 100, Angle -5, Stiffness 0.45, Swivel Speed 5.0, "
                                "Transition Speed 1.2", kAllSeven, std::nullopt},
        {"a web table, tab between label and value",
         "Camera Shake\tNo\r\nField of View\t110\r\nDistance\t270\r\nHeight\t100\r\nAngle\t-5.0\r\nStiffness\t0.45\r\n"
         "Swivel Speed\t5.00\r\nTransition Speed\t1.20\r\nBall Camera\tToggle\r\n", kAllSeven, std::nullopt},
        {"several lines, mixed case, other labels",
         "camera shake: off\nFIELD OF VIEW: 110\ndistance = 270\nHeight 100\npitch: -5\nSTIFFNESS: 0.45\n"
         "swivel_speed: 5\nInvert swivel: yes\nTransition: 1.2\n", kAllSeven, std::nullopt},
        {"several pairs a line", "fov=110; height=100 | angle:-5\nSwivelSpeed 5, transition_speed 1.2; distance 270 "
                                 "stiffness .45", kAllSeven, std::nullopt},
        {"label and value in two cells or on two lines", "| FOV | 110 |\n| Height |\n| 100 |\nDistance\n\n270",
         {{"FOV", 110}, {"Height", 100}, {"Distance", 270}}, std::nullopt},
        {"glued, decimal commas, a later value wins", "FOV90 Stiffness 0,45; Transition Speed 1,2 FOV: 100",
         {{"FOV", 100}, {"Stiffness", 0.45f}, {"TransitionSpeed", 1.2f}}, std::nullopt},
        {"a preset file", "\xEF\xBB\xBF{\n    \"preset\": {\n        \"Distance\": 270.0,\n        \"FOV\": 110,\n"
                          "        \"Height\": 100.0,\n        \"Pitch\": -5.0,\n        \"Stiffness\": 0.45,\n"
                          "        \"SwivelSpeed\": 5.0,\n        \"TransitionSpeed\": 1.2\n    },\n"
                          "    \"preset_name\": \"Wide\"\n}", kAllSeven, "Wide"},
        {"half a preset file", R"({"preset": {"FOV": 90, "Pitch": true, "Height": "high"}, "preset_name": "Half"})",
         {{"FOV", 90}, {"Pitch", 0}}, "Half", {"Pitch"}},
        {"JSON that is no preset", R"({"fov": 100, "distance": 250})", {{"FOV", 100}, {"Distance", 250}},
         std::nullopt},
        {"out of range", "FOV 130, Height 1e50, Angle +5, Distance 50, Stiffness -0.5, Swivel 0.5, Transition 9",
         {{"FOV", 110}, {"Height", 200}, {"Pitch", 0}, {"Distance", 100}, {"Stiffness", 0}, {"SwivelSpeed", 1},
          {"TransitionSpeed", 2}},
         std::nullopt, {"FOV", "Height", "Pitch", "Distance", "Stiffness", "SwivelSpeed", "TransitionSpeed"}},
        {"values missing", "my cam: FOV 105, the rest as it comes", {{"FOV", 105}}, std::nullopt},
        {"a copy line in a message, one line read", "try mine\nVistorb camera \"A\": FOV 90\nVistorb camera \"B\": "
                                                    "Height 50", {{"FOV", 90}}, "A"},
        {"nothing known", "gg wp | camera shake on, ball cam: toggle, see you at 8", {}, std::nullopt},
        {"nothing at all", "", {}, std::nullopt},
    };
    for (const ReadCase& c : cases) ExpectRead(c);
}

TEST(CameraTextReading, TheCopyLineIsTheOneThePanelPromises) {
    const CameraPreset wide{"Wide", {100, 110, -4, 270, 0.45f, 5, 1.2f}};
    EXPECT_EQ(FormatCameraLine(wide), "Vistorb camera \"Wide\": FOV 100, Height 110, Angle -4, Distance 270, "
                                      "Stiffness 0.45, Swivel speed 5, Transition speed 1.2");
    EXPECT_EQ(QuoteCameraName("a\"b\\c\td\x7F" "\xC3\xBC"), "\"a\\\"b\\\\c\\x09d\\x7F\xC3\xBC\"");
}

TEST(CameraTextReading, EveryNameReadsBackAsItWas) {
    const std::string names[] = {"Wide", "my \"best\" cam", "back\\slash\\", "tab\there", "two\nlines",
                                 std::string("nul\0byte", 8), "\x7F\x01", "Kamera \xC3\xBC", "\\x41 is no escape",
                                 "ends in a quote\"", ""};
    for (const std::string& name : names) {
        const CameraText read = ParseCameraText(FormatCameraLine(CameraPreset{name, {90, 100, -5, 250, 0.5f, 4, 1.2f}}));
        EXPECT_EQ(read.name, name);
        EXPECT_EQ(read.settings.SwivelSpeed, 4.0f) << name;
    }
}

// Every value a slider can write, on every slider, goes out as text and comes back bit for bit.
TEST(CameraTextReading, EveryGridValueReadsBackAsTheSameFloat) {
    for (int index = 0; index <= 90; ++index) {
        CameraPreset preset{"grid", {}};
        for (const pinned::CameraValueRow& row : pinned::kCameraValues) {
            const int onRow = index % (row.value.lastIndex + 1);
            preset.settings.*row.value.member = static_cast<float>(onRow) * row.value.step + row.value.low;
        }
        const CameraText read = ParseCameraText(FormatCameraLine(preset));
        ASSERT_EQ(read.outcome, CameraText::Outcome::Read);
        for (size_t i = 0; i < 7; ++i) EXPECT_FALSE(read.clamped[i]) << "index " << index;
        EXPECT_EQ(std::memcmp(&read.settings, &preset.settings, sizeof preset.settings), 0)
            << "index " << index << ": " << FormatCameraLine(preset);
    }
}

TEST(CameraTextReading, MoreThan64KiBIsRefusedWhole) {
    std::string text(kMostCameraTextBytes - 7, ' ');
    text += "FOV 100";
    EXPECT_EQ(ParseCameraText(text).outcome, CameraText::Outcome::Read) << "64 KiB exactly is read";
    EXPECT_EQ(ParseCameraText(text + " ").outcome, CameraText::Outcome::TooLong);
}

}  // namespace
