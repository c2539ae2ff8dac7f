// End to end: the real executable on assets/, headless, driven by the test hook. The first
// start opens the main menu with the profiles dialog, where a player is made; a second one
// is made, renamed and deleted through "Spieler wechseln"; the game starts, goes on through
// the exit script of the arrival and grandpa's kitchen to the clearing, saves and returns to the
// menu (through the sidebar's pause dialog); Alt+Enter switches the display; the close button asks before the game ends. The
// second start greets the same player and goes on in the same scene with the same global
// values and score. The main menu and the
// profiles dialog match the golden frames of tests/golden/game_flow (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/flow_end_to_end_tests
// and look at every one before committing).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/device/golden_png.h"
#include "flow/demo_run.h"

namespace fs = std::filesystem;

namespace {

class GameFlowEndToEnd : public TDemoRun {
 protected:
  void ExpectSame(const std::string& name, const std::string& expectedName) {
    EXPECT_EQ(CompareFrames(name, expectedName), "");
  }
  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "game_flow/" + name + ".png"), ""); }

  // From the click that leaves the screen before it to the clearing at rest: its overlays
  // gone, the light in the fog where the pointer rests (on no button).
  const std::string IntoTheClearing = "advance 600\nmove 700 330\nadvance 9000\n";
};

}  // namespace

TEST_F(GameFlowEndToEnd, PlayersAGameSavedAndGoneOnWith) {
  std::string session = Settle("first") +
                  // The profiles dialog opens by itself: the first player plays.
                  Click(NameField) + "type Jürgen\n" + Click(CreateButton) + Settle("one") + Click(PlayAsChosen) +
                  "move 900 700\n" + Settle("main_menu") +
                  // A second player, renamed, then deleted: Jürgen is chosen again.
                  Click(ChangePlayer) + Settle("dialog") + Click(NameField) + "type Anna\n" +
                  Click(CreateButton) + Settle("two") + Click(NameField) + "type Anna-Lena\n" +
                  Click(RenameButton) + "move 900 700\n" + Settle("profiles") + Click(SecondSlot) +
                  Click(DeleteButton) + Settle("deleted") + Click(PlayAsChosen) + "move 900 700\n" +
                  Settle("menu_chosen") +
                  // From here the game's timer is held and stepped by the session, so that the
                  // frames of the timed scenes do not depend on the machine's pace. The
                  // arrival, skipped with a click, then the kitchen clicked through and on to
                  // the clearing, where grandpa's letter is clicked away.
                  "hold\n" + Click(MenuPlay) + "advance 1500\n" + Settle("arrival") + Click(SceneNext) +
                  "advance 1500\n" + ThroughTheKitchen("700 330") + "advance 3000\n" + Click("512 455") +
                  IntoTheClearing + Settle("clearing") +
                  // Saved, back in the menu; the display switched; the close button asks.
                  Click(SidebarMenu) + "advance 300\n" + Click(PauseMenu) + "advance 1000\n" + Settle("menu_again") + "key Alt+Return\nadvance 500\n" +
                  Settle("switched") + "window close\nadvance 500\n" + Settle("quit") + Click(QuitYes) +
                  // The game ends through the dialog, before the hook's own quit.
                  "wait 60000\nquit\n";
  EXPECT_EQ(Play(session), 0) << Report();
  std::string transcript = Transcript();
  // The hook's quit, the session's last line, never came.
  size_t lines = size_t(std::count(session.begin(), session.end(), '\n'));
  EXPECT_EQ(transcript.find("done " + std::to_string(lines) + "\n"), std::string::npos) << transcript;
  EXPECT_EQ(transcript.find("capture unsettled"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("event 3 0 0 0 0"), std::string::npos);
  ExpectGolden("profiles");
  ExpectGolden("main_menu");
  ExpectSame("menu_chosen", "main_menu");
  ExpectSame("menu_again", "main_menu");
  EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();

  size_t switched = transcript.find("event 19 ");
  ASSERT_NE(switched, std::string::npos) << transcript;
  int fullScreen = transcript[switched + 9] - '0';
  {
    TSavedPrefs prefs(UserFolder(), mRoot / "game");
    EXPECT_EQ((*prefs).GetUserCount(), 1);
    EXPECT_EQ((*prefs).GetString("name", "", 0).ToStd(), "Jürgen");
    EXPECT_EQ((*prefs).GetInt("curuser", -1), 0);
    // After the switch the display's mode is kept for the next start.
    EXPECT_EQ((*prefs).GetInt("fullscreen", -1), fullScreen);
    std::string game = (*prefs).GetString("gamedata", "", 0).ToStd();
    EXPECT_NE(game.find("currentScene = 120001"), std::string::npos) << game;
    EXPECT_NE((*prefs).GetString("gamestate", "", 0).ToStd().find("briefGelesen"), std::string::npos);
    EXPECT_EQ((*prefs).GetInt("HighscoreCurrentUser_OtherHighscoreMadeInLevel", 0, 0), 150);
    // The clearing wrote its page: a heading, a text and the page end.
    EXPECT_EQ((*prefs).GetInt("Diary_numberOfContent", -1, 0), 3);
  }

  // The second start: the same player, and the game goes on where it was saved, with the
  // letter read and the score made (the clearing at rest, as it was left).
  EXPECT_EQ(Play(Settle("menu_second") + "hold\n" + Click(MenuPlay) + IntoTheClearing + Settle("restored") + "quit\n"),
            0)
      << Report();
  ExpectSame("menu_second", "main_menu");
  ExpectSame("restored", "clearing");
  std::string log = Log();
  EXPECT_EQ(log.find("Created screen") != std::string::npos, fullScreen == 1) << log;
  EXPECT_EQ(log.find("Lua error"), std::string::npos) << log;
}
