#include "model/rotation_tiles_game.h"

#include <gtest/gtest.h>

#include "model_compositor_test_util.h"

namespace {

struct TTile {
  std::string id;
  int32_t status, x, y;
};

bool operator==(const TTile& a, const TTile& b) {
  return a.id == b.id && a.status == b.status && a.x == b.x && a.y == b.y;
}

class TRotationTilesTest : public TModelTextTest {
 protected:
  CRotationTilesGame& Board() { return FirstScene<CRotationTilesGame>(42); }
  std::vector<TTile> Tiles() {
    std::vector<TTile> tiles;
    for (const CRotationTile* tile : Board().GetTiles())
      tiles.push_back({tile->GetId().ToStd(), tile->GetStatus(), tile->GetPosition().x, tile->GetPosition().y});
    return tiles;
  }
};

// Regression: a tile without posY took the y of the tile before it (or none at all).
TEST_F(TRotationTilesTest, PlaysFromARecordToAWinAndKeepsItsProgress) {
  Run(R"(MakeGame{ MakeLevel{ MakeRotationTilesGame{ seqId = 1, tilesCount = 4, wonSound = "won",
      MakeRotationTile{ id = "a", status = 1, posX = 10, posY = 20 },
      MakeRotationTile{ id = "b", status = 3, posX = 110 },
      MakeRotationTile{ id = "c", status = 6, posY = 120 },
      MakeRotationTile{ id = "d", status = -1, posX = 110, posY = 120 } } } })");
  EXPECT_EQ(Tiles(), (std::vector<TTile>{{"a", 1, 10, 20}, {"b", 3, 110, 0}, {"c", 2, 0, 120}, {"d", 3, 110, 120}}));
  EXPECT_FALSE(Board().RotateTile("nobody"));

  // Half solved, saved and loaded: the same turns and places.
  EXPECT_TRUE(Board().RotateTile("b"));
  EXPECT_TRUE(Board().RotateTile("c"));
  std::string text = Save();
  Reload(text);
  EXPECT_EQ(Tiles(), (std::vector<TTile>{{"a", 1, 10, 20}, {"b", 0, 110, 0}, {"c", 3, 0, 120}, {"d", 3, 110, 120}}));
  EXPECT_EQ(Save(), text);

  for (const char* id : {"a", "a", "a", "c", "d"}) {
    EXPECT_FALSE(Board().IsWon()) << id;
    Board().RotateTile(id);
  }
  EXPECT_TRUE(Board().IsWon());
}

TEST_F(TRotationTilesTest, ANewBoardFromTheCount) {
  const struct {
    int32_t count;
    size_t tiles;
  } cases[] = {{9, 9}, {-3, 0}, {5000, 1024}};
  for (const auto& c : cases) {
    RunOneScene("MakeRotationTilesGame", "tilesFilepath = \"tiles/t\", tilesCount = " + std::to_string(c.count));
    Board().CreateTiles();
    std::vector<CRotationTile*> tiles = Board().GetTiles();
    ASSERT_EQ(tiles.size(), c.tiles) << c.count;
    for (size_t n = 0; n < tiles.size(); ++n) {
      EXPECT_EQ(tiles[n]->GetId().ToStd(), "tile_" + std::to_string(n));
      EXPECT_EQ(tiles[n]->GetImage().ToStd(), "tiles/t" + std::to_string(n));
      EXPECT_LT(tiles[n]->GetStatus(), 4);
    }
    EXPECT_EQ(Board().IsWon(), c.tiles == 0) << c.count;
  }
  EXPECT_NE(ReadLog().find("a new board of 5000 tiles gets 1024"), std::string::npos);
}

}  // namespace
