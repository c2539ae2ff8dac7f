// Scene changes: starting the game from the main menu, going from scene to scene at once or
// after a fade, exit scripts, the end of the game with the credits, and the way back.

#include <gtest/gtest.h>

#include <string>

#include "flow/flow_test_util.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "persistence/jx_hiscores.h"
#include "persistence/prefs_db.h"
#include "platform/settings.h"
#include "scenes/scene.h"
#include "windows/modal_window.h"

namespace {

class SceneFlowTest : public TFlowTest {
 protected:
  void SetUp() override {
    TFlowTest::SetUp();
    WriteSceneScripts();
    SetConfig("transAlpha", "0");
    SetConfig("transModifierFadeIn", "0");
    SetConfig("transModifierFadeOut", "0.25");
    Settings().CreateNewUser("Ann");
    // The main menu: a modal above the screen, its window named "scene".
    RunLua(L(), "PushModal('mainmenu') MakeDialog{ SceneWindow{ w = 640, h = 480, function() SetWindowName('scene') end } }");
  }
  CGame& Game() { return *CGame::GetInstance(); }
  int32_t Current() { return Game().GetCurrentSceneNumber(); }
  TWindow* Top() { return Manager().GetTopModal(); }
  std::string TopName() { return Top() ? Top()->GetName().ToStd() : ""; }
  size_t ModalCount() { return Manager().GetModals().size(); }
  bool IsMainMenu() { return CGlobalInformationSystem::GetInstance()->GetGlobalBool("isMainMenu"); }
};

}  // namespace

TEST_F(SceneFlowTest, StartingAndGoingOnRunsExitScriptsAndReplacesTheScreen) {
  // From the main menu no exit script runs (not even the start scene's own, which is the
  // model's current scene), and the menu's modal gives way to the scene's.
  EXPECT_TRUE(IsMainMenu());
  Settings().StartGame(false);
  EXPECT_EQ(Current(), 100);
  EXPECT_FALSE(IsMainMenu());
  EXPECT_EQ(Global("built"), "adventurescreen;");
  EXPECT_EQ(Global("exits"), "nil");
  EXPECT_EQ(ModalCount(), 2u);
  ASSERT_NE(Top()->FindChild("scene"), nullptr);

  Settings().GoToNextScene(false);
  EXPECT_EQ(Current(), 200);
  EXPECT_EQ(Settings().GetLeftScene(), 100);
  EXPECT_EQ(Global("exits"), "100;");
  EXPECT_EQ(Global("built"), "adventurescreen;chapterscreen;");
  EXPECT_EQ(ModalCount(), 2u);

  // Back to the menu and in again: the first change from the menu runs no exit script.
  Settings().QuitToMainMenu();
  EXPECT_TRUE(IsMainMenu());
  EXPECT_EQ(ModalCount(), 1u);
  Settings().QuitToMainMenu();
  EXPECT_EQ(ModalCount(), 1u);
  RunLua(L(), "PushModal('mainmenu') StartGame(false)");
  EXPECT_EQ(Current(), 200);
  EXPECT_EQ(Global("exits"), "100;");
}

// The end-to-end runs start a new game at the scene that "demoStartScene" names, when the
// game has it.
TEST_F(SceneFlowTest, ANewGameStartsAtTheDemoSceneOfTheOptions) {
  const std::pair<const char*, int32_t> cases[] = {{"300", 300}, {"4711", 100}, {"", 100}};
  for (const auto& [setting, start] : cases) {
    SCOPED_TRACE(setting);
    SetConfig("demoStartScene", setting);
    Settings().ResetUserGame(0);
    Settings().SetCurrentUser(0);
    EXPECT_EQ(Current(), start);
  }
  SetConfig("demoStartScene", "");
}

// With fade the screen named "scene" fades out first; once it covers the screen, the next
// scene opens. Between the two the model already names the new scene.
TEST_F(SceneFlowTest, AFadeOpensTheSceneOnceTheScreenIsCovered) {
  TWindow* menu = Top();
  RunLua(L(), "StartGame(true)");
  EXPECT_EQ(Current(), 100);
  EXPECT_EQ(Top(), menu);
  auto* screen = WindowCast<TScene>(menu->FindChild("scene"));
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->GetFadeModifier(), 0.25f);
  ASSERT_TRUE(RunFramesUntil([&] { return Top() != menu; }));
  EXPECT_EQ(Global("built"), "adventurescreen;");
  EXPECT_GT(screen->GetTransAlpha(), 1.0f);

  // The scene's "Skip" goes on with a fade, once however often it is called.
  TWindow* first = Top();
  RunLua(L(), "Skip() Skip()");
  ASSERT_TRUE(RunFramesUntil([&] { return Top() != first; }));
  EXPECT_EQ(Current(), 200);
  EXPECT_EQ(Global("exits"), "100;");
  EXPECT_EQ(Global("built"), "adventurescreen;chapterscreen;");
}

