#pragma once
// TPoint: a 32-bit integer point (x, y) in window or engine coordinates.

#include <cstdint>

struct TPoint {
  int32_t x = 0;
  int32_t y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int32_t px, int32_t py) : x(px), y(py) {}
  constexpr bool operator==(const TPoint& other) const { return x == other.x && y == other.y; }
  constexpr bool operator!=(const TPoint& other) const { return !(*this == other); }
};
