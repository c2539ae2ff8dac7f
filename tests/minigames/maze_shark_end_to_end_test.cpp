// End to end: the garden maze and the dream dives of the demo in the real executable, begun
// at their scenes ("demoStartScene"), with the game's timer held and stepped by the session.
// The maze is solved by drags across the thresholds and through the gate; the dives are
// lost (their menu, dive again or wake up), skipped while they count down, and won, the
// bonus read back from the saved game. The pond's ambient sound draws its pauses from the
// game's generator, so the sharks' places follow from the held seed and those draws. The frames match the golden images of
// tests/golden/minigames (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/minigames_end_to_end_tests --gtest_filter='MazeSharkEndToEnd.*'
// and look at every one before committing).

#include <gtest/gtest.h>

#include <string>

#include "chapter_one_steps.h"

namespace {

// The menu of a lost dive: dive again, wake up.
const char* const DiveAgain = "412 441";
const char* const WakeUp = "612 441";
// The mini-games' skip and menu buttons.
const char* const Skip = "899 718";
const char* const Menu = "80 382";

class MazeSharkEndToEnd : public TChapterOneSteps {
 protected:
  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "minigames/" + name + ".png"), ""); }
  void ExpectCleanRun(const std::string& session, int scene) {
    EXPECT_EQ(Play(session, "options=demoStartScene=" + std::to_string(scene)), 0) << Report();
    EXPECT_EQ(Transcript().find("error"), std::string::npos) << Transcript();
    EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();
  }
  // A new player; the timer held and the player chosen again, so that the game (and the
  // places of its sharks) is built on the held clock; then the scene, faded in.
  std::string ToTheScene() const {
    return NewPlayer("Mara") + "hold\n" + Click(ChangePlayer) + "advance 800\n" + Click(PlayAsChosen) +
           "advance 800\n" + Click(MenuPlay) + "advance 2500\n";
  }
  // Saved from the mini-game's menu, back in the main menu.
  static std::string SaveAndLeave() { return Click(Menu) + "advance 300\n" + Click(PauseMenu) + "advance 1500\n"; }
  int SavedInt(const char* name) {
    TSavedPrefs prefs(UserFolder(), mRoot / "game");
    return (*prefs).GetInt(TString("HighscoreCurrentUser_") + name, -1, 0);
  }
};

// The long hedge goes up by exactly a box (L pixels up suffice); the tall one does not go
// down by exactly a box, but one pixel more moves it, twice; the stone does not move; the
// lantern goes right box by box and out through the gate, which wins: the scene fades out
// (on to the walk through the fog).
TEST_F(MazeSharkEndToEnd, TheMazeIsSolvedByDrags) {
  std::string session = ToTheScene() + "move 200 600\n" + Settle("maze_board") + PushTheHedgesAside() +
                        Settle("maze_hedges_moved") + LeadTheLanternOut() + Settle("maze_won") + "advance 3000\n" + "move 900 700\n" + Settle("maze_left") + "quit\n";
  ExpectCleanRun(session, 190201);
  ExpectGolden("maze_board");
  ExpectGolden("maze_hedges_moved");
  ExpectGolden("maze_won");
  ExpectGolden("maze_left");
}

// The skip button ends the maze while it waits for the first drag. (The pointer rests on
// the button until the frame settles before the click: on a busy machine the first frame of
// its glow may take longer than the hook waits for one step.)
TEST_F(MazeSharkEndToEnd, TheMazeIsSkipped) {
  ExpectCleanRun(ToTheScene() + "move " + Skip + "\n" + Settle("maze_skip_hover") + Click(Skip) +
                     "advance 3000\nmove 900 700\n" + Settle("maze_skipped") + "quit\n",
                 190201);
  ExpectGolden("maze_skipped");
}

// The harpoon dive: the countdown; without a shot three sharks get through and the dive is
// lost; dived again, harpoons fired at every height win it, and the bonus of the won dive
// is saved from the next scene, the garden maze.
TEST_F(MazeSharkEndToEnd, TheHarpoonDiveIsLostThenWon) {
  std::string session = ToTheScene() + "move 300 300\n" + Settle("harpoon_countdown") + "advance 3000\n" +
                        Settle("harpoon_play") + "advance 20000\n" + Settle("harpoon_lost") + Click(DiveAgain) +
                        "advance 1200\n" + WinTheHarpoonDive() + "advance 3000\n" + SaveAndLeave() + "quit\n";
  ExpectCleanRun(session, 290602);
  ExpectGolden("harpoon_countdown");
  ExpectGolden("harpoon_play");
  ExpectGolden("harpoon_lost");
  EXPECT_EQ(SavedInt("OtherHighscoreMadeInLevel"), 1000);
}

// The avoiding dive: sharks touching Mara in the middle of the pond lose it; she wakes up
// into the harpoon dive, which begins with its countdown.
TEST_F(MazeSharkEndToEnd, TheAvoidingDiveIsLost) {
  std::string session = ToTheScene() + "move 300 300\n" + "advance 3000\n" + Settle("avoid_play");
  for (int sweep = 0; sweep < 20; sweep++)
    for (int y = 140; y <= 460; y += 40) session += "move 300 " + std::to_string(y) + "\nadvance 100\n";
  session += Settle("avoid_lost") + Click(WakeUp) + "advance 1000\nmove 300 300\n" + Settle("avoid_woken") + "quit\n";
  ExpectCleanRun(session, 290601);
  ExpectGolden("avoid_play");
  ExpectGolden("avoid_lost");
  ExpectGolden("avoid_woken");
}

// The avoiding dive won: at the top, where no shark comes, Mara waits until enough sharks
// have swum past. The harpoon dive that follows is skipped while it counts down, and the
// bonus of the won dive is saved from the garden maze.
TEST_F(MazeSharkEndToEnd, TheAvoidingDiveIsWon) {
  std::string session = ToTheScene() + WinTheAvoidingDive() + Settle("avoid_won_next") + Click(Skip) + "advance 3000\nmove 200 600\n" +
                        Settle("avoid_skipped_next") + SaveAndLeave() + "quit\n";
  ExpectCleanRun(session, 290601);
  ExpectGolden("avoid_won_next");
  ExpectGolden("avoid_skipped_next");
  EXPECT_EQ(SavedInt("OtherHighscoreMadeInLevel"), 1000);
}

}  // namespace
