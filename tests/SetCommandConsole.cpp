// The console command "vistorb_set" and its value parser.
#include <cfloat>
#include <cmath>
#include <clocale>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "core/ValueText.h"
#include "tests/CameraValuesPinned.h"
#include "tests/RosterSupport.h"
#include "tests/TestPlatform.h"

using namespace camera_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char* const kUsage =
    "Usage: {} enabled|fov|height|angle|distance|stiffness|swivelspeed|transitionspeed new-value";

std::string UsageFor(const std::string& name) {
    std::string usage = kUsage;
    return usage.replace(usage.find("{}"), 2, name);
}

// The console's view of a pinned row: its name and the two clamps.
struct Row {
    const char* name;
    float ProfileCameraSettings::*member;
    float lower;
    float upper;
};

std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const auto& row : pinned::kCameraValues)
        rows.push_back({row.value.consoleName, row.value.member, row.value.low, row.high});
    return rows;
}

}  // namespace

class SetCommand : public LoadedPlugin {
protected:
    void SetUp() override {
        Load();
        ImportWith({Human("U1", "Ann", Cam(90)), Bot("Zed", Cam(70))});
        host.MoveFocus("Player_U1");
        host.ClearLog();
    }

    void Run(const std::string& line) { host.RunConsoleLine(line); }
    CameraOverride Ann() { return Table().at("Player_U1"); }
    float Stored(const Row& row) { return Ann().settings.*(row.member); }
};

TEST_F(SetCommand, AnythingButThreeWordsGetsTheUsageLineWithTheNameAsTyped) {
    Run("vistorb_set fov");
    Run("vistorb_set fov 90 extra");
    plugin->HandleSetCommand({"vs"});
    plugin->HandleSetCommand({});
    EXPECT_THAT(host.LogLines(), ElementsAre(UsageFor("vistorb_set"), UsageFor("vistorb_set"), UsageFor("vs"),
                                             UsageFor("vistorb_set")));
    EXPECT_TRUE(Same(Ann().settings, Cam(90)));
}

TEST_F(SetCommand, ChecksRunInOrderWordsReplayFocusName) {
    // Outside a replay even an unknown name only hears "not in replay"; the word count comes first.
    host.CloseReplay();
    Run("vistorb_set foo 1");
    Run("vistorb_set foo");
    // In a replay whose table is empty, every name gets "no focus actor".
    host.OpenReplay();
    host.DestroyHud();
    Run("vistorb_set foo 1");
    Run("vistorb_set fov 90");
    EXPECT_THAT(host.LogLines(),
                ElementsAre("not in replay", UsageFor("vistorb_set"), "no focus actor", "no focus actor"));
}

TEST_F(SetCommand, AFocusWithoutAnEntryChangesNothing) {
    host.MoveFocus("Ball_TA_0");
    Run("vistorb_set fov 100");
    EXPECT_THAT(host.LogLines(), ElementsAre("no focus actor"));
    auto table = Table();
    EXPECT_TRUE(Same(table.at("Player_U1").settings, Cam(90)));
    EXPECT_TRUE(Same(table.at("Player_Bot_Zed").settings, Cam(70)));
}

TEST_F(SetCommand, UnknownNamesAreReportedLowerCasedAndTheirValueIsNeverRead) {
    std::srand(11);
    int first = std::rand();
    std::srand(11);
    Run("vistorb_set Foo (1,2)");
    // The range was not drawn from: rand's sequence is untouched.
    EXPECT_EQ(std::rand(), first);
    Run("vistorb_set PITCH 5");
    EXPECT_THAT(host.LogLines(), ElementsAre("Unknown value foo", "Unknown value pitch"));
    EXPECT_TRUE(Same(Ann().settings, Cam(90)));
    EXPECT_EQ(Writes(), 0u);
}

