#pragma once
// TFontCache: the process's vector fonts by name, loaded whole on first use and kept
// until Clear. "__DEFAULT" is the font built into the program; any other name is a
// ".mvec" file, with "fonts/default.mvec" and then the built-in font standing in for a
// file that cannot be opened. Main thread only.
//
// It also holds the link to the rasteriser that draws text: the rasteriser caches glyph
// runs by shape address, so whenever a font is freed that cache is emptied.

#include <memory>

#include "graphics/text/vec_font.h"
#include "platform/engine_string.h"

class TJxMiniVecDraw;

class TFontCache {
 public:
  // The font of that name, never null; a font that could not be made is empty (no
  // glyphs; "Font not found: %s" was logged).
  static std::shared_ptr<const TVecFont> GetFont(const TString& name);
  // Forgets every font (a font still held elsewhere lives on until its last holder lets
  // go).
  static void Clear();
  static size_t GetCount();
};

// The rasteriser that text is drawn with (a non-owning link; the display start sets it and
// clears it before deleting the rasteriser). Null: text draws nothing.
void SetTextRasteriser(TJxMiniVecDraw* draw);
TJxMiniVecDraw* GetTextRasteriser();
