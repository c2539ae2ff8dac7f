// The game's start-up pieces: its defaults, its window types, its reaction to the close
// request, the full-screen switch and activation, and its message handler.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "flow/flow_test_util.h"
#include "flow/game_defaults.h"
#include "flow/game_main.h"
#include "flow/message_handler.h"
#include "menus/custom_text_edit.h"
#include "menus/hiscore_window.h"
#include "menus/main_menu_window.h"
#include "menus/options_window.h"
#include "menus/profiles_window.h"
#include "menus/score_window.h"
#include "model/global_information_system.h"
#include "persistence/prefs_db.h"
#include "platform/settings.h"
#include "scenes/chapter_screen_window.h"
#include "scenes/scene.h"

namespace {

using GameMainTest = TFlowTest;

}  // namespace

TEST_F(GameMainTest, DefaultsAndWindowTypes) {
  EXPECT_EQ(GetConfig("buildtag").ToStd(), "V. 1.0");
  EXPECT_EQ(GetConfig("version").ToStd(), "V. 1.0");
  EXPECT_EQ(GetConfig("publisher").ToStd(), "Tarvelon");
  std::string key = GetConfig("encryptionkey").ToStd();
  ASSERT_EQ(key.size(), 12u);
  for (size_t i = 0; i < key.size(); i++) EXPECT_TRUE(i < 8 ? islower(key[i]) : isupper(key[i])) << key;
  EXPECT_EQ(GetConfig("jxgamemodename2"), GetGameModeTableName(1));
  EXPECT_EQ(GetConfig("jxgamemedalname1"), GetGameMedalName(0));
  EXPECT_EQ(GetConfig("jxgamehandle"), GetGameModeTableName(-1));

  // Every one of the 27 names makes a window; the menus and screens built so far are their
  // own, and the text field is the game's own in place of the engine's.
  const char* names[] = {"SceneWindow", "CutsceneWindow", "HiddenObjectGame", "ChapterScreenWindow",
                         "AdventureScreenWindow", "JigsawPuzzleWindow", "UnlockingDoors", "MirroredImageWindow",
                         "SharkShooterWindow", "NineMensMorrisWindow", "PlacingPicturesWindow", "MixPotion",
                         "TickerWindow", "MainMenuWindow", "OptionsWindow", "HiscoreWindow", "DiaryWindow",
                         "ProfilesWindow", "CreditsWindow", "RolloverWindow", "TextEdit", "PlotpointWindow",
                         "ScoreWindow", "MastermindWindow", "MemoryGameWindow", "RotationTilesWindow",
                         "LabyrinthWindow"};
  for (const char* name : names) {
    TWindowCreator creator = Script().FindWindowType(name);
    ASSERT_NE(creator, nullptr) << name;
    EXPECT_NE(creator(), nullptr) << name;
  }
  EXPECT_EQ(Script().FindWindowType("MainMenuWindow"), &TMainMenuWindow::Create);
  EXPECT_EQ(Script().FindWindowType("ProfilesWindow"), &TProfilesWindow::Create);
  EXPECT_EQ(Script().FindWindowType("SceneWindow"), &TScene::Create);
  EXPECT_EQ(Script().FindWindowType("ChapterScreenWindow"), &TChapterScreenWindow::Create);
  EXPECT_EQ(Script().FindWindowType("TextEdit"), &TCustomTextEdit::Create);
  EXPECT_EQ(Script().FindWindowType("OptionsWindow"), &TOptionsWindow::Create);
  EXPECT_EQ(Script().FindWindowType("HiscoreWindow"), &THiscoreWindow::Create);
  EXPECT_EQ(Script().FindWindowType("ScoreWindow"), &TScoreWindow::Create);
}

TEST_F(GameMainTest, TheGameReactsToCloseFullScreenAndActivation) {
  Settings();
  CGlobalInformationSystem& globals = *CGlobalInformationSystem::GetInstance();
  struct TCase {
    int32_t code;
    bool notFocused;
  };
  for (const TCase& c : {TCase{1, false}, TCase{0, true}, TCase{2, true}, TCase{1, false}}) {
    ReactToGameEvent(TPlatformEvent::Of(EventActivation, c.code, 0, 0, 0));
    EXPECT_EQ(globals.GetGlobalBool("WindowHasNotFocus"), c.notFocused) << c.code;
  }
  // The close request asks the script; the game does not quit by itself.
  SetConfig("scriptOkVerify", "scripts/okverify.lua");
  WriteAsset("scripts/okverify.lua", "asked = (asked or 0) + 1\n");
  ReactToGameEvent(TPlatformEvent::Of(EventClose, 0, 0, 0, 0));
  EXPECT_EQ(Global("asked"), "1");
  EXPECT_TRUE(mHost->quits.empty());
  // After a switch the platform's mode is stored for the next start (a window here).
  ReactToGameEvent(TPlatformEvent::Of(EventFullScreenToggled, 0, 0, 0, 1));
  EXPECT_EQ(Settings().GetPrefs().GetInt("fullscreen", -1), 0);
}

TEST_F(GameMainTest, TheMessageHandlerOpensTheModalScreens) {
  WriteAsset("scripts/credits.lua", "shown = (shown or '') .. 'credits;'\n");
  WriteAsset("scripts/score.lua", "shown = (shown or '') .. 'score;'\n");
  StartCoroutine("while true do WaitForMessage() end");
  CMessageHandler handler;
  TMessage credits(MessageGeneric, "ShowCredits"), score(MessageGeneric, "ShowScoreWindow"),
      other(MessageGeneric, "ShowSomethingElse");
  EXPECT_TRUE(handler.OnMessage(credits));
  EXPECT_TRUE(handler.OnMessage(score));
  EXPECT_FALSE(handler.OnMessage(other));
  EXPECT_EQ(Global("shown"), "credits;score;");
  EXPECT_EQ(Manager().GetModals().size(), 3u);
}
