#include "sim/script/GuiScript.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "core/CameraValues.h"
#include "imgui.h"
#include "sim/guihost/GuiHost.h"
#include "sim/loader/State.h"
#include "sim/base/Support.h"

namespace sim {

namespace {

const std::map<std::string, int> kKeys = {
    {"Enter", ImGuiKey_Enter},   {"Escape", ImGuiKey_Escape}, {"Tab", ImGuiKey_Tab},   {"Backspace", ImGuiKey_Backspace},
    {"Delete", ImGuiKey_Delete}, {"Left", ImGuiKey_LeftArrow}, {"Right", ImGuiKey_RightArrow},
    {"Up", ImGuiKey_UpArrow},    {"Down", ImGuiKey_DownArrow}, {"Home", ImGuiKey_Home}, {"End", ImGuiKey_End},
    {"Space", ImGuiKey_Space}};

const std::map<std::string, int> kCtrlKeys = {{"A", ImGuiKey_A}, {"C", ImGuiKey_C}, {"V", ImGuiKey_V},
                                              {"X", ImGuiKey_X}, {"Y", ImGuiKey_Y}, {"Z", ImGuiKey_Z}};

// One "gui" line on its way through its handler.
struct GuiLine {
    GuiHost& gui;
    const std::vector<std::string>& words;  // the verb first
    std::vector<std::string> args;          // the words after the verb, a trailing "in SCOPE" cut off
    std::string scope;
    std::string& error;
    const std::function<void(const std::string&)>& print;
    const char* usage;

