#include "flow/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/flow_test_util.h"
#include "flow/game_defaults.h"
#include "model/diary.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "persistence/jx_hiscores.h"
#include "persistence/prefs_db.h"
#include "platform/settings.h"

namespace {

class SettingsTest : public TFlowTest {
 protected:
  TPrefsDB& Prefs() { return Settings().GetPrefs(); }
  // Every player's name, in index order.
  std::string Names() {
    std::string names;
    for (int i = 0; i < Settings().GetNumUsers(); i++) names += Settings().GetUserName(i).ToStd() + ";";
    return names;
  }
  // The rows of the store's current table as "name:score".
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    TJxHiscores& store = Settings().GetHiscores();
    for (int i = 0; i < store.GetScoreCount(true); i++) {
      char name[64] = {};
      int score = 0;
      store.GetScore(true, i, nullptr, name, int(sizeof name), nullptr, &score, nullptr, 0);
      rows.push_back(std::string(name) + ":" + std::to_string(score));
    }
    return rows;
  }
};

}  // namespace

TEST_F(SettingsTest, PlayersAreCreatedChosenAndDeleted) {
  // No player yet: the new-game script builds the model of player -1.
  EXPECT_EQ(Settings().GetCurrentUser(), -1);
  EXPECT_EQ(Eval("newGames"), "1");
  Settings().CreateNewUser("Ann");
  Settings().CreateNewUser("Bob");
  // A new player takes the options of the current one.
  Prefs().SetInt("soundoff", 1, 1);
  Prefs().SetInt("soundlevel", 250, 1);
  RunLua(L(), "CreateNewUser('Cleo')");
  EXPECT_EQ(Names(), "Ann;Bob;Cleo;");
  EXPECT_EQ(Settings().GetCurrentUser(), 2);
  EXPECT_EQ(Prefs().GetInt("soundoff", 0, 2), 1);
  EXPECT_EQ(Prefs().GetInt("soundlevel", 0, 2), 250);
  EXPECT_EQ(Prefs().GetInt("musiclevel", 0, 2), 700);
  EXPECT_TRUE(Settings().IsNameInUse("Bob"));
  EXPECT_EQ(Eval("IsNameInUse('Dora')"), "false");

  // Deleting player 0 of three selects index 1 of the remaining two: the former player 2.
  Settings().DeleteUser(0);
  EXPECT_EQ(Names(), "Bob;Cleo;");
  EXPECT_EQ(Settings().GetCurrentUserName().ToStd(), "Cleo");
  Settings().DeleteUser(1);
  Settings().DeleteUser(0);
  // Deleting the only player leaves none chosen, and the new-game script runs once more.
  EXPECT_EQ(Settings().GetCurrentUser(), -1);
  EXPECT_EQ(Eval("GetCurrentUser()"), "-1");
  EXPECT_EQ(Eval("newGames"), "7");
}

// Indices outside the players never add players nor change the choice; -1 is "none" only
// for choosing.
TEST_F(SettingsTest, IndicesOutsideThePlayersChangeNothing) {
  Settings().CreateNewUser("Ann");
  Settings().CreateNewUser("Bob");
  Prefs().SetString("gamedata", "BuildTestGame()", 1);
  for (const char* call : {"SetCurrentUser(-2)", "SetCurrentUser(2)", "SetCurrentUser(5000)", "DeleteUser(-1)",
                           "DeleteUser(2)", "ResetUserGame(-1)", "ResetUserGame(2)", "ResetUserGame(999)"}) {
    RunLua(L(), call);
    EXPECT_EQ(Names(), "Ann;Bob;") << call;
    EXPECT_EQ(Settings().GetCurrentUser(), 1) << call;
    EXPECT_EQ(Prefs().GetString("gamedata", "", 1).ToStd(), "BuildTestGame()") << call;
  }
  EXPECT_EQ(Prefs().GetString("gamedata", "none", -1).ToStd(), "none");

  // Without a chosen player a rename changes nobody (and adds nobody).
  Settings().SetCurrentUser(-1);
  Settings().ChangeCurrentUserName("Eve");
  EXPECT_EQ(Names(), "Ann;Bob;");
  // A stored choice that names no player is dropped at the next start.
  Prefs().SetInt("curuser", 7);
  Restart();
  EXPECT_EQ(Settings().GetCurrentUser(), -1);
  EXPECT_EQ(Names(), "Ann;Bob;");
}

