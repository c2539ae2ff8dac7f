#include "minigames/labyrinth_window.h"

#include <cstdlib>

#include "graphics/sprites/sprite.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"

namespace {

// A request of one box along an axis: the offset is reference minus pointer, so a positive
// value is a movement to the left (upward). Left and up need L pixels, right and down more.
enum class TRequest { None, Back, Forward };

TRequest Request(int64_t offset, int32_t length) {
  if (offset >= length) return TRequest::Back;
  if (offset < -int64_t(length)) return TRequest::Forward;
  return TRequest::None;
}

}  // namespace

TLabyrinthWindow::TLabyrinthWindow() {
  SetRootSprite(TSprite::Create(0, nullptr));
  mGame = GameModel(mStandIn);
  if (mGame->HasWonSound()) LoadSoundAs("WonSound", mGame->GetWonSound());
}

TLabyrinthWindow::~TLabyrinthWindow() {
  // A window that goes in the middle of a drag must not leave the pointer hidden.
  if (mDragging) ShowPointer();
}

std::unique_ptr<TWindow> TLabyrinthWindow::Create() { return std::make_unique<TLabyrinthWindow>(); }

int32_t TLabyrinthWindow::BoxX(int32_t column) const {
  return scene::Truncate(double(mGame->GetStartPositionPlayingAreaX()) +
                         (double(column) - 1) * double(mGame->GetLengthOneBox()));
}

int32_t TLabyrinthWindow::BoxY(int32_t row) const {
  return scene::Truncate(double(mGame->GetStartPositionPlayingAreaY()) +
                         (double(row) - 1) * double(mGame->GetLengthOneBox()));
}

TPoint TLabyrinthWindow::Truncated(TVec2 position) const {
  return TPoint(scene::Truncate(double(mGrabOffset.x) + position.x), scene::Truncate(double(mGrabOffset.y) + position.y));
}

void TLabyrinthWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  mGame->BuildBoard();
  const int32_t length = mGame->GetLengthOneBox();
  if (length <= 0)
    LogPrintf("TLabyrinthWindow: scene %d has a box length of %d: every piece counts as one box and none moves",
              mGame->GetSeqId(), length);
  if (!mSpriteWindow) return;
  const int32_t columns = mGame->GetCountBoxesXDirection(), rows = mGame->GetCountBoxesYDirection();
  for (CLabyrinthField* block : mGame->GetFields()) {
    GeneralSprite sprite(block->GetPath(), BoxX(block->GetBoxX()), BoxY(block->GetBoxY()), SpritePivotTopLeft,
                         SpriteKindLabyrinthBlock, block->GetId(), 1.0f, 0);
    if (length > 0) {
      TPoint image = ImageSize(sprite);
      block->SetBoxWidth(image.x / length);
      block->SetBoxHeight(image.y / length);
    }
    int64_t right = int64_t(block->GetBoxX()) + block->GetBoxWidth() - 1;
    int64_t bottom = int64_t(block->GetBoxY()) + block->GetBoxHeight() - 1;
    if (block->GetBoxX() < 1 || block->GetBoxY() < 1 || right > columns || bottom > rows)
      LogPrintf("TLabyrinthWindow: block \"%s\" (%d x %d boxes at %d, %d) reaches past the playing area",
                block->GetId().c_str(), block->GetBoxWidth(), block->GetBoxHeight(), block->GetBoxX(), block->GetBoxY());
    // Only the cells inside the grid are taken.
    mGame->OccupyField(*block);
    sprite.SetClickable(block->IsMoveable());
    mSpriteWindow->AddSprite(sprite);
  }
  for (CLabyrinthField* tile : mGame->GetTiles()) {
    GeneralSprite sprite(tile->GetPath(), BoxX(tile->GetBoxX()), BoxY(tile->GetBoxY()), SpritePivotTopLeft,
                         SpriteKindLabyrinthTile, tile->GetId(), 1.0f, 0);
    sprite.SetClickable(true);
    mSpriteWindow->AddSprite(sprite);
  }
}

bool TLabyrinthWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  int32_t index = 0;
  // Without a box length nothing can be measured in boxes, so nothing is picked up.
  if (IsInputOpen() && mSpriteWindow && mGame->GetLengthOneBox() > 0 &&
      mSpriteWindow->GetSpriteAtPoint(point, index)) {
    GeneralSprite& sprite = mSpriteWindow->GetSprite(index);
    bool movable = (sprite.GetKind() == SpriteKindLabyrinthBlock && sprite.IsClickable()) ||
                   sprite.GetKind() == SpriteKindLabyrinthTile;
    std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite();
    if (movable && engine) {
      sprite.SetUserFlag(true);
      mReference = point;
      mPiecePosition = SpritePosition(*engine);
      mGrabOffset = TPoint(scene::Truncate(double(point.x) - mPiecePosition.x),
                           scene::Truncate(double(point.y) - mPiecePosition.y));
      mDragging = true;
      HidePointer();
      mDraggedSprite = index;
      AddGlowOnSceneClock(engine);
      return true;
    }
  }
  return TMiniGameWindow::OnMouseDown(point);
}

