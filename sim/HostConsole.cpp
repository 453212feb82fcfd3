// The host's console: lines split into commands and words, the commands the host itself knows
// ("sleep", the menu commands), and the plugin's notifiers for the rest.
#include <cstdlib>

#include "sim/Host.h"

namespace sim {

void Host::RunConsoleLine(const std::string& line) {
    RunOnGameThread([this, line] {
        auto commands = SplitCommandLine(line);
        if (commands.empty()) return;
        std::vector<std::string> first = commands.front();
        commands.erase(commands.begin());
        RunCommandWords(first, std::move(commands));
    });
}


void Host::RunCommandWords(const std::vector<std::string>& words, std::vector<std::vector<std::string>> rest) {
    const std::string& name = words.front();
    if (name == "sleep") {
        // The rest of the line runs that many milliseconds of game time later.
        double ms = words.size() > 1 ? std::atof(words[1].c_str()) : 0.0;
        if (rest.empty()) return;
        std::lock_guard<std::mutex> lock(mu);
        timers.push_back(Timer{gameTime + ms / 1000.0, timerOrder++, [this, rest](GameWrapper*) mutable {
                                   std::vector<std::string> next = rest.front();
                                   rest.erase(rest.begin());
                                   RunCommandWords(next, std::move(rest));
                               }});
        return;
    }
    if (name == "openmenu" || name == "togglemenu" || name == "closemenu") {
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
    } else {
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
    if (!rest.empty()) {
        std::vector<std::string> next = rest.front();
        rest.erase(rest.begin());
        RunCommandWords(next, std::move(rest));
    }
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
