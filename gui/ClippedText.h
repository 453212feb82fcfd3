#pragma once
// Text that may be far longer than the room it is shown in, such as a preset name of a megabyte.
// Measuring or drawing a text walks all of it, every frame; these stop where the room ends.
#include <cstddef>

// Where `text` (up to `end`, or its NUL when `end` is null) stops being visible in `width`
// pixels of the current font: one character past the last that starts inside, so the text is
// cut at the edge by clipping rather than short of it. Reads only that far.
const char* VisibleTextEnd(const char* text, const char* end, float width);

// `text` itself when all of it shows in `width` pixels, or else its visible part copied into
// `buffer` (cut at a character boundary, NUL-terminated) for widgets that take a C string.
const char* VisibleLabel(const char* text, size_t length, float width, char* buffer, size_t bufferSize);
