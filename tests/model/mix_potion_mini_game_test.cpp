#include "model/mix_potion_mini_game.h"

#include <gtest/gtest.h>

#include "model_compositor_test_util.h"

namespace {

// Leaf "mix" (id 3) is fed by root 1 directly and by root 2 through pipe 4; leaf 6 by root 5.
// The pipes' order keys differ from their reading order.
const char* const SmallNetwork = R"(MakeGame{ MakeLevel{ MakeMixPotionMiniGame{ seqId = 1,
    colorSystem = 1, x = 100, y = 50, buttonX = 700, buttonY = -10, cboardX = 20,
    kPipe2_ud = "potion/ud", flask = "potion/flask", mixSoundFile = "sounds/mix",
    MakeMixPotionGivenColors{ "green", "purple", "black" },
    MakeMixPotionNeedColors{ "orange", "black" },
    MakeMixPotionPipe{ id = 1, x = 0, y = 0, h = 5, {3} },
    MakeMixPotionPipe{ id = 2, x = 2, y = 0, h = 6, {4} },
    MakeMixPotionPipe{ id = 4, x = 2, y = 1, h = 4, {3} },
    MakeMixPotionPipe{ id = 3, x = 1, y = 2, h = 1 },
    MakeMixPotionPipe{ id = 5, x = 4, y = 0, h = 3, {6} },
    MakeMixPotionPipe{ id = 6, x = 4, y = 1, h = 2 } } } })";

class TMixPotionTest : public TModelTextTest {
 protected:
  CMixPotionMiniGame& Potion() { return FirstScene<CMixPotionMiniGame>(14); }
  CMixPotionMiniGame& Load(const std::string& fields) {
    RunOneScene("MakeMixPotionMiniGame", fields);
    return Potion();
  }
  static std::vector<uint32_t> Ids(const CMixPotionMiniGame& game, uint32_t count,
                                   CMixPotionPipe* (CMixPotionMiniGame::*get)(uint32_t) const) {
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < count; ++i) ids.push_back((game.*get)(i)->GetId());
    return ids;
  }
  static void Pour(CMixPotionMiniGame& game, std::vector<uint32_t> colors) {
    game.ResetFromRoots(true, true);
    for (uint32_t i = 0; i < colors.size(); ++i) game.SetRootColor(i, colors[i]);
  }
};

TEST_F(TMixPotionTest, PlaysFromARecordToAWinAndKeepsItsNetwork) {
  Run(SmallNetwork);
  CMixPotionMiniGame& game = Potion();
  EXPECT_EQ(Ids(game, game.GetRootCount(), &CMixPotionMiniGame::GetRoot), (std::vector<uint32_t>{1, 2, 5}));
  EXPECT_EQ(Ids(game, game.GetLeafCount(), &CMixPotionMiniGame::GetLeaf), (std::vector<uint32_t>{3, 6}));
  EXPECT_EQ(Ids(game, game.GetPipeCount(), &CMixPotionMiniGame::GetPipe), (std::vector<uint32_t>{3, 6, 5, 4, 1, 2}));
  EXPECT_EQ(game.GetMaxDepth(), 3u);
  EXPECT_EQ(game.GetButtonY(), -10);
  EXPECT_EQ(game.GetGraphic(3).ToStd(), "potion/ud");
  EXPECT_EQ(game.GetGraphic(17).ToStd(), "");
  EXPECT_TRUE(game.HasTryAgainSoundFile());
  EXPECT_EQ(game.GetGivenColors(), (std::vector<uint32_t>{PotionGreen, PotionPurple, PotionBlack}));

  game.ResetFromRoots(true, true);
  EXPECT_FALSE(game.AreAllRootsColored());
  Pour(game, {PotionGreen, PotionGreen, PotionBlack});
  EXPECT_TRUE(game.AreAllRootsColored());
  game.Mix();
  EXPECT_EQ(game.GetLeaf(0)->GetColor(), PotionGreen);
  EXPECT_FALSE(game.IsWon());

  // The leaf is reached by the short path first and by the long one last: both roots mix.
  Pour(game, {PotionGreen, PotionPurple, PotionBlack});
  game.Mix();
  EXPECT_EQ(game.GetLeaf(0)->GetColor(), PotionOrange);
  EXPECT_EQ(game.GetLeaf(1)->GetColor(), PotionBlack);
  EXPECT_TRUE(game.IsWon());

  // Regression: the pipes were written ordered by their keys, so the leaves, and the colours
  // they need, came back in another order.
  std::string text = Save();
  Reload(text);
  EXPECT_EQ(Save(), text);
  CMixPotionMiniGame& loaded = Potion();
  EXPECT_EQ(Ids(loaded, loaded.GetLeafCount(), &CMixPotionMiniGame::GetLeaf), (std::vector<uint32_t>{3, 6}));
  Pour(loaded, {PotionGreen, PotionPurple, PotionBlack});
  loaded.Mix();
  EXPECT_TRUE(loaded.IsWon());
}

