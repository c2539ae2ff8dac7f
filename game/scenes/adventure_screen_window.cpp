#include "scenes/adventure_screen_window.h"

#include <algorithm>

#include "graphics/sprites/sprite.h"
#include "model/adventure_screen.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/placing_object_game.h"
#include "model/scene_exit.h"
#include "model/scene_hotspot.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/scene_internal.h"
#include "scenes/sidebar_window.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox_layout_windows.h"

namespace {

constexpr int32_t PlacingObjectType = 29;
constexpr int32_t TextboxAlignment = 5;
constexpr int32_t TextboxMaxLines = 5;

bool ShowsObject(int32_t kind) { return kind == SpriteKindSceneObject; }

}  // namespace

TAdventureScreenWindow::TAdventureScreenWindow() {
  SetRootSprite(TSprite::Create(0));
  mGame = CGame::GetInstance();
  mAdventureScreen = GameModel(mStandIn);
  mAdventureBinding.Bind("SetTimesPickable", this, &TAdventureScreenWindow::SetTimesPickable);
  mAdventureBinding.Bind("FadeOut", this, &TAdventureScreenWindow::FadeOut);
  mAdventureBinding.Bind("SetTextForSceneObject", this, &TAdventureScreenWindow::SetTextForSceneObject);
  mAdventureBinding.Bind("SetOtherCursorStyle", this, &TAdventureScreenWindow::SetOtherCursorStyle);
}

TAdventureScreenWindow::~TAdventureScreenWindow() {
  if (GameIsQuitting() || (!mStandIn && CGame::GetInstance() != mGame)) return;
  if (mAttached) mAdventureScreen->Detach(this);
  mAdventureScreen->ClearTextboxWindows();
}

std::unique_ptr<TWindow> TAdventureScreenWindow::Create() { return std::make_unique<TAdventureScreenWindow>(); }

void TAdventureScreenWindow::PostCreate(TWindowStyle& style) {
  TScene::PostCreate(style);
  mAdventureScreen->Attach(this);
  mAttached = true;
  mAdventureScreen->ClearTextboxWindows();
  AddExitImages();
  AddSceneObjects();
  AddSidebar(style);
  AddTextboxes();
}

void TAdventureScreenWindow::AddExitImages() {
  if (!mSpriteWindow) return;
  for (const auto& [id, exit] : mAdventureScreen->GetSceneExits()) {
    if (exit->GetImage().IsEmpty()) continue;
    GeneralSprite sprite(exit->GetImage(), exit->GetImagePositionX(), exit->GetImagePositionY(), SpritePivotTopLeft,
                         SpriteKindExitImage, exit->GetId(), 1.0f, 0);
    if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite()) engine->SetVisible(true);
    mSpriteWindow->AddSprite(sprite);
  }
}

void TAdventureScreenWindow::AddSceneObjects() {
  if (!mSpriteWindow) return;
  for (const std::unique_ptr<CSceneObject>& object : mAdventureScreen->GetSceneObjects()) {
    GeneralSprite sprite(object->GetImage(), object->GetPositionX(), object->GetPositionY(), SpritePivotTopLeft,
                         SpriteKindSceneObject, object->GetId(), 1.0f, 0);
    if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite()) engine->SetVisible(object->IsVisible());
    sprite.SetClickable(object->IsActive());
    mSpriteWindow->AddSprite(sprite);
  }
}

void TAdventureScreenWindow::AddSidebar(TWindowStyle& style) {
  int32_t type = mAdventureScreen->IsOfType(PlacingObjectType) ? SidebarPlacingObject : SidebarAdventure;
  TSidebarWindow::AddTo(*this, type, style, *mAdventureScreen);
}

void TAdventureScreenWindow::AddTextboxes() {
  AddLayoutTextboxes(*this, *mAdventureScreen, TextboxAlignment, TextboxMaxLines);
}

bool TAdventureScreenWindow::Animate() {
  std::vector<TString> done;
  for (const TString& id : mFadeOutList) {
    CSceneObject* object = mAdventureScreen->FindSceneObject(id);
    if (!object) {
      // Nothing to fade: the entry ends at once.
      LogPrintf("TAdventureScreenWindow: FadeOut names no object \"%s\"", id.c_str());
      done.push_back(id);
      continue;
    }
    float step = scene::ConfigFloat("sceneObjFadeSpeed");
    if (step * 1.5f < object->GetAlpha()) {
      mAdventureScreen->SetObjectAlpha(id, object->GetAlpha() - step);
    } else {
      mAdventureScreen->SetObjectVisible(id, false);
      mAdventureScreen->SetObjectAlpha(id, 1.0f);
      done.push_back(id);
    }
  }
  for (auto it = done.rbegin(); it != done.rend(); ++it) {
    auto entry = std::find(mFadeOutList.begin(), mFadeOutList.end(), *it);
    if (entry != mFadeOutList.end()) mFadeOutList.erase(entry);
  }
  return TScene::Animate();
}

