#include "minigames/jigsaw_window.h"

#include "graphics/sprites/sprite.h"
#include "model/highscore_system.h"
#include "model/jigsaw_puzzle.h"
#include "scenes/game_flow.h"
#include "scenes/general_sprite.h"
#include "scenes/sprite_window.h"

TJigsawPuzzleWindow::TJigsawPuzzleWindow() {
  mPuzzle = GameModel(mStandIn);
  HighscoreSystem::PausePlay();
}

TJigsawPuzzleWindow::~TJigsawPuzzleWindow() { HighscoreSystem::StartPlay(); }

std::unique_ptr<TWindow> TJigsawPuzzleWindow::Create() { return std::make_unique<TJigsawPuzzleWindow>(); }

void TJigsawPuzzleWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  if (!mSpriteWindow) return;
  mPuzzle->RewindPieces();
  while (mPuzzle->HasMorePieces()) {
    const CJigsawPiece* piece = mPuzzle->GetNextPiece();
    GeneralSprite sprite(piece->GetImage(), piece->GetPosX(), piece->GetPosY(), SpritePivotTopLeft,
                         SpriteKindJigsawPiece, piece->GetName(), 1.0f, 0);
    sprite.SetClickable(true);
    mSpriteWindow->AddSprite(sprite);
  }
}

void TJigsawPuzzleWindow::RefreshSprites() {
  mPuzzle->RewindPieces();
  while (mPuzzle->HasMorePieces()) {
    const CJigsawPiece* piece = mPuzzle->GetNextPiece();
    mSpriteWindow->SetSpritePosition(piece->GetName(), float(piece->GetPosX()), float(piece->GetPosY()));
  }
}

bool TJigsawPuzzleWindow::TakeUp(TPoint point) {
  int32_t index = 0;
  if (!mSpriteWindow->GetSpriteAtPoint(point, index)) return false;
  GeneralSprite& hit = mSpriteWindow->GetSprite(index);
  if (hit.GetKind() != SpriteKindJigsawPiece) return false;
  const CJigsawPiece* piece = mPuzzle->FindPiece(hit.GetName());
  std::shared_ptr<TSprite> sprite = hit.GetCurrentSprite();
  if (!piece || !piece->IsMovable() || !sprite) return true;
  mHeldPiece = piece->GetName();
  TVec2 corner = SpritePosition(*sprite);
  mGrabX = point.x - int32_t(corner.x);
  mGrabY = point.y - int32_t(corner.y);
  // The whole group is hung in again, so that it is drawn over the other pieces.
  std::shared_ptr<TSprite> root = mSpriteWindow->GetRootSprite();
  mPuzzle->SelectGroupOf(mHeldPiece);
  while (mPuzzle->HasMoreGroupMembers()) {
    int32_t member = 0;
    if (!mSpriteWindow->FindSprite(mPuzzle->GetNextGroupMember(), member)) continue;
    std::shared_ptr<TSprite> engine = mSpriteWindow->GetSprite(member).GetCurrentSprite();
    if (!engine || !root) continue;
    root->RemoveChild(engine);
    root->AddChild(engine);
  }
  return true;
}

void TJigsawPuzzleWindow::PutDown(TPoint point) {
  mPuzzle->DropPiece(mHeldPiece, int32_t(int64_t(point.x) - mGrabX), int32_t(int64_t(point.y) - mGrabY));
  mHeldPiece = TString();
  RefreshSprites();
  if (!mPuzzle->IsWon()) return;
  ShowBonusAsText(point, int32_t(HighscoreSystem::Call(&CHighscoreSystem::MiniGameTaskComplete)));
  FinishScene();
}

bool TJigsawPuzzleWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  bool handled = false;
  if (IsInputOpen() && mSpriteWindow) {
    if (mHeldPiece.IsEmpty()) {
      handled = TakeUp(point);
    } else {
      // The press that puts a piece down is the piece's, wherever it lies.
      PutDown(point);
      handled = true;
    }
  }
  BringButtonsToFront();
  return handled || TMiniGameWindow::OnMouseDown(point);
}

bool TJigsawPuzzleWindow::OnMouseMove(TPoint point) {
  if (IsBriefingShown() || !IsInputOpen() || !mSpriteWindow) return TMiniGameWindow::OnMouseMove(point);
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (!mHeldPiece.IsEmpty()) {
    if (GetCursorStyle() != 4) SetCursorStyle(4);
    mPuzzle->MoveGroup(mHeldPiece, int32_t(int64_t(point.x) - mGrabX), int32_t(int64_t(point.y) - mGrabY));
    RefreshSprites();
    return true;
  }
  int32_t index = 0;
  if (mSpriteWindow->GetSpriteAtPoint(point, index) &&
      mSpriteWindow->GetSprite(index).GetKind() == SpriteKindJigsawPiece) {
    const CJigsawPiece* piece = mPuzzle->FindPiece(mSpriteWindow->GetSprite(index).GetName());
    int32_t style = piece && piece->IsMovable() ? 4 : 2;
    if (GetCursorStyle() != style) SetCursorStyle(style);
    return true;
  }
  return TMiniGameWindow::OnMouseMove(point);
}

bool TJigsawPuzzleWindow::IsWon() { return mPuzzle->IsWon(); }
