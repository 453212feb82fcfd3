#pragma once
// Text that may be far longer than the room it is shown in, such as a preset name of a megabyte.
// Measuring or drawing a text walks all of it, every frame; these stop where the room ends.
#include <cstddef>
#include <string>
#include <string_view>

// Where `text` (up to `end`, or its NUL when `end` is null) stops being visible in `width`
// pixels of the current font: one character past the last that starts inside, so the text is
// cut at the edge by clipping rather than short of it. Reads only that far.
const char* VisibleTextEnd(const char* text, const char* end, float width);

// A widget label shows only up to its first "##". A name is shown whole when a carriage return,
// which the GUI library neither draws nor measures, stands between every two '#' in a row.
std::string WholeLabel(std::string_view text);

// `text` itself when all of it shows in `width` pixels and holds no "##", or else its visible
// part copied into `buffer` as `WholeLabel` would make it (cut at a character boundary,
// NUL-terminated) for widgets that take a C string.
const char* VisibleLabel(const char* text, size_t length, float width, char* buffer, size_t bufferSize);
