// The host's console: lines split into commands and words, the commands the host itself knows
// ("sleep", the menu commands), and the plugin's notifiers for the rest.
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>

#include "sim/game/Host.h"

namespace sim {

void Host::RunConsoleLine(const std::string& line) {
    RunOnGameThread([this, line] {
        auto commands = std::make_shared<const CommandList>(SplitCommandLine(line));
        RunCommands(commands, 0);
    });
}

// The commands of one line, from `next` on, one after the other. A "sleep" hands the rest of the
// line to a timer and stops; the line itself is shared, never copied, so a line of any length
// costs time in proportion to it and no stack at all.
void Host::RunCommands(const std::shared_ptr<const CommandList>& commands, size_t next) {
    for (; next < commands->size(); ++next) {
        const std::vector<std::string>& words = (*commands)[next];
        if (words.front() != "sleep") {
            RunCommandWords(words);
            continue;
        }
        // The rest of the line runs that many milliseconds of game time later.
        const double ms = words.size() > 1 ? std::atof(words[1].c_str()) : 0.0;
        if (next + 1 == commands->size()) return;
        std::lock_guard<std::mutex> lock(mu);
        timers.push_back(Timer{gameTime + ms / 1000.0, timerOrder++,
                               [this, commands, next](GameWrapper*) { RunCommands(commands, next + 1); }});
        return;
    }
}

namespace {
// "sleep" first: it is the one own command that is no menu command.
constexpr const char* kOwnCommands[] = {"sleep", "openmenu", "togglemenu", "closemenu"};
}  // namespace

bool Host::IsOwnCommand(const std::string& name) {
    return std::find(std::begin(kOwnCommands), std::end(kOwnCommands), name) != std::end(kOwnCommands);
}

void Host::RunCommandWords(const std::vector<std::string>& words) {
    const std::string& name = words.front();
    if (name != kOwnCommands[0] && IsOwnCommand(name)) {
        std::function<void(const std::string&, const std::string&)> handler;
        {
            std::lock_guard<std::mutex> lock(mu);
            handler = menuHandler;
        }
        std::string menu = words.size() > 1 ? words[1] : "";
        if (handler)
            handler(name, menu);
        else
            Log("no menu host: " + name + " " + menu);
        return;
    }
    NotifierCallback callback;
    {
        std::lock_guard<std::mutex> lock(mu);
        auto it = notifiers.find(name);
        if (it != notifiers.end()) callback = it->second.callback;
    }
    if (callback)
        callback(words);
    else
        Log("Unknown command: " + name);
}

std::vector<std::vector<std::string>> Host::SplitCommandLine(const std::string& line) {
    std::vector<std::vector<std::string>> commands;
    std::vector<std::string> words;
    std::string word;
    bool inQuotes = false, haveWord = false;
    auto endWord = [&] {
        if (haveWord) words.push_back(word);
        word.clear();
        haveWord = false;
    };
    auto endCommand = [&] {
        endWord();
        if (!words.empty()) commands.push_back(words);
        words.clear();
    };
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
            haveWord = true;  // "" is an empty word, not nothing
        } else if (inQuotes) {
            word += c;
        } else if (c == ';') {
            endCommand();
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            endWord();
        } else {
            word += c;
            haveWord = true;
        }
    }
    endCommand();
    return commands;
}

}  // namespace sim