TEST_F(TMixPotionTest, ColorsMixInPairsUnderColorSystemOne) {
  const struct {
    std::vector<uint32_t> colors;
    uint32_t system;
    uint32_t mixed;
  } cases[] = {
      {{}, 1, PotionNone},
      {{PotionPurple}, 0, PotionPurple},
      {{PotionGreen, PotionPurple}, 1, PotionOrange},
      {{PotionPurple, PotionGreen}, 0, PotionNone},
      {{PotionGreen, PotionGreen}, 1, PotionGreen},
      {{PotionGreen, PotionGreen}, 2, PotionNone},
      {{PotionOrange, PotionGreen}, 1, PotionBlack},
      {{PotionPurple, PotionOrange}, 1, PotionBlack},
      {{PotionBlack, PotionPurple}, 1, PotionGreen},
      {{PotionGreen, PotionBlack}, 1, PotionPurple},
      {{PotionBlack, PotionOrange}, 1, PotionPurple},
      {{PotionNone, PotionOrange}, 1, PotionOrange},
      {{4, PotionOrange}, 1, PotionNone},
      {{PotionGreen, PotionGreen, PotionGreen}, 1, PotionNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MixColors(c.colors.data(), uint32_t(c.colors.size()), c.system), c.mixed)
        << c.colors.size() << " colours under system " << c.system;
  }
  EXPECT_EQ(ColorLetter(PotionNone).ToStd(), "u");
  EXPECT_EQ(ColorLetter(4).ToStd(), "");
}

TEST_F(TMixPotionTest, PipeShapesAndColourSuffixes) {
  // 1 feeds 2 below it, which takes 3 from its left and passes the mix to 4 below; 5 shares
  // 4's cell and feeds it; 6 stands alone.
  CMixPotionMiniGame& game = Load(R"(colorSystem = 1,
      MakeMixPotionPipe{ id = 1, x = 2, y = 0, {2} },
      MakeMixPotionPipe{ id = 2, x = 2, y = 1, {4} },
      MakeMixPotionPipe{ id = 3, x = 1, y = 1, {2} },
      MakeMixPotionPipe{ id = 4, x = 2, y = 2 },
      MakeMixPotionPipe{ id = 5, x = 2, y = 2, {4} },
      MakeMixPotionPipe{ id = 6, x = 7, y = 7 })");
  Pour(game, {PotionGreen, PotionPurple, PotionBlack, PotionOrange});
  game.Mix();
  const struct {
    uint32_t pipe;
    int32_t kind;
    const char* suffix;
  } cases[] = {
      {0, 3, "_g"},    // a root that feeds the pipe below: up and down
      {1, 6, "_gop"},  // up from 1, left from 3, out down with its own orange
      {2, 5, "_p"},    // a root that feeds the pipe right of it
      {3, 3, "_p"},    // a leaf whose parent in its own cell counts as above
      {4, 18, "_"},    // a root whose only child lies in its cell: one side
      {5, 3, "_o"},    // root and leaf at once
  };
  for (const auto& c : cases) {
    const CMixPotionPipe* pipe = game.GetPipe(c.pipe);
    ASSERT_TRUE(pipe) << c.pipe;
    EXPECT_EQ(pipe->GetPipeKind(), c.kind) << pipe->GetId();
    EXPECT_EQ(pipe->GetColorSuffix().ToStd(), c.suffix) << pipe->GetId();
  }
}

