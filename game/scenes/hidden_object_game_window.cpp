#include "scenes/hidden_object_game_window.h"

#include <cmath>

#include "engine/platform.h"
#include "graphics/sprites/sprite.h"
#include "model/game.h"
#include "model/hidden_object_game.h"
#include "model/highscore_system.h"
#include "model/scene_hotspot.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/scene_internal.h"
#include "scenes/sidebar_window.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"

namespace {

// Clicks at this x and left of it fall on the sidebar and count no miss.
constexpr int32_t SidebarMissBoundary = 161;
constexpr float Pi = 3.1415927f;

// The penalty spiral's radius at an angle in degrees.
float SpiralRadius(float degrees) {
  float radius = scene::ConfigFloat("hogHintInnerRadius") + degrees / 360.0f * scene::ConfigFloat("hogHintSpaceSpiral");
  float outer = scene::ConfigFloat("hogHintOuterRadius");
  return radius >= outer ? outer : radius;
}

TVec2 SpiralOffset(float degrees) {
  float theta = degrees / 180.0f * Pi, radius = SpiralRadius(degrees);
  return TVec2(radius * std::cos(theta), radius * std::sin(theta));
}

}  // namespace

THiddenObjectGameWindow::THiddenObjectGameWindow() {
  mHiddenObjectBinding.Bind("ResetHOG", this, &THiddenObjectGameWindow::ResetHOG);
  mHiddenObjectBinding.Bind("AddFixItem", this, &THiddenObjectGameWindow::AddFixItem);
  mHiddenObjectBinding.Bind("FillHOGList", this, &THiddenObjectGameWindow::FillHOGList);
  mHiddenObjectBinding.Bind("SetInventoryOnWon", this, &THiddenObjectGameWindow::SetInventoryOnWon);
  mHiddenObjectBinding.Bind("IsItemAlreadyFound", this, &THiddenObjectGameWindow::IsItemAlreadyFound);
  mOwner = CGame::GetInstance();
  mGame = GameModel(mStandIn);
  if (mGame->HasHitClickSound()) LoadSoundAs("HitSound", mGame->GetHitClickSound());
  if (mGame->HasMissClickSound()) LoadSoundAs("MissSound", mGame->GetMissClickSound());
  HighscoreSystem::Call(&CHighscoreSystem::HOStart);
  mGame->HideFoundObjects();
}

THiddenObjectGameWindow::~THiddenObjectGameWindow() {
  HighscoreSystem::Call(&CHighscoreSystem::HOEnd);
  if (GameIsQuitting() || (!mStandIn && CGame::GetInstance() != mOwner)) return;
  if (mAttached) mGame->Detach(this);
  mGame->HideFoundObjects();
}

std::unique_ptr<TWindow> THiddenObjectGameWindow::Create() { return std::make_unique<THiddenObjectGameWindow>(); }

void THiddenObjectGameWindow::PostCreate(TWindowStyle& style) {
  TScene::PostCreate(style);
  if (mSpriteWindow) {
    for (const std::unique_ptr<CHiddenObject>& object : mGame->GetHiddenObjects()) {
      GeneralSprite sprite(object->GetImage(), object->GetPositionX(), object->GetPositionY(), SpritePivotTopLeft,
                           SpriteKindHiddenObject, object->GetId(), 1.0f, 0);
      sprite.SetClickable(object->IsActive());
      if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite()) engine->SetVisible(object->IsVisible());
      mSpriteWindow->AddSprite(sprite);
    }
  }
  TSidebarWindow::AddTo(*this, SidebarHiddenObject, style, *mGame);
  mGame->Attach(this);
  mAttached = true;
  for (const char* name : {"tutorial", "tutorialtextText", "transition"})
    if (TWindow* overlay = FindChild(name)) overlay->SetZOrderSimple(ZOrderFront);
}

bool THiddenObjectGameWindow::OnMouseDown(TPoint point) {
  if (scene::GlobalBool("showBriefingWindow")) return true;
  if (TScene::OnMouseDown(point)) return true;
  if (!mSceneStarted || mSceneFinished) return false;
  bool hotspotTook = false;
  if (CSceneHotspot* hotspot = FindHotspotAt(point)) {
    hotspot->ExecuteAction("OnClick");
    hotspotTook = true;
  }
  int32_t index = 0;
  bool hit = mSpriteWindow && mSpriteWindow->GetSpriteAtPoint(point, index);
  if (!hit || hotspotTook) {
    Miss(point);
    return hit;
  }
  GeneralSprite& sprite = mSpriteWindow->GetSprite(index);
  TString id = sprite.GetName();
  if (!mGame->IsItemToFind(id) || !sprite.IsClickable() || sprite.GetSpareFlag()) {
    Miss(point);
    return hit;
  }
  std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite();
  uint32_t bonus = HighscoreSystem::Call(&CHighscoreSystem::HOHitClick);
  ShowBonusAsText(point, int32_t(std::min<uint32_t>(bonus, INT32_MAX)));
  // The flag marks the object as collected: its flight has begun.
  sprite.SetSpareFlag(true);
  mGame->SetItemFound(id);
  SetTutorialVisible(false);
  TSpriteAnimator::GetInstance()->AddMove(engine, scene::ConfigInt("hogDestXObj"), scene::ConfigInt("hogDestYObj"),
                                          scene::ConfigInt("hogDestSpeedObj"), id, true, true);
  PlaySoundByName("HitSound", 0, true, true);
  if (CHiddenObject* object = mGame->GetHiddenObject(id)) object->ExecuteAction("OnPickedUp");
  return hit;
}

