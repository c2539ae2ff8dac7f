// End to end: the villa's games and the walk through the fog in the real executable, each
// new game begun at its scene, with the game's timer (and so its random deal) held and
// stepped by the session. The hall of mirrors decided by one click, right or wrong; the
// gallery's swaps, kept with their mode through a save and a load, and its check button; the
// sideboard's moves onto the free place and the check button's feedback; Adelheid's two
// morris games (one click a move into the gap, then a stone and its target); the four pages
// of the walk, their strips moving left, up, right and down under fading texts, each ended
// by a click. The frames match the golden images of tests/golden/minigames (regenerate them
// with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/minigames_end_to_end_tests
// and look at every one before committing).

#include <gtest/gtest.h>

#include <string>

#include "chapter_two_steps.h"

namespace {

// Where the pointer rests: on the wainscot or the table, on no piece.
const char* const Wainscot = "512 740";

class VillaEndToEnd : public TChapterTwoSteps {
 protected:
  // A new player, and the new game begun at the scene: the scene has faded in and its
  // briefing shows.
  std::string ToScene() const {
    return NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 1000\nmove " + Wainscot + "\n";
  }
  int PlayAt(const std::string& session, const char* scene) {
    return Play(session, std::string("options=demoStartScene=") + scene);
  }
  void ExpectCleanRun(const std::string& session, const char* scene) {
    EXPECT_EQ(PlayAt(session, scene), 0) << Report();
    EXPECT_EQ(Transcript().find("error"), std::string::npos) << Transcript();
    EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();
  }
  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "minigames/" + name + ".png"), ""); }
  // Saved and back in the main menu through the pause dialog, and the game quit.
  static std::string SaveAndQuit() { return "key Escape\nadvance 300\n" + Click(PauseMenu) + "advance 1500\nquit\n"; }
};

// The deal of the held seed puts the mirror image on the first place. A click on it shows
// the right sign and the bonus while the scene fades out on its way to the gallery.
TEST_F(VillaEndToEnd, TheMirrorImageIsFoundWithOneClick) {
  ExpectCleanRun(ToScene() + Settle("mirror_deal") + FindTheMirrorImage() + "advance 75\nmove " + Wainscot + "\n" +
                     Settle("mirror_right") + "advance 6000\n" + Settle("mirror_next") + "quit\n",
                 "290201");
  ExpectGolden("mirror_deal");
  ExpectGolden("mirror_right");
  EXPECT_EQ(CompareWithGoldenFrame("mirror_next", "minigames/gallery.png"), "");
}

// A false portrait shows the wrong sign; the scene goes on all the same.
TEST_F(VillaEndToEnd, AFalsePortraitLoses) {
  ExpectCleanRun(ToScene() + Click("432 450") + "advance 75\nmove " + Wainscot + "\n" + Settle("mirror_wrong") +
                     "advance 6000\n" + Settle("mirror_next") + "quit\n",
                 "290201");
  ExpectGolden("mirror_wrong");
  EXPECT_EQ(CompareWithGoldenFrame("mirror_next", "minigames/gallery.png"), "");
}

// The gallery: a picture carried over another hangs at the pointer; dropped, the two change
// places. Saved, the game quits; started again, it goes on with the board and its swap mode
// as they were: the second swap solves it, and the check button wins.
TEST_F(VillaEndToEnd, TheGallerySwapsItsPicturesAcrossASave) {
  ExpectCleanRun(ToScene() + "advance 5000\n" + Settle("gallery") + Click(GalleryFrame(0)) + "move 432 300\nadvance 100\n" +
                     Settle("gallery_carried") + Click(GalleryFrame(1)) + "move " + Wainscot + "\nadvance 100\n" +
                     Settle("gallery_swapped") + SaveAndQuit(),
                 "290301");
  std::string game = SavedGame();
  EXPECT_NE(game.find("swopMode = \"true\""), std::string::npos) << game;
  EXPECT_NE(game.find("currentScene = 290301"), std::string::npos) << game;
  ExpectCleanRun(Settle("menu_second") + "hold\n" + Click(MenuPlay) + "advance 6000\nmove " + Wainscot + "\nadvance 100\n" +
                     Settle("gallery_loaded") + Click(GalleryFrame(2)) + Click(GalleryFrame(3)) + Click(GalleryCheck) +
                     "advance 75\nmove " + Wainscot + "\n" + Settle("gallery_won") + "quit\n",
                 "290301");
  ExpectGolden("gallery");
  ExpectGolden("gallery_carried");
  ExpectGolden("gallery_swapped");
  EXPECT_EQ(CompareFrames("gallery_loaded", "gallery_swapped"), "");
  ExpectGolden("gallery_won");
}