TEST_F(SettingsTest, SavingAndChoosingAPlayerRestoresItsGame) {
  Settings().CreateNewUser("Ann");
  CGame::GetInstance()->SetCurrentScene(200);
  CGlobalInformationSystem::GetInstance()->SetGlobalNumber("laternen", 2);
  Settings().SetCurrentGameMode(1);
  RunLua(L(), "SaveGame()");
  std::string data = Prefs().GetString("gamedata", "", 0).ToStd();
  EXPECT_NE(data.find("seqId = 200"), std::string::npos) << data;
  EXPECT_NE(data.find("currentScene = 200"), std::string::npos) << data;
  EXPECT_NE(Prefs().GetString("gamestate", "", 0).ToStd().find("SetGlobalNumber(\"laternen\", 2)"), std::string::npos);
  EXPECT_EQ(Prefs().GetInt("gamemode", -5, 0), 1);
  EXPECT_NE(Prefs().GetString("HighscoreCurrentUser_LevelId", "", 0).ToStd(), "");

  // The next start runs the saved texts: the model first, then the global values.
  Prefs().SetString("gamedata", "BuildTestGame() CGameRan = true", 0);
  Prefs().SetString("gamestate", "SetGlobalNumber('laternen', 3) stateRanAfterModel = CGameRan", 0);
  Restart();
  EXPECT_EQ(Settings().GetCurrentUserName().ToStd(), "Ann");
  EXPECT_EQ(Eval("stateRanAfterModel"), "true");
  EXPECT_EQ(CGlobalInformationSystem::GetInstance()->GetGlobalNumber("laternen"), 3);
  // Once at the first start, once for the new player; the saved game replaces it now.
  EXPECT_EQ(Eval("newGames"), "2");
  EXPECT_EQ(Settings().GetCurrentGameMode(), 1);
}

// The score is read when the player is chosen, so that saving before the game starts (or
// renaming, which hands the score to the store) keeps it.
TEST_F(SettingsTest, TheScoreComesWithThePlayer) {
  Settings().CreateNewUser("Ann");
  Prefs().SetInt("HighscoreCurrentUser_BonusFromPreviousLevels", 4200, 0);
  Restart();
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetHighscoreAsInt(), 4200u);
  Settings().SaveGame();
  EXPECT_EQ(Prefs().GetInt("HighscoreCurrentUser_BonusFromPreviousLevels", 0, 0), 4200);
}

// A saved game that does not run is kept: saving afterwards does not write the half-built
// model over it, until the player's game is reset.
TEST_F(SettingsTest, ASavedGameThatFailsToLoadIsNotOverwritten) {
  Settings().CreateNewUser("Ann");
  Prefs().SetString("gamedata", "BuildTestGame() this is not Lua", 0);
  Restart();
  RunLua(L(), "SaveGame()");
  EXPECT_EQ(Prefs().GetString("gamedata", "", 0).ToStd(), "BuildTestGame() this is not Lua");
  Settings().ResetUserGame(0);
  Settings().SaveGame();
  EXPECT_NE(Prefs().GetString("gamedata", "", 0).ToStd().find("MakeGame"), std::string::npos);
}

// A rename keeps the player's rows in every table and its medals; the current score goes to
// the table only when the player stood in its first ten rows.
TEST_F(SettingsTest, ARenameKeepsTheScoresAndMedals) {
  Settings().CreateNewUser("Ann");
  Settings().CreateNewUser("Bob");
  TJxHiscores& store = Settings().GetHiscores();
  Settings().SetCurrentUser(0);
  store.AddScore(900, true, "");
  Settings().SetCurrentGameMode(0);
  store.AddScore(300, true, "");
  Settings().SetCurrentUser(1);
  store.AddScore(500, true, "");
  Settings().SetCurrentUser(0);
  Prefs().SetInt("HighscoreCurrentUser_BonusFromPreviousLevels", 1000, 0);
  Settings().SetCurrentUser(0);

  RunLua(L(), "ChangeCurrentUserName('Anna')");
  EXPECT_EQ(Names(), "Anna;Bob;");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Anna:1000", "Bob:500"}));
  Settings().SetCurrentGameMode(0);
  EXPECT_EQ(Rows(), std::vector<std::string>{"Anna:300"});
  // New scores go under the new name.
  RunLua(L(), "LogHighScore(50, false, false)");
  EXPECT_EQ(Rows(), std::vector<std::string>{"Anna:300"});
}

// Choosing a player chooses the score table of its saved game mode.
TEST_F(SettingsTest, TheGameModeChoosesItsScoreTable) {
  Settings().CreateNewUser("Ann");
  Prefs().SetInt("gamemode", 1, 0);
  Restart();
  EXPECT_EQ(Eval("GetCurrentGameMode()"), "1");
  RunLua(L(), "LogHighScore(77, true, true)");
  Settings().GetHiscores().SetInfoString(2, GetGameModeTableName(1));
  EXPECT_EQ(Rows(), std::vector<std::string>{"Ann:77"});
  Settings().GetHiscores().SetInfoString(2, GetGameModeTableName(-1));
  EXPECT_TRUE(Rows().empty());

  // Only -1, 0 and 1 are modes; -1 makes the game's handle the table.
  RunLua(L(), "SetCurrentGameMode(2)");
  EXPECT_EQ(Settings().GetCurrentGameMode(), 1);
  RunLua(L(), "SetCurrentGameMode(-1) LogHighScore(5, true, true)");
  Settings().GetHiscores().SetInfoString(2, GetGameModeTableName(-1));
  EXPECT_EQ(Rows(), std::vector<std::string>{"Ann:5"});
  // A mode stored out of range reads as none.
  Prefs().SetInt("gamemode", 9, 0);
  Restart();
  EXPECT_EQ(Settings().GetCurrentGameMode(), -1);
}

