#include "minigames/rotation_tiles_window.h"

#include <cmath>

#include "graphics/texture.h"
#include "model/highscore_system.h"
#include "model/rotation_tiles_game.h"
#include "platform/log.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"

namespace {

// The whole square root of a positive count, exact for every 32-bit count.
int64_t WholeSquareRoot(int32_t count) {
  auto root = int64_t(std::sqrt(double(count)));
  while (root * root > count) root--;
  while ((root + 1) * (root + 1) <= count) root++;
  return root;
}

float TurnDegrees(const CRotationTile& tile) { return float(tile.GetStatus() * 90); }

}  // namespace

TRotationTilesWindow::TRotationTilesWindow() {
  mGame = GameModel(mStandIn);
  if (mGame->HasRotationSound()) LoadSoundAs("RotationSound", mGame->GetRotationSound());
  if (mGame->HasWonSound()) LoadSoundAs("WonSound", mGame->GetWonSound());
  HighscoreSystem::PausePlay();
}

TRotationTilesWindow::~TRotationTilesWindow() { HighscoreSystem::StartPlay(); }

std::unique_ptr<TWindow> TRotationTilesWindow::Create() { return std::make_unique<TRotationTilesWindow>(); }

void TRotationTilesWindow::DealNewBoard() {
  mGame->CreateTiles();
  std::vector<CRotationTile*> tiles = mGame->GetTiles();
  if (tiles.empty()) {
    LogPrintf("TRotationTilesWindow: scene %d has %d tiles to deal; the board stays empty", mGame->GetSeqId(),
              mGame->GetTilesCount());
    return;
  }
  // The first tile's height is the pitch in both directions.
  std::shared_ptr<TTexture> first = TTexture::Get(tiles.front()->GetImage());
  int64_t pitch = first ? int64_t(first->GetHeight()) : 0;
  int64_t side = WholeSquareRoot(mGame->GetTilesCount());
  for (size_t n = 0; n < tiles.size(); n++) {
    int64_t column = int64_t(n) % side, row = int64_t(n) / side;
    tiles[n]->SetPosition(scene::Truncate(double(mGame->GetStartPositionX() + column * pitch)),
                          scene::Truncate(double(mGame->GetStartPositionY() + row * pitch)));
  }
}

void TRotationTilesWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  if (mGame->GetTiles().empty()) DealNewBoard();
  if (!mSpriteWindow) return;
  for (CRotationTile* tile : mGame->GetTiles()) {
    CRotationTile::TPosition place = tile->GetPosition();
    GeneralSprite sprite(tile->GetImage(), place.x, place.y, SpritePivotCentre, SpriteKindRotationTile, tile->GetId(),
                         1.0f, 0);
    sprite.SetClickable(true);
    mSpriteWindow->AddSprite(sprite);
    mSpriteWindow->SetSpriteRotation(tile->GetId(), TurnDegrees(*tile));
  }
}

bool TRotationTilesWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  int32_t index = 0;
  if (!IsInputOpen() || !mSpriteWindow || !mSpriteWindow->GetSpriteAtPoint(point, index) ||
      mSpriteWindow->GetSprite(index).GetKind() != SpriteKindRotationTile)
    return TMiniGameWindow::OnMouseDown(point);
  TString id = mSpriteWindow->GetSprite(index).GetName();
  for (CRotationTile* tile : mGame->GetTiles()) {
    if (!(tile->GetId() == id)) continue;
    tile->Rotate();
    mSpriteWindow->SetSpriteRotation(id, TurnDegrees(*tile));
    if (mGame->IsWon()) {
      PlayGameSound("WonSound");
      FinishScene();
    } else {
      PlayGameSound("RotationSound");
    }
  }
  return true;
}

bool TRotationTilesWindow::IsWon() { return mGame->IsWon(); }
