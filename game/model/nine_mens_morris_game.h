#pragma once
// CNineMensMorrisGame: the model of the morris puzzle: a board of points joined by lines,
// pieces of one or more kinds (statuses other than 0) standing on some of them. A piece moves
// along a line to a joined empty point; the puzzle is solved when every piece stands on a
// point that expects its kind. With one empty point it plays as a sliding puzzle.
//
// The record gives the board as four lists, one entry per point: positions, start statuses,
// end statuses and neighbour lists (the indices of the points a piece may move to from
// there; a line is one-way in the data). Each time the screen opens, BuildFields lays out
// the point objects from the lists; moves change only the point objects, and a save writes
// them with their current statuses as start statuses, so the board comes back as it was
// left.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/nine_mens_morris_field.h"
#include "model/scene.h"
#include "platform/engine_string.h"

class CNineMensMorrisGame : public CScene {
 public:
  using TPosition = CNineMensMorrisField::TPosition;

  // True for 30 only.
  bool IsOfType(int modelType) const override;
  // The MakeNineMensMorrisGame record: the scene fields, the filepath and the list of points
  // (the point objects when the board is laid out, else the loaded lists).
  void Serialize(std::string& out) const override;

  // The prefix of the point images: a point shows filepath followed by its status.
  const TString& GetFilepath() const { return mFilepath; }
  void SetFilepath(const TString& path) { mFilepath = path; }

  // The board as loaded. The record gives each point's four entries together; the board has
  // as many points as neighbour lists.
  void AddFieldPosition(int32_t x, int32_t y) { mPositions.push_back({x, y}); }
  void AddFieldStatusStart(int32_t status) { mStatusStart.push_back(status); }
  void AddFieldStatusEnd(int32_t status) { mStatusEnd.push_back(status); }
  void AddFieldNeighbours(const std::vector<int32_t>& neighbours) { mNeighbours.push_back(neighbours); }
  // Entry i of the lists; the origin, 0 and 0 past the end of a shorter list.
  TPosition GetFieldPosition(int32_t i) const;
  int32_t GetStatusStart(int32_t i) const;
  int32_t GetStatusEnd(int32_t i) const;
  int32_t GetNeighbourListCount() const { return int32_t(mNeighbours.size()); }
  int32_t GetNeighbourCount(int32_t i) const;
  // Entry j of neighbour list i; -1 past the end.
  int32_t GetNeighbour(int32_t i, int32_t j) const;

  // The point objects, point i at index i, owned; a null point is ignored.
  void AddField(std::unique_ptr<CNineMensMorrisField> field);
  void RemoveLastField();
  CNineMensMorrisField* GetField(int32_t i) const;
  int32_t GetFieldCount() const { return int32_t(mFields.size()); }
  // Drops the point objects and makes one per neighbour list from the loaded lists. A
  // neighbour index that names no point is left out, with a log line.
  void BuildFields();

  // Every index below names a point object; any other index is refused (0, false, nothing).
  int32_t GetFieldStatus(int32_t i) const;
  void ExchangeFieldStatus(int32_t a, int32_t b);
  // False when a is empty; else whether b is in a's neighbours.
  bool IsNeighbour(int32_t a, int32_t b) const;
  // Whether a or b is empty.
  bool IsMoveTargetFree(int32_t a, int32_t b) const;
  // A move of the piece on a to b: a joined to b, and b free. False when refused.
  bool MovePiece(int32_t a, int32_t b);
  // Fewer than two empty points: the board plays as a sliding puzzle.
  bool HasAtMostOneEmpty() const;
  // The first empty point, or -1.
  int32_t FindFirstEmpty() const;
  // Every point empty or holding the piece it expects (also with no points).
  bool IsWon() const;

 private:
  bool IsPoint(int32_t i) const { return i >= 0 && size_t(i) < mFields.size(); }

  std::vector<std::unique_ptr<CNineMensMorrisField>> mFields;
  TString mFilepath;
  std::vector<TPosition> mPositions;
  std::vector<int32_t> mStatusStart;
  std::vector<int32_t> mStatusEnd;
  std::vector<std::vector<int32_t>> mNeighbours;
};
