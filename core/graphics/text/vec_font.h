#pragma once
// TVecFont: a vector font read from a ".mvec" image ("MVC4") held in memory. It answers
// glyph lookups and metrics; the glyph outlines stay in the image as shape command
// streams that TJxMiniVecDraw draws.
//
// File layout (little-endian): "MVC4", glyph count N (u16), 6 bytes the loader skips, N
// records of 18 bytes sorted by code (code u32; left, right, top, bottom, advance i16 in
// 1/128 font units, y downwards; shape offset u32), then the shapes anywhere after.

#include <cstdint>
#include <vector>

#include "platform/engine_string.h"

class TVecFont {
 public:
  static constexpr size_t HeaderSize = 12;
  static constexpr size_t RecordSize = 18;

  TVecFont() = default;

  // Takes the file image. A wrong magic, records or shapes past the end, or codes out of
  // order leave an empty font (no glyphs, ascent and descent 0) and log one line naming
  // the file; answers whether the font has its glyphs.
  bool Load(std::vector<uint8_t> block, const TString& name);

  bool IsEmpty() const { return mCodes.empty(); }
  int GetGlyphCount() const { return int(mCodes.size()); }
  // The glyph index of a character code, or -1.
  int FindGlyph(uint32_t code) const;

  // Per glyph index; an index out of range gives the value after the semicolon.
  const uint8_t* GetShape(int glyph) const;  // null
  float GetAdvance(int glyph) const;         // 0
  float GetLeft(int glyph) const;            // 0
  float GetRight(int glyph) const;           // 0
  float GetTop(int glyph) const;             // 0
  float GetBottom(int glyph) const;          // 0
  float GetShrink(int glyph) const;          // 1.0: scale of a glyph taller than the line box
  uint32_t GetCode(int glyph) const;         // 0

  float GetAscent() const { return mAscent; }
  float GetDescent() const { return mDescent; }
  // The room above (ascent + descent) x 0.1875 or below (x 0.0625) the glyph box.
  float GetLineGap(bool above) const { return (mAscent + mDescent) * (above ? 0.1875f : 0.0625f); }
  // The glyph box's share of a line: a line is (ascent + descent) / 0.8 high.
  float GetLineFill() const { return 0.8f; }
  // Style values the text layout reads: bold flag (false) and slant (1.0) after loading.
  bool IsBold() const { return mBold; }
  float GetSlant() const { return mSlant; }

 private:
  bool Validate(const TString& name) const;
  int16_t Field(int glyph, size_t offset) const;
  float Metric(int glyph, size_t field) const;
  void Reset();

  std::vector<uint8_t> mBlock;
  std::vector<uint32_t> mCodes;
  std::vector<float> mShrink;
  float mAscent = 0;
  float mDescent = 0;
  bool mBold = false;
  float mSlant = 1.0f;
};
