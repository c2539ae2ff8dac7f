// The mastermind window: pegs picked from the palette, dropped into the current row and taken
// back; checks that score a row, move on, scroll the board at its last row and win; the reset
// of a row; and the board's limits (ten rows, a peg picture that does not load).

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "mini_game_test_util.h"
#include "minigames/mastermind_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/mastermind_game.h"
#include "platform/settings.h"
#include "scenes/sprite_window.h"

namespace {

// Pegs of 20 x 20: the palette from (10, 10) 24 apart; slots from (10, 50), 24 apart in a
// row and 26 from row to row; answer pegs of 8 x 8 from (100, 50), 10 apart. The check
// button at (200, 10), the reset button at (200, 40), each 40 x 20.
class MastermindWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("MastermindWindow", &TMastermindWindow::Create);
    for (const char* letter : {"g", "r", "b", "y", "s", "p", "o", "w", "u"})
      Solid((std::string("pics/peg_") + letter + ".png").c_str(), 20, 20, 0xFF406080);
    Solid("pics/ans_w.png", 8, 8, 0xFFF0F0F0);
    Solid("pics/ans_b.png", 8, 8, 0xFF101010);
    Solid("pics/check.png", 40, 20, 0xFF30A030);
    Solid("pics/reset.png", 40, 20, 0xFFA03030);
    SetConfig("itemCursorOffsetX", "-5");
    SetConfig("itemCursorOffsetY", "-5");
  }
  CMastermindGame& MakeGame(int32_t rows, int32_t pegs = 3,
                            std::vector<const char*> colors = {"green", "red", "blue", "yellow"}) {
    auto game = std::make_unique<CMastermindGame>();
    game->SetRows(rows);
    game->SetGameColorsCount(pegs);
    for (const char* color : colors) game->AddColor(color);
    game->SetPeg("pics/peg");
    game->SetAnswerpeg("pics/ans");
    game->SetStartPositionPegs(10, 10);
    game->SetDistancePegs(4);
    game->SetStartPositionSlot(10, 50);
    game->SetDistanceSlots(4);
    game->SetDistanceRows(6);
    game->SetStartPositionAnswerpegs(100, 50);
    game->SetDistanceAnswerpegs(2);
    game->SetCheckButton("pics/check");
    game->SetCheckButtonPosition(200, 10);
    game->SetResetButton("pics/reset");
    game->SetResetButtonPosition(200, 40);
    mGame = game.get();
    return MakeCurrent(std::move(game), 290101);
  }
  TMastermindWindow* Open() { return mWindow = OpenGame<TMastermindWindow>("MastermindWindow"); }
  TSpriteWindow& Sprites() { return *mWindow->GetSpriteWindow(); }
  // The palette peg of the colour's place in the model's colours.
  void ClickPalette(const TString& color) {
    std::vector<TString> colors = mGame->GetColors();
    for (size_t i = 0; i < colors.size(); i++)
      if (colors[i] == color) Click(int32_t(20 + 24 * i), 20);
  }
  void ClickSlot(int32_t row, int32_t column) { Click(20 + 24 * column, 60 + 26 * row); }
  void ClickCheck() { Click(220, 20); }
  void ClickReset() { Click(220, 50); }
  // Puts the colours into the current row, peg by peg.
  void Guess(const std::vector<TString>& colors) {
    for (size_t c = 0; c < colors.size(); c++) {
      ClickPalette(colors[c]);
      ClickSlot(mGame->GetCurrentRow(), int32_t(c));
    }
  }
  // The palette peg of the colour is drawn (in the sprite tree) and clickable.
  bool InPalette(const TString& color) {
    GeneralSprite& peg = Sprite(Sprites(), ("peg" + CMastermindGame::GetColorLetter(color)).c_str());
    std::shared_ptr<TSprite> sprite = peg.GetCurrentSprite();
    return peg.IsClickable() && sprite && sprite->GetParent() == Sprites().GetRootSprite().get();
  }
  // The answer pegs of a row as their pictures' letters, in place order.
  std::string AnswerRow(int32_t row) {
    std::string letters;
    for (int32_t k = 0; HasSprite(Sprites(), TMastermindWindow::MakeCellName("answerpeg", row, k).c_str()); k++) {
      GeneralSprite& peg = Sprite(Sprites(), TMastermindWindow::MakeCellName("answerpeg", row, k).c_str());
      letters += peg.GetTexture() == TTexture::Get("pics/ans_w") ? "w" : "b";
      EXPECT_EQ(Sprites().GetSpritePosition(peg.GetName()), TPoint(100 + 10 * k, 50 + 26 * row));
    }
    return letters;
  }
  int SlotSprites() {
    int count = 0;
    for (int32_t i = 0; i < Sprites().GetSpriteCount(); i++) count += Sprites().GetSprite(i).GetKind() == SpriteKindMastermindSlot;
    return count;
  }
  std::vector<TString> Secret() { return mGame->GetSecret(); }
  // The colour of the model's four that the secret lacks.
  TString Spare() {
    for (const TString& color : mGame->GetColors()) {
      bool used = false;
      for (const TString& secret : Secret()) used |= secret == color;
      if (!used) return color;
    }
    return "";
  }

  CMastermindGame* mGame = nullptr;  // the game's
  TMastermindWindow* mWindow = nullptr;
};

