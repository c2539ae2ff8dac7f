#include "scenes/sidebar_inventory_window.h"

#include "graphics/renderer.h"
#include "graphics/sprites/sprite.h"
#include "model/adventure_screen.h"
#include "model/game.h"
#include "model/highscore_system.h"
#include "model/placing_object_game.h"
#include "model/scene_hotspot.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sidebar_window.h"
#include "scenes/sprite_window.h"
#include "sound/sound.h"

namespace {

// Item hit tests look at the slot's own picture at the lowest alpha.
constexpr int ItemHitAlpha = 1;
constexpr int ItemHitDepth = 0;
constexpr uint32_t AnchoredFlags = 8;

CAdventureScreen* CurrentAdventureScreen() {
  CGame* game = CGame::GetInstance();
  return game ? dynamic_cast<CAdventureScreen*>(game->GetCurrentScene()) : nullptr;
}

bool IsPlacingObjectScene(const CAdventureScreen* model) { return model && model->IsOfType(29); }

std::shared_ptr<TSound> NamedSound(const TString& name) {
  return name.IsEmpty() ? nullptr : TSound::Get(name, 0, 1000);
}

}  // namespace

TSidebarInventoryWindow::TSidebarInventoryWindow() : mRoot(TSprite::Create(0)) {
  if (CGame* game = CGame::GetInstance()) {
    mCannotUseSound = NamedSound(game->GetCanNotUseItemSound());
    mCanUseSound = NamedSound(game->GetCanUseItemSound());
  }
}

TSidebarInventoryWindow::~TSidebarInventoryWindow() {
  mRoot->RemoveAllChildren();
  mItemSprites.clear();
}

TVec2 TSidebarInventoryWindow::SlotPosition(int32_t index) {
  int64_t x = int64_t(scene::ConfigInt("inventoryStartPosX")) +
              int64_t(scene::ConfigInt("inventoryPosOffsetX")) * index;
  return TVec2(float(x), float(scene::ConfigInt("inventoryStartPosY")));
}

void TSidebarInventoryWindow::PlaceAt(TSprite& sprite, TVec2 point) {
  sprite.SetDrawParams(TSpriteDrawParams(point, 1.0f, 1.0f, AnchoredFlags));
}

std::unique_ptr<TWindow> TSidebarInventoryWindow::Create() { return std::make_unique<TSidebarInventoryWindow>(); }

void TSidebarInventoryWindow::Draw() {
  TScoped2d block;
  mRoot->Draw(TSpriteDrawParams(TVec2(0, 0), 1.0f, 1.0f, 0), -1);
}

void TSidebarInventoryWindow::AddItemSprite(int32_t index, const std::shared_ptr<TSprite>& sprite) {
  auto old = mItemSprites.find(index);
  if (old != mItemSprites.end()) {
    mRoot->RemoveChild(old->second);
    mItemSprites.erase(old);
  }
  if (!sprite) return;
  mItemSprites[index] = sprite;
  mRoot->AddChild(sprite);
}

std::shared_ptr<TSprite> TSidebarInventoryWindow::GetItemSprite(int32_t index) const {
  auto found = mItemSprites.find(index);
  return found == mItemSprites.end() ? nullptr : found->second;
}

CInventory* TSidebarInventoryWindow::SlotInventory(CAdventureScreen* model) {
  if (IsPlacingObjectScene(model))
    if (auto* placing = dynamic_cast<CPlacingObjectGame*>(model)) return &placing->GetInventory();
  CGame* game = CGame::GetInstance();
  return game ? &game->GetInventory() : nullptr;
}

int32_t TSidebarInventoryWindow::SlotAt(TPoint point, int32_t except) const {
  for (const auto& [index, sprite] : mItemSprites)
    if (index != except && sprite->HitTest(point, ItemHitAlpha, mRoot->GetDrawParams(), ItemHitDepth)) return index;
  return -1;
}

bool TSidebarInventoryWindow::OnMouseDown(TPoint point) {
  if (scene::GlobalBool("showBriefingWindow")) return true;
  return mHeldIndex < 0 ? PickUp(point) : Use(point);
}

bool TSidebarInventoryWindow::PickUp(TPoint point) {
  int32_t slot = SlotAt(point, -1);
  if (slot < 0) return false;
  CAdventureScreen* model = CurrentAdventureScreen();
  if (!model || !TSidebarWindow::FindSceneWindow()) {
    LogPrintf("TSidebarInventoryWindow: no adventure screen on show; the item stays in its slot");
    return false;
  }
  // An empty slot shows a picture but holds no item.
  CInventory* inventory = SlotInventory(model);
  if (!inventory || !inventory->GetItemName(slot)) return false;
  mHeldIndex = slot;
  mCursorOffsetX = scene::ConfigInt("itemCursorOffsetX");
  mCursorOffsetY = scene::ConfigInt("itemCursorOffsetY");
  std::shared_ptr<TSprite> sprite = GetItemSprite(slot);
  mRoot->RemoveChild(sprite);
  mRoot->AddChild(sprite);
  return true;
}

