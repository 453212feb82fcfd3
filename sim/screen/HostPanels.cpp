#include "sim/screen/HostPanels.h"

#include <algorithm>

#include <iterator>
#include <string>
#include <string_view>

#include <fmt/format.h>

#include "core/CameraValues.h"
#include "imgui.h"
#include "imgui_internal.h"
#include "sim/screen/CameraScene.h"
#include "sim/loader/State.h"

namespace sim {

namespace {

using nlohmann::json;

const ImVec4 kFocusedColour(1.0f, 0.88f, 0.35f, 1.0f);
const ImVec4 kMutedColour(0.65f, 0.68f, 0.75f, 1.0f);
const ImVec4 kRefusedColour(1.0f, 0.45f, 0.4f, 1.0f);

// The seven camera values as columns, keyed as in the state document's form of the values
// (SettingsJson), which the replay panel uses for the players' own values too.
constexpr int kCameraColumnCount = static_cast<int>(std::size(kCameraValues));

// A column's heading: the slider's label, short ("Swivel", not "SwivelSpeed"), since seven
// columns share the panel's width.
std::string HeadingOf(const CameraValue& value) {
    std::string heading = value.sliderLabel;
    constexpr std::string_view kSpeed = "Speed";
    if (heading.size() > kSpeed.size() && heading.compare(heading.size() - kSpeed.size(), kSpeed.size(), kSpeed) == 0)
        heading.resize(heading.size() - kSpeed.size());
    return heading;
}

std::string TextOf(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_boolean()) return value.get<bool>() ? "on" : "off";
    if (value.is_number()) return fmt::format("{:g}", value.get<double>());
    return "-";
}

const json& Member(const json& object, const char* key) {
    static const json missing;
    if (!object.is_object()) return missing;
    const auto it = object.find(key);
    return it == object.end() ? missing : *it;
}

// First placement of each panel; a person may move them.
void PlaceOnce(const Placement& place) {
    ImGui::SetNextWindowPos(ImVec2(place.x, place.y), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(place.w, place.h), ImGuiCond_FirstUseEver);
}

// The panels' tables: 1.86's tables, or plain columns in a scrolled child on the host's own
// 1.75, which has no tables yet. A cell is opened before it is drawn and closed after.
#if IMGUI_VERSION_NUM >= 18600
bool BeginTable(const char* id, int columns) {
    return ImGui::BeginTable(id, columns,
                             ImGuiTableFlags_Borders | ImGuiTableFlags_RowBg | ImGuiTableFlags_SizingFixedFit |
                                 ImGuiTableFlags_ScrollX | ImGuiTableFlags_ScrollY);
}
void EndTable() { ImGui::EndTable(); }
void NextRow() { ImGui::TableNextRow(); }
void OpenCell() { ImGui::TableNextColumn(); }
void CloseCell(bool /*measured*/ = true) {}
#else
// 1.75 has no tables: the cells are laid out on lines of their own, each column as wide as its
// widest cell so far (kept in the panel's state), as 1.86's fixed-fit table columns are.
struct ColumnFit {
    ImGuiStorage* storage = nullptr;
    ImGuiID base = 0;
    int column = 0;
    float x = 0.0f;
};
ColumnFit fitting;

float ColumnWidth(int column) { return fitting.storage->GetFloat(fitting.base + 1 + static_cast<ImGuiID>(column), 0.0f); }

bool BeginTable(const char* id, int /*columns*/) {
    ImGui::BeginChild(id, ImVec2(0.0f, 0.0f), true, ImGuiWindowFlags_HorizontalScrollbar);
    fitting = {ImGui::GetStateStorage(), ImGui::GetID(id), 0, 0.0f};
    return true;
}
void EndTable() { ImGui::EndChild(); }
void NextRow() {
    fitting.column = 0;
    fitting.x = 0.0f;
}
void OpenCell() {
    if (fitting.column > 0) ImGui::SameLine(fitting.x);
}
void CloseCell(bool measured = true) {
    // The gap of two spaces before the next column's text.
    const float gap = ImGui::GetStyle().ItemSpacing.x + 2.0f * ImGui::CalcTextSize(" ").x;
    const ImGuiID key = fitting.base + 1 + static_cast<ImGuiID>(fitting.column);
    if (measured && ImGui::GetItemRectSize().x > ColumnWidth(fitting.column))
        fitting.storage->SetFloat(key, ImGui::GetItemRectSize().x);
    fitting.x = (fitting.column == 0 ? ImGui::GetStyle().WindowPadding.x : fitting.x) + ColumnWidth(fitting.column) + gap;
    ++fitting.column;
}
#endif

void Cell(const std::string& text, bool focused = false) {
    OpenCell();
    if (focused)
        ImGui::TextColored(kFocusedColour, "%s", text.c_str());
    else
        ImGui::TextUnformatted(text.c_str());
    CloseCell();
}

void EmptyCell() {
    OpenCell();
    CloseCell(false);
}

void SetupColumns(const std::vector<const char*>& leading) {
#if IMGUI_VERSION_NUM >= 18600
    for (const char* heading : leading) ImGui::TableSetupColumn(heading);
    for (const CameraValue& value : kCameraValues) ImGui::TableSetupColumn(HeadingOf(value).c_str());
    ImGui::TableSetupScrollFreeze(1, 1);
    ImGui::TableHeadersRow();
#else
    NextRow();
    for (const char* heading : leading) Cell(heading);
    for (const CameraValue& value : kCameraValues) Cell(HeadingOf(value));
    ImGui::Separator();
#endif
}

// The focus button leads the row, so it stays in sight however wide the values make the table.
void ReplayRow(const PlayerSpec& player, const ReplayPanelData& data, const ReplayPanelActions& actions) {
    NextRow();
    if (player.nullRecord) {
        EmptyCell();
        Cell("(null record)");
        for (int i = 0; i < kCameraColumnCount + 1; ++i) EmptyCell();
        return;
    }
    const std::string focusId = FocusIdOf(player);
    const bool focused = focusId == data.focusActor;
    OpenCell();
    if (ImGui::SmallButton(("Focus##" + focusId).c_str()) && actions.focus) actions.focus(focusId);
    CloseCell();
    Cell(player.name + (player.bot ? " (bot)" : ""), focused);
    Cell(focusId, focused);
    const json values = SettingsJson(player.camera);
    for (const CameraValue& value : kCameraValues) Cell(TextOf(Member(values, value.jsonKey)));
}

}  // namespace

