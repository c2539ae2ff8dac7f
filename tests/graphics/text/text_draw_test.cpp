#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "graphics/text/font_cache.h"
#include "graphics/text/text_graphic.h"
#include "text_test_util.h"

namespace {

constexpr uint32_t White = 0xFFFFFFFFu;

class TextDrawTest : public TTextTest {
 protected:
  TextDrawTest() : mImage(200, 100, White) { mDraw.SetSpanSink(&mImage); }

  std::unique_ptr<TTextGraphic> Lay(const char* text, const char* font = Square, int size = 16) {
    return TTextGraphic::Create(text, 200, 100, 0, font, size, TColor{0, 0, 0, 1});
  }

  TMemoryImage mImage;
};

TEST_F(TextDrawTest, SquareGlyphsLandOnTheirPixels) {
  // 'a' is a square 6 x 10 pixels, one pixel right of its pen, standing on the baseline
  // at 12.4375 pixels below the line's top.
  Lay("ab")->DrawAt(TVec2(10, 20), 100);
  int left, top, right, bottom;
  ASSERT_TRUE(mImage.InkBox(left, top, right, bottom));
  EXPECT_EQ(left, 11);
  EXPECT_EQ(right, 25);
  EXPECT_EQ(top, 22);
  EXPECT_EQ(bottom, 33);
  EXPECT_EQ(mImage.At(12, 25), 0xFF000000u);  // fully inside
  EXPECT_EQ(mImage.At(18, 25), White);        // the gap between the squares
}

TEST_F(TextDrawTest, SinkAndTargetGiveTheSamePixels) {
  auto text = Lay("<b>Ab</b> <i>cd</i> <u>ef</u><outline color='#ff0000'>gh</outline>");
  text->DrawAt(TVec2(3.25f, 5.5f), 100);
  TMemoryImage target(200, 100, White);
  text->DrawAt(TVec2(3.25f, 5.5f), 100, TTextDrawParams(), target.AsTarget());
  EXPECT_GT(mImage.CountInk(), 500);
  EXPECT_EQ(mImage.Pixels(), target.Pixels());
}

TEST_F(TextDrawTest, GermanLettersRenderInTheDefaultFont) {
  // Each letter has ink, and the umlauts have more than their plain letters (the dots).
  const char* letters[][2] = {{"a", "\xC3\xA4"}, {"o", "\xC3\xB6"}, {"u", "\xC3\xBC"},
                              {"A", "\xC3\x84"}, {"O", "\xC3\x96"}, {"U", "\xC3\x9C"}};
  for (const auto& pair : letters) {
    TMemoryImage plain(60, 60, White), umlaut(60, 60, White);
    mDraw.SetSpanSink(&plain);
    Lay(pair[0], "__DEFAULT", 40)->DrawAt(TVec2(5, 0), 60);
    mDraw.SetSpanSink(&umlaut);
    Lay(pair[1], "__DEFAULT", 40)->DrawAt(TVec2(5, 0), 60);
    EXPECT_GT(umlaut.CountInk(), plain.CountInk() + 20) << pair[1];
  }
  TMemoryImage sharp(60, 60, White);
  mDraw.SetSpanSink(&sharp);
  auto text = Lay("\xC3\x9F", "__DEFAULT", 40);
  ASSERT_EQ(text->GetLine(0).runs.size(), 1u);
  EXPECT_EQ(text->GetLine(0).runs[0].font->GetCode(text->GetLine(0).runs[0].glyphs[0].glyph), 0xDFu);
  text->DrawAt(TVec2(5, 0), 60);
  EXPECT_GT(sharp.CountInk(), 100);
}

TEST_F(TextDrawTest, UnderlineLiesBelowTheBaselineAcrossTheRun) {
  Lay("<u>abc</u>")->DrawAt(TVec2(0, 0), 100);
  // Baseline at 12.4375; the line runs 1.28 pixels below it for one pixel, over 24 pixels.
  for (int x = 0; x < 24; ++x) EXPECT_NE(mImage.At(x, 14), White) << x;
  EXPECT_EQ(mImage.At(24, 14), White);
  TMemoryImage plain(200, 100, White);
  mDraw.SetSpanSink(&plain);
  Lay("abc")->DrawAt(TVec2(0, 0), 100);
  EXPECT_EQ(plain.CountInk(0, 13, 200, 20), 0);
}

TEST_F(TextDrawTest, BoldAndOutlineWiden) {
  Lay("a")->DrawAt(TVec2(10, 10), 100);
  int plain = mImage.CountInk();
  TMemoryImage bold(200, 100, White), outline(200, 100, White);
  mDraw.SetSpanSink(&bold);
  Lay("<b>a</b>")->DrawAt(TVec2(10, 10), 100);
  EXPECT_GT(bold.CountInk(), plain);
  mDraw.SetSpanSink(&outline);
  Lay("<outline color='#ff0000'>a</outline>")->DrawAt(TVec2(10, 10), 100);
  // Two pixels of red all round the square, which stays black.
  EXPECT_EQ(outline.At(13, 17), 0xFF000000u);
  EXPECT_EQ(outline.At(10, 17), 0xFFFF0000u);
  int left, top, right, bottom;
  ASSERT_TRUE(outline.InkBox(left, top, right, bottom));
  EXPECT_EQ(left, 9);
  EXPECT_EQ(right, 19);
}

TEST_F(TextDrawTest, ScrollAndAvailableHeightPickTheLines) {
  auto text = Lay("a\nb\nc");  // lines at 0, 16.25 and 32.5
  text->DrawAt(TVec2(0, 0), 20);
  EXPECT_GT(mImage.CountInk(0, 0, 200, 16), 0);
  EXPECT_GT(mImage.CountInk(0, 16, 200, 33), 0);  // starts above 20: drawn
  EXPECT_EQ(mImage.CountInk(0, 33, 200, 100), 0);

  TMemoryImage scrolled(200, 100, White);
  mDraw.SetSpanSink(&scrolled);
  text->SetScroll(1);
  text->DrawAt(TVec2(0, 0), 100);
  EXPECT_EQ(scrolled.CountInk(0, 33, 200, 100), 0);
  EXPECT_GT(scrolled.CountInk(0, 0, 200, 16), 0);
  // Half a line further the lines move up by half a line.
  TMemoryImage half(200, 100, White);
  mDraw.SetSpanSink(&half);
  text->SetScroll(1.25f);
  text->DrawAt(TVec2(0, 0), 100);
  int left, top, right, bottom;
  ASSERT_TRUE(half.InkBox(left, top, right, bottom));
  EXPECT_EQ(top, 0);  // the first square's top is 4 pixels above the box
  EXPECT_EQ(bottom, 25);
}

TEST_F(TextDrawTest, ScaleAlphaAndCursor) {
  TTextDrawParams params;
  params.scale = 2;
  params.alpha = 0.5f;
  Lay("a<cursor>")->DrawAt(TVec2(0, 0), 100, params);
  int left, top, right, bottom;
  ASSERT_TRUE(mImage.InkBox(left, top, right, bottom));
  EXPECT_EQ(left, 2);
  EXPECT_EQ(right, 18);  // the cursor: 2 pixels at 16
  uint32_t inside = mImage.At(6, 15);
  EXPECT_NEAR(int(inside & 0xFF), 128, 2);  // half-covered white
  EXPECT_NE(mImage.At(16, 10), White);
}

TEST_F(TextDrawTest, RotationTurnsAboutTheOrigin) {
  auto text = Lay("abc");
  text->SetRotation(90, 0, 0);
  text->DrawAt(TVec2(50, 10), 100);
  int left, top, right, bottom;
  ASSERT_TRUE(mImage.InkBox(left, top, right, bottom));
  // The row of squares now runs downwards, left of the origin.
  EXPECT_LE(right, 50);
  EXPECT_GE(left, 35);
  EXPECT_GE(top, 10);
  EXPECT_GE(bottom - top, 22);
}

TEST_F(TextDrawTest, NothingWithoutRasteriserOrWithBadScale) {
  SetTextRasteriser(nullptr);
  Lay("abc")->DrawAt(TVec2(0, 0), 100);
  SetTextRasteriser(&mDraw);
  TTextDrawParams params;
  for (float scale : {0.0f, -1.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()}) {
    params.scale = scale;
    Lay("abc")->DrawAt(TVec2(0, 0), 100, params);
  }
  Lay("abc")->DrawAt(TVec2(std::numeric_limits<float>::infinity(), 0), 100);
  EXPECT_EQ(mImage.CountInk(), 0);
}

}  // namespace
