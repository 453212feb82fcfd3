// The preset file's document: the exact text we write and what reading accepts and rejects.
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "presets/CanonicalPreset.h"
#include "tests/CameraValuesPinned.h"
#include "tests/PresetSupport.h"

using nlohmann::json;
using preset_test::Cam;
using preset_test::kWideDocument;
using preset_test::WidePreset;

namespace {

std::string FovText(float value) {
    CameraPreset preset;
    preset.settings.FOV = value;
    return json(preset)["preset"]["FOV"].dump();
}

// The message of the exception that reading the text as a preset document raises, or "" if none.
std::string ReadError(const std::string& text) {
    try {
        json::parse(text).get<CameraPreset>();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

CameraPreset ReadPreset(const std::string& text) { return json::parse(text).get<CameraPreset>(); }

}  // namespace

TEST(PresetDocument, WritesTheWideExampleByteForByte) {
    EXPECT_EQ(SerializePreset(WidePreset()), kWideDocument);
    EXPECT_EQ(PresetFileName("Wide"), "Wide.json");

    // Twelve lines and nothing after the last brace.
    const std::string text = SerializePreset(WidePreset());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 11);
    EXPECT_EQ(text.back(), '}');

    // The members are sorted whatever order they were added in, and the values are doubles.
    const json document = WidePreset();
    EXPECT_TRUE(document["preset"]["FOV"].is_number_float());
    EXPECT_EQ(document.size(), 2u);
    EXPECT_EQ(document["preset"].size(), 7u);
}

TEST(PresetDocument, NumberForms) {
    EXPECT_EQ(FovText(110.0f), "110.0");
    EXPECT_EQ(FovText(-4.0f), "-4.0");
    EXPECT_EQ(FovText(0.0f), "0.0");
    EXPECT_EQ(FovText(-0.0f), "-0.0");
    EXPECT_EQ(FovText(0.5f), "0.5");
    // The float's rounding shows once widened.
    EXPECT_EQ(FovText(0.1f), "0.10000000149011612");
    EXPECT_EQ(FovText(1e16f), "1.0000000272564224e+16");
    EXPECT_EQ(FovText(1e-5f), "9.999999747378752e-06");
    EXPECT_EQ(FovText(std::numeric_limits<float>::quiet_NaN()), "null");
    EXPECT_EQ(FovText(std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(FovText(-std::numeric_limits<float>::infinity()), "null");

    // What is written reads back as the same float.
    for (float value : {0.1f, 1e16f, 1e-5f, -123.456f, 3.4028235e38f}) {
        CameraPreset preset{"n", Cam(value)};
        EXPECT_EQ(ReadPreset(SerializePreset(preset)).settings.FOV, value);
    }

    // A value that was not finite is written as null, and that file then fails to load.
    CameraPreset broken{"broken", Cam(1)};
    broken.settings.Stiffness = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ReadError(SerializePreset(broken)), "[json.exception.type_error.302] type must be number, but is null");
}

TEST(PresetDocument, NamesAreWrittenAsUtf8WithOnlyJsonEscapes) {
    const std::string quoted = "say \"hi\" \\ now";
    const std::string text = SerializePreset(CameraPreset{quoted, Cam(1)});
    EXPECT_NE(text.find(R"("preset_name": "say \"hi\" \\ now")"), std::string::npos) << text;
    EXPECT_EQ(ReadPreset(text).name, quoted);

    const std::string accented = "Caf\xC3\xA9 \xE2\x98\x85";  // "Café ★", kept as raw UTF-8
    EXPECT_NE(SerializePreset(CameraPreset{accented, Cam(1)}).find("\"" + accented + "\""), std::string::npos);

    const std::string tabbed = "a\tb";
    EXPECT_NE(SerializePreset(CameraPreset{tabbed, Cam(1)}).find(R"("a\tb")"), std::string::npos);

    try {
        SerializePreset(CameraPreset{"bad\xFF", Cam(1)});
        ADD_FAILURE() << "a name that is not UTF-8 was serialised";
    } catch (const json::type_error& e) {
        EXPECT_EQ(e.id, 316);
        EXPECT_EQ(std::string(e.what()).rfind("[json.exception.type_error.316] invalid UTF-8 byte at index ", 0), 0u)
            << e.what();
    }
}

// Files written by hand or by other tools: any key order, integer values, booleans, extra
// members, a single line, escaped characters.
TEST(PresetDocument, ReadsDocumentsFromOtherWriters) {
    const CameraPreset reordered = ReadPreset(R"({"preset_name":"Other","extra":[1,2],
        "preset":{"TransitionSpeed":7,"SwivelSpeed":6,"Stiffness":0.25,"Pitch":-3,"Height":2,
                  "FOV":90,"Distance":4e2,"Comment":"ignored"}})");
    EXPECT_EQ(reordered.name, "Other");
    EXPECT_TRUE(preset_test::SameSettings(reordered.settings, {90, 2, -3, 400, 0.25f, 6, 7}));

    // Integers written again become 90.0, and unknown members are not kept.
    const std::string rewritten = SerializePreset(reordered);
    EXPECT_NE(rewritten.find("\"FOV\": 90.0"), std::string::npos);
    EXPECT_EQ(rewritten.find("Comment"), std::string::npos);
    EXPECT_EQ(rewritten.find("extra"), std::string::npos);

    const CameraPreset booleans = ReadPreset(R"({"preset":{"FOV":true,"Height":false,"Pitch":18446744073709551615,
        "Distance":-9223372036854775808,"Stiffness":3.4e38,"SwivelSpeed":0,"TransitionSpeed":0},
        "preset_name":"\u00e9\n"})");
    EXPECT_EQ(booleans.settings.FOV, 1.0f);
    EXPECT_EQ(booleans.settings.Height, 0.0f);
    EXPECT_EQ(booleans.settings.Pitch, 18446744073709551615.0f);
    EXPECT_EQ(booleans.settings.Distance, -9223372036854775808.0f);
    EXPECT_EQ(booleans.settings.Stiffness, 3.4e38f);
    EXPECT_EQ(booleans.name, "\xC3\xA9\n");
}

