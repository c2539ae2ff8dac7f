#include "menus/score_window.h"

#include <gtest/gtest.h>

#include <vector>

#include "menu_test_util.h"
#include "model/highscore_system.h"
#include "platform/settings.h"
#include "windows/text_window.h"

namespace {

class ScoreTest : public TMenuTest {
 protected:
  // The six texts, but the fourth is missing and the fifth is no text.
  TScoreWindow* Build() {
    return Open<TScoreWindow>(
        "ScoreWindow{ w = 400, h = 300,"
        " Text{ name = 'previouslevelbonus', w = 100, h = 20, label = '#100' },"
        " Text{ name = 'bonuspointscore', y = 20, w = 100, h = 20, label = '#200' },"
        " Text{ name = 'bonuscompletelevelscore', y = 40, w = 100, h = 20, label = '#300' },"
        " Window{ name = 'timebonusscore', y = 80, w = 100, h = 20 },"
        " Text{ name = 'scoreedit', y = 100, w = 100, h = 20, label = '#600' } }");
  }
  float Scale(const char* name) { return Child<TText>(name)->GetScaleY(); }
};

}  // namespace

// Each text unfolds in 29 steps of 25 ms after its pause (1000 ms before the first, counted
// from the first step, not from the window's making; 500 ms before the next ones; 750 ms
// before the score), each pause starting after the text before it is complete; a missing
// text takes its time all the same. The play clock stands still meanwhile.
TEST_F(ScoreTest, TheTextsUnfoldInTheirOrderAndTiming) {
  Settings();
  CHighscoreSystem* system = CHighscoreSystem::GetInstance();
  while (system->IsPaused()) system->StartPlay();
  TScoreWindow* score = Build();
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(GetConfig("vsync").ToStd(), "1");
  EXPECT_TRUE(system->IsPaused());
  for (const char* name : TScoreWindow::TextNames) {
    if (Child<TText>(name)) {
      EXPECT_EQ(Scale(name), 0.0f) << name;
    }
  }

  FakeNow += 5000;
  std::vector<int> completed;
  for (int call = 1; call <= 400; call++) {
    int step = score->GetStep();
    score->Animate();
    if (score->GetStep() != step) completed.push_back(call);
    if (call == 40) {
      EXPECT_EQ(Scale("previouslevelbonus"), 0.0f);
    } else if (call == 41) {
      EXPECT_FLOAT_EQ(Scale("previouslevelbonus"), 0.035f);
    } else if (call == 100) {
      EXPECT_NEAR(Scale("bonuspointscore"), 0.035f * 11, 1e-5);
    }
    FakeNow += 25;
  }
  EXPECT_EQ(completed, (std::vector<int>{69, 118, 167, 216, 265, 324}));
  for (const char* name : {"previouslevelbonus", "bonuspointscore", "bonuscompletelevelscore", "scoreedit"})
    EXPECT_EQ(Scale(name), 1.0f) << name;
  EXPECT_EQ(score->GetStep(), 7);
  EXPECT_EQ(score->GetScale(), 0.0f);

  // Input that reaches the window stops there.
  EXPECT_TRUE(score->OnMouseDown(TPoint(5, 5)));
  EXPECT_TRUE(score->OnChar('x'));
  Lua("PopModal('menu')");
  RunFramesUntil([] { return false; }, 2);
  EXPECT_FALSE(system->IsPaused());
}

// A text that the script takes away while the window lives is never touched again; its
// step passes all the same.
TEST_F(ScoreTest, ATextTakenAwayIsLeftAlone) {
  Settings();
  TScoreWindow* score = Build();
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(Lua("DestroyWindow('bonuspointscore')"), "");
  EXPECT_TRUE(RunFramesUntil([score] { return score->GetStep() > 2; }, 200));
  EXPECT_EQ(Scale("previouslevelbonus"), 1.0f);
}