void THiddenObjectGameWindow::Miss(TPoint point) {
  if (point.x > SidebarMissBoundary) HighscoreSystem::Call(&CHighscoreSystem::HOMissClick);
  PlaySoundByName("MissSound", 0, true, true);
}

bool THiddenObjectGameWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  bool deadStrip = point.x > scene::ConfigInt("sidebarWidth") && point.x < mGame->GetSTDLeftSideOfActiveSide();
  if (deadStrip) {
    if (mCursorStyle != 7) SetCursorStyle(7);
  } else if (mCursorStyle != 2 && mCursorStyle != 8) {
    SetCursorStyle(2);
  }
  return TScene::OnMouseMove(point);
}

void THiddenObjectGameWindow::Notify(CObservedSubject*) {
  if (!mSpriteWindow) return;
  for (int32_t i = 0; i < mSpriteWindow->GetSpriteCount(); ++i) {
    GeneralSprite& sprite = mSpriteWindow->GetSprite(i);
    if (sprite.GetKind() != SpriteKindHiddenObject) continue;
    CHiddenObject* object = mGame->GetHiddenObject(sprite.GetName());
    if (!object) continue;
    sprite.SetClickable(object->IsActive());
    if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite()) engine->SetVisible(object->IsVisible());
  }
}

void THiddenObjectGameWindow::ShowHint() {
  if (IsHintSpiralActive()) return;
  TString id = mGame->PickRandomItemToFind();
  TPoint position = mSpriteWindow ? mSpriteWindow->GetSpritePosition(id) : TPoint(-1, -1);
  int32_t index = 0, width = 0, height = 0;
  if (mSpriteWindow && mSpriteWindow->FindSprite(id, index)) {
    if (std::shared_ptr<TSprite> engine = mSpriteWindow->GetSprite(index).GetCurrentSprite()) {
      TRect bounds;
      engine->GetRect(bounds, mSpriteWindow->GetRootTransform(), 0);
      width = std::max(bounds.Width(), 0);
      height = std::max(bounds.Height(), 0);
    }
  }
  LogPrintf("THiddenObjectGameWindow: the hint points at \"%s\"", id.c_str());
  StartHintSpiral(scene::AddSaturated(position.x, width / 2), scene::AddSaturated(position.y, height / 2));
}

bool THiddenObjectGameWindow::Animate() {
  StepClickPenalty();
  return TScene::Animate();
}

void THiddenObjectGameWindow::StepClickPenalty() {
  if (!HighscoreSystem::Call(&CHighscoreSystem::IsClickPenaltyActive)) {
    mPenaltyAngle = 0;
    return;
  }
  if (mPenaltyAngle == 0) LogPrintf("THiddenObjectGameWindow: too many misses; the click penalty turns the pointer");
  TVec2 before = SpiralOffset(mPenaltyAngle);
  mPenaltyAngle += scene::ConfigFloat("hogHintDegPerStep");
  TVec2 after = SpiralOffset(mPenaltyAngle);
  IGameFlow* flow = GetGameFlow();
  if (!flow) return;
  TPoint mouse = flow->GetMousePosition();
  mouse.x = scene::AddSaturated(mouse.x, scene::Truncate(double(after.x) - double(before.x)));
  mouse.y = scene::AddSaturated(mouse.y, -scene::Truncate(double(after.y) - double(before.y)));
  flow->SetMousePosition(mouse.x, mouse.y);
  if (TPlatform* platform = GetPlatform()) platform->SetMousePosition(mouse);
}

void THiddenObjectGameWindow::ResetHOG() {
  mGame->ClearItemsToFind();
  for (const std::unique_ptr<CHiddenObject>& object : mGame->GetHiddenObjects())
    if (object->IsActive()) object->SetVisible(true);
}

void THiddenObjectGameWindow::AddFixItem(const TString& id) { mGame->AddFixItem(id); }

void THiddenObjectGameWindow::FillHOGList() {
  mGame->SetFillItemList(true);
  if (!mSpriteWindow) return;
  for (int32_t i = 0; i < mSpriteWindow->GetSpriteCount(); ++i)
    if (std::shared_ptr<TSprite> engine = mSpriteWindow->GetSprite(i).GetCurrentSprite()) engine->SetVisible(true);
}

void THiddenObjectGameWindow::SetInventoryOnWon(const TString& item) { mGame->SetPickedUpInventoryItemOnWon(item); }

bool THiddenObjectGameWindow::IsItemAlreadyFound(const TString& id) { return mGame->IsItemAlreadyFound(id); }
