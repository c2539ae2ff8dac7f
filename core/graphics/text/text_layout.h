#pragma once
// The line breaker of laid-out text: turns a tagged UTF-8 text into lines of runs of
// positioned glyphs inside a box width. Horizontal positions are quarter pixels from the
// line's start; vertical measures are pixels.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/text/text_tags.h"
#include "graphics/text/vec_font.h"
#include "platform/engine_string.h"

enum TTextStyle : uint32_t {
  TextBold = 1,
  TextItalic = 2,
  TextUnderline = 4,
};

// Alignment flags of a text: horizontal (neither: left) and vertical (neither: top).
enum TTextAlign : uint32_t {
  TextAlignCenter = 1,
  TextAlignRight = 2,
  TextAlignMiddle = 4,
  TextAlignBottom = 8,
};

struct TTextGlyph {
  int glyph = -1;  // index in the run's font
  int x = 0;       // quarter pixels from the line's start
};

// Characters of one font and one style.
struct TTextRun {
  uint32_t start = 0, end = 0;  // bytes of the text
  int x = 0;                    // quarter pixels from the line's start
  int width = 0;                // quarter pixels
  std::shared_ptr<const TVecFont> font;
  int32_t size = 16;
  TColor colour{0, 0, 0, 0};
  uint32_t style = 0;  // TTextStyle bits
  bool inLink = false;
  TString link;
  float outlineWidth = 0;
  TColor outlineColour{0, 0, 0, 0};
  std::vector<TTextGlyph> glyphs;

  // Font units to pixels.
  float Scale() const { return float(size) / 16.0f; }
  // Pixels from the line box's top to the baseline, and from the baseline to the bottom.
  float Above() const;
  float Below() const;
};

// The cursor a "<cursor>" tag put into a line.
struct TTextCursor {
  int x = -1;  // quarter pixels from the line's start; -1: none
  int32_t size = 16;
  TColor colour{0, 0, 0, 0};
};

struct TTextLine {
  uint32_t start = 0, end = 0;  // bytes of the text; end is where the next line starts
  int width = 0;                // pixels
  float x = 0;                  // start in the box (alignment), pixels
  float y = 0;                  // top in the box, pixels
  float height = 0;             // pixels, a "br" tag's pad included
  float baseline = 0;           // pixels from the top
  TTextCursor cursor;
  std::vector<TTextRun> runs;
};

struct TTextLayoutInput {
  TString text;
  int32_t width = 0, height = 0;
  uint32_t alignFlags = 0;
  FontSpec font;  // the text's own font, colour and size
};

struct TTextLayoutResult {
  std::vector<std::shared_ptr<TTextLine>> lines;
  // The rectangle covered by the lines, pixels.
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Lays out the whole text (fonts through TFontCache). state is the caller's parser state,
// reset here.
void LayoutText(const TTextLayoutInput& input, TTextMarkupState& state, TTextLayoutResult& result);
