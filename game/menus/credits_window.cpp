#include "menus/credits_window.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "graphics/renderer.h"
#include "graphics/text/text_graphic.h"
#include "platform/file.h"
#include "platform/log.h"
#include "platform/timer.h"
#include "script/lua_table_reader.h"
#include "windows/window_manager.h"
#include "windows/window_style.h"

namespace {

constexpr int32_t DefaultFontSize = 16;
// The layouts centre each line in its block.
constexpr uint32_t CentredLines = 1;

TColor ToColour(const TLuaVec4& quad) { return TColor{quad[0], quad[1], quad[2], quad[3]}; }

// Style numbers of milliseconds: negative ones count as 0, the largest as the most a
// 32-bit timer holds.
uint32_t ReadMilliseconds(TWindowStyle& style, const char* key) {
  double value = style.GetNumber(key, 0.0);
  if (!(value > 0.0)) return 0;
  return value >= double(std::numeric_limits<uint32_t>::max()) ? std::numeric_limits<uint32_t>::max() : uint32_t(value);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

TCreditsWindow::TCreditsWindow() = default;

TCreditsWindow::~TCreditsWindow() = default;

std::string TCreditsWindow::HighlightText(const TColor& colour) {
  TColor32 packed = ToColor32(colour);
  char text[9];
  std::snprintf(text, sizeof text, "%02x%02x%02x%02x", unsigned(packed >> 16 & 0xFF), unsigned(packed >> 8 & 0xFF),
                unsigned(packed & 0xFF), unsigned(packed >> 24 & 0xFF));
  return text;
}

std::string TCreditsWindow::FormatPart(const std::string& part, const std::string& highlight) {
  size_t end = part.size();
  while (end > 0 && IsBlank(part[end - 1])) --end;
  size_t begin = 0;
  while (begin < end && IsBlank(part[begin])) ++begin;
  std::string out;
  for (size_t i = begin; i < end; i++) {
    if (part[i] == '[') {
      out += "<font color='" + highlight + "'>";
    } else if (part[i] == ']') {
      out += "</font>";
    } else {
      out += part[i];
    }
  }
  out += '\n';
  return out;
}

TCreditsTexts TCreditsWindow::ReadCredits(const std::string& bytes, const std::string& highlight) {
  TCreditsTexts texts{"\n", "\n", "\n"};
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    // A carriage return and a line feed end one line together.
    at = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    size_t bar = line.find('|');
    if (bar == std::string::npos) {
      texts.left += '\n';
      texts.right += '\n';
      texts.centre += FormatPart(line, highlight);
    } else {
      texts.left += FormatPart(line.substr(0, bar), highlight);
      texts.right += FormatPart(line.substr(bar + 1), highlight);
      texts.centre += '\n';
    }
  }
  return texts;
}

uint32_t TCreditsWindow::CloseTime(uint32_t duration, uint32_t introPause) {
  uint32_t nineTenths = duration - duration / 10;
  // A pause longer than that would make the time wrap, and the window would never close.
  return nineTenths > introPause ? nineTenths - introPause : 0;
}

float TCreditsWindow::ScrollOffset(uint32_t t, uint32_t duration, int32_t distance) {
  if (duration == 0) return 0.0f;
  return float(double(t % duration) * double(distance) / double(duration));
}

void TCreditsWindow::Init(TWindowStyle& style) {
  TWindow::Init(style);
  mFontName = style.GetString("font", TString());
  mFontSize = style.GetInt("fontsize", DefaultFontSize);
  if (mFontSize <= 0) {
    LogPrintf("TCreditsWindow: font size %d taken as %d", mFontSize, DefaultFontSize);
    mFontSize = DefaultFontSize;
  }
  mColumnGap = style.GetInt("columngap", 0);
  mDuration = ReadMilliseconds(style, "time");
  mIntroPause = ReadMilliseconds(style, "intropause");
  mColumnWidth = std::max(style.GetInt("columnwidth", 0), 0);
  mTextColour = ToColour(style.GetQuad("fontcolor", TLuaVec4{1, 1, 1, 1}));
  std::string highlight = HighlightText(ToColour(style.GetQuad("headercolor", TLuaVec4{1, 1, 1, 1})));
  TString file = style.GetString("file", TString());

  std::string bytes;
  if (!ReadWholeFile(file, bytes, FileReadRaw)) {
    LogPrintf("TCreditsWindow: the credits file \"%s\" does not open; the credits are empty", file.c_str());
    bytes.clear();
  }
  TCreditsTexts texts = ReadCredits(bytes, highlight);
  // Blank lines of a screen's height, so that the last lines scroll fully out of sight.
  std::string blank(size_t(std::max(GetHeight() / mFontSize, 0)), '\n');
  texts.left += blank;
  texts.right += blank;
  texts.centre += blank;

  // Each text twice, so that a second copy follows the first up the screen.
  auto layout = [&](const std::string& text, int32_t width) {
    return TTextGraphic::Create(TString(text + text), width, GetHeight(), CentredLines, mFontName, mFontSize,
                                mTextColour);
  };
  mLeft = layout(texts.left, mColumnWidth);
  mRight = layout(texts.right, mColumnWidth);
  int64_t centreWidth = int64_t(mColumnGap) + 2 * int64_t(mColumnWidth);
  mCentre = layout(texts.centre, int32_t(std::clamp<int64_t>(centreWidth, 0, CoordinateLimit)));
  mScrollDistance = mLeft ? mLeft->GetTextBounds().bottom / 2 : 0;

  mStarted = false;
  StartAnim(16, true, true, false);
}

uint32_t TCreditsWindow::GetScrollTime() {
  uint32_t now = GetTimer();
  if (!mStarted) {
    mStarted = true;
    mStartTime = now;
  }
  uint32_t elapsed = now - mStartTime;
  return elapsed < mIntroPause ? 0 : elapsed - mIntroPause;
}

void TCreditsWindow::ScrollBlock(TTextGraphic& block, float offset) const {
  // The first visible line is counted in the layout's own lines, which are a little
  // higher than the font size: so the blocks move one copy per pass.
  float lineHeight = block.GetLineCount() > 0 ? block.GetTextHeight() / float(block.GetLineCount()) : 0.0f;
  if (!(lineHeight > 0.0f)) lineHeight = float(mFontSize);
  block.SetScroll(offset / lineHeight);
}

void TCreditsWindow::Draw() {
  float offset = ScrollOffset(GetScrollTime(), mDuration, mScrollDistance);
  TScoped2d block;
  int32_t w = GetWidth(), h = GetHeight(), half = w / 2, g = mColumnGap, f = mFontSize;
  const struct {
    TTextGraphic* text;
    TRect rect;
  } blocks[] = {
      {mLeft.get(), TRect(g, -f, half - g / 2, h + 2 * f)},
      {mRight.get(), TRect(half + g / 2, -f, w - g, h + 2 * f)},
      {mCentre.get(), TRect(g, -f, w - g, h + 2 * f)},
  };
  for (const auto& entry : blocks) {
    if (!entry.text) continue;
    ScrollBlock(*entry.text, offset);
    entry.text->Draw(entry.rect);
  }
}

bool TCreditsWindow::Animate() {
  TWindowManager* manager = GetWindowManager();
  if (manager) manager->Invalidate();
  if (manager && GetScrollTime() > CloseTime(mDuration, mIntroPause))
    manager->DoLuaString(this, "PopModal(\"creditswindow\")");
  return true;
}
