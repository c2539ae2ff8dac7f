// End to end: the demo's first level in the real executable, with the game's timer held and
// stepped by the session (so that no frame depends on the machine's pace). The chapter screen
// fades in its parts and goes on by itself after "csSceneDuration", or on a click, to grandpa's
// kitchen; the clearing's init script brings, on the first arrival, the in-game cutscene bars,
// two briefing texts, grandpa's letter as an in-game object, a bonus text and the light of the
// candle window in the fog.
// The frames match the golden images of tests/golden/scenes (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/scenes_end_to_end_tests
// and look at every one before committing).

#include <gtest/gtest.h>

#include <string>

#include "scene_demo_run.h"

namespace {

class SceneEndToEnd : public TSceneDemoRun {};

// The menu's fade-out takes about a quarter of a second, the card's fade-in another; its
// parts are all shown two seconds after the click, and it ends 4 s after its fade-in, when
// the kitchen's first line shows.
TEST_F(SceneEndToEnd, TheChapterScreenGoesOnByItselfToTheKitchen) {
  ExpectCleanRun(NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 300\nmove " + Rest + "\n" +
                 "advance 2200\n" + Settle("chapter_screen") + "advance 3350\n" + Settle("kitchen") + "quit\n");
  ExpectGolden("chapter_screen");
  ExpectGolden("kitchen");
}

// The clearing's first arrival: the bars come in at once, the first briefing text after
// 0.3 s, the letter after 1.2 s and the bonus after 2 s; the letter clicked away, the
// clearing comes to rest.
TEST_F(SceneEndToEnd, TheClearingsFirstArrivalBringsItsOverlays) {
  ExpectCleanRun(NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 300\nmove " + Rest + "\nadvance 1050\n" +
                     Settle("clearing_arrival") + "advance 1200\n" + Settle("clearing_letter") + Click(Letter) +
                     "advance 6700\n" + Settle("clearing_after") + "quit\n",
                 "options=demoStartScene=120001");
  ExpectGolden("clearing_arrival");
  ExpectGolden("clearing_letter");
  ExpectGolden("clearing_after");
}

// A click on the card goes on at once to the kitchen; clicked through, it leads to the
// clearing, which plays as before and comes to the same rest once its letter has been
// clicked away.
TEST_F(SceneEndToEnd, AClickSkipsTheChapterScreen) {
  ExpectCleanRun(ToTheClearing() + Settle("skipped") + "quit\n");
  EXPECT_EQ(CompareWithGoldenFrame("skipped", "scenes/clearing_after.png"), "");
}

}  // namespace
