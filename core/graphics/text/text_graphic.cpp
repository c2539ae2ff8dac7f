// TTextGraphic: settings, layout, measuring and link hit tests. Drawing is in
// text_graphic_draw.cpp.

#include "graphics/text/text_graphic.h"

#include <cmath>

std::unique_ptr<TTextGraphic> TTextGraphic::Create(const TString& text, int32_t width, int32_t height,
                                                   uint32_t alignFlags, const TString& fontName, int32_t size,
                                                   const TColor& colour) {
  auto graphic = std::make_unique<TTextGraphic>();
  graphic->mText = text;
  graphic->mWidth = width;
  graphic->mHeight = height;
  graphic->mAlignFlags = alignFlags;
  graphic->mFontName = fontName.IsEmpty() ? TString("__DEFAULT") : fontName;
  graphic->mFontSize = size;
  graphic->mColour = colour;
  graphic->Relayout();
  return graphic;
}

void TTextGraphic::SetText(const TString& text) {
  // Byte comparison: a collation hook must not make two different texts look equal.
  if (text.Length() == mText.Length() && text.ToStd() == mText.ToStd()) return;
  mText = text;
  Relayout();
}

void TTextGraphic::SetFont(const TString& name) {
  TString font = name.IsEmpty() ? TString("__DEFAULT") : name;
  if (font.ToStd() == mFontName.ToStd()) return;
  mFontName = font;
  Relayout();
}

void TTextGraphic::SetFontSize(int32_t size) {
  if (size == mFontSize) return;
  mFontSize = size;
  Relayout();
}

void TTextGraphic::SetColor(const TColor& colour) {
  if (colour == mColour) return;
  mColour = colour;
  Relayout();
}

void TTextGraphic::SetRotation(float degrees, int32_t originX, int32_t originY) {
  float radians = degrees * 3.14159265358979f / 180.0f;
  mRotCos = std::cos(radians);
  mRotSin = std::sin(radians);
  if (NearlyEqual(mRotCos, 1.0f) && NearlyEqual(mRotSin, 0.0f)) {
    mRotCos = 1.0f;
    mRotSin = 0.0f;
  }
  mRotOriginX = originX;
  mRotOriginY = originY;
  Relayout();
}

void TTextGraphic::Relayout() {
  TTextLayoutInput input;
  input.text = mText;
  input.width = mWidth;
  input.height = mHeight;
  input.alignFlags = mAlignFlags;
  input.font.face = mFontName;
  input.font.size = mFontSize;
  input.font.colour = mColour;
  TTextLayoutResult result;
  LayoutText(input, mState, result);
  mLines = std::move(result.lines);
  mBounds = TRect(result.left, result.top, result.right, result.bottom);
}

float TTextGraphic::GetTextHeight() const {
  float total = 0;
  for (const auto& line : mLines) total += line->height;
  return total;
}

int TTextGraphic::GetMaxScroll(float scale, float spacing) const {
  float used = 0;
  int first = int(mLines.size());
  while (first > 0) {
    used += (mLines[size_t(first - 1)]->height + spacing) * scale;
    if (used > float(mHeight)) break;
    --first;
  }
  return first;
}

std::vector<TTextGraphic::TPlacedLine> TTextGraphic::PlaceLines(float availableHeight, float scaleY,
                                                                float spacing) const {
  std::vector<TPlacedLine> placed;
  if (mLines.empty()) return placed;
  // The scroll position rounded picks the first line; the rest of it shifts the lines.
  float scroll = std::isfinite(mScroll) ? mScroll : 0.0f;
  int last = int(mLines.size()) - 1;
  int first = int(std::lround(std::max(0.0f, std::min(scroll, float(last)))));
  float shift = (scroll - float(first)) * (mLines[size_t(first)]->height + spacing);
  if (!(std::fabs(shift) < 1e6f)) shift = 0;
  float top = (mLines[0]->y - shift) * scaleY;
  for (size_t i = size_t(first); i < mLines.size(); ++i) {
    const TTextLine& line = *mLines[i];
    float height = (line.height + spacing) * scaleY;
    if (top >= availableHeight) break;
    if (top + height > 0) placed.push_back(TPlacedLine{&line, top});
    top += height;
  }
  return placed;
}

TVec2 TTextGraphic::Rotate(const TVec2& point, float scaleX, float scaleY) const {
  if (mRotCos == 1.0f && mRotSin == 0.0f) return point;
  float ox = float(mRotOriginX) * scaleX, oy = float(mRotOriginY) * scaleY;
  float dx = point.x - ox, dy = point.y - oy;
  return TVec2(ox + dx * mRotCos - dy * mRotSin, oy + dx * mRotSin + dy * mRotCos);
}

TString TTextGraphic::GetLinkAt(float x, float y, const TTextDrawParams& params) const {
  float sx = params.scale, sy = params.scale * params.scaleY;
  // Into the unrotated box: turn the point back about the origin.
  TVec2 p(x, y);
  if (mRotCos != 1.0f || mRotSin != 0.0f) {
    float ox = float(mRotOriginX) * sx, oy = float(mRotOriginY) * sy;
    float dx = x - ox, dy = y - oy;
    p = TVec2(ox + dx * mRotCos + dy * mRotSin, oy - dx * mRotSin + dy * mRotCos);
  }
  for (const TPlacedLine& placed : PlaceLines(INFINITY, sy, params.spacing)) {
    const TTextLine& line = *placed.line;
    if (p.y < placed.top || p.y >= placed.top + (line.height + params.spacing) * sy) continue;
    for (const TTextRun& run : line.runs) {
      float left = (line.x + float(run.x) / 4) * sx;
      float right = (line.x + float(run.x + run.width) / 4) * sx;
      if (p.x >= left && p.x < right) return run.link;
    }
    return TString();
  }
  return TString();
}

bool TTextGraphic::UpdateHoverLink(float x, float y, const TTextDrawParams& params) {
  TString link = GetLinkAt(x, y, params);
  if (link.ToStd() == mHoverLink.ToStd()) return false;
  mHoverLink = link;
  return true;
}
