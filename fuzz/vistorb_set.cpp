// The whole "vistorb_set" path: any words, handed to the command the way the host hands them
// over (through the notifier the plugin registered at start-up), against a live override table
// and a replay camera. Whatever the words, the command answers with at most one line, changes
// at most the followed player's entry, and never lets a value outside its clamps (or one that
// is not finite) into the table or the camera.
//
// Input: the first byte chooses the situation (replay open or not, the focus on a player of the
// table or on nobody); the rest is the command's words, separated by NUL bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plugin/Vistorb.h"
#include "sdkhost/NullHostBinding.h"
#include "tests/CameraValuesPinned.h"

namespace {

const ProfileCameraSettings kOwnValues{90, 100, -5, 250, 0.5f, 4, 1.2f};

// Just enough of a host: a replay switch, a camera that records what it is given, a console that
// counts lines and keeps the one notifier. Nothing is queued or timed: the command needs neither.
class FuzzHost : public NullHostBinding {
public:
    bool inReplay = true;
    std::string focusActor;
    std::vector<ProfileCameraSettings> cameraWrites;
    size_t logLines = 0;
    NotifierCallback setCommand;

    // The one game object the command reaches.
    GameObjectHeader camera{this};

    uintptr_t CameraAddress() const { return reinterpret_cast<uintptr_t>(&camera); }
    bool IsInReplay() override { return inReplay; }
    uintptr_t GetCamera() override { return CameraAddress(); }
    void Log(const std::string&) override { ++logLines; }
    void RegisterNotifier(const std::string& name, NotifierCallback callback, const std::string&,
                          unsigned char) override {
        if (name == "vistorb_set") setCommand = std::move(callback);
    }
    std::string GetFocusActor(uintptr_t object) override { return object == CameraAddress() ? focusActor : ""; }
    void SetCameraSettings(uintptr_t, ProfileCameraSettings settings) override { cameraWrites.push_back(settings); }
    bool SetCameraState(uintptr_t, const std::string&) override { return true; }
    bool SetFocusActor(uintptr_t, const std::string&) override { return true; }
};

void Check(bool holds) {
    if (!holds) std::abort();
}

void CheckInRange(const ProfileCameraSettings& settings) {
    for (const pinned::CameraValueRow& row : pinned::kCameraValues) {
        const float v = settings.*(row.value.member);
        Check(std::isfinite(v) && v >= row.value.low && v <= row.high);
    }
}

bool SameValues(const ProfileCameraSettings& a, const ProfileCameraSettings& b) {
    for (const pinned::CameraValueRow& row : pinned::kCameraValues)
        if (a.*(row.value.member) != b.*(row.value.member)) return false;
    return true;
}

struct Session {
    FuzzHost host;
    std::shared_ptr<Vistorb> plugin = std::make_shared<Vistorb>();

    Session() {
        plugin->cvarManager = MakeConsoleWrapper(host);
        plugin->gameWrapper = MakeGameWrapper(host);
        plugin->onLoad();
        Check(static_cast<bool>(host.setCommand));
    }
};

CameraOverride Player(const std::string& key) {
    CameraOverride entry;
    entry.settings = kOwnValues;
    entry.defaultSettings = kOwnValues;
    entry.focusId = key;
    entry.playerName = key;
    return entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Session session;
    if (size == 0) return 0;
    FuzzHost& host = session.host;
    Vistorb& plugin = *session.plugin;

    const uint8_t situation = data[0];
    host.inReplay = (situation & 1) == 0;
    const std::vector<std::string> keys = {"Player_Bot_Zed", "Player_Steam|7"};
    plugin.cameraOverrides.clear();
    for (const std::string& key : keys) plugin.cameraOverrides[key] = Player(key);
    const int focus = (situation >> 1) % 3;  // 2: a player the table does not hold
    plugin.focusedId = focus < 2 ? keys[focus] : "Player_Bot_Gone";
    host.focusActor = plugin.focusedId;
    host.cameraWrites.clear();
    host.logLines = 0;

    std::vector<std::string> words(1);
    for (size_t i = 1; i < size && words.size() <= 8; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[i]);
        }
    }
    host.setCommand(words);

    Check(host.logLines <= 1);
    Check(host.cameraWrites.size() <= 1);
    const bool answered = host.logLines == 1;
    // Silence means a change, and a change reaches the followed camera at once.
    Check(answered || host.cameraWrites.size() == 1);
    if (answered) Check(host.cameraWrites.empty());
    for (const ProfileCameraSettings& written : host.cameraWrites) CheckInRange(written);
    Check(plugin.cameraOverrides.size() == keys.size());
    for (const auto& [key, entry] : plugin.cameraOverrides) {
        CheckInRange(entry.settings);
        Check(SameValues(entry.defaultSettings, kOwnValues));
        if (key != plugin.focusedId || answered) Check(SameValues(entry.settings, kOwnValues) && !entry.enabled);
    }
    return 0;
}
