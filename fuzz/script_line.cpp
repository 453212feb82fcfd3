// The simulator's script-line splitter takes whatever a person types at its console or writes
// in a scenario file. It must never crash, its word ends must point into the line in order, and
// what it splits must survive being quoted again: quoting every word (escaping " and \) and
// splitting the result gives back the same words.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/base/Support.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

std::string Quoted(const std::string& word) {
    std::string text = "\"";
    for (char c : word) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
    }
    return text + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<sim::ScriptWord> words;
    std::string error;
    if (!sim::SplitScriptLine(line, words, error)) {
        Check(!error.empty());
        return 0;
    }
    size_t previousEnd = 0;
    for (const sim::ScriptWord& word : words) {
        Check(word.end > previousEnd);
        Check(word.end <= line.size());
        Check(word.text.size() <= word.end - previousEnd);
        previousEnd = word.end;
    }

    std::string again;
    for (const sim::ScriptWord& word : words) again += Quoted(word.text) + " ";
    std::vector<sim::ScriptWord> reread;
    Check(sim::SplitScriptLine(again, reread, error));
    Check(reread.size() == words.size());
    for (size_t i = 0; i < words.size(); ++i) Check(reread[i].text == words[i].text);
    return 0;
}
