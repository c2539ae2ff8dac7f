// End to end: four of the demo's mini-games in the real executable, each reached by starting
// a new game at its scene, with the game's timer held and stepped by the session (which
// also fixes the deals: the game's generator starts from one seed while the timer is held,
// so the tests deal the same board with the model to know where the pieces lie). The
// potion is mixed wrong and then right; the mosaic's tiles are turned upright, half of them
// before a save and a reload; the picture cards are turned pair by pair, a wrong pair
// covered again; the letter's pieces hook, stick and win, the dropping press never reaching
// the skip button, half of them placed before a save and a reload. The frames match the
// golden images of tests/golden/minigames (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/minigames_end_to_end_tests
// and look at every one before committing).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chapter_one_steps.h"
#include "chapter_two_steps.h"
#include "model/memory_game.h"
#include "platform/random.h"

namespace {

// The pointer's resting place on the mini-game screens: the top right corner, on no piece.
const char* const Aside = "1010 10";
// The mini-games' menu button and its pause dialog's button that saves and leaves.
const char* const GameMenu = "80 382";
const char* const SkipButton = "930 732";

class MiniGamesEndToEnd : public TChapterTwoSteps {
 protected:
  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "minigames/" + name + ".png"), ""); }
  // The new game begun (at the scene of the run's options), its screen faded in, the
  // pointer aside.
  std::string Started() const {
    return NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 1500\nmove " + Aside + "\n";
  }
  void ExpectCleanRunAt(const char* scene, const std::string& session) {
    EXPECT_EQ(Play(session, std::string("options=demoStartScene=") + scene), 0) << Report();
    EXPECT_EQ(Transcript().find("error"), std::string::npos) << Transcript();
    EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();
  }
  // Saved through the pause dialog, back in the main menu, and on again into the scene.
  static std::string SaveAndComeBack() {
    return Click(GameMenu) + "advance 300\n" + Click(PauseMenu) + "advance 1500\n" + Click(MenuPlay) +
           "advance 1500\nmove " + Aside + "\n";
  }
  int SavedInt(const char* name) {
    TSavedPrefs prefs(UserFolder(), mRoot / "game");
    return (*prefs).GetInt(TString("HighscoreCurrentUser_") + name, -1, 0);
  }
};

// The workbench: flasks of the given colours are carried to the funnels; green twice and
// black mix to a wrong colour (shown in the pipes and flasks, the funnels emptied); green,
// purple and black mix right, which counts the mini-game and goes on to the torn letter.
TEST_F(MiniGamesEndToEnd, ThePotionIsMixedWrongAndThenRight) {
  std::string session = Started() + Settle("potion_board");
  // The black flask is shown in hand over its funnel before it is poured.
  session += Carry(PotionGreen, Funnel(0)) + Carry(PotionGreen, Funnel(1)) + Click(PotionBlack) + "move " +
             Funnel(2) + "\nadvance 25\n" + Settle("potion_carried") + Click(Funnel(2)) + "advance 100\nmove " +
             Aside + "\n" + Settle("potion_poured") + Click(PotionMix) + "advance 300\nmove " + Aside + "\n" +
             Settle("potion_wrong");
  session += MixThePotion() + "advance 25\n" + Settle("potion_right") + "advance 3000\nmove " + Aside + "\n" + Settle("letter_board") + Click(GameMenu) +
             "advance 300\n" + Click(PauseMenu) + "advance 1500\nquit\n";
  ExpectCleanRunAt("211201", session);
  for (const char* frame :
       {"potion_board", "potion_carried", "potion_poured", "potion_wrong", "potion_right", "letter_board"})
    ExpectGolden(frame);
  EXPECT_NE(SavedGame().find("currentScene = 290501"), std::string::npos);
  EXPECT_EQ(SavedInt("MiniGameTaskCompleteSave"), 1);
}

