// The preset store: its name rules, its folder, the load, and the cache's map of files to
// records. The changes (save, delete, rename) are in PresetStoreChanges.cpp.
#include "presets/PresetStore.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "core/CameraValues.h"
#include "core/LogLine.h"
#include "presets/PresetFiles.h"
#include "presets/PresetPath.h"

namespace fs = std::filesystem;

namespace {

bool NameLess(const CameraPreset& a, const CameraPreset& b) { return a.name < b.name; }

bool SameRecord(const CameraPreset& a, const CameraPreset& b) {
    if (a.name != b.name) return false;
    for (const CameraValue& value : kCameraValues)
        if (!(a.settings.*value.member == b.settings.*value.member)) return false;
    return true;
}

}  // namespace

// A refused name goes into the log quoted, with control bytes spelled out, so that an empty
// name or a stray line break is visible on the console.
std::string PrintableName(const std::string& name) {
    std::string text = "\"";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) {
            text += fmt::format("\\x{:02X}", static_cast<unsigned>(c));
        } else {
            text += static_cast<char>(c);
        }
    }
    text += '"';
    return text;
}


// After the records of the same name (if any), as a stable insertion would put it; no re-sort.
void InsertByName(std::vector<CameraPreset>& presets, const CameraPreset& preset) {
    presets.insert(std::upper_bound(presets.begin(), presets.end(), preset, NameLess), preset);
}

// Only what would leave the folder, or what the platform cannot hold as the name's file: on
// POSIX a name is the file name's bytes, so only "/" and NUL are beyond it ("." gives "..json",
// a file like any other). The empty name's ".json" would never load again.
const char* PresetNameProblem(const std::string& name) {
    if (name.empty()) return "it is empty";
    for (unsigned char c : name) {
        if (c == '\0') return "it holds a control character";
        if (c == '/') return "it holds a path separator";
#if defined(_WIN32)
        if (c < 0x20 || c == 0x7F) return "it holds a control character";
        if (c == '\\') return "it holds a path separator";
#endif
    }
#if defined(_WIN32)
    const unsigned char first = static_cast<unsigned char>(name[0]);
    const bool asciiLetter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
    if (name.size() >= 2 && asciiLetter && name[1] == ':') return "it starts with a drive";
    if (const char* problem = WindowsNameProblem(name)) return problem;
#endif
    return nullptr;
}

PresetStore::PresetStore(fs::path folder) : presetFolder(std::move(folder)) { LoadPresets(); }

PresetStore PresetStore::Open(fs::path folder) {
    PresetStore store;
    store.presetFolder = std::move(folder);
    try {
        store.LoadPresets();
    } catch (const std::exception&) {
        // LoadPresets has made the store unusable and says why.
    }
    return store;
}

// A store that could not open its folder holds nothing and acts nowhere, exactly as at a
// start-up that failed.
void PresetStore::ForgetFolder(const std::string& why) {
    unusableReason = why;
    folderHandle = preset_files::FolderHandle();
    presets.clear();
    fileRecords.clear();
    Publish();
}

bool PresetStore::Usable() const { return unusableReason.empty() && folderHandle.IsOpen(); }

std::string PresetStore::UnusableReason() const {
    if (!unusableReason.empty()) return unusableReason;
    if (!folderHandle.IsOpen()) return "no preset folder has been opened";
    return {};
}

// Also refused once the folder cannot be acted in any more (where the system can only tell by
// looking again, its path now leads elsewhere).
bool PresetStore::RefusedWithoutFolder(const char* refusal) const {
    std::string why = UnusableReason();
    if (why.empty()) {
        try {
            folderHandle.CheckStillThere();
            return false;
        } catch (const std::exception& e) {
            why = e.what();
        }
    }
    LogLine("{}, the preset folder is unavailable: {}", refusal, why);
    return true;
}

// Checked before anything is touched: a refused preset costs nothing.
bool PresetStore::RefusedValues(const CameraPreset& preset) const {
    if (RefusedWithoutFolder("Preset not saved")) return true;
    if (const char* problem = PresetNameProblem(preset.name)) {
        LogLine("Preset not saved, the name {} cannot be a file name: {}", PrintableName(preset.name), problem);
        return true;
    }
    // Written as null, such a value would make the file unreadable; read back, it would reach
    // the camera as infinity.
    if (const char* key = NonFiniteValue(preset.settings)) {
        LogLine("Preset not saved, its {} is not a finite number", key);
        return true;
    }
    return false;
}