bool TAdventureScreenWindow::OnMouseDown(TPoint point) {
  if (scene::GlobalBool("showBriefingWindow")) return true;
  if (!mSceneStarted || mSceneFinished) return false;
  if (CSceneHotspot* hotspot = FindHotspotAt(point)) {
    TString text = scene::Text(hotspot->GetText());
    if (!text.IsEmpty()) ShowInfoBox(text);
    hotspot->ExecuteAction("OnClick");
  }
  int32_t index = 0;
  if (!mSpriteWindow || !mSpriteWindow->GetSpriteAtPoint(point, index)) return TScene::OnMouseDown(point);
  CSceneObject* object = mAdventureScreen->FindSceneObject(mSpriteWindow->GetSprite(index).GetName());
  if (!object) return TScene::OnMouseDown(point);
  if (!object->IsActive()) return true;
  if (object->IsPickable()) {
    PickUp(*object);
    return true;
  }
  TString text = scene::Text(object->GetText());
  if (!text.IsEmpty())
    ShowInfoBox(text);
  else
    object->ExecuteAction("OnPickedUp");
  return true;
}

void TAdventureScreenWindow::PickUp(CSceneObject& object) {
  // The object's command may change the model: keep what is needed.
  TString item = object.GetInvItem();
  if (mGame) mGame->AddInventoryItem(item);
  object.SetTimesPickable(object.GetTimesPickable() - 1);
  object.ExecuteAction("OnPickedUp");
  const CInventoryItem* definition = mGame ? mGame->GetInventoryItem(item) : nullptr;
  if (!definition) LogPrintf("TAdventureScreenWindow: the picked-up item \"%s\" is not defined", item.c_str());
  if (CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance()) {
    globals->SetGlobalString("description", definition ? definition->GetDescription() : TString());
    globals->SetGlobalString("pickupImage", definition ? definition->GetPickUpImage() : TString());
  }
  OpenModalScript("scriptPickupWindow");
}

bool TAdventureScreenWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (scene::GlobalBool("showBriefingWindow")) return true;
  if (!mSceneStarted || mSceneFinished) return false;
  int32_t index = 0;
  if (mSpriteWindow && mSpriteWindow->GetSpriteAtPoint(point, index)) {
    const GeneralSprite& sprite = mSpriteWindow->GetSprite(index);
    if (sprite.GetKind() == SpriteKindSceneObject || sprite.GetKind() == SpriteKindExitImage) {
      CSceneObject* object = mAdventureScreen->FindSceneObject(sprite.GetName());
      // An exit image a script made clickable is no object: it is passed over.
      if (object) {
        if (object->IsActive() && object->IsPickable()) {
          if (mCursorStyle != 4) SetCursorStyle(4);
        } else if (object->IsActive()) {
          if (mCursorStyle != 3 && mCursorStyle != 4) SetCursorStyle(3);
        }
        return true;
      }
    }
  }
  bool handled = TScene::OnMouseMove(point);
  if (!handled && mCursorStyle != 2) SetCursorStyle(2);
  return handled;
}

void TAdventureScreenWindow::Notify(CObservedSubject*) {
  if (!mSpriteWindow) return;
  for (int32_t i = 0; i < mSpriteWindow->GetSpriteCount(); ++i) {
    GeneralSprite& sprite = mSpriteWindow->GetSprite(i);
    if (!ShowsObject(sprite.GetKind())) continue;
    CSceneObject* object = mAdventureScreen->FindSceneObject(sprite.GetName());
    if (!object) continue;
    sprite.SetClickable(object->IsActive());
    if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite()) {
      engine->GetDrawParams().alpha = object->GetAlpha();
      engine->SetVisible(object->IsVisible());
    }
  }
}

CInventory* TAdventureScreenWindow::PlacingInventory() const {
  if (!mAdventureScreen->IsOfType(PlacingObjectType)) return nullptr;
  auto* placing = dynamic_cast<CPlacingObjectGame*>(mAdventureScreen);
  return placing ? &placing->GetInventory() : nullptr;
}

void TAdventureScreenWindow::OnAddInventoryItem(const TString& item) {
  if (CInventory* own = PlacingInventory())
    own->AddItem(item);
  else
    TScene::OnAddInventoryItem(item);
}

void TAdventureScreenWindow::OnRemoveInventoryItem(const TString& item) {
  if (CInventory* own = PlacingInventory())
    own->RemoveItem(item);
  else
    TScene::OnRemoveInventoryItem(item);
}

void TAdventureScreenWindow::SetTimesPickable(const TString& id, int32_t times) {
  if (CSceneObject* object = mAdventureScreen->FindSceneObject(id)) object->SetTimesPickable(times);
}

void TAdventureScreenWindow::FadeOut(const TString& id) { mFadeOutList.push_back(id); }

void TAdventureScreenWindow::SetTextForSceneObject(const TString& id, const TString& text) {
  if (CSceneObject* object = mAdventureScreen->FindSceneObject(id)) object->SetText(text);
}

void TAdventureScreenWindow::SetOtherCursorStyle(const TString& texture) { SetCursorImage(texture); }
