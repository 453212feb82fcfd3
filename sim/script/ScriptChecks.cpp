// The checks of a script: "expect" against the state JSON and the console log, "log mark", and
// the dotted paths that name a value of the state.
#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "sim/game/Host.h"
#include "sim/script/Script.h"
#include "sim/base/Support.h"

namespace sim {

using Status = ScriptRunner::Status;
using nlohmann::json;

namespace {

std::string Join(const std::vector<std::string>& words, size_t from) {
    std::string text;
    for (size_t i = from; i < words.size(); ++i) text += (i > from ? " " : "") + words[i];
    return text;
}

bool SameValue(const json& actual, const std::string& expected) {
    if (actual.is_number()) {
        double want;
        if (!ParseNumber(expected, want)) return false;
        const double have = actual.get<double>();
        if (std::isnan(want) || std::isnan(have)) return std::isnan(want) && std::isnan(have);
        if (std::isinf(want) || std::isinf(have)) return want == have;
        // The state shows floats widened to double; a script writes them as decimals.
        return std::fabs(have - want) <= 1e-6 * std::max({1.0, std::fabs(have), std::fabs(want)});
    }
    if (actual.is_boolean()) return expected == (actual.get<bool>() ? "true" : "false");
    if (actual.is_string()) return actual.get<std::string>() == expected;
    if (actual.is_null()) return expected == "null";
    return DumpJson(actual) == expected;
}

}  // namespace

const json* FindJsonPath(const json& document, const std::string& path, std::string& error) {
    const json* node = &document;
    size_t i = 0;
    auto member = [&](const std::string& key) -> bool {
        if (!node->is_object() || !node->contains(key)) {
            error = fmt::format("'{}' has no member '{}'", path, key);
            return false;
        }
        node = &(*node)[key];
        return true;
    };
    while (i < path.size()) {
        if (path[i] == '.') {
            ++i;
            continue;
        }
        if (path[i] == '[') {
            // [2] indexes a list; [key] names a member, for keys a dot would cut apart.
            size_t close = path.find(']', i);
            if (close == std::string::npos) break;
            std::string inside = path.substr(i + 1, close - i - 1);
            if (inside.size() >= 2 && inside.front() == '"' && inside.back() == '"')
                inside = inside.substr(1, inside.size() - 2);
            i = close + 1;
            if (node->is_object()) {
                if (!member(inside)) return nullptr;
                continue;
            }
            long index;
            if (!ParseInteger(inside, index)) {
                i = std::string::npos;
                break;
            }
            if (!node->is_array() || index < 0 || static_cast<size_t>(index) >= node->size()) {
                error = fmt::format("'{}' has no element [{}]", path, index);
                return nullptr;
            }
            node = &(*node)[static_cast<size_t>(index)];
            continue;
        }
        size_t end = path.find_first_of(".[", i);
        if (end == std::string::npos) end = path.size();
        if (!member(path.substr(i, end - i))) return nullptr;
        i = end;
    }
    if (i != path.size()) {
        error = fmt::format("'{}' is not a path (a.b, a[2], a[key])", path);
        return nullptr;
    }
    return node;
}

Status ScriptRunner::Log(const ScriptLine& line) {
    if (line.args.size() != 1 || line.args[0] != "mark") return Usage(line);
    logMark = host.LogLines().size();
    return Status::Ok;
}

Status ScriptRunner::Expect(const ScriptLine& line) {
    const std::vector<std::string>& args = line.args;
    if (args.size() < 2) return Usage(line);
    const std::string& kind = args[0];
    if (kind == "log" || kind == "nolog" || kind == "logcount") return ExpectLog(line);

    const json state = SessionState();
    std::string error;
    if (kind == "count") {
        long count;
        if (args.size() != 3 || !ParseInteger(args[2], count)) return Usage(line);
        const json* node = FindJsonPath(state, args[1], error);
        if (!node) return Fail(line.where, error);
        if (!node->is_array() && !node->is_object())
            return Fail(line.where, fmt::format("{} is not a list: {}", args[1], DumpJson(*node)));
        if (node->size() != static_cast<size_t>(count))
            return Fail(line.where, fmt::format("expected {} entries in {}, found {}", count, args[1], node->size()));
        return Status::Ok;
    }
    if (args.size() != 2) return Usage(line);
    const json* node = FindJsonPath(state, kind, error);
    if (!node) return Fail(line.where, error);
    if (!SameValue(*node, args[1]))
        return Fail(line.where, fmt::format("expected {} to be {}, found {}", kind, args[1], DumpJson(*node)));
    return Status::Ok;
}

Status ScriptRunner::ExpectLog(const ScriptLine& line) {
    const std::vector<std::string>& args = line.args;
    const std::string& kind = args[0];
    const std::vector<std::string> lines = host.LogLines();
    const size_t from = std::min(logMark, lines.size());
    if (kind == "logcount") {
        long count;
        if (args.size() != 2 || !ParseInteger(args[1], count)) return Usage(line);
        const size_t have = lines.size() - from;
        if (have != static_cast<size_t>(count))
            return Fail(line.where, fmt::format("expected {} log lines since the mark, found {}", count, have));
        return Status::Ok;
    }
    const std::string text = Join(args, 1);
    const auto found = std::find(lines.begin() + static_cast<long>(from), lines.end(), text);
    if (kind == "log") {
        if (found == lines.end()) return Fail(line.where, fmt::format("expected the log line \"{}\"", text));
        // Checks read the log in order: the next one starts after this line.
        logMark = static_cast<size_t>(found - lines.begin()) + 1;
    } else if (found != lines.end()) {
        return Fail(line.where, fmt::format("did not expect the log line \"{}\"", text));
    }
    return Status::Ok;
}

}  // namespace sim