// The well lid: the nine tiles of the deal are turned upright, those of the first row before
// the game is saved and loaded again (the tiles keep their turns), the rest after; the
// last turn finishes the scene.
TEST_F(MiniGamesEndToEnd, TheMosaicIsTurnedUprightAcrossASave) {
  ExpectCleanRunAt("190301", Started() + Settle("mosaic_board") + TChapterOneSteps::TurnMosaicTiles(0, 3) +
                                 SaveAndComeBack() + Settle("mosaic_reloaded") +
                                 TChapterOneSteps::TurnMosaicTiles(3, 9) + Settle("mosaic_solved") +
                                 "advance 3000\nquit\n");
  ExpectGolden("mosaic_board");
  ExpectGolden("mosaic_reloaded");
  ExpectGolden("mosaic_solved");
  // The save in the middle holds the board of nine tiles, the first row upright.
  std::string game = SavedGame();
  size_t board = game.find("MakeRotationTilesGame");
  ASSERT_NE(board, std::string::npos) << game;
  for (size_t n = 0; n < 3; n++)
    EXPECT_NE(game.find("\tid = \"tile_" + std::to_string(n) + "\",\n\tstatus = 0,", board), std::string::npos) << n;
  EXPECT_EQ(game.find("\tid = \"tile_9\"", board), std::string::npos);
}

// Grandpa's cards: a wrong pair is shown for a second, input waits, and it is covered again;
// then the pairs are found one by one and the last one finishes the scene.
TEST_F(MiniGamesEndToEnd, ThePictureCardsArePairedWithAWrongPairCovered) {
  auto deal = std::make_unique<CMemoryGame>();
  for (const char* id : {"sonne", "mond", "blume", "schluessel"}) {
    auto first = std::make_unique<CMemoryPiece>(), second = std::make_unique<CMemoryPiece>();
    first->SetId(TString(id) + "A");
    second->SetId(TString(id) + "B");
    deal->AddPair(std::move(first), std::move(second));
  }
  SetFixedGameSeed(true);
  deal->DealCards();
  SetFixedGameSeed(false);
  std::vector<CMemoryPiece*> grid = deal->GetCardGrid();
  ASSERT_EQ(grid.size(), 8u);
  auto cell = [&](const std::string& id) {
    for (size_t k = 0; k < grid.size(); k++)
      if (grid[k]->GetId().ToStd() == id) return Point(int(392 + 120 * (k % 3)), int(215 + 150 * (k / 3)));
    ADD_FAILURE() << id;
    return std::string();
  };
  std::string session = Started() + Settle("cards_board") + Click(cell("sonneA").c_str()) +
                        Click(cell("mondA").c_str()) + "move " + Aside + "\nadvance 25\n" + Settle("cards_wrong_pair") +
                        Click(cell("blumeA").c_str()) + "advance 1100\nmove " + Aside + "\n" + Settle("cards_covered");
  for (const char* pair : {"sonne", "mond", "blume", "schluessel"}) {
    session += Click(cell(std::string(pair) + "A").c_str()) + Click(cell(std::string(pair) + "B").c_str()) +
               "advance 1100\n";
    if (std::string(pair) == "mond") session += "move " + std::string(Aside) + "\n" + Settle("cards_two_pairs");
  }
  ExpectCleanRunAt("190401", session + "advance 3000\nquit\n");
  ExpectGolden("cards_board");
  ExpectGolden("cards_wrong_pair");
  EXPECT_EQ(CompareWithGoldenFrame("cards_covered", "minigames/cards_board.png"), "")
      << "the wrong pair is covered again, and the press during the wait turned nothing";
  ExpectGolden("cards_two_pairs");
}

// The torn letter: piece 2 dropped beside piece 1 hooks to it; the two, carried by piece 1
// to the letter's place, stick there. The game is saved and loaded (the pieces keep their
// places). Piece 3 is put down on the skip button, which skips nothing, and taken up from
// there to its place; the last piece finishes the scene with the bonus.
TEST_F(MiniGamesEndToEnd, TheLetterIsPutTogetherAcrossASave) {
  const auto& moves = LetterMoves();
  std::string session = Started() + Settle("letter_board") + Carry(moves[0].first, moves[0].second) + "move " +
                        Aside + "\n" + Settle("letter_hooked") + Carry(moves[1].first, moves[1].second) +
                        SaveAndComeBack() + Settle("letter_reloaded") + Carry(moves[2].first, SkipButton) + "move " +
                        Aside + "\n" + Settle("letter_on_skip") + Carry(SkipButton, moves[2].second);
  for (size_t n = 3; n < moves.size(); n++) session += Carry(moves[n].first, moves[n].second);
  session += Settle("letter_won") + "advance 3000\nquit\n";
  ExpectCleanRunAt("290501", session);
  for (const char* frame : {"letter_hooked", "letter_reloaded", "letter_on_skip", "letter_won"}) ExpectGolden(frame);
  EXPECT_EQ(CompareWithGoldenFrame("letter_board", "minigames/letter_board.png"), "");
}

}  // namespace
