#include "minigames/placing_pictures_window.h"

#include "graphics/sprites/sprite.h"
#include "model/placing_pictures_game.h"
#include "model/scene_hotspot.h"
#include "scenes/game_flow.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox_layout_windows.h"

namespace {

const char* const CheckButtonName = "CheckButton";
constexpr int32_t TextboxStyle = 5;
// The carried picture hangs this far up and to the left of the pointer's tip.
constexpr float CarryOffset = 30.0f;
constexpr int32_t CursorHotspot = 6;

}  // namespace

TPlacingPicturesWindow::TPlacingPicturesWindow() {
  mGame = GameModel(mStandIn);
  LoadWinAndLoseSounds();
}

TPlacingPicturesWindow::~TPlacingPicturesWindow() {
  if (mStandIn || !IsGameModelAlive()) return;
  mGame->ClearHotspotObjects();
  mGame->ClearTextboxWindows();
}

std::unique_ptr<TWindow> TPlacingPicturesWindow::Create() { return std::make_unique<TPlacingPicturesWindow>(); }

void TPlacingPicturesWindow::PostCreate(TWindowStyle& style) {
  mGame->ClearTextboxWindows();
  if (mSpriteWindow) {
    // Made also without a picture, so that the board looks the same to scripts.
    GeneralSprite check(mGame->GetCheckbutton(), scene::Truncate(mGame->GetCheckbuttonX()),
                        scene::Truncate(mGame->GetCheckbuttonY()), SpritePivotTopLeft, SpriteKindPlacingCheckButton,
                        CheckButtonName, 1.0f, 0);
    check.SetClickable(true);
    mSpriteWindow->AddSprite(check);
  }
  mGame->LayOutBoard();
  if (mSpriteWindow) AddPictures();
  AddLayoutTextboxes(*this, *mGame, TextboxStyle, scene::ConfigInt("plpiFontMaxLines"));
  TMiniGameWindow::PostCreate(style);
}

void TPlacingPicturesWindow::AddPictures() {
  const int32_t safeZone = scene::ConfigInt("plpiHotspotSafeZoneInPixels");
  for (int32_t i = 0; i < mGame->GetHotspotObjectCount(); i++) {
    const CSceneHotspot& hotspot = *mGame->GetHotspotObject(i);
    if (hotspot.GetName().IsEmpty()) continue;
    GeneralSprite picture(mGame->GetFilepath() + hotspot.GetName(),
                          scene::AddSaturated(hotspot.GetPositionX1(), safeZone),
                          scene::AddSaturated(hotspot.GetPositionY1(), safeZone), SpritePivotTopLeft,
                          SpriteKindPlacingPicture, hotspot.GetName(), 1.0f, 0);
    picture.SetClickable(true);
    mSpriteWindow->AddSprite(picture);
  }
}

void TPlacingPicturesWindow::PlaceOnHotspot(const TString& picture, int32_t hotspot) {
  const CSceneHotspot* target = mGame->GetHotspotObject(hotspot);
  if (!target || !mSpriteWindow) return;
  const int32_t safeZone = scene::ConfigInt("plpiHotspotSafeZoneInPixels");
  mSpriteWindow->SetSpritePosition(picture, float(scene::AddSaturated(target->GetPositionX1(), safeZone)),
                                   float(scene::AddSaturated(target->GetPositionY1(), safeZone)));
}

bool TPlacingPicturesWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  if (!IsInputOpen() || !mSpriteWindow) return TMiniGameWindow::OnMouseDown(point);
  return mGame->IsCarrying() ? Drop(point) : PickUpOrCheck(point);
}

bool TPlacingPicturesWindow::PickUpOrCheck(TPoint point) {
  int32_t index = 0;
  if (!mSpriteWindow->GetSpriteAtPoint(point, index)) return TMiniGameWindow::OnMouseDown(point);
  GeneralSprite& hit = mSpriteWindow->GetSprite(index);
  if (hit.GetKind() == SpriteKindPlacingPicture) {
    // The hotspot that holds the picture gives it up, wherever on the picture the press
    // lands: a press outside every hotspot carries it off all the same.
    if (mGame->PickUpPicture(hit.GetName()) && mGame->GetSwopMode()) {
      std::shared_ptr<TSprite> sprite = hit.GetCurrentSprite();
      std::shared_ptr<TSprite> root = mSpriteWindow->GetRootSprite();
      if (sprite && root) {
        root->RemoveChild(sprite);
        root->AddChild(sprite);
      }
    }
    return true;
  }
  if (hit.GetKind() != SpriteKindPlacingCheckButton) return TMiniGameWindow::OnMouseDown(point);
  if (hit.GetName() != CheckButtonName) return true;
  if (mGame->IsWon()) {
    PlayGameSound("win");
    ShowCompletionBonus(point);
    FinishScene();
  } else {
    ShowBriefingWindow("placingpicturesfalsefeedback", 0, 5000, false);
  }
  return true;
}

bool TPlacingPicturesWindow::Drop(TPoint point) {
  int32_t target = mGame->FindHotspotObject(FindHotspotAt(point));
  if (target < 0) return TMiniGameWindow::OnMouseDown(point);
  TString carried = mGame->GetCarriedPicture();
  CPlacingPicturesGame::TDrop drop = mGame->DropPicture(target);
  if (!drop.placed) return true;
  if (drop.returnedTo >= 0) PlaceOnHotspot(drop.returned, drop.returnedTo);
  PlaceOnHotspot(carried, target);
  return true;
}

bool TPlacingPicturesWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (IsBriefingShown()) return true;
  if (IsInputOpen()) {
    if (mGame->IsCarrying() && mSpriteWindow)
      mSpriteWindow->SetSpritePosition(mGame->GetCarriedPicture(), float(point.x) - CarryOffset,
                                       float(point.y) - CarryOffset);
    if (FindHotspotAt(point)) {
      if (mCursorStyle != CursorHotspot) SetCursorStyle(CursorHotspot);
      return true;
    }
  }
  return TMiniGameWindow::OnMouseMove(point);
}

bool TPlacingPicturesWindow::IsWon() { return mGame->IsWon(); }
