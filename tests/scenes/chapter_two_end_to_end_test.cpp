// End to end: the second chapter's own screens in the real executable, each run begun as a
// new game at one of its scenes, with the game's timer held and stepped by the session. The
// way to the villa and grandpa's workbench say why they are closed until the story has got
// there; the potion and the letter, even skipped, open the villa. The frames match the
// golden images of tests/golden/scenes (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/scenes_end_to_end_tests --gtest_filter='ChapterTwoEndToEnd.*'
// and look at every one before committing).

#include <gtest/gtest.h>

#include <string>

#include "scene_demo_run.h"

namespace {

const char* const ClearingToHouse = "250 260";
const char* const ClearingToVilla = "940 460";
const char* const HouseToWorkbench = "830 400";
const char* const HouseToClearing = "512 600";
const char* const Corner = "1010 10";
const char* const Skip = "930 732";

class ChapterTwoEndToEnd : public TSceneDemoRun {
 protected:
  std::string Started() const { return NewPlayer("Mara") + "hold\n" + Click(MenuPlay); }
  static std::string Pause(const char* point) { return std::string("move ") + point + "\nadvance 100\n"; }
};

// Before anything is done the clearing's way to the villa only says what is missing, and the
// workbench in the hall that it is stuck; the game stays where it is.
TEST_F(ChapterTwoEndToEnd, TheVillaAndTheWorkbenchSayWhyTheyAreClosed) {
  ExpectCleanRun(Started() + "advance 5500\n" + Pause(Rest) + Settle("night_clearing") + Click(ClearingToVilla) +
                     "advance 300\n" + Pause(Rest) + Settle("night_villa_closed") + "advance 3000\n" +
                     Click(ClearingToHouse) + "advance 2000\n" + Pause(Rest) + Settle("house") +
                     Click(HouseToWorkbench) + "advance 300\n" + Pause(Rest) + Settle("house_workbench_stuck") +
                     "advance 3000\n" + SaveAndLeave() + "quit\n",
                 "options=demoStartScene=220001");
  for (const char* frame : {"night_clearing", "night_villa_closed", "house", "house_workbench_stuck"})
    ExpectGolden(frame);
  EXPECT_NE(SavedGame().find("currentScene = 210001"), std::string::npos) << SavedGame();
}

// The potion and the torn letter skipped before the sideboard is searched: the hall says the
// potion is done, and the clearing's way to the villa is open.
TEST_F(ChapterTwoEndToEnd, ThePotionAndTheLetterOpenTheVillaInAnyOrder) {
  ExpectCleanRun(Started() + "advance 1500\n" + Pause(Corner) + Click(Skip) + "advance 4000\n" + Pause(Corner) +
                     Click(Skip) + "advance 4000\n" + Pause(Rest) + Click(HouseToWorkbench) + "advance 300\n" +
                     Pause(Rest) + Settle("house_potion_done") + "advance 3000\n" + Click(HouseToClearing) +
                     "advance 5500\n" + Pause(Rest) + Click(ClearingToVilla) + "advance 2000\n" + Pause(Rest) +
                     Settle("villa_entrance") + SaveAndLeave() + "quit\n",
                 "options=demoStartScene=211201");
  ExpectGolden("house_potion_done");
  ExpectGolden("villa_entrance");
  EXPECT_NE(SavedGame().find("currentScene = 230001"), std::string::npos) << SavedGame();
}

}  // namespace
