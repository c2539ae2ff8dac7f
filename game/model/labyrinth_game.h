#pragma once
// CLabyrinthGame: the model of the sliding labyrinth: blocks of one or more boxes (fields)
// and single-box tiles on a grid of X columns (1 to X) and Y rows (1 to Y), inside a border
// ring (column 0 and X + 1, row 0 and Y + 1) that the start and end positions open. The
// player slides pieces one box at a time into free boxes; blocks stay inside the playing
// area, tiles may pass through the openings. The puzzle is solved when every tile stands on
// the position its endPosId names.
//
// The cell grid and the openings are built from the pieces' places (BuildBoard, then
// OccupyField for each block once the window knows its size) and are not saved; the
// pieces' current places are, so a half-solved labyrinth comes back as it was left.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/scene.h"
#include "platform/engine_string.h"

// The board grows no wider or taller than this many boxes, whatever the record says.
constexpr int32_t LabyrinthMaxBoxes = 256;

// A block or a tile: its box of the top-left corner and its size in boxes.
class CLabyrinthField {
 public:
  virtual ~CLabyrinthField() = default;

  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetPath() const { return mPath; }
  void SetPath(const TString& path) { mPath = path; }
  int32_t GetBoxX() const { return mBoxX; }
  void SetBoxX(int32_t column) { mBoxX = column; }
  int32_t GetBoxY() const { return mBoxY; }
  void SetBoxY(int32_t row) { mBoxY = row; }
  // Blocks only: the player may drag it.
  bool IsMoveable() const { return mMoveable; }
  void SetMoveable(bool moveable) { mMoveable = moveable; }
  // The size in boxes, measured by the window from the image: at least 1, at most the
  // grid with its border.
  int32_t GetBoxWidth() const { return mBoxWidth; }
  void SetBoxWidth(int32_t width) { mBoxWidth = std::clamp(width, 1, LabyrinthMaxBoxes + 2); }
  int32_t GetBoxHeight() const { return mBoxHeight; }
  void SetBoxHeight(int32_t height) { mBoxHeight = std::clamp(height, 1, LabyrinthMaxBoxes + 2); }
  // Tiles only: the id of the start or end position the tile must reach.
  const TString& GetEndPosId() const { return mEndPosId; }
  void SetEndPosId(const TString& id) { mEndPosId = id; }

 private:
  TString mId;
  TString mPath;
  int32_t mBoxX = 0;
  int32_t mBoxY = 0;
  bool mMoveable = false;
  int32_t mBoxWidth = 1;
  int32_t mBoxHeight = 1;
  TString mEndPosId;
};

class CLabyrinthGame : public CScene {
 public:
  enum TMove { MoveUp, MoveDown, MoveLeft, MoveRight };
  static constexpr int32_t MaxBoxes = LabyrinthMaxBoxes;

  // True for 44 only.
  bool IsOfType(int modelType) const override;
  // The MakeLabyrinthGame record: the scene fields, the won sound when there is one, the
  // board's measures, the positions, the tiles and the blocks at their current places.
  void Serialize(std::string& out) const override;

  void SetStartPositionPlayingAreaX(int32_t x) { mStartPositionPlayingAreaX = x; }
  void SetStartPositionPlayingAreaY(int32_t y) { mStartPositionPlayingAreaY = y; }
  void SetLengthOneBox(int32_t length) { mLengthOneBox = length; }
  void SetCountBoxesXDirection(int32_t count) { mCountBoxesXDirection = count; }
  void SetCountBoxesYDirection(int32_t count) { mCountBoxesYDirection = count; }
  void SetWonSound(const TString& file) { mWonSound = file; }
  int32_t GetStartPositionPlayingAreaX() const { return mStartPositionPlayingAreaX; }
  int32_t GetStartPositionPlayingAreaY() const { return mStartPositionPlayingAreaY; }
  int32_t GetLengthOneBox() const { return mLengthOneBox; }
  int32_t GetCountBoxesXDirection() const { return mCountBoxesXDirection; }
  int32_t GetCountBoxesYDirection() const { return mCountBoxesYDirection; }
  bool HasWonSound() const { return !mWonSound.IsEmpty(); }
  const TString& GetWonSound() const { return mWonSound; }

