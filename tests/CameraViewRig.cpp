// The camera view's scene and camera: where the camera stands for given values, where a point
// lands on screen, how the camera eases, and every input that leaves it without a camera.
#include <cmath>
#include <functional>
#include <limits>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "sim/screen/CameraRig.h"
#include "sim/screen/CameraScene.h"
#include "tests/PlayerSupport.h"

namespace {

using sim::CameraInput;
using sim::CameraRig;
using sim::Scene;
using sim::ScenePlayer;
using sim::Vec3;

constexpr float kHalfPi = 1.57079632679f;

ProfileCameraSettings Values(float fov, float height, float pitch, float distance, float stiffness = 0.5f,
                             float swivel = 4.0f, float transition = 1.0f) {
    return ProfileCameraSettings{fov, height, pitch, distance, stiffness, swivel, transition};
}

// One player standing at the centre spot, facing +x (the orange goal).
Scene StillScene(float heading = 0.0f, Vec3 at = {}) {
    Scene scene;
    ScenePlayer player;
    player.focusId = "Player_Bot_Zed";
    player.name = "Zed";
    player.position = at;
    player.heading = heading;
    scene.players.push_back(player);
    return scene;
}

CameraInput Following(const std::string& focus, const ProfileCameraSettings& values) {
    CameraInput input;
    input.inReplay = input.cameraExists = input.hasSettings = true;
    input.focusActor = focus;
    input.settings = values;
    return input;
}

// Each value moves exactly its own part of the camera. Viewport 800 x 600; the player stands at
// the origin facing +x, so behind is -x, and -y is to the camera's right. Expected positions
// worked out by hand: the player's feet lie Height below and Distance ahead of the eye.
TEST(CameraViewRig, EachValueChangesWhatItShould) {
    struct Case {
        const char* what;
        ProfileCameraSettings values;
        Vec3 eye;
        float feetY;  // where the player's feet land (x is always the centre, 400)
    };
    const Case cases[] = {
        {"base", Values(90, 100, 0, 300), {-300, 0, 100}, 433.333f},      // 300 + 400 * 100 / 300
        {"narrower FOV", Values(60, 100, 0, 300), {-300, 0, 100}, 530.940f},  // focal 400 / tan 30
        {"farther", Values(90, 100, 0, 600), {-600, 0, 100}, 366.667f},
        {"higher", Values(90, 200, 0, 300), {-300, 0, 200}, 566.667f},
        {"looking down", Values(90, 100, -10, 300), {-300, 0, 100}, 359.316f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const sim::CameraPose pose = sim::TargetPose(c.values, StillScene().players[0]);
        EXPECT_NEAR(pose.eye.x, c.eye.x, 1e-3);
        EXPECT_NEAR(pose.eye.y, c.eye.y, 1e-3);
        EXPECT_NEAR(pose.eye.z, c.eye.z, 1e-3);
        EXPECT_FLOAT_EQ(pose.fov, c.values.FOV);
        EXPECT_NEAR(pose.pitch, c.values.Pitch * 3.14159265f / 180.0f, 1e-6);
        const auto feet = sim::Project(pose, Vec3{0, 0, 0}, 800, 600);
        ASSERT_TRUE(feet);
        EXPECT_NEAR(feet->x, 400.0f, 1e-3);
        EXPECT_NEAR(feet->y, c.feetY, 2e-3);
    }
    // Level with the eye, 150 to the right (-y) and 300 ahead: half the half-width right of centre.
    const sim::CameraPose level = sim::TargetPose(Values(90, 100, 0, 300), StillScene().players[0]);
    const auto right = sim::Project(level, Vec3{0, -150, 100}, 800, 600);
    ASSERT_TRUE(right);
    EXPECT_NEAR(right->x, 600.0f, 1e-3);
    EXPECT_NEAR(right->y, 300.0f, 1e-3);
    // A player heading +y is followed from -y.
    const ScenePlayer heading = StillScene(kHalfPi, {1000, 500, 0}).players[0];
    const sim::CameraPose north = sim::TargetPose(Values(90, 100, 0, 300), heading);
    EXPECT_NEAR(north.eye.x, 1000.0f, 1e-3);
    EXPECT_NEAR(north.eye.y, 200.0f, 1e-3);
}

TEST(CameraViewRig, NothingBehindTheEyeOrOnAnUnusableViewIsProjected) {
    const sim::CameraPose pose = sim::TargetPose(Values(90, 100, 0, 300), StillScene().players[0]);
    EXPECT_FALSE(sim::Project(pose, Vec3{-400, 0, 100}, 800, 600)) << "behind the eye";
    EXPECT_FALSE(sim::Project(pose, Vec3{-295, 0, 100}, 800, 600)) << "nearer than the near plane";
    EXPECT_FALSE(sim::Project(pose, Vec3{0, 0, 0}, 0, 600)) << "empty viewport";
    sim::CameraPose flat = pose;
    flat.fov = 0.0f;
    EXPECT_FALSE(sim::Project(flat, Vec3{0, 0, 0}, 800, 600)) << "no field of view";
    EXPECT_EQ(sim::FocalLength(flat, 800), 0.0f);
    flat.fov = 1e-40f;  // the half-angle's tangent rounds to 0
    EXPECT_FALSE(sim::Project(flat, Vec3{0, 0, 0}, 800, 600)) << "no infinite focal length";
    EXPECT_EQ(sim::FocalLength(flat, 800), 0.0f);

    // A line from behind the eye to the player's feet is cut at the near plane (depth 10).
    sim::ScreenPoint a, b;
    ASSERT_TRUE(sim::ProjectSegment(pose, sim::Segment{{-400, 0, 0}, {0, 0, 0}}, 800, 600, a, b));
    EXPECT_NEAR(a.depth, sim::kNearPlane, 1e-3);
    EXPECT_NEAR(a.y, 300.0f + 400.0f * 100.0f / 10.0f, 0.5f);
    EXPECT_NEAR(b.y, 433.333f, 2e-3);
    EXPECT_FALSE(sim::ProjectSegment(pose, sim::Segment{{-400, 0, 0}, {-500, 50, 0}}, 800, 600, a, b));
    // A floor square reaching behind the eye keeps only its part ahead: four corners, none nearer
    // than the near plane.
    const auto cut = sim::ProjectPolygon(pose, {{-500, -100, 0}, {0, -100, 0}, {0, 100, 0}, {-500, 100, 0}}, 800, 600);
    EXPECT_EQ(cut.size(), 4u);
    for (const auto& p : cut) EXPECT_GE(p.depth, sim::kNearPlane - 1e-3f);
    EXPECT_TRUE(sim::ProjectPolygon(pose, {{-500, -100, 0}, {-400, -100, 0}, {-400, 100, 0}}, 800, 600).empty());
}

TEST(CameraViewRig, EveryBadInputLeavesTheViewWithoutACameraAndSaysWhy) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const CameraInput good = Following("Player_Bot_Zed", Values(90, 100, -5, 300));
    struct Case {
        const char* reason;
        std::function<void(CameraInput&)> spoil;
    };
    std::vector<Case> cases = {
        {"no replay", [](CameraInput& in) { in.inReplay = false; }},
        {"the replay has no camera", [](CameraInput& in) { in.cameraExists = false; }},
        {"the camera follows nobody", [](CameraInput& in) { in.focusActor.clear(); }},
        {"the camera follows 'Player_Bot_Nobody', who is not a player of the replay",
         [](CameraInput& in) { in.focusActor = "Player_Bot_Nobody"; }},
        {"the camera has not received any settings yet", [](CameraInput& in) { in.hasSettings = false; }},
    };
    using S = ProfileCameraSettings;
    const std::tuple<float S::*, float, const char*> values[] = {
        {&S::FOV, nan, "the camera's FOV is not a finite number"},
        {&S::Height, -inf, "the camera's Height is not a finite number"},
        {&S::Distance, inf, "the camera's Distance is not a finite number"},
        {&S::TransitionSpeed, nan, "the camera's TransitionSpeed is not a finite number"},
        {&S::FOV, 0, "the camera's FOV is 0: it must lie between 0 and 180 degrees"},
        {&S::FOV, -10, "the camera's FOV is -10: it must lie between 0 and 180 degrees"},
        {&S::FOV, 180, "the camera's FOV is 180: it must lie between 0 and 180 degrees"},
        {&S::FOV, 1e-40f, "the camera's FOV is 1e-40: too narrow to see through"},
        {&S::Distance, 0, "the camera's Distance is 0: it must be above 0"},
        {&S::Distance, -5, "the camera's Distance is -5: it must be above 0"},
    };
    for (const auto& [field, value, reason] : values)
        cases.push_back(Case{reason, [field = field, value = value](CameraInput& in) { in.settings.*field = value; }});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        CameraRig rig;
        rig.Update(good, StillScene(), 0.0f);
        ASSERT_TRUE(rig.HasCamera());
        CameraInput bad = good;
        c.spoil(bad);
        rig.Update(bad, StillScene(), 1.0f / 60);
        EXPECT_FALSE(rig.HasCamera());
        EXPECT_EQ(rig.Reason(), c.reason);
        EXPECT_EQ(sim::CameraViewJson(rig), (nlohmann::json{{"camera", false}, {"reason", c.reason}}));
        // Good values again bring the camera straight back to where it belongs.
        rig.Update(good, StillScene(), 1.0f / 60);
        EXPECT_TRUE(rig.HasCamera());
        EXPECT_NEAR(rig.Pose().eye.x, -300.0f, 1e-3);
    }
}

