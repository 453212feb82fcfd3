// The stand-in SDK library: a wrapper answers through the host named in its object's first
// bytes, a null object answers with nothing, and two hosts in one process never mix.
#include <string>

#include <gtest/gtest.h>

#include "bakkesmod/wrappers/GameWrapper.h"
#include "sdkhost/NullHostBinding.h"

namespace {

// A host with one camera and one player, both stamped with this host.
class TinyHost : public NullHostBinding {
public:
    explicit TinyHost(std::string id) : name(std::move(id)) {
        StampGameObject(camera, this);
        StampGameObject(player, this);
        StampGameObject(players, this);
        StampGameObject(server, this);
    }
    uintptr_t Address(unsigned char* object) { return reinterpret_cast<uintptr_t>(object); }

    bool IsInReplay() override { return true; }
    uintptr_t GetCamera() override { return Address(camera); }
    uintptr_t GetGameEventAsReplay() override { return Address(server); }
    std::string GetFocusActor(uintptr_t object) override { return object == Address(camera) ? "Player_" + name : ""; }
    uintptr_t GetPRIs(uintptr_t object) override { return object == Address(server) ? Address(players) : 0; }
    int ArrayCount(uintptr_t object) override { return object == Address(players) ? 1 : 0; }
    uintptr_t ArrayGet(uintptr_t, int) override { return Address(player); }
    std::optional<std::string> GetPlayerName(uintptr_t object) override { return object == Address(player) ? name : "?"; }
    std::string GetUniqueIdString(uintptr_t) override { return name + "|1|0"; }
    unsigned long GetbBot(uintptr_t) override { return 1; }

    std::string name;
    // Game objects are byte blocks with no alignment of their own, as the simulator's are.
    unsigned char camera[17] = {};
    unsigned char player[17] = {};
    unsigned char players[17] = {};
    unsigned char server[17] = {};
};

TEST(SdkStandIn, EachWrapperAnswersThroughTheHostOfItsObject) {
    TinyHost ann("Ann"), bob("Bob");
    auto annGame = MakeGameWrapper(ann), bobGame = MakeGameWrapper(bob);
    struct Case {
        GameWrapper& game;
        const char* name;
    } cases[] = {{*annGame, "Ann"}, {*bobGame, "Bob"}};
    for (const Case& c : cases) {
        CameraWrapper camera = c.game.GetCamera();
        ASSERT_TRUE(camera);
        EXPECT_EQ(camera.GetFocusActor(), std::string("Player_") + c.name);
        ArrayWrapper<PriWrapper> pris = c.game.GetGameEventAsReplay().GetPRIs();
        ASSERT_EQ(pris.Count(), 1);
        PriWrapper pri = pris.Get(0);
        EXPECT_EQ(pri.GetPlayerName().ToString(), c.name);
        EXPECT_EQ(pri.GetUniqueIdWrapper().GetIdString(), std::string(c.name) + "|1|0");
        EXPECT_EQ(pri.GetbBot(), 1ul);
        EXPECT_FALSE(pris.Get(1)) << "past the end is a null player";
        CameraWrapper copy = camera;  // copies keep the object, and so its host
        EXPECT_EQ(copy.GetFocusActor(), camera.GetFocusActor());
    }
}

TEST(SdkStandIn, ANullObjectAnswersWithNothing) {
    CameraWrapper camera(0);
    PriWrapper pri(0);
    ArrayWrapper<PriWrapper> none(0);
    EXPECT_FALSE(camera);
    EXPECT_EQ(camera.GetFocusActor(), "");
    EXPECT_FALSE(camera.SetFocusActor("Player_Ann"));
    camera.SetCameraSettings(ProfileCameraSettings{90, 100, -3, 270, 0.5f, 4, 1.2f});  // nothing to write to
    EXPECT_TRUE(pri.GetPlayerName().IsNull());
    EXPECT_EQ(pri.GetbBot(), 0ul);
    EXPECT_TRUE(none.IsNull());
}

// Reading a null game array or string: the host's SDK promises nothing there (the game likely
// goes down), so the stand-in stops the test process rather than answering.
TEST(SdkStandInDeathTest, ReadingANullArrayOrStringStopsTheProcess) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    ArrayWrapper<PriWrapper> none(0);
    PriWrapper nobody(0);
    EXPECT_DEATH(none.Count(), "ArrayWrapper::Count read through a null address");
    EXPECT_DEATH(none.Get(0), "ArrayWrapper::Get read through a null address");
    EXPECT_DEATH(nobody.GetPlayerName().ToString(), "UnrealStringWrapper::ToString read through a null address");
}

}  // namespace