// A picked peg hangs from the pointer by the settings' offsets and in front of the others; a
// drop into a slot of the current row fills it (the colour leaves the palette), a drop on
// another row or beside the board puts the peg back; a drop on a filled slot replaces its
// colour, which comes back to the palette; a click on a filled slot takes its peg back into
// the hand. Each drop leaves one slot sprite per slot: the board is rebuilt after the list
// walk that found the slot, not during it.
TEST_F(MastermindWindow, PegsArePickedDroppedReplacedAndTakenBack) {
  MakeGame(2);
  Open();
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  EXPECT_EQ(mWindow->GetPegSize(), TPoint(20, 20));
  EXPECT_EQ(Sprites().GetSpritePosition("pegb"), TPoint(58, 10));
  EXPECT_EQ(Sprites().GetSpritePosition("slot12"), TPoint(58, 76));

  ClickPalette("red");
  EXPECT_EQ(mWindow->GetHeldPeg(), "pegr");
  MouseMove(150, 150);
  EXPECT_EQ(Sprites().GetSpritePosition("pegr"), TPoint(155, 155));
  EXPECT_EQ(Sprites().GetRootSprite()->GetChildren().back(), Sprite(Sprites(), "pegr").GetCurrentSprite());
  MouseMove(20, 60);
  EXPECT_EQ(mWindow->GetCursorStyle(), 4);
  MouseDown(20, 60);
  EXPECT_EQ(mWindow->GetHeldPeg(), "");
  EXPECT_EQ(mGame->GetSlot(0, 0), "pegr");
  EXPECT_FALSE(InPalette("red"));
  EXPECT_TRUE(Sprite(Sprites(), "slot00").IsClickable());
  EXPECT_EQ(SlotSprites(), 6);

  for (TPoint elsewhere : {TPoint(44, 86), TPoint(160, 200)}) {
    ClickPalette("blue");
    Click(elsewhere.x, elsewhere.y);
    EXPECT_EQ(mGame->GetSlot(1, 1), "");
    EXPECT_TRUE(InPalette("blue"));
    EXPECT_EQ(Sprites().GetSpritePosition("pegb"), TPoint(58, 10));
  }

  ClickPalette("green");
  ClickSlot(0, 0);
  EXPECT_EQ(mGame->GetSlot(0, 0), "pegg");
  EXPECT_TRUE(InPalette("red"));
  EXPECT_FALSE(InPalette("green"));
  EXPECT_EQ(SlotSprites(), 6);

  ClickSlot(0, 0);
  EXPECT_EQ(mWindow->GetHeldPeg(), "pegg");
  EXPECT_EQ(mGame->GetSlot(0, 0), "");
  EXPECT_EQ(Sprites().GetSpritePosition("pegg"), TPoint(25, 65));
  ClickSlot(0, 2);
  EXPECT_EQ(mGame->GetSlot(0, 2), "pegg");
}

