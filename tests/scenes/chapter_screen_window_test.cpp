// The chapter screen: its parts fade in from their start times after the scene's fade-in,
// it ends by itself after its duration or on a click, and the play clock stands still.

#include <gtest/gtest.h>

#include <string>

#include "model/chapter_screen.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/level.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "scene_window_test_util.h"
#include "scenes/chapter_screen_window.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"

namespace {

class ChapterScreen : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Solid("pics/place.png", 100, 60, 0xFF406080);
    GetStringTable()->Set("PLACE", "Nebeltal");
    GetStringTable()->Set("TITLE", "Ankunft");
    SetConfig("csFadeSpeed", "250");
    SetConfig("csStartLocationImage", "0");
    SetConfig("csStartLocationText", "100");
    SetConfig("csStartTitle", "200");
    SetConfig("csStartSubtitle", "0");
    SetConfig("csSceneDuration", "1000");
    SetConfig("csLocationMarkTextFontHeight", "20");
    SetConfig("csLocationMarkTextMaxLines", "2");
    SetConfig("csLocationMarkTextFontColor", "WHITE");
    auto card = std::make_unique<CChapterScreen>();
    card->SetSeqId(100001);
    card->SetNextScene(120001);
    card->SetLocationImage("pics/place");
    card->SetLocationX(40);
    card->SetLocationY(30);
    card->SetLocationText("PLACE");
    card->SetTitle("TITLE");
    auto level = std::make_unique<CLevel>();
    level->SetSeqId(2);
    level->AddScene(std::move(card));
    CGame::GetInstance()->AddLevel(std::move(level));
    CGame::GetInstance()->SetCurrentScene(100001);
  }
  TChapterScreenWindow* Open() { return WindowCast<TChapterScreenWindow>(OpenScene("ChapterScreenWindow")); }
  float TitleAlpha() { return Textbox("title")->GetAlpha(); }
};

// The card's clock starts with the scene's completed fade-in; each part fades in from its
// start time in four frames at 250 thousandths; once all are shown and the duration has
// passed, the card goes on to the next scene, once. The location text stands centred 8
// pixels under the image. The play clock is paused while the card exists.
TEST_F(ChapterScreen, ThePartsFadeInAndTheCardEndsByItself) {
  TChapterScreenWindow* card = Open();
  ASSERT_NE(card, nullptr);
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  TRect text = Textbox("locationText")->GetRect();
  EXPECT_EQ(text.top, 30 + 60 + 8);
  EXPECT_NEAR((text.left + text.right) / 2.0, 40 + 50, 1.0);
  EXPECT_EQ(Image("locationImage")->GetAlpha(), 0.0f);
  Frames(2);
  EXPECT_EQ(card->GetChapterTime(), 0u) << "until the fade-in is reported";
  Frames(1);
  EXPECT_EQ(Image("locationImage")->GetAlpha(), 0.25f);
  Frames(3);
  EXPECT_EQ(Image("locationImage")->GetAlpha(), 1.0f);
  EXPECT_EQ(TitleAlpha(), 0.0f);
  ASSERT_TRUE(FramesUntil([&] { return TitleAlpha() > 0; }, 20));
  EXPECT_GE(card->GetChapterTime(), 200u);
  Frames(3);
  EXPECT_EQ(TitleAlpha(), 1.0f);
  EXPECT_TRUE(mFlow.calls.size() == 1u) << "not yet";
  ASSERT_TRUE(FramesUntil([&] { return mFlow.calls.size() > 1; }, 60));
  EXPECT_GT(card->GetChapterTime(), 1000u);
  EXPECT_EQ(mFlow.calls.back(), "next:1");
  Frames(30);
  EXPECT_EQ(mFlow.calls, (std::vector<std::string>{"music:", "next:1", "open"}));
  Manager().PopModal();
  Send(EventIdle);
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused());
}

// A click the scene base does not take skips the card, also before its fade-in has
// completed; not while "BlockSkipOnMouseClickOnChapterScreen" is set (the card then runs its
// time) nor while "showBriefingWindow" is set. Without "csFadeSpeed" nothing shows and only
// a click ends the card. The card ignores "endGame" at its fade-in.
TEST_F(ChapterScreen, ClicksSkipTheCardUnlessBlocked) {
  SetConfig("csFadeSpeed", "");
  CGlobalInformationSystem& globals = *CGlobalInformationSystem::GetInstance();
  globals.SetGlobalBool("endGame", true);
  globals.SetGlobalBool("BlockSkipOnMouseClickOnChapterScreen", true);
  globals.SetGlobalBool("showBriefingWindow", true);
  Open();
  Frames(100);
  Click(10, 10);
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"music:"});
  globals.SetGlobalBool("showBriefingWindow", false);
  Click(10, 10);
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"music:"});
  EXPECT_EQ(TitleAlpha(), 0.0f);
  globals.SetGlobalBool("BlockSkipOnMouseClickOnChapterScreen", false);
  Click(10, 10);
  Click(10, 10);
  EXPECT_EQ(mFlow.calls, (std::vector<std::string>{"music:", "next:1"}));

  Manager().PopModal();
  CGame::GetInstance()->SetCurrentScene(100001);
  SetConfig("transAlpha", "1");
  Open();
  Frames(1);
  Click(10, 10);
  EXPECT_EQ(mFlow.calls.back(), "next:1");
}

}  // namespace
