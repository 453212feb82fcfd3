#include "plugin/PresetNames.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include <fmt/format.h>

#include "plugin/ConsoleText.h"

namespace {

constexpr size_t kHintedNames = 8;
// The distance is computed over this many bytes of each name at most: a hint needs no more, and
// the game thread must not spend time in proportion to the product of two long texts.
constexpr size_t kComparedBytes = 64;

size_t EditDistance(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), kComparedBytes), m = std::min(b.size(), kComparedBytes);
    std::vector<size_t> row(m + 1);
    std::iota(row.begin(), row.end(), size_t{0});
    for (size_t i = 1; i <= n; ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= m; ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[m];
}

}  // namespace

std::optional<CameraPreset> FindPresetForCommand(const PresetStore& store, const std::string& typed) {
    if (std::optional<CameraPreset> exact = store.FindPublished(typed)) return exact;
    const std::string lowered = ToLower(typed);
    std::optional<std::string> only;
    // Held by name: a temporary in the loop's head would be released before the loop reads it.
    const std::shared_ptr<const std::vector<CameraPreset>> published = store.Published();
    for (const CameraPreset& record : *published) {
        if (ToLower(record.name) != lowered) continue;
        if (only && *only != record.name) return std::nullopt;
        only = record.name;
    }
    // Looked up again by its own name, so that of two records of that name the store's choice wins.
    return only ? store.FindPublished(*only) : std::nullopt;
}

std::vector<std::string> ClosestPresetNames(const std::vector<CameraPreset>& presets, const std::string& typed,
                                            size_t most) {
    const std::string lowered = ToLower(typed);
    std::vector<std::pair<size_t, std::string>> ranked;
    for (const CameraPreset& record : presets) {
        if (!ranked.empty() && ranked.back().second == record.name) continue;  // the cache is sorted by name
        ranked.emplace_back(EditDistance(lowered, ToLower(record.name)), record.name);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (size_t i = 0; i < ranked.size() && i < most; ++i) names.push_back(std::move(ranked[i].second));
    return names;
}

std::string PresetHintLine(const std::vector<CameraPreset>& presets, const std::string& typed) {
    const std::vector<std::string> all = ClosestPresetNames(presets, typed, presets.size());
    if (all.empty()) return "no presets";
    std::string listed;
    for (size_t i = 0; i < all.size() && i < kHintedNames; ++i)
        listed += (i ? ", " : "") + PrintableName(all[i]);
    if (all.size() <= kHintedNames) return "Presets: " + listed;
    return fmt::format("Closest of {} presets: {}", all.size(), listed);
}
