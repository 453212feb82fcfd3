// Building the override table from the replay's players.
#include <gmock/gmock.h>

#include "tests/RosterSupport.h"

using namespace camera_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using RosterRefresh = LoadedPlugin;

TEST_F(RosterRefresh, HumansAndBotsGetFocusIdsNamesAndTheirOwnValues) {
    Load();
    ImportWith({Human("Steam|7|0", "Ann", Cam(90)), Bot("Zed", Cam(70)), Bot("ann", Cam(80))});

    auto table = Table();
    std::vector<std::string> keys;
    for (const auto& [key, entry] : table) keys.push_back(key);
    // Byte order: "Player_B..." before "Player_S...", and "Zed" before "ann".
    EXPECT_THAT(keys, ElementsAre("Player_Bot_Zed", "Player_Bot_ann", "Player_Steam|7|0"));

    const CameraOverride& zed = table.at("Player_Bot_Zed");
    EXPECT_FALSE(zed.enabled);
    EXPECT_EQ(zed.focusId, "Player_Bot_Zed");
    EXPECT_EQ(zed.playerName, "Zed");
    EXPECT_TRUE(Same(zed.settings, Cam(70)));
    EXPECT_TRUE(Same(zed.defaultSettings, Cam(70)));

    const CameraOverride& ann = table.at("Player_Steam|7|0");
    EXPECT_EQ(ann.focusId, "Player_Steam|7|0");
    EXPECT_EQ(ann.playerName, "Ann");
    EXPECT_TRUE(Same(ann.settings, Cam(90)));
    EXPECT_TRUE(Same(ann.defaultSettings, Cam(90)));

    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(RosterRefresh, FirstPlayerOfADuplicateFocusIdKeepsTheEntry) {
    Load();
    ImportWith({Bot("Zed", Cam(10)), Human("U1", "First", Cam(20)), Bot("Zed", Cam(30)),
                Human("U1", "Second", Cam(40)),
                // A human whose id string happens to read like a bot's id collides with the bot.
                Human("Bot_Zed", "Impostor", Cam(50))});

    auto table = Table();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_TRUE(Same(table.at("Player_Bot_Zed").settings, Cam(10)));
    EXPECT_EQ(table.at("Player_Bot_Zed").playerName, "Zed");
    EXPECT_TRUE(Same(table.at("Player_U1").defaultSettings, Cam(20)));
    EXPECT_EQ(table.at("Player_U1").playerName, "First");
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(RosterRefresh, NullRecordsAreSkippedAndAnEmptyReplayLeavesTheTableEmpty) {
    Load();
    sim::PlayerSpec missing;
    missing.nullRecord = true;
    ImportWith({missing, Human("U1", "Ann", Cam(1)), missing, Bot("Zed", Cam(2)), missing});
    auto table = Table();
    EXPECT_EQ(table.size(), 2u);
    EXPECT_TRUE(table.count("Player_U1") && table.count("Player_Bot_Zed"));

    host.ClearPlayers();
    host.ImportReplay();
    host.Wait(2.0);
    EXPECT_THAT(Table(), IsEmpty());
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

// The game may give a player's name string, or the whole player array, as null; the SDK reads
// neither (the stand-in stops the test process if the roster tries).
TEST_F(RosterRefresh, ANullNameReadsAsEmptyTextAndTheOtherPlayersStay) {
    sim::PlayerSpec bot = Bot("Zed", Cam(10)), human = Human("U2", "Bea", Cam(20));
    bot.nullName = human.nullName = true;
    struct Case {
        const char* what;
        std::vector<sim::PlayerSpec> players;
        std::map<std::string, std::pair<std::string, float>> entries;  // key: name, camera base
    } cases[] = {
        {"a bot", {bot, Human("U1", "Ann", Cam(1))}, {{"Player_Bot_", {"", 10}}, {"Player_U1", {"Ann", 1}}}},
        {"a human", {Bot("Cap", Cam(2)), human}, {{"Player_Bot_Cap", {"Cap", 2}}, {"Player_U2", {"", 20}}}},
    };
    Load();
    for (const Case& c : cases) {
        host.ClearPlayers();
        ImportWith(c.players);
        auto table = Table();
        ASSERT_EQ(table.size(), c.entries.size()) << c.what;
        for (const auto& [key, expected] : c.entries) {
            ASSERT_EQ(table.count(key), 1u) << c.what << ": " << key;
            EXPECT_EQ(table.at(key).playerName, expected.first) << c.what << ": " << key;
            EXPECT_TRUE(Same(table.at(key).defaultSettings, Cam(expected.second))) << c.what << ": " << key;
        }
    }
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(RosterRefresh, ANullPlayerArrayIsAReplayWithoutPlayers) {
    Load();
    ImportWith({Human("U1", "Ann", Cam(1))});
    ASSERT_EQ(Table().size(), 1u);

    host.SetPlayerArrayPresent(false);
    host.ImportReplay();
    host.Wait(2.0);
    EXPECT_THAT(Table(), IsEmpty());
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(RosterRefresh, Build162ReadsTheCameraFromGameMemory) {
    host.SetBuild(162);
    Load();
    sim::PlayerSpec noCamera = Human("U2", "Bea", Cam(60));
    noCamera.hasCameraObject = false;
    ImportWith({Human("U1", "Ann", Cam(90)), noCamera, Bot("Zed", Cam(70))});

    auto table = Table();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_TRUE(Same(table.at("Player_U1").settings, Cam(90)));
    EXPECT_TRUE(Same(table.at("Player_Bot_Zed").defaultSettings, Cam(70)));
    // A null camera pointer: the player still gets an entry, with fourteen zeros.
    EXPECT_TRUE(Same(table.at("Player_U2").settings, ProfileCameraSettings{}));
    EXPECT_TRUE(Same(table.at("Player_U2").defaultSettings, ProfileCameraSettings{}));
    EXPECT_EQ(table.at("Player_U2").playerName, "Bea");
    EXPECT_THAT(host.LogLines(), ElementsAre("null camera"));
}

TEST_F(RosterRefresh, OtherBuildsAskTheHostAndNeverReadMemory) {
    host.SetBuild(161);
    Load();
    sim::PlayerSpec noCamera = Human("U2", "Bea", Cam(60));
    noCamera.hasCameraObject = false;
    ImportWith({noCamera});
    // The game object's camera pointer is null, so these values can only have come from the host.
    EXPECT_TRUE(Same(Table().at("Player_U2").settings, Cam(60)));
    EXPECT_THAT(host.LogLines(), IsEmpty());
}

TEST_F(RosterRefresh, NoServerEmptiesTheTableAndSaysSoOnce) {
    Load();
    ImportWith({Human("U1", "Ann", Cam(1))});
    ASSERT_EQ(Table().size(), 1u);

    host.SetServerPresent(false);
    host.ImportReplay();
    host.Wait(2.0);
    EXPECT_THAT(Table(), IsEmpty());
    EXPECT_THAT(host.LogLines(), ElementsAre("no server"));

    // A refresh that fires after the replay was closed finds no server either.
    host.SetServerPresent(true);
    host.ClearLog();
    host.ImportReplay();
    host.CloseReplay();
    host.Wait(2.0);
    EXPECT_THAT(Table(), IsEmpty());
    EXPECT_THAT(host.LogLines(), ElementsAre("no server"));
}

TEST_F(RosterRefresh, ARefreshThrowsAwayTheUsersEdits) {
    Load();
    ImportWith({Human("U1", "Ann", Cam(90)), Bot("Zed", Cam(70))});
    Edit("Player_U1", true, Cam(5));
    Edit("Player_Bot_Zed", true, Cam(6));

    host.ImportReplay();
    host.Wait(2.0);
    auto table = Table();
    EXPECT_FALSE(table.at("Player_U1").enabled);
    EXPECT_TRUE(Same(table.at("Player_U1").settings, Cam(90)));
    EXPECT_FALSE(table.at("Player_Bot_Zed").enabled);
    EXPECT_TRUE(Same(table.at("Player_Bot_Zed").settings, Cam(70)));
}