// A number a float cannot hold would reach the camera as infinity: the document is refused,
// naming the first such key in reading order, after the faults that come before it.
TEST(PresetDocument, ValuesThatAreNotFiniteAsFloatsAreRefused) {
    const std::pair<std::string, std::string> cases[] = {
        {R"("FOV":1e300)", "FOV is not a finite number"},
        {R"("Stiffness":-3.5e38)", "Stiffness is not a finite number"},
        {R"("TransitionSpeed":1e39,"FOV":1e300)", "FOV is not a finite number"},
        {R"("Height":1e39,"FOV":"x")", "[json.exception.type_error.302] type must be number, but is string"},
        {R"("FOV":1e39,"Pitch":null)", "FOV is not a finite number"},
    };
    for (const auto& [members, error] : cases) {
        json document = json::parse(SerializePreset(CameraPreset{"n", Cam(1)}));
        const json changes = json::parse("{" + members + "}");
        for (const auto& [key, value] : changes.items()) document["preset"][key] = value;
        EXPECT_EQ(ReadError(document.dump()), error) << members;
        if (error.rfind("[json.", 0) != 0) {
            EXPECT_THROW(document.get<CameraPreset>(), NonFiniteValueError) << members;
        }
    }
}

TEST(PresetDocument, ReadingErrorsAndTheirMessages) {
    const std::string good = SerializePreset(CameraPreset{"g", Cam(1)});
    auto without = [&](const std::string& key) {
        json document = json::parse(good);
        if (document.erase(key) == 0) document["preset"].erase(key);
        return document;
    };

    EXPECT_EQ(ReadError(without("preset").dump()), "[json.exception.out_of_range.403] key 'preset' not found");
    EXPECT_EQ(ReadError(without("preset_name").dump()),
              "[json.exception.out_of_range.403] key 'preset_name' not found");
    for (const auto& row : pinned::kCameraValues) {
        const char* key = row.value.jsonKey;
        EXPECT_EQ(ReadError(without(key).dump()),
                  std::string("[json.exception.out_of_range.403] key '") + key + "' not found");
    }

    // The first fault in reading order is the one reported.
    json twoFaults = without("Pitch");
    twoFaults["preset_name"] = 5;
    EXPECT_EQ(ReadError(twoFaults.dump()), "[json.exception.out_of_range.403] key 'Pitch' not found");
    json threeFaults = without("Distance");
    threeFaults["preset"]["Height"] = "high";
    threeFaults["preset"]["FOV"] = nullptr;
    EXPECT_EQ(ReadError(threeFaults.dump()), "[json.exception.type_error.302] type must be number, but is null");

    const std::pair<const char*, const char*> notNumbers[] = {
        {R"("90")", "string"}, {"null", "null"}, {"[90]", "array"}, {R"({"v":90})", "object"}};
    for (const auto& [value, typeName] : notNumbers) {
        json document = json::parse(good);
        document["preset"]["FOV"] = json::parse(value);
        EXPECT_EQ(ReadError(document.dump()),
                  std::string("[json.exception.type_error.302] type must be number, but is ") + typeName);
    }

    const std::pair<const char*, const char*> notObjects[] = {
        {"[]", "array"}, {"7", "number"}, {R"("x")", "string"}, {"null", "null"}, {"false", "boolean"}};
    for (const auto& [value, typeName] : notObjects) {
        json document = json::parse(good);
        document["preset"] = json::parse(value);
        EXPECT_EQ(ReadError(document.dump()), std::string("[json.exception.type_error.304] cannot use at() with ") + typeName);
    }
    const std::pair<const char*, const char*> notStrings[] = {
        {"[]", "array"}, {"7", "number"}, {"{}", "object"}, {"null", "null"}, {"false", "boolean"}};
    for (const auto& [value, typeName] : notStrings) {
        json document = json::parse(good);
        document["preset_name"] = json::parse(value);
        EXPECT_EQ(ReadError(document.dump()), std::string("[json.exception.type_error.302] type must be string, but is ") + typeName);
    }

    EXPECT_EQ(ReadError(""),
              "[json.exception.parse_error.101] parse error at line 1, column 1: syntax error while parsing value - "
              "unexpected end of input; expected '[', '{', or a literal");
    EXPECT_EQ(ReadError(good.substr(0, good.size() - 1)).rfind("[json.exception.parse_error.101] parse error at line 12", 0), 0u);
    EXPECT_EQ(ReadError(good + "\n// note").rfind("[json.exception.parse_error.101] parse error at line 13, column ", 0), 0u);
    EXPECT_EQ(ReadError(good + " {}").rfind("[json.exception.parse_error.101] parse error at line 12, column 3", 0), 0u);

    // A byte-order mark, CR LF line ends and trailing white space are all fine.
    std::string crlf;
    for (char c : good) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(ReadError("\xEF\xBB\xBF" + crlf + "\r\n\t "), "");

    // A document that fails half-way leaves the record it was read into as it was.
    CameraPreset target{"kept", Cam(9)};
    json halfGood = json::parse(good);
    halfGood["preset"]["TransitionSpeed"] = "fast";
    EXPECT_THROW(halfGood.get_to(target), json::type_error);
    EXPECT_EQ(target.name, "kept");
    EXPECT_TRUE(preset_test::SameSettings(target.settings, Cam(9)));
}

