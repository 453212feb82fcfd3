#include "sim/GuiScript.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cstdlib>
#include <map>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "imgui.h"
#include "sim/GuiHost.h"

namespace sim {

namespace {

// The last index of each of the plugin window's stepped camera sliders, as they are shown.
const std::map<std::string, int> kCameraSliders = {{"FOV", 50},       {"Distance", 30},    {"Height", 16},
                                                  {"Angle", 15},     {"Stiffness", 20},   {"SwivelSpeed", 90},
                                                  {"TransitionSpeed", 10}};

const std::map<std::string, int> kKeys = {
    {"Enter", ImGuiKey_Enter},   {"Escape", ImGuiKey_Escape}, {"Tab", ImGuiKey_Tab},   {"Backspace", ImGuiKey_Backspace},
    {"Delete", ImGuiKey_Delete}, {"Left", ImGuiKey_LeftArrow}, {"Right", ImGuiKey_RightArrow},
    {"Up", ImGuiKey_UpArrow},    {"Down", ImGuiKey_DownArrow}, {"Home", ImGuiKey_Home}, {"End", ImGuiKey_End},
    {"Space", ImGuiKey_Space}};

const std::map<std::string, int> kCtrlKeys = {{"A", ImGuiKey_A}, {"C", ImGuiKey_C}, {"V", ImGuiKey_V},
                                              {"X", ImGuiKey_X}, {"Y", ImGuiKey_Y}, {"Z", ImGuiKey_Z}};

bool ParseInt(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

// Splits off a trailing "in SCOPE".
std::vector<std::string> TakeScope(std::vector<std::string> args, std::string& scope) {
    if (args.size() >= 3 && args[args.size() - 2] == "in") {
        scope = args.back();
        args.resize(args.size() - 2);
    }
    return args;
}

nlohmann::json ItemJson(const GuiItem& item) {
    return {{"label", item.label},
            {"window", item.window},
            {"rect", {item.minX, item.minY, item.maxX, item.maxY}},
            {"checked", item.Checked()},
            {"opened", item.Opened()},
            {"disabled", item.disabled}};
}

bool Expect(GuiHost& gui, const std::vector<std::string>& args, const std::string& scope, std::string& error) {
    const std::string& label = args[0];
    const std::string& state = args[1];
    static const char* const kStates[] = {"present", "absent", "checked", "unchecked", "enabled", "disabled"};
    const bool known = std::find(std::begin(kStates), std::end(kStates), state) != std::end(kStates);
    if (!(known && args.size() == 2) && !(state == "text" && args.size() == 3)) {
        error = "usage: gui expect LABEL present|absent|checked|unchecked|enabled|disabled|text TEXT [in SCOPE]";
        return false;
    }
    const std::optional<GuiItem> item = gui.Find(label, scope);
    if (state == "absent") {
        if (item) error = fmt::format("'{}' is on screen", label);
        return !item;
    }
    if (!item) {
        error = fmt::format("'{}' is not on screen", label);
        return false;
    }
    bool holds = true;
    std::string actual;
    if (state == "present") {
    } else if (state == "checked" || state == "unchecked") {
        // A ticked box, or a list row shown as the selected one.
        const bool checked = item->Checked() || gui.Highlighted(label, scope).value_or(false);
        holds = checked == (state == "checked");
        actual = checked ? "checked" : "unchecked";
    } else if (state == "enabled" || state == "disabled") {
        holds = item->disabled == (state == "disabled");
        actual = item->disabled ? "disabled" : "enabled";
    } else {
        actual = gui.TextOf(label, scope).value_or("");
        holds = actual == args[2];
        actual = "showing '" + actual + "'";
    }
    if (!holds) error = fmt::format("'{}' is {}, expected {}", label, actual, args.size() == 3 ? "'" + args[2] + "'" : state);
    return holds;
}

}  // namespace

bool RunGuiScriptCommand(GuiHost& gui, const std::vector<std::string>& words, std::string& error,
                         const std::function<void(const std::string&)>& print) {
    if (words.empty()) {
        error = "usage: gui COMMAND [ARGUMENTS]";
        return false;
    }
    const std::string& verb = words[0];
    std::string scope;
    const std::vector<std::string> args = TakeScope(std::vector<std::string>(words.begin() + 1, words.end()), scope);
    const auto usage = [&](const char* text) {
        error = std::string("usage: gui ") + text;
        return false;
    };
    const auto done = [&](bool ok) {
        if (!ok) error = gui.LastError();
        return ok;
    };
    const auto out = [&](const std::string& text) {
        if (print) print(text);
    };

    if (verb == "open" || verb == "close") {
        if (args.size() != 1 || (args[0] != "settings" && args[0] != "window"))
            return usage("open|close settings|window");
        const bool open = verb == "open";
        if (args[0] == "settings") {
            gui.ShowSettings(open);
        } else if (open) {
            gui.OpenWindow();
            if (!gui.WindowOpen()) {
                error = "the plugin has no window to open (is it loaded?)";
                return false;
            }
        } else {
            gui.CloseWindow();
        }
        gui.Frame();
        return true;
    }
    if (verb == "frames") {
        long count = 0;
        if (args.size() != 1 || !ParseInt(args[0], 1, 100000, count)) return usage("frames N (1 to 100000)");
        gui.Frame(static_cast<int>(count));
        return true;
    }
    if (verb == "press" || verb == "select") {
        if (args.size() != 1) return usage("press|select LABEL [in SCOPE]");
        return done(gui.Press(args[0], scope));
    }
    if (verb == "hover") {
        if (args.size() != 1) return usage("hover LABEL [in SCOPE]");
        return done(gui.Hover(args[0], scope));
    }
    if (verb == "drag") {
        long index = 0, last = 0;
        if (args.size() == 4 && args[2] == "of") {
            if (!ParseInt(args[3], 1, 1000000, last)) return usage("drag LABEL INDEX [of LAST] [in SCOPE]");
        } else if (args.size() == 2) {
            auto known = kCameraSliders.find(args[0]);
            if (known == kCameraSliders.end()) {
                error = fmt::format("'{}' is not a camera slider: say 'drag {} INDEX of LAST'", args[0], args[0]);
                return false;
            }
            last = known->second;
        } else {
            return usage("drag LABEL INDEX [of LAST] [in SCOPE]");
        }
        if (!ParseInt(args[1], 0, last, index)) {
            error = fmt::format("the index of '{}' is a whole number from 0 to {}, not '{}'", args[0], last, args[1]);
            return false;
        }
        return done(gui.DragSlider(args[0], static_cast<int>(index), static_cast<int>(last), scope));
    }
    if (verb == "type") {
        if (words.size() != 2) return usage("type TEXT");
        gui.Type(words[1]);
        return true;
    }
    if (verb == "fill") {
        if (args.size() != 2) return usage("fill LABEL TEXT [in SCOPE]");
        return done(gui.Fill(args[0], args[1], scope));
    }
    if (verb == "key") {
        if (words.size() != 2) return usage("key NAME");
        const std::string& name = words[1];
        if (auto key = kKeys.find(name); key != kKeys.end()) {
            gui.PressKey(key->second);
            return true;
        }
        if (name.rfind("ctrl+", 0) == 0) {
            std::string letter = name.substr(5);
            for (char& c : letter) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (auto key = kCtrlKeys.find(letter); key != kCtrlKeys.end()) {
                gui.PressKey(key->second, true);
                return true;
            }
        }
        error = fmt::format("unknown key '{}'", name);
        return false;
    }
    if (verb == "closebutton" || verb == "collapse") {
        if (words.size() != 2) return usage("closebutton|collapse TITLE");
        return done(verb == "closebutton" ? gui.PressCloseButton(words[1]) : gui.PressCollapseButton(words[1]));
    }
    if (verb == "screenshot") {
        if (words.size() != 2 || words[1].empty()) return usage("screenshot FILE");
        return done(gui.Screenshot(words[1]));
    }
    if (verb == "expect") {
        if (args.size() != 2 && !(args.size() == 3 && args[1] == "text"))
            return usage("expect LABEL present|absent|checked|unchecked|enabled|disabled|text TEXT [in SCOPE]");
        return Expect(gui, args, scope, error);
    }
    if (verb == "see" || verb == "unsee") {
        if (words.size() != 2) return usage("see|unsee TEXT");
        const bool seen = gui.FindText(words[1]).has_value();
        if (seen != (verb == "see")) {
            error = fmt::format(seen ? "'{}' is on screen" : "'{}' is not on screen", words[1]);
            return false;
        }
        return true;
    }
    if (verb == "show") {
        if (args.size() != 1) return usage("show LABEL [in SCOPE]");
        const std::optional<GuiItem> item = gui.Find(args[0], scope);
        if (!item) {
            error = fmt::format("'{}' is not on screen", args[0]);
            return false;
        }
        nlohmann::json shown = ItemJson(*item);
        shown["text"] = gui.TextOf(args[0], scope).value_or("");
        out(shown.dump());
        return true;
    }
    if (verb == "items") {
        if (words.size() > 2) return usage("items [SCOPE]");
        const std::string within = words.size() == 2 ? words[1] : "";
        nlohmann::json list = nlohmann::json::array();
        for (const GuiItem& item : gui.Items())
            if (item.hasInfo && item.window.find(within) != std::string::npos) list.push_back(ItemJson(item));
        out(list.dump(2));
        return true;
    }
    if (verb == "text") {
        if (words.size() != 1) return usage("text");
        for (const ScreenTextRun& run : gui.ScreenText())
            out(fmt::format("{:>6.1f} {:>6.1f}  #{:02x}{:02x}{:02x}{:02x}  {}", run.minX, run.minY, run.Red(), run.Green(),
                            run.Blue(), run.Alpha(), run.text));
        return true;
    }
    error = fmt::format("unknown gui command '{}'", verb);
    return false;
}

}  // namespace sim
