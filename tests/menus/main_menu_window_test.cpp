#include "menus/main_menu_window.h"

#include <gtest/gtest.h>

#include <string>

#include "flow/flow_test_util.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "persistence/jx_hiscores.h"
#include "persistence/prefs_db.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "windows/text_window.h"

namespace {

class MainMenuTest : public TFlowTest {
 protected:
  void SetUp() override {
    TFlowTest::SetUp();
    WriteSceneScripts();
    mStrings.Set("welcome", "Hallo %1%!");
    SetStringTable(&mStrings);
    SetConfig("transAlpha", "1");
    SetConfig("transModifierFadeIn", "-0.125");
  }
  void TearDown() override {
    TFlowTest::TearDown();
    SetStringTable(nullptr);
  }
  // The menu as its window script builds it: named "scene", with a greeting and a button to
  // change the player.
  TMainMenuWindow* Build() {
    RunLua(L(), "PushModal('mainmenu') MakeDialog{ MainMenuWindow{ w = 640, h = 480,"
                " function() SetWindowName('scene') end,"
                " Text{ name = 'welcome', w = 300, h = 40 }, Button{ name = 'changeplayer', w = 50, h = 20 } } }");
    return WindowCast<TMainMenuWindow>(Manager().GetTopModal()->FindChild("scene"));
  }
  bool Shown(TWindow* menu, const char* name) { return menu->FindChild(name)->IsVisible(); }
  std::string Greeting(TWindow* menu) { return WindowCast<TText>(menu->FindChild("welcome"))->GetText().ToStd(); }

  TStringTable mStrings;
};

}  // namespace

TEST_F(MainMenuTest, TheGreetingFollowsThePlayers) {
  Settings();
  TMainMenuWindow* menu = Build();
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(Shown(menu, "welcome"));
  EXPECT_FALSE(Shown(menu, "changeplayer"));
  EXPECT_EQ(GetConfig("vsync").ToStd(), "1");
  // A greeting set later does not show the two again: the script decides that.
  Settings().CreateNewUser("Jürgen");
  RunLua(L(), "SetWelcomeName()");
  EXPECT_EQ(Greeting(menu), "Hallo Jürgen!");
  EXPECT_FALSE(Shown(menu, "welcome"));

  RunLua(L(), "PopModal('mainmenu')");
  TMainMenuWindow* again = Build();
  EXPECT_TRUE(Shown(again, "welcome"));
  EXPECT_EQ(Greeting(again), "Hallo Jürgen!");
}

// The menu opens black and fades in; a player who finished the story gets a fresh profile
// under the same name on the sixth step (the fifth sees exactly 0.5), once. The score that
// the end of the game put into the highscores stays there.
TEST_F(MainMenuTest, AFinishedStoryRenewsTheProfileDuringTheFadeIn) {
  Settings().CreateNewUser("Ann");
  Settings().CreateNewUser("Bob");
  Settings().GetHiscores().AddScore(4200, true, "");
  Settings().GetPrefs().SetString("gamedata", "BuildTestGame()", 1);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("endGame", true);
  TMainMenuWindow* menu = Build();
  for (int step = 1; step <= 5; step++) menu->Animate();
  EXPECT_EQ(Settings().GetPrefs().GetString("gamedata", "", 1).ToStd(), "BuildTestGame()");
  menu->Animate();
  EXPECT_EQ(Settings().GetPrefs().GetString("gamedata", "", 1).ToStd(), "");
  EXPECT_EQ(Settings().GetUserName(1).ToStd(), "Bob");
  EXPECT_EQ(Settings().GetNumUsers(), 2);
  char name[16] = {};
  int score = 0;
  ASSERT_EQ(Settings().GetHiscores().GetScoreCount(true), 1);
  Settings().GetHiscores().GetScore(true, 0, nullptr, name, int(sizeof name), nullptr, &score, nullptr, 0);
  EXPECT_EQ(std::string(name) + ":" + std::to_string(score), "Bob:4200");
  std::string games = Eval("newGames");
  for (int step = 0; step < 20; step++) menu->Animate();
  EXPECT_EQ(Eval("newGames"), games);
  EXPECT_FLOAT_EQ(menu->GetAlpha(), -0.125f);
}

// A positive speed fades the menu out and opens the current scene once it is covered;
// speed 0 never does.
TEST_F(MainMenuTest, TheSceneOpensWhenTheFadeOutIsComplete) {
  SetConfig("transAlpha", "2");
  SetConfig("transModifierFadeIn", "0");
  Settings().CreateNewUser("Ann");
  TMainMenuWindow* menu = Build();
  TWindow* modal = Manager().GetTopModal();
  for (int step = 0; step < 20; step++) menu->Animate();
  EXPECT_EQ(Manager().GetTopModal(), modal);
  menu->SetFadeModifier(0.1f);
  menu->Animate();
  EXPECT_NE(Manager().GetTopModal(), modal);
  EXPECT_EQ(Global("built"), "adventurescreen;");
  menu->Animate();
  EXPECT_EQ(Global("built"), "adventurescreen;");
}
