#pragma once
// TTextGraphic: a block of tagged text laid out into lines inside a box and drawn with
// vector fonts. Every setter that changes what the lines look like lays the whole text out
// again at once; drawing never lays out.
//
// Tags (in angle brackets, names matched as prefixes, unknown ones ignored; "\<" prints a
// "<"): br pad='n', /p, a id='...' color='#rrggbb', /a, b, /b, i, /i, u, /u, cursor,
// center, /center, left, /left, right, /right, font size='n' color='#rrggbb[aa]'
// face='fonts/x.mvec', /font, outline color='#rrggbb' size='w', /outline, tab pos='n'.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/math/rect.h"
#include "graphics/math/vector_math.h"
#include "graphics/text/mini_vec_draw.h"
#include "graphics/text/text_layout.h"
#include "graphics/text/text_tags.h"
#include "platform/engine_string.h"

class TTextureBase;

// A texture as the rasteriser's blending target; unlocking asks for a redraw.
class TTextureVecTarget : public IVecDrawTarget {
 public:
  explicit TTextureVecTarget(std::shared_ptr<TTextureBase> texture) : mTexture(std::move(texture)) {}
  bool Lock(uint32_t*& pixels, int& pitch, int& width, int& height) override;
  void Unlock() override;
  const std::shared_ptr<TTextureBase>& GetTexture() const { return mTexture; }

 private:
  std::shared_ptr<TTextureBase> mTexture;
};

// How a laid-out text is drawn and hit-tested.
struct TTextDrawParams {
  float alpha = 1.0f;    // multiplies every colour's alpha
  float scale = 1.0f;    // both axes
  float scaleY = 1.0f;   // vertical only, on top of scale
  float spacing = 0.0f;  // pixels added below every line (a text window's padding)
};

class TTextGraphic {
 public:
  TTextGraphic() = default;
  TTextGraphic(const TTextGraphic&) = delete;
  TTextGraphic& operator=(const TTextGraphic&) = delete;

  // A text object with these settings, laid out. An empty font name means "__DEFAULT".
  static std::unique_ptr<TTextGraphic> Create(const TString& text, int32_t width, int32_t height,
                                              uint32_t alignFlags, const TString& fontName, int32_t size,
                                              const TColor& colour);

  // Each lays out again only when the value changed (colours compared exactly).
  void SetText(const TString& text);
  void SetFont(const TString& name);
  void SetFontSize(int32_t size);
  void SetColor(const TColor& colour);
  // Degrees, turning clockwise on screen about (originX, originY) of the box.
  void SetRotation(float degrees, int32_t originX, int32_t originY);
  void Relayout();

  const TString& GetText() const { return mText; }
  const TString& GetFontName() const { return mFontName; }
  int32_t GetFontSize() const { return mFontSize; }
  const TColor& GetColor() const { return mColour; }
  uint32_t GetAlignFlags() const { return mAlignFlags; }
  int32_t GetWidth() const { return mWidth; }
  int32_t GetHeight() const { return mHeight; }

  int GetLineCount() const { return int(mLines.size()); }
  const TTextLine& GetLine(int index) const { return *mLines[size_t(index)]; }
  // The rectangle covered by the lines at scale 1 (pixels of the box; all 0 without lines).
  TRect GetTextBounds() const { return mBounds; }
  // The sum of the line heights.
  float GetTextHeight() const;
  // The smallest first line from which all remaining lines fit in the box height, each
  // line counted as (its height + spacing) x scale; 0 when everything fits.
  int GetMaxScroll(float scale, float spacing) const;

  // The first visible line; a fraction scrolls part of a line.
  void SetScroll(float firstLine) { mScroll = firstLine; }
  float GetScroll() const { return mScroll; }

  // The link id of the run under a point of the box (searching from the first visible
  // line), empty when none.
  TString GetLinkAt(float x, float y, const TTextDrawParams& params = TTextDrawParams()) const;
  // Remembers the link under the point; answers whether it changed.
  bool UpdateHoverLink(float x, float y, const TTextDrawParams& params = TTextDrawParams());
  void ClearHoverLink() { mHoverLink = TString(); }
  const TString& GetHoverLink() const { return mHoverLink; }

  // The renderer's entry: draws the lines from the first visible one with the box's
  // top-left corner at the rectangle's left and top, down to its height. Without a target
  // the rectangle is in the current viewport and the platform's viewport scale, when one
  // is set, multiplies the scale; with one it is in the texture's own pixels.
  void Draw(const TRect& rect, const TTextDrawParams& params = TTextDrawParams(),
            const std::shared_ptr<TTextureBase>& target = nullptr) const;
  // Draws the lines from the first visible one with the box's top-left corner at
  // position, down to availableHeight, through the text rasteriser (GetTextRasteriser):
  // into target when one is given (its own pixels), else to the screen.
  void DrawAt(const TVec2& position, float availableHeight, const TTextDrawParams& params = TTextDrawParams(),
              const std::shared_ptr<IVecDrawTarget>& target = nullptr) const;

 private:
  struct TPlacedLine {
    const TTextLine* line;
    float top;  // pixels from the box's top, scaled
  };
  // The lines from the first visible one whose top lies above availableHeight, skipping
  // those wholly above the box.
  std::vector<TPlacedLine> PlaceLines(float availableHeight, float scaleY, float spacing) const;
  TVec2 Rotate(const TVec2& point, float scaleX, float scaleY) const;

  TString mText;
  TTextMarkupState mState;
  TRect mBounds;
  int32_t mWidth = 0, mHeight = 0;
  float mRotCos = 1.0f, mRotSin = 0.0f;
  int32_t mRotOriginX = 0, mRotOriginY = 0;
  std::vector<std::shared_ptr<TTextLine>> mLines;
  TString mFontName = "__DEFAULT";
  TColor mColour{0, 0, 0, 0};
  float mScroll = 0;
  TString mHoverLink;
  uint32_t mAlignFlags = 0;
  int32_t mFontSize = 16;
};
