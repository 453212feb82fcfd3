#pragma once
// Players for the simulated replay, and comparison of camera values, shared by the suites.
#include <cstring>
#include <string>

#include "bakkesmod/wrappers/wrapperstructs.h"
#include "sim/game/Host.h"

namespace test_players {

// Bit-for-bit: the camera must receive exactly the floats it was given.
inline bool Same(const ProfileCameraSettings& a, const ProfileCameraSettings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline sim::PlayerSpec Human(const std::string& uniqueId, const std::string& name, ProfileCameraSettings camera) {
    sim::PlayerSpec setup;
    setup.uniqueId = uniqueId;
    setup.name = name;
    setup.camera = camera;
    return setup;
}

// A bot has no unique id of its own: the game names it by its display name.
inline sim::PlayerSpec Bot(const std::string& name, ProfileCameraSettings camera) {
    sim::PlayerSpec setup = Human("", name, camera);
    setup.bot = true;
    return setup;
}

// A bot whose camera differs from another's only in its field of view.
inline sim::PlayerSpec Bot(const std::string& name, float fov) {
    return Bot(name, ProfileCameraSettings{fov, 100, -3, 270, 0.5f, 4, 1.2f});
}

}  // namespace test_players
