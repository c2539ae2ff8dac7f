#include "model/labyrinth_game.h"

#include <algorithm>

#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "platform/log.h"

namespace {

CLabyrinthField* FindById(const std::vector<std::unique_ptr<CLabyrinthField>>& pieces, const TString& id) {
  for (const auto& piece : pieces) {
    if (SameBytes(piece->GetId(), id)) return piece.get();
  }
  return nullptr;
}

std::vector<CLabyrinthField*> PointersOf(const std::vector<std::unique_ptr<CLabyrinthField>>& pieces) {
  std::vector<CLabyrinthField*> list;
  for (const auto& piece : pieces) list.push_back(piece.get());
  return list;
}

bool ExitAt(const std::vector<bool>& exits, int32_t index) {
  return index >= 0 && size_t(index) < exits.size() && exits[size_t(index)];
}

// The nested records of the labyrinth stand without the empty line before them.
void WritePiece(CRecordWriter& game, const char* constructor, const CLabyrinthField& piece, bool tile) {
  CRecordWriter record(constructor, CRecordWriter::Head::NoEmptyLine);
  record.String("id", piece.GetId());
  record.String("path", piece.GetPath());
  record.Number("boxX", piece.GetBoxX());
  record.Number("boxY", piece.GetBoxY());
  if (tile)
    record.String("endPosId", piece.GetEndPosId());
  else
    record.Flag("moveable", piece.IsMoveable());
  record.Finish(game.Buffer());
}

}  // namespace

bool CLabyrinthGame::IsOfType(int modelType) const { return modelType == ModelLabyrinthGame; }

void CLabyrinthGame::AddField(std::unique_ptr<CLabyrinthField> field) {
  if (field) mFields.push_back(std::move(field));
}

void CLabyrinthGame::AddTile(std::unique_ptr<CLabyrinthField> tile) {
  if (tile) mTiles.push_back(std::move(tile));
}

std::vector<CLabyrinthField*> CLabyrinthGame::GetFields() const { return PointersOf(mFields); }

std::vector<CLabyrinthField*> CLabyrinthGame::GetTiles() const { return PointersOf(mTiles); }

CLabyrinthField* CLabyrinthGame::GetFieldById(const TString& id) const { return FindById(mFields, id); }

CLabyrinthField* CLabyrinthGame::GetTileById(const TString& id) const { return FindById(mTiles, id); }

void CLabyrinthGame::AddStartEndPosition(const TString& id, int32_t column, int32_t row) {
  AddStartEndPositionId(id);
  AddStartEndPositionBoxX(column);
  AddStartEndPositionBoxY(row);
}

int32_t CLabyrinthGame::GetStartEndPositionCount() const {
  return int32_t(std::min({mPositionIds.size(), mPositionColumns.size(), mPositionRows.size()}));
}

TString CLabyrinthGame::GetStartEndPositionId(int32_t index) const {
  return index >= 0 && index < GetStartEndPositionCount() ? mPositionIds[size_t(index)] : TString();
}

int32_t CLabyrinthGame::GetStartEndPositionBoxX(int32_t index) const {
  return index >= 0 && index < GetStartEndPositionCount() ? mPositionColumns[size_t(index)] : 0;
}

int32_t CLabyrinthGame::GetStartEndPositionBoxY(int32_t index) const {
  return index >= 0 && index < GetStartEndPositionCount() ? mPositionRows[size_t(index)] : 0;
}

int64_t CLabyrinthGame::CellIndex(int64_t column, int64_t row) const {
  if (column < 0 || row < 0 || column >= mGridColumns || row >= mGridRows) return -1;
  return row * mGridColumns + column;
}

bool CLabyrinthGame::CellFree(int64_t column, int64_t row) const {
  int64_t index = CellIndex(column, row);
  return index >= 0 && mCells[size_t(index)];
}

void CLabyrinthGame::SetCell(int64_t column, int64_t row, bool free) {
  int64_t index = CellIndex(column, row);
  if (index >= 0) mCells[size_t(index)] = free;
}

bool CLabyrinthGame::IsCellFree(int32_t column, int32_t row) const { return CellFree(column, row); }

void CLabyrinthGame::SetCellFree(int32_t column, int32_t row, bool free) { SetCell(column, row, free); }