// The sideboard: the check button first tells that the order is not right yet; then a
// picture goes onto the free place, the other into the place it left, and the check button
// wins.
TEST_F(VillaEndToEnd, TheSideboardTakesPicturesOnItsFreePlace) {
  std::string session = ToScene() + "advance 5000\n" + Settle("sideboard");
  session += Click(SideboardCheck) + "advance 600\nmove " + Wainscot + "\n" + Settle("sideboard_feedback") +
             "advance 6000\n";
  // A press on a place that holds a picture does nothing while one is carried.
  session += Click(SideboardPlace(0)) + Click(SideboardPlace(2)) + Click(SideboardPlace(1)) + "move " + Wainscot +
             "\nadvance 100\n" + Settle("sideboard_moved");
  session += Click(SideboardPlace(2)) + Click(SideboardPlace(0)) + Click(SideboardCheck) + "advance 75\nmove " +
             Wainscot + "\n" + Settle("sideboard_won") + "quit\n";
  ExpectCleanRun(session, "290302");
  ExpectGolden("sideboard");
  ExpectGolden("sideboard_feedback");
  ExpectGolden("sideboard_moved");
  ExpectGolden("sideboard_won");
}

// Adelheid's games: a stone not next to the gap stays; the two next to it slide in turn and
// make her mill, which goes on to the second game. There a click takes a stone (it glows), a
// second moves it; two moves make the mill at the top.
TEST_F(VillaEndToEnd, AdelheidsMorrisGamesAreWon) {
  const std::string rest = std::string("move ") + Wainscot + "\nadvance 100\n";
  std::string session = ToScene() + "advance 5000\n" + Settle("morris") + Click(Ring(2)) + Click(Ring(6)) + rest +
                        Settle("morris_slid") + Click(Ring(5)) + "advance 1500\n" + rest + "advance 5000\n" +
                        Settle("morris_select");
  session += Click(Ring(3)) + rest + Settle("morris_selected") + Click(Ring(2)) + Click(Ring(7)) + Click(Ring(0)) +
             "advance 75\nmove " + Wainscot + "\n" + Settle("morris_won") + "quit\n";
  ExpectCleanRun(session, "290401");
  ExpectGolden("morris");
  ExpectGolden("morris_slid");
  ExpectGolden("morris_select");
  ExpectGolden("morris_selected");
  ExpectGolden("morris_won");
}

// The walk: each page's strip has moved on by the time of its frame, the text of the moment
// fading; a click ends each page, and the last one ends by itself. It ends the first chapter:
// the chapter's score unfolds before the second chapter's screen.
TEST_F(VillaEndToEnd, TheWalkScrollsEachWayAndEndsOnAClick) {
  std::string session = ToScene() + "advance 1500\n" + Settle("walk_left");
  for (const char* page : {"walk_up", "walk_right", "walk_down"})
    session += Click(Wainscot) + "advance 1000\n" + "advance 1500\n" + Settle(page);
  session += "advance 7000\n" + Settle("walk_end") + "advance 10000\n" + Settle("chapter_score") + "quit\n";
  ExpectCleanRun(session, "190501");
  for (const char* page : {"walk_left", "walk_up", "walk_right", "walk_down", "chapter_score"}) ExpectGolden(page);
}

}  // namespace
