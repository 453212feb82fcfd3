// The clipboard lines of a script: text put on the GUI host's clipboard, as a person copies it
// from a message or a web page before pressing "Paste", and the state that shows it.
#include <fmt/format.h>

#include "sim/script/Script.h"

namespace sim {

using Status = ScriptRunner::Status;

// "clipboard TEXT" takes the rest of the line as written, quotes and all (a copied line holds
// quotes of its own); "clipboard <<MARKER" the lines that follow, each with its line end, up to
// one that is exactly MARKER, as "file" does; "clipboard" alone empties it.
Status ScriptRunner::Clipboard(const ScriptLine& line) {
    size_t start = line.words[0].end;
    while (start < line.text.size() && (line.text[start] == ' ' || line.text[start] == '\t')) ++start;
    std::string rest = line.text.substr(std::min(start, line.text.size()));
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.pop_back();
    if (rest.rfind("<<", 0) != 0) return PutOnClipboard(rest, line.where);

    std::string marker = rest.substr(2);
    marker.erase(0, marker.find_first_not_of(" \t"));
    if (marker.empty() || marker.find_first_of(" \t") != std::string::npos)
        return Fail(line.where, "usage: clipboard <<MARKER (one word ends the text)", Status::BadLine);
    if (!clipboard.put) return Fail(line.where, "no GUI host is running: there is no clipboard");
    pendingFileOpen = true;
    pendingFile = PendingFile{{}, marker, line.where, "", /*toClipboard=*/true};
    return Status::Ok;
}

Status ScriptRunner::PutOnClipboard(const std::string& text, const std::string& where) {
    if (!clipboard.put) return Fail(where, "no GUI host is running: there is no clipboard");
    clipboard.put(text);
    Print(fmt::format("[host] put {} bytes on the clipboard", text.size()));
    return Status::Ok;
}

nlohmann::json ScriptRunner::SessionState() {
    nlohmann::json state = StateJson(host, loader, guiSide);
    state["clipboard"] = clipboard.read ? nlohmann::json(clipboard.read()) : nlohmann::json();
    return state;
}

}  // namespace sim
