#pragma once
// TText: a window that shows a laid-out block of tagged text (TTextGraphic) with clickable
// links: a link names a button of the text's modal, which is pressed on a click. Registered
// as "Text"; the text edit builds on it.

#include <cstdint>
#include <memory>

#include "graphics/math/rect.h"
#include "graphics/math/vector_math.h"
#include "graphics/text/text_graphic.h"
#include "windows/window.h"

class TText : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // cachedLayer: the text is drawn in the cached-layer pass (window flag 4).
  explicit TText(bool cachedLayer);

  // The creator registered as "Text".
  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TText"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // "font" {name, size, colour}, "name", "label" (a string-table key while the UI script's
  // label flag is set), "defflags", "flags", "padding", "rotation" and its origin.
  void Init(TWindowStyle& style) override;
  void Draw() override;
  // Scrolls to value (0..1) of the text's scroll range.
  void SetScroll(float value, float second) override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseUp(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  bool OnMouseLeave() override;

  // Nothing without a text object (a window of no size has none).
  virtual void SetText(const TString& text);
  // The text object's text; empty without one.
  virtual TString GetText() const;

  void SetColor(const TColor& colour);
  void SetRotation(float degrees, int32_t originX, int32_t originY);
  void SetScaleY(float scale) { mScaleY = scale; }
  float GetScaleY() const { return mScaleY; }
  int GetLineCount() const;
  // The rectangle the lines cover at scale 1.
  TRect GetTextBounds() const;
  // Makes the text object and sizes the window; the text goes through SetText.
  bool LayoutText(const TString& text, int32_t width, int32_t height, uint32_t flags, const TString& fontName,
                  int32_t fontSize, const TColor& colour);
  TTextGraphic* GetTextGraphic() const { return mTextGraphic.get(); }
  int32_t GetPadding() const { return mPadding; }

 private:
  TTextDrawParams DrawParams() const;

  std::unique_ptr<TTextGraphic> mTextGraphic;
  float mScaleX = 1.0f;
  float mScaleY = 1.0f;
  int32_t mPadding = 0;
  float mScrollBias = 0.5f;
  TString mPressedLink;
};

// A label as a text window shows it: "#word" is the word itself, a number stays as it is,
// anything else is a key of the string table.
TString LookUpLabel(const TString& label);