TEST_F(SetCommand, EveryNumberIsClampedIntoItsSliderRange) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        std::string prefix = std::string("vistorb_set ") + row.name + " ";
        Run(prefix + fmt::format("{}", row.upper));
        EXPECT_EQ(Stored(row), row.upper);
        Run(prefix + fmt::format("{}", row.upper + 0.5f));
        EXPECT_EQ(Stored(row), row.upper);
        Run(prefix + fmt::format("{}", row.lower));
        EXPECT_EQ(Stored(row), row.lower);
        Run(prefix + fmt::format("{}", row.lower - 0.5f));
        EXPECT_EQ(Stored(row), row.lower);
        float mid = (row.lower + row.upper) / 2;
        Run(prefix + fmt::format("{}", mid));
        EXPECT_EQ(Stored(row), mid);
        // No leading number reads as 0, which is then clamped like any other value.
        Run(prefix + "wide");
        EXPECT_EQ(Stored(row), std::min(std::max(0.0f, row.lower), row.upper));
    }
    // atof reads the longest leading number.
    Run("vistorb_set fov 90degrees");
    EXPECT_EQ(Ann().settings.FOV, 90.0f);
    Run("vistorb_set fov 200");
    Run("vistorb_set fov 10");
    EXPECT_EQ(Ann().settings.FOV, 60.0f);
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(SetCommand, NamesAreCaseFoldedValuesAreNot) {
    Run("vistorb_set FOV 95");
    Run("vistorb_set SwivelSpeed 4");
    Run("vistorb_set eNaBlEd 1");
    auto ann = Ann();
    EXPECT_EQ(ann.settings.FOV, 95.0f);
    EXPECT_EQ(ann.settings.SwivelSpeed, 4.0f);
    EXPECT_TRUE(ann.enabled);
    // Bytes beyond ASCII are left alone rather than misread as letters.
    Run("vistorb_set f\xc3\x96v 80");
    EXPECT_THAT(host.LogLines(), ElementsAre("Unknown value f\xc3\x96v"));
}