TEST(CameraViewRig, StiffnessSwivelAndTransitionEaseTheMovement) {
    const Scene scene = StillScene();
    // Stiffness: after the Distance goes from 300 to 600, a tenth of a second closes
    // 1 - e^-0.3 of the gap at stiffness 0 (rate 3/s) and 1 - e^-3 at stiffness 1 (rate 30/s).
    for (const auto& [stiffness, x] : {std::pair{0.0f, -377.755f}, std::pair{1.0f, -585.064f}}) {
        CameraRig rig;
        rig.Update(Following("Player_Bot_Zed", Values(90, 100, 0, 300, stiffness)), scene, 0.0f);
        rig.Update(Following("Player_Bot_Zed", Values(90, 100, 0, 600, stiffness)), scene, 0.1f);
        EXPECT_NEAR(rig.Pose().eye.x, x, 0.05f) << "stiffness " << stiffness;
    }
    // Swivel: the player turns a quarter; at SwivelSpeed 1 the camera turns 60 degrees a second.
    CameraRig swivel;
    swivel.Update(Following("Player_Bot_Zed", Values(90, 100, 0, 300, 1, 1)), scene, 0.0f);
    swivel.Update(Following("Player_Bot_Zed", Values(90, 100, 0, 300, 1, 1)), StillScene(kHalfPi), 0.5f);
    EXPECT_NEAR(swivel.Pose().yaw, 30.0f * 3.14159265f / 180.0f, 1e-4);

    // Transition: a new focus starts where the old camera was and arrives in 1 / TransitionSpeed s.
    Scene two = StillScene();
    ScenePlayer cap = two.players[0];
    cap.focusId = "Player_Bot_Cap";
    cap.position = Vec3{0, 2000, 0};
    two.players.push_back(cap);
    CameraRig glide;
    const ProfileCameraSettings values = Values(90, 100, 0, 300, 1, 4, 2);
    glide.Update(Following("Player_Bot_Zed", values), two, 0.0f);
    glide.Update(Following("Player_Bot_Cap", values), two, 0.25f);
    EXPECT_NEAR(glide.Pose().eye.y, 0.0f, 1e-3) << "the glide starts from the old place";
    glide.Update(Following("Player_Bot_Cap", values), two, 0.25f);
    EXPECT_NEAR(glide.Pose().eye.y, 1000.0f, 1e-2) << "halfway after a quarter of a second";
    glide.Update(Following("Player_Bot_Cap", values), two, 0.25f);
    EXPECT_NEAR(glide.Pose().eye.y, 2000.0f, 1e-3);
    EXPECT_EQ(glide.FocusId(), "Player_Bot_Cap");
    // Snap places the camera at once: no glide back.
    glide.Snap();
    glide.Update(Following("Player_Bot_Zed", Values(80, 100, -12, 300)), two, 0.0f);
    EXPECT_NEAR(glide.Pose().eye.y, 0.0f, 1e-3);
    const nlohmann::json shown = sim::CameraViewJson(glide);
    EXPECT_EQ(shown["focusId"], "Player_Bot_Zed");
    EXPECT_NEAR(shown["eye"][0].get<double>(), -300.0, 1e-3);
    EXPECT_NEAR(shown["pitch"].get<double>(), -12.0, 1e-4) << "in degrees, as the camera got it";
    EXPECT_EQ(shown["fov"], 80.0);
}