// A fade asked where no screen named "scene" can fade, or with a speed that never covers
// the screen (none set included), opens the scene at once.
TEST_F(SceneFlowTest, AFadeWithoutAScreenToFadeOpensAtOnce) {
  RunLua(L(), "PushModal('dialog')");
  Settings().GoToScene(300, true);
  EXPECT_EQ(Current(), 300);
  EXPECT_EQ(Global("built"), "adventurescreen;");
  SetConfig("transModifierFadeOut", "0");
  Settings().GoToScene(200, true);
  EXPECT_EQ(Global("built"), "adventurescreen;chapterscreen;");
  // A scene window whose fade-out would never cover the screen goes on at once: without
  // "transModifierFadeOut" the game is not left on a covered screen.
  SetConfig("transModifierFadeOut", "");
  RunLua(L(), "Skip()");
  EXPECT_EQ(Current(), 300);
  EXPECT_EQ(Global("built"), "adventurescreen;chapterscreen;adventurescreen;");
}

// Without a current scene there is nothing to go on from: back to the main menu.
TEST_F(SceneFlowTest, GoingOnWithoutACurrentSceneReturnsToTheMenu) {
  Settings().StartGame(false);
  Game().SetCurrentScene(4711);
  Settings().GoToNextScene(true);
  EXPECT_TRUE(IsMainMenu());
  EXPECT_EQ(ModalCount(), 1u);
  // Opening a scene that is not in the model does the same.
  RunLua(L(), "PushModal('mainmenu')");
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("isMainMenu", false);
  Settings().OpenCurrentScene();
  EXPECT_TRUE(IsMainMenu());
  EXPECT_EQ(ModalCount(), 1u);
}

// After EndGame the next scene change ends the game: the score goes to the store, the saved
// game is emptied, the main menu returns and the credits open over it.
TEST_F(SceneFlowTest, TheSceneChangeAfterTheEndShowsTheCredits) {
  SetConfig("scriptCredits", "scripts/credits.lua");
  WriteAsset("scripts/credits.lua", "credits = (credits or 0) + 1\n");
  Settings().StartGame(false);
  TPrefsDB& prefs = Settings().GetPrefs();
  prefs.SetInt("HighscoreCurrentUser_BonusFromPreviousLevels", 640, 0);
  Settings().SetCurrentUser(0);
  Settings().StartGame(false);
  RunLua(L(), "EndGame()");
  // The credits are a modal dialog: it waits in the script's coroutine, as in the game.
  StartCoroutine("while true do WaitForMessage() end");
  EXPECT_NE(prefs.GetString("gamedata", "", 0).ToStd(), "");
  EXPECT_TRUE(Settings().IsGameEnded());

  Settings().GoToScene(300, false);
  EXPECT_FALSE(Settings().IsGameEnded());
  EXPECT_EQ(Current(), 100) << "the scene number is ignored";
  EXPECT_EQ(prefs.GetString("gamedata", "x", 0).ToStd(), "");
  EXPECT_EQ(prefs.GetString("gamestate", "x", 0).ToStd(), "");
  EXPECT_TRUE(IsMainMenu());
  EXPECT_EQ(Global("credits"), "1");
  EXPECT_EQ(ModalCount(), 2u) << "the credits over the menu";
  char name[32] = {};
  int score = 0;
  ASSERT_TRUE(Settings().GetHiscores().GetScore(true, 0, nullptr, name, int(sizeof name), nullptr, &score, nullptr, 0));
  EXPECT_EQ(std::string(name) + ":" + std::to_string(score), "Ann:640");
}

// The script of a scene kind: the first kind of the table that the scene is of.
TEST_F(SceneFlowTest, TheSceneKindChoosesItsScript) {
  struct TCase {
    int type, secondType;
    const char* script;
  };
  const TCase cases[] = {
      {18, 5, "standard/scripts/scenes/hiddenobjectgame.lua"},
      {18, 6, "standard/scripts/scenes/adventurescreen.lua"},
      {29, -1, "standard/scripts/scenes/adventurescreen.lua"},
      {1, 11, "standard/scripts/scenes/chapterscreen.lua"},
      {42, -1, "standard/scripts/scenes/rotationTiles.lua"},
      {44, -1, "standard/scripts/scenes/labyrinthgame.lua"},
      {19, -1, ""},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TSettings::GetSceneScript(CFlowTestScene(1, c.type, c.secondType)).ToStd(), c.script) << c.type;
  // A kind without a script gets an empty modal window.
  std::unique_ptr<TWindow> window = Settings().CreateSceneWindow(CFlowTestScene(1, 19));
  ASSERT_NE(WindowCast<TModalWindow>(window.get()), nullptr);
  EXPECT_TRUE(window->GetChildren().empty());
}
