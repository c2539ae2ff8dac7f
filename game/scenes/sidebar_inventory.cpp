// TSidebarWindow: the inventory strip. Every notification of the observed inventory fills
// the slots of the inventory window again from the left: an item's picture in each of the
// first slots, the empty-slot picture in the rest; items past the last slot are not shown.
// A placing-object scene whose own inventory is empty is finished.

#include <algorithm>

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/adventure_screen.h"
#include "model/game.h"
#include "model/placing_object_game.h"
#include "platform/log.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sidebar_inventory_window.h"
#include "scenes/sidebar_window.h"

namespace {

const char* const EmptySlotImage = "sprites/no_sprite";
// The strip never makes more slots than this, whatever "amountInventoryItems" asks.
constexpr int32_t MaxSlots = 256;

}  // namespace

CInventory TSidebarWindow::InventoryToShow() {
  if (mAdventureModel && mAdventureModel->IsOfType(29)) {
    auto* placing = dynamic_cast<CPlacingObjectGame*>(mAdventureModel);
    CInventory own = placing ? placing->GetInventory() : CInventory();
    if (own.GetItemCount() == 0)
      if (TScene* scene = FindSceneWindow()) scene->FinishScene();
    return own;
  }
  if (mAdventureModel && mAdventureModel->IsOfType(18) && mGame) return mGame->GetInventory();
  return CInventory();
}

void TSidebarWindow::BuildInventory() {
  auto* items = WindowCast<TSidebarInventoryWindow>(FindChild("itemsWindow"));
  if (!items) return;
  CInventory inventory = InventoryToShow();
  CGame* game = CGame::GetInstance();
  for (int32_t slot = 0; slot < scene::ConfigInt("amountInventoryItems"); ++slot) {
    if (slot >= MaxSlots) {
      LogPrintf("TSidebarWindow: \"amountInventoryItems\" asks for more than %d slots; the strip ends there", MaxSlots);
      break;
    }
    if (!items->HasItemSprite(slot)) items->AddItemSprite(slot, TSprite::Create(0));
    std::shared_ptr<TSprite> sprite = items->GetItemSprite(slot);
    TString image = EmptySlotImage;
    if (const TString* name = inventory.GetItemName(slot)) {
      const CInventoryItem* item = game ? game->GetInventoryItem(*name) : nullptr;
      image = item ? item->GetImage() : TString();
    }
    sprite->SetTexture(image.IsEmpty() ? nullptr : TTexture::Get(image, 0));
    TSidebarInventoryWindow::PlaceAt(*sprite, TSidebarInventoryWindow::SlotPosition(slot));
  }
}
