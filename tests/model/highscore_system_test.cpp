#include <gtest/gtest.h>

#include "model/game.h"
#include "model/highscore_system.h"
#include "model_test_util.h"

namespace {

class HighscoreTest : public TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    score = CHighscoreSystem::CreateInstance();
    // A current scene for the per-scene counts.
    CGame* game = CGame::CreateInstance();
    auto level = std::make_unique<CLevel>();
    level->AddScene(std::make_unique<CTestScene>(120001));
    game->AddLevel(std::move(level));
    game->SetCurrentScene(120001);
  }
  void Wait(int64_t seconds) { FakeWallNow += seconds; }
  CHighscoreSystem* score = nullptr;
};

TEST_F(HighscoreTest, QuickHitsClimbTheLadder) {
  score->AddHOFoundBonuses({10, 20});
  score->AddHOFoundBonuses({50});
  score->SetNeededTimeForHOSpeedBonusInSeconds(3);
  score->StartLevel(1, 600);
  score->HOStart();
  // Hits at 0, 2, 4 and 6 seconds climb to the top rung and stay there; a gap of 4
  // seconds starts again at the bottom, a gap of exactly 3 still climbs, a miss restarts.
  struct Step {
    int64_t wait;
    bool miss;
    uint32_t bonus;
  } steps[] = {{0, false, 10}, {2, false, 20}, {2, false, 50}, {2, false, 50}, {4, false, 10},
               {3, false, 20}, {1, true, 0},   {0, false, 10}, {1, false, 20}};
  uint32_t total = 0;
  for (const Step& step : steps) {
    Wait(step.wait);
    if (step.miss) {
      score->HOMissClick();
      continue;
    }
    EXPECT_EQ(score->HOHitClick(), step.bonus) << "after " << step.wait;
    total += step.bonus;
  }
  EXPECT_EQ(score->GetHOBonus(), total);
  EXPECT_EQ(score->GetHighscoreAsInt(), total);
  score->HOEnd();
  EXPECT_EQ(score->GetHOBonus(), 0u);
  EXPECT_EQ(score->GetHighscoreAsInt(), total);  // now in the finished searches
  Wait(1);
  EXPECT_EQ(score->HOHitClick(), 10u);  // HOEnd ends the series
}

TEST_F(HighscoreTest, MissesInQuickSuccessionStartTheClickPenalty) {
  score->SetClicksNeedForPenalty(3);
  score->SetTimeForClicksForPenalty(5);
  score->SetTimeForPenalty(10);
  int64_t start = FakeWallNow;
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(score->IsClickPenaltyActive());
    score->HOMissClick();
    Wait(1);
  }
  FakeWallNow = start + 2;
  EXPECT_TRUE(score->IsClickPenaltyActive());
  FakeWallNow = start + 11;
  EXPECT_TRUE(score->IsClickPenaltyActive());
  FakeWallNow = start + 12;
  EXPECT_FALSE(score->IsClickPenaltyActive());

  // Misses 6 seconds apart fall out of the window.
  for (int i = 0; i < 3; ++i) {
    score->HOMissClick();
    EXPECT_FALSE(score->IsClickPenaltyActive());
    Wait(6);
  }
  // A hit between misses forgets them.
  score->AddHOFoundBonuses({1});
  score->HOMissClick();
  score->HOMissClick();
  score->HOHitClick();
  score->HOMissClick();
  EXPECT_FALSE(score->IsClickPenaltyActive());
  // Without a count the penalty never starts.
  score->SetClicksNeedForPenalty(0);
  for (int i = 0; i < 5; ++i) score->HOMissClick();
  EXPECT_FALSE(score->IsClickPenaltyActive());
}

TEST_F(HighscoreTest, TheHintBonusDependsOnTheHintsOfTheLevel) {
  score->AddHintUsedInLevelBonuses({500, 300, 100});
  score->StartLevel(1, 0);
  EXPECT_EQ(score->GetUsedHintsBonus(), 500u);
  for (int i = 0; i < 3; ++i) score->UseHint();
  EXPECT_EQ(score->GetUsedHintsBonus(), 100u);
  EXPECT_EQ(score->GetElapsedTimeSinceLastHintUse(), 0u);
}

