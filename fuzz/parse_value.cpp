// The console's value parser takes any text a user types: it must never crash, and whatever it
// returns must be a finite number that the command can clamp.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/ValueText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!std::isfinite(ParseValue(text))) std::abort();

    std::vector<std::string> pieces;
    size_t count = SplitOnComma(text, pieces);
    if (count != pieces.size()) std::abort();
    size_t commas = 0;
    for (char c : text) commas += c == ',';
    if (count != commas + 1) std::abort();
    return 0;
}
