#pragma once
// TChapterScreenWindow ("ChapterScreenWindow"): the title card of a chapter. After the
// scene's fade-in, the location image, the location text centred 8 pixels under it, the
// chapter title and the subtitle each fade in from their own start time ("csStartLocation-
// Image", "csStartLocationText", "csStartTitle", "csStartSubtitle", milliseconds on the
// card's own clock, by "csFadeSpeed" thousandths per frame). Once all four are fully shown
// and "csSceneDuration" has passed, the card goes on to the next scene by itself; a click
// that the scene base does not take skips it, unless the global "BlockSkipOnMouseClickOn-
// ChapterScreen" is set. The play clock stands still while a chapter screen exists.
//
// The window shows a CChapterScreen (an empty one, with a log line, when the current scene
// is of another kind) and does not observe it.

#include <memory>

#include "platform/clock.h"
#include "scenes/scene.h"

class CChapterScreen;

class TChapterScreenWindow : public TScene {
 public:
  TARVELON_CLASS_ID()
  // The card's clock stays paused at 0 until the fade-in completes; the play clock pauses.
  TChapterScreenWindow();
  // The play clock goes on.
  ~TChapterScreenWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TChapterScreenWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TScene::IsKindOf(id); }
  // "locationImage", "locationText", "title" and "subtitle", all transparent, then the
  // scene's own layers above them.
  void PostCreate(TWindowStyle& style) override;
  // The parts' fades and the end of the card, then the scene's frame step.
  bool Animate() override;
  // A click the scene does not take skips the card (unless blocked).
  bool OnMouseDown(TPoint point) override;
  // Starts the card's clock; the scene's handler (back to the menu at "endGame") does not run.
  void OnFadeInCompleted() override;

  uint32_t GetChapterTime() const { return mChapterClock.GetTime(); }

 private:
  // Raises a part's alpha by the fade step once its start time has come, up to 1.
  void FadePart(const char* startKey, const char* windowName, float& alpha, uint32_t time);

  CChapterScreen* mChapterScreen = nullptr;  // the model (CGame owns it) or mStandIn
  std::unique_ptr<CChapterScreen> mStandIn;
  TClock mChapterClock;
  float mTitleAlpha = 0;
  float mSubtitleAlpha = 0;
  float mLocationTextAlpha = 0;
};
