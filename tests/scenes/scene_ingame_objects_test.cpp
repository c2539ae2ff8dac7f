// In-game objects (scheduled pictures with captions, chained or running a script) and bonus
// texts.

#include <gtest/gtest.h>

#include <string>

#include "graphics/sprites/sprite.h"
#include "platform/settings.h"
#include "scene_window_test_util.h"
#include "scenes/scene.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"

namespace {

class InGameObjects : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Solid("pics/letter.png", 40, 30, 0xFFE0D0A0);
    SetConfig("ingameobjectsFadeInRatio", "0.25");
    SetConfig("ingameobjectsFadeOutRatio", "0.5");
    SetConfig("igoFontColor", "BLACK");
  }
  // Opens the scene and runs frames until its clock stands at `time' ms.
  TScene* OpenAt(uint32_t time) {
    TScene* scene = OpenScene();
    Frames(1);
    while (scene->GetClockTime() < time) Frames(1);
    return scene;
  }
  float SpriteAlpha(TScene* scene, const char* name) {
    int32_t index = 0;
    if (!scene->GetSpriteWindow()->FindSprite(name, index)) return -1;
    return scene->GetSpriteWindow()->GetSprite(index).GetCurrentSprite()->GetDrawParams().alpha;
  }
  const TScene::InGameObjectEntry& Entry(TScene* scene, size_t index) { return scene->GetInGameObjects()[index]; }
};

// An entry comes due on the first frame after its start time, fades in by the ratio (done
// on the fourth frame at 0.25, whatever its caption does), stays its time and fades out; an
// entry that leaves at once keeps its picture as it was.
TEST_F(InGameObjects, AnEntryComesDueFadesInStaysAndLeaves) {
  TScene* scene = OpenAt(0);
  EXPECT_EQ(Lua("ShowInGameObjectPartOne('pics/letter', 20, 30, 'label', false, '')"
                "ShowInGameObjectPartTwo(100, 300, false, false, false)"
                "ShowInGameObjectPartOne('pics/letter', 70, 30, '', true, '')"
                "ShowInGameObjectPartTwo(100, 300, false, false, false)"),
            "");
  uint32_t start = scene->GetClockTime() + 100;
  EXPECT_EQ(Entry(scene, 0).width, 40);
  EXPECT_NE(Textbox("InGameObject0"), nullptr);
  EXPECT_EQ(Textbox("InGameObject1"), nullptr);
  while (scene->GetClockTime() <= start) {
    EXPECT_FALSE(Entry(scene, 0).started);
    Frames(1);
  }
  EXPECT_TRUE(Entry(scene, 0).started);
  EXPECT_EQ(SpriteAlpha(scene, "InGameObject0"), 0.25f) << "shown at 0, then the first step";
  Frames(3);
  EXPECT_TRUE(Entry(scene, 0).fadedIn);
  EXPECT_EQ(SpriteAlpha(scene, "InGameObject0"), 1.0f);
  EXPECT_EQ(scene->GetInGameObjectsDue().size(), 2u);
  ASSERT_TRUE(FramesUntil([&] { return Entry(scene, 1).finished; }, 20));
  EXPECT_EQ(SpriteAlpha(scene, "InGameObject1"), 1.0f) << "left at once";
  EXPECT_FALSE(Entry(scene, 0).finished);
  EXPECT_EQ(SpriteAlpha(scene, "InGameObject0"), 0.5f);
  Frames(1);
  EXPECT_TRUE(Entry(scene, 0).finished);
  EXPECT_TRUE(scene->GetInGameObjectsDue().empty());
}

// A chained entry clicked away before its minimum time hands the time its schedule had left
// to the next entry, which comes due on the following frame; the input is blocked 60 ms.
TEST_F(InGameObjects, AChainedEntryHandsItsTimeOn) {
  SetConfig("igoMinimumTimeToDisplay", "1000");
  TScene* scene = OpenAt(4990);
  EXPECT_EQ(Lua("ShowInGameObjectPartOne('pics/letter', 20, 30, '', false, '')"
                "ShowInGameObjectPartTwo(" + std::to_string(5000 - int(scene->GetClockTime())) +
                ", 4000, true, false, true)"
                "ShowInGameObjectPartOne('pics/letter', 70, 30, '', false, '')"
                "ShowInGameObjectPartTwo(60000, 1000, false, false, false)"),
            "");
  ASSERT_TRUE(FramesUntil([&] { return Entry(scene, 0).fadedIn; }, 20));
  int32_t shownAt = Entry(scene, 0).shownAt;
  EXPECT_GT(shownAt, 5000);
  while (scene->GetClockTime() < 5300) Frames(1);
  Click(5, 5);
  EXPECT_TRUE(Entry(scene, 0).dismissed);
  Frames(1);
  uint32_t now = scene->GetClockTime();
  EXPECT_EQ(Entry(scene, 1).startTime, int32_t(now));
  EXPECT_EQ(Entry(scene, 1).duration, 5000 + 4000 - int32_t(now));
  EXPECT_TRUE(scene->IsInputBlocked());
  Frames(1);
  EXPECT_TRUE(Entry(scene, 1).started);
  EXPECT_EQ(scene->GetCursorStyle(), 8);
  ASSERT_TRUE(FramesUntil([&] { return !scene->IsInputBlocked(); }, 6));
  EXPECT_EQ(scene->GetCursorStyle(), 2);
}

