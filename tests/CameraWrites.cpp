// What reaches the replay camera, and when.
#include <gmock/gmock.h>

#include "tests/RosterSupport.h"

using namespace camera_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CameraWrites : public LoadedPlugin {
protected:
    void SetUp() override {
        Load();
        ImportWith({Human("U1", "Ann", Cam(90)), Bot("Zed", Cam(70))});
        host.ClearLog();
    }
};

TEST_F(CameraWrites, EachTickWritesTheFollowedPlayersValues) {
    Edit("Player_U1", true, Cam(100));

    // Disabled override: the player's own values go back into the camera on every tick.
    host.MoveFocus("Player_Bot_Zed");
    host.Tick(2);
    auto camera = host.Camera();
    ASSERT_EQ(camera.writes.size(), 2u);
    for (const auto& write : camera.writes) {
        EXPECT_EQ(write.focusActor, "Player_Bot_Zed");
        EXPECT_TRUE(Same(write.settings, Cam(70)));
    }

    // The enabled override is written once the camera follows its player.
    host.MoveFocus("Player_U1");
    host.Tick();
    camera = host.Camera();
    ASSERT_EQ(camera.writes.size(), 3u);
    EXPECT_EQ(camera.writes.back().focusActor, "Player_U1");
    EXPECT_TRUE(Same(camera.settings, Cam(100)));

    // Edits made between ticks are picked up by the next tick: nothing is cached.
    Edit("Player_U1", true, Cam(101));
    host.Tick();
    EXPECT_TRUE(Same(host.Camera().settings, Cam(101)));
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(CameraWrites, FocusMustMatchTheFocusIdByteForByte) {
    // Not a player of the table, another case, a prefix, a longer id, nothing at all.
    for (const char* focus : {"Ball_TA_0", "player_u1", "Player_U", "Player_U1 ", "Player_U10", ""}) {
        host.MoveFocus(focus);
        host.Tick();
        plugin->ApplyCameraOverride(Table().at("Player_U1"));
        EXPECT_EQ(Writes(), 0u) << "focus \"" << focus << "\"";
    }
    EXPECT_THAT(host.LogLines(), IsEmpty());

    host.MoveFocus("Player_U1");
    plugin->ApplyCameraOverride(Table().at("Player_U1"));
    EXPECT_EQ(Writes(), 1u);
    // An override of someone else is never written over the followed player.
    plugin->ApplyCameraOverride(Table().at("Player_Bot_Zed"));
    EXPECT_EQ(Writes(), 1u);
}

TEST_F(CameraWrites, NothingIsWrittenBeforeTheRosterOrAfterItIsEmptied) {
    host.MoveFocus("Player_U1");
    host.DestroyHud();
    host.Tick(3);
    EXPECT_EQ(Writes(), 0u);

    host.ImportReplay();
    host.Tick();  // imported, but the roster comes two seconds later
    EXPECT_EQ(Writes(), 0u);
    host.Wait(2.0);
    host.Tick();
    EXPECT_EQ(Writes(), 1u);
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(CameraWrites, OutsideAReplayEveryCallSaysSoOnceAndWritesNothing) {
    host.MoveFocus("Player_U1");
    ASSERT_EQ(FocusedId(), "Player_U1");
    CameraOverride ann = Table().at("Player_U1");
    host.CloseReplay();

    host.Tick(3);
    EXPECT_THAT(host.LogLines(), ElementsAre("not in replay", "not in replay", "not in replay"));

    host.ClearLog();
    plugin->ApplyCameraOverride(ann);
    plugin->FocusPlayer(ann);
    plugin->UpdateFocusedPlayer();  // silent
    EXPECT_THAT(host.LogLines(), ElementsAre("not in replay", "not in replay"));
    EXPECT_EQ(FocusedId(), "Player_U1");
    EXPECT_EQ(Writes(), 0u);
}

TEST_F(CameraWrites, WithoutACameraEverythingIsSilent) {
    host.MoveFocus("Player_U1");
    host.SetCameraPresent(false);
    CameraOverride zed = Table().at("Player_Bot_Zed");

    host.Tick(2);
    plugin->ApplyCameraOverride(Table().at("Player_U1"));
    plugin->FocusPlayer(zed);
    plugin->UpdateFocusedPlayer();
    EXPECT_EQ(Writes(), 0u);
    EXPECT_EQ(host.Camera().focusActor, "Player_U1");
    EXPECT_EQ(FocusedId(), "Player_U1");
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(CameraWrites, TheFocusedIdFollowsTheCameraAfterTheGameMovesIt) {
    host.MoveFocus("Player_Bot_Zed");
    EXPECT_EQ(FocusedId(), "Player_Bot_Zed");  // the new focus, not the one before
    host.MoveFocus("Ball_TA_0");                // not a player: still recorded
    EXPECT_EQ(FocusedId(), "Ball_TA_0");
    host.MoveFocus("");                         // no focus: the last one stays
    EXPECT_EQ(FocusedId(), "Ball_TA_0");
}

TEST_F(CameraWrites, FocusPlayerSwitchesToPlayerViewThenFollowsThePlayer) {
    host.MoveFocus("Player_U1");
    host.SetCameraState(host.GetCamera(), "FlyCam");
    std::string stateWhenFocusMoved;
    host.HookEvent(sim::kSetFocusActorEvent,
                   [&](std::string) { stateWhenFocusMoved = host.Camera().state; }, false);

    plugin->FocusPlayer(Table().at("Player_Bot_Zed"));
    EXPECT_EQ(stateWhenFocusMoved, "PlayerView");
    EXPECT_EQ(host.Camera().focusActor, "Player_Bot_Zed");
    EXPECT_EQ(FocusedId(), "Player_Bot_Zed");
    host.Tick();
    EXPECT_TRUE(Same(host.Camera().settings, Cam(70)));
}

TEST_F(CameraWrites, TheGuiPathQueuesACopyForTheGameThread) {
    host.MoveFocus("Player_U1");
    CameraOverride edited = Table().at("Player_U1");
    edited.enabled = true;
    edited.settings = Cam(105);
    VistorbTestAccess::OverridePlayerCameraFromGui(*plugin, edited);
    EXPECT_EQ(host.PendingExecutes(), 1u);
    EXPECT_EQ(Writes(), 0u);

    // Later edits of the GUI's override, and even an emptied table, do not change what was queued.
    edited.settings = Cam(1);
    edited.focusId = "Player_Bot_Zed";
    host.DestroyHud();
    host.Wait(0);
    auto camera = host.Camera();
    ASSERT_EQ(camera.writes.size(), 1u);
    EXPECT_TRUE(Same(camera.writes[0].settings, Cam(105)));
    EXPECT_EQ(camera.writes[0].focusActor, "Player_U1");
}