TEST(CameraViewScene, PlayersAndBallFollowFixedPathsInsideThePitch) {
    using test_players::Bot;
    using test_players::Human;
    sim::PlayerSpec null;
    null.nullRecord = true;
    const std::vector<sim::PlayerSpec> roster = {Human("Steam|1|0", "Ace", {}), null, Bot("Zed", 100.0f),
                                                Bot("Cap", 90.0f)};
    const Scene start = sim::SceneAt(roster, 0);
    ASSERT_EQ(start.players.size(), 3u) << "the null record has no body";
    EXPECT_EQ(start.players[0].focusId, "Player_Steam|1|0");
    EXPECT_EQ(start.players[1].focusId, "Player_Bot_Zed");
    EXPECT_EQ(sim::FocusIdOf(null), "");
    EXPECT_NEAR(start.ball.x, 0.0f, 1e-3);
    EXPECT_NEAR(start.ball.y, 0.0f, 1e-3);
    EXPECT_NEAR(start.ball.z, sim::kBallRadius, 1e-3);
    EXPECT_NEAR(start.players[0].position.x, -800.0f, 1e-3);
    EXPECT_NEAR(start.players[0].position.y, -2200.0f, 1e-3);
    for (uint64_t tick : {1ull, 600ull, 12345ull, 86400ull * 120ull}) {
        const Scene now = sim::SceneAt(roster, tick), next = sim::SceneAt(roster, tick + 1);
        EXPECT_EQ(sim::SceneAt(roster, tick).ball.x, now.ball.x) << "the same tick, the same place";
        EXPECT_LT(std::fabs(now.ball.x), sim::kPitchHalfLength);
        for (size_t i = 0; i < now.players.size(); ++i) {
            const ScenePlayer& p = now.players[i];
            EXPECT_LT(std::fabs(p.position.x), sim::kPitchHalfLength);
            EXPECT_LT(std::fabs(p.position.y), sim::kPitchHalfWidth);
            // The heading is where the player goes next.
            const Vec3 step = next.players[i].position - p.position;
            const float along = step.x * std::cos(p.heading) + step.y * std::sin(p.heading);
            EXPECT_GT(along, 0.99f * std::sqrt(sim::Dot(step, step))) << p.name << " at tick " << tick;
        }
    }
}

}  // namespace