TEST_F(HighscoreTest, EndLevelFoldsTheLevelIntoThePreviousLevels) {
  score->SetLevelCompleteBonus(1000);
  score->SetLevelSpeedPerSecondBonus(10);
  score->SetFoundInventoryItemBonus(7);
  score->SetUsedInventoryItemSuccessfullyBonus(11);
  score->SetAdventureTaskCompleteBonus(13);
  score->SetMiniGameTaskCompleteBonus(17);
  score->SetHOTaskCompleteBonus(19);
  score->AddHintUsedInLevelBonuses({500, 300});
  score->StartLevel(4, 100);
  EXPECT_EQ(score->FoundInventoryItem(), 7u);
  EXPECT_EQ(score->UsedInventoryItemSuccessfully(), 11u);
  score->UsedInventoryItemWrong();
  EXPECT_EQ(score->AdventureTaskComplete(), 13u);
  EXPECT_EQ(score->MiniGameTaskComplete(), 17u);
  score->MiniGameSkiped();
  EXPECT_EQ(score->HOTaskComplete(), 19u);
  score->UseHint();
  EXPECT_EQ(score->AddToOtherHighscoreMadeInLevel(250), 250u);
  uint32_t bonus = 7 + 11 + 13 + 17 + 19;
  EXPECT_EQ(score->GetBonus(), bonus);
  EXPECT_EQ(score->GetHighscoreAsInt(), bonus + 250);

  Wait(60);
  score->EndLevel();
  // 40 seconds left at 10 points each.
  EXPECT_EQ(score->GetPreviousLevelBonus(), bonus + 300 + 250 + 1000 + 400);
  EXPECT_EQ(score->GetHighscoreAsInt(), score->GetPreviousLevelBonus());
  EXPECT_EQ(score->GetHighscore(), TString::Printf("%u", bonus + 1950));
  EXPECT_TRUE(score->IsPaused());
  EXPECT_EQ(score->GetTimeBonus(), 0u);
}

// Regression: an empty bonus list was indexed at -1 (its last entry) or read at entry 0, and a
// ladder rung loaded from a saved game was read past the list's end.
TEST_F(HighscoreTest, EmptyOrShortBonusListsGiveNoBonus) {
  score->SetNeededTimeForHOSpeedBonusInSeconds(5);
  score->StartLevel(1, 10);
  score->HOStart();
  EXPECT_EQ(score->HOHitClick(), 0u);
  Wait(1);
  EXPECT_EQ(score->HOHitClick(), 0u);
  score->UseHint();
  EXPECT_EQ(score->GetUsedHintsBonus(), 0u);
  score->EndLevel();
  EXPECT_NE(ReadLog().find("the bonus list MakeHOFoundBonus is empty"), std::string::npos);
  EXPECT_NE(ReadLog().find("the bonus list MakeHintUsedInLevelBonus is empty"), std::string::npos);

  score->AddHOFoundBonuses({10, 20});
  Run("StartLevel(2, 10) HOStart()");
  EXPECT_EQ(Eval("HOHitClick()"), "10");
  EXPECT_EQ(Eval("HOHitClick()"), "20");
  EXPECT_EQ(Eval("HOHitClick()"), "20");
}

// Regression: events with no current scene read the scene's number through a null scene.
TEST_F(HighscoreTest, EventsWithoutACurrentSceneCountUnderSceneZero) {
  score->SetUsedInventoryItemSuccessfullyBonus(5);
  score->SetMiniGameTaskCompleteBonus(3);
  score->AddHOFoundBonuses({2});
  score->StartLevel(1, 10);
  CGame::GetInstance()->SetCurrentScene(-1);
  EXPECT_EQ(score->UsedInventoryItemSuccessfully(), 5u);
  CGame::DestroyInstance();
  EXPECT_EQ(score->MiniGameTaskComplete(), 3u);
  score->UsedInventoryItemWrong();
  score->MiniGameSkiped();
  score->HOTaskComplete();
  score->UseHint();
  EXPECT_EQ(score->HOHitClick(), 2u);
  score->HOMissClick();
  score->HOEnd();
  EXPECT_EQ(score->GetHighscoreAsInt(), 5u + 3u + 2u);
  EXPECT_NE(ReadLog().find("Highscore: HOHitClick without a current scene counts under scene 0"), std::string::npos);
}