nlohmann::json PanelsJson(const PanelsShown& shown) {
    return json{{"replay", shown.replay}, {"console", shown.console}, {"overrides", shown.overrides}};
}

bool SetPanelShown(PanelsShown& shown, const std::string& panel, bool show) {
    bool* flag = panel == "replay" ? &shown.replay
                 : panel == "console" ? &shown.console
                 : panel == "overrides" ? &shown.overrides
                 : nullptr;
    if (flag) *flag = show;
    return flag != nullptr;
}

// --- Replay ------------------------------------------------------------------------------------

void DrawReplayPanel(bool* shown, const Placement& place, const ReplayPanelData& data,
                     const ReplayPanelActions& actions) {
    if (!*shown) return;
    PlaceOnce(place);
    if (ImGui::Begin(kReplayPanelTitle, shown)) {
        if (ImGui::Button(data.playing ? "Pause" : "Play") && actions.play) actions.play(!data.playing);
        ImGui::SameLine();
        if (ImGui::Button("Import") && actions.import) actions.import();
        ImGui::SameLine();
        if (ImGui::Button("Destroy HUD") && actions.destroyHud) actions.destroyHud();
        ImGui::SameLine();
        ImGui::TextColored(kMutedColour, "%s, tick %llu, %s", data.inReplay ? "replay open" : "no replay",
                           static_cast<unsigned long long>(data.tick), data.playing ? "playing" : "paused");
        ImGui::Text("Camera follows: %s", data.focusActor.empty() ? "(nobody)" : data.focusActor.c_str());
        if (BeginTable("replay players", kCameraColumnCount + 3)) {
            SetupColumns({"", "Player", "Focus id"});
            for (const PlayerSpec& player : data.players) ReplayRow(player, data, actions);
            EndTable();
        }
    }
    ImGui::End();
}