// A load reads the files a save wrote without building a JSON document. For every text, that
// reader either declines or gives what the general reader gives, bit for bit; for what a save
// writes it must not decline, or loads would quietly take the slow road.
TEST(PresetDocument, TheSavedLayoutReaderAgreesWithTheGeneralOneOrDeclines) {
    const auto general = [](const std::string& text) { return json::parse(text).get<CameraPreset>(); };
    const auto same = [](const CameraPreset& a, const CameraPreset& b) {
        return a.name == b.name && std::memcmp(&a.settings, &b.settings, sizeof a.settings) == 0;
    };
    const float tiny = std::numeric_limits<float>::denorm_min();
    const CameraPreset saved[] = {
        WidePreset(),
        {"Kamera \xc3\xbc \xf0\x9f\x8e\xa5", {-0.0f, 1e-05f, 0.1f, 3e38f, tiny, -1e-30f, 123456789.0f}},
        {"", {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const CameraPreset& preset : saved) {
        const std::string text = SerializePreset(preset);
        const std::optional<CameraPreset> read = ReadCanonicalPreset(text);
        ASSERT_TRUE(read) << text;
        EXPECT_TRUE(same(*read, general(text))) << text;
    }
    const std::string wide = SerializePreset(WidePreset());
    const auto with = [&](const std::string& from, const std::string& to) {
        std::string text = wide;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string readable[] = {
        with("110.0", "110"), with("110.0", "-0"), with("110.0", "1.1E2"), with("110.0", "99999999999999999999"),
        with("110.0", "true"), with("\"Wide\"", "\"W\\u00fcde\""), with("\n}", "\n}\n"), "\xef\xbb\xbf" + wide,
        with("\n", "\r\n"),
    };
    for (const std::string& text : readable) {
        const std::optional<CameraPreset> read = ReadCanonicalPreset(text);
        if (read) {
            EXPECT_TRUE(same(*read, general(text))) << text;
        }
    }
    const std::string broken[] = {
        with("110.0", "1e400"), with("110.0", "01"), with("110.0", "1."), with("\"Wide\"", "\"W\xc0\xaf" "de\""),
        with("\"Wide\"", "\"W\xed\xa0\x80\""), with("\"Wide\"", "\"W\x01\""), with("\"FOV\"", "\"fov\""), wide.substr(0, wide.size() - 1),
    };
    for (const std::string& text : broken) EXPECT_FALSE(ReadCanonicalPreset(text)) << text;
}
