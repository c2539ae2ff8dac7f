// TScene: the briefing box and the in-game cutscene bars, both scheduled by scripts on the
// scene clock.
//
// Briefing: a queue of texts shown one after the other in "briefingWindowBg" and
// "briefingWindowText", each for its time (-1: until clicked) or until a click, never
// shorter than "igoMinimumTimeToDisplay"; a click on an entry with next-on-click goes
// straight on to the next entry, which gets the time the current one had left.
//
// Bars: "borderTop" and "borderBottom" slide in from outside the screen by a part of their
// height per frame, stay for their time, and slide out again; while they are in place the
// scene takes clicks for itself.

#include <algorithm>

#include "graphics/texture.h"
#include "platform/log.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"

namespace {

bool IsBefore(int32_t time, uint32_t now) { return uint32_t(time) < now; }

int32_t TextureHeight(const TImage& image) {
  return image.GetTexture() ? int32_t(image.GetTexture()->GetHeight()) : 0;
}

}  // namespace

void TScene::ShowBriefingWindow(const TString& label, uint32_t delay, int32_t duration, bool nextOnClick) {
  mBriefingTexts.push_back(scene::Text(label));
  mBriefingStarts.push_back(int32_t(mSceneClock.GetTime() + delay));
  mBriefingDurations.push_back(duration);
  mBriefingDone.push_back(false);
  mBriefingShown.push_back(false);
  mBriefingNextOnClick.push_back(nextOnClick);
  mBriefingCount++;
  mBriefingActive = true;
}

void TScene::ShowBriefingEntry(int32_t index) {
  if (index < 0 || index >= mBriefingCount) return;
  mBriefingClock.Pause();
  mBriefingClock.Reset();
  mBriefingAlpha = 1.0f;
  RevealBox("briefingWindowBg", "briefingWindowText", mBriefingTexts[size_t(index)]);
  mBriefingShown[size_t(index)] = true;
  mBriefingVisible = true;
  mBriefingClock.Start();
}

void TScene::FadeBriefingStep() {
  mBriefingAlpha = std::max(mBriefingAlpha - mBriefingFadeStep, 0.0f);
  if (TImage* background = FindImage("briefingWindowBg")) background->SetAlpha(mBriefingAlpha);
  if (TTextbox* text = FindTextbox("briefingWindowText")) text->SetAlpha(mBriefingAlpha);
}

void TScene::EndBriefingEntry(int32_t index) {
  mBriefingDone[size_t(index)] = true;
  mBriefingVisible = false;
  mBriefingClicked = false;
  mBriefingClock.Pause();
  mBriefingClock.Reset();
}

void TScene::StepBriefing() {
  uint32_t now = mSceneClock.GetTime();
  if (mBriefingActive) {
    mBriefingActive = false;
    // Of several entries that come due in one frame, the last stays on show.
    for (int32_t i = 0; i < mBriefingCount; i++) {
      if (IsBefore(mBriefingStarts[size_t(i)], now) && !mBriefingShown[size_t(i)]) {
        ShowBriefingEntry(i);
        mBriefingCurrent = i;
      }
      if (!mBriefingDone[size_t(i)]) mBriefingActive = true;
    }
  }
  if (mBriefingCurrent < 0 || mBriefingCurrent >= mBriefingCount) return;
  if (mBriefingClock.IsPaused() && !mBriefingClicked) return;
  int64_t time = mBriefingClock.GetTime();
  if (time <= scene::ConfigInt("igoMinimumTimeToDisplay")) return;

  int32_t current = mBriefingCurrent;
  int32_t duration = mBriefingDurations[size_t(current)];
  TImage* background = FindImage("briefingWindowBg");
  float alpha = background ? background->GetAlpha() : 0.0f;
  bool nextOnClick = mBriefingNextOnClick[size_t(current)];
  // The last entry has no next one to go on to: its click ends it as any other.
  if (nextOnClick && current + 1 >= mBriefingCount) nextOnClick = false;

  if (time >= duration && alpha > 0 && duration != -1) {
    FadeBriefingStep();
  } else if (mBriefingClicked) {
    if (nextOnClick) {
      mBriefingDone[size_t(current)] = true;
      mBriefingClock.Pause();
      mBriefingClock.Reset();
      mBriefingCurrent = current + 1;
      int32_t left = scene::AddSaturated(scene::AddSaturated(mBriefingStarts[size_t(current)], duration), -int32_t(now));
      int32_t& next = mBriefingDurations[size_t(current) + 1];
      next = scene::AddSaturated(next, left);
      ShowBriefingEntry(current + 1);
      mBriefingClicked = false;
    } else if (alpha > 0) {
      FadeBriefingStep();
    } else {
      EndBriefingEntry(current);
    }
  } else if (alpha <= 0) {
    EndBriefingEntry(current);
  }
}

