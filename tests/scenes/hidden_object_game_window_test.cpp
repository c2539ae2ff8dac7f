// The hidden-object screen with the sidebar's item list: hits and misses with their score,
// the flight and the strike-out, groups, the win given once, the layout of the list, the
// click penalty's spiral and the hint.

#include <gtest/gtest.h>

#include "model/highscore_system.h"
#include "model/inventory_item.h"
#include "platform/settings.h"
#include "scenes/hidden_object_game_window.h"
#include "scenes/sidebar_window.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "screen_test_util.h"

namespace {

class HiddenObjectGame : public TScreenTest {
 protected:
  void SetUp() override {
    TScreenTest::SetUp();
    auto game = std::make_unique<CHiddenObjectGame>();
    game->SetSeqId(190101);
    game->SetNextScene(120001);
    game->SetItemListCount(10);
    mGame = &AddCurrent(std::move(game));
    SetConfig("hogDestXObj", "0");
    SetConfig("hogDestYObj", "0");
    SetConfig("hogDestSpeedObj", "20");
    WriteAsset("scripts/pickupwindow.lua", "WonPickup = (WonPickup or 0) + 1");
    CHighscoreSystem::GetInstance()->AddHOFoundBonuses({10, 20});
  }
  THiddenObjectGameWindow* Open() {
    auto* window = WindowCast<THiddenObjectGameWindow>(OpenScene("HiddenObjectGame"));
    EXPECT_TRUE(window);
    return window;
  }
  std::vector<std::string> Entries() {
    std::vector<std::string> keys;
    for (const auto& [key, box] : Sidebar()->GetItemEntries()) keys.push_back(key.ToStd());
    return keys;
  }
  CHiddenObjectGame* mGame = nullptr;
};

// A hit scores, flies the object to the sidebar (which hides it in the model at the end)
// and strikes its entry out; the same object again, a sprite not on the list or a click on
// a hotspot is a miss, counted only right of x = 161.
TEST_F(HiddenObjectGame, AHitFliesAndStrikesOutEverythingElseMisses) {
  AddHiddenObject(*mGame, "cup", 200, 100);
  AddHiddenObject(*mGame, "pot", 250, 100);
  AddHiddenObject(*mGame, "fork", 200, 160);
  mGame->AddFixItem(*mGame->GetHiddenObject("cup"));
  mGame->AddFixItem(*mGame->GetHiddenObject("pot"));
  mGame->SetFillItemList(false);
  AddHotspot(*mGame, "door", TRect(280, 180, 310, 230), "Door = (Door or 0) + 1");
  THiddenObjectGameWindow* window = Open();
  ASSERT_TRUE(window);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"cup", "pot"}));

  Click(210, 110);
  EXPECT_TRUE(mGame->IsItemAlreadyFound("cup"));
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetHOBonus(), 10u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"pot"});
  EXPECT_EQ(Sidebar()->GetStrikeOutCount(), 1u);
  EXPECT_EQ(TSpriteAnimator::GetInstance()->GetMoveCount(), 1u);
  EXPECT_EQ(window->GetBonusTextCount(), 1u);

  Click(210, 110);    // flying already
  Click(210, 170);    // not on the list
  Click(290, 200);    // a hotspot
  EXPECT_EQ(Global("Door"), "1");
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetHOBonus(), 10u);
  EXPECT_FALSE(mGame->IsItemAlreadyFound("fork"));
  // Three misses start the penalty, two do not; one on the sidebar does not count.
  CHighscoreSystem::GetInstance()->SetClicksNeedForPenalty(4);
  Click(161, 230);
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsClickPenaltyActive());
  Click(162, 230);
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsClickPenaltyActive());

  EXPECT_TRUE(FramesUntil([&] { return !mGame->GetHiddenObject("cup")->IsVisible(); }));
}

// Finding the last entry wins the scene once: the task counts, the item is given with the
// pick-up window and the scene goes on; later notifications give nothing more.
TEST_F(HiddenObjectGame, TheLastFindWinsOnce) {
  AddHiddenObject(*mGame, "cup", 200, 100);
  mGame->SetPickedUpInventoryItemOnWon("key");
  DefineItem("key").SetPickUpImage("pics/key_big.png");
  THiddenObjectGameWindow* window = Open();
  ASSERT_TRUE(window);
  TSidebarWindow* sidebar = Sidebar();
  Click(210, 110);
  EXPECT_TRUE(sidebar->IsItemListCompleted());
  EXPECT_EQ(CGame::GetInstance()->GetInventory().GetItemCount(), 1);
  EXPECT_EQ(Global("WonPickup"), "1");
  EXPECT_TRUE(window->IsSceneFinished());
  mGame->SetObjectVisible("cup", false);
  EXPECT_EQ(CGame::GetInstance()->GetInventory().GetItemCount(), 1);
  EXPECT_EQ(Global("WonPickup"), "1");
}

