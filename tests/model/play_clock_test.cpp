#include <gtest/gtest.h>

#include "model/highscore_system.h"
#include "model_test_util.h"

namespace {

class PlayClockTest : public TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    score = CHighscoreSystem::CreateInstance();
    score->SetLevelSpeedPerSecondBonus(1);  // GetTimeBonus shows the bonus time left
  }
  void Wait(int64_t seconds) {
    FakeWallNow += seconds;
    FakeNow += uint32_t(seconds * 1000);
  }
  CHighscoreSystem* score = nullptr;
};

TEST_F(PlayClockTest, PausesNestAndOnlyTheLastResumeRestartsTheClocks) {
  score->StartLevel(1, 100);
  Wait(10);
  score->PausePlay();
  score->PausePlay();
  EXPECT_EQ(score->GetTimeBonus(), 90u);
  uint32_t clock = score->GetPlayClockTime();
  Wait(30);
  score->StartPlay();
  EXPECT_TRUE(score->IsPaused());
  EXPECT_EQ(score->GetPlayClockTime(), clock);
  score->StartPlay();
  EXPECT_FALSE(score->IsPaused());
  Wait(5);
  EXPECT_EQ(score->GetPlayClockTime(), clock + 5000);
  score->PausePlay();
  // The 30 seconds of the pause did not count: 100 - 10 - 5.
  EXPECT_EQ(score->GetTimeBonus(), 85u);
}

TEST_F(PlayClockTest, AResumeWhilePlayingRestampsTheBonusTime) {
  score->StartLevel(1, 100);
  Wait(10);
  score->StartPlay();  // counter stays 0; the 10 seconds are not counted again later
  EXPECT_FALSE(score->IsPaused());
  Wait(10);
  score->PausePlay();
  EXPECT_EQ(score->GetTimeBonus(), 90u);
}

TEST_F(PlayClockTest, BonusTimeRunsOutAtZero) {
  score->StartLevel(1, 20);
  EXPECT_EQ(score->GetRemainingTimePercent(), 100u);
  Wait(5);
  EXPECT_EQ(score->GetRemainingTimePercent(), 75u);
  Wait(25);
  EXPECT_EQ(score->GetRemainingTimePercent(), 0u);
  score->PausePlay();
  EXPECT_EQ(score->GetTimeBonus(), 0u);
  score->StartLevel(2, 0);
  EXPECT_EQ(score->GetRemainingTimePercent(), 0u);
}

TEST_F(PlayClockTest, TheHintClockCountsOnlyWhilePlaying) {
  EXPECT_EQ(score->GetElapsedTimeSinceLastHintUse(), 100000u);
  Wait(3);
  EXPECT_EQ(score->GetElapsedTimeSinceLastHintUse(), 100003u);
  score->StartLevel(1, 60);
  EXPECT_EQ(score->GetElapsedTimeSinceLastHintUse(), 100000u);
  score->UseHint();
  Wait(4);
  score->PausePlay();
  Wait(50);
  EXPECT_EQ(score->GetElapsedTimeSinceLastHintUse(), 4u);
  score->StartPlay();
  Wait(1);
  EXPECT_EQ(score->GetElapsedTimeSinceLastHintUse(), 5u);
  score->CountHelpUse();
  EXPECT_EQ(score->GetHelpUseCount(), 1u);
}

TEST_F(PlayClockTest, APauseKeepsTheHitSeriesGoing) {
  score->AddHOFoundBonuses({10, 20});
  score->SetNeededTimeForHOSpeedBonusInSeconds(3);
  score->StartLevel(1, 60);
  score->HOStart();
  EXPECT_EQ(score->HOHitClick(), 10u);
  Wait(1);
  score->PausePlay();
  Wait(100);
  score->StartPlay();
  Wait(1);
  EXPECT_EQ(score->HOHitClick(), 20u);  // two seconds of play since the last hit
}

}  // namespace
