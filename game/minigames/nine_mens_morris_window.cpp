#include "minigames/nine_mens_morris_window.h"

#include "model/nine_mens_morris_game.h"
#include "scenes/general_sprite.h"
#include "scenes/sprite_window.h"

TNineMensMorrisWindow::TNineMensMorrisWindow() {
  mGame = GameModel(mStandIn);
  LoadWinAndLoseSounds();
}

TNineMensMorrisWindow::~TNineMensMorrisWindow() = default;

std::unique_ptr<TWindow> TNineMensMorrisWindow::Create() { return std::make_unique<TNineMensMorrisWindow>(); }

void TNineMensMorrisWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  mGame->BuildFields();
  for (int32_t i = 0; i < mGame->GetFieldCount(); i++) ShowPoint(i, false);
  mSingleGap = mGame->HasAtMostOneEmpty();
}

void TNineMensMorrisWindow::ShowPoint(int32_t point, bool selected) {
  const CNineMensMorrisField* field = mGame->GetField(point);
  if (!field || !mSpriteWindow) return;
  TString name = TString::Printf("%d", point);
  mSpriteWindow->RemoveSprite(name);
  TString image = mGame->GetFilepath() + TString::Printf("%d", field->GetStatus()) + (selected ? "a" : "");
  CNineMensMorrisField::TPosition position = field->GetPosition();
  GeneralSprite sprite(image, position.x, position.y, SpritePivotTopLeft, SpriteKindMorrisPoint, name, 1.0f, 0);
  sprite.SetClickable(true);
  mSpriteWindow->AddSprite(sprite);
}

bool TNineMensMorrisWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  int32_t index = 0;
  if (!IsInputOpen() || !mSpriteWindow || !mSpriteWindow->GetSpriteAtPoint(point, index) ||
      mSpriteWindow->GetSprite(index).GetKind() != SpriteKindMorrisPoint)
    return TMiniGameWindow::OnMouseDown(point);
  const int32_t clicked = mSpriteWindow->GetSprite(index).GetName().ToInt();
  const bool piece = mGame->GetFieldStatus(clicked) != 0;
  if (mSingleGap) {
    // Every click on a piece is a whole move, into the first empty point (-1 on a full
    // board, which no point is joined to).
    if (piece) mSelection = {clicked, mGame->FindFirstEmpty()};
  } else if (mSelection.empty()) {
    if (piece) {
      mSelection = {clicked};
      ShowPoint(clicked, true);
    }
  } else {
    mSelection.push_back(clicked);
    ShowPoint(mSelection.front(), false);
  }
  if (mSelection.size() == 2) EndMove();
  return true;
}

void TNineMensMorrisWindow::EndMove() {
  const int32_t from = mSelection[0], to = mSelection[1];
  mSelection.clear();
  if (!mGame->MovePiece(from, to)) {
    PlayGameSound("lose");
    return;
  }
  ShowPoint(from, false);
  ShowPoint(to, false);
  if (mGame->IsWon()) {
    PlayGameSound("win");
    FinishScene();
  }
}

bool TNineMensMorrisWindow::IsWon() { return mGame->IsWon(); }
