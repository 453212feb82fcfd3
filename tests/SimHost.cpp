// The simulated game as a plugin sees it through the SDK: timers on game time, the Execute
// queue, hooks around the game's own function, the player records in memory, and the
// discipline that keeps an unloaded plugin from ever being called.
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/game/Host.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SimHostTimers, FireOnGameTimeInDueOrderAndOnlyOnce) {
    sim::Host host;
    auto game = host.Game();
    std::vector<std::string> fired;
    game->SetTimeout([&](GameWrapper* g) { fired.push_back("b@2.0"); EXPECT_EQ(g, game.get()); }, 2.0f);
    game->SetTimeout([&](GameWrapper*) { fired.push_back("a@0.5"); }, 0.5f);
    game->SetTimeout([&](GameWrapper*) { fired.push_back("c@2.0"); }, 2.0f);  // same time: set order
    game->SetTimeout(
        [&](GameWrapper* g) {
            fired.push_back("d@1.0");
            // Set by a timer: due at 1.0 + 0.5, within the same wait, so it fires in it.
            g->SetTimeout([&](GameWrapper*) { fired.push_back("e@1.5"); }, 0.5f);
        },
        1.0f);

    host.Wait(0.49);
    EXPECT_THAT(fired, IsEmpty()) << "nothing before its time";
    host.Wait(0.01);
    EXPECT_THAT(fired, ElementsAre("a@0.5"));
    host.Wait(1.4);  // game time 1.9
    EXPECT_THAT(fired, ElementsAre("a@0.5", "d@1.0", "e@1.5"));
    host.Wait(0.1);
    EXPECT_THAT(fired, ElementsAre("a@0.5", "d@1.0", "e@1.5", "b@2.0", "c@2.0"));
    host.Wait(10);
    EXPECT_EQ(fired.size(), 5u) << "a timer fires once";
    EXPECT_EQ(host.PendingTimers(), 0u);
    EXPECT_DOUBLE_EQ(host.GameTime(), 12.0);
}

TEST(SimHostExecute, RunsQueuedClosuresInOrderOnTheNextPump) {
    sim::Host host;
    auto game = host.Game();
    std::vector<int> ran;
    game->Execute([&](GameWrapper*) { ran.push_back(1); });
    game->Execute([&](GameWrapper* g) {
        ran.push_back(2);
        g->Execute([&](GameWrapper*) { ran.push_back(4); });  // queued while the queue runs
    });
    game->Execute([&](GameWrapper*) { ran.push_back(3); });
    EXPECT_THAT(ran, IsEmpty()) << "Execute never runs the closure at once";
    EXPECT_EQ(host.PendingExecutes(), 3u);
    host.Wait(0);
    EXPECT_THAT(ran, ElementsAre(1, 2, 3));
    host.Wait(0);
    EXPECT_THAT(ran, ElementsAre(1, 2, 3, 4));
}

TEST(SimHostHooks, PreHooksSeeTheOldFocusPostHooksTheNewInInstallOrder) {
    sim::Host host;
    auto game = host.Game();
    host.OpenReplay();
    host.MoveFocus("Player_Old");
    std::vector<std::string> seen;
    auto focus = [&] { return game->GetCamera().GetFocusActor(); };
    game->HookEventPost(sim::kSetFocusActorEvent, [&](std::string name) {
        seen.push_back("post1 " + focus());
        EXPECT_EQ(name, sim::kSetFocusActorEvent);
    });
    game->HookEvent(sim::kSetFocusActorEvent, [&](std::string) { seen.push_back("pre1 " + focus()); });
    game->HookEventPost(sim::kSetFocusActorEvent, [&](std::string) { seen.push_back("post2 " + focus()); });
    game->HookEvent(sim::kSetFocusActorEvent, [&](std::string) { seen.push_back("pre2 " + focus()); });
    game->HookEvent(sim::kReplayTickEvent, [&](std::string) { seen.push_back("tick"); });
    // Keys match exactly: a near miss is never called.
    game->HookEvent("Function TAGame.Replay_TA.tick", [&](std::string) { seen.push_back("wrong key"); });

    host.MoveFocus("Player_New");
    EXPECT_THAT(seen, ElementsAre("pre1 Player_Old", "pre2 Player_Old", "post1 Player_New", "post2 Player_New"));
    seen.clear();
    host.Tick(2);
    EXPECT_THAT(seen, ElementsAre("tick", "tick"));

    // The plugin's own SetFocusActor goes through the game's function, hooks included.
    seen.clear();
    EXPECT_TRUE(game->GetCamera().SetFocusActor("Player_Third"));
    EXPECT_THAT(seen, ElementsAre("pre1 Player_New", "pre2 Player_New", "post1 Player_Third", "post2 Player_Third"));
}