// A group is one entry counting its finds against the count it needs; it is struck out
// once that many are found, though others of the group are still listed. Groups stand
// before the ungrouped entries.
TEST_F(HiddenObjectGame, AGroupCountsItsFindsAndIsStruckOutAtItsMinimum) {
  mStrings.Set("coins", "Münzen");
  AddHiddenObject(*mGame, "cup", 280, 40);
  AddHiddenObject(*mGame, "coin1", 200, 100, 1, "coins");
  AddHiddenObject(*mGame, "coin2", 230, 100, 1, "coins");
  AddHiddenObject(*mGame, "coin3", 260, 100, 1, "coins");
  mGame->AddGroup("coins", 2);
  ASSERT_TRUE(Open());
  TTextbox* coins = Sidebar()->GetItemEntries().at("coins");
  EXPECT_EQ(coins->GetText().ToStd(), "Münzen 0/2");
  EXPECT_EQ(coins->GetTop(), 10);
  EXPECT_EQ(Sidebar()->GetItemEntries().at("cup")->GetTop(), 34);
  Click(210, 110);
  EXPECT_EQ(coins->GetText().ToStd(), "Münzen 1/2");
  Click(240, 110);
  EXPECT_EQ(Entries(), std::vector<std::string>{"cup"});
}

// The list stands in columns of three. Regression: an entry height plus offset of 0 took a
// remainder by 0; the entries of a column now stand on one row.
TEST_F(HiddenObjectGame, TheListFillsColumnsOfThree) {
  const char* ids[] = {"a", "b", "c", "d", "e", "f", "g"};
  for (const char* id : ids) AddHiddenObject(*mGame, id, 200, 100);
  for (const char* id : ids) mGame->AddFixItem(*mGame->GetHiddenObject(id));
  mGame->SetFillItemList(false);
  ASSERT_TRUE(Open());
  const std::pair<int32_t, int32_t> places[] = {{200, 10}, {200, 34}, {200, 58}, {264, 10},
                                                {264, 34}, {264, 58}, {328, 10}};
  for (size_t i = 0; i < 7; ++i) {
    TTextbox* entry = Sidebar()->GetItemEntries().at(ids[i]);
    EXPECT_EQ(std::make_pair(entry->GetLeft(), entry->GetTop()), places[i]) << ids[i];
  }

  SetConfig("itemlistHeight", "4");
  SetConfig("itemlistPosOffset", "-4");
  Manager().PopModal();
  Frames(1);
  ASSERT_TRUE(Open());
  EXPECT_EQ(Sidebar()->GetItemEntries().at("g")->GetTop(), 10);
  EXPECT_EQ(CountInLog("add up to 0"), 1);
}

// While the penalty runs the pointer turns along the spiral: the first step moves it by the
// difference of two spiral points; without a penalty the angle stays 0.
TEST_F(HiddenObjectGame, ThePenaltyTurnsThePointerAlongASpiral) {
  AddHiddenObject(*mGame, "cup", 200, 100);
  SetConfig("hogHintInnerRadius", "10");
  SetConfig("hogHintOuterRadius", "40");
  SetConfig("hogHintSpaceSpiral", "0");
  SetConfig("hogHintDegPerStep", "90");
  THiddenObjectGameWindow* window = Open();
  ASSERT_TRUE(window);
  Frames(1);
  EXPECT_EQ(window->GetPenaltyAngle(), 0.0f);
  CHighscoreSystem::GetInstance()->SetClicksNeedForPenalty(1);
  Click(300, 200);
  mFlow.mouse = TPoint(300, 200);
  Frames(1);
  EXPECT_EQ(window->GetPenaltyAngle(), 90.0f);
  // From (10, 0) to (0, 10): x - 10, y - 10 (y runs against the spiral).
  EXPECT_EQ(mFlow.mouse, TPoint(290, 190));
}

// The hint circles the middle of an object still to find, once at a time; the sidebar's
// ready hint button starts it and counts.
TEST_F(HiddenObjectGame, TheHintCirclesAnObjectStillToFind) {
  AddHiddenObject(*mGame, "cup", 200, 100);
  THiddenObjectGameWindow* window = Open();
  ASSERT_TRUE(window);
  Click(HintButton.x, HintButton.y);
  EXPECT_TRUE(window->IsHintSpiralActive());
  EXPECT_EQ(window->GetHintSpiralCentre(), TPoint(210, 110));
  EXPECT_EQ(HighscoreSystem::GetElapsedTimeSinceLastHintUse(), 0u);
  EXPECT_EQ(CountInLog("the hint points at \"cup\""), 1);
  EXPECT_TRUE(FramesUntil([&] { return !window->IsHintSpiralActive(); }, 200));
}

}  // namespace
