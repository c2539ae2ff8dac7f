#include "text_test_util.h"

#include <algorithm>

#include "graphics/text/font_cache.h"
#include "platform/file_map.h"

namespace {

uint32_t Blend(uint32_t dst, uint32_t src) {
  uint32_t a = src >> 24;
  uint32_t out = dst & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t s = src >> shift & 0xFF, d = dst >> shift & 0xFF;
    out |= ((s * a + d * (255 - a)) / 255) << shift;
  }
  return out;
}

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

class TImageTarget : public IVecDrawTarget {
 public:
  explicit TImageTarget(std::vector<uint32_t>& pixels, int width, int height)
      : mPixels(pixels), mWidth(width), mHeight(height) {}
  bool Lock(uint32_t*& pixels, int& pitch, int& width, int& height) override {
    pixels = mPixels.data();
    pitch = width = mWidth;
    height = mHeight;
    return true;
  }
  void Unlock() override {}

 private:
  std::vector<uint32_t>& mPixels;
  int mWidth, mHeight;
};

}  // namespace

TMemoryImage::TMemoryImage(int width, int height, uint32_t background)
    : mWidth(width), mHeight(height), mBackground(background), mPixels(size_t(width) * size_t(height), background) {}

void TMemoryImage::DrawSpans(const TColorSpan* spans, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const TColorSpan& span = spans[i];
    if (span.y < 0 || span.y >= mHeight) continue;
    for (int x = std::max(0, span.x0); x < std::min(mWidth, span.x1); ++x) {
      uint32_t& pixel = mPixels[size_t(span.y) * size_t(mWidth) + size_t(x)];
      pixel = Blend(pixel, span.colour);
    }
  }
}

int TMemoryImage::CountInk(int x0, int y0, int x1, int y1) const {
  int count = 0;
  for (int y = std::max(0, y0); y < std::min(mHeight, y1); ++y) {
    for (int x = std::max(0, x0); x < std::min(mWidth, x1); ++x) count += At(x, y) != mBackground;
  }
  return count;
}

bool TMemoryImage::InkBox(int& left, int& top, int& right, int& bottom) const {
  left = top = 1 << 30;
  right = bottom = -1;
  for (int y = 0; y < mHeight; ++y) {
    for (int x = 0; x < mWidth; ++x) {
      if (At(x, y) == mBackground) continue;
      left = std::min(left, x), right = std::max(right, x + 1);
      top = std::min(top, y), bottom = std::max(bottom, y + 1);
    }
  }
  return right >= 0;
}

std::shared_ptr<IVecDrawTarget> TMemoryImage::AsTarget() {
  return std::make_shared<TImageTarget>(mPixels, mWidth, mHeight);
}

std::vector<uint8_t> MakeTestFont(const std::vector<TTestFontGlyph>& glyphs) {
  std::vector<uint8_t> out = {'M', 'V', 'C', '4'};
  Put(out, uint32_t(glyphs.size()), 2);
  out.insert(out.end(), 6, 0);
  size_t shapes = out.size() + 18 * glyphs.size();
  std::vector<uint8_t> shapeBytes;
  for (const TTestFontGlyph& g : glyphs) {
    Put(out, g.code, 4);
    int left = 128, right = (g.advance - 1) * 128, top = -g.top * 128, bottom = g.bottom * 128;
    for (int v : {left, right, top, bottom, g.advance * 128}) Put(out, uint32_t(v), 2);
    Put(out, uint32_t(shapes + shapeBytes.size()), 4);
    // One path: fill slot 1, a rectangle one unit in from each side.
    shapeBytes.insert(shapeBytes.end(), {1, 2, 1});
    const int corners[5][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    for (int i = 0; i < 5; ++i) {
      shapeBytes.push_back(i == 0 ? 4 : 5);
      Put(shapeBytes, uint32_t(corners[i][0]), 2);
      Put(shapeBytes, uint32_t(corners[i][1]), 2);
    }
    shapeBytes.push_back(8);
  }
  out.insert(out.end(), shapeBytes.begin(), shapeBytes.end());
  return out;
}

std::vector<uint8_t> MakeSquareFont() {
  std::vector<TTestFontGlyph> glyphs;
  for (uint32_t c = 32; c < 127; ++c) glyphs.push_back({c, c == ' ' ? 0 : 10, c == 'g' ? 3 : 0, 8});
  glyphs.push_back({0xAD, 5, 0, 8});
  return MakeTestFont(glyphs);
}

TTextTest::TTextTest() : mSquareFont(MakeSquareFont()) {
  TFontCache::Clear();
  RegisterMemoryFile(Square, mSquareFont.data(), mSquareFont.size());
  SetTextRasteriser(&mDraw);
}

TTextTest::~TTextTest() {
  TFontCache::Clear();
  SetTextRasteriser(nullptr);
  RegisterMemoryFile(Square, nullptr, 0);
}
