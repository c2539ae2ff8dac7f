// End to end: the demo's play screens in the real executable, with the game's timer (and so
// its wall clock) held and stepped by the session. From the clearing at rest (the chapter
// screen skipped, grandpa's letter clicked away): the lantern picked up into the strip, used
// where it does nothing and then on the dark well; the exit to the shed (hidden-object
// scene: finds, misses with the click penalty, the hint, the key won); grandpa's living room
// (placing-object scene, begun at it, finished once both things stand on the shelf). The
// scores of these actions are read back from the saved game. The frames match the golden
// images of tests/golden/scenes (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/scenes_end_to_end_tests --gtest_filter='ScreensEndToEnd.*'
// and look at every one before committing).

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "scene_demo_run.h"

namespace {

const char* const Sky = "600 300";
const char* const HintOrb = "80 102";

class ScreensEndToEnd : public TSceneDemoRun {
 protected:
  int SavedInt(const char* name) {
    TSavedPrefs prefs(UserFolder(), mRoot / "game");
    return (*prefs).GetInt(TString("HighscoreCurrentUser_") + name, -1, 0);
  }
  // The record of what the player carries: the game's inventory, the last one of the text.
  static std::string Carried(const std::string& game) {
    size_t begin = game.rfind("MakeInventory\n{");
    return begin == std::string::npos ? "" : game.substr(begin, game.find("-- MakeInventory end", begin) - begin);
  }
};

// The lantern goes into the strip with the pick-up window; held over the sky and dropped it
// goes back with the "cannot use" text (a wrong use); dropped on the well it lights it.
TEST_F(ScreensEndToEnd, TheLanternIsPickedUpAndUsedOnTheWell) {
  ExpectCleanRun(ToTheClearing() + Settle("adventure_rest") + Click(Lantern) + "advance 300\n" + Settle("pickup") +
                 Click(PickupOk) + "advance 300\nmove " + Rest + "\n" + Click(Slot0) + Click(Sky) + "advance 100\n" +
                 Settle("wrong_use") + Click(Slot0) + Click(Well) + "advance 100\nmove " + Rest + "\n" +
                 Settle("well_lit") + SaveAndLeave() + "quit\n");
  ExpectGolden("adventure_rest");
  ExpectGolden("pickup");
  ExpectGolden("wrong_use");
  ExpectGolden("well_lit");
  EXPECT_EQ(SavedInt("UsedInventoryItemSuccessfullySave"), 1);
  // The lantern went into the well: nothing is carried any more.
  EXPECT_EQ(Carried(SavedGame()), "MakeInventory\n{\n}; ");
}

// The shed: a find flies to the list and is struck out, five misses start the penalty, the
// hint points at a thing still to find and the orb starts to refill; the last find wins the
// key once, and the scene goes back to the clearing.
TEST_F(ScreensEndToEnd, TheShedIsSearchedAndGivesTheKey) {
  std::string session = ToTheClearing() + Click(ExitShed) + "advance 2000\nmove " + Rest + "\n" + Settle("shed") +
                        Click(ShedThings[0]) + "advance 1500\nmove " + Rest + "\n" + Settle("shed_found");
  for (const char* miss : {"600 520", "650 520", "700 520", "750 520", "800 520"}) session += Click(miss);
  // The hint's sparkle circles a thing drawn at random; the frame is taken once it has gone
  // (after about 3.4 s).
  session += "advance 4000\n" + Click(HintOrb) + "advance 4000\nmove " + Rest + "\n" + Settle("shed_hint");
  for (size_t n = 1; n < std::size(ShedThings); n++) session += Click(ShedThings[n]) + "advance 100\n";
  session += "advance 1500\n" + Settle("shed_won") + Click(PickupOk) + "advance 3000\n" + SaveAndLeave() + "quit\n";
  ExpectCleanRun(session);
  ExpectGolden("shed");
  ExpectGolden("shed_found");
  ExpectGolden("shed_hint");
  ExpectGolden("shed_won");
  std::string log = Log();
  EXPECT_NE(log.find("the click penalty turns the pointer"), std::string::npos) << log;
  EXPECT_NE(log.find("the hint points at"), std::string::npos) << log;
  EXPECT_EQ(SavedInt("HOTaskCompleteSave"), 1);
  EXPECT_EQ(SavedInt("FoundInventoryItem"), 1);
  EXPECT_EQ(SavedInt("UsedHintsInLevelSave"), 1);
  EXPECT_GT(SavedInt("HOBonusComplete"), 0);
  std::string game = SavedGame();
  EXPECT_NE(game.find("currentScene = 120001"), std::string::npos) << game;
  EXPECT_NE(Carried(game).find("\"schluessel\""), std::string::npos) << game;
}

// Grandpa's living room: the picture frame dropped on the oil can's place does nothing; on
// its own place it stands on the shelf; the oil can follows, and the scene goes on to the
// dream dive in the pond.
TEST_F(ScreensEndToEnd, TheLivingRoomFinishesWhenItsThingsArePlaced) {
  const char* const framePlace = "435 325";
  const char* const canPlace = "735 325";
  ExpectCleanRun(NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 300\nmove " + Rest + "\nadvance 1700\n" +
                     Settle("living_room") + Click(Slot0) + Click(canPlace) + Click(Slot0) + Click(framePlace) +
                     "advance 100\nmove " + Rest + "\n" + Settle("living_room_frame") + Click(Slot0) +
                     Click(canPlace) + "advance 3000\n" + SaveAndLeave() + "quit\n",
                 "options=demoStartScene=110101");
  ExpectGolden("living_room");
  ExpectGolden("living_room_frame");
  EXPECT_EQ(SavedInt("UsedInventoryItemSuccessfullySave"), 2);
  EXPECT_NE(SavedGame().find("currentScene = 290601"), std::string::npos) << SavedGame();
}

// The sidebar's "Hilfe" opens the help over the clearing; its button closes it again.
TEST_F(ScreensEndToEnd, TheHelpOpensFromTheSidebarAndCloses) {
  const char* const helpButton = "80 322";
  const char* const helpClose = "512 558";
  ExpectCleanRun(ToTheClearing() + Click(helpButton) + "advance 300\nmove " + Rest + "\n" +
                 Settle("help") + Click(helpClose) + "advance 300\nmove " + Rest + "\n" + Settle("help_closed") +
                 "quit\n");
  ExpectGolden("help");
  ExpectGolden("help_closed");
}

}  // namespace