bool CLabyrinthGame::HasLeftExit(int32_t rowIndex) const { return ExitAt(mLeftExits, rowIndex); }

bool CLabyrinthGame::HasRightExit(int32_t rowIndex) const { return ExitAt(mRightExits, rowIndex); }

bool CLabyrinthGame::HasTopExit(int32_t columnIndex) const { return ExitAt(mTopExits, columnIndex); }

bool CLabyrinthGame::HasBottomExit(int32_t columnIndex) const { return ExitAt(mBottomExits, columnIndex); }

bool CLabyrinthGame::InPlayingArea(int64_t column, int64_t row) const {
  return column >= 1 && column <= Columns() && row >= 1 && row <= Rows();
}

void CLabyrinthGame::SetRun(int64_t column, int64_t row, int64_t dx, int64_t dy, int32_t count, bool free) {
  for (int32_t i = 0; i < count; ++i) {
    SetCell(column + i * dx, row + i * dy, free);
  }
}

bool CLabyrinthGame::AllFree(int64_t column, int64_t row, int64_t dx, int64_t dy, int32_t count) const {
  for (int32_t i = 0; i < count; ++i) {
    if (!CellFree(column + i * dx, row + i * dy)) return false;
  }
  return true;
}

void CLabyrinthGame::OpenRing(int32_t index, int32_t column, int32_t row) {
  const int32_t X = Columns(), Y = Rows();
  bool columnInside = column >= 1 && column <= X;
  bool rowInside = row >= 1 && row <= Y;
  if ((column == 0 || column == X + 1) && rowInside) {
    (column == 0 ? mLeftExits : mRightExits)[size_t(row - 1)] = true;
  } else if ((row == 0 || row == Y + 1) && columnInside) {
    (row == 0 ? mTopExits : mBottomExits)[size_t(column - 1)] = true;
  } else {
    // Inside the playing area a position opens nothing and is still a tile's target.
    if (!columnInside || !rowInside)
      LogPrintf("Labyrinth %d: position \"%s\" at (%d, %d) is a corner of the border or beyond it; it opens nothing",
                GetSeqId(), GetStartEndPositionId(index).c_str(), column, row);
    return;
  }
  SetCell(column, row, true);
}

void CLabyrinthGame::BuildBoard() {
  const int32_t X = std::clamp(mCountBoxesXDirection, 0, MaxBoxes);
  const int32_t Y = std::clamp(mCountBoxesYDirection, 0, MaxBoxes);
  if (X != mCountBoxesXDirection || Y != mCountBoxesYDirection)
    LogPrintf("Labyrinth %d: a board of %d x %d boxes is played as %d x %d", GetSeqId(), mCountBoxesXDirection,
              mCountBoxesYDirection, X, Y);
  mGridColumns = X + 2;
  mGridRows = Y + 2;
  mCells.assign(size_t(mGridColumns) * size_t(mGridRows), 0);
  for (int32_t row = 1; row <= Y; ++row) SetRun(1, row, 1, 0, X, true);
  mLeftExits.assign(size_t(Y), false);
  mTopExits.assign(size_t(X), false);
  mRightExits.assign(size_t(Y), false);
  mBottomExits.assign(size_t(X), false);
  for (int32_t i = 0; i < GetStartEndPositionCount(); ++i)
    OpenRing(i, mPositionColumns[size_t(i)], mPositionRows[size_t(i)]);
  for (const auto& tile : mTiles) {
    if (CellIndex(tile->GetBoxX(), tile->GetBoxY()) >= 0)
      SetCell(tile->GetBoxX(), tile->GetBoxY(), false);
    else
      LogPrintf("Labyrinth %d: tile \"%s\" at (%d, %d) lies outside the board", GetSeqId(), tile->GetId().c_str(),
                tile->GetBoxX(), tile->GetBoxY());
  }
}

void CLabyrinthGame::OccupyField(const CLabyrinthField& block) {
  for (int32_t j = 0; j < block.GetBoxHeight(); ++j)
    SetRun(block.GetBoxX(), int64_t(block.GetBoxY()) + j, 1, 0, block.GetBoxWidth(), false);
}

