#pragma once
// Builds a ".mvec" vector font image: "MVC4", the glyph count, six header bytes (here:
// format version 1 and the units per em of the shape coordinates), the glyph records
// sorted by code, then each glyph's shape command stream.

#include <cstdint>
#include <string>
#include <vector>

// Shape coordinates: 2048 units per em; 128 of them are one font unit (an em is 16 font
// units, so at the default text size 16 one font unit is one pixel).
constexpr int MvecUnitsPerEm = 2048;

struct TMvecGlyph {
  uint32_t code = 0;
  int left = 0, right = 0, top = 0, bottom = 0, advance = 0;  // shape units, y downwards
  std::vector<uint8_t> shape;                                  // ends with command 8
};

// A glyph outline as one even-odd filled path in fill colour slot 1.
class TMvecShapeBuilder {
 public:
  TMvecShapeBuilder();
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void QuadTo(int cx, int cy, int x, int y);
  std::vector<uint8_t> Finish();
  // False when a coordinate did not fit the 16-bit range.
  bool InRange() const { return mInRange; }

 private:
  void Command(uint8_t code);
  void Point(int x, int y);
  std::vector<uint8_t> mBytes;
  bool mInRange = true;
};

// The whole file image; false (with a message) when the glyphs do not fit the format.
bool BuildMvec(std::vector<TMvecGlyph> glyphs, std::vector<uint8_t>& out, std::string& error);
