#pragma once
// The value word of "vistorb_set": a plain number, or a random range such as (60,110) or
// (100,150,300,350), from which a number is drawn with rand().
#include <cstddef>
#include <string>
#include <vector>

// The number a value text stands for. A text without a leading number, a range that cannot be
// read, and NaN all give 0; infinities come back as the largest finite float of their sign, so
// the caller's clamping puts them on a bound. The result is always finite.
float ParseValue(std::string text);

// True for "(" ... ")" with at least one comma in between.
bool IsRandomRange(const std::string& text);

// Draws a number from a range text: rand() picks one (lower, upper) pair, then rand(), taken
// as 0 to 32767, picks a value inside it, bounds included. Throws std::invalid_argument or std::out_of_range for an unreadable range.
float RandomInRange(const std::string& text);

// Fills pieces with the texts between commas (empty ones kept: n commas give n + 1 pieces) and
// returns how many there are.
size_t SplitOnComma(const std::string& text, std::vector<std::string>& pieces);