    bool Usage() {
        error = std::string("usage: gui ") + usage;
        return false;
    }
    // The outcome of a GUI host operation, with its reason when it failed.
    bool Done(bool ok) {
        if (!ok) error = gui.LastError();
        return ok;
    }
    void Out(const std::string& text) {
        if (print) print(text);
    }
};

nlohmann::json ItemJson(const GuiItem& item) {
    return {{"label", item.label},
            {"window", item.window},
            {"rect", {item.minX, item.minY, item.maxX, item.maxY}},
            {"checked", item.Checked()},
            {"opened", item.Opened()},
            {"disabled", item.disabled}};
}

bool OpenOrClose(GuiLine& line) {
    if (line.args.size() != 1 || (line.args[0] != "settings" && line.args[0] != "window")) return line.Usage();
    const bool open = line.words[0] == "open";
    if (line.args[0] == "settings") {
        line.gui.ShowSettings(open);
    } else if (open) {
        line.gui.OpenWindow();
        if (!line.gui.WindowOpen()) {
            line.error = "the plugin has no window to open (is it loaded?)";
            return false;
        }
    } else {
        line.gui.CloseWindow();
    }
    line.gui.Frame();
    return true;
}

bool Frames(GuiLine& line) {
    long count = 0;
    if (line.args.size() != 1 || !ParseInteger(line.args[0], 1, 100000, count)) return line.Usage();
    line.gui.Frame(static_cast<int>(count));
    return true;
}

bool Press(GuiLine& line) {
    if (line.args.size() != 1) return line.Usage();
    return line.Done(line.gui.Press(line.args[0], line.scope));
}

bool Hover(GuiLine& line) {
    if (line.args.size() != 1) return line.Usage();
    return line.Done(line.gui.Hover(line.args[0], line.scope));
}

// The camera sliders' last index comes from the camera values' table; other sliders say theirs.
bool Drag(GuiLine& line) {
    const std::vector<std::string>& args = line.args;
    long index = 0, last = 0;
    if (args.size() == 4 && args[2] == "of") {
        if (!ParseInteger(args[3], 1, 1000000, last)) return line.Usage();
    } else if (args.size() == 2) {
        const auto known = std::find_if(std::begin(kCameraValues), std::end(kCameraValues),
                                        [&](const CameraValue& value) { return args[0] == value.sliderLabel; });
        if (known == std::end(kCameraValues)) {
            line.error = fmt::format("'{}' is not a camera slider: say 'drag {} INDEX of LAST'", args[0], args[0]);
            return false;
        }
        last = known->lastIndex;
    } else {
        return line.Usage();
    }
    if (!ParseInteger(args[1], 0, last, index)) {
        line.error = fmt::format("the index of '{}' is a whole number from 0 to {}, not '{}'", args[0], last, args[1]);
        return false;
    }
    return line.Done(line.gui.DragSlider(args[0], static_cast<int>(index), static_cast<int>(last), line.scope));
}

bool Type(GuiLine& line) {
    if (line.words.size() != 2) return line.Usage();
    line.gui.Type(line.words[1]);
    return true;
}

bool Fill(GuiLine& line) {
    if (line.args.size() != 2) return line.Usage();
    return line.Done(line.gui.Fill(line.args[0], line.args[1], line.scope));
}

bool Key(GuiLine& line) {
    if (line.words.size() != 2) return line.Usage();
    const std::string& name = line.words[1];
    if (auto key = kKeys.find(name); key != kKeys.end()) {
        line.gui.PressKey(key->second);
        return true;
    }
    if (name.rfind("ctrl+", 0) == 0) {
        std::string letter = name.substr(5);
        for (char& c : letter) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (auto key = kCtrlKeys.find(letter); key != kCtrlKeys.end()) {
            line.gui.PressKey(key->second, true);
            return true;
        }
    }
    line.error = fmt::format("unknown key '{}'", name);
    return false;
}

bool TitleBarButton(GuiLine& line) {
    if (line.words.size() != 2) return line.Usage();
    const std::string& title = line.words[1];
    return line.Done(line.words[0] == "closebutton" ? line.gui.PressCloseButton(title)
                                                    : line.gui.PressCollapseButton(title));
}

bool Screenshot(GuiLine& line) {
    if (line.words.size() < 2 || line.words.size() > 3 || line.words[1].empty()) return line.Usage();
    std::string file;
    const std::string window = line.words.size() == 3 ? line.words[2] : "";
    if (!line.Done(line.gui.Screenshot(line.words[1], window, &file))) return false;
    line.Out("[host] screenshot " + file);
    return true;
}

bool Expect(GuiLine& line) {
    const std::vector<std::string>& args = line.args;
    static const char* const kStates[] = {"present", "absent", "checked", "unchecked", "enabled", "disabled"};
    const bool known = args.size() == 2 && std::find(std::begin(kStates), std::end(kStates), args[1]) != std::end(kStates);
    if (!known && !(args.size() == 3 && args[1] == "text")) return line.Usage();
    const std::string& label = args[0];
    const std::string& state = args[1];
    const std::optional<GuiItem> item = line.gui.Find(label, line.scope);
    if (state == "absent") {
        if (item) line.error = fmt::format("'{}' is on screen", label);
        return !item;
    }
    if (!item) {
        line.error = fmt::format("'{}' is not on screen", label);
        return false;
    }
    bool holds = true;
    std::string actual;
    if (state == "checked" || state == "unchecked") {
        // A ticked box, or a list row shown as the selected one.
        const bool checked = item->Checked() || line.gui.Highlighted(label, line.scope).value_or(false);
        holds = checked == (state == "checked");
        actual = checked ? "checked" : "unchecked";
    } else if (state == "enabled" || state == "disabled") {
        holds = item->disabled == (state == "disabled");
        actual = item->disabled ? "disabled" : "enabled";
    } else if (state == "text") {
        actual = line.gui.TextOf(label, line.scope).value_or("");
        holds = actual == args[2];
        actual = "showing '" + actual + "'";
    }
    if (!holds)
        line.error = fmt::format("'{}' is {}, expected {}", label, actual, args.size() == 3 ? "'" + args[2] + "'" : state);
    return holds;
}

bool SeeOrUnsee(GuiLine& line) {
    if (line.words.size() != 2) return line.Usage();
    const bool seen = line.gui.FindText(line.words[1]).has_value();
    if (seen != (line.words[0] == "see")) {
        line.error = fmt::format(seen ? "'{}' is on screen" : "'{}' is not on screen", line.words[1]);
        return false;
    }
    return true;
}

bool Show(GuiLine& line) {
    if (line.args.size() != 1) return line.Usage();
    const std::optional<GuiItem> item = line.gui.Find(line.args[0], line.scope);
    if (!item) {
        line.error = fmt::format("'{}' is not on screen", line.args[0]);
        return false;
    }
    nlohmann::json shown = ItemJson(*item);
    shown["text"] = line.gui.TextOf(line.args[0], line.scope).value_or("");
    line.Out(DumpJson(shown));
    return true;
}

bool Items(GuiLine& line) {
    if (line.words.size() > 2) return line.Usage();
    const std::string within = line.words.size() == 2 ? line.words[1] : "";
    nlohmann::json list = nlohmann::json::array();
    for (const GuiItem& item : line.gui.Items())
        if (item.hasInfo && item.window.find(within) != std::string::npos) list.push_back(ItemJson(item));
    line.Out(DumpJson(list, 2));
    return true;
}

bool Text(GuiLine& line) {
    if (line.words.size() != 1) return line.Usage();
    for (const ScreenTextRun& run : line.gui.ScreenText())
        line.Out(fmt::format("{:>6.1f} {:>6.1f}  #{:02x}{:02x}{:02x}{:02x}  {}", run.minX, run.minY, run.Red(),
                             run.Green(), run.Blue(), run.Alpha(), run.text));
    return true;
}

// The host's own screen (the camera view and the host's panels), read or changed between frames.
bool WithScreen(GuiLine& line, const std::function<void(HostScreen&)>& work) {
    bool there = false;
    line.gui.RunOnGuiSide([&] {
        if (HostScreen* screen = line.gui.Screen()) {
            there = true;
            work(*screen);
        }
    });
    if (!there) line.error = "the GUI host shows no replay (no camera view, no host panels)";
    return there;
}

bool Panel(GuiLine& line) {
    if (line.words.size() != 3 || (line.words[1] != "show" && line.words[1] != "hide")) return line.Usage();
    bool known = false;
    if (!WithScreen(line, [&](HostScreen& screen) { known = screen.ShowPanel(line.words[2], line.words[1] == "show"); }))
        return false;
    if (!known) {
        line.error = fmt::format("there is no host panel named '{}' (replay, console, overrides)", line.words[2]);
        return false;
    }
    line.gui.Frame();
    return true;
}

bool Panels(GuiLine& line) {
    if (line.words.size() != 1) return line.Usage();
    nlohmann::json shown;
    if (!WithScreen(line, [&](HostScreen& screen) { shown = screen.PanelsJson(); })) return false;
    line.Out(DumpJson(shown));
    return true;
}

// "camera snap" settles the view at once, for a picture of where the camera belongs.
bool CameraView(GuiLine& line) {
    const bool snap = line.words.size() == 2 && line.words[1] == "snap";
    if (line.words.size() != 1 && !snap) return line.Usage();
    if (snap) {
        if (!WithScreen(line, [](HostScreen& screen) { screen.SnapCamera(); })) return false;
        line.gui.Frame();
    }
    nlohmann::json camera;
    if (!WithScreen(line, [&](HostScreen& screen) { camera = screen.CameraJson(); })) return false;
    line.Out(DumpJson(camera));
    return true;
}

struct GuiCommand {
    const char* verb;
    const char* usage;  // verbs that share a handler share their usage
    bool (*run)(GuiLine& line);
};

// The GUI lines, in the order "--help" lists them.
constexpr GuiCommand kGuiCommands[] = {
    {"open", "open|close settings|window", OpenOrClose},
    {"close", "open|close settings|window", OpenOrClose},
    {"frames", "frames N (1 to 100000)", Frames},
    {"press", "press|select LABEL [in SCOPE]", Press},
    {"select", "press|select LABEL [in SCOPE]", Press},
    {"hover", "hover LABEL [in SCOPE]", Hover},
    {"drag", "drag LABEL INDEX [of LAST] [in SCOPE]", Drag},
    {"type", "type TEXT", Type},
    {"fill", "fill LABEL TEXT [in SCOPE]", Fill},
    {"key", "key NAME", Key},
    {"closebutton", "closebutton|collapse TITLE", TitleBarButton},
    {"collapse", "closebutton|collapse TITLE", TitleBarButton},
    {"screenshot", "screenshot FILE [WINDOW] (WINDOW: that window alone, such as Vistorb)", Screenshot},
    {"expect", "expect LABEL present|absent|checked|unchecked|enabled|disabled|text TEXT [in SCOPE]", Expect},
    {"see", "see|unsee TEXT", SeeOrUnsee},
    {"unsee", "see|unsee TEXT", SeeOrUnsee},
    {"show", "show LABEL [in SCOPE]", Show},
    {"items", "items [SCOPE]", Items},
    {"text", "text", Text},
    {"panel", "panel show|hide replay|console|overrides", Panel},
    {"panels", "panels", Panels},
    {"camera", "camera [snap]", CameraView},
};

}  // namespace

std::string GuiScriptHelp() {
    std::string text;
    const char* previous = "";
    for (const GuiCommand& command : kGuiCommands) {
        if (std::string(command.usage) != previous) text += std::string("  gui ") + command.usage + "\n";
        previous = command.usage;
    }
    return text;
}

bool RunGuiScriptCommand(GuiHost& gui, const std::vector<std::string>& words, std::string& error,
                         const std::function<void(const std::string&)>& print) {
    if (words.empty()) {
        error = "usage: gui COMMAND [ARGUMENTS]";
        return false;
    }
    for (const GuiCommand& command : kGuiCommands) {
        if (words[0] != command.verb) continue;
        GuiLine line{gui, words, std::vector<std::string>(words.begin() + 1, words.end()), "", error, print,
                     command.usage};
        // A trailing "in SCOPE" narrows every widget search of the line.
        if (line.args.size() >= 3 && line.args[line.args.size() - 2] == "in") {
            line.scope = line.args.back();
            line.args.resize(line.args.size() - 2);
        }
        return command.run(line);
    }
    error = fmt::format("unknown gui command '{}'", words[0]);
    return false;
}

}  // namespace sim
