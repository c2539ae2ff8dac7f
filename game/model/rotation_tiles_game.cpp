#include "model/rotation_tiles_game.h"

#include <algorithm>

#include "model/model_types.h"
#include "model/random_draw.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "platform/log.h"

void CRotationTile::Serialize(std::string& out) const {
  CRecordWriter record("MakeRotationTile");
  record.String("id", mId);
  record.Number("status", mStatus);
  record.String("image", mImage);
  record.Number("posX", mPosX);
  record.Number("posY", mPosY);
  record.Finish(out);
}

void CRotationTile::SetStatus(int32_t status) { mStatus = (status % 4 + 4) % 4; }

void CRotationTile::SetPosition(int32_t x, int32_t y) {
  mPosX = x;
  mPosY = y;
}

bool CRotationTilesGame::IsOfType(int modelType) const { return modelType == ModelRotationTilesGame; }

void CRotationTilesGame::AddTile(std::unique_ptr<CRotationTile> tile) {
  if (tile) mTiles.push_back(std::move(tile));
}

std::vector<CRotationTile*> CRotationTilesGame::GetTiles() const {
  std::vector<CRotationTile*> tiles;
  for (const auto& tile : mTiles) tiles.push_back(tile.get());
  return tiles;
}

bool CRotationTilesGame::RotateTile(const TString& id) {
  bool turned = false;
  for (const auto& tile : mTiles) {
    if (!SameBytes(tile->GetId(), id)) continue;
    tile->Rotate();
    turned = true;
  }
  return turned;
}

void CRotationTilesGame::CreateTiles() {
  int32_t count = std::clamp(mTilesCount, 0, MaxNewTiles);
  if (count != mTilesCount)
    LogPrintf("Rotation tiles %d: a new board of %d tiles gets %d", GetSeqId(), mTilesCount, count);
  SeedGameRandFromWallClock();
  for (int32_t n = 0; n < count; ++n) {
    auto tile = std::make_unique<CRotationTile>();
    tile->SetStatus(DrawIndex(4));
    tile->SetId(TString::Printf("tile_%d", n));
    tile->SetImage(mTilesFilepath + TString::Printf("%d", n));
    mTiles.push_back(std::move(tile));
  }
}

bool CRotationTilesGame::IsWon() const {
  return std::all_of(mTiles.begin(), mTiles.end(), [](const auto& tile) { return tile->GetStatus() == 0; });
}

void CRotationTilesGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeRotationTilesGame");
  CScene::Serialize(record.Buffer());
  if (HasRotationSound()) record.String("rotationSound", mRotationSound);
  if (HasWonSound()) record.String("wonSound", mWonSound);
  record.String("tilesFilepath", mTilesFilepath);
  record.Number("tilesCount", mTilesCount);
  record.Number("startPositionX", mStartPositionX);
  record.Number("startPositionY", mStartPositionY);
  for (const auto& tile : mTiles) record.Nested(*tile);
  record.Finish(out);
}