// A chained last entry has no entry to hand its time to; one that runs a script stays due
// for good, and the rest of the frame step goes on all the same (an input block ends, a
// bonus text fades). A second part without a first one schedules nothing.
TEST_F(InGameObjects, AChainedLastScriptEntryLeavesTheFrameStepWhole) {
  TScene* scene = OpenAt(0);
  EXPECT_EQ(Lua("ShowInGameObjectPartTwo(0, 100, true, true, true)"), "");
  EXPECT_TRUE(scene->GetInGameObjects().empty());
  EXPECT_EQ(Lua("ShowInGameObjectPartOne('pics/letter', 20, 30, '', false, 'scriptRuns = (scriptRuns or 0) + 1')"
                "ShowInGameObjectPartTwo(0, 100, true, false, true)"
                "BlockInput(0, 100) ShowBonusAsTextInSidebar(10)"),
            "");
  Frames(8);
  EXPECT_EQ(Global("scriptRuns"), "1");
  EXPECT_EQ(scene->GetInGameObjectsDue().size(), 1u);
  EXPECT_FALSE(scene->IsInputBlocked());
  EXPECT_EQ(scene->GetCursorStyle(), 2);
  EXPECT_LT(Textbox("bonus")->GetAlpha(), 0.8f);
}

// A click completes the fade of an entry still fading in, and dismisses one faded in; an
// entry clickable only inside takes only clicks strictly inside its rectangle.
TEST_F(InGameObjects, ClicksCompleteTheFadeOrDismiss) {
  SetConfig("ingameobjectsFadeInRatio", "0.1");
  TScene* scene = OpenAt(0);
  EXPECT_EQ(Lua("ShowInGameObjectPartOne('pics/letter', 20, 30, '', false, '')"
                "ShowInGameObjectPartTwo(0, 60000, true, true, false)"),
            "");
  Frames(2);
  EXPECT_LT(SpriteAlpha(scene, "InGameObject0"), 1.0f);
  Click(20, 30);
  EXPECT_LT(SpriteAlpha(scene, "InGameObject0"), 1.0f) << "on the edge is outside";
  Click(21, 31);
  EXPECT_EQ(SpriteAlpha(scene, "InGameObject0"), 1.0f);
  EXPECT_FALSE(Entry(scene, 0).dismissed);
  Frames(1);
  EXPECT_TRUE(Entry(scene, 0).fadedIn);
  Click(59, 59);
  EXPECT_TRUE(Entry(scene, 0).dismissed);
}

// A bonus text is the amount in an outline, centred on its point; it rises a pixel and
// loses 0.03 a frame, and goes on its 34th frame. Two rise together; in a game mode other
// than 0 none shows.
TEST_F(InGameObjects, BonusTextsRiseFadeAndGo) {
  SetConfig("showbonusboxwidth", "60");
  SetConfig("showbonusboxheight", "30");
  SetConfig("showbonuslineheight", "20");
  TScene* scene = OpenAt(0);
  EXPECT_EQ(Lua("ShowBonusAsTextInSidebar(50)"), "");
  mFlow.mouse = TPoint(200, 100);
  EXPECT_EQ(Lua("ShowBonusAsTextOnMousePos(7)"), "");
  ASSERT_EQ(scene->GetBonusTextCount(), 2u);
  TTextbox* first = Textbox("bonus");
  EXPECT_EQ(first->GetRect(), TRect(170, 85, 230, 115)) << "the newest box stands in front";
  EXPECT_NE(first->GetText().ToStd().find(">7<"), std::string::npos);
  Frames(33);
  EXPECT_EQ(scene->GetBonusTextCount(), 2u);
  EXPECT_EQ(first->GetRect().top, 85 - 33);
  Frames(1);
  EXPECT_EQ(scene->GetBonusTextCount(), 0u);
  mFlow.gameMode = 1;
  EXPECT_EQ(Lua("ShowBonusAsTextInSidebar(50)"), "");
  EXPECT_EQ(scene->GetBonusTextCount(), 0u);
}

}  // namespace