// --- Console -----------------------------------------------------------------------------------

ConsoleOutcome CheckConsoleLine(const std::string& line, const std::vector<std::string>& known) {
    const auto commands = Host::SplitCommandLine(line);
    if (commands.empty()) return ConsoleOutcome{false, "empty line"};
    for (const auto& words : commands) {
        const std::string& name = words.front();
        if (!Host::IsOwnCommand(name) && std::find(known.begin(), known.end(), name) == known.end())
            return ConsoleOutcome{false, fmt::format("unknown command '{}'", name)};
    }
    return ConsoleOutcome{};
}

namespace {

int WalkHistory(ImGuiInputTextCallbackData* data) {
    auto& state = *static_cast<ConsolePanelState*>(data->UserData);
    if (data->EventFlag != ImGuiInputTextFlags_CallbackHistory || state.history.empty()) return 0;
    const int last = static_cast<int>(state.history.size()) - 1;
    if (data->EventKey == ImGuiKey_UpArrow)
        state.historyPos = state.historyPos < 0 ? last : std::max(0, state.historyPos - 1);
    else if (data->EventKey == ImGuiKey_DownArrow && state.historyPos >= 0)
        state.historyPos = state.historyPos >= last ? -1 : state.historyPos + 1;
    const std::string& text = state.historyPos < 0 ? std::string() : state.history[state.historyPos];
    data->DeleteChars(0, data->BufTextLen);
    data->InsertChars(0, text.c_str());
    return 0;
}

// The command line edits state.input, a string that grows as the user types, and walks the
// history on Up and Down.
int CommandLineEvent(ImGuiInputTextCallbackData* data) {
    auto& state = *static_cast<ConsolePanelState*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackResize) {
        state.input.resize(static_cast<size_t>(data->BufTextLen));
        data->Buf = state.input.data();
        return 0;
    }
    return WalkHistory(data);
}

bool InputLine(const char* label, ConsolePanelState& state, ImGuiInputTextFlags flags) {
    return ImGui::InputText(label, state.input.data(), state.input.capacity() + 1,
                            flags | ImGuiInputTextFlags_CallbackResize, CommandLineEvent, &state);
}

void Submit(ConsolePanelState& state, size_t logSize, const std::function<ConsoleOutcome(const std::string&)>& run) {
    const std::string line = state.input;
    state.input.clear();
    state.historyPos = -1;
    if (line.find_first_not_of(" \t") == std::string::npos) return;
    if (state.history.empty() || state.history.back() != line) state.history.push_back(line);
    ConsoleOutcome outcome = run ? run(line) : ConsoleOutcome{false, "no console"};
    state.typed.push_back(ConsolePanelState::Typed{logSize, line, std::move(outcome)});
}

// One line of the console: a log line, a typed line, or the refusal under a typed line. Every
// row is one text line high, as the list clipper expects.
struct ConsoleRow {
    enum Kind { Log, Typed, Refused } kind;
    const std::string* log;
    const ConsolePanelState::Typed* typed;
};

std::vector<ConsoleRow> ConsoleRows(const ConsolePanelState& state, const std::vector<std::string>& log) {
    std::vector<ConsoleRow> rows;
    size_t next = 0;
    for (size_t i = 0; i <= log.size(); ++i) {
        // A log that was cleared since leaves the later typed lines at its end.
        while (next < state.typed.size() && (state.typed[next].logIndex <= i || i == log.size())) {
            const ConsolePanelState::Typed& typed = state.typed[next++];
            rows.push_back(ConsoleRow{ConsoleRow::Typed, nullptr, &typed});
            if (!typed.outcome.accepted) rows.push_back(ConsoleRow{ConsoleRow::Refused, nullptr, &typed});
        }
        if (i < log.size()) rows.push_back(ConsoleRow{ConsoleRow::Log, &log[i], nullptr});
    }
    return rows;
}

