// The random ranges of "vistorb_set": which draws of rand() they take and where they land.
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/ValueText.h"

namespace {

// What a seeded rand() gives on the two C libraries the plugin is built with, worked out once by
// hand from their generators: the value of a range word after srand(seed), and the draw that
// rand() gives next. A range costs two draws: the first picks the pair, the second the value,
// taken as 0 to 32767 (folded where RAND_MAX is larger) and spread over the pair.
struct SeededRange {
    unsigned seed;
    const char* text;
    float value;
    int nextDraw;
    const char* why;
};
#if defined(__GLIBC__)
// srand(42): 71876166, 708592740 (17508 folded), 1483128881; srand(1): 1804289383, 846930886
// (9158 folded), 1681692777.
const SeededRange kSeededRanges[] = {
    {42, "(0,32767)", 17508.0f, 1483128881, "the value draw, folded"},
    {1, "(0,32767)", 9158.0f, 1681692777, "the value draw, folded"},
    {42, "(10,20)", 15.343181f, 1483128881, "10 + 10 * 17508 / 32767"},
    {42, "(100,150,300,350)", 126.715903f, 1483128881, "an even pair draw picks the first pair"},
    {1, "(100,150,300,350)", 313.974425f, 1681692777, "an odd pair draw picks the second pair"},
    {42, "(5,5)", 5.0f, 1483128881, "an empty pair still costs two draws"},
    {42, "(x,5)", 0.0f, 708592740, "an unreadable pair is given up after the first draw"},
};
#elif defined(_WIN32)
// srand(42): 175, 400, 17869; srand(1): 41, 18467, 6334.
const SeededRange kSeededRanges[] = {
    {42, "(0,32767)", 400.0f, 17869, "the value draw itself"},
    {1, "(0,32767)", 18467.0f, 6334, "the value draw itself"},
    {42, "(10,20)", 10.122074f, 17869, "10 + 10 * 400 / 32767"},
    {42, "(100,150,300,350)", 300.610370f, 17869, "an odd pair draw picks the second pair"},
    {42, "(5,5)", 5.0f, 17869, "an empty pair still costs two draws"},
    {42, "(x,5)", 0.0f, 400, "an unreadable pair is given up after the first draw"},
};
#endif

TEST(SetCommandParse, ARangeCallsRandTwiceFirstForThePairThenForTheValue) {
#if defined(__GLIBC__) || defined(_WIN32)
    for (const SeededRange& c : kSeededRanges) {
        SCOPED_TRACE(testing::Message() << "srand(" << c.seed << ") " << c.text << ": " << c.why);
        std::srand(c.seed);
        EXPECT_NEAR(ParseValue(c.text), c.value, 1e-3f);
        EXPECT_EQ(std::rand(), c.nextDraw);
    }
#else
    GTEST_SKIP() << "no known draws for this C library";
#endif
}

// Whatever the library's RAND_MAX, a value drawn from a pair stays inside it: a draw beyond 32767
// that was not folded would land far above the pair's top.
TEST(SetCommandParse, EveryDrawnValueStaysInsideItsPair) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::srand(seed);
        const float whole = ParseValue("(0,32767)");
        EXPECT_GE(whole, 0.0f) << "seed " << seed;
        EXPECT_LE(whole, 32767.0f) << "seed " << seed;
        EXPECT_EQ(whole, std::floor(whole)) << "seed " << seed << ": a draw is a whole number";
        std::srand(seed);
        const float narrow = ParseValue("(70,100)");
        EXPECT_GE(narrow, 70.0f) << "seed " << seed;
        EXPECT_LE(narrow, 100.0f) << "seed " << seed;
    }
}

}  // namespace