void TScene::StartInGameCutscene(int32_t delay, int32_t duration) {
  mInGameCutsceneStarts.push_back(scene::AddSaturated(int32_t(mSceneClock.GetTime()), delay));
  mInGameCutsceneDurations.push_back(duration);
  mInGameCutsceneOutDone.push_back(false);
  mInGameCutsceneInDone.push_back(false);
  mInGameCutsceneCount++;
  mInGameCutscenePending = true;
}

void TScene::StepCutsceneBars() {
  TImage* top = FindImage("borderTop");
  TImage* bottom = FindImage("borderBottom");
  if (!top || !bottom) return;
  uint32_t now = mSceneClock.GetTime();
  float ratio = scene::ConfigFloat("ingamecutsceneFadeRatio");
  int32_t screenHeight = scene::ConfigInt("screenheight");

  if (mInGameCutscenePending) {
    mInGameCutscenePending = false;
    for (int32_t i = 0; i < mInGameCutsceneCount; i++) {
      if (IsBefore(mInGameCutsceneStarts[size_t(i)], now) && !mInGameCutsceneInDone[size_t(i)]) {
        if (top->GetTop() < 0 || bottom->GetTop() > screenHeight - bottom->GetHeight()) {
          top->SetPosition(top->GetLeft(), scene::Truncate(float(top->GetTop()) + ratio * float(top->GetHeight())));
          bottom->SetPosition(bottom->GetLeft(),
                              scene::Truncate(float(bottom->GetTop()) - ratio * float(bottom->GetHeight())));
        } else {
          mInGameCutsceneRunning = true;
          mInGameCutsceneInDone[size_t(i)] = true;
          mInGameCutsceneClock.Pause();
          mInGameCutsceneClock.Reset();
          mInGameCutsceneClock.Start();
        }
        mInGameCutsceneCurrent = i;
      }
      if (!mInGameCutsceneInDone[size_t(i)]) mInGameCutscenePending = true;
    }
  }

  int32_t current = mInGameCutsceneCurrent;
  if (current < 0 || current >= mInGameCutsceneCount || mInGameCutsceneClock.IsPaused()) return;
  if (int64_t(mInGameCutsceneClock.GetTime()) < mInGameCutsceneDurations[size_t(current)] ||
      mInGameCutsceneOutDone[size_t(current)])
    return;
  if (top->GetTop() >= -TextureHeight(*top) || bottom->GetTop() <= screenHeight + TextureHeight(*bottom)) {
    int32_t topY = scene::Truncate(float(top->GetTop()) - ratio * float(top->GetHeight()));
    int32_t bottomY = scene::Truncate(float(bottom->GetTop()) + ratio * float(bottom->GetHeight()));
    // Bars that cannot move (no texture, so no height) would hold the out-phase, and with it
    // the scene's clicks, for the rest of the visit: they count as gone.
    if (topY != top->GetTop() || bottomY != bottom->GetTop()) {
      top->SetPosition(top->GetLeft(), topY);
      bottom->SetPosition(bottom->GetLeft(), bottomY);
      return;
    }
  }
  mInGameCutsceneRunning = false;
  // The exits take clicks again once the bars are gone.
  mInGameCutsceneClicked = false;
  mInGameCutsceneOutDone[size_t(current)] = true;
  mInGameCutsceneClock.Pause();
  mInGameCutsceneClock.Reset();
}
