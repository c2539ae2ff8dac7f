#include "minigames/memory_window.h"

#include <algorithm>

#include "graphics/sprites/sprite.h"
#include "model/highscore_system.h"
#include "model/memory_game.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"

namespace {

const char* const BacksideSuffix = "_backside";
constexpr uint32_t BacksideSuffixLength = 9;

TString BackName(const TString& id) { return id + BacksideSuffix; }

}  // namespace

TMemoryWindow::TMemoryWindow() {
  mGame = GameModel(mStandIn);
  if (mGame->HasUncoverSound()) LoadSoundAs("UncoverSound", mGame->GetUncoverSound());
  if (mGame->HasWonSound()) LoadSoundAs("WonSound", mGame->GetWonSound());
  if (mGame->HasRightPairSound()) LoadSoundAs("RightPairSound", mGame->GetRightPairSound());
  if (mGame->HasWrongPairSound()) LoadSoundAs("WrongPairSound", mGame->GetWrongPairSound());
  mShowClock.Pause();
  mShowClock.Reset();
  HighscoreSystem::PausePlay();
}

TMemoryWindow::~TMemoryWindow() { HighscoreSystem::StartPlay(); }

std::unique_ptr<TWindow> TMemoryWindow::Create() { return std::make_unique<TMemoryWindow>(); }

void TMemoryWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  if (mGame->GetCardGrid().empty()) mGame->DealCards();
  if (mSpriteWindow) LayOutCards();
}

void TMemoryWindow::LayOutCards() {
  std::vector<CMemoryPiece*> grid = mGame->GetCardGrid();
  // The pitch is the size of the card last laid out; before the first card it is that
  // card's own size, so that a board reopened with its first cells empty keeps its spacing.
  TPoint size(0, 0);
  auto first = std::find_if(grid.begin(), grid.end(), [](const CMemoryPiece* card) { return card != nullptr; });
  if (first != grid.end()) size = ImageSize(GeneralSprite((*first)->GetImage(), 0, 0, SpritePivotTopLeft, 0, "", 1.0f, 0));
  const int64_t distance = mGame->GetDistanceCards(), columns = mGame->GetGridColumns();
  std::shared_ptr<TSprite> root = mSpriteWindow->GetRootSprite();
  int64_t column = 0, row = 0;
  for (const CMemoryPiece* card : grid) {
    if (card) {
      int32_t x = scene::Truncate(double(mGame->GetStartPositionCardsX() + (distance + size.x) * column));
      int32_t y = scene::Truncate(double(mGame->GetStartPositionCardsY() + (distance + size.y) * row));
      GeneralSprite face(card->GetImage(), x, y, SpritePivotTopLeft, SpriteKindMemoryFace, card->GetId(), 1.0f, 0);
      mSpriteWindow->AddSprite(face);
      if (std::shared_ptr<TSprite> engine = face.GetCurrentSprite(); engine && root) root->RemoveChild(engine);
      GeneralSprite back(mGame->GetCardBackside(), x, y, SpritePivotTopLeft, SpriteKindMemoryBack,
                         BackName(card->GetId()), 1.0f, 0);
      back.SetClickable(true);
      mSpriteWindow->AddSprite(back);
      size = ImageSize(face);
    }
    if (column < columns - 1) {
      column++;
    } else {
      row++;
      column = 0;
    }
  }
}

void TMemoryWindow::ShowFace(const TString& id, bool face) {
  std::shared_ptr<TSprite> root = mSpriteWindow->GetRootSprite();
  int32_t faceIndex = 0, backIndex = 0;
  if (!root || !mSpriteWindow->FindSprite(id, faceIndex) || !mSpriteWindow->FindSprite(BackName(id), backIndex)) return;
  GeneralSprite& shown = mSpriteWindow->GetSprite(face ? faceIndex : backIndex);
  GeneralSprite& hidden = mSpriteWindow->GetSprite(face ? backIndex : faceIndex);
  if (std::shared_ptr<TSprite> engine = hidden.GetCurrentSprite()) root->RemoveChild(engine);
  mSpriteWindow->AttachSprite(shown);
  mSpriteWindow->GetSprite(backIndex).SetClickable(!face);
}

bool TMemoryWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  int32_t index = 0;
  if (!IsInputOpen() || mWaiting || !mSpriteWindow || !mSpriteWindow->GetSpriteAtPoint(point, index) ||
      mSpriteWindow->GetSprite(index).GetKind() != SpriteKindMemoryBack)
    return TMiniGameWindow::OnMouseDown(point);
  TString back = mSpriteWindow->GetSprite(index).GetName();
  if (back.Length() < BacksideSuffixLength) return true;
  TString id = back.Substr(0, int32_t(back.Length() - BacksideSuffixLength));
  ShowFace(id, true);
  mUncovered.push_back(id);
  if (mUncovered.size() == 2) {
    mWaiting = true;
    mShowClock.Start();
    BlockInput(0, mGame->GetTimeTwoCardsUncoveredShown());
    PlayGameSound(CMemoryGame::IsPair(mUncovered[0], mUncovered[1]) ? "RightPairSound" : "WrongPairSound");
  } else {
    PlayGameSound("UncoverSound");
  }
  return true;
}

void TMemoryWindow::EndTurn() {
  mShowClock.Pause();
  mShowClock.Reset();
  mWaiting = false;
  if (mUncovered.size() != 2 || !mSpriteWindow) return;
  if (CMemoryGame::IsPair(mUncovered[0], mUncovered[1])) {
    for (const TString& id : mUncovered) mSpriteWindow->RemoveSprite(id);
    for (const TString& id : mUncovered) mSpriteWindow->RemoveSprite(BackName(id));
    for (const TString& id : mUncovered) mGame->RemoveCard(id);
    if (mGame->IsWon()) {
      PlayGameSound("WonSound");
      FinishScene();
    }
  } else {
    for (const TString& id : mUncovered) ShowFace(id, false);
  }
  mUncovered.clear();
}

bool TMemoryWindow::Animate() {
  if (int64_t(mGame->GetTimeTwoCardsUncoveredShown()) <= int64_t(mShowClock.GetTime())) EndTurn();
  return TMiniGameWindow::Animate();
}

bool TMemoryWindow::IsWon() { return mGame->IsWon(); }