// Regressions: a network without leaves, or asking for more colours than it has leaves, made
// the indexed getters throw and end the game; a flask left of a leaf at column 0 wrapped to a
// column four billion cells away; a colour without a name was written as an empty list
// entry, which made the whole save unreadable.
TEST_F(TMixPotionTest, MissingLeavesAndUnnamedColoursStayHarmless) {
  CMixPotionMiniGame& empty = Load("MakeMixPotionNeedColors{ 'green' }");
  int32_t column = 0, row = 0;
  EXPECT_EQ(empty.GetLeaf(0), nullptr);
  EXPECT_EQ(empty.GetRoot(0), nullptr);
  EXPECT_EQ(empty.GetPipe(0), nullptr);
  EXPECT_FALSE(empty.GetMoveableFlaskCell(0, column, row));
  empty.SetRootColor(3, PotionGreen);
  empty.Mix();

  CMixPotionMiniGame& game = Load("MakeMixPotionNeedColors{ 'green', 'orange', 'black' }, "
                                  "MakeMixPotionPipe{ id = 1, x = 0, y = -1 }");
  EXPECT_EQ(game.GetLeaf(1), nullptr);
  EXPECT_EQ(game.GetLeaf(0)->GetY(), -1);
  ASSERT_TRUE(game.GetMoveableFlaskCell(1, column, row));
  EXPECT_EQ(column, -3);
  EXPECT_EQ(row, 0);
  game.SetGivenColors({PotionGreen, 4, PotionNone, PotionPurple});
  std::string text = Save();
  Reload(text);
  EXPECT_EQ(Potion().GetGivenColors(), (std::vector<uint32_t>{PotionGreen, PotionNone, PotionNone, PotionPurple}));
  EXPECT_EQ(Potion().GetNeedColors(), (std::vector<uint32_t>{PotionGreen, PotionOrange, PotionBlack}));
  EXPECT_EQ(Potion().GetLeaf(0)->GetY(), -1);
}

// Regressions: connection ids that name no pipe, or that close a circle, were followed (a
// circle recursed without end); a pipe kept more connections than it has room for.
TEST_F(TMixPotionTest, LinksOutsideTheNetworkOrInACircleAreLeftOut) {
  CMixPotionMiniGame& game = Load(R"(colorSystem = 1,
      MakeMixPotionPipe{ id = 1, {2, 99} },
      MakeMixPotionPipe{ id = 2, {3} },
      MakeMixPotionPipe{ id = 3, {1, 3, 4, 2} },
      MakeMixPotionPipe{ id = 4 })");
  EXPECT_EQ(game.GetPipe(2)->GetConnectionIds(), (std::vector<uint32_t>{1, 3, 4}));
  EXPECT_EQ(game.GetPipe(0)->GetChildCount(), 1u);
  EXPECT_EQ(game.GetPipe(2)->GetChildCount(), 1u);
  EXPECT_EQ(game.GetPipe(2)->GetChild(0)->GetId(), 4u);
  EXPECT_EQ(game.GetMaxDepth(), 4u);
  Pour(game, {PotionPurple});
  game.Mix();
  EXPECT_EQ(game.GetLeaf(0)->GetColor(), PotionPurple);
  std::string log = ReadLog();
  EXPECT_NE(log.find("pipe 1 connects to pipe 99, which is not in the network"), std::string::npos);
  EXPECT_NE(log.find("pipe 3 cannot feed pipe 1"), std::string::npos);
  EXPECT_NE(log.find("the first 3 are kept"), std::string::npos);
}

// Every pipe of a long chain of diamonds is reached by ever more paths; a mix walks each pipe
// once per level instead of once per path.
TEST_F(TMixPotionTest, ALongChainOfDiamondsMixes) {
  std::string pipes = "colorSystem = 1, ";
  const uint32_t diamonds = 40;
  for (uint32_t d = 0; d < diamonds; ++d) {
    uint32_t top = 3 * d + 1;
    pipes += "MakeMixPotionPipe{ id = " + std::to_string(top) + ", {" + std::to_string(top + 1) + ", " +
             std::to_string(top + 2) + "} }, ";
    for (uint32_t side : {top + 1, top + 2})
      pipes += "MakeMixPotionPipe{ id = " + std::to_string(side) + ", {" + std::to_string(top + 3) + "} }, ";
  }
  pipes += "MakeMixPotionPipe{ id = " + std::to_string(3 * diamonds + 1) + " }";
  CMixPotionMiniGame& game = Load(pipes);
  EXPECT_EQ(game.GetMaxDepth(), 2 * diamonds + 1);
  Pour(game, {PotionOrange});
  game.Mix();
  EXPECT_EQ(game.GetLeaf(0)->GetColor(), PotionOrange);
}

}  // namespace
