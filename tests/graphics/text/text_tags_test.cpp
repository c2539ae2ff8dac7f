#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "graphics/text/text_tags.h"

namespace {

TTextTag Read(const std::string& text, size_t* next = nullptr) {
  TTextTag tag;
  size_t after = 0;
  EXPECT_TRUE(ReadTextTag(text.data(), text.size(), 0, tag, after)) << text;
  if (next) *next = after;
  return tag;
}

TEST(TextTags, NamesMatchAsPrefixesInTheirOrder) {
  struct {
    const char* text;
    TTextTagKind kind;
  } cases[] = {
      {"<br>", TTextTagKind::Br},          {"<BR pad='3'>", TTextTagKind::Br},
      {"<break>", TTextTagKind::Br},       {"<b>", TTextTagKind::B},
      {"<bold>", TTextTagKind::B},         {"</b>", TTextTagKind::EndB},
      {"</p>", TTextTagKind::EndP},        {"<p>", TTextTagKind::Unknown},
      {"<a id='x'>", TTextTagKind::A},     {"</a>", TTextTagKind::EndA},
      {"<i>", TTextTagKind::I},            {"<img>", TTextTagKind::I},
      {"</u>", TTextTagKind::EndU},        {"<Cursor>", TTextTagKind::Cursor},
      {"<center>", TTextTagKind::Center},  {"</center>", TTextTagKind::EndCenter},
      {"<left>", TTextTagKind::Left},      {"</right>", TTextTagKind::EndRight},
      {"< font size='3'>", TTextTagKind::Font}, {"</font>", TTextTagKind::EndFont},
      {"<outline>", TTextTagKind::Outline}, {"</outline>", TTextTagKind::EndOutline},
      {"<tab pos='5'>", TTextTagKind::Tab}, {"<>", TTextTagKind::Unknown},
      {"<span>", TTextTagKind::Unknown},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.text).kind, c.kind) << c.text;
}

TEST(TextTags, SpacesOutsideQuotesGoAndValuesKeepTheirCase) {
  size_t next = 0;
  TTextTag tag = Read("<FONT Face='Fonts/Big.mvec' COLOR = '#FFaa00'>rest", &next);
  EXPECT_EQ(tag.buffer, "<fontface='Fonts/Big.mvec'color='#ffaa00'");
  EXPECT_EQ(next, strlen("<FONT Face='Fonts/Big.mvec' COLOR = '#FFaa00'>"));
  std::string value;
  ASSERT_TRUE(tag.Attribute("face", value));
  EXPECT_EQ(value, "Fonts/Big.mvec");
  ASSERT_TRUE(tag.Attribute("color", value));
  EXPECT_EQ(value, "#ffaa00");
  EXPECT_FALSE(tag.Attribute("size", value));
  EXPECT_EQ(tag.IntAttribute("size", 16), 16);
  // A double quote anywhere after the name is taken before a single one.
  ASSERT_TRUE(Read("<font face='a' color=\"#123456\">").Attribute("face", value));
  EXPECT_EQ(value, "#123456");
  // A space inside quotes is kept, and ends the kept case.
  EXPECT_EQ(Read("<a id='Zwei Worte'>").buffer, "<aid='Zwei worte'");
}

TEST(TextTags, AttributeNeedsBothQuotes) {
  std::string value;
  EXPECT_FALSE(Read("<br pad=4>").Attribute("pad", value));
  EXPECT_FALSE(Read("<br pad='4>").Attribute("pad", value));
  EXPECT_EQ(Read("<br pad=\"12\">").IntAttribute("pad", 0), 12);
  EXPECT_EQ(Read("<tab pos='150'>").IntAttribute("pos", 0), 150);
}

TEST(TextTags, LessThanWithoutGreaterThanIsText) {
  TTextTag tag;
  size_t next = 7;
  std::string text = "a <b c";
  EXPECT_FALSE(ReadTextTag(text.data(), text.size(), 2, tag, next));
  EXPECT_FALSE(ReadTextTag(text.data(), text.size(), 0, tag, next));  // not at a "<"
  EXPECT_EQ(next, 7u);
}

TEST(TextTags, LongTagIsCutAtItsBuffer) {
  std::string text = "<font" + std::string(200, 'x') + ">z";
  size_t next = 0;
  TTextTag tag = Read(text, &next);
  EXPECT_EQ(tag.kind, TTextTagKind::Font);
  EXPECT_EQ(tag.buffer.size(), TTextTag::BufferSize);
  EXPECT_EQ(next, TTextTag::BufferSize);
  // Dropped spaces do not fill the buffer.
  std::string spaced = "<b" + std::string(300, ' ') + ">after";
  Read(spaced, &next);
  EXPECT_EQ(spaced.substr(next), "after");
}

