// The inventory strip and the inventory window: slots following the inventory, items picked
// up to the pointer and used on items, objects and hotspots, and the placing-object scene
// that finishes once its items are placed.

#include <gtest/gtest.h>

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/highscore_system.h"
#include "model/placing_object_game.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "scenes/scene.h"
#include "scenes/sidebar_inventory_window.h"
#include "scenes/sidebar_window.h"
#include "scenes/textbox.h"
#include "screen_test_util.h"

namespace {

class SidebarInventory : public TScreenTest {
 protected:
  void SetUp() override {
    TScreenTest::SetUp();
    auto room = std::make_unique<CAdventureScreen>();
    room->SetSeqId(130001);
    mRoom = &AddCurrent(std::move(room));
    Solid("pics/well.png", 40, 40, 0xFF404040);
    DefineItem("laterne", {{"well", "UsedOn = 'well'"}, {"brunnen", "UsedOn = 'brunnen'"}});
    DefineItem("key", {{"laterne", "UsedOn = 'laterne'"}});
    CGame::GetInstance()->SetCanNotUseItemText("CANNOT");
    mStrings.Set("CANNOT", "Das geht nicht.");
  }
  TScene* Open() { return OpenScene("AdventureScreenWindow"); }
  // Whether the slot shows the picture (textures are cached by name).
  bool SlotShows(int32_t index, const char* image) {
    std::shared_ptr<TSprite> sprite = Items()->GetItemSprite(index);
    return sprite && sprite->GetTexture() && sprite->GetTexture() == TTexture::Get(image, 0);
  }
  CAdventureScreen* mRoom = nullptr;
};

// Items fill the slots from the left, the empty picture the rest; a removed item shifts the
// later ones; no slots at all when "amountInventoryItems" is 0.
TEST_F(SidebarInventory, TheStripMirrorsTheInventory) {
  CGame::GetInstance()->AddInventoryItem("laterne");
  CGame::GetInstance()->AddInventoryItem("key");
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Items());
  EXPECT_TRUE(SlotShows(0, "pics/laterne.png"));
  EXPECT_TRUE(SlotShows(1, "pics/key.png"));
  EXPECT_TRUE(SlotShows(3, "sprites/no_sprite"));
  EXPECT_EQ(Lua("RemoveInventoryItem('laterne')"), "");
  EXPECT_TRUE(SlotShows(0, "pics/key.png"));
  EXPECT_TRUE(SlotShows(1, "sprites/no_sprite"));
  EXPECT_EQ(TSceneTest::Translation(*Items()->GetItemSprite(2)).x, 120.0f);

  SetConfig("amountInventoryItems", "0");
  Manager().PopModal();
  Frames(1);
  ASSERT_TRUE(Open());
  EXPECT_FALSE(Items()->HasItemSprite(0));
}

// A held item follows the pointer and is used on a hotspot that has its command; dropped
// on nothing it goes back, the "cannot use" text shows and a wrong use counts.
TEST_F(SidebarInventory, AnItemIsUsedOnAHotspotOrGoesBack) {
  CGame::GetInstance()->AddInventoryItem("laterne");
  AddHotspot(*mRoom, "well", TRect(200, 100, 260, 160), "");
  TScene* scene = Open();
  ASSERT_TRUE(scene);
  Click(Slot(0).x, Slot(0).y);
  EXPECT_EQ(Items()->GetHeldIndex(), 0);
  MouseMove(230, 130);
  EXPECT_EQ(scene->GetCursorStyle(), 4);
  MouseDown(230, 130);
  MouseUp(230, 130);
  EXPECT_EQ(Global("UsedOn"), "well");
  EXPECT_EQ(Items()->GetHeldIndex(), -1);
  EXPECT_EQ(TSceneTest::Translation(*Items()->GetItemSprite(0)).x, 60.0f);

  Click(Slot(0).x, Slot(0).y);
  MouseMove(300, 30);
  EXPECT_EQ(scene->GetCursorStyle(), 2);
  MouseDown(300, 30);
  MouseUp(300, 30);
  EXPECT_EQ(Items()->GetHeldIndex(), -1);
  EXPECT_EQ(TSceneTest::Translation(*Items()->GetItemSprite(0)).x, 60.0f);
  EXPECT_EQ(Textbox("shorttextText")->GetText().ToStd(), "Das geht nicht.");
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetUsedWrongCount(), 1u);
}

