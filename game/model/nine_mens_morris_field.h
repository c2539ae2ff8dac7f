#pragma once
// CNineMensMorrisField: one point of the morris board as the game is played: its index on
// the board, the points joined to it by a line, the piece standing on it (its status, 0
// for none) and the piece it expects at the end.

#include <cstdint>
#include <string>
#include <vector>

#include "model/serializable.h"

class CNineMensMorrisField : public ISerializable {
 public:
  struct TPosition {
    int32_t x = 0;
    int32_t y = 0;
  };

  // The point's record in the board list, its current status written as the start status:
  // "\n\t{xPos = x, yPos = y, statusStart = s, statusEnd = e, {n1, n2}},\n".
  void Serialize(std::string& out) const override;

  int32_t GetIndex() const { return mIndex; }
  void SetIndex(int32_t index) { mIndex = index; }
  int32_t GetStatus() const { return mStatus; }
  void SetStatus(int32_t status) { mStatus = status; }
  int32_t GetStatusEnd() const { return mStatusEnd; }
  void SetStatusEnd(int32_t status) { mStatusEnd = status; }
  TPosition GetPosition() const { return {mX, mY}; }
  void SetPosition(int32_t x, int32_t y);
  void AddNeighbour(int32_t index) { mNeighbours.push_back(index); }
  int32_t GetNeighbourCount() const { return int32_t(mNeighbours.size()); }
  // Entry i of the neighbours; -1 past the end.
  int32_t GetNeighbour(int32_t i) const;
  bool HasNeighbour(int32_t index) const;

 private:
  int32_t mIndex = 0;
  std::vector<int32_t> mNeighbours;
  int32_t mStatus = 0;
  int32_t mStatusEnd = 0;
  int32_t mX = 0;
  int32_t mY = 0;
};

// One point's record: "\n\t{xPos = x, yPos = y, statusStart = s, statusEnd = e, {...}},\n".
void WriteMorrisPoint(std::string& out, CNineMensMorrisField::TPosition position, int32_t statusStart,
                      int32_t statusEnd, const std::vector<int32_t>& neighbours);
