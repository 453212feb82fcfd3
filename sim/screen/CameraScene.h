#pragma once
// The replay scene the simulator shows through its camera view: a pitch with its lines and two
// goals, a ball, and one box per player of the replay. Everything moves along fixed paths that
// depend on the replay tick alone, so the same tick always shows the same picture (tests and
// screenshots rely on that).
//
// World units and axes follow the game's: unreal units, x along the pitch (goals at both ends),
// y across it, z up. Headings are yaw angles in radians, counted from +x towards +y.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/game/Host.h"

namespace sim {

inline constexpr double kReplayTicksPerSecond = 120.0;

// The pitch, roughly the game's proportions.
inline constexpr float kPitchHalfLength = 5120.0f;
inline constexpr float kPitchHalfWidth = 4096.0f;
inline constexpr float kGoalHalfWidth = 893.0f;
inline constexpr float kGoalHeight = 642.0f;
inline constexpr float kGoalDepth = 880.0f;
inline constexpr float kCentreCircleRadius = 1000.0f;
inline constexpr float kBallRadius = 93.0f;
// A player's box: length, width, height.
inline constexpr float kCarLength = 118.0f;
inline constexpr float kCarWidth = 84.0f;
inline constexpr float kCarHeight = 36.0f;

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Rgb {
    unsigned char r = 0, g = 0, b = 0;
};

struct ScenePlayer {
    std::string focusId;  // as the camera names its focus: "Player_" + unique id, "Player_Bot_" + name
    std::string name;
    int team = 0;         // 0 blue (defends -x), 1 orange (defends +x)
    Rgb colour;
    Vec3 position;        // centre of the box's floor
    float heading = 0.0f; // where the player drives, radians
};

struct Segment {
    Vec3 a, b;
};

struct Scene {
    uint64_t tick = 0;
    Vec3 ball;  // centre of the ball
    std::vector<ScenePlayer> players;
};

// The focus id the host gives this player's camera focus. Empty for a null record.
std::string FocusIdOf(const PlayerSpec& player);

// Where everything is at `tick`. Null player records have no body and are left out; the others
// keep their order of the replay's list.
Scene SceneAt(const std::vector<PlayerSpec>& players, uint64_t tick);

// The ball alone, for checks of a known moment: at tick 0 it lies on the centre spot.
Vec3 BallAt(uint64_t tick);

// The pitch's markings and the goal frames, as straight lines on and above the floor.
const std::vector<Segment>& PitchLines();

// The player of `focusId`, or null.
const ScenePlayer* FindScenePlayer(const Scene& scene, const std::string& focusId);

}  // namespace sim
