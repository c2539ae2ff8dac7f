// End to end: the safe's colour code and the villa's door lock in the real executable, each
// begun as a new game at its scene, driven by the pointer with the game's timer held (which
// also fixes the secret's seed). The safe: wrong guesses answered and scrolled up from the
// last row, a peg taken back, a row reset, the secret found. The door: a locked bolt that
// refuses, a bolt that unlocks another, bolts that take others along, the door opened. Each
// game can also be skipped while it waits for the player. The frames match the golden images
// of tests/golden/minigames (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/minigames_end_to_end_tests --gtest_filter='SafeDoorsEndToEnd.*'
// and look at every one before committing).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chapter_two_steps.h"

namespace {

const char* const Corner = "960 40";
const char* const Skip = "930 732";
const char* const MenuButton = "80 382";

class SafeDoorsEndToEnd : public TChapterTwoSteps {
 protected:
  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "minigames/" + name + ".png"), ""); }
  void ExpectCleanRun(const std::string& session, const char* scene) {
    EXPECT_EQ(Play(session, std::string("options=demoStartScene=") + scene), 0) << Report();
    EXPECT_EQ(Transcript().find("error"), std::string::npos) << Transcript();
    EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();
  }
  // A new player whose new game begins at the scene, faded in, the pointer at rest.
  std::string ToTheScene() const {
    return NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 3000\nmove " + Corner + "\nadvance 100\n";
  }
  int SavedInt(const char* name) {
    TSavedPrefs prefs(UserFolder(), mRoot / "game");
    return (*prefs).GetInt(TString("HighscoreCurrentUser_") + name, -1, 0);
  }
  // The two colours the secret lacks.
  static std::vector<std::string> Others(const std::vector<std::string>& secret) {
    std::vector<std::string> others;
    for (const std::string& color : SafeColors())
      if (std::find(secret.begin(), secret.end(), color) == secret.end()) others.push_back(color);
    return others;
  }
};

// Four wrong guesses fill the four rows with their answers (whites before blacks); the check
// on the last row moves every row up and leaves an empty one. A peg put into a slot is taken
// back into the hand and dropped in another slot, and the reset empties the row; the secret
// then opens the safe, and the game goes on to the hall of mirrors.
TEST_F(SafeDoorsEndToEnd, TheSafesCodeIsCheckedScrolledResetAndFound) {
  std::vector<std::string> s = Secret(), n = Others(s);
  ASSERT_EQ(s.size(), 4u);
  // The first peg is carried over the board, then the row is filled with the secret; the
  // first peg goes back into the hand and onto the second slot, and a colour the secret lacks
  // takes the first: the row is wrong.
  std::string session = ToTheScene() + Settle("safe_board") + Click(PalettePeg(s[0]).c_str()) + "move " +
                        Slot(0, 2) + "\nadvance 100\n" + Settle("safe_peg_held") + Click(Slot(0, 0).c_str()) + Place(s[1], 0, 1) +
                        Place(s[2], 0, 2) + Place(s[3], 0, 3) + Click(Slot(0, 0).c_str()) + Click(Slot(0, 1).c_str()) +
                        Place(n[0], 0, 0) + Check();
  session += Row({s[0], s[1], n[0], n[1]}, 1) + Check();
  session += Row({n[0], s[0], s[1], s[2]}, 2) + Check();
  session += Row({s[0], s[1], s[3], s[2]}, 3) + Check() + "move " + Corner + "\nadvance 100\n" + Settle("safe_scrolled");
  // Two pegs on the new last row, one moved to another slot, then the row reset.
  session += Place(n[0], 3, 0) + Place(n[1], 3, 1) + Click(Slot(3, 0).c_str()) + Click(Slot(3, 2).c_str()) +
             Click("624 602") + "move " + Corner + "\nadvance 100\n" + Settle("safe_reset");
  session += Row(s, 3) + Check() + "move " + Corner + "\nadvance 100\n" + Settle("safe_open") + "advance 4000\n" +
             Settle("safe_left") + "quit\n";
  ExpectCleanRun(session, "290101");
  for (const char* frame : {"safe_board", "safe_peg_held", "safe_scrolled", "safe_reset", "safe_open"})
    ExpectGolden(frame);
  EXPECT_NE(CompareFrames("safe_left", "safe_open"), "");
}

// The fourth bolt is locked and refuses; the third unlocks it (its lock pieces turn open);
// the first takes the second along, the fourth takes the first back down, and so on until
// every bolt is up: the door opens with its bonus and the game goes on to the safe. Saved
// from the safe's menu button, the door counts as a completed mini-game.
TEST_F(SafeDoorsEndToEnd, TheDoorsBoltsAreUnlockedAndLifted) {
  std::string session = ToTheScene() + Settle("door_lock") + Bolt(3) + Bolt(2) + "move " + Corner +
                        "\nadvance 100\n" + Settle("door_unlocked") + Bolt(0) + Bolt(3) + Bolt(0) + Bolt(1) +
                        "move " + Corner + "\nadvance 100\n" + Settle("door_open") + "advance 4000\n" +
                        Settle("door_left") + Click(MenuButton) + "advance 300\n" + Click(PauseMenu) +
                        "advance 1500\nquit\n";
  ExpectCleanRun(session, "230301");
  for (const char* frame : {"door_lock", "door_unlocked", "door_open"}) ExpectGolden(frame);
  EXPECT_EQ(CompareWithGoldenFrame("door_left", "minigames/safe_board.png"), "");
  EXPECT_EQ(SavedInt("MiniGameTaskCompleteSave"), 1);
}

// Both games are skipped while they wait for the player, the door with a bolt moved and the
// safe with a peg on the board: the door goes on to the safe, the safe to the hall of mirrors
// (where the game is saved).
TEST_F(SafeDoorsEndToEnd, BothGamesAreSkippedWhileTheyWait) {
  std::string session = ToTheScene() + Bolt(2) + "advance 500\n" + Click(Skip) + "advance 4000\nmove " + Corner +
                        "\nadvance 100\n" + Settle("skipped_door") + Place("green", 0, 0) + "advance 500\n" +
                        Click(Skip) + "advance 4000\n" + Click(MenuButton) + "advance 300\n" + Click(PauseMenu) +
                        "advance 1500\nquit\n";
  ExpectCleanRun(session, "230301");
  EXPECT_EQ(CompareWithGoldenFrame("skipped_door", "minigames/safe_board.png"), "");
  EXPECT_NE(SavedGame().find("currentScene = 290201"), std::string::npos);
}

}  // namespace