TEST(TextTags, Colours) {
  struct {
    const char* text;
    bool withAlpha;
    TColor colour;
  } cases[] = {
      {"#ff8000", false, {1, 128 / 255.0f, 0, 1}},
      {"ff8000", true, {1, 128 / 255.0f, 0, 1}},
      {"#11223344", true, {0x11 / 255.0f, 0x22 / 255.0f, 0x33 / 255.0f, 0x44 / 255.0f}},
      {"#11223344", false, {0x11 / 255.0f, 0x22 / 255.0f, 0x33 / 255.0f, 1}},
      {"#0000FF", true, {0, 0, 1, 1}},
      {"", false, {0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    TColor got = ParseTagColour(c.text, c.withAlpha);
    EXPECT_EQ(got, c.colour) << c.text;
  }
}

TEST(TextTags, CharactersByTheirLeadByte) {
  struct {
    const char* bytes;
    size_t length;
    uint32_t code;
    size_t count;
  } cases[] = {
      {"A", 1, 'A', 1},
      {"\xC3\xA4", 2, 0xE4, 2},          // ä
      {"\xC3\x9F", 2, 0xDF, 2},          // ß
      {"\xE2\x82\xAC", 3, 0x20AC, 3},    // €
      {"\xF0\x9F\x99\x82", 4, 0x1F642, 4},
      {"\xAD", 1, 0xAD, 1},              // a lone soft hyphen of 8-bit text
      {"\xC3" "A", 2, 0xFFFD, 2},        // the lead byte takes its count all the same
  };
  for (const auto& c : cases) {
    size_t count = 0;
    EXPECT_EQ(ReadTextChar(c.bytes, c.length, 0, count), c.code) << c.bytes;
    EXPECT_EQ(count, c.count) << c.bytes;
  }
}

// Regression: a text ending inside a multi-byte sequence was read past its end.
TEST(TextTags, TruncatedUtf8StopsAtTheEnd) {
  for (const char* tail : {"\xC3", "\xE2\x82", "\xF0\x9F\x99", "\xF0"}) {
    size_t length = strlen(tail);
    // Exactly sized heap copy, so that the sanitizer sees any read beyond it.
    std::unique_ptr<char[]> exact(new char[length]);
    memcpy(exact.get(), tail, length);
    size_t count = 99;
    EXPECT_EQ(ReadTextChar(exact.get(), length, 0, count), 0xFFFDu);
    EXPECT_EQ(count, length);
  }
  size_t count = 99;
  EXPECT_EQ(ReadTextChar("ab", 2, 2, count), 0u);
  EXPECT_EQ(count, 0u);
}

TEST(TextMarkupState, FontTagsPushCopiesAndClosingTagsUnwind) {
  TTextMarkupState state;
  state.Reset(FontSpec{"__DEFAULT", 16, {0, 1, 0, 1}});
  state.Apply(Read("<font size='20'>"));
  EXPECT_EQ(state.CurrentFont().size, 20);
  EXPECT_EQ(state.CurrentFont().colour, (TColor{0, 1, 0, 1}));
  EXPECT_EQ(state.CurrentFont().face, TString("__DEFAULT"));
  state.Apply(Read("<font color='#ff0000' face='fonts/x.mvec'>"));
  EXPECT_EQ(state.CurrentFont().size, 20);
  EXPECT_EQ(state.CurrentFont().colour, (TColor{1, 0, 0, 1}));
  state.Apply(Read("</font>"));
  state.Apply(Read("</font>"));
  state.Apply(Read("</font>"));  // not below level 0
  EXPECT_EQ(state.GetFontLevel(), 0);
  EXPECT_EQ(state.CurrentFont().size, 16);
}

// Regression: font and alignment tags nested deeper than their 32-level stacks were read
// and written past the stacks' ends.
TEST(TextMarkupState, DeepNestingStaysOnTheStacks) {
  TTextMarkupState state;
  state.Reset(FontSpec{"__DEFAULT", 16, {0, 0, 0, 1}});
  for (int i = 1; i <= 40; ++i) {
    state.Apply(Read("<font size='" + std::to_string(i) + "'>"));
    state.Apply(Read(i % 2 ? "<center>" : "<right>"));
  }
  EXPECT_EQ(state.GetFontLevel(), 40);
  EXPECT_EQ(state.GetAlignmentDepth(), 40);
  // Beyond the stack the deepest stored level stays in force.
  EXPECT_EQ(state.CurrentFont().size, 31);
  EXPECT_EQ(state.CurrentAlignment(), 1);
  for (int i = 40; i >= 1; --i) {
    state.Apply(Read("</font>"));
    state.Apply(Read("</center>"));
  }
  EXPECT_EQ(state.CurrentFont().size, 16);
  EXPECT_EQ(state.CurrentAlignment(), -1);
  state.Apply(Read("</center>"));
  EXPECT_EQ(state.GetAlignmentDepth(), 0);
}

TEST(TextMarkupState, LinksStylesAndOutline) {
  TTextMarkupState state;
  state.Reset(FontSpec{"__DEFAULT", 16, {0, 1, 0, 1}});
  state.Apply(Read("<a id='Hilfe'>"));
  EXPECT_TRUE(state.inLink);
  EXPECT_EQ(state.linkId, TString("Hilfe"));
  EXPECT_EQ(state.linkColour, (TColor{0, 1, 0, 1}));
  state.Apply(Read("</a>"));
  state.Apply(Read("<a id='x' color='#0000ff'>"));
  EXPECT_EQ(state.linkColour, (TColor{0, 0, 1, 1}));
  state.Apply(Read("</a>"));
  EXPECT_FALSE(state.inLink);
  EXPECT_TRUE(state.linkId.IsEmpty());

  state.Apply(Read("<b>"));
  state.Apply(Read("<i>"));
  state.Apply(Read("<u>"));
  EXPECT_TRUE(state.bold && state.italic && state.underline);
  state.Apply(Read("</i>"));
  EXPECT_FALSE(state.italic);

  state.Apply(Read("<outline color='#102030'>"));
  EXPECT_EQ(state.outlineWidth, 2.0f);
  EXPECT_EQ(state.outlineColour, (TColor{0x10 / 255.0f, 0x20 / 255.0f, 0x30 / 255.0f, 1}));
  state.Apply(Read("<outline size='3.5'>"));
  EXPECT_EQ(state.outlineWidth, 3.5f);
  state.Apply(Read("</outline>"));
  EXPECT_EQ(state.outlineWidth, 0.0f);
  EXPECT_EQ(state.outlineColour, (TColor{0, 0, 0, 0}));
}

}  // namespace