TEST_F(SettingsTest, ScriptFunctionsOfOptionsNamesAndScenes) {
  Settings().CreateNewUser("Ann");
  RunLua(L(), "ToggleSoundMute()");
  EXPECT_EQ(Prefs().GetInt("soundoff", -1, 0), 1);
  RunLua(L(), "ToggleSoundMute()");
  EXPECT_EQ(Prefs().GetInt("soundoff", -1, 0), 0);
  EXPECT_EQ(Eval("GetJXGameModeName(0)"), GetGameModeTableName(0).ToStd());
  EXPECT_EQ(Eval("GetJXGameModeName(2)") + Eval("GetJXMedalName(-1)") + Eval("GetMedalName(0)"), "");
  EXPECT_EQ(Eval("GetMedalType(0)"), "-1");
  EXPECT_EQ(Eval("NumEarnedMedals()") + Eval("NumMedalsToSubmit()"), "00");
  EXPECT_EQ(Eval("GetCurrentScene()"), "there is no current scene in the memory!");
  RunLua(L(), "SetCurrentScene('Lichtung')");
  EXPECT_EQ(Eval("GetCurrentScene()"), "Lichtung");
  EXPECT_EQ(Eval("GetNumUsers()"), "1");
  // Without a platform there is no display to switch.
  EXPECT_EQ(Eval("ToggleFullScreen()"), "false");
  EXPECT_EQ(Prefs().GetInt("fullscreen", -1), -1);

  TColor ocher = Settings().GetColor("OCHER");
  EXPECT_EQ(ocher, (TColor{229 / 255.0f, 198 / 255.0f, 116 / 255.0f, 1.0f}));
  EXPECT_EQ(Settings().GetColor("MAUVE"), (TColor{0, 0, 0, 0}));
}

// The chosen player's diary gets its pages from the settings, is read with the player (so a
// save before the game starts keeps its entries) and is saved with the game.
TEST_F(SettingsTest, TheDiaryComesWithThePlayersGame) {
  for (const char* key : {"dcx1", "dcx2", "dcy1", "dcy2", "dcw1", "dcw2", "dch1", "dch2"}) SetConfig(key, "300");
  Settings().CreateNewUser("Ann");
  TDiary* diary = TDiary::GetInstance();
  ASSERT_NE(diary, nullptr);
  EXPECT_EQ(diary->GetSitesPerSpread(), 2u);
  const TDiaryValues values = {0, -1, -1, -1, -1, 1000};
  diary->InsertContentAtSite(DiarySiteEnd, "", TRect(), 30, TDiary::DefaultFontFile, values);
  diary->InsertContentAtSite(DiarySiteEnd, "", TRect(), 30, TDiary::DefaultFontFile, values);
  Settings().SaveGame();
  EXPECT_EQ(Settings().GetPrefs().GetInt("Diary_numberOfContent", 0, 0), 2);

  Restart();
  ASSERT_EQ(TDiary::GetInstance()->GetNumberOfContent(), 2u);
  Settings().SaveGame();
  EXPECT_EQ(Settings().GetPrefs().GetInt("Diary_numberOfContent", 0, 0), 2);
  // Another player has a diary of its own.
  Settings().CreateNewUser("Bob");
  EXPECT_EQ(TDiary::GetInstance()->GetNumberOfContent(), 0u);
}

// The new-game script and the saved game run through the model compositor, whose Make
// functions stand only while a player's texts run.
TEST_F(SettingsTest, PlayersGamesAreBuiltByTheMakeFunctions) {
  WriteAsset("scripts/game/objectives.lua", "objectivesLoaded = true\n");
  WriteAsset("scripts/newgame.lua",
             "MakeGame{ startScene = 110001, MakeLevel{ seqId = 1,\n"
             "  MakeChapterScreen{ seqId = 110001, nextScene = 110002, title = 'Kapitel 1' },\n"
             "  MakeAdventureScreen{ seqId = 110002, MakeSceneObject{ id = 'laterne' } } } }\n");
  Settings().CreateNewUser("Ann");
  ASSERT_TRUE(CGame::GetInstance()->FindScene(110002));
  EXPECT_EQ(CGame::GetInstance()->GetCurrentSceneNumber(), 110001);
  EXPECT_NE(LuaError(L(), "MakeLevel{}"), "");

  CGame::GetInstance()->SetCurrentScene(110002);
  Settings().SaveGame();
  std::string saved = Prefs().GetString("gamedata", "", 0).ToStd();
  Restart();
  EXPECT_EQ(CGame::GetInstance()->GetCurrentSceneNumber(), 110002);
  EXPECT_EQ(Eval("objectivesLoaded"), "true");
  std::string again;
  CGame::GetInstance()->Serialize(again);
  EXPECT_EQ(again, saved);
}
