#pragma once
// TSidebarInventoryWindow ("itemsWindow"): the full-screen window of the sidebar on adventure
// and placing-object screens that shows the inventory strip (one engine sprite per slot,
// made and placed by the sidebar) and lets the player use an item: a click on an item picks
// it up, the item then follows the pointer, and the next click uses it on what lies under
// the pointer (another item, a clickable scene sprite, an active hotspot) and puts it back
// in its slot. A use that finds no target or no matching command plays the "cannot use"
// sound, shows the "cannot use" text and counts a wrong use; one that runs its command
// plays the "can use" sound.
//
// Only a slot that holds an item can be picked up: an empty slot's picture is no item. The
// window finds the scene window ("scene" under the top modal) and the model (the current
// scene as an adventure screen) each time it needs them; without them it takes no item.

#include <cstdint>
#include <map>
#include <memory>

#include "graphics/math/vector_math.h"
#include "windows/window.h"

class CAdventureScreen;
class CInventory;
class TScene;
class TSound;
class TSprite;

class TSidebarInventoryWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // Fetches the two item-use sounds the game names.
  TSidebarInventoryWindow();
  ~TSidebarInventoryWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TSidebarInventoryWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // The sprite tree, as a sprite window draws it.
  void Draw() override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;

  // The slots: a new sprite replaces the slot's old one under the root.
  void AddItemSprite(int32_t index, const std::shared_ptr<TSprite>& sprite);
  // The slot's sprite; null when there is none.
  std::shared_ptr<TSprite> GetItemSprite(int32_t index) const;
  bool HasItemSprite(int32_t index) const { return mItemSprites.count(index) != 0; }
  int32_t GetHeldIndex() const { return mHeldIndex; }
  // Where a slot's item stands: "inventoryStartPosX" + "inventoryPosOffsetX" * index,
  // "inventoryStartPosY".
  static TVec2 SlotPosition(int32_t index);
  // Puts the sprite at the point, drawn from its top-left corner, opaque and unscaled.
  static void PlaceAt(TSprite& sprite, TVec2 point);

 private:
  // The inventory the slots show: the placing-object scene's own, else the game's; null
  // without a game.
  static CInventory* SlotInventory(CAdventureScreen* model);
  // The first slot sprite hit, in index order, other than `except'; -1 when none.
  int32_t SlotAt(TPoint point, int32_t except) const;
  bool PickUp(TPoint point);
  bool Use(TPoint point);
  // The name of what the held item is used on; empty when nothing is there.
  TString FindTarget(TPoint point, const CInventory& inventory, const TString& heldName, CAdventureScreen* model,
                     TScene* scene) const;
  void PutBack();
  static void PlayItemSound(const std::shared_ptr<TSound>& sound);

  std::shared_ptr<TSprite> mRoot;
  std::map<int32_t, std::shared_ptr<TSprite>> mItemSprites;
  int32_t mHeldIndex = -1;
  int32_t mCursorOffsetX = 0;
  int32_t mCursorOffsetY = 0;
  std::shared_ptr<TSound> mCannotUseSound;
  std::shared_ptr<TSound> mCanUseSound;
};
