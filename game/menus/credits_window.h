#pragma once
// TCreditsWindow: the window of the credits, created by the credits' window script
// ("CreditsWindow"), which opens it in a modal named "creditswindow". It reads a text file
// of credit lines and scrolls them upwards at a constant speed after an opening pause, in
// three blocks that move in step: a left and a right column for the two parts of a line
// holding "|", and a centred block for every other line. "[" and "]" mark a stretch shown
// in the highlight colour. Nine tenths of one pass after its first step the window pops
// its modal.
//
// Style keys: "file", "font", "fontsize" (16), "fontcolor" (1, 1, 1, 1), "headercolor"
// (1, 1, 1, 1), "columngap", "columnwidth", "time" (ms of one pass), "intropause" (ms).

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"
#include "windows/window.h"

class TTextGraphic;

// The three texts of a credits file, one line of each per credit line.
struct TCreditsTexts {
  std::string left, right, centre;
};

class TCreditsWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  TCreditsWindow();
  ~TCreditsWindow() override;

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TCreditsWindow>(); }

  const char* GetClassName() const override { return "TCreditsWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // Reads the style and the file, lays the three blocks out and starts a step every 16 ms.
  void Init(TWindowStyle& style) override;
  void Draw() override;
  // Redraws; once the pass is as good as over, pops the modal "creditswindow".
  bool Animate() override;

  // The highlight colour's text: each channel times 255 as two hex digits.
  static std::string HighlightText(const TColor& colour);
  // One part of a line: spaces and tabs at both ends dropped, "[" and "]" turned into the
  // highlight's colour tags, a line feed at the end.
  static std::string FormatPart(const std::string& part, const std::string& highlight);
  // The texts of a credits file's bytes: each begins with a line feed. A line ends at a line
  // feed, a carriage return or both together; a last line without an end counts too.
  static TCreditsTexts ReadCredits(const std::string& bytes, const std::string& highlight);
  // Milliseconds after the opening pause at which the window pops its modal: nine tenths
  // of the pass from the first step, but never before the pause is over.
  static uint32_t CloseTime(uint32_t duration, uint32_t introPause);
  // Pixels the blocks have moved up after t ms of scrolling: one copy per pass, again from
  // the start after each; none without a pass time.
  static float ScrollOffset(uint32_t t, uint32_t duration, int32_t distance);

  // Milliseconds of scrolling so far (0 during the opening pause); the first call starts
  // the clock.
  uint32_t GetScrollTime();
  int32_t GetScrollDistance() const { return mScrollDistance; }
  int32_t GetFontSize() const { return mFontSize; }
  const TTextGraphic* GetLeft() const { return mLeft.get(); }
  const TTextGraphic* GetRight() const { return mRight.get(); }
  const TTextGraphic* GetCentre() const { return mCentre.get(); }

 private:
  // Sets a block's first visible line for the offset in pixels.
  void ScrollBlock(TTextGraphic& block, float offset) const;

  std::unique_ptr<TTextGraphic> mLeft, mRight, mCentre;
  bool mStarted = false;
  uint32_t mStartTime = 0;
  int32_t mScrollDistance = 0;
  TString mFontName;
  int32_t mFontSize = 16;
  int32_t mColumnGap = 0;
  uint32_t mDuration = 0;
  uint32_t mIntroPause = 0;
  int32_t mColumnWidth = 0;
  TColor mTextColour{1, 1, 1, 1};
};
