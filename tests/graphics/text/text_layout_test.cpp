#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "graphics/text/font_cache.h"
#include "graphics/text/text_graphic.h"
#include "platform/file_map.h"
#include "platform/settings.h"
#include "text_test_util.h"

namespace {

const TColor Black{0, 0, 0, 1};

// The square font at size 16: every character 8 pixels (32 quarter pixels) wide, lines
// 16.25 pixels high with the baseline 12.4375 pixels below their top.
constexpr float LineHeight = 16.25f;

class TextLayoutTest : public TTextTest {
 protected:
  std::unique_ptr<TTextGraphic> Lay(const std::string& text, int width = 400, int height = 300, uint32_t flags = 0) {
    return TTextGraphic::Create(TString(text.data(), text.size()), width, height, flags, Square, 16, Black);
  }

  // The characters of a line as the glyph codes of its runs.
  static std::string Glyphs(const TTextLine& line) {
    std::string out;
    for (const TTextRun& run : line.runs) {
      for (const TTextGlyph& g : run.glyphs) {
        uint32_t code = run.font->GetCode(g.glyph);
        out += code < 128 ? char(code) : '?';
      }
    }
    return out;
  }

  static std::string Lines(const TTextGraphic& text) {
    std::string out;
    for (int i = 0; i < text.GetLineCount(); ++i) out += (i ? "|" : "") + Glyphs(text.GetLine(i));
    return out;
  }
};

TEST_F(TextLayoutTest, LineEndsAndEscapes) {
  struct {
    const char* text;
    const char* lines;
  } cases[] = {
      {"ab<br>cd", "ab|cd"},
      {"ab\\<br>cd", "ab<br>cd"},
      {"ab\ncd", "ab|cd"},
      {"ab</p>cd", "ab|cd"},
      {"ab<br>", "ab"},
      {"a\n\nb", "a||b"},
      {"a<unknown tag>b", "ab"},
      {"a < b", "a < b"},
      {"x\\\\y", "x\\y"},
      {"end\\", "end"},
      {"<b>fett</b> <i>schief</i>", "fett schief"},
  };
  for (const auto& c : cases) EXPECT_EQ(Lines(*Lay(c.text)), c.lines) << c.text;
  EXPECT_EQ(Lay("")->GetLineCount(), 0);
}

TEST_F(TextLayoutTest, WrapsAtTheLastSpace) {
  ASSERT_FALSE(IsLegacyLineWrap());
  auto text = Lay("abc def ghi", 60);  // 7 characters fit
  EXPECT_EQ(Lines(*text), "abc def|ghi");
  EXPECT_EQ(text->GetLine(0).width, 56);
  EXPECT_EQ(text->GetLine(0).start, 0u);
  EXPECT_EQ(text->GetLine(0).end, 8u);
  EXPECT_EQ(text->GetLine(1).start, 8u);
  // Tags after the break point take effect on the next line only.
  text = Lay("abc def<b>ghi", 60);
  EXPECT_EQ(Lines(*text), "abc|defghi");
  EXPECT_EQ(text->GetLine(0).runs.back().style, 0u);
  EXPECT_EQ(text->GetLine(1).runs.back().style, uint32_t(TextBold));
}

TEST_F(TextLayoutTest, WordWiderThanTheBoxIsSplitAtTheEdge) {
  ASSERT_FALSE(IsLegacyLineWrap());
  EXPECT_EQ(Lines(*Lay("abcdefgh", 40)), "abcde|fgh");
  // A line always keeps its first character, even in a box narrower than one.
  EXPECT_EQ(Lines(*Lay("abc", 4)), "a|b|c");
  // Once "legacylinewrap" has been set, the overflowing character stays on the line.
  EXPECT_EXIT(
      {
        SetConfig("legacylinewrap", "0");
        auto legacy = Lay("abcdefgh", 40);
        std::exit(Lines(*legacy) == "abcdef|gh" ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(TextLayoutTest, SoftHyphenIsPreferredAndDrawnOnlyAtTheBreak) {
  auto text = Lay("abc\xC2\xAD" "defgh", 40);
  ASSERT_EQ(text->GetLineCount(), 2);
  EXPECT_EQ(Glyphs(text->GetLine(0)), "abc?");  // the hyphen glyph
  EXPECT_EQ(text->GetLine(0).width, 32);
  EXPECT_EQ(Glyphs(text->GetLine(1)), "defgh");
  EXPECT_EQ(Lines(*Lay("ab\xC2\xAD" "cd", 400)), "abcd");
  // The soft hyphen wins over a later space.
  EXPECT_EQ(Lines(*Lay("a\xC2\xAD" "b cdefg", 40)), "a?|b|cdefg");
}

TEST_F(TextLayoutTest, CentreTagsCentreTheirLinesOnly) {
  auto text = Lay("one<center>two</center>three", 100);
  ASSERT_EQ(Lines(*text), "one|two|three");
  EXPECT_EQ(text->GetLine(0).x, 0);
  EXPECT_EQ(text->GetLine(1).x, 38);  // 50 - 24 / 2
  EXPECT_EQ(text->GetLine(2).x, 0);
  // The tag ends the line before it, here an empty one.
  text = Lay("<right>r</right>", 100);
  ASSERT_EQ(Lines(*text), "|r");
  EXPECT_EQ(text->GetLine(1).x, 91);  // 100 - 1 - 8
}

TEST_F(TextLayoutTest, AlignmentFlags) {
  struct {
    uint32_t flags;
    float x, y;
  } cases[] = {
      {0, 0, 0},
      {TextAlignCenter, 34, 0},  // 50 - 32 / 2
      {TextAlignRight, 67, 0},   // 100 - 1 - 32
      {TextAlignCenter | TextAlignRight, 34, 0},
      {TextAlignMiddle, 0, 50 - LineHeight},
      {TextAlignBottom, 0, 100 - 2 * LineHeight},
  };
  for (const auto& c : cases) {
    auto text = Lay("abcd<br>x", 100, 100, c.flags);
    EXPECT_EQ(text->GetLine(0).x, c.x) << c.flags;
    EXPECT_FLOAT_EQ(text->GetLine(0).y, c.y) << c.flags;
    EXPECT_FLOAT_EQ(text->GetLine(1).y, c.y + LineHeight) << c.flags;
    EXPECT_EQ(text->GetTextBounds(), TRect(int32_t(c.x), int32_t(std::floor(c.y)), int32_t(c.x) + 32,
                                           int32_t(std::ceil(c.y + 2 * LineHeight))))
        << c.flags;
  }
  EXPECT_EQ(Lay("")->GetTextBounds(), TRect(0, 0, 0, 0));
}

TEST_F(TextLayoutTest, FontTagsGiveSizeColourAndFace) {
  auto text = Lay("a<font size='32' color='#11223344'>b</font><font color='#ff0000'>c</font>d");
  const TTextLine& line = text->GetLine(0);
  ASSERT_EQ(line.runs.size(), 4u);
  EXPECT_EQ(line.runs[0].colour, Black);
  EXPECT_EQ(line.runs[1].size, 32);
  EXPECT_EQ(line.runs[1].colour, (TColor{0x11 / 255.0f, 0x22 / 255.0f, 0x33 / 255.0f, 0x44 / 255.0f}));
  EXPECT_EQ(line.runs[2].colour, (TColor{1, 0, 0, 1}));
  EXPECT_EQ(line.runs[3].colour, Black);
  // Positions: a 32 quarters, b twice as wide.
  EXPECT_EQ(line.runs[1].x, 32);
  EXPECT_EQ(line.runs[2].x, 32 + 64);
  // The line is as high as its largest run, on one baseline.
  EXPECT_FLOAT_EQ(line.height, 2 * LineHeight);
  text = Lay("a<font face='__DEFAULT'>b</font>");
  EXPECT_EQ(text->GetLine(0).runs[1].font, TFontCache::GetFont("__DEFAULT"));
}

TEST_F(TextLayoutTest, CharactersTheFontLacksComeFromTheDefaultFont) {
  auto text = Lay("a\xC3\xA4\xC3\x9F" "b");  // a, ä, ß, b
  const TTextLine& line = text->GetLine(0);
  ASSERT_EQ(line.runs.size(), 3u);
  auto defaultFont = TFontCache::GetFont("fonts/default.mvec");
  EXPECT_EQ(line.runs[1].font, defaultFont);
  EXPECT_EQ(line.runs[1].glyphs.size(), 2u);
  EXPECT_EQ(line.runs[1].font->GetCode(line.runs[1].glyphs[1].glyph), 0xDFu);
  EXPECT_NE(line.runs[2].font, defaultFont);
  // Neither font has it: nothing is laid out for it.
  EXPECT_EQ(Lines(*Lay("a\xEE\x80\x80" "b")), "ab");
}

TEST_F(TextLayoutTest, LinksCarryTheirIdAndColour) {
  auto text = Lay("x <a id='hilfe' color='#0000ff'>Hilfe</a> y");
  const TTextLine& line = text->GetLine(0);
  ASSERT_EQ(line.runs.size(), 3u);
  EXPECT_EQ(line.runs[1].link, TString("hilfe"));
  EXPECT_TRUE(line.runs[1].inLink);
  EXPECT_EQ(line.runs[1].colour, (TColor{0, 0, 1, 1}));
  EXPECT_TRUE(line.runs[2].link.IsEmpty());
  EXPECT_EQ(line.runs[2].colour, Black);

  // Hit tests: "Hilfe" spans pixels 16..56 of the first line.
  EXPECT_EQ(text->GetLinkAt(20, 5), TString("hilfe"));
  EXPECT_EQ(text->GetLinkAt(55, 15), TString("hilfe"));
  EXPECT_TRUE(text->GetLinkAt(10, 5).IsEmpty());
  EXPECT_TRUE(text->GetLinkAt(20, 40).IsEmpty());
  TTextDrawParams doubled;
  doubled.scale = 2;
  EXPECT_EQ(text->GetLinkAt(100, 20, doubled), TString("hilfe"));
  EXPECT_TRUE(text->UpdateHoverLink(20, 5));
  EXPECT_FALSE(text->UpdateHoverLink(30, 5));
  EXPECT_EQ(text->GetHoverLink(), TString("hilfe"));
  EXPECT_TRUE(text->UpdateHoverLink(200, 5));
  EXPECT_TRUE(text->GetHoverLink().IsEmpty());

  // Turned a quarter about the box's corner, the link lies left of it.
  text->SetRotation(90, 0, 0);
  EXPECT_EQ(text->GetLinkAt(-5, 30), TString("hilfe"));
  EXPECT_TRUE(text->GetLinkAt(30, 5).IsEmpty());
}

TEST_F(TextLayoutTest, TabsCursorAndPad) {
  auto text = Lay("a<tab pos='150'>b<cursor>c<br pad='7'>d");
  const TTextLine& line = text->GetLine(0);
  EXPECT_EQ(line.runs[1].x, 600);
  EXPECT_EQ(line.cursor.x, 632);
  EXPECT_FLOAT_EQ(line.height, LineHeight + 7);
  EXPECT_FLOAT_EQ(text->GetLine(1).y, LineHeight + 7);
  EXPECT_EQ(text->GetLine(1).cursor.x, -1);
}

TEST_F(TextLayoutTest, ItalicChangeOpensRoom) {
  auto text = Lay("a<i>b</i>c");
  const TTextLine& line = text->GetLine(0);
  ASSERT_EQ(line.runs.size(), 3u);
  int slant = int(std::lround(16 / 4.0 / 3.0));  // the slant (1 font unit) x a third of the scale
  EXPECT_EQ(line.runs[1].x, 32 + slant);
  EXPECT_EQ(line.runs[2].x, 64 + 2 * slant);
  EXPECT_EQ(line.runs[1].style, uint32_t(TextItalic));
}

TEST_F(TextLayoutTest, TagLongerThanItsBufferGoesOnAsText) {
  std::string text = "<font" + std::string(200, 'x') + ">z";
  // 128 characters make the tag; the remaining 77 x's, the ">" and the z are text.
  EXPECT_EQ(Lines(*Lay(text, 4000)), std::string(77, 'x') + ">z");
}

// Regression: nesting beyond the 32-level font and alignment stacks read past them.
TEST_F(TextLayoutTest, DeepNestingUnwindsCorrectly) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "<font color='#ff0000'><center>";
  text += "a";
  for (int i = 0; i < 40; ++i) text += "</font></center>";
  text += "b";
  auto laid = Lay(text, 100);
  // Every alignment tag ends a line: "a" and "b" each stand between empty ones.
  const TTextLine *a = nullptr, *b = nullptr;
  for (int i = 0; i < laid->GetLineCount(); ++i) {
    const std::string glyphs = Glyphs(laid->GetLine(i));
    if (glyphs == "a") a = &laid->GetLine(i);
    if (glyphs == "b") b = &laid->GetLine(i);
  }
  ASSERT_TRUE(a && b);
  EXPECT_EQ(laid->GetLineCount(), 81);
  EXPECT_EQ(a->runs[0].colour, (TColor{1, 0, 0, 1}));
  EXPECT_EQ(a->x, 46);
  EXPECT_EQ(b->runs[0].colour, Black);
  EXPECT_EQ(b->x, 0);
}

// Regression: a text ending inside a UTF-8 sequence was read past its end.
TEST_F(TextLayoutTest, TruncatedUtf8AtTheEnd) {
  for (const char* tail : {"\xC3", "\xE2\x82", "\xF0\x9F\x99", "\\\xE2"}) {
    std::string text = std::string("ab") + tail;
    EXPECT_EQ(Lines(*Lay(text)), "ab") << text;
  }
}

TEST_F(TextLayoutTest, SettersLayOutAgainOnlyOnChange) {
  auto text = Lay("abc");
  const TTextLine* before = &text->GetLine(0);
  text->SetText("abc");
  text->SetColor(Black);
  text->SetFontSize(16);
  text->SetFont(Square);
  EXPECT_EQ(&text->GetLine(0), before);
  text->SetColor(TColor{1, 1, 1, 1});
  EXPECT_NE(&text->GetLine(0), before);
  EXPECT_EQ(text->GetLine(0).runs[0].colour, (TColor{1, 1, 1, 1}));
  text->SetFontSize(32);
  EXPECT_EQ(text->GetLine(0).width, 48);
  text->SetFont("");
  EXPECT_EQ(text->GetFontName(), TString("__DEFAULT"));
  text->SetRotation(360, 0, 0);  // nearly a whole turn is none
  text->SetText("xy");
  EXPECT_EQ(Lines(*text), "xy");
}

TEST_F(TextLayoutTest, MaxScroll) {
  auto text = Lay("a\nb\nc\nd\ne", 100, 40);
  EXPECT_EQ(text->GetMaxScroll(1, 0), 3);  // two lines of 16.25 fit in 40
  EXPECT_EQ(text->GetMaxScroll(1, 3), 3);
  EXPECT_EQ(text->GetMaxScroll(1, 5), 4);
  EXPECT_EQ(text->GetMaxScroll(0.5f, 0), 1);
  EXPECT_EQ(Lay("a", 100, 40)->GetMaxScroll(1, 0), 0);
  EXPECT_FLOAT_EQ(text->GetTextHeight(), 5 * LineHeight);
}

TEST_F(TextLayoutTest, MissingAndBrokenFonts) {
  // A face that cannot be opened falls back to "fonts/default.mvec", then the built-in.
  auto text = Lay("<font face='fonts/none.mvec'>a</font>");
  EXPECT_FALSE(text->GetLine(0).runs[0].font->IsEmpty());
  EXPECT_EQ(mLog.TakeNew().find("Font not found"), std::string::npos);

  // A file that is there but broken makes an empty font: its lines are laid out empty.
  std::vector<uint8_t> broken = {'M', 'V', 'C', '3', 0, 0, 0, 0, 0, 0, 0, 0};
  RegisterMemoryFile("fonts/broken.mvec", broken.data(), broken.size());
  text = Lay("x<br><font face='fonts/broken.mvec'>a</font><br>y");
  EXPECT_EQ(Lines(*text), "x||y");
  std::string log = mLog.TakeNew();
  EXPECT_NE(log.find("Font not found: fonts/broken.mvec"), std::string::npos) << log;
  EXPECT_NE(log.find("ERROR: FONT missing in text when attempting to render string x<br>"), std::string::npos)
      << log;
  RegisterMemoryFile("fonts/broken.mvec", nullptr, 0);
}

// Texts made of tag fragments, escapes, broken UTF-8 and soft hyphens: lines cover the
// text in order, every line makes progress, and drawing stays inside the rasteriser.
TEST_F(TextLayoutTest, RandomTaggedTextsLayOutInOrder) {
  const char* pieces[] = {"<", ">", "<b>", "</font>", "<font size='40' color='#ff00ff80'>", "<center>", "</right>",
                          "<a id='q'>", "</a>", "<tab pos='-30'>", "<br pad='-5'>", "<cursor>", "<i>", "\\",
                          "\\", " ", "  ", "\n", "ab", "xyzw", "\xC3", "\xA4", "\xE2\x82", "\xC2\xAD", "'", "\"",
                          "<outline size='1e9'>", "<outline size='nan'>", "<font face=''>", "<u>", "=", "<font size='2000000000'>", "<tab pos='2000000000'>", "<font size='-9'>"};
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int count = int(random() % 40);
    for (int i = 0; i < count; ++i) text += pieces[random() % (sizeof(pieces) / sizeof(pieces[0]))];
    int width = int(random() % 120) - 10;
    auto laid = Lay(text, width, 50, random() % 16);
    uint32_t at = 0;
    for (int i = 0; i < laid->GetLineCount(); ++i) {
      const TTextLine& line = laid->GetLine(i);
      ASSERT_EQ(line.start, at) << text;
      ASSERT_GT(line.end, line.start) << text;
      at = line.end;
    }
    ASSERT_EQ(at, uint32_t(text.size())) << text;
    laid->SetScroll(float(random() % 5) - 1.5f);
    laid->DrawAt(TVec2(3, 4), 50);
  }
}

}  // namespace