  // Pieces, owned from now on, in loading order; a null piece is ignored.
  void AddField(std::unique_ptr<CLabyrinthField> field);
  void AddTile(std::unique_ptr<CLabyrinthField> tile);
  std::vector<CLabyrinthField*> GetFields() const;
  std::vector<CLabyrinthField*> GetTiles() const;
  // The first block (tile) of that id, or null.
  CLabyrinthField* GetFieldById(const TString& id) const;
  CLabyrinthField* GetTileById(const TString& id) const;

  // The start and end positions: three lists in step, entry i of each describing position i.
  void AddStartEndPosition(const TString& id, int32_t column, int32_t row);
  // One list at a time; only the entries present in all three count as positions.
  void AddStartEndPositionId(const TString& id) { mPositionIds.push_back(id); }
  void AddStartEndPositionBoxX(int32_t column) { mPositionColumns.push_back(column); }
  void AddStartEndPositionBoxY(int32_t row) { mPositionRows.push_back(row); }
  int32_t GetStartEndPositionCount() const;
  // Position i's id, column and row; "" and 0 past the end.
  TString GetStartEndPositionId(int32_t index) const;
  int32_t GetStartEndPositionBoxX(int32_t index) const;
  int32_t GetStartEndPositionBoxY(int32_t index) const;

  // Builds the cell grid (the border ring walled, the playing area free), opens the ring at
  // each position that lies on it beside the playing area and takes the tiles' cells. A
  // position in a corner of the ring or beyond it opens nothing; a tile outside the grid
  // takes no cell (each with a log line).
  void BuildBoard();
  // Takes the cells that a block covers (its size set), as far as they lie in the grid.
  void OccupyField(const CLabyrinthField& block);
  // One cell, column 0 to X + 1 and row 0 to Y + 1; outside the grid is a wall.
  bool IsCellFree(int32_t column, int32_t row) const;
  void SetCellFree(int32_t column, int32_t row, bool free);
  // The openings beside row (column) index + 1; false outside the playing area.
  bool HasLeftExit(int32_t rowIndex) const;
  bool HasRightExit(int32_t rowIndex) const;
  bool HasTopExit(int32_t columnIndex) const;
  bool HasBottomExit(int32_t columnIndex) const;

  // Slides a movable block one box within the playing area; false when it cannot go.
  bool MoveField(CLabyrinthField& block, TMove move);
  // Slides a tile one box onto a free cell, out of the playing area only through an opening.
  bool MoveTile(CLabyrinthField& tile, TMove move);
  // Every tile stands on each position named by its endPosId (also when there are none).
  bool IsWon() const;

 private:
  using Pieces = std::vector<std::unique_ptr<CLabyrinthField>>;
  int32_t Columns() const { return mGridColumns - 2; }
  int32_t Rows() const { return mGridRows - 2; }
  bool InPlayingArea(int64_t column, int64_t row) const;
  // The cell's index in mCells, -1 outside the grid. Places are wide, so that a piece's
  // place from the record plus its size never overflows.
  int64_t CellIndex(int64_t column, int64_t row) const;
  bool CellFree(int64_t column, int64_t row) const;
  void SetCell(int64_t column, int64_t row, bool free);
  // Sets a run of `count' cells from (column, row) on, stepping by (dx, dy); clipped to the
  // grid. AllFree answers whether every cell of such a run is free.
  void SetRun(int64_t column, int64_t row, int64_t dx, int64_t dy, int32_t count, bool free);
  bool AllFree(int64_t column, int64_t row, int64_t dx, int64_t dy, int32_t count) const;
  void OpenRing(int32_t index, int32_t column, int32_t row);

  Pieces mFields;
  Pieces mTiles;
  std::vector<TString> mPositionIds;
  std::vector<int32_t> mPositionColumns;
  std::vector<int32_t> mPositionRows;
  int32_t mStartPositionPlayingAreaX = 0;
  int32_t mStartPositionPlayingAreaY = 0;
  int32_t mLengthOneBox = 0;
  int32_t mCountBoxesXDirection = 0;
  int32_t mCountBoxesYDirection = 0;
  // Row by row, mGridColumns cells a row; 1 is free.
  std::vector<uint8_t> mCells;
  // No grid until BuildBoard.
  int32_t mGridColumns = 0;
  int32_t mGridRows = 0;
  std::vector<bool> mLeftExits;
  std::vector<bool> mRightExits;
  std::vector<bool> mTopExits;
  std::vector<bool> mBottomExits;
  TString mWonSound;
};
