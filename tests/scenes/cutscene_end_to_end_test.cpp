// End to end: the demo's first cutscene (grandpa's kitchen) in the real executable, the new
// game begun at it and the game's timer held and stepped by the session. Mara speaks on the
// left and grandpa on the right, each with the other darkened; the door slams with a shake;
// grandpa's letter lies in the middle; after the last step the game goes on to the clearing.
// The frames match the golden images of tests/golden/scenes (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/scenes_end_to_end_tests --gtest_filter='CutsceneEndToEnd.*'
// and look at every one before committing).

#include <gtest/gtest.h>

#include <string>

#include "scene_demo_run.h"

namespace {

class CutsceneEndToEnd : public TSceneDemoRun {};

// Each click shows the next step; the shake (0.8 s) takes no clicks and goes on by itself.
// After the last step the clearing opens and plays as it does after the chapter screen: once
// its letter has been clicked away it comes to the same rest.
TEST_F(CutsceneEndToEnd, TheKitchenCutscenePlaysToTheClearing) {
  std::string session = NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 1500\nmove " + Rest + "\n" +
                        Click(Rest) + "advance 100\n" + Settle("cutscene_left") + Click(Rest) + "advance 100\n" +
                        Settle("cutscene_right") + Click(Rest) + Click(Rest) + Click(Rest) + "advance 200\n" +
                        Click(Rest) + "advance 1000\n" + Click(Rest) + "advance 100\n" + Settle("cutscene_letter") +
                        Click(Rest) + Click(Rest) + "advance 3000\n" + Click(Letter) + "advance 9000\nmove " + Rest +
                        "\n" + Settle("after_cutscene") + "quit\n";
  ExpectCleanRun(session, "options=demoStartScene=100101");
  ExpectGolden("cutscene_left");
  ExpectGolden("cutscene_right");
  ExpectGolden("cutscene_letter");
  EXPECT_EQ(CompareWithGoldenFrame("after_cutscene", "scenes/adventure_rest.png"), "");
}

}  // namespace