TEST(SimHostUnload, DroppedCallbacksAreNeverCalledAgainEvenMidEvent) {
    sim::Host host;
    auto game = host.Game();
    auto console = host.Console();
    host.OpenReplay();
    int calls = 0;
    game->HookEvent(sim::kSetFocusActorEvent, [&](std::string) {
        ++calls;
        // The plugin is unloaded from inside a pre-hook: its post-hook must not run.
        host.DropPluginCallbacks();
    });
    game->HookEventPost(sim::kSetFocusActorEvent, [&](std::string) { ADD_FAILURE() << "post-hook after unload"; });
    host.MoveFocus("Player_A");
    EXPECT_EQ(calls, 1);

    game->HookEvent(sim::kReplayTickEvent, [&](std::string) { ADD_FAILURE() << "tick after unload"; });
    game->SetTimeout([&](GameWrapper*) { ADD_FAILURE() << "timer after unload"; }, 1.0f);
    game->Execute([&](GameWrapper*) { ADD_FAILURE() << "closure after unload"; });
    console->registerNotifier("probe", [&](std::vector<std::string>) { ADD_FAILURE() << "command after unload"; },
                              "", 0);
    host.DropPluginCallbacks();
    EXPECT_THAT(host.HookKeys(), IsEmpty());
    EXPECT_EQ(host.PendingTimers(), 0u);
    EXPECT_EQ(host.PendingExecutes(), 0u);
    host.Tick(3);
    host.Wait(5);
    host.RunConsoleLine("probe 1");
    EXPECT_THAT(host.LogLines(), ElementsAre("Unknown command: probe"));

    // A closure that unloads the plugin stops the rest of its batch.
    int ran = 0;
    game->Execute([&](GameWrapper*) {
        ++ran;
        host.DropPluginCallbacks();
    });
    game->Execute([&](GameWrapper*) { ADD_FAILURE() << "queued closure after unload"; });
    host.Wait(0);
    EXPECT_EQ(ran, 1);
}

TEST(SimHostReplay, PlayerRecordsLaidOutLikeBuild162AndNullWhereTheGameHasNone) {
    sim::Host host;
    auto game = host.Game();
    host.SetBuild(162);
    EXPECT_EQ(game->GetBakkesModVersion(), 162);
    EXPECT_FALSE(game->GetGameEventAsReplay()) << "no replay, no server";
    host.OpenReplay();

    sim::PlayerSpec human;
    human.uniqueId = "Steam|1|0";
    human.name = "Ann";
    human.camera = ProfileCameraSettings{90, 100, -4, 270, 0.5f, 4, 1.25f};
    sim::PlayerSpec noCamera = human;
    noCamera.hasCameraObject = false;
    sim::PlayerSpec missing;
    missing.nullRecord = true;
    sim::PlayerSpec bot;
    bot.bot = true;
    bot.name = "Zed";
    host.AddPlayer(human);
    host.AddPlayer(missing);
    host.AddPlayer(noCamera);
    host.AddPlayer(bot);

    auto pris = game->GetGameEventAsReplay().GetPRIs();
    ASSERT_EQ(pris.Count(), 4);
    PriWrapper first = pris.Get(0);
    ASSERT_TRUE(first);
    // The raw read: a pointer at 0x600 of the game object, seven floats at 0x278 behind it.
    uintptr_t cameraObject;
    std::memcpy(&cameraObject, reinterpret_cast<const void*>(first.memory_address + 0x600), sizeof cameraObject);
    ASSERT_NE(cameraObject, 0u);
    ProfileCameraSettings raw;
    std::memcpy(&raw, reinterpret_cast<const void*>(cameraObject + 0x278), sizeof raw);
    EXPECT_EQ(std::memcmp(&raw, &human.camera, sizeof raw), 0);
    EXPECT_EQ(first.GetUniqueIdWrapper().GetIdString(), "Steam|1|0");
    EXPECT_EQ(first.GetPlayerName().ToString(), "Ann");
    EXPECT_EQ(first.GetbBot(), 0ul);

    EXPECT_FALSE(pris.Get(1)) << "a null record";
    PriWrapper third = pris.Get(2);
    ASSERT_TRUE(third);
    uintptr_t none;
    std::memcpy(&none, reinterpret_cast<const void*>(third.memory_address + 0x600), sizeof none);
    EXPECT_EQ(none, 0u) << "no camera object behind this player";
    EXPECT_NE(pris.Get(3).GetbBot(), 0ul);
    EXPECT_FALSE(pris.Get(4)) << "past the end";

    host.CloseReplay();
    EXPECT_FALSE(game->GetGameEventAsReplay());
    EXPECT_FALSE(game->GetCamera());
}

TEST(ThreadsSimHost, GameWorkRunsOnTheGameThreadWhileAnotherThreadQueuesIt) {
    sim::Host host;
    auto game = host.Game();
    host.StartGameThread(false);
    std::thread::id gameThread;
    host.RunOnGameThread([&] { gameThread = std::this_thread::get_id(); });
    EXPECT_NE(gameThread, std::this_thread::get_id());

    std::atomic<int> offThread{0};
    std::atomic<int> ran{0};
    std::thread gui([&] {
        for (int i = 0; i < 100; ++i)
            game->Execute([&](GameWrapper*) {
                if (std::this_thread::get_id() != gameThread) ++offThread;
                ++ran;
            });
    });
    gui.join();
    // The queue is pumped every frame; wait for it through the game thread itself.
    while (ran.load() < 100) host.Wait(0);
    EXPECT_EQ(offThread.load(), 0);
    host.StopGameThread();
    EXPECT_FALSE(host.Threaded());
}

}  // namespace
