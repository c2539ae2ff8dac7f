#pragma once
// The small markup language of laid-out text: tags in angle brackets ("<br>", "<b>",
// "<font size='20' color='#ff0000'>", "<a id='help'>" ...), the parser's state while one
// text is laid out (font and alignment stacks, styles, link, outline), and the reading of
// the text's UTF-8 characters. Everything here is bounded by the text's length and by the
// fixed stack depths, whatever the text holds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"

// One level of the font stack.
struct FontSpec {
  TString face;
  int32_t size = 16;
  TColor colour{0, 0, 0, 0};
};

enum class TTextTagKind {
  Unknown,  // consumed and ignored
  Br,
  EndP,
  A,
  EndA,
  B,
  EndB,
  I,
  EndI,
  U,
  EndU,
  Cursor,
  Center,
  EndCenter,
  Left,
  EndLeft,
  Right,
  EndRight,
  Font,
  EndFont,
  Outline,
  EndOutline,
  Tab,
};

// One tag as read from the text: its kind and its normalised characters (spaces outside
// quotes dropped, lower case except attribute values), the "<" included.
struct TTextTag {
  static constexpr size_t BufferSize = 128;

  TTextTagKind kind = TTextTagKind::Unknown;
  std::string buffer;

  // The text between the quotes after the attribute's name; false when the name or
  // either quote is missing.
  bool Attribute(const char* name, std::string& value) const;
  // The attribute as an integer, or def.
  int IntAttribute(const char* name, int def) const;
};

// When text[pos] is "<" and a ">" follows, reads the tag (at most BufferSize characters
// are kept; reading stops when the buffer is full), sets next to the first character after
// what was read and returns true. Otherwise returns false: the "<" is plain text.
bool ReadTextTag(const char* text, size_t length, size_t pos, TTextTag& tag, size_t& next);

// A colour written in hexadecimal with an optional "#": six digits are red, green, blue
// (alpha 1); with withAlpha, eight digits are red, green, blue, alpha.
TColor ParseTagColour(const std::string& value, bool withAlpha);

// The character at text[pos]: lead bytes from 0xF0 take four bytes, from 0xE0 three, from
// 0xC0 two, others one (a single byte stands for itself, so 0xAD is the soft hyphen of
// 8-bit text). count is never more than the bytes left; a cut-off or malformed sequence
// gives 0xFFFD.
uint32_t ReadTextChar(const char* text, size_t length, size_t pos, size_t& count);

// The parser's state while one text is laid out. The stacks have 32 levels; deeper
// nesting keeps counting (so the matching closing tags unwind correctly) but reads and
// writes stay on the top level.
class TTextMarkupState {
 public:
  static constexpr int StackDepth = 32;

  // Level 0 becomes the text's own font; everything else starts afresh.
  void Reset(const FontSpec& base);

  // The font of the current level (the deepest stored one beyond the stack).
  const FontSpec& CurrentFont() const { return mFonts[size_t(ClampLevel(mFontLevel))]; }
  int GetFontLevel() const { return mFontLevel; }
  // Raises the level; below the stack's end the new level starts as a copy of the one
  // below and is returned for the tag to change, beyond it null.
  FontSpec* PushFont();
  void PopFont();

  // -1: the text's own alignment; else 0 left, 1 centre, 2 right.
  int CurrentAlignment() const { return mAlign[size_t(ClampLevel(mAlignDepth))]; }
  int GetAlignmentDepth() const { return mAlignDepth; }
  void PushAlignment(int alignment);
  void PopAlignment();

  // Applies a tag that only changes this state (styles, links, fonts, alignment,
  // outline); the layout handles the rest (line ends, cursor, tab).
  void Apply(const TTextTag& tag);

  bool bold = false, italic = false, underline = false;
  bool inLink = false;
  TString linkId;
  TColor linkColour{0, 0, 0, 0};
  float outlineWidth = 0;
  TColor outlineColour{0, 0, 0, 0};

 private:
  static int ClampLevel(int level) { return level < 0 ? 0 : level < StackDepth ? level : StackDepth - 1; }

  std::array<FontSpec, StackDepth> mFonts;
  int mFontLevel = 0;
  std::array<int, StackDepth> mAlign{};
  int mAlignDepth = 0;
};
