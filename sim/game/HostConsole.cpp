// The host's console: lines split into commands and words, the commands the host itself knows
// ("sleep", the menu commands), and the plugin's notifiers for the rest.
#include <algorithm>
#include <cctype>
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
constexpr const char* kMenuCommands[] = {"openmenu", "togglemenu", "closemenu"};
constexpr const char* kOtherOwnCommands[] = {"sleep", "bind", "unbind", "plugin"};

template <size_t N>
bool OneOf(const char* const (&names)[N], const std::string& name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// Key names as the game knows them ignore letter case: F5 and f5 are one key.
std::string KeyId(const std::string& key) {
    std::string id = key;
    for (char& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return id;
}
}  // namespace

bool Host::IsOwnCommand(const std::string& name) { return OneOf(kMenuCommands, name) || OneOf(kOtherOwnCommands, name); }

void Host::RunCommandWords(const std::vector<std::string>& words) {
    const std::string& name = words.front();
    if (OneOf(kMenuCommands, name)) return RunMenuCommand(words);
    if (name == "bind" || name == "unbind") return RunBindCommand(words);
    if (name == "plugin") return RunPluginCommand(words);
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

void Host::RunMenuCommand(const std::vector<std::string>& words) {
    std::function<void(const std::string&, const std::string&)> handler;
    {
        std::lock_guard<std::mutex> lock(mu);
        handler = menuHandler;
    }
    std::string menu = words.size() > 1 ? words[1] : "";
    if (handler)
        handler(words.front(), menu);
    else
        Log("no menu host: " + words.front() + " " + menu);
}

// "bind KEY COMMAND" keeps the command for the key (quoted, it may hold several ';'-separated
// commands, which run when the key is pressed); "bind KEY" says what the key runs.
void Host::RunBindCommand(const std::vector<std::string>& words) {
    const bool bind = words.front() == "bind";
    const bool wellFormed = words.size() == 2 || (bind && words.size() == 3);
    if (!wellFormed) {
        Log(bind ? "usage: bind KEY \"COMMAND\" (quote a command of more than one word)" : "usage: unbind KEY");
        return;
    }
    const std::string id = KeyId(words[1]);
    std::string message;
    {
        std::lock_guard<std::mutex> lock(mu);
        auto found = binds.find(id);
        if (bind && words.size() == 3) {
            binds[id] = Bind{words[1], words[2]};
        } else if (found == binds.end()) {
            message = words[1] + " is not bound";
        } else if (bind) {
            message = found->second.key + " is bound to \"" + found->second.command + "\"";
        } else {
            binds.erase(found);
        }
    }
    if (!message.empty()) Log(message);
}

std::optional<std::string> Host::BoundCommand(const std::string& key) {
    std::lock_guard<std::mutex> lock(mu);
    auto found = binds.find(KeyId(key));
    if (found == binds.end()) return std::nullopt;
    return found->second.command;
}

bool Host::PressKey(const std::string& key) {
    const std::optional<std::string> command = BoundCommand(key);
    if (!command) return false;
    RunConsoleLine(*command);
    return true;
}

void Host::RunPluginCommand(const std::vector<std::string>& words) {
    if (words.size() != 3 || (words[1] != "load" && words[1] != "unload")) {
        Log("usage: plugin load NAME | plugin unload NAME");
        return;
    }
    std::function<void(const std::string&, const std::string&)> handler;
    {
        std::lock_guard<std::mutex> lock(mu);
        handler = pluginHandler;
    }
    if (handler)
        handler(words[1], words[2]);
    else
        Log("no plugin loader: plugin " + words[1] + " " + words[2]);
}

void Host::SetPluginHandler(std::function<void(const std::string& verb, const std::string& name)> handler) {
    std::lock_guard<std::mutex> lock(mu);
    pluginHandler = std::move(handler);
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
