#include "menus/score_window.h"

#include "model/highscore_system.h"
#include "platform/settings.h"
#include "windows/text_window.h"
#include "windows/window_manager.h"

namespace {

constexpr float ScaleStep = 0.035f;
constexpr uint32_t PauseBeforeBonus = 500;
constexpr uint32_t PauseBeforeScore = 750;

}  // namespace

const char* const TScoreWindow::TextNames[TScoreWindow::TextCount] = {
    "previouslevelbonus", "bonuspointscore", "bonuscompletelevelscore",
    "usedhintsbonusscore", "timebonusscore", "scoreedit"};

TScoreWindow::TScoreWindow() {
  HighscoreSystem::PausePlay();
  SetConfig("vsync", "1");
}

TScoreWindow::~TScoreWindow() { HighscoreSystem::StartPlay(); }

void TScoreWindow::Init(TWindowStyle& style) { StartAnim(25, true, true, false); }

void TScoreWindow::PostCreate(TWindowStyle& style) {
  for (const char* name : TextNames)
    if (auto* text = WindowCast<TText>(FindChild(name))) text->SetScaleY(0.0f);
  TWindow::PostCreate(style);
}

bool TScoreWindow::Animate() {
  if (TWindowManager* windows = GetWindowManager()) windows->Invalidate();
  mClock.Start();
  if (mClock.GetTime() < mDelay) return true;
  mScale += ScaleStep;
  if (mStep > TextCount) {
    mScale = 0.0f;
    return true;
  }
  auto* text = WindowCast<TText>(FindChild(TextNames[mStep - 1]));
  if (text) text->SetScaleY(mScale);
  if (mScale >= 1.0f) {
    if (text) text->SetScaleY(1.0f);
    if (mStep == 1) mDelay = PauseBeforeBonus;
    if (mStep == 5) mDelay = PauseBeforeScore;
    mStep++;
    mScale = 0.0f;
    mClock.Reset();
  }
  return true;
}
