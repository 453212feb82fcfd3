#pragma once
#include <cctype>
#include <string>

// A console word as the commands compare it: byte by byte through the C library's tolower, so in
// the default C locale only A to Z change and a UTF-8 name keeps its other bytes.
inline std::string ToLower(std::string text) {
    // Through unsigned char: tolower of a negative char other than EOF is undefined.
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
