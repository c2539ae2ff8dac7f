#pragma once
// A plain reference for the rasteriser's scan conversion: builds shape streams, and
// computes per-pixel coverage by testing every quarter-pixel sample of every sub-scanline
// against every edge, with no active list, sorting or accumulation.

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

class TShapeBuilder {
 public:
  TShapeBuilder& NewPath() { return Byte(1); }
  TShapeBuilder& Left(uint8_t c) { return Byte(2).Byte(c); }
  TShapeBuilder& Right(uint8_t c) { return Byte(3).Byte(c); }
  TShapeBuilder& Move(int x, int y) { return Byte(4).Coord(x).Coord(y); }
  TShapeBuilder& Line(int x, int y) { return Byte(5).Coord(x).Coord(y); }
  TShapeBuilder& Quad(int cx, int cy, int x, int y) { return Byte(6).Coord(cx).Coord(cy).Coord(x).Coord(y); }
  TShapeBuilder& Colour(uint8_t r, uint8_t g, uint8_t b) { return Byte(7).Byte(r).Byte(g).Byte(b); }
  // A closed rectangle (move and four lines).
  TShapeBuilder& Rect(int x0, int y0, int x1, int y1) {
    return Move(x0, y0).Line(x1, y0).Line(x1, y1).Line(x0, y1).Line(x0, y0);
  }
  std::vector<uint8_t> End() {
    std::vector<uint8_t> done = mBytes;
    done.push_back(8);
    return done;
  }

 private:
  TShapeBuilder& Byte(uint8_t b) {
    mBytes.push_back(b);
    return *this;
  }
  TShapeBuilder& Coord(int v) { return Byte(uint8_t(v & 0xFF)).Byte(uint8_t(v >> 8 & 0xFF)); }
  std::vector<uint8_t> mBytes;
};

struct TReferenceParams {
  float scaleX = 1, scaleY = 1;
  bool italic = false;
  int phaseX = 0, phaseY = 0;
};

// (accumulation row, pixel y, pixel x) relative to the shape's position -> coverage in
// sixteenths. Fills only (no strokes).
using TCoverageMap = std::map<std::tuple<int, int, int>, int>;
TCoverageMap ReferenceCoverage(const std::vector<uint8_t>& shape, const TReferenceParams& params);
