#include <gtest/gtest.h>

#include "model/highscore_system.h"
#include "model_test_util.h"
#include "persistence/persistence_test_util.h"
#include "persistence/prefs_db.h"

namespace {

class HighscorePrefsTest : public TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    sandbox = std::make_unique<TPersistenceSandbox>();
    db = std::make_unique<TPrefsDB>(true);
    db->SetString("name", "Mara", 0);
    score = CHighscoreSystem::CreateInstance();
  }
  void TearDown() override {
    db.reset();
    sandbox.reset();
    TModelTest::TearDown();
  }
  // A level in progress with every kind of count.
  void Play() {
    score->SetLevelCompleteBonus(100);
    score->SetFoundInventoryItemBonus(3);
    score->SetUsedInventoryItemSuccessfullyBonus(5);
    score->SetMiniGameTaskCompleteBonus(7);
    score->SetHOTaskCompleteBonus(11);
    score->AddHOFoundBonuses({10, 20, 30});
    score->AddHintUsedInLevelBonuses({50, 40});
    score->SetNeededTimeForHOSpeedBonusInSeconds(5);
    score->StartLevel(2, 300);
    score->FoundInventoryItem();
    score->UsedInventoryItemSuccessfully();
    score->MiniGameTaskComplete();
    score->HOStart();
    score->HOHitClick();
    FakeWallNow += 1;
    score->HOHitClick();
    score->HOTaskComplete();
    score->UseHint();
    score->AddToOtherHighscoreMadeInLevel(3000000000u);
    FakeWallNow += 20;
  }
  std::unique_ptr<TPersistenceSandbox> sandbox;
  std::unique_ptr<TPrefsDB> db;
  CHighscoreSystem* score = nullptr;
};

TEST_F(HighscorePrefsTest, SavingChangesNothingAndLoadingGivesTheSameScore) {
  Play();
  uint32_t before = score->GetHighscoreAsInt();
  score->SaveValues(*db, 0);
  EXPECT_EQ(score->GetHighscoreAsInt(), before);
  std::string first = db->GetString("HighscoreCurrentUser_UsedHintsInLevelSave", "", 0).ToStd();
  score->SaveValues(*db, 0);
  EXPECT_EQ(db->GetString("HighscoreCurrentUser_UsedHintsInLevelSave", "", 0).ToStd(), first);
  EXPECT_EQ(db->GetInt("HighscoreCurrentUser_OtherHighscoreMadeInLevel", 0, 0), int(3000000000u));
  EXPECT_EQ(db->GetInt("HighscoreCurrentUser_RemainingTime", 0, 0), 300);
  EXPECT_EQ(db->GetInt("HighscoreCurrentUser_startTimeSave", 0, 0), 21);

  // A new instance with the same settings, as loading the player's game makes it.
  CHighscoreSystem* loaded = CHighscoreSystem::CreateInstance();
  score = loaded;
  loaded->SetLevelCompleteBonus(100);
  loaded->SetFoundInventoryItemBonus(3);
  loaded->SetUsedInventoryItemSuccessfullyBonus(5);
  loaded->SetMiniGameTaskCompleteBonus(7);
  loaded->SetHOTaskCompleteBonus(11);
  loaded->AddHOFoundBonuses({10, 20, 30});
  loaded->AddHintUsedInLevelBonuses({50, 40});
  loaded->SetNeededTimeForHOSpeedBonusInSeconds(5);
  FakeWallNow += 1000;
  loaded->LoadValues(*db, 0);
  EXPECT_EQ(loaded->GetHighscoreAsInt(), before);
  EXPECT_TRUE(loaded->IsPaused());
  EXPECT_EQ(loaded->GetUsedHintsBonus(), 40u);
  // The game goes on where it was saved.
  loaded->StartPlay();
  EXPECT_EQ(loaded->GetElapsedTimeSinceLastHintUse(), 20u);
  loaded->PausePlay();
  EXPECT_EQ(loaded->GetTimeBonus(), 0u);
  loaded->EndLevel();
  EXPECT_EQ(loaded->GetPreviousLevelBonus(), before + 40 + 100);
}

TEST_F(HighscorePrefsTest, AFreshPlayerLoadsTheDefaultsPaused) {
  score->LoadValues(*db, 0);
  EXPECT_TRUE(score->IsPaused());
  EXPECT_EQ(score->GetElapsedTimeSinceLastHintUse(), 100000u);
  EXPECT_EQ(score->GetHighscoreAsInt(), 0u);
  score->SaveValues(*db, 0);
  EXPECT_EQ(db->GetInt("HighscoreCurrentUser_LevelId", 0, 0), 1);
}

// Regression: a ladder rung from a saved game of other settings was read past the list.
TEST_F(HighscorePrefsTest, ALoadedRungBeyondTheLadderIsItsTop) {
  db->SetInt("HighscoreCurrentUser_HOSpeedBonusLevel", 99, 0);
  score->AddHOFoundBonuses({10, 20});
  score->SetNeededTimeForHOSpeedBonusInSeconds(5);
  score->LoadValues(*db, 0);
  score->StartPlay();
  score->HOStart();
  db->SetInt("HighscoreCurrentUser_TimerLastHitClickHOGSave", 1, 0);
  score->LoadValues(*db, 0);
  score->StartPlay();
  EXPECT_EQ(score->HOHitClick(), 20u);
}

TEST_F(HighscorePrefsTest, TheScriptFunctionsUseTheCurrentPlayer) {
  Run("SaveHighscoreCurrentUser()");
  EXPECT_NE(ReadLog().find("Highscore: no preferences database; the score values are not saved"), std::string::npos);
  SetPlayerPrefsSource([this] { return TPlayerPrefs{db.get(), 0}; });
  score->StartLevel(7, 60);
  Run("SaveHighscoreCurrentUser()");
  EXPECT_EQ(db->GetInt("HighscoreCurrentUser_LevelId", 0, 0), 7);
  score->StartLevel(8, 60);
  Run("LoadHighscoreCurrentUser()");
  EXPECT_TRUE(score->IsPaused());
  score->SaveValues(*db, -1);
  EXPECT_EQ(db->GetInt("HighscoreCurrentUser_LevelId", 0, -1), 7);
}

}  // namespace
