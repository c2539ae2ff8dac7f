#pragma once
// TTextbox: a fixed-size window that shows a text in a font, colour and box, shrinking the
// font until the text fits. One child text window named "textboxText" draws the text; the
// box replaces it whenever it lays the text out again. Scene windows use it for their text
// boxes, object captions, chapter titles, the sidebar's item list and bonus texts.
//
// Fitting: from the requested font size down, the text is laid out until it is no wider
// than the box, no taller than the box height and no more lines than the line limit. (The
// limit counts laid-out lines: a line of the engine's fonts is a little higher than the font
// size, so a height of size x lines would never hold them.) Size 1 is the floor: a text
// that never fits (a box of width 0, a line limit of 0) stays at size 1. The child is then
// laid out in the full box height.
//
// Every operation on the child finds it by its name and does nothing without it.

#include <cstdint>
#include <memory>

#include "graphics/math/rect.h"
#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"
#include "windows/window.h"

class TText;

class TTextbox : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // childFlag is handed to every child text window: it is drawn in the cached-layer pass.
  explicit TTextbox(bool childFlag);

  // The creator of the window type (childFlag false).
  static std::unique_ptr<TWindow> Create();
  // The window as a text box, or null (also for null).
  static TTextbox* FromWindow(TWindow* window) { return WindowCast<TTextbox>(window); }

  const char* GetClassName() const override { return "TTextbox"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // Passed to the child text window.
  void SetScroll(float value, float second) override;

  // Sizes the box, stores the arguments, fits the text (above) and lays it out in a new
  // child; answers whether that layout succeeded. alignment holds the text layout's
  // alignment bits (1 centre, 2 right, 4 middle, 8 bottom); font sizes above 1000 count
  // as 1000.
  bool Setup(TString text, int32_t width, int32_t height, int32_t alignment, const TString& fontName,
             int32_t fontSize, const TColor& colour, int32_t maxLines);
  // Stores the size and resizes the window; the text stays as it was laid out until the
  // next SetText.
  void SetSize(int32_t width, int32_t height);
  // With a child: lays the new text out again from the requested font size.
  void SetText(const TString& text);
  // The child's text; empty without one.
  virtual TString GetText() const;
  // The font size that fitting chose.
  int32_t GetFontSize() const { return mFontSize; }
  // The rectangle the child's lines cover; left as it was without a child.
  void MeasureText(TRect& rect) const;
  void SetColor(const TColor& colour);
  // The alpha of the child's text colour; 0 without a child.
  float GetAlpha() const;
  // Replaces the alpha of the child's text colour.
  void SetAlpha(float alpha);
  // Turns the child's text (degrees) about (centreX, centreY) of the box.
  void SetRotation(float degrees, int32_t centreX, int32_t centreY);

 private:
  TText* Child() const;
  // The child leaves the box and is deleted (at the next event when a window manager runs,
  // as it may be the window being dispatched to).
  void DropChild();
  // The largest size from the requested one down at which the text fits the box.
  int32_t FitFontSize() const;

  int32_t mFontSize = 0;
  int32_t mHeight = 0;
  int32_t mWidth = 0;
  int32_t mAlignment = 0;
  TString mFontName;
  TString mText;
  int32_t mRequestedFontSize = 0;
  TColor mColour{0, 0, 0, 0};
  int32_t mMaxLines = 0;
  bool mChildFlag;
};