bool TSidebarInventoryWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (scene::GlobalBool("showBriefingWindow")) return true;
  if (mHeldIndex < 0) return false;
  if (std::shared_ptr<TSprite> held = GetItemSprite(mHeldIndex))
    PlaceAt(*held, TVec2(float(int64_t(point.x) - mCursorOffsetX), float(int64_t(point.y) - mCursorOffsetY)));
  CAdventureScreen* model = CurrentAdventureScreen();
  TScene* scene = TSidebarWindow::FindSceneWindow();
  if (!model || !scene) return true;
  bool usable = SlotAt(point, mHeldIndex) >= 0;
  int32_t index = 0;
  if (!usable && scene->GetSpriteWindow() && scene->GetSpriteWindow()->GetSpriteAtPoint(point, index)) {
    CSceneObject* object = model->FindSceneObject(scene->GetSpriteWindow()->GetSprite(index).GetName());
    usable = object && object->IsActive();
  }
  if (!usable) {
    model->RewindSceneHotspots();
    while (CSceneHotspot* hotspot = model->GetNextSceneHotspot())
      if (hotspot->IsPointInside(point.x, point.y) && hotspot->IsActive()) usable = true;
  }
  int32_t style = usable ? 4 : 2;
  if (style != scene->GetCursorStyle()) scene->SetCursorStyle(style);
  if (model->IsCandleWindow()) scene->MoveCandleWindow(point);
  return true;
}

TString TSidebarInventoryWindow::FindTarget(TPoint point, const CInventory& inventory, const TString& heldName,
                                            CAdventureScreen* model, TScene* scene) const {
  int32_t slot = SlotAt(point, mHeldIndex);
  if (const TString* other = slot >= 0 ? inventory.GetItemName(slot) : nullptr) return *other;
  if (TSpriteWindow* sprites = scene ? scene->GetSpriteWindow() : nullptr) {
    TString name = sprites->GetClickableNameAtPoint(point);
    if (!name.IsEmpty()) return name;
  }
  if (!model) return TString();
  model->RewindSceneHotspots();
  while (CSceneHotspot* hotspot = model->GetNextSceneHotspot()) {
    if (!hotspot->IsActive() || !hotspot->IsPointInside(point.x, point.y)) continue;
    if (IsPlacingObjectScene(model) || InventoryItemHasAction(heldName, hotspot->GetId())) return hotspot->GetId();
  }
  return TString();
}

void TSidebarInventoryWindow::PutBack() {
  std::shared_ptr<TSprite> held = GetItemSprite(mHeldIndex);
  if (!held) return;
  PlaceAt(*held, SlotPosition(mHeldIndex));
}

void TSidebarInventoryWindow::PlayItemSound(const std::shared_ptr<TSound>& sound) {
  if (!sound) return;
  sound->StopAll();
  sound->Play(false);
}

bool TSidebarInventoryWindow::Use(TPoint point) {
  CAdventureScreen* model = CurrentAdventureScreen();
  TScene* scene = TSidebarWindow::FindSceneWindow();
  CInventory* shown = SlotInventory(model);
  // A copy: the item's command may change the inventory.
  CInventory inventory = shown ? *shown : CInventory();
  const TString* held = inventory.GetItemName(mHeldIndex);
  TString heldName = held ? *held : TString();
  TString target = heldName.IsEmpty() ? TString() : FindTarget(point, inventory, heldName, model, scene);
  PutBack();
  mHeldIndex = -1;
  if (!target.IsEmpty() && ExecuteInventoryItemAction(heldName, target)) {
    PlayItemSound(mCanUseSound);
  } else {
    PlayItemSound(mCannotUseSound);
    CGame* game = CGame::GetInstance();
    TString text = game ? scene::Text(game->GetCanNotUseItemText()) : TString();
    if (scene && !text.IsEmpty()) scene->ShowInfoBox(text);
    HighscoreSystem::Call(&CHighscoreSystem::UsedInventoryItemWrong);
  }
  // The command may have replaced the scene: look for it again.
  if (TScene* now = TSidebarWindow::FindSceneWindow()) now->SetCursorStyle(2);
  return true;
}
