// The scene's script functions that work on the model, texts, sounds and the diary.

#include <gtest/gtest.h>

#include <string>

#include "model/diary.h"
#include "model/game.h"
#include "model/inventory_item.h"
#include "model/scene_exit.h"
#include "model/scene_hotspot.h"
#include "platform/string_table.h"
#include "scene_window_test_util.h"
#include "scenes/scene.h"
#include "scenes/textbox.h"
#include "sound/sound.h"

namespace {

using SceneScript = TSceneWindowTest;

// The inventory functions go through the scene's slots; ResetInventory empties it whatever
// it holds twice. Texts, flags and targets of hotspots and exits change in the model, the
// first level that knows the id winning; unknown ids and items change nothing.
TEST_F(SceneScript, ScriptsChangeTheInventoryHotspotsAndExits) {
  CGame& game = *CGame::GetInstance();
  auto item = std::make_unique<CInventoryItem>();
  item->SetName("Laterne");
  game.AddInventoryItemDefinition(std::move(item));
  auto exit = std::make_unique<CSceneExit>();
  exit->SetId("door");
  Model().AddSceneExit(std::move(exit));
  auto hotspot = std::make_unique<CSceneHotspot>();
  hotspot->SetId("well");
  Model().AddSceneHotspot(std::move(hotspot));
  OpenScene();
  EXPECT_EQ(Lua("AddInventoryItem('Laterne') AddInventoryItem('Laterne') AddInventoryItem('Brief')"
                "RemoveInventoryItem('Brief')"),
            "");
  EXPECT_EQ(game.GetInventory().GetItemCount(), 2);
  EXPECT_EQ(Lua("ResetInventory() ResetInventory()"), "");
  EXPECT_EQ(game.GetInventory().GetItemCount(), 0);

  EXPECT_EQ(Lua("SetTextForInventoryItem('Laterne', 'LAMP') SetTextForInventoryItem('nothing', 'X')"
                "SetTextForHotspot('well', 'WELL') SetActiveHotspot('well', false)"
                "SetTextForExit('door', 'DOOR') SetActiveExit('door', false) SetExit('door', 120002)"
                "SetExit('nowhere', 1) SetActiveHotspot('nowhere', true) SetNextScene(4711)"),
            "");
  EXPECT_EQ(game.GetInventoryItem("Laterne")->GetDescription(), "LAMP");
  EXPECT_EQ(Model().FindSceneHotspot("well")->GetText(), "WELL");
  EXPECT_FALSE(Model().FindSceneHotspot("well")->IsActive());
  CSceneExit& door = *Model().FindSceneExit("door");
  EXPECT_EQ(door.GetText(), "DOOR");
  EXPECT_FALSE(door.IsActive());
  EXPECT_EQ(door.GetNextScene(), 120002);
  EXPECT_EQ(Model().GetNextScene(), 4711);
}

// Each one-line text is a box of its own named "customtext"; an effect loads once and
// plays one copy at a time; a sound that does not load plays nothing.
TEST_F(SceneScript, OneLineTextsAndSoundEffects) {
  GetStringTable()->Set("HELLO", "Hallo");
  TScene* scene = OpenScene();
  EXPECT_EQ(Lua("ShowOneLineText(10, 20, 16, 'WHITE', '', 'HELLO') ShowOneLineText(10, 40, 16, 'WHITE', '', 'HELLO')"),
            "");
  int boxes = 0;
  for (const auto& child : scene->GetChildren()) boxes += child->GetName() == "customtext";
  EXPECT_EQ(boxes, 2);
  EXPECT_EQ(Textbox("customtext")->GetText(), "Hallo");

  std::string play = "PlaySoundSFX('" + ToneSound() + "')";
  EXPECT_EQ(Lua(play + play), "");
  std::shared_ptr<TSound> tone = scene->GetSound(ToneSound().c_str());
  ASSERT_NE(tone, nullptr);
  EXPECT_EQ(tone->GetInstanceCount(), 1u);
  EXPECT_EQ(Lua("PlaySoundSFX('sounds/missing.ogg')"), "");
  EXPECT_EQ(scene->GetSound("sounds/missing.ogg"), nullptr);
  // A screen's own name for a sound plays it as well; a name not in the cache plays nothing.
  scene->LoadSoundAs("HitSound", ToneSound().c_str());
  scene->PlaySoundByName("HitSound", 0, true, true);
  scene->PlaySoundByName("MissSound", 0, true, true);
  EXPECT_EQ(scene->GetSound("HitSound"), tone);
  EXPECT_EQ(tone->GetInstanceCount(), 1u);
}

// The diary functions: entries placed on the insert site and constant ones that repeat
// until a new chapter; the getters answer where the next entry goes.
TEST_F(SceneScript, DiaryFunctionsFillTheDiary) {
  TDiary& diary = *TDiary::GetInstance();
  diary.AddPageLayout(100, 50, 300, 400);
  diary.AddPageLayout(500, 50, 300, 400);
  OpenScene();
  EXPECT_EQ(Lua("AddDiaryConstantText(2, 'HEADER', 20, 'fonts/default.mvec', 0, 0)"
                "AddDiaryText('ENTRY', 18, 'fonts/default.mvec', 0, 10) AddDiaryImage('pics/none', 0, 0)"
                "x = GetDiaryCurrentSitePosX() y = GetDiaryNextFreePosY() site = GetDiaryInsertSite()"),
            "");
  EXPECT_EQ(diary.GetNumberOfConstantContent(), 1u);
  EXPECT_EQ(diary.GetNumberOfContent(), 3u) << "the constant text shows at once too";
  EXPECT_EQ(Global("x"), "100");
  EXPECT_EQ(Global("site"), "0");
  EXPECT_NE(Global("y"), "0");
  EXPECT_EQ(Lua("AddDiarySiteEnd()"), "");
  EXPECT_EQ(diary.GetCurrentInsertSite(), 1u);
  EXPECT_EQ(Lua("AddDiaryNewChapter()"), "");
  EXPECT_EQ(diary.GetNumberOfConstantContent(), 0u);
  EXPECT_EQ(diary.GetChapterFirstSite(), 0u) << "the first site of the spread";
  EXPECT_EQ(Lua("AddDiaryConstantSiteEnd(3) AddDiaryConstantImage(1, 'x', 0, 0)"), "");
  EXPECT_EQ(diary.GetNumberOfConstantContent(), 2u);
}

}  // namespace