// A relative folder would resolve against whatever the working directory is (in the game, the
// game's own folder), so it is refused before anything is created. The folder is opened afresh
// every time: a Reload after the folder was moved, removed or replaced acts in what it reads.
void PresetStore::LoadPresets() {
    try {
        if (!presetFolder.is_absolute()) {
            const std::string why =
                fmt::format("the preset folder \"{}\" is not an absolute path", PathText(presetFolder));
            ForgetFolder(why);
            throw fs::filesystem_error(why, presetFolder, std::make_error_code(std::errc::invalid_argument));
        }
        fs::create_directories(presetFolder);
        preset_files::FolderHandle opened = preset_files::FolderHandle::Open(presetFolder);
        LogLine("Reading camera preset json files recursively from {}", PathText(presetFolder));
        std::vector<preset_files::LoadedPreset> loaded = preset_files::ReadPresetFolder(presetFolder);
        LogLine("Done reading camera presets");
        folderHandle = std::move(opened);
        presets.clear();
        fileRecords.clear();
        for (preset_files::LoadedPreset& one : loaded) {
            presets.push_back(one.preset);
            const std::string key = FileKey(one.file);  // before the move below
            fileRecords[key] = FileRecord{std::move(one.file), std::move(one.preset)};
        }
        std::sort(presets.begin(), presets.end(), NameLess);
        unusableReason.clear();
        Publish();
    } catch (const fs::filesystem_error& e) {
        if (e.code() != std::errc::invalid_argument || presetFolder.is_absolute()) ForgetFolder(e.what());
        throw;
    } catch (const std::exception& e) {
        ForgetFolder(e.what());
        throw;
    }
}

void PresetStore::Reload() {
    try {
        LoadPresets();
    } catch (const std::exception&) {
        // LoadPresets made the store unusable; it says why below, as at start-up.
    }
    LogUnavailable();
}

void PresetStore::LogUnavailable() const {
    if (!Usable()) LogLine("Vistorb could not open its preset folder, presets are unavailable: {}", UnusableReason());
}

bool PresetStore::SetFileRecord(const fs::path& file, const std::optional<CameraPreset>& record) {
    const std::string key = FileKey(file);
    const auto held = fileRecords.find(key);
    const bool had = held != fileRecords.end();
    bool placed = false;
    if (had) {
        const auto cached = std::find_if(presets.begin(), presets.end(),
                                         [&](const CameraPreset& p) { return SameRecord(p, held->second.preset); });
        if (cached != presets.end() && record && record->name == cached->name) {
            cached->settings = record->settings;  // same name: the record keeps its place
            placed = true;
        } else if (cached != presets.end()) {
            presets.erase(cached);
        }
    }
    if (record && !placed) InsertByName(presets, *record);
    if (record)
        fileRecords[key] = FileRecord{file, *record};
    else if (had)
        fileRecords.erase(held);
    return had;
}

void PresetStore::Publish() {
    auto copy = std::make_shared<const std::vector<CameraPreset>>(presets);
    auto ownFiles = std::make_shared<std::map<std::string, CameraPreset>>();
    for (const auto& [key, held] : fileRecords)
        if (!PresetNameProblem(held.preset.name) && key == FileKey(PresetFileNameFor(held.preset.name)))
            ownFiles->emplace(held.preset.name, held.preset);
    std::lock_guard<std::mutex> lock(publication->lock);
    publication->presets = std::move(copy);
    publication->ownFiles = std::move(ownFiles);
}

std::shared_ptr<const std::vector<CameraPreset>> PresetStore::Published() const {
    std::lock_guard<std::mutex> lock(publication->lock);
    return publication->presets;
}

std::optional<CameraPreset> PresetStore::FindPublished(const std::string& name) const {
    std::shared_ptr<const std::vector<CameraPreset>> published;
    std::shared_ptr<const std::map<std::string, CameraPreset>> ownFiles;
    {
        std::lock_guard<std::mutex> lock(publication->lock);
        published = publication->presets;
        ownFiles = publication->ownFiles;
    }
    const auto own = ownFiles->find(name);
    if (own != ownFiles->end()) return own->second;
    for (const CameraPreset& record : *published)
        if (record.name == name) return record;
    return std::nullopt;
}

std::optional<CameraPreset> PresetStore::RecordOfFile(const fs::path& file) const {
    const auto held = fileRecords.find(FileKey(file));
    if (held == fileRecords.end()) return std::nullopt;
    return held->second.preset;
}

std::optional<fs::path> PresetStore::FileOfRecord(const CameraPreset& record) const {
    for (const auto& [key, held] : fileRecords)
        if (SameRecord(held.preset, record)) return held.file;
    return std::nullopt;
}

// The name's file as it is on disk: the UTF-8 one, or an earlier version's when only that exists.
fs::path PresetStore::ExistingFileName(const std::string& name) const {
    const fs::path file = PresetFileNameFor(name);
    const auto legacy = LegacyPresetFileName(name);
    if (!legacy) return file;
    std::error_code error;
    using Type = preset_files::FolderHandle::EntryType;
    if (folderHandle.TypeOf(file, error) != Type::Missing) return file;
    return folderHandle.TypeOf(*legacy, error) != Type::Missing ? *legacy : file;
}

std::optional<CameraPreset> PresetStore::FindPreset(const std::string& name) const {
    for (const CameraPreset& record : presets) {
        if (record.name == name) return record;
    }
    return std::nullopt;
}