TEST_F(HighscoreTest, TheRecordReadsBackIntoTheSameSettings) {
  score->SetLevelCompleteBonus(1000);
  score->SetNeededTimeForHOSpeedBonusInSeconds(3);
  score->SetClicksNeedForPenalty(4294967295u);
  score->SetTimeForClicksForPenalty(-5);
  score->SetTimeForPenalty(10);
  score->AddHOFoundBonuses({10, 20});
  std::string out;
  score->Serialize(out);
  EXPECT_EQ(out,
            "\nMakeHighscoreSystem\n{\n\tlevelCompleteBonus = 1000,\n\tlevelSpeedPerSecondBonus = 0,\n"
            "\tneededTimeForHOSpeedBonusInSeconds = 3,\n\tHOTaskCompleteBonus = 0,\n\tfoundInventoryItemBonus = 0,\n"
            "\tusedInventoryItemSuccessfullyBonus = 0,\n\tadventureTaskCompleteBonus = 0,\n"
            "\tminiGameTaskCompleteBonus = 0,\n\tclicksNeedForPenalty = 4294967295,\n"
            "\ttimeForClicksForPenalty = -5,\n\ttimeForPenalty = 10,\n\tMakeHOFoundBonus{10, 20};\n"
            "\tMakeHintUsedInLevelBonus{};\n};\n");

  // Read back as the compositor does: the nested lists by position, the numbers truncated.
  Run("MakeHOFoundBonus = function(t) t.modeltype = 22 return t end\n"
      "MakeHintUsedInLevelBonus = function(t) t.modeltype = 23 return t end\n"
      "function MakeHighscoreSystem(t) record = t end\n" +
      out);
  CHighscoreSystem* back = CHighscoreSystem::CreateInstance();
  back->SetLevelCompleteBonus(uint32_t(EvalNumber("record.levelCompleteBonus")));
  back->SetNeededTimeForHOSpeedBonusInSeconds(uint32_t(EvalNumber("record.neededTimeForHOSpeedBonusInSeconds")));
  back->SetClicksNeedForPenalty(uint32_t(EvalNumber("record.clicksNeedForPenalty")));
  back->SetTimeForClicksForPenalty(int64_t(EvalNumber("record.timeForClicksForPenalty")));
  back->SetTimeForPenalty(int64_t(EvalNumber("record.timeForPenalty")));
  back->AddHOFoundBonuses({uint32_t(EvalNumber("record[1][1]")), uint32_t(EvalNumber("record[1][2]"))});
  EXPECT_EQ(Eval("record[2].modeltype"), "23");
  std::string again;
  back->Serialize(again);
  EXPECT_EQ(again, out);
}

TEST_F(HighscoreTest, TheScriptFunctionsReachTheInstance) {
  const char* names[] = {"GetHighscore", "LoadHighscoreCurrentUser", "SaveHighscoreCurrentUser", "FoundInventoryItem",
                         "UsedInventoryItemSuccessfully", "UsedInventoryItemWrong", "AdventureTaskComplete",
                         "HOStart", "HOHitClick", "HOMissClick", "HOTaskComplete", "HOEnd", "MiniGameTaskComplete",
                         "MiniGameSkiped", "UseHint", "StartPlay", "PausePlay", "StartLevel", "EndLevel",
                         "GetHighscoreAsInt", "GetHOBonus", "GetPreviousLevelBonus", "GetBonus", "GetTimeBonus",
                         "GetUsedHintsBonus", "GetLevelCompleteBonus", "AddToOtherHighscoreMadeInLevel",
                         "SetMiniGameTaskCompleteBonus"};
  for (const char* name : names) EXPECT_EQ(Eval(std::string("type(") + name + ")"), "function") << name;
  Run("StartLevel(3.9, 30.9) SetMiniGameTaskCompleteBonus(-2.7)");
  EXPECT_EQ(Eval("MiniGameTaskComplete()"), "4294967294");
  EXPECT_EQ(Eval("AddToOtherHighscoreMadeInLevel(2.5)"), "2");
  EXPECT_EQ(Eval("GetHighscore()"), "0");  // 2^32 - 2 + 2 wraps
  Run("PausePlay() PausePlay() StartPlay()");
  EXPECT_TRUE(score->IsPaused());
}

// Regression: CountHelpUse and the three penalty setters went through a null instance; the
// other play-clock functions do nothing and give 0 without one.
TEST(HighscoreWithoutInstanceTest, OperationsDoNothing) {
  ASSERT_EQ(CHighscoreSystem::GetInstance(), nullptr);
  HighscoreSystem::CountHelpUse();
  HighscoreSystem::SetClicksNeedForPenalty(3);
  HighscoreSystem::SetTimeForClicksForPenalty(5);
  HighscoreSystem::SetTimeForPenalty(10);
  HighscoreSystem::PausePlay();
  HighscoreSystem::StartPlay();
  EXPECT_EQ(HighscoreSystem::GetElapsedTimeSinceLastHintUse(), 0u);
  EXPECT_EQ(HighscoreSystem::GetPlayClockTime(), 0u);
  EXPECT_EQ(HighscoreSystem::GetRemainingTimePercent(), 0u);
  EXPECT_EQ(HighscoreSystem::Call(&CHighscoreSystem::HOHitClick), 0u);
  EXPECT_FALSE(HighscoreSystem::Call(&CHighscoreSystem::IsClickPenaltyActive));
  EXPECT_EQ(HighscoreSystem::Call(&CHighscoreSystem::GetHighscore), TString());
  EXPECT_EQ(HighscoreSystem::Call(&CHighscoreSystem::AddToOtherHighscoreMadeInLevel, 5u), 0u);
  EXPECT_EQ(CHighscoreSystem::GetInstance(), nullptr);
}

}  // namespace
