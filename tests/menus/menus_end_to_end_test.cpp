// End to end: the diary and the credits in the real executable, with the game's timer held
// and stepped by the session. The clearing and the shed write their pages into the diary;
// the sidebar's diary button opens it in the shed, its arrows turn the spread and back, and
// it opens over the pause dialog and the main menu too. The credits, opened from the main
// menu, scroll and close by themselves. The frames match the golden images of
// tests/golden/menus (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/menus_end_to_end_tests
// and look at every one before committing).

#include <gtest/gtest.h>

#include <string>

#include "scenes/scene_demo_run.h"

namespace {

const char* const SidebarDiary = "80 442";
const char* const Forward = "864 670";
const char* const Back = "160 670";
const char* const CloseDiary = "512 728";
const char* const MenuDiary = "603 658";
const char* const MenuCredits = "785 658";
// On the diary's right page and on the credits, on no button.
const char* const Aside = "900 600";

class MenusEndToEnd : public TSceneDemoRun {
 protected:
  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "menus/" + name + ".png"), ""); }
  void ExpectSame(const std::string& name, const std::string& other) { EXPECT_EQ(CompareFrames(name, other), ""); }
  void ExpectDifferent(const std::string& name, const std::string& other) {
    EXPECT_NE(CompareFrames(name, other), "") << name << " shows what " << other << " shows";
  }
};

// Spread 0 holds the clearing's page and the shed's; the insert site begins spread 1, which
// is empty: there "goForward" has nothing to turn to and waits out of sight, as "goBack" did
// on spread 0.
TEST_F(MenusEndToEnd, TheDiaryShowsThePagesTheScenesWroteAndTurnsThem) {
  std::string session = ToTheClearing() + Click(ExitShed) + "advance 2000\nmove " + Rest + "\n" +
                        Click(SidebarDiary) + "advance 300\nmove " + Aside + "\n" + Settle("diary") +
                        Click(Forward) + "advance 100\nmove " + Aside + "\n" + Settle("diary_turned") +
                        Click(Back) + "advance 100\nmove " + Aside + "\n" + Settle("diary_back") +
                        Click(CloseDiary) + "advance 300\nmove " + Rest + "\n" +
                        // Then over the main menu.
                        Click(SidebarMenu) + "advance 300\nmove " + Rest + "\n" + Settle("pause") +
                        Click(PauseMenu) + "advance 1500\nmove 900 700\n" + Settle("menu") + Click(MenuDiary) +
                        "advance 300\nmove " + Aside + "\n" + Settle("menu_diary") + Click(CloseDiary) +
                        "advance 300\nmove 900 700\n" + Settle("menu_again") + "quit\n";
  ExpectCleanRun(session);
  ExpectGolden("diary");
  ExpectGolden("diary_turned");
  ExpectSame("diary_back", "diary");
  ExpectDifferent("menu_diary", "menu");
  ExpectSame("menu_again", "menu");

  TSavedPrefs prefs(UserFolder(), mRoot / "game");
  // Two headings, two texts, the sketch and two page ends; the last page turn is kept.
  EXPECT_EQ((*prefs).GetInt("Diary_numberOfContent", -1, 0), 7);
  EXPECT_EQ((*prefs).GetInt("Diary_Current_Insert_Site", -1, 0), 2);
  EXPECT_EQ((*prefs).GetInt("Diary_Current_Watched_site", -1, 0), 0);
}

// "time" 24000 and "intropause" 1500 in the credits' script: 3 s after opening the names
// have moved up a little; 21.6 s after the first step the credits are gone and the main
// menu shows again as it was.
TEST_F(MenusEndToEnd, TheCreditsScrollAndCloseOnTime) {
  // The menu as its golden frame shows it greets Jürgen.
  std::string session = NewPlayer("Jürgen") + "hold\n" + Click(MenuCredits) + "move " + Aside + "\nadvance 3000\n" +
                        Settle("credits") + "advance 18400\n" + Settle("credits_late") + "advance 400\nmove 900 700\n" +
                        Settle("menu_after_credits") + "quit\n";
  ExpectCleanRun(session);
  ExpectGolden("credits");
  ExpectDifferent("credits_late", "credits");
  EXPECT_NE(CompareWithGoldenFrame("credits_late", "game_flow/main_menu.png"), "") << "still open";
  EXPECT_EQ(CompareWithGoldenFrame("menu_after_credits", "game_flow/main_menu.png"), "");
}

}  // namespace
