// The adventure screen window: objects as sprites, clicks on hotspots and objects with the
// pick-up, the cursor over objects, fades, and the placing-object scene's own inventory.

#include <gtest/gtest.h>

#include "graphics/sprites/sprite.h"
#include "model/command.h"
#include "model/global_information_system.h"
#include "model/placing_object_game.h"
#include "model/scene_object.h"
#include "platform/settings.h"
#include "scenes/adventure_screen_window.h"
#include "scenes/sidebar_inventory_window.h"
#include "scenes/sidebar_window.h"
#include "scenes/sprite_window.h"
#include "screen_test_util.h"
#include "windows/modal_window.h"

namespace {

class AdventureScreen : public TScreenTest {
 protected:
  void SetUp() override {
    TScreenTest::SetUp();
    Solid("pics/lamp.png", 40, 40, 0xFFE0C040);
    Solid("pics/stone.png", 40, 40, 0xFF808080);
    auto room = std::make_unique<CAdventureScreen>();
    room->SetSeqId(130001);
    mRoom = &AddCurrent(std::move(room));
    SetConfig("scriptPickupWindow", "scripts/pickup.lua");
    // The pick-up window counts its openings.
    WriteAsset("scripts/pickup.lua", "PickupsOpened = (PickupsOpened or 0) + 1");
  }
  // Closes the modal the pick-up window's script opened over the scene.
  void ClosePickup(TScene* scene) {
    if (Manager().GetTopModal() != scene->GetModal()) Manager().PopModal();
  }
  TAdventureScreenWindow* Open() {
    auto* window = WindowCast<TAdventureScreenWindow>(OpenScene("AdventureScreenWindow"));
    EXPECT_TRUE(window);
    return window;
  }
  CAdventureScreen* mRoom = nullptr;
};

// A pickable object gives its item and opens the pick-up window as often as it can be
// picked up; then it shows its info text, or runs its command when it has none. A hotspot
// under the click runs its command first, and the object still takes the click.
TEST_F(AdventureScreen, ObjectsAreTakenAsOftenAsTheyArePickableThenLookedAt) {
  CSceneObject& lamp = AddObject(*mRoom, "lamp", 200, 100, "lamp");
  lamp.SetTimesPickable(2);
  lamp.SetInvItem("laterne");
  ActionMap map;
  map.Set("OnPickedUp", std::make_shared<CCommandLua>("Picked = (Picked or 0) + 1"));
  lamp.SetActionMap(map);
  DefineItem("laterne").SetPickUpImage("pics/lamp_big.png");
  AddHotspot(*mRoom, "shelf", TRect(190, 90, 260, 150), "Hotspot = (Hotspot or 0) + 1");
  TAdventureScreenWindow* window = Open();
  ASSERT_TRUE(window);

  Click(210, 110);
  ClosePickup(window);
  Click(210, 110);
  ClosePickup(window);
  EXPECT_EQ(CGame::GetInstance()->GetInventory().GetItemCount(), 2);
  EXPECT_EQ(Global("PickupsOpened"), "2");
  EXPECT_EQ(Global("Picked"), "2");
  EXPECT_EQ(Global("Hotspot"), "2");
  EXPECT_EQ(CGlobalInformationSystem::GetInstance()->GetGlobalString("pickupImage").ToStd(), "pics/lamp_big.png");
  EXPECT_EQ(lamp.GetTimesPickable(), 0);

  // No longer pickable and without a text: its command runs again.
  Click(210, 110);
  EXPECT_EQ(Global("Picked"), "3");
  EXPECT_EQ(Global("PickupsOpened"), "2");
  EXPECT_EQ(CGame::GetInstance()->GetInventory().GetItemCount(), 2);
}

// The cursor: use over a pickable object, look over one only to look at (a use cursor stays
// when the pointer passes straight on to it), normal elsewhere; an inactive object is not
// hit, so it shows the normal cursor and takes no click.
TEST_F(AdventureScreen, TheCursorTellsWhatAClickWouldDo) {
  AddObject(*mRoom, "lamp", 200, 40, "lamp").SetTimesPickable(1);
  AddObject(*mRoom, "stone", 240, 40, "stone");
  AddObject(*mRoom, "ghost", 200, 150, "stone").SetActive(false);
  TAdventureScreenWindow* window = Open();
  ASSERT_TRUE(window);
  struct TCase {
    TPoint at;
    int32_t style;
  } cases[] = {{{210, 50}, 4}, {{260, 50}, 4}, {{300, 230}, 2}, {{260, 50}, 3}, {{210, 160}, 2}};
  for (const TCase& c : cases) {
    MouseMove(c.at.x, c.at.y);
    EXPECT_EQ(window->GetCursorStyle(), c.style) << c.at.x << "," << c.at.y;
  }
  Click(210, 160);
  EXPECT_EQ(CGame::GetInstance()->GetInventory().GetItemCount(), 0);
}

// "FadeOut" takes sceneObjFadeSpeed of alpha a frame; the object is hidden (and opaque
// again) once no more than one and a half steps are left (0.375 is not below 0.25). A name of no object is dropped.
TEST_F(AdventureScreen, FadeOutHidesTheObjectAndRestoresItsAlpha) {
  AddObject(*mRoom, "lamp", 200, 40, "lamp");
  SetConfig("sceneObjFadeSpeed", "0.25");
  TAdventureScreenWindow* window = Open();
  ASSERT_TRUE(window);
  EXPECT_EQ(Lua("FadeOut('lamp') FadeOut('nobody')"), "");
  CSceneObject* lamp = mRoom->FindSceneObject("lamp");
  Frames(1);
  EXPECT_FLOAT_EQ(lamp->GetAlpha(), 0.75f);
  EXPECT_EQ(window->GetFadeOutList(), std::vector<TString>{"lamp"});
  Frames(1);
  EXPECT_FLOAT_EQ(lamp->GetAlpha(), 0.5f);
  int32_t index = 0;
  ASSERT_TRUE(window->GetSpriteWindow()->FindSprite("lamp", index));
  EXPECT_FLOAT_EQ(window->GetSpriteWindow()->GetSprite(index).GetCurrentSprite()->GetDrawParams().alpha, 0.5f);
  Frames(1);
  EXPECT_FLOAT_EQ(lamp->GetAlpha(), 0.25f);
  Frames(1);
  EXPECT_FALSE(lamp->IsVisible());
  EXPECT_FLOAT_EQ(lamp->GetAlpha(), 1.0f);
  EXPECT_TRUE(window->GetFadeOutList().empty());
  EXPECT_FALSE(window->GetSpriteWindow()->GetSprite(index).GetCurrentSprite()->IsVisible());
}

// A placing-object scene: the sidebar of type 0 shows the scene's own inventory, the
// scene's inventory functions change that one, and a picked-up object still goes to the
// game's inventory.
TEST_F(AdventureScreen, APlacingObjectSceneKeepsItsOwnInventory) {
  auto placing = std::make_unique<CPlacingObjectGame>();
  placing->SetSeqId(130002);
  placing->GetInventory().AddItem("vase");
  CPlacingObjectGame& scene = AddCurrent(std::move(placing));
  AddObject(scene, "lamp", 200, 40, "lamp").SetTimesPickable(1);
  scene.FindSceneObject("lamp")->SetInvItem("laterne");
  DefineItem("vase");
  DefineItem("laterne");
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Sidebar());
  EXPECT_EQ(Sidebar()->GetScreenType(), SidebarPlacingObject);
  EXPECT_EQ(Lua("AddInventoryItem('bild')"), "");
  EXPECT_EQ(scene.GetInventory().GetItemCount(), 2);
  Click(210, 50);
  EXPECT_EQ(CGame::GetInstance()->GetInventory().GetItemCount(), 1);
  EXPECT_EQ(scene.GetInventory().GetItemCount(), 2);
}

// A current scene of another kind gives an empty room and a sidebar without items; clicks
// and moves are harmless.
TEST_F(AdventureScreen, ASceneOfAnotherKindGivesAnEmptyRoom) {
  CGame::GetInstance()->SetCurrentScene(120001);
  TAdventureScreenWindow* window = Open();
  ASSERT_TRUE(window);
  EXPECT_EQ(window->GetAdventureScreen()->GetSceneObjects().size(), 0u);
  Click(Slot(0).x, Slot(0).y);
  Click(150, 150);
  Frames(2);
  EXPECT_EQ(Items()->GetHeldIndex(), -1);
}

}  // namespace
