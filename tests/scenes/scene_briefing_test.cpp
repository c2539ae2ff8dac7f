// The briefing box (timed texts, clicks, next-on-click), the briefing modal, and the bars of
// in-game cutscenes.

#include <gtest/gtest.h>

#include <string>

#include "model/global_information_system.h"
#include "model/scene_exit.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "scene_window_test_util.h"
#include "scenes/scene.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"

namespace {

class Briefing : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Solid("pics/brief.png", 100, 40, 0xFF202020);
    SetConfig("briefingWindowTexture", "pics/brief");
    SetConfig("briefingWindowBgTextureX", "50");
    SetConfig("briefingWindowBgTextureY", "20");
    SetConfig("igoMinimumTimeToDisplay", "100");
    GetStringTable()->Set("B1", "Erstens");
    GetStringTable()->Set("B2", "Zweitens");
  }
  float BoxAlpha() { return Image("briefingWindowBg")->GetAlpha(); }
  std::string BoxText() { return Textbox("briefingWindowText")->GetText().ToStd(); }
};

// An entry shows on the next frame, stays at alpha 1 for its time and fades out over 34
// frames, ending on the frame after; no entry ends before its minimum time, a click
// included.
TEST_F(Briefing, AnEntryShowsItsTimeAndFadesOut) {
  TScene* scene = OpenScene();
  Frames(1);
  EXPECT_EQ(Lua("ShowBriefingWindow('B1', 0, 300, false)"), "");
  EXPECT_EQ(BoxAlpha(), 0.0f);
  Frames(1);
  EXPECT_TRUE(scene->IsBriefingVisible());
  EXPECT_EQ(BoxAlpha(), 1.0f);
  EXPECT_EQ(BoxText(), "Erstens");
  Click(60, 30);
  Frames(3);
  EXPECT_EQ(BoxAlpha(), 1.0f) << "a click waits for the minimum time";
  Frames(2);
  EXPECT_LT(BoxAlpha(), 1.0f) << "then it fades";
  Frames(40);
  EXPECT_FALSE(scene->IsBriefingVisible());

  EXPECT_EQ(Lua("ShowBriefingWindow('B2', 0, 300, false)"), "");
  Frames(1);
  int frames = 0;
  while (BoxAlpha() == 1.0f && frames < 100) Frames(1), frames++;
  EXPECT_NEAR(frames * 25, 300, 50);
  int fading = 0;
  while (scene->IsBriefingVisible() && fading < 100) Frames(1), fading++;
  EXPECT_EQ(fading, 34) << "33 more fading frames, then the end";
}

// Duration -1 stays until a click inside the box; with next-on-click the next entry
// replaces it at once and gets the time the first had left. A last entry with
// next-on-click has no next one: its click ends it like any other.
TEST_F(Briefing, ClicksGoOnToTheNextEntryAndTheLastOneEnds) {
  TScene* scene = OpenScene();
  Frames(1);
  EXPECT_EQ(Lua("ShowBriefingWindow('B1', 0, -1, true) ShowBriefingWindow('B2', 60000, 1000, true)"), "");
  Frames(20);
  EXPECT_EQ(BoxText(), "Erstens");
  EXPECT_EQ(BoxAlpha(), 1.0f);
  Click(40, 30);
  Frames(2);
  EXPECT_EQ(BoxText(), "Erstens") << "outside the box";
  Click(60, 30);
  Frames(1);
  EXPECT_EQ(BoxText(), "Zweitens");
  EXPECT_EQ(scene->GetBriefingCurrent(), 1);
  Frames(5);
  Click(60, 30);
  ASSERT_TRUE(FramesUntil([&] { return !scene->IsBriefingVisible(); }, 60));
  EXPECT_EQ(BoxAlpha(), 0.0f);
  EXPECT_EQ(scene->GetBriefingCurrent(), 1);
}

