#pragma once
// CRotationTilesGame: the model of the rotation-tiles game: a board of image tiles, each
// turned by a number of quarter turns; the player turns tiles one quarter at a time until
// every tile stands upright. The tiles' turns and places are saved, so a half-solved board
// comes back as it was left.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/scene.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

class CRotationTile : public ISerializable {
 public:
  struct TPosition {
    int32_t x = 0;
    int32_t y = 0;
  };

  // The MakeRotationTile record.
  void Serialize(std::string& out) const override;

  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetImage() const { return mImage; }
  void SetImage(const TString& image) { mImage = image; }
  // Quarter turns, 0 (upright) to 3; any other number is taken modulo 4.
  int32_t GetStatus() const { return mStatus; }
  void SetStatus(int32_t status);
  TPosition GetPosition() const { return {mPosX, mPosY}; }
  void SetPosition(int32_t x, int32_t y);
  // One quarter turn on: 3 becomes 0.
  void Rotate() { mStatus = (mStatus + 1) % 4; }

 private:
  TString mId;
  int32_t mStatus = 0;
  TString mImage;
  int32_t mPosX = 0;
  int32_t mPosY = 0;
};

class CRotationTilesGame : public CScene {
 public:
  // A new board makes no more tiles than this, whatever the record's count.
  static constexpr int32_t MaxNewTiles = 1024;

  // True for 42 only.
  bool IsOfType(int modelType) const override;
  // The MakeRotationTilesGame record: the scene fields, the sounds that are set, the board's
  // settings and every tile with its turn and place.
  void Serialize(std::string& out) const override;

  void SetTilesCount(int32_t count) { mTilesCount = count; }
  void SetStartPositionX(int32_t x) { mStartPositionX = x; }
  void SetStartPositionY(int32_t y) { mStartPositionY = y; }
  void SetTilesFilepath(const TString& path) { mTilesFilepath = path; }
  void SetRotationSound(const TString& file) { mRotationSound = file; }
  void SetWonSound(const TString& file) { mWonSound = file; }
  // Appends a filled tile, owned from now on; a null tile is ignored.
  void AddTile(std::unique_ptr<CRotationTile> tile);

  int32_t GetTilesCount() const { return mTilesCount; }
  int32_t GetStartPositionX() const { return mStartPositionX; }
  int32_t GetStartPositionY() const { return mStartPositionY; }
  const TString& GetTilesFilepath() const { return mTilesFilepath; }
  bool HasRotationSound() const { return !mRotationSound.IsEmpty(); }
  bool HasWonSound() const { return !mWonSound.IsEmpty(); }
  const TString& GetRotationSound() const { return mRotationSound; }
  const TString& GetWonSound() const { return mWonSound; }
  // The tiles in board order; the game keeps them.
  std::vector<CRotationTile*> GetTiles() const;
  // A click on a tile: every tile of that id turns a quarter on. False when none has it.
  bool RotateTile(const TString& id);

  // A new board of tilesCount tiles "tile_0", "tile_1" ... showing the images tilesFilepath
  // followed by the number, each turned at random (the generator seeded from the wall
  // clock). Places are the window's to lay out.
  void CreateTiles();
  // Every tile upright (also when there are none).
  bool IsWon() const;

 private:
  std::vector<std::unique_ptr<CRotationTile>> mTiles;
  int32_t mTilesCount = 0;
  int32_t mStartPositionX = 0;
  int32_t mStartPositionY = 0;
  TString mTilesFilepath;
  TString mRotationSound;
  TString mWonSound;
};
