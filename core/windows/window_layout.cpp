// The coded layout of windows. Positions and sizes in styles are coded integers:
//   position 0..40000 absolute; 40001..106666 centred with the offset p - 80000; above
//   106666 from the far edge (extent + p - 160000); negative from the far edge (extent + p)
//   unless an "align" key keeps it literal;
//   size 0..80000 absolute; above 80000 the far edge lies at extent + s - 160000; negative
//   means the window lies before its position.

#include <algorithm>

#include "windows/window.h"
#include "windows/window_style.h"

namespace {

constexpr int32_t AbsoluteLimit = 40000;
constexpr int32_t CentreCode = 80000;
constexpr int32_t CentreLimit = 106666;
constexpr int32_t MaxCode = 160000;
constexpr int32_t SizeLimit = 80000;

enum TAlignBits : int32_t { AlignCentreX = 1, AlignRight = 2, AlignCentreY = 4, AlignBottom = 8 };

// Codes are bounded first: the sums below then stay far inside 32 bits.
constexpr int32_t CodeLimit = 1 << 28;
int32_t BoundCode(int32_t value) { return std::clamp(value, -CodeLimit, CodeLimit); }

bool IsCodedPosition(int32_t p) { return p < 0 || p > AbsoluteLimit; }
bool IsCodedSize(int32_t s) { return s < 0 || s > SizeLimit; }

// A coded position together with a coded size: both count from the centre or the far edge.
void ResolveCombined(int32_t& p, int32_t& s, int32_t extent) {
  int32_t offset = p > CentreLimit ? p + extent - MaxCode : p - CentreCode;
  if (offset >= 0) {
    s = s + extent - 2 * offset - MaxCode;
    p = 2 * offset;
  } else {
    s = s + extent + 2 * offset - MaxCode;
    p = 0;
  }
}

}  // namespace

int32_t TWindow::ResolvePosition(int32_t p, int32_t size, int32_t extent, bool literalNegatives) {
  p = BoundCode(p);
  size = BoundCode(size);
  extent = BoundCode(extent);
  if (p < 0) return literalNegatives ? p : extent + p;
  if (p <= AbsoluteLimit) return p;
  if (p <= CentreLimit) return extent / 2 - size / 2 + p - CentreCode;
  return extent + p - MaxCode;
}

void TWindow::ResolveAxis(int32_t& p, int32_t& s, int32_t extent, bool centre, bool farEdge, bool hasParent,
                          bool literalNegatives) {
  p = BoundCode(p);
  s = BoundCode(s);
  extent = BoundCode(extent);
  if (p < AbsoluteLimit || p > CentreLimit) {
    if (centre) {
      if (s == 0) return;
      p -= s / 2;
    }
    if (farEdge) {
      if (s == 0) return;
      p -= s;
    }
  }
  if (!hasParent) return;
  if (s > SizeLimit) {
    if (p > AbsoluteLimit) {
      ResolveCombined(p, s, extent);
    } else {
      p = ResolvePosition(p, s, extent, literalNegatives);
      s = s + extent - p - MaxCode;
    }
  } else if (s < 0) {
    s = -s;
    if (s > SizeLimit) {
      if (p > AbsoluteLimit) {
        ResolveCombined(p, s, extent);
      } else {
        s = ResolvePosition(p, s, extent, literalNegatives);
        p = MaxCode - s;
      }
    } else {
      p = ResolvePosition(p, s, extent, literalNegatives) - s;
    }
  } else {
    p = ResolvePosition(p, s, extent, literalNegatives);
  }
}

void TWindow::DoLayout(TWindowStyle& style) {
  int32_t x = style.GetInt("x", 0);
  int32_t y = style.GetInt("y", 0);
  int32_t w = style.GetInt("w", GetWidth());
  int32_t h = style.GetInt("h", GetHeight());
  int32_t parentWidth = mParent ? mParent->GetWidth() : 0;
  int32_t parentHeight = mParent ? mParent->GetHeight() : 0;
  // A coded layout that needs a size not known yet waits for a later layout.
  if (mParent) {
    if ((IsCodedPosition(x) || IsCodedSize(w)) && parentWidth == 0) return;
    if ((IsCodedPosition(y) || IsCodedSize(h)) && parentHeight == 0) return;
  }
  if (IsCodedPosition(x) && w == 0) return;
  if (IsCodedPosition(y) && h == 0) return;

  int32_t align = style.GetInt("align", -1);
  bool literalNegatives = align != -1;
  int32_t bits = literalNegatives ? align : 0;
  bool hasParent = mParent != nullptr;
  ResolveAxis(x, w, parentWidth, bits & AlignCentreX, bits & AlignRight, hasParent, literalNegatives);
  ResolveAxis(y, h, parentHeight, bits & AlignCentreY, bits & AlignBottom, hasParent, literalNegatives);

  // A window already placed or sized keeps that on its axis.
  SetPosition(mLeft == 0 ? x : mLeft, mTop == 0 ? y : mTop);
  SetSize(GetWidth() == 0 ? w : GetWidth(), GetHeight() == 0 ? h : GetHeight());
}
