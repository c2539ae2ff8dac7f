#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/random.h"

namespace {

TEST(GameRandTest, OneSeedGivesOneSequenceOfFifteenBitNumbers) {
  GameSrand(1234);
  std::vector<int> first;
  std::set<int> seen;
  for (int i = 0; i < 1000; ++i) {
    int value = GameRand();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, GameRandMax);
    first.push_back(value);
    seen.insert(value);
  }
  EXPECT_GT(seen.size(), 900u);
  GameSrand(1234);
  for (int expected : first) EXPECT_EQ(GameRand(), expected);
  GameSrand(1235);
  EXPECT_NE(GameRand(), first[0]);
}

}  // namespace