// A check waits for a full row. A failed check answers with whites before blacks, moves on
// to the next row with every colour back in the palette and the checked row fixed; at the
// last row a failed check scrolls the board and the answers up a row. The right guess plays
// the win and finishes the scene once.
TEST_F(MastermindWindow, ChecksScoreMoveOnScrollAndWin) {
  MakeGame(2);
  Open();
  std::vector<TString> secret = Secret();
  ASSERT_EQ(secret.size(), 3u);

  Guess({secret[1], secret[0]});
  ClickCheck();
  EXPECT_EQ(mGame->GetCurrentRow(), 0) << "a row with an empty slot is not checked";
  EXPECT_EQ(AnswerRow(0), "");

  ClickPalette(secret[2]);
  ClickSlot(0, 2);
  ClickCheck();
  EXPECT_EQ(AnswerRow(0), "wbb");
  EXPECT_EQ(mGame->GetCurrentRow(), 1);
  EXPECT_FALSE(Sprite(Sprites(), "slot00").IsClickable());
  for (const TString& color : mGame->GetColors()) EXPECT_TRUE(InPalette(color)) << color.c_str();

  Guess({Spare(), secret[2], secret[1]});
  ClickCheck();
  EXPECT_EQ(mGame->GetCurrentRow(), 1);
  EXPECT_EQ(AnswerRow(0), "bb") << "the second row's answer moved up";
  EXPECT_EQ(AnswerRow(1), "");
  EXPECT_EQ(mGame->GetSlot(0, 0), "peg" + CMastermindGame::GetColorLetter(Spare()));
  EXPECT_EQ(mGame->GetSlot(1, 0), "");
  EXPECT_EQ(SlotSprites(), 6);
  EXPECT_EQ(WentOn(), 0);

  Guess(secret);
  ClickCheck();
  EXPECT_EQ(AnswerRow(1), "www");
  EXPECT_TRUE(mWindow->IsWon());
  EXPECT_EQ(Lua("won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "true");
  ClickCheck();
  Frames(10);
  EXPECT_EQ(WentOn(), 1);
}

// With one row a failed check leaves the guess to change and shows its answer, which the
// next check replaces. The reset button empties the current row and puts its colours back.
TEST_F(MastermindWindow, OneRowIsCheckedAgainAndResetEmptiesTheRow) {
  MakeGame(1);
  Open();
  std::vector<TString> secret = Secret();
  Guess({secret[1], secret[2], secret[0]});
  ClickCheck();
  EXPECT_EQ(AnswerRow(0), "bbb");
  EXPECT_EQ(mGame->GetSlot(0, 0), "peg" + CMastermindGame::GetColorLetter(secret[1]));
  ClickSlot(0, 1);
  ClickSlot(0, 0);
  ClickPalette(secret[1]);
  ClickSlot(0, 1);
  ClickCheck();
  EXPECT_EQ(AnswerRow(0), "wbb");

  ClickReset();
  for (int32_t c = 0; c < 3; c++) EXPECT_EQ(mGame->GetSlot(0, c), "");
  for (const TString& color : mGame->GetColors()) EXPECT_TRUE(InPalette(color)) << color.c_str();
  EXPECT_EQ(SlotSprites(), 3);
}

// While the briefing is up clicks and moves change nothing. Leaving the screen resets the
// model, so the next visit deals a new secret on an empty board; "IsWon" of the gone window
// answers nothing.
TEST_F(MastermindWindow, TheBriefingGatesAndLeavingStartsAfresh) {
  MakeGame(2);
  Open();
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  ClickPalette("green");
  EXPECT_EQ(mWindow->GetHeldPeg(), "");
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  Guess({"green"});
  EXPECT_EQ(mGame->GetSlot(0, 0), "pegg");

  Manager().PopModal();
  Frames(1);
  EXPECT_EQ(mGame->GetSlot(0, 0), "");
  EXPECT_TRUE(mGame->GetSecret().empty());
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused());
  EXPECT_EQ(Lua("won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "nil");
}

// Regression: slot names carry the row and the column as one digit each, and a record of
// twelve rows made "slot101" both row 10's second slot and row 1's... The board keeps to ten
// rows, every name is its own and a drop lands in the current row.
TEST_F(MastermindWindow, ABoardOfMoreThanTenRowsKeepsItsNamesApart) {
  MakeGame(12, 8, {"green", "red", "blue", "yellow", "black", "purple", "orange", "white"});
  Open();
  EXPECT_EQ(SlotSprites(), 80);
  std::set<std::string> names;
  for (int32_t i = 0; i < Sprites().GetSpriteCount(); i++) names.insert(Sprites().GetSprite(i).GetName().ToStd());
  EXPECT_EQ(names.size(), size_t(Sprites().GetSpriteCount()));
  ClickPalette("red");
  ClickSlot(0, 1);
  EXPECT_EQ(mGame->GetSlot(0, 1), "pegr");
}

// Regression: the board is laid out from the size of the green peg's picture, and one that
// does not load stopped the screen. It keeps the pitch of a 10 x 10 peg and says so.
TEST_F(MastermindWindow, APegPictureThatDoesNotLoadKeepsTheDefaultPitch) {
  CMastermindGame& game = MakeGame(2);
  game.SetPeg("pics/missing");
  game.SetAnswerpeg("pics/missing");
  Open();
  EXPECT_EQ(mWindow->GetPegSize(), TPoint(10, 10));
  EXPECT_EQ(Sprites().GetSpritePosition("slot12"), TPoint(38, 66));
  EXPECT_EQ(CountInLog("\"pics/missing_g\" does not load"), 1);
  Click(20, 15);
  Frames(1);
  EXPECT_TRUE(mWindow->IsSceneStarted());
}

}  // namespace