// While "showBriefingWindow" is set, the fade opens the briefing modal once the overlay is
// below "alphaToShowBriefing", once per visit even while the flag stays set; clicks are
// swallowed meanwhile.
TEST_F(Briefing, TheBriefingModalOpensOnce) {
  SetConfig("transAlpha", "1");
  SetConfig("alphaToShowBriefing", "0.6");
  SetConfig("scriptBriefingWindow", "scripts/briefing.lua");
  WriteAsset("scripts/briefing.lua", "briefings = (briefings or 0) + 1\n");
  auto exit = std::make_unique<CSceneExit>();
  exit->SetCorner(1, 0, 0), exit->SetCorner(2, 300, 0), exit->SetCorner(3, 300, 200), exit->SetCorner(4, 0, 200);
  Model().AddSceneExit(std::move(exit));
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  TScene* scene = OpenScene();
  // The modal is a dialog above the scene: the test takes it away again each frame.
  for (int i = 0; i < 8; i++) {
    Frames(1);
    if (Manager().GetTopModal() != scene->GetParent()) Manager().PopModal();
  }
  EXPECT_EQ(Global("briefings"), "1");
  Click(100, 100);
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"music:"});
}

class CutsceneBars : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Solid("pics/bar.png", 16, 100, 0xFF000000);
    SetConfig("ingamecutsceneFadeRatio", "0.1");
    SetConfig("igcsTopTexture", "pics/bar");
    SetConfig("igcsBottomTexture", "pics/bar");
    auto exit = std::make_unique<CSceneExit>();
    exit->SetCorner(1, 0, 0), exit->SetCorner(2, 300, 0), exit->SetCorner(3, 300, 200), exit->SetCorner(4, 0, 200);
    exit->SetNextScene(120002);
    Model().AddSceneExit(std::move(exit));
  }
  int32_t TopBar() { return Image("borderTop")->GetRect().top; }
  int32_t BottomBar() { return Image("borderBottom")->GetRect().top; }
};

// Bars 100 pixels high move in ten pixels a frame, stay their time, and move out again
// (the bottom one a whole bar height further than it needs); while they are in, clicks
// reach no exit, and once they are gone the exits take clicks again.
TEST_F(CutsceneBars, TheBarsComeInStayAndGo) {
  TScene* scene = OpenScene();
  Frames(1);
  EXPECT_EQ(Lua("StartInGameCutscene(0, 500)"), "");
  Frames(1);
  EXPECT_EQ(TopBar(), -90);
  EXPECT_EQ(BottomBar(), int32_t(Height) - 10);
  ASSERT_TRUE(FramesUntil([&] { return scene->IsInGameCutsceneRunning(); }, 12));
  EXPECT_EQ(TopBar(), 0);
  EXPECT_EQ(BottomBar(), int32_t(Height) - 100);
  Click(100, 100);
  EXPECT_TRUE(scene->IsInGameCutsceneClicked());
  EXPECT_EQ(mFlow.calls.size(), 1u) << "no exit";
  Frames(19);
  EXPECT_EQ(TopBar(), 0);
  ASSERT_TRUE(FramesUntil([&] { return !scene->IsInGameCutsceneRunning(); }, 40));
  EXPECT_EQ(TopBar(), -210);
  EXPECT_EQ(BottomBar(), int32_t(Height) + 110);
  Click(100, 100);
  EXPECT_EQ(mFlow.calls.back(), "go:120002:1");
}

// Bars without a texture have no height: they are in place at once and out at once, so the
// in-game cutscene keeps its time and does not hold the scene's clicks for the visit.
TEST_F(CutsceneBars, BarsWithoutATextureDoNotHoldTheScene) {
  SetConfig("igcsTopTexture", "pics/missing");
  SetConfig("igcsBottomTexture", "");
  TScene* scene = OpenScene();
  Frames(1);
  EXPECT_EQ(Lua("StartInGameCutscene(0, 200)"), "");
  Frames(2);
  EXPECT_TRUE(scene->IsInGameCutsceneRunning());
  ASSERT_TRUE(FramesUntil([&] { return !scene->IsInGameCutsceneRunning(); }, 20));
  Click(100, 100);
  EXPECT_EQ(mFlow.calls.back(), "go:120002:1");
}

// With a ratio of 0 the bars never move and the in-game cutscene never counts as in place.
TEST_F(CutsceneBars, ARatioOfZeroNeverBringsTheBarsIn) {
  SetConfig("ingamecutsceneFadeRatio", "0");
  TScene* scene = OpenScene();
  Frames(1);
  EXPECT_EQ(Lua("StartInGameCutscene(0, 200)"), "");
  Frames(30);
  EXPECT_FALSE(scene->IsInGameCutsceneRunning());
  EXPECT_EQ(TopBar(), -100);
}

}  // namespace
