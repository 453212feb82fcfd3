#include "sim/screen/CameraScene.h"

#include <cmath>

namespace sim {

namespace {

constexpr float kPi = 3.14159265358979f;

double Seconds(uint64_t tick) { return static_cast<double>(tick) / kReplayTicksPerSecond; }

// Every player drives round a circle of its own: blue ones anticlockwise in their half, orange
// ones clockwise in theirs. A circle never stops, so the heading (the direction of travel) is
// always defined, and it follows from the angle without any differencing.
struct Circuit {
    Vec3 centre;
    float radius;
    float angularSpeed;  // radians per second, negative for clockwise
    float phase;
};

Circuit CircuitOf(size_t index) {
    const int team = static_cast<int>(index % 2);
    const int slot = static_cast<int>(index / 2);
    const float side = team == 0 ? -1.0f : 1.0f;
    Circuit circuit;
    circuit.centre = Vec3{side * (1500.0f + 1100.0f * static_cast<float>(slot % 3)),
                          static_cast<float>((slot * 1700) % 4400) - 2200.0f, 0.0f};
    circuit.radius = 700.0f + 150.0f * static_cast<float>(slot % 3);
    circuit.angularSpeed = (0.35f + 0.05f * static_cast<float>(slot % 4)) * (team == 0 ? 1.0f : -1.0f);
    circuit.phase = 1.1f * static_cast<float>(index);
    return circuit;
}

Rgb ColourOf(size_t index) {
    const int slot = static_cast<int>(index / 2) % 4;
    const unsigned char shade = static_cast<unsigned char>(40 * slot);
    if (index % 2 == 0) return Rgb{static_cast<unsigned char>(30 + shade), static_cast<unsigned char>(90 + shade), 230};
    return Rgb{240, static_cast<unsigned char>(120 + shade / 2), static_cast<unsigned char>(20 + shade)};
}

void AddPolyline(std::vector<Segment>& lines, const std::vector<Vec3>& points) {
    for (size_t i = 0; i + 1 < points.size(); ++i) lines.push_back(Segment{points[i], points[i + 1]});
}

// One goal's frame at the end line x = end (the net box reaches `depth` beyond it).
void AddGoal(std::vector<Segment>& lines, float end, float outward) {
    const float back = end + outward * kGoalDepth;
    for (float y : {-kGoalHalfWidth, kGoalHalfWidth}) {
        lines.push_back(Segment{{end, y, 0.0f}, {end, y, kGoalHeight}});    // post
        lines.push_back(Segment{{back, y, 0.0f}, {back, y, kGoalHeight}});  // back post
        lines.push_back(Segment{{end, y, kGoalHeight}, {back, y, kGoalHeight}});
        lines.push_back(Segment{{end, y, 0.0f}, {back, y, 0.0f}});
    }
    lines.push_back(Segment{{end, -kGoalHalfWidth, kGoalHeight}, {end, kGoalHalfWidth, kGoalHeight}});  // crossbar
    lines.push_back(Segment{{back, -kGoalHalfWidth, kGoalHeight}, {back, kGoalHalfWidth, kGoalHeight}});
    lines.push_back(Segment{{back, -kGoalHalfWidth, 0.0f}, {back, kGoalHalfWidth, 0.0f}});
}

std::vector<Segment> MakePitchLines() {
    std::vector<Segment> lines;
    const float l = kPitchHalfLength, w = kPitchHalfWidth;
    AddPolyline(lines, {{-l, -w, 0}, {l, -w, 0}, {l, w, 0}, {-l, w, 0}, {-l, -w, 0}});
    lines.push_back(Segment{{0, -w, 0}, {0, w, 0}});
    std::vector<Vec3> circle;
    constexpr int kCircleSteps = 48;
    for (int i = 0; i <= kCircleSteps; ++i) {
        const float a = 2.0f * kPi * static_cast<float>(i) / kCircleSteps;
        circle.push_back(Vec3{kCentreCircleRadius * std::cos(a), kCentreCircleRadius * std::sin(a), 0.0f});
    }
    AddPolyline(lines, circle);
    AddGoal(lines, -l, -1.0f);
    AddGoal(lines, l, 1.0f);
    return lines;
}

}  // namespace

std::string FocusIdOf(const PlayerSpec& player) {
    if (player.nullRecord) return "";
    return player.bot ? "Player_Bot_" + player.name : "Player_" + player.uniqueId;
}

Vec3 BallAt(uint64_t tick) {
    const double t = Seconds(tick);
    const double tau = 2.0 * 3.14159265358979323846;
    return Vec3{static_cast<float>(2600.0 * std::sin(tau * t / 17.0)),
                static_cast<float>(1800.0 * std::sin(tau * t / 11.0)),
                static_cast<float>(kBallRadius + 320.0 * std::fabs(std::sin(tau * t / 6.0)))};
}

Scene SceneAt(const std::vector<PlayerSpec>& players, uint64_t tick) {
    Scene scene;
    scene.tick = tick;
    scene.ball = BallAt(tick);
    const double t = Seconds(tick);
    size_t index = 0;
    for (const PlayerSpec& entry : players) {
        if (entry.nullRecord) continue;
        const Circuit circuit = CircuitOf(index);
        // The angle is reduced in double precision first, so long replays keep float accuracy.
        const double turned = std::fmod(static_cast<double>(circuit.angularSpeed) * t, 2.0 * 3.14159265358979323846);
        const float angle = static_cast<float>(turned) + circuit.phase;
        ScenePlayer player;
        player.focusId = FocusIdOf(entry);
        player.name = entry.name;
        player.team = static_cast<int>(index % 2);
        player.colour = ColourOf(index);
        player.position =
            circuit.centre + Vec3{circuit.radius * std::cos(angle), circuit.radius * std::sin(angle), 0.0f};
        player.heading = angle + (circuit.angularSpeed > 0.0f ? kPi / 2.0f : -kPi / 2.0f);
        scene.players.push_back(std::move(player));
        ++index;
    }
    return scene;
}

const std::vector<Segment>& PitchLines() {
    static const std::vector<Segment> lines = MakePitchLines();
    return lines;
}

const ScenePlayer* FindScenePlayer(const Scene& scene, const std::string& focusId) {
    if (focusId.empty()) return nullptr;
    for (const ScenePlayer& player : scene.players)
        if (player.focusId == focusId) return &player;
    return nullptr;
}

}  // namespace sim
