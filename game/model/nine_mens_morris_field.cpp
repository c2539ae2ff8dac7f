#include "model/nine_mens_morris_field.h"

#include <algorithm>

void CNineMensMorrisField::SetPosition(int32_t x, int32_t y) {
  mX = x;
  mY = y;
}

int32_t CNineMensMorrisField::GetNeighbour(int32_t i) const {
  return i >= 0 && size_t(i) < mNeighbours.size() ? mNeighbours[size_t(i)] : -1;
}

bool CNineMensMorrisField::HasNeighbour(int32_t index) const {
  return std::find(mNeighbours.begin(), mNeighbours.end(), index) != mNeighbours.end();
}

void CNineMensMorrisField::Serialize(std::string& out) const {
  WriteMorrisPoint(out, GetPosition(), mStatus, mStatusEnd, mNeighbours);
}

void WriteMorrisPoint(std::string& out, CNineMensMorrisField::TPosition position, int32_t statusStart,
                      int32_t statusEnd, const std::vector<int32_t>& neighbours) {
  out += "\n\t{xPos = " + std::to_string(position.x) + ", yPos = " + std::to_string(position.y) +
         ", statusStart = " + std::to_string(statusStart) + ", statusEnd = " + std::to_string(statusEnd) + ", {";
  for (size_t i = 0; i < neighbours.size(); ++i) {
    if (i > 0) out += ", ";
    out += std::to_string(neighbours[i]);
  }
  out += "}},\n";
}
