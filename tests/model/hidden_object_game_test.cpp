#include "model/hidden_object_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model_compositor_test_util.h"

namespace {

struct TCountingObserver : CObserver {
  int notifications = 0;
  void Notify(CObservedSubject*) override { notifications++; }
};

// A game of `loose' active objects "o0", "o1" ... and groups of the given sizes, whose
// objects "g1_0", "g1_1" ... carry the group name "group1" and id 1, and so on.
std::unique_ptr<CHiddenObjectGame> MakeScene(int32_t listCount, int loose, const std::vector<int>& groups = {}) {
  auto game = std::make_unique<CHiddenObjectGame>();
  game->SetItemListCount(listCount);
  for (int i = 0; i < loose; ++i) {
    auto object = std::make_unique<CHiddenObject>();
    object->SetId(TString::Printf("o%d", i));
    game->AddHiddenObject(std::move(object));
  }
  for (size_t g = 0; g < groups.size(); ++g) {
    for (int i = 0; i < groups[g]; ++i) {
      auto object = std::make_unique<CHiddenObject>();
      object->SetId(TString::Printf("g%zu_%d", g + 1, i));
      object->SetGroupName(TString::Printf("group%zu", g + 1));
      object->SetGroupId(int32_t(g + 1));
      game->AddHiddenObject(std::move(object));
    }
  }
  return game;
}

int CountGrouped(CHiddenObjectGame& game) {
  const std::vector<TString>& list = game.GetItemList();
  return int(std::count_if(list.begin(), list.end(), [&](const TString& id) { return game.GetGroupIdOfObject(id) != 0; }));
}

TEST(HiddenObjectGameTest, AdmissionsAreBoundedUntilTheDisplayListIsRebuilt) {
  auto game = MakeScene(2, 4);
  EXPECT_TRUE(game->AddFixItem("o0"));
  EXPECT_TRUE(game->AddFixItem("o1"));
  EXPECT_FALSE(game->AddFixItem("o2"));
  EXPECT_EQ(game->GetItemList(), (std::vector<TString>{"o0", "o1"}));
  EXPECT_FALSE(game->AddFixItem("o2"));
  // Rebuilding empties the display list of two, which lowers the count by two.
  EXPECT_TRUE(game->SetItemFound("o1"));
  EXPECT_EQ(game->GetItemsToFindList(), (std::vector<TString>{"o0", "none"}));
  EXPECT_TRUE(game->AddFixItem("o2"));
  EXPECT_TRUE(game->AddFixItem("o0"));  // the same object again: counted, not listed twice
  EXPECT_FALSE(game->AddFixItem("ghost"));
  EXPECT_EQ(game->GetItemList(), (std::vector<TString>{"o0", "o1", "o2"}));
  EXPECT_TRUE(game->AddFixItem("ghost"));  // a script's text that names no object
  EXPECT_TRUE(game->IsItemToFind("ghost"));
}

TEST(HiddenObjectGameTest, FindingNotifiesAlways) {
  auto game = MakeScene(3, 3);
  TCountingObserver observer;
  game->Attach(&observer);
  game->AddFixItem("o0");
  game->AddFixItem("o1");
  EXPECT_TRUE(game->SetItemFound("o0"));
  EXPECT_TRUE(game->SetItemFound("o0"));
  EXPECT_FALSE(game->SetItemFound("o2"));
  game->SetObjectVisible("nobody", false);
  EXPECT_EQ(observer.notifications, 4);
  EXPECT_FALSE(game->AreAllItemsFound());
  EXPECT_EQ(game->PickRandomItemToFind().ToStd(), "o1");
  game->SetItemFound("o1");
  EXPECT_TRUE(game->AreAllItemsFound());
  EXPECT_EQ(game->PickRandomItemToFind().ToStd(), "none");
  game->HideFoundObjects();
  EXPECT_FALSE(game->GetHiddenObject("o0")->IsVisible());
  EXPECT_TRUE(game->GetHiddenObject("o2")->IsVisible());
  EXPECT_EQ(MakeScene(3, 3)->PickRandomItemToFind().ToStd(), "none");
  game->Detach(&observer);
}

TEST(HiddenObjectGameTest, ObjectsAndGroups) {
  auto game = MakeScene(3, 2, {3, 2});
  EXPECT_TRUE(game->IsOfType(5));
  EXPECT_FALSE(game->IsOfType(18));
  EXPECT_FALSE(game->IsObjectActive("o0"));
  game->AddGroup("group1", 2);
  game->AddGroup("group1", 1);  // the first minimum stays
  game->AddGroup("group2", 5);  // above the group's size: no effect
  EXPECT_EQ(game->GetNeededCountOfGroup(1), 2);
  EXPECT_EQ(game->GetNeededCountOfGroup(2), 2);
  EXPECT_EQ(game->GetGroupNameOfGroupId(2).ToStd(), "group2");
  EXPECT_EQ(game->GetGroupNameOfGroupId(0).ToStd(), "");
  EXPECT_EQ(game->CountObjectsInGroup(1), 3);

  game->ResetObjectCursor();
  std::vector<std::string> walked;
  for (int i = 0; i < 9; ++i) walked.push_back(game->GetNextHiddenObject()->GetId().ToStd());
  EXPECT_EQ(walked, (std::vector<std::string>{"o0", "o1", "g1_0", "g1_1", "g1_2", "g2_0", "g2_1", "g2_1", "g2_1"}));
  EXPECT_EQ(CHiddenObjectGame().GetNextHiddenObject(), nullptr);
}

TEST(HiddenObjectGameTest, FillItemList) {
  const struct {
    int32_t listCount;
    int loose;
    std::vector<int> groups;
    int listedLoose, listedGrouped;
  } cases[] = {
      {6, 10, {}, 6, 0},
      {6, 4, {}, 4, 0},
      {5, 10, {3, 3}, 3, 6},
      {10, 2, {}, 2, 0},
      // Regression: a list too short for its groups had fewer slots than grouped objects,
      // which were written past the slots' end.
      {1, 5, {2, 2}, 0, 4},
      {0, 0, {}, 0, 0},
  };
  for (const auto& c : cases) {
    auto game = MakeScene(c.listCount, c.loose, c.groups);
    ASSERT_TRUE(game->FillItemList());
    std::vector<TString> list = game->GetItemList();
    EXPECT_EQ(int(list.size()), c.listedLoose + c.listedGrouped) << c.listCount << " " << c.loose;
    EXPECT_EQ(CountGrouped(*game), c.listedGrouped) << c.listCount << " " << c.loose;
    EXPECT_EQ(std::count(list.begin(), list.end(), TString("none")), 0);
    for (const TString& id : list) game->SetItemFound(id);
    EXPECT_TRUE(game->AreAllItemsFound());
  }

  auto off = MakeScene(3, 5);
  off->SetFillItemList(false);
  off->FillItemList();
  EXPECT_TRUE(off->GetItemList().empty());
}

using THiddenObjectTextTest = TModelTextTest;

// Regression: a saved scene with groups wrote a list size that counted every grouped
// object, so each save and load listed more objects to find.
TEST_F(THiddenObjectTextTest, SavedSceneWithGroupsKeepsItsList) {
  std::string objects;
  for (int i = 0; i < 10; ++i) objects += "MakeHiddenObject{ id = 'o" + std::to_string(i) + "' },";
  Run("MakeGame{ MakeLevel{ MakeHiddenObjectGame{ seqId = 1, itemListCount = 5, " + objects +
      "MakeHOGGroup{ groupName = 'a', MakeHiddenObject{ id = 'a1' }, MakeHiddenObject{ id = 'a2' } },"
      "MakeHOGGroup{ groupName = 'b', MakeHiddenObject{ id = 'b1' }, MakeHiddenObject{ id = 'b2' } } } } }");
  auto scene = [&] { return static_cast<CHiddenObjectGame*>(Game().FindScene(1)); };
  scene()->FillItemList();
  std::vector<TString> listed = scene()->GetItemList();
  ASSERT_EQ(listed.size(), 7u);
  scene()->SetItemFound(listed[0]);

  std::string saved = Save();
  Reload(saved);
  EXPECT_EQ(scene()->GetItemListCount(), 5);
  EXPECT_EQ(scene()->GetItemList(), listed);
  scene()->FillItemList();
  EXPECT_EQ(scene()->GetItemList(), listed);
  EXPECT_TRUE(scene()->IsItemAlreadyFound(listed[0]));
  EXPECT_EQ(Save(), saved);
}

}  // namespace