TEST_F(SetCommand, EnabledSwitchesAtOneHalfAndReachesTheCameraAtOnce) {
    for (const char* on : {"0.5", "1", "7"}) {
        Run(std::string("vistorb_set enabled 0"));
        Run(std::string("vistorb_set enabled ") + on);
        EXPECT_TRUE(Ann().enabled) << on;
    }
    for (const char* off : {"0", "0.49", "off", "on"}) {
        Run("vistorb_set enabled 1");
        Run(std::string("vistorb_set enabled ") + off);
        EXPECT_FALSE(Ann().enabled) << off;
    }
    // Each change was written into the camera straight away: the player is in focus.
    Run("vistorb_set fov 100");
    Run("vistorb_set enabled 1");
    EXPECT_TRUE(Same(host.Camera().settings, ProfileCameraSettings{100, 91, 92, 93, 94, 95, 96}));
    Run("vistorb_set enabled 0");
    EXPECT_TRUE(Same(host.Camera().settings, Cam(90)));

    // The focused entry is edited but the camera follows someone else: nothing is written yet.
    size_t before = Writes();
    {
        std::lock_guard<std::mutex> lock(plugin->stateLock);
        plugin->focusedId = "Player_Bot_Zed";
    }
    Run("vistorb_set enabled 1");
    EXPECT_TRUE(Table().at("Player_Bot_Zed").enabled);
    EXPECT_EQ(Writes(), before);
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(SetCommand, RandomRangesDrawInsideOneOfTheirPairs) {
    std::srand(3);
    bool lowPair = false, highPair = false;
    for (int i = 0; i < 200; ++i) {
        Run("vistorb_set angle (-10,-5)");
        float angle = Ann().settings.Pitch;
        EXPECT_GE(angle, -10.0f);
        EXPECT_LE(angle, -5.0f);

        Run("vistorb_set distance (100,150,300,350)");
        float distance = Ann().settings.Distance;
        bool low = distance >= 100 && distance <= 150, high = distance >= 300 && distance <= 350;
        EXPECT_TRUE(low || high) << distance;
        lowPair |= low;
        highPair |= high;
    }
    EXPECT_TRUE(lowPair && highPair);

    // The table's bounds still apply to what was drawn.
    Run("vistorb_set fov (200,300)");
    EXPECT_EQ(Ann().settings.FOV, 110.0f);
    // An odd piece is never used; an equal pair gives its value.
    Run("vistorb_set height (50,50,1000)");
    EXPECT_EQ(Ann().settings.Height, 50.0f);
}

TEST_F(SetCommand, UnreadableRangesAndNonNumbersBecomeZeroThenClamped) {
    for (const char* text : {"(a,b)", "(50,60", "(,)", "(1e39,2)", "(,60)", "()", "nan", "(nan,nan)", "(nan,60)",
                             "(1,nan)", "NAN"}) {
        Run("vistorb_set height 100");
        Run(std::string("vistorb_set height ") + text);
        EXPECT_EQ(Ann().settings.Height, 40.0f) << text;
    }
    // Infinities and numbers beyond float clamp to the bounds like any large value.
    Run("vistorb_set fov inf");
    EXPECT_EQ(Ann().settings.FOV, 110.0f);
    Run("vistorb_set fov -inf");
    EXPECT_EQ(Ann().settings.FOV, 60.0f);
    Run("vistorb_set distance 1e300");
    EXPECT_EQ(Ann().settings.Distance, 400.0f);
    Run("vistorb_set angle -1e300");
    EXPECT_EQ(Ann().settings.Pitch, -15.0f);
    Run("vistorb_set enabled nan");
    EXPECT_FALSE(Ann().enabled);
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST(SetCommandParse, RandomRangeShapeAndSplitting) {
    EXPECT_TRUE(IsRandomRange("(60,110)"));
    EXPECT_TRUE(IsRandomRange("(,)"));
    EXPECT_TRUE(IsRandomRange("(1,2,3)"));
    EXPECT_FALSE(IsRandomRange(""));
    EXPECT_FALSE(IsRandomRange("("));
    EXPECT_FALSE(IsRandomRange("()"));
    EXPECT_FALSE(IsRandomRange("(50,60"));
    EXPECT_FALSE(IsRandomRange("50,60)"));
    EXPECT_FALSE(IsRandomRange(" (50,60)"));

    std::vector<std::string> pieces{"stale"};
    EXPECT_EQ(SplitOnComma(",a,,", pieces), 4u);
    EXPECT_THAT(pieces, ElementsAre("", "a", "", ""));
    EXPECT_EQ(SplitOnComma("", pieces), 1u);
    EXPECT_THAT(pieces, ElementsAre(""));
    EXPECT_EQ(SplitOnComma("100,150,300,350)", pieces), 4u);
    EXPECT_THAT(pieces, ElementsAre("100", "150", "300", "350)"));
}

TEST(SetCommandParse, TheResultIsAlwaysFinite) {
    EXPECT_EQ(ParseValue("90abc"), 90.0f);
    EXPECT_EQ(ParseValue("abc"), 0.0f);
    EXPECT_EQ(ParseValue("nan"), 0.0f);
    EXPECT_EQ(ParseValue("-nan(0x1)"), 0.0f);
    EXPECT_EQ(ParseValue("(-inf,inf)"), 0.0f);  // inf - -inf and onwards is NaN
    EXPECT_EQ(ParseValue("inf"), FLT_MAX);
    EXPECT_EQ(ParseValue("-infinity"), -FLT_MAX);
    EXPECT_EQ(ParseValue("1e39"), FLT_MAX);
    EXPECT_THROW(RandomInRange("(12)"), std::invalid_argument);  // no pair to draw from
}

namespace {

// A numeric locale whose decimal point is a comma, as a game process may set, made for the test
// (from a definition of its own, so that no installed locale is needed) and undone afterwards.
class DecimalCommaLocale {
public:
    DecimalCommaLocale() {
#if defined(_WIN32)
        active = std::setlocale(LC_NUMERIC, "German_Germany.1252") != nullptr;
#else
        scratch.emplace("vistorb-locale");
        const std::filesystem::path& folder = scratch->Path();
        std::ofstream(folder / "comma") << "LC_CTYPE\ncopy \"POSIX\"\nEND LC_CTYPE\nLC_NUMERIC\n"
                                           "decimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\ngrouping 3;3\n"
                                           "END LC_NUMERIC\n";
        // Missing categories only draw warnings, hence -c and no look at the exit status.
        const std::string make = "localedef -c -i '" + (folder / "comma").string() + "' -f UTF-8 '" +
                                 (folder / "xx_COMMA.UTF-8").string() + "' >/dev/null 2>&1";
        (void)std::system(make.c_str());
        setenv("LOCPATH", folder.c_str(), 1);
        active = std::setlocale(LC_NUMERIC, "xx_COMMA.UTF-8") != nullptr;
#endif
    }
    ~DecimalCommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
#if !defined(_WIN32)
        unsetenv("LOCPATH");
#endif
    }
    // The locale is in force and really reads a comma where C reads a point.
    bool Active() const { return active && std::strtod("0,5", nullptr) == 0.5; }

private:
    bool active = false;
    std::optional<sim::TemporaryFolder> scratch;
};

// Texts as every reader of numbers must take them: decimal and hexadecimal forms, blanks and
// signs before, text after, numbers beyond the range, infinities and NaN.
const char* const kNumberTexts[] = {
    "0.45",  "75.5", " \t+12.25x", "-0.5",   ".5",     "5.",      "1e3",   "1.5e-3", "2E+2",     "0x1.8p1",
    "0X10",  "0x",   "0xg",        "-0x.8",  "0x.p1",  "1e400",   "-1e400", "1e-400", "-1e-400", "0x1p99999",
    "inf",   "-INFINITY", "nan",   "+-1",    "--1",    "",        "e5",    "1,5",    "  ",       "1e",
    "1e+",   "00012.5000", "-0",   "0.0000000000000000000000000000000000000000000000001",
};

float CLocaleReading(const char* text) {
    const double value = std::strtod(text, nullptr);
    if (std::isnan(value)) return 0.0f;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

}  // namespace

// The console reads numbers as the C locale does, whatever locale the process runs in.
TEST(SetCommandParse, NumbersReadTheSameInEveryLocale) {
    std::vector<float> inC;
    for (const char* text : kNumberTexts) {
        inC.push_back(ParseValue(text));
        EXPECT_EQ(inC.back(), CLocaleReading(text)) << "\"" << text << "\"";
    }
    std::string hundredDigits = "1" + std::string(400, '0');
    EXPECT_EQ(ParseValue(hundredDigits), FLT_MAX);
    EXPECT_EQ(ParseValue("0." + std::string(400, '0') + "1"), 0.0f);

    DecimalCommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "no decimal-comma locale could be made here";
    ASSERT_EQ(std::strtod("0.45", nullptr), 0.0) << "the locale reads a point as the end of the number";
    for (size_t i = 0; i < std::size(kNumberTexts); ++i)
        EXPECT_EQ(ParseValue(kNumberTexts[i]), inC[i]) << "\"" << kNumberTexts[i] << "\"";
    EXPECT_EQ(ParseValue("0.45"), 0.45f);
    EXPECT_EQ(ParseValue("(-10.5,-10.5)"), -10.5f);
    EXPECT_EQ(ParseValue("(0.25,0.25,0.25,0.25)"), 0.25f);
    EXPECT_THROW(RandomInRange("(1e39,2)"), std::out_of_range);
    EXPECT_THROW(RandomInRange("(x,2)"), std::invalid_argument);
}

TEST_F(SetCommand, ADecimalCommaLocaleReadsTheCommandsNumbersAsEver) {
    DecimalCommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "no decimal-comma locale could be made here";
    Run("vistorb_set stiffness 0.45");
    Run("vistorb_set enabled 0.5");
    Run("vistorb_set fov 75.5");
    EXPECT_EQ(Ann().settings.Stiffness, 0.45f);
    EXPECT_TRUE(Ann().enabled);
    EXPECT_EQ(Ann().settings.FOV, 75.5f);
    EXPECT_THAT(host.LogLines(), IsEmpty());
}
