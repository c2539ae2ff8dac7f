#pragma once
// TRect: an integer rectangle of the window system (right and bottom exclusive).

#include <algorithm>
#include <cstdint>

struct TRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  TRect() = default;
  TRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  // The larger left and top, the smaller right and bottom (may come out empty).
  TRect Intersect(const TRect& o) const {
    return TRect(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom));
  }
  bool operator==(const TRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const TRect& o) const { return !(*this == o); }
};
