// The replay events the plugin follows, and start-up inside and outside a replay.
#include <gmock/gmock.h>

#include "tests/RosterSupport.h"

using namespace camera_test;
using ::testing::ElementsAre;
using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::Not;

using HooksReplayEvents = LoadedPlugin;

TEST_F(HooksReplayEvents, OutsideAReplayStartUpOnlyInstallsTheHooksAndTheCommand) {
    Load();
    EXPECT_THAT(host.HookKeys(), ElementsAre("post:Function TAGame.Camera_Replay_TA.SetFocusActor",
                                             "Function TAGame.GFxHUD_Replay_TA.Destroyed",
                                             "Function TAGame.Replay_TA.Tick",
                                             "Function TAGame.GameInfo_Replay_TA.HandleReplayImported"));
    EXPECT_THAT(Table(), IsEmpty());
    EXPECT_EQ(FocusedId(), "");
    EXPECT_EQ(host.PendingTimers(), 0u);
    EXPECT_THAT(startupLines, IsEmpty());

    auto notifiers = host.Notifiers();
    ASSERT_EQ(notifiers.count("vistorb_set"), 1u);
    EXPECT_EQ(notifiers.at("vistorb_set").description, "");
    EXPECT_EQ(notifiers.at("vistorb_set").permissions, 0);
}

TEST_F(HooksReplayEvents, InsideAReplayStartUpBuildsTheRosterAndReadsTheFocusAtOnce) {
    host.OpenReplay();
    host.AddPlayer(Human("U1", "Ann", Cam(90)));
    host.AddPlayer(Bot("Zed", Cam(70)));
    host.MoveFocus("Player_Bot_Zed");  // no plugin hooks yet: only the camera knows

    Load();
    EXPECT_EQ(Table().size(), 2u);
    EXPECT_EQ(FocusedId(), "Player_Bot_Zed");
    EXPECT_EQ(host.PendingTimers(), 0u);
    EXPECT_THAT(startupLines, IsEmpty());
}

TEST_F(HooksReplayEvents, TheRosterIsBuiltTwoSecondsAfterTheImport) {
    Load();
    host.OpenReplay();
    host.AddPlayer(Human("U1", "Ann", Cam(90)));
    host.ImportReplay();
    EXPECT_THAT(Table(), IsEmpty());
    EXPECT_EQ(host.PendingTimers(), 1u);
    host.Wait(1.5);
    EXPECT_THAT(Table(), IsEmpty());
    host.Wait(0.5);
    EXPECT_EQ(Table().size(), 1u);
    EXPECT_EQ(host.PendingTimers(), 0u);
}

TEST_F(HooksReplayEvents, EveryImportArmsItsOwnRefresh) {
    Load();
    host.OpenReplay();
    host.SetServerPresent(false);  // each refresh then leaves one "no server" line behind
    host.ImportReplay();
    host.Wait(1.0);
    host.ImportReplay();
    EXPECT_EQ(host.PendingTimers(), 2u);
    host.Wait(1.0);
    EXPECT_THAT(host.LogLines(), ElementsAre("no server"));
    host.Wait(1.0);
    EXPECT_THAT(host.LogLines(), ElementsAre("no server", "no server"));
}

TEST_F(HooksReplayEvents, DestroyingTheHudEmptiesTheTableButKeepsTheFocusedId) {
    Load();
    ImportWith({Human("U1", "Ann", Cam(90)), Bot("Zed", Cam(70))});
    host.MoveFocus("Player_U1");
    host.DestroyHud();

    EXPECT_THAT(Table(), IsEmpty());
    EXPECT_EQ(FocusedId(), "Player_U1");
    host.Tick(2);
    EXPECT_EQ(Writes(), 0u);
    host.RunConsoleLine("vistorb_set fov 90");
    EXPECT_THAT(host.LogLines(), ElementsAre("no focus actor"));
}

TEST(HooksLogLine, WritesExactlyTheTextAndDropsItBeforeOnLoad) {
    globalConsoleManager.reset();
    LogLine("no focus actor");  // nowhere to write yet: dropped, not a crash
    LogLine("Unknown value {}", "foo");

    {
        PluginSession<> session;
        session.Start();
        sim::Host& host = session.host;
        EXPECT_THAT(host.LogLines(), Not(Contains("no focus actor")));
        host.ClearLog();
        LogLine("no focus actor");
        LogLine("Unknown value {}", "foo");
        EXPECT_THAT(host.LogLines(), ElementsAre("no focus actor", "Unknown value foo"));
    }
    globalConsoleManager.reset();
}