void DrawConsoleRow(const ConsoleRow& row) {
    switch (row.kind) {
    case ConsoleRow::Log: ImGui::TextUnformatted(row.log->c_str()); break;
    case ConsoleRow::Typed: ImGui::TextColored(kMutedColour, "> %s", row.typed->line.c_str()); break;
    case ConsoleRow::Refused:
        ImGui::TextColored(kRefusedColour, "refused: %s", row.typed->outcome.reason.c_str());
        break;
    }
}

}  // namespace

void DrawConsolePanel(bool* shown, const Placement& place, ConsolePanelState& state, const std::vector<std::string>& log,
                      const std::function<ConsoleOutcome(const std::string&)>& run) {
    if (!*shown) return;
    PlaceOnce(place);
    if (ImGui::Begin(kConsolePanelTitle, shown)) {
        const float inputHeight = ImGui::GetFrameHeightWithSpacing();
        ImGui::BeginChild("console log", ImVec2(0.0f, -inputHeight), true);
        const std::vector<ConsoleRow> rows = ConsoleRows(state, log);
        const bool atBottom = ImGui::GetScrollY() >= ImGui::GetScrollMaxY();
        ImGuiListClipper clipper;
        clipper.Begin(static_cast<int>(rows.size()));
        while (clipper.Step())
            for (int i = clipper.DisplayStart; i < clipper.DisplayEnd; ++i) DrawConsoleRow(rows[i]);
        clipper.End();
        if (rows.size() != state.rowsShown && atBottom) ImGui::SetScrollHereY(1.0f);
        state.rowsShown = rows.size();
        ImGui::EndChild();

        const ImGuiInputTextFlags flags = ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_CallbackHistory;
        bool submit = InputLine("Command", state, flags);
        if (submit) ImGui::SetKeyboardFocusHere(-1);  // keep typing after Enter
        ImGui::SameLine();
        submit = ImGui::Button("Run") || submit;
        if (submit) Submit(state, log.size(), run);
    }
    ImGui::End();
}

// --- Overrides ---------------------------------------------------------------------------------

namespace {

void OverrideRow(const std::string& key, const json& entry, const std::string& focusedId) {
    const bool focused = key == focusedId;
    NextRow();
    Cell(TextOf(Member(entry, "playerName")), focused);
    Cell(key, focused);
    Cell(TextOf(Member(entry, "enabled")), focused);
    const json& settings = Member(entry, "settings");
    for (const CameraValue& value : kCameraValues) Cell(TextOf(Member(settings, value.jsonKey)));
}

}  // namespace

void DrawOverridesPanel(bool* shown, const Placement& place, const json& state) {
    if (!*shown) return;
    PlaceOnce(place);
    if (ImGui::Begin(kOverridesPanelTitle, shown)) {
        const json& overrides = Member(state, "overrides");
        const json& focused = Member(state, "focusedId");
        const std::string focusedId = focused.is_string() ? focused.get<std::string>() : "";
        if (!overrides.is_object()) {
            ImGui::TextColored(kMutedColour, "No plugin table: the plugin is not loaded.");
        } else {
            ImGui::Text("Focused id: %s", focusedId.empty() ? "(none)" : focusedId.c_str());
            ImGui::Text("%zu override(s)", overrides.size());
            if (BeginTable("override table", kCameraColumnCount + 3)) {
                SetupColumns({"Player", "Focus id", "Enabled"});
                for (const auto& [key, entry] : overrides.items()) OverrideRow(key, entry, focusedId);
                EndTable();
            }
        }
    }
    ImGui::End();
}

}  // namespace sim
