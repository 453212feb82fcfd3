// The whole "vistorb_set" path: any words, handed to the command the way the host hands them
// over (through the notifier the plugin registered at start-up), against a live override table
// and the simulated host's replay camera. Whatever the words, the command answers with at most one line, changes
// at most the followed player's entry, and never lets a value outside its clamps (or one that
// is not finite) into the table or the camera.
//
// Input: the first byte chooses the situation (replay open or not, the focus on a player of the
// table or on nobody); the rest is the command's words, separated by NUL bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/game/Host.h"
#include "tests/CameraValuesPinned.h"
#include "tests/PluginSession.h"

namespace {

const ProfileCameraSettings kOwnValues{90, 100, -5, 250, 0.5f, 4, 1.2f};

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

// The plugin started through the simulator's loader, as every test and benchmark starts it; the
// command's notifier taken once, as the host would call it.
struct Session : PluginSession<> {
    sim::Host::NotifierCallback setCommand;

    Session() {
        Start();
        setCommand = host.Notifiers().at("vistorb_set").callback;
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
    sim::Host& host = session.host;
    Vistorb& plugin = *session.plugin;

    const uint8_t situation = data[0];
    if ((situation & 1) == 0)
        host.OpenReplay();
    else
        host.CloseReplay();
    const std::vector<std::string> keys = {"Player_Bot_Zed", "Player_Steam|7"};
    const int focus = (situation >> 1) % 3;  // 2: a player the table does not hold
    const std::string followed = focus < 2 ? keys[focus] : "Player_Bot_Gone";
    host.MoveFocus(followed);
    {
        const std::lock_guard<std::mutex> lock(plugin.stateLock);
        plugin.cameraOverrides.clear();
        for (const std::string& key : keys) plugin.cameraOverrides[key] = Player(key);
        plugin.focusedId = followed;
    }
    host.ClearLog();
    host.ClearCameraWrites();

    std::vector<std::string> words(1);
    for (size_t i = 1; i < size && words.size() <= 8; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[i]);
        }
    }
    session.setCommand(words);

    const size_t lines = host.LogLines().size();
    const std::vector<sim::CameraWrite> written = host.Camera().writes;
    const size_t writes = written.size();
    Check(lines <= 1);
    Check(writes <= 1);
    const bool answered = lines == 1;
    // Silence means a change, and a change reaches the followed camera at once.
    Check(answered || writes == 1);
    if (answered) Check(writes == 0);
    for (const sim::CameraWrite& write : written) CheckInRange(write.settings);
    const std::lock_guard<std::mutex> lock(plugin.stateLock);
    Check(plugin.cameraOverrides.size() == keys.size());
    for (const auto& [key, entry] : plugin.cameraOverrides) {
        CheckInRange(entry.settings);
        Check(SameValues(entry.defaultSettings, kOwnValues));
        if (key != plugin.focusedId || answered) Check(SameValues(entry.settings, kOwnValues) && !entry.enabled);
    }
    return 0;
}
