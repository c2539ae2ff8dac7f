#include "model/shark_shooter_game.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model_compositor_test_util.h"

namespace {

class TSharkShooterTest : public TModelTextTest {
 protected:
  // A shark shooter scene from the record's fields, with the boxes the window would measure.
  CSharkShooterGame& Load(const std::string& fields) {
    Run("MakeGame{ MakeLevel{ MakeSharkShooterGame{ seqId = 1, " + fields + " } } }");
    auto* game = static_cast<CSharkShooterGame*>(Game().FindScene(1));
    EXPECT_TRUE(game && game->IsOfType(32));
    game->SetSharkHeight(40);
    game->SetRunning(true);
    return *game;
  }
  // Frames of 10 ms until the game stops running; `frame' runs before each step.
  template <typename Frame>
  void Play(CSharkShooterGame& game, Frame frame) {
    for (uint32_t now = 10; game.IsRunning() && now < 200000; now += 10) {
      frame(now);
      game.Update(now);
    }
  }
};

TEST_F(TSharkShooterTest, ShootingModeWinsByKillsAndLosesBySharksGettingThrough) {
  CSharkShooterGame& game = Load("howManySharksMustDieForWinning = 3, maxSharksOnScreen = 1, sharkStartSpeed = 5000");
  Play(game, [&](uint32_t now) {
    // The diver follows the shark so that the harpoon meets it.
    game.SetDiverYpos(game.GetSharkPosition(0).y + 5);
    game.Fire(now);
    for (int32_t i = game.GetActiveShotCount() - 1; i >= 0; --i) {
      int32_t shot = game.GetActiveShot(i);
      if (game.GetShotPosition(shot).y == CSharkShooterGame::ParkedShotY) game.RemoveActiveShot(shot);
    }
  });
  EXPECT_EQ(game.GetKills(), 3);
  EXPECT_TRUE(game.IsWon());
  EXPECT_FALSE(game.IsLost());

  game.Reset();
  game.SpawnSharks();
  EXPECT_FALSE(game.IsWon());
  game.SetLives(2);
  game.SetDeadlineXpos(900);
  game.SetRunning(true);
  Play(game, [](uint32_t) {});
  EXPECT_EQ(game.GetHits(), 2);
  EXPECT_EQ(game.GetKills(), 0);
  EXPECT_TRUE(game.IsLost());
  EXPECT_FALSE(game.IsWon());
}

TEST_F(TSharkShooterTest, AvoidingModeWinsBySharksPassingAndLosesByTouches) {
  CSharkShooterGame& game = Load(
      "gamemode = \"avoidSharks\", howManySharksMustDieForWinning = 4, maxSharksOnScreen = 2, sharkStartSpeed = 5000, "
      "lives = 2");
  // Above every shark, with the shield at its side: nothing touches.
  game.SetDiverYpos(0);
  Play(game, [&](uint32_t now) { game.Fire(now); });
  EXPECT_GE(game.GetEscapedSharks(), 4);
  EXPECT_EQ(game.GetHits(), 0);
  EXPECT_TRUE(game.IsWon());

  // A second shot while the shield is in play is refused.
  uint32_t next = game.Fire(1000000);
  EXPECT_FALSE(game.IsShotFired());
  EXPECT_EQ(game.Fire(1000001), next);

  game.Reset();
  game.SetMaxSharksOnScreen(1);
  game.SpawnSharks();
  game.SetRunning(true);
  // Without a shield, and always in the way of the first shark.
  Play(game, [&](uint32_t) { game.SetDiverYpos(game.GetSharkPosition(0).y - 5); });
  EXPECT_EQ(game.GetHits(), 2);
  EXPECT_TRUE(game.IsLost());
  EXPECT_FALSE(game.IsWon());
}

// Regression: a target of 0 divided the speed growth by zero (infinite speeds) and won at
// once; lives of 0 divide the window's health bar. Both keep their value with a log line.
TEST_F(TSharkShooterTest, TargetAndLivesBelowOneAreRefused) {
  const struct {
    const char* fields;
    int32_t target, lives;
  } cases[] = {
      {"howManySharksMustDieForWinning = 0, lives = 0", 50, 3},
      {"lives = 4", 50, 4},
      {"howManySharksMustDieForWinning = -3, lives = -1", 50, 3},
      {"howManySharksMustDieForWinning = 7", 7, 3},
  };
  for (const auto& c : cases) {
    CGame::DestroyInstance();
    CGame::CreateInstance();
    CSharkShooterGame& game = Load(c.fields);
    EXPECT_EQ(game.GetHowManySharksMustDieForWinning(), c.target) << c.fields;
    EXPECT_EQ(game.GetLives(), c.lives) << c.fields;
    EXPECT_FALSE(game.IsWon()) << c.fields;
    game.Update(10);
    game.Update(20);
    EXPECT_GT(game.GetSharkPosition(0).x, 1000) << c.fields;
  }
  EXPECT_NE(ReadLog().find("a target of 0 sharks is refused"), std::string::npos);
}

// Regression: the modes are 0 and 1 only; a misspelt mode leaves the constructor's mode 0
// (which the constructor had not set), and the saved mode is always a word the loader reads.
TEST_F(TSharkShooterTest, GameModeFromItsWordOnly) {
  const struct {
    const char* mode;
    int32_t expected;
  } cases[] = {{"avoidSharks", 1}, {"sharkShooter", 0}, {"avoidsharks", 0}, {"", 0}};
  for (const auto& c : cases) {
    CGame::DestroyInstance();
    CGame::CreateInstance();
    CSharkShooterGame& game = Load(std::string("gamemode = \"") + c.mode + "\", sharkStartSpeed = 12.75");
    EXPECT_EQ(game.GetGameMode(), c.expected) << c.mode;
    game.SetGameMode(5);
    EXPECT_EQ(game.GetGameMode(), c.expected) << c.mode;
    std::string text = Save();
    EXPECT_NE(text.find(c.expected ? "gamemode = \"avoidSharks\"" : "gamemode = \"sharkShooter\""), std::string::npos);
    EXPECT_NE(text.find("sharkStartSpeed = 12,"), std::string::npos);
    Reload(text);
    EXPECT_EQ(Save(), text) << c.mode;
  }
}

// Regression: the places were drawn from a generator assumed to give 15 bits; they come
// from the game's own 15-bit generator and cover the whole band.
TEST_F(TSharkShooterTest, SharksAreSpreadOverTheirBand) {
  CSharkShooterGame& game = Load("maxSharksOnScreen = 200, harpoonY = 20");
  ASSERT_EQ(game.GetSharksOnScreen(), 200);
  int32_t minX = 1 << 30, maxX = 0, minY = 1 << 30, maxY = 0;
  for (int32_t i = 0; i < 200; ++i) {
    CSharkShooterGame::TPosition at = game.GetSharkPosition(i);
    minX = std::min(minX, at.x), maxX = std::max(maxX, at.x);
    minY = std::min(minY, at.y), maxY = std::max(maxY, at.y);
  }
  EXPECT_GE(minX, 1030);
  EXPECT_LT(minX, 1100);
  EXPECT_LE(maxX, 1800);
  EXPECT_GT(maxX, 1730);
  EXPECT_GE(minY, 50);
  EXPECT_LT(minY, 100);
  EXPECT_LE(maxY, 630 - 10 - 20);
  EXPECT_GT(maxY, 520);

  // Out-of-range indices answer nothing rather than reading past the lists.
  EXPECT_EQ(game.GetSharkPosition(200).x, 0);
  EXPECT_EQ(game.GetShotPosition(-1).y, 0);
  EXPECT_EQ(game.GetActiveShot(0), -1);
  game.RemoveActiveShot(3);
}

}  // namespace
