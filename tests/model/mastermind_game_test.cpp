#include "model/mastermind_game.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model_compositor_test_util.h"

namespace {

using TRow = std::vector<std::string>;

class TMastermindTest : public TModelTextTest {
 protected:
  CMastermindGame& Load(const std::string& fields) {
    Run("MakeGame{ MakeLevel{ MakeMastermindGame{ seqId = 1, " + fields + " } } }");
    auto* game = static_cast<CMastermindGame*>(Game().FindScene(1));
    EXPECT_TRUE(game && game->IsOfType(37));
    return *game;
  }
  // Puts the palette pegs of these colours into the current row.
  static void Guess(CMastermindGame& game, const std::vector<TString>& colors) {
    for (size_t i = 0; i < colors.size(); ++i)
      game.SetSlot(game.GetCurrentRow(), int32_t(i), "peg" + CMastermindGame::GetColorLetter(colors[i]));
  }
  static TRow Answer(const CMastermindGame& game, int32_t row) {
    TRow answer;
    std::vector<CMastermindGame::Row> answers = game.GetAnswers();
    for (const TString& peg : answers.at(size_t(row))) answer.push_back(peg.ToStd());
    return answer;
  }
};

TEST_F(TMastermindTest, PlaysFromARecordToAWin) {
  CMastermindGame& game = Load(
      "gameColorsCount = 3, rows = 2, MakeMastermindAllColors{ \"green\", \"pink\", \"red\", \"blue\", \"black\" }");
  EXPECT_EQ(game.GetColors(), (std::vector<TString>{"green", "red", "blue", "black"}));
  game.StartNewGame();
  std::vector<TString> secret = game.GetSecret();
  ASSERT_EQ(secret.size(), 3u);
  std::vector<TString> sorted = secret;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::unique(sorted.begin(), sorted.end()) - sorted.begin(), 3);

  EXPECT_FALSE(game.IsRowComplete());
  // Two swapped: a white and two blacks, in the order of the guessed positions.
  Guess(game, {secret[0], secret[2], secret[1]});
  ASSERT_TRUE(game.IsRowComplete());
  EXPECT_FALSE(game.CheckRow());
  EXPECT_EQ(Answer(game, 0), (TRow{"w", "b", "b"}));
  game.NextRow();
  EXPECT_EQ(game.GetCurrentRow(), 1);

  // A repeated colour earns a black for its wrong place.
  Guess(game, {secret[1], secret[1], secret[2]});
  EXPECT_FALSE(game.CheckRow());
  EXPECT_EQ(Answer(game, 1), (TRow{"b", "w", "w"}));
  game.NextRow();
  EXPECT_EQ(game.GetCurrentRow(), 1);

  // The last row scrolls; the reset button clears it.
  game.ScrollAnswersUp();
  game.ScrollBoardUp();
  EXPECT_EQ(game.GetSlot(0, 0).ToStd(), "peg" + CMastermindGame::GetColorLetter(secret[1]).ToStd());
  EXPECT_EQ(game.GetSlot(1, 0).ToStd(), "");
  Guess(game, {secret[0], secret[1], secret[1]});
  game.ClearCurrentRow();
  EXPECT_FALSE(game.IsRowComplete());

  // Regression: a full match never set the flag that "IsWon" reports.
  Guess(game, secret);
  EXPECT_FALSE(game.IsWon());
  EXPECT_TRUE(game.CheckRow());
  EXPECT_EQ(Answer(game, 1), (TRow{"w", "w", "w"}));
  EXPECT_TRUE(game.IsWon());
  game.Reset();
  EXPECT_FALSE(game.IsWon());
  EXPECT_TRUE(game.GetSecret().empty());
}

// Regression: a count of pegs above the number of colours drew from an empty pool (a modulo
// by zero); the pegs in play are bounded by the colours and rows by 1 to 10.
TEST_F(TMastermindTest, PegsAndRowsInPlayStayWithinTheColoursAndTheBoard) {
  const struct {
    const char* fields;
    int32_t pegs, rows;
  } cases[] = {
      {"gameColorsCount = 5, rows = 0, MakeMastermindAllColors{ \"red\", \"blue\", \"white\" }", 3, 1},
      {"gameColorsCount = 2, rows = 40, MakeMastermindAllColors{ \"red\", \"blue\", \"white\" }", 2, 10},
      {"gameColorsCount = -1, rows = 3, MakeMastermindAllColors{ \"red\" }", 0, 3},
      {"gameColorsCount = 4", 0, 1},
  };
  for (const auto& c : cases) {
    CGame::DestroyInstance();
    CGame::CreateInstance();
    CMastermindGame& game = Load(c.fields);
    game.StartNewGame();
    EXPECT_EQ(game.GetGameColorsCount(), c.pegs) << c.fields;
    EXPECT_EQ(game.GetRows(), c.rows) << c.fields;
    EXPECT_EQ(game.GetSecret().size(), size_t(c.pegs)) << c.fields;
    // Places outside the board are ignored or read empty.
    game.SetSlot(c.rows, 0, "pegr");
    game.SetSlot(0, c.pegs, "pegr");
    game.SetSlot(-1, -1, "pegr");
    EXPECT_EQ(game.GetSlot(c.rows, 0).ToStd(), "") << c.fields;
    EXPECT_EQ(game.GetAnswerPeg(3, 0).ToStd(), "") << c.fields;
  }
  EXPECT_NE(ReadLog().find("5 pegs in 0 rows with 3 colours; playing 3 pegs in 1 rows"), std::string::npos);
}

// The positions go in after the walk (0 when absent), are written as unsigned numbers and
// read back signed; a model without sounds or colours writes none.
TEST_F(TMastermindTest, RecordReadsBackTheSame) {
  CMastermindGame& game = Load(
      "startPositionSlotY = -5, checkbuttonX = 300, resetbuttonY = 4294967291, peg = \"mm/peg\", "
      "wonSoundFile = \"sounds/won\"");
  EXPECT_EQ(game.GetStartPositionSlotY(), -5);
  EXPECT_EQ(game.GetStartPositionSlotX(), 0);
  EXPECT_EQ(game.GetCheckButtonX(), 300);
  EXPECT_EQ(game.GetCheckButtonY(), 0);
  EXPECT_EQ(game.GetResetButtonY(), -5);
  EXPECT_TRUE(game.HasWonSoundFile());
  EXPECT_FALSE(game.HasCheckSoundFile());
  std::string text = Save();
  EXPECT_NE(text.find("startPositionSlotY = 4294967291,"), std::string::npos);
  EXPECT_EQ(text.find("checkSoundFile"), std::string::npos);
  EXPECT_EQ(text.find("MakeMastermindAllColors"), std::string::npos);
  Reload(text);
  EXPECT_EQ(Save(), text);
  EXPECT_EQ(static_cast<CMastermindGame*>(Game().FindScene(1))->GetStartPositionSlotY(), -5);
}

TEST(MastermindColorTest, LettersOfTheEightColours) {
  EXPECT_EQ(CMastermindGame::GetColorLetter("black").ToStd(), "s");
  EXPECT_EQ(CMastermindGame::GetColorLetter("blue").ToStd(), "b");
  EXPECT_EQ(CMastermindGame::GetColorLetter("undefined").ToStd(), "");
  EXPECT_EQ(CMastermindGame::GetColorLetter("Blue").ToStd(), "");
}

}  // namespace