bool CLabyrinthGame::MoveField(CLabyrinthField& block, TMove move) {
  const int64_t x = block.GetBoxX(), y = block.GetBoxY();
  const int32_t w = block.GetBoxWidth(), h = block.GetBoxHeight();
  if (!block.IsMoveable() || CellIndex(x, y) < 0) return false;
  switch (move) {
    case MoveUp:
      if (y == 1 || !AllFree(x, y - 1, 1, 0, w)) return false;
      SetRun(x, y + h - 1, 1, 0, w, true);
      SetRun(x, y - 1, 1, 0, w, false);
      block.SetBoxY(int32_t(y - 1));
      return true;
    case MoveDown:
      if (y + h == Rows() + 1 || !AllFree(x, y + h, 1, 0, w)) return false;
      SetRun(x, y, 1, 0, w, true);
      SetRun(x, y + h, 1, 0, w, false);
      block.SetBoxY(int32_t(y + 1));
      return true;
    case MoveLeft:
      if (x == 1 || !AllFree(x - 1, y, 0, 1, h)) return false;
      SetRun(x + w - 1, y, 0, 1, h, true);
      SetRun(x - 1, y, 0, 1, h, false);
      block.SetBoxX(int32_t(x - 1));
      return true;
    case MoveRight:
      if (x + w == Columns() + 1 || !AllFree(x + w, y, 0, 1, h)) return false;
      SetRun(x, y, 0, 1, h, true);
      SetRun(x + w, y, 0, 1, h, false);
      block.SetBoxX(int32_t(x + 1));
      return true;
  }
  return false;
}

bool CLabyrinthGame::MoveTile(CLabyrinthField& tile, TMove move) {
  const int32_t x = tile.GetBoxX(), y = tile.GetBoxY();
  // Off the grid a tile cannot move; on it, its neighbours' places fit in 32 bits.
  if (CellIndex(x, y) < 0) return false;
  // Leaving the playing area needs the opening on that side; on the ring only free cells count.
  const bool inside = InPlayingArea(x, y);
  int32_t toX = x, toY = y;
  bool open = true;
  switch (move) {
    case MoveUp:
      toY = y - 1;
      if (inside && y == 1) open = HasTopExit(x - 1);
      break;
    case MoveDown:
      toY = y + 1;
      if (inside && y == Rows()) open = HasBottomExit(x - 1);
      break;
    case MoveLeft:
      toX = x - 1;
      if (inside && x == 1) open = HasLeftExit(y - 1);
      break;
    case MoveRight:
      toX = x + 1;
      if (inside && x == Columns()) open = HasRightExit(y - 1);
      break;
  }
  if (!open || !CellFree(toX, toY)) return false;
  SetCell(x, y, true);
  SetCell(toX, toY, false);
  tile.SetBoxX(toX);
  tile.SetBoxY(toY);
  return true;
}

bool CLabyrinthGame::IsWon() const {
  const int32_t positions = GetStartEndPositionCount();
  for (const auto& tile : mTiles) {
    for (int32_t i = 0; i < positions; ++i) {
      if (!SameBytes(mPositionIds[size_t(i)], tile->GetEndPosId())) continue;
      if (tile->GetBoxX() != mPositionColumns[size_t(i)] || tile->GetBoxY() != mPositionRows[size_t(i)]) return false;
    }
  }
  return true;
}

void CLabyrinthGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeLabyrinthGame");
  CScene::Serialize(record.Buffer());
  if (HasWonSound()) record.String("wonSound", mWonSound);
  record.Number("startPositionPlayingAreaX", mStartPositionPlayingAreaX);
  record.Number("startPositionPlayingAreaY", mStartPositionPlayingAreaY);
  record.Number("lengthOneBox", mLengthOneBox);
  record.Number("countBoxesXDirection", mCountBoxesXDirection);
  record.Number("countBoxesYDirection", mCountBoxesYDirection);
  for (int32_t i = 0; i < GetStartEndPositionCount(); ++i) {
    CRecordWriter position("MakeLabyrinthStartEndPosition", CRecordWriter::Head::NoEmptyLine);
    position.String("id", mPositionIds[size_t(i)]);
    position.Number("boxX", mPositionColumns[size_t(i)]);
    position.Number("boxY", mPositionRows[size_t(i)]);
    position.Finish(record.Buffer());
  }
  for (const auto& tile : mTiles) WritePiece(record, "MakeLabyrinthTile", *tile, true);
  for (const auto& field : mFields) WritePiece(record, "MakeLabyrinthField", *field, false);
  record.Finish(out);
}
