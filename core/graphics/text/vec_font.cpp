#include "graphics/text/vec_font.h"

#include <algorithm>
#include <cstring>

#include "graphics/text/mini_vec_draw.h"
#include "platform/log.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Record field offsets.
constexpr size_t FieldLeft = 4, FieldRight = 6, FieldTop = 8, FieldBottom = 10, FieldAdvance = 12,
                 FieldShape = 14;

}  // namespace

void TVecFont::Reset() {
  mCodes.clear();
  mShrink.clear();
  mAscent = 0;
  mDescent = 0;
  mBold = false;
  mSlant = 1.0f;
}

bool TVecFont::Validate(const TString& name) const {
  const char* file = name.c_str();
  if (mBlock.size() < HeaderSize || memcmp(mBlock.data(), "MVC4", 4) != 0) {
    LogPrintf("Font %s: not a vector font (bad magic)", file);
    return false;
  }
  size_t count = size_t(mBlock[4]) | size_t(mBlock[5]) << 8;
  if (HeaderSize + count * RecordSize > mBlock.size()) {
    LogPrintf("Font %s: %zu glyph records run past the end of the file (%zu bytes)", file, count,
              mBlock.size());
    return false;
  }
  uint32_t previous = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* record = mBlock.data() + HeaderSize + i * RecordSize;
    uint32_t code = ReadU32(record);
    if (i && code < previous) {
      LogPrintf("Font %s: glyph %zu (code %u) out of order", file, i, code);
      return false;
    }
    previous = code;
    uint32_t offset = ReadU32(record + FieldShape);
    if (offset >= mBlock.size() || !MeasureShape(mBlock.data() + offset, mBlock.size() - offset)) {
      LogPrintf("Font %s: shape of glyph %zu (code %u) at %u is cut off or corrupt", file, i, code,
                offset);
      return false;
    }
  }
  return true;
}

bool TVecFont::Load(std::vector<uint8_t> block, const TString& name) {
  Reset();
  mBlock = std::move(block);
  if (!Validate(name)) return false;
  size_t count = size_t(mBlock[4]) | size_t(mBlock[5]) << 8;
  mCodes.resize(count);
  for (size_t i = 0; i < count; ++i) mCodes[i] = ReadU32(mBlock.data() + HeaderSize + i * RecordSize);

  int w = FindGlyph('W');
  if (w >= 0) {
    mAscent = -GetTop(w);
  } else {
    // Without a 'W' the tallest character of the ASCII range stands in for it.
    for (int g = 0; g < GetGlyphCount() && mCodes[size_t(g)] < 128; ++g) mAscent = std::max(mAscent, -GetTop(g));
  }
  for (int g = 0; g < GetGlyphCount() && mCodes[size_t(g)] < 128; ++g) {
    if (mCodes[size_t(g)] != '_') mDescent = std::max(mDescent, GetBottom(g));
  }
  float above = mAscent + GetLineGap(true), below = mDescent + GetLineGap(false);
  mShrink.assign(count, 1.0f);
  for (size_t g = 0; g < count; ++g) {
    // A font without height (no ASCII glyphs) has no line box to fit into.
    float t = above > 0 ? -GetTop(int(g)) / above : 0;
    float b = below > 0 ? GetBottom(int(g)) / below : 0;
    if (t > 1 || b > 1) mShrink[g] = 1 / std::max(t, b);
  }
  return true;
}

int TVecFont::FindGlyph(uint32_t code) const {
  auto it = std::lower_bound(mCodes.begin(), mCodes.end(), code);
  return it != mCodes.end() && *it == code ? int(it - mCodes.begin()) : -1;
}

int16_t TVecFont::Field(int glyph, size_t offset) const {
  const uint8_t* p = mBlock.data() + HeaderSize + size_t(glyph) * RecordSize + offset;
  return int16_t(uint16_t(p[0] | p[1] << 8));
}

const uint8_t* TVecFont::GetShape(int glyph) const {
  if (glyph < 0 || glyph >= GetGlyphCount()) return nullptr;
  return mBlock.data() + ReadU32(mBlock.data() + HeaderSize + size_t(glyph) * RecordSize + FieldShape);
}

float TVecFont::Metric(int glyph, size_t field) const {
  if (glyph < 0 || glyph >= GetGlyphCount()) return 0;
  return Field(glyph, field) / 128.0f;
}

float TVecFont::GetAdvance(int glyph) const { return Metric(glyph, FieldAdvance); }
float TVecFont::GetLeft(int glyph) const { return Metric(glyph, FieldLeft); }
float TVecFont::GetRight(int glyph) const { return Metric(glyph, FieldRight); }
float TVecFont::GetTop(int glyph) const { return Metric(glyph, FieldTop); }
float TVecFont::GetBottom(int glyph) const { return Metric(glyph, FieldBottom); }

float TVecFont::GetShrink(int glyph) const {
  if (glyph < 0 || glyph >= GetGlyphCount()) return 1.0f;
  return mShrink[size_t(glyph)];
}

uint32_t TVecFont::GetCode(int glyph) const {
  if (glyph < 0 || glyph >= GetGlyphCount()) return 0;
  return mCodes[size_t(glyph)];
}
