#include "scenes/textbox.h"

#include <algorithm>

#include "platform/log.h"
#include "windows/text_window.h"
#include "windows/window_manager.h"

namespace {

const char* const ChildName = "textboxText";

// Bounds of the fitting loop: it runs at most MaxFontSize - MinFontSize layouts.
constexpr int32_t MinFontSize = 1;
constexpr int32_t MaxFontSize = 1000;

}  // namespace

TTextbox::TTextbox(bool childFlag) : mChildFlag(childFlag) {}

std::unique_ptr<TWindow> TTextbox::Create() { return std::make_unique<TTextbox>(false); }

TText* TTextbox::Child() const {
  return WindowCast<TText>(const_cast<TTextbox*>(this)->FindChild(ChildName, 1));
}

void TTextbox::DropChild() {
  TWindow* child = FindChild(ChildName, 1);
  if (!child || child == this) return;
  std::unique_ptr<TWindow> removed = RemoveChild(child);
  if (TWindowManager* manager = GetWindowManager()) manager->DestroyWindowLater(std::move(removed));
}

int32_t TTextbox::FitFontSize() const {
  int32_t size = mFontSize;
  if (size > MaxFontSize) {
    LogPrintf("TTextbox %s: font size %d taken as %d", GetName().c_str(), size, MaxFontSize);
    size = MaxFontSize;
  }
  TText scratch(false);
  while (true) {
    scratch.LayoutText(mText, mWidth, mHeight, uint32_t(mAlignment), mFontName, size, mColour);
    TRect bounds = scratch.GetTextBounds();
    bool fits = bounds.Width() <= mWidth && bounds.Height() <= mHeight && scratch.GetLineCount() <= mMaxLines;
    if (fits || size <= MinFontSize) return std::max(size, MinFontSize);
    --size;
  }
}

bool TTextbox::Setup(TString text, int32_t width, int32_t height, int32_t alignment, const TString& fontName,
                     int32_t fontSize, const TColor& colour, int32_t maxLines) {
  DropChild();
  SetSize(width, height);
  mText = text;
  mAlignment = alignment;
  mFontName = fontName;
  mRequestedFontSize = fontSize;
  mFontSize = fontSize;
  mColour = colour;
  mMaxLines = maxLines;
  mFontSize = FitFontSize();

  auto child = std::make_unique<TText>(mChildFlag);
  bool laidOut = child->LayoutText(mText, mWidth, mHeight, uint32_t(mAlignment), mFontName, mFontSize, mColour);
  child->SetName(ChildName);
  child->SetPosition(0, 0);
  std::unique_ptr<TWindow> window = std::move(child);
  AddChild(window, true);
  return laidOut;
}

void TTextbox::SetSize(int32_t width, int32_t height) {
  mWidth = width;
  mHeight = height;
  TWindow::SetSize(width, height);
}

void TTextbox::SetText(const TString& text) {
  if (!Child()) return;
  Setup(text, mWidth, mHeight, mAlignment, mFontName, mRequestedFontSize, mColour, mMaxLines);
}

TString TTextbox::GetText() const {
  TText* child = Child();
  return child ? child->GetText() : TString();
}

void TTextbox::MeasureText(TRect& rect) const {
  if (TText* child = Child()) rect = child->GetTextBounds();
}

void TTextbox::SetColor(const TColor& colour) {
  if (TText* child = Child()) child->SetColor(colour);
}

float TTextbox::GetAlpha() const {
  TText* child = Child();
  return child && child->GetTextGraphic() ? child->GetTextGraphic()->GetColor().a : 0.0f;
}

void TTextbox::SetAlpha(float alpha) {
  TText* child = Child();
  if (!child || !child->GetTextGraphic()) return;
  TColor colour = child->GetTextGraphic()->GetColor();
  colour.a = alpha;
  child->SetColor(colour);
}

void TTextbox::SetRotation(float degrees, int32_t centreX, int32_t centreY) {
  if (TText* child = Child()) child->SetRotation(degrees, centreX, centreY);
}

void TTextbox::SetScroll(float value, float second) {
  if (TText* child = Child()) child->SetScroll(value, second);
}
