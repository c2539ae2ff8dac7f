#pragma once
// Helpers of the text tests: a memory image that the rasteriser draws into (as the span
// sink standing for the screen, or as a locked target), a small font with square glyphs
// and round metrics, and a fixture that resets the font cache around each test.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/text/mini_vec_draw.h"
#include "graphics/graphics_test_util.h"

// 32-bit pixels 0xAARRGGBB; spans are blended over them with their alpha.
class TMemoryImage : public ISpanSink {
 public:
  TMemoryImage(int width, int height, uint32_t background);

  void DrawSpans(const TColorSpan* spans, size_t count) override;
  std::shared_ptr<IVecDrawTarget> CreateRenderTarget(int, int) override { return nullptr; }
  bool BeginRenderTarget(const std::shared_ptr<IVecDrawTarget>&) override { return false; }
  void EndRenderTarget() override {}

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  uint32_t At(int x, int y) const { return mPixels[size_t(y) * size_t(mWidth) + size_t(x)]; }
  const std::vector<uint32_t>& Pixels() const { return mPixels; }
  // Pixels that differ from the background, inside [x0, x1) x [y0, y1).
  int CountInk(int x0, int y0, int x1, int y1) const;
  int CountInk() const { return CountInk(0, 0, mWidth, mHeight); }
  // The bounding box of the ink (right and bottom exclusive); false when there is none.
  bool InkBox(int& left, int& top, int& right, int& bottom) const;
  // A target over the same pixels (blended by the rasteriser itself).
  std::shared_ptr<IVecDrawTarget> AsTarget();

 private:
  int mWidth, mHeight;
  uint32_t mBackground;
  std::vector<uint32_t> mPixels;
};

// A glyph of the test font: code, extents and advance in font units.
struct TTestFontGlyph {
  uint32_t code;
  int top, bottom, advance;
};

// A ".mvec" image whose glyphs are filled squares from the baseline to their top.
std::vector<uint8_t> MakeTestFont(const std::vector<TTestFontGlyph>& glyphs);
// Printable ASCII, each 8 font units wide, 10 high ('g' reaches 3 below the baseline), and
// the soft hyphen: ascent 10, descent 3, so a line at size 16 is 16.25 pixels high.
std::vector<uint8_t> MakeSquareFont();

// Registers the square font as "fonts/square.mvec", gives text its own rasteriser drawing
// into an image, and empties the font cache before and after.
class TTextTest : public ::testing::Test {
 protected:
  static constexpr const char* Square = "fonts/square.mvec";

  TTextTest();
  ~TTextTest() override;

  TGraphicsTestLog mLog;
  std::vector<uint8_t> mSquareFont;
  TJxMiniVecDraw mDraw;
};
