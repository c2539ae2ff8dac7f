#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "graphics/text/default_font.h"
#include "graphics/text/mini_vec_draw.h"
#include "graphics/text/vec_font.h"
#include "graphics/graphics_test_util.h"
#include "mini_vec_draw_reference.h"

namespace {

struct TTestGlyph {
  uint32_t code;
  int left, right, top, bottom, advance;  // 1/128 units
};

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// A font image whose glyphs all share one small square shape.
std::vector<uint8_t> MakeFont(const std::vector<TTestGlyph>& glyphs) {
  std::vector<uint8_t> out = {'M', 'V', 'C', '4'};
  Put(out, uint32_t(glyphs.size()), 2);
  out.insert(out.end(), 6, 0);
  uint32_t shape = uint32_t(12 + 18 * glyphs.size());
  for (const TTestGlyph& g : glyphs) {
    Put(out, g.code, 4);
    for (int v : {g.left, g.right, g.top, g.bottom, g.advance}) Put(out, uint32_t(v), 2);
    Put(out, shape, 4);
  }
  std::vector<uint8_t> square = TShapeBuilder().Left(1).Rect(0, -1280, 1024, 0).End();
  out.insert(out.end(), square.begin(), square.end());
  return out;
}

std::vector<uint8_t> DefaultFontBytes() {
  return std::vector<uint8_t>(GetDefaultFont(), GetDefaultFont() + GetDefaultFontSize());
}

class VecFontTest : public ::testing::Test {
 protected:
  TGraphicsTestLog mLog;
};

TEST_F(VecFontTest, BuiltInFontIsTheShippedOneWithTheGermanCharacters) {
  std::ifstream in(std::string(TARVELON_SOURCE_DIR) + "/assets/fonts/default.mvec", std::ios::binary);
  std::vector<uint8_t> shipped((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(DefaultFontBytes(), shipped);

  TVecFont font;
  ASSERT_TRUE(font.Load(DefaultFontBytes(), "__DEFAULT"));
  EXPECT_GT(font.GetGlyphCount(), 200);
  for (uint32_t code : {uint32_t('A'), uint32_t(' '), 0xE4u, 0xF6u, 0xFCu, 0xC4u, 0xD6u, 0xDCu, 0xDFu,
                        0x20ACu, 0x201Eu, 0x201Cu, 0x201Au, 0x2018u, 0x2013u, 0x2026u, 0xADu}) {
    EXPECT_GE(font.FindGlyph(code), 0) << std::hex << code;
  }
  EXPECT_EQ(font.FindGlyph(0x4E00), -1);
  EXPECT_EQ(font.FindGlyph(0), -1);
  // DejaVu Sans proportions in font units of 1/16 em.
  EXPECT_NEAR(font.GetAscent(), 11.66, 0.1);
  EXPECT_NEAR(font.GetDescent(), 3.8, 0.3);
  int w = font.FindGlyph('W');
  EXPECT_GT(font.GetAdvance(w), font.GetAdvance(font.FindGlyph('i')));
  EXPECT_LT(font.GetLeft(w), font.GetRight(w));
  EXPECT_EQ(font.GetShrink(w), 1.0f);
  EXPECT_FALSE(font.IsBold());
  EXPECT_EQ(font.GetSlant(), 1.0f);
  EXPECT_NEAR(font.GetLineGap(true), (font.GetAscent() + font.GetDescent()) * 0.1875f, 1e-5);
  EXPECT_NEAR(font.GetLineGap(false), (font.GetAscent() + font.GetDescent()) * 0.0625f, 1e-5);
  EXPECT_EQ(font.GetLineFill(), 0.8f);
  EXPECT_EQ(mLog.TakeNew(), "");
}

TEST_F(VecFontTest, IndicesOutsideTheFontGiveDefaults) {
  TVecFont font;
  ASSERT_TRUE(font.Load(MakeFont({{'A', 0, 1024, -1280, 0, 1200}}), "one.mvec"));
  for (int glyph : {-1, 1, 1000}) {
    EXPECT_EQ(font.GetShape(glyph), nullptr);
    EXPECT_EQ(font.GetAdvance(glyph), 0);
    EXPECT_EQ(font.GetLeft(glyph), 0);
    EXPECT_EQ(font.GetRight(glyph), 0);
    EXPECT_EQ(font.GetShrink(glyph), 1.0f);
  }
  EXPECT_EQ(font.GetAdvance(0), 1200 / 128.0f);
  EXPECT_NE(font.GetShape(0), nullptr);
}

TEST_F(VecFontTest, EmptyFontAnswersMinusOne) {
  TVecFont font;
  ASSERT_TRUE(font.Load(MakeFont({}), "empty.mvec"));
  EXPECT_EQ(font.GetGlyphCount(), 0);
  for (uint32_t code : {0u, 65u, 0xFFFFFFFFu}) EXPECT_EQ(font.FindGlyph(code), -1);
  EXPECT_EQ(font.GetAscent(), 0);
  EXPECT_EQ(font.GetDescent(), 0);
}

TEST_F(VecFontTest, AscentDescentAndShrink) {
  // 'W' 10 units high; 'g' reaches 2 below; '_' (ignored) and a non-ASCII glyph reach lower.
  // Line box: 10 + 2.25 above, 2 + 0.75 below.
  TVecFont font;
  ASSERT_TRUE(font.Load(MakeFont({{'W', 0, 1, -1280, 0, 1},
                                  {'_', 0, 1, 0, 1280, 1},
                                  {'g', 0, 1, -640, 256, 1},
                                  {0xC5, 0, 1, -1568, 0, 1},     // 12.25 high: 1 / (12.25 / 12.25)
                                  {0x2193, 0, 1, 0, 704, 1}}),   // 5.5 deep: twice the room below
                        "metrics.mvec"));
  EXPECT_EQ(font.GetAscent(), 10);
  EXPECT_EQ(font.GetDescent(), 2);
  EXPECT_EQ(font.GetShrink(font.FindGlyph('W')), 1.0f);
  EXPECT_EQ(font.GetShrink(font.FindGlyph('_')), 1 / (10 / 2.75f));
  EXPECT_EQ(font.GetShrink(font.FindGlyph(0xC5)), 1.0f);
  EXPECT_FLOAT_EQ(font.GetShrink(font.FindGlyph(0x2193)), 0.5f);
}

// A font without any ASCII glyph has no line box: every glyph keeps its size instead of
// dividing by zero.
TEST_F(VecFontTest, FontWithoutLineBoxKeepsGlyphSizes) {
  TVecFont font;
  ASSERT_TRUE(font.Load(MakeFont({{0x3042, 0, 1, -1280, 128, 1}}), "kana.mvec"));
  EXPECT_EQ(font.GetAscent(), 0);
  EXPECT_EQ(font.GetShrink(0), 1.0f);
}

struct TCorruptFont {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* message;
};

std::vector<TCorruptFont> CorruptFonts() {
  std::vector<uint8_t> good = MakeFont({{'A', 0, 1, -1, 0, 1}, {'B', 0, 1, -1, 0, 1}});
  std::vector<TCorruptFont> list;
  auto change = [&](const char* name, const char* message, auto edit) {
    std::vector<uint8_t> b = good;
    edit(b);
    list.push_back({name, b, message});
  };
  change("magic.mvec", "bad magic", [](auto& b) { b[3] = '3'; });
  change("short_header.mvec", "bad magic", [](auto& b) { b.resize(8); });
  change("count.mvec", "3 glyph records run past the end", [](auto& b) { b[4] = 3; b.resize(12 + 18 * 2 + 10); });
  change("offset.mvec", "at 4000 is cut off or corrupt", [](auto& b) { b[12 + 18 + 14] = 0xA0, b[12 + 18 + 15] = 0x0F; });
  change("cut_shape.mvec", "is cut off or corrupt", [](auto& b) { b.pop_back(); });
  change("bad_command.mvec", "is cut off or corrupt", [](auto& b) { b[12 + 36 + 2] = 0x42; });
  change("order.mvec", "glyph 1 (code 64) out of order", [](auto& b) { b[12 + 18] = 64; });
  return list;
}

TEST_F(VecFontTest, CorruptFilesLeaveAnEmptyFontAndOneLogLine) {
  for (const TCorruptFont& c : CorruptFonts()) {
    SCOPED_TRACE(c.name);
    TVecFont font;
    EXPECT_FALSE(font.Load(c.bytes, c.name));
    EXPECT_TRUE(font.IsEmpty());
    EXPECT_EQ(font.FindGlyph('A'), -1);
    EXPECT_EQ(font.GetShape(0), nullptr);
    EXPECT_EQ(font.GetAscent(), 0);
    std::string log = mLog.TakeNew();
    EXPECT_NE(log.find(std::string("Font ") + c.name + ": "), std::string::npos) << log;
    EXPECT_NE(log.find(c.message), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  }
}

TEST_F(VecFontTest, EveryCutOfAFontIsRefused) {
  std::vector<uint8_t> good = MakeFont({{'A', 0, 1, -1, 0, 1}, {'B', 0, 1, -1, 0, 1}});
  for (size_t cut = 0; cut < good.size(); ++cut) {
    TVecFont font;
    EXPECT_FALSE(font.Load(std::vector<uint8_t>(good.begin(), good.begin() + long(cut)), "cut.mvec")) << cut;
  }
  std::vector<uint8_t> builtIn = DefaultFontBytes();
  for (size_t cut : {size_t(100), builtIn.size() / 2, builtIn.size() - 1}) {
    TVecFont font;
    EXPECT_FALSE(font.Load(std::vector<uint8_t>(builtIn.begin(), builtIn.begin() + long(cut)), "cut.mvec")) << cut;
  }
}

// Each glyph of the built-in font draws inside its recorded ink extents.
TEST_F(VecFontTest, BuiltInGlyphsDrawInsideTheirExtents) {
  class TBoundsSink : public ISpanSink {
   public:
    void DrawSpans(const TColorSpan* spans, size_t count) override {
      for (size_t i = 0; i < count; ++i) {
        left = std::min(left, spans[i].x0), right = std::max(right, spans[i].x1);
        top = std::min(top, spans[i].y), bottom = std::max(bottom, spans[i].y + 1);
      }
    }
    std::shared_ptr<IVecDrawTarget> CreateRenderTarget(int, int) override { return nullptr; }
    bool BeginRenderTarget(const std::shared_ptr<IVecDrawTarget>&) override { return false; }
    void EndRenderTarget() override {}
    int left, right, top, bottom;
  } sink;
  TVecFont font;
  ASSERT_TRUE(font.Load(DefaultFontBytes(), "__DEFAULT"));
  TJxMiniVecDraw draw;
  draw.SetSpanSink(&sink);
  draw.SetScale(64 / 512.0f, 64 / 512.0f);  // 64 pixels to the em: 4 pixels per font unit
  int inked = 0;
  for (int g = 0; g < font.GetGlyphCount(); ++g) {
    sink.left = sink.top = 1 << 20;
    sink.right = sink.bottom = -(1 << 20);
    draw.BeginDraw(1000, 500, nullptr);
    draw.DrawShape(font.GetShape(g), 0, 0);
    draw.EndDraw();
    if (sink.right < sink.left) {
      EXPECT_EQ(font.GetLeft(g), font.GetRight(g)) << std::hex << font.GetCode(g);
      continue;
    }
    ++inked;
    SCOPED_TRACE(font.GetCode(g));
    EXPECT_NEAR(sink.left - 1000, font.GetLeft(g) * 4, 1.5);
    EXPECT_NEAR(sink.right - 1000, font.GetRight(g) * 4, 1.5);
    EXPECT_NEAR(sink.top - 500, font.GetTop(g) * 4, 1.5);
    EXPECT_NEAR(sink.bottom - 500, font.GetBottom(g) * 4, 1.5);
  }
  EXPECT_GT(inked, 190);
}

}  // namespace