// An item used on another item and on a clickable scene object of the same name as its
// command.
TEST_F(SidebarInventory, AnItemIsUsedOnAnotherItemOrAnObject) {
  CGame::GetInstance()->AddInventoryItem("key");
  CGame::GetInstance()->AddInventoryItem("laterne");
  AddObject(*mRoom, "brunnen", 200, 100, "well");
  ASSERT_TRUE(Open());
  Click(Slot(0).x, Slot(0).y);
  Click(Slot(1).x, Slot(1).y);
  EXPECT_EQ(Global("UsedOn"), "laterne");
  Click(Slot(1).x, Slot(1).y);
  Click(220, 120);
  EXPECT_EQ(Global("UsedOn"), "brunnen");
}

// Regression: an empty slot could be picked up, and its use read a null item name. It now
// stays where it is and the click goes on.
TEST_F(SidebarInventory, AnEmptySlotIsNoItem) {
  CGame::GetInstance()->AddInventoryItem("laterne");
  ASSERT_TRUE(Open());
  Click(Slot(2).x, Slot(2).y);
  EXPECT_EQ(Items()->GetHeldIndex(), -1);
  Click(220, 120);
  EXPECT_EQ(Global("UsedOn"), "nil");
}

// Regression: the window took the scene window and the model blindly. Without a scene
// window it takes no item, and a use without either counts as a wrong use.
TEST_F(SidebarInventory, NoSceneWindowMeansNoItemTaken) {
  CGame::GetInstance()->AddInventoryItem("laterne");
  TSidebarInventoryWindow items;
  auto sprite = TSprite::Create(0, TTexture::Get("pics/laterne.png", 0));
  sprite->SetDrawParams(TSpriteDrawParams(TVec2(60, 200), 1.0f, 1.0f, 8));
  items.AddItemSprite(0, sprite);
  EXPECT_FALSE(items.OnMouseDown(Slot(0)));
  EXPECT_EQ(items.GetHeldIndex(), -1);
  EXPECT_FALSE(items.OnMouseMove(Slot(0)));
}

// The placing-object scene: its own inventory fills the strip, an item placed on its
// hotspot is taken out by its command, and the scene finishes once the last is placed.
TEST_F(SidebarInventory, APlacingSceneFinishesWhenItsItemsArePlaced) {
  auto placing = std::make_unique<CPlacingObjectGame>();
  placing->SetSeqId(130002);
  placing->SetNextScene(120001);
  placing->GetInventory().AddItem("laterne");
  CPlacingObjectGame& scene = AddCurrent(std::move(placing));
  // Any active hotspot is a target on a placing-object screen.
  AddHotspot(scene, "shelf", TRect(200, 100, 260, 160), "");
  DefineItem("laterne", {{"shelf", "RemoveInventoryItem('laterne')"}});
  TScene* window = Open();
  ASSERT_TRUE(window);
  Frames(1);
  EXPECT_TRUE(SlotShows(0, "pics/laterne.png"));
  Click(Slot(0).x, Slot(0).y);
  Click(230, 130);
  EXPECT_EQ(scene.GetInventory().GetItemCount(), 0);
  EXPECT_TRUE(window->IsSceneFinished());
  EXPECT_EQ(mFlow.calls.back(), "next:1");
  EXPECT_EQ(CGame::GetInstance()->GetCurrentSceneNumber(), 120001);
}

}  // namespace
