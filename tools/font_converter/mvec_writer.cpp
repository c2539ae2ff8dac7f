#include "mvec_writer.h"

#include <algorithm>
#include <limits>

namespace {

void Put16(std::vector<uint8_t>& out, int v) {
  out.push_back(uint8_t(v & 0xFF));
  out.push_back(uint8_t(v >> 8 & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

bool Fits16(int v) { return v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max(); }

}  // namespace

TMvecShapeBuilder::TMvecShapeBuilder() {
  Command(2);  // left fill colour: slot 1, the text colour
  mBytes.push_back(1);
}

void TMvecShapeBuilder::Command(uint8_t code) { mBytes.push_back(code); }

void TMvecShapeBuilder::Point(int x, int y) {
  if (!Fits16(x) || !Fits16(y)) mInRange = false;
  Put16(mBytes, x);
  Put16(mBytes, y);
}

void TMvecShapeBuilder::MoveTo(int x, int y) {
  Command(4);
  Point(x, y);
}

void TMvecShapeBuilder::LineTo(int x, int y) {
  Command(5);
  Point(x, y);
}

void TMvecShapeBuilder::QuadTo(int cx, int cy, int x, int y) {
  Command(6);
  Point(cx, cy);
  Point(x, y);
}

std::vector<uint8_t> TMvecShapeBuilder::Finish() {
  Command(8);
  return mBytes;
}

bool BuildMvec(std::vector<TMvecGlyph> glyphs, std::vector<uint8_t>& out, std::string& error) {
  std::sort(glyphs.begin(), glyphs.end(), [](const TMvecGlyph& a, const TMvecGlyph& b) { return a.code < b.code; });
  if (glyphs.size() > 0xFFFF) {
    error = "more than 65535 glyphs";
    return false;
  }
  out.clear();
  out.insert(out.end(), {'M', 'V', 'C', '4'});
  Put16(out, int(glyphs.size()));
  Put16(out, 1);
  Put16(out, MvecUnitsPerEm);
  Put16(out, 0);
  uint32_t shapeOffset = uint32_t(12 + 18 * glyphs.size());
  for (const TMvecGlyph& g : glyphs) {
    for (int v : {g.left, g.right, g.top, g.bottom, g.advance}) {
      if (!Fits16(v)) {
        error = "metrics of character " + std::to_string(g.code) + " out of range";
        return false;
      }
    }
    Put32(out, g.code);
    for (int v : {g.left, g.right, g.top, g.bottom, g.advance}) Put16(out, v);
    Put32(out, shapeOffset);
    shapeOffset += uint32_t(g.shape.size());
  }
  for (const TMvecGlyph& g : glyphs) out.insert(out.end(), g.shape.begin(), g.shape.end());
  return true;
}