CLabyrinthField* TLabyrinthWindow::PieceOf(const GeneralSprite& sprite) const {
  if (sprite.GetKind() == SpriteKindLabyrinthBlock) return mGame->GetFieldById(sprite.GetName());
  if (sprite.GetKind() == SpriteKindLabyrinthTile) return mGame->GetTileById(sprite.GetName());
  return nullptr;
}

bool TLabyrinthWindow::TryMove(CLabyrinthField& piece, bool block, CLabyrinthGame::TMove move) {
  return block ? mGame->MoveField(piece, move) : mGame->MoveTile(piece, move);
}

void TLabyrinthWindow::DragPiece(GeneralSprite& sprite, CLabyrinthField& piece, TPoint pointer) {
  std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite();
  if (!engine) return;
  mPiecePosition = SpritePosition(*engine);
  const int32_t length = mGame->GetLengthOneBox();
  const bool block = sprite.GetKind() == SpriteKindLabyrinthBlock;
  struct TAxis {
    TRequest request;
    CLabyrinthGame::TMove back, forward;
    bool horizontal;
  };
  const TAxis horizontal{Request(int64_t(mReference.x) - pointer.x, length), CLabyrinthGame::MoveLeft,
                         CLabyrinthGame::MoveRight, true};
  const TAxis vertical{Request(int64_t(mReference.y) - pointer.y, length), CLabyrinthGame::MoveUp,
                       CLabyrinthGame::MoveDown, false};
  const bool verticalFirst = std::llabs(int64_t(mReference.x) - pointer.x) < std::llabs(int64_t(mReference.y) - pointer.y);
  const TAxis& first = verticalFirst ? vertical : horizontal;
  const TAxis& second = verticalFirst ? horizontal : vertical;

  // Less than a box on the first axis: the movement keeps adding up.
  if (first.request != TRequest::None) {
    const TAxis* moved = nullptr;
    for (const TAxis* axis : {&first, &second}) {
      if (axis->request == TRequest::None) break;
      if (TryMove(piece, block, axis->request == TRequest::Back ? axis->back : axis->forward)) {
        moved = axis;
        break;
      }
    }
    if (moved) {
      if (moved->horizontal)
        mPiecePosition.x = float(BoxX(piece.GetBoxX()));
      else
        mPiecePosition.y = float(BoxY(piece.GetBoxY()));
      mReference = Truncated(mPiecePosition);
    }
    // Moved or not, the pointer goes to the reference: movement beyond one box is dropped.
    WarpPointer(mReference);
  }
  PlaceSprite(*engine, mPiecePosition);
}

bool TLabyrinthWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (IsBriefingShown()) return true;
  if (!IsInputOpen() || !mDragging || !mSpriteWindow || mSpriteWindow->GetSpriteCount() == 0)
    return TMiniGameWindow::OnMouseMove(point);
  bool processed = false;
  for (int32_t i = 0; i < mSpriteWindow->GetSpriteCount(); i++) {
    GeneralSprite& sprite = mSpriteWindow->GetSprite(i);
    if (!sprite.GetUserFlag()) continue;
    CLabyrinthField* piece = PieceOf(sprite);
    if (!piece) continue;
    DragPiece(sprite, *piece, point);
    processed = true;
  }
  return processed ? true : TMiniGameWindow::OnMouseMove(point);
}

bool TLabyrinthWindow::OnMouseUp(TPoint point) {
  if (!mDragging) return true;
  mDragging = false;
  ShowPointer();
  WarpPointer(Truncated(mPiecePosition));
  if (mSpriteWindow && mDraggedSprite >= 0 && mDraggedSprite < mSpriteWindow->GetSpriteCount()) {
    GeneralSprite& sprite = mSpriteWindow->GetSprite(mDraggedSprite);
    sprite.SetUserFlag(false);
    if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite())
      TSpriteAnimator::GetInstance()->RemoveAnimation(engine);
  }
  if (mGame->IsWon()) {
    PlayGameSound("WonSound");
    FinishScene();
  }
  return true;
}

bool TLabyrinthWindow::IsWon() { return mGame->IsWon(); }
