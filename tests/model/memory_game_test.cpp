#include "model/memory_game.h"

#include <gtest/gtest.h>

#include <set>

#include "model_compositor_test_util.h"

namespace {

class TMemoryTest : public TModelTextTest {
 protected:
  CMemoryGame& Load(const std::string& fields) {
    RunOneScene("MakeMemoryGame", fields);
    return Memory();
  }
  CMemoryGame& Memory() { return FirstScene<CMemoryGame>(40); }
  static std::string Pairs(int count) {
    std::string pairs;
    for (int i = 0; i < count; ++i) {
      std::string n = std::to_string(i);
      pairs += "MakeMemoryPair{ id = \"card" + n + "\", name = \"Card" + n + "\", image = \"cards/" + n + "\" }, ";
    }
    return pairs;
  }
  static size_t Count(const std::string& text, const std::string& word) {
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
    return count;
  }
};

TEST_F(TMemoryTest, PlaysFromARecordToAWin) {
  CMemoryGame& game = Load("startPositionCardsX = -5, MakeMemoryPair{ id = \"cat\", name = \"Cat\", image = \"c\" }, " +
                           Pairs(3));
  EXPECT_EQ(game.GetStartPositionCardsX(), -5);
  game.DealCards();
  EXPECT_EQ(game.GetGridColumns(), 3);
  std::vector<CMemoryPiece*> grid = game.GetCardGrid();
  ASSERT_EQ(grid.size(), 8u);
  std::set<std::string> ids;
  for (const CMemoryPiece* card : grid) {
    ids.insert(card->GetId().ToStd());
    if (card->GetId().ToStd().rfind("cat", 0) == 0) {
      EXPECT_EQ(card->GetName().ToStd(), "Cat" + card->GetId().ToStd().substr(3));
      EXPECT_EQ(card->GetImage().ToStd(), "c");
    }
  }
  EXPECT_EQ(ids, (std::set<std::string>{"catA", "catB", "card0A", "card0B", "card1A", "card1B", "card2A", "card2B"}));
  EXPECT_TRUE(CMemoryGame::IsPair("catA", "catB"));
  EXPECT_FALSE(CMemoryGame::IsPair("catA", "dogB"));

  // Uncover pairs until the board is empty.
  for (int turn = 0; turn < 4; ++turn) {
    EXPECT_FALSE(game.IsWon());
    grid = game.GetCardGrid();
    const CMemoryPiece* first = nullptr;
    for (const CMemoryPiece* card : grid) {
      if (!card) continue;
      if (!first) {
        first = card;
      } else if (CMemoryGame::IsPair(first->GetId(), card->GetId())) {
        TString a = first->GetId(), b = card->GetId();
        game.RemoveCard(a);
        game.RemoveCard(b);
        break;
      }
    }
  }
  EXPECT_TRUE(game.IsWon());
}

TEST_F(TMemoryTest, GridColumnsOfTheSmallestSquare) {
  const struct {
    int pairs;
    int32_t columns;
  } cases[] = {{0, 0}, {1, 2}, {2, 2}, {4, 3}, {8, 4}, {10, 5}};
  for (const auto& c : cases) {
    CMemoryGame& game = Load(Pairs(c.pairs));
    game.DealCards();
    EXPECT_EQ(game.GetGridColumns(), c.columns) << c.pairs;
    EXPECT_EQ(game.GetCardGrid().size(), size_t(2 * c.pairs)) << c.pairs;
    EXPECT_EQ(game.IsWon(), c.pairs == 0) << c.pairs;
  }
}

// Regression: the pairs were written only from the dealt cards, so a game saved before its
// window had opened in this run lost every card and came back won. Saved after the deal,
// each pair is written once, pairs that share an id included.
TEST_F(TMemoryTest, SavedPairsLoadBackDealtOrNot) {
  Load("MakeMemoryPair{ id = \"twin\", image = \"t1\" }, MakeMemoryPair{ id = \"twin\", image = \"t2\" }, " + Pairs(2));
  for (bool deal : {false, true}) {
    if (deal) Memory().DealCards();
    std::string text = Save();
    EXPECT_EQ(Count(text, "\nMakeMemoryPair\n"), 4u) << deal;
    EXPECT_NE(text.find("id = \"twin\","), std::string::npos) << deal;
    Reload(text);
    EXPECT_EQ(Memory().GetPairCount(), 4) << deal;
    EXPECT_EQ(Save(), text) << deal;
    Memory().DealCards();
    EXPECT_FALSE(Memory().IsWon()) << deal;
  }
}

}  // namespace
