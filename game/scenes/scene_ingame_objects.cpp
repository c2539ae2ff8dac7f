// TScene: in-game objects and bonus texts.
//
// An in-game object is an image (with an optional caption) that a script schedules on the
// scene clock: it fades in, stays for its time or until the player clicks it away, and
// fades out; a chained entry that goes before its minimum time hands the time it had left
// to the entry after it. An entry with a script runs the script at its time instead of
// showing. Entries stay in the list for the whole visit; their sprites stay in the sprite
// window.
//
// A bonus text is an outlined amount that rises one pixel and fades a little every frame
// until it is gone.

#include <algorithm>

#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/general_sprite.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "windows/window_manager.h"

namespace {

// The kind of an in-game object's sprite in the sprite window.
constexpr int32_t InGameObjectKind = 31;
// How long the input stays blocked when a chained entry hands its time on.
constexpr int32_t ChainInputBlock = 60;

// The size of the record's picture: its still texture or its animation's frame; 0 x 0
// when the image did not load.
void PictureSize(const GeneralSprite& sprite, int32_t& width, int32_t& height) {
  width = height = 0;
  if (sprite.IsAnimated() && sprite.GetAnimatedTexture()) {
    width = int32_t(sprite.GetAnimatedTexture()->GetWidth());
    height = int32_t(sprite.GetAnimatedTexture()->GetHeight());
  } else if (sprite.GetTexture()) {
    width = int32_t(sprite.GetTexture()->GetWidth());
    height = int32_t(sprite.GetTexture()->GetHeight());
  }
}

// A scene-clock time compared as the frame step compares start times: unsigned, so a
// start time pushed below 0 by a negative delay never comes.
bool IsBefore(int32_t time, uint32_t now) { return uint32_t(time) < now; }

}  // namespace

void TScene::ShowInGameObjectPartOne(const char* image, int32_t x, int32_t y, const char* label, bool removeAtOnce,
                                     const char* script) {
  InGameObjectEntry entry;
  entry.text = scene::Text(label);
  entry.name = TString::Printf("InGameObject%zu", mInGameObjects.size());
  GeneralSprite sprite(image, x, y, 0, InGameObjectKind, entry.name, 1.0f, 0);
  if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite()) engine->SetVisible(false);
  sprite.SetClickable(true);
  if (mSpriteWindow) mSpriteWindow->AddSprite(sprite);
  PictureSize(sprite, entry.width, entry.height);
  entry.left = x;
  entry.top = y;
  if (!entry.text.IsEmpty() && mSpriteWindow) {
    auto box = std::make_unique<TTextbox>(false);
    box->Setup(entry.text, entry.width, entry.height, 5, scene::Config("igoFont"), scene::ConfigInt("igoFontHeight"),
               scene::Colour(scene::Config("igoFontColor")), 100);
    box->SetPosition(x, y);
    box->SetAlpha(0.0f);
    box->SetName(entry.name);
    std::unique_ptr<TWindow> window = std::move(box);
    mSpriteWindow->AddChild(window, true);
  }
  entry.removeAtOnce = removeAtOnce;
  entry.script = script;
  entry.runScript = !entry.script.IsEmpty();
  mInGameObjects.push_back(entry);
}

void TScene::ShowInGameObjectPartTwo(int32_t delay, int32_t duration, bool clickable, bool clickInside, bool chained) {
  if (mInGameObjects.empty()) {
    LogPrintf("TScene: ShowInGameObjectPartTwo without an in-game object; nothing is scheduled");
    return;
  }
  InGameObjectEntry& entry = mInGameObjects.back();
  entry.startTime = scene::AddSaturated(int32_t(mSceneClock.GetTime()), delay);
  entry.duration = duration;
  entry.clickable = clickable;
  entry.clickInside = clickable && clickInside;
  entry.chained = chained;
  entry.endAt = entry.shownAt = -1;
  entry.started = entry.finished = entry.fadedIn = entry.dismissed = false;
  entry.scheduled = true;
}

std::shared_ptr<TSprite> TScene::EntrySprite(const InGameObjectEntry& entry) {
  int32_t index = 0;
  if (!mSpriteWindow || !mSpriteWindow->FindSprite(entry.name, index)) return nullptr;
  return mSpriteWindow->GetSprite(index).GetCurrentSprite();
}

TTextbox* TScene::EntryTextbox(const InGameObjectEntry& entry) {
  if (entry.text.IsEmpty() || !mSpriteWindow) return nullptr;
  return WindowCast<TTextbox>(mSpriteWindow->FindChild(entry.name));
}

void TScene::StepInGameObjects() {
  uint32_t now = mSceneClock.GetTime();
  bool cameDue = false;
  for (size_t i = 0; i < mInGameObjects.size(); i++) {
    const InGameObjectEntry& entry = mInGameObjects[i];
    if (!entry.scheduled || entry.started || entry.finished || !IsBefore(entry.startTime, now)) continue;
    mInGameObjectsDue.push_back(int32_t(i));
    cameDue = true;
  }
  if (cameDue) {
    for (int32_t index : mInGameObjectsDue) {
      InGameObjectEntry& entry = mInGameObjects[size_t(index)];
      if (entry.started || entry.finished) continue;
      entry.shownAt = int32_t(now);
      entry.endAt = scene::AddSaturated(int32_t(now), entry.duration);
      if (std::shared_ptr<TSprite> sprite = EntrySprite(entry)) sprite->GetDrawParams().alpha = 0.0f;
      if (mSpriteWindow) mSpriteWindow->SetSpriteVisible(entry.name, true);
      if (TTextbox* box = EntryTextbox(entry)) box->SetAlpha(0.0f);
      entry.started = true;
    }
  }

  // Fade in, or run the entry's script.
  float fadeIn = scene::ConfigFloat("ingameobjectsFadeInRatio");
  for (size_t k = 0; k < mInGameObjectsDue.size(); k++) {
    InGameObjectEntry& entry = mInGameObjects[size_t(mInGameObjectsDue[k])];
    if (!entry.started || entry.fadedIn) continue;
    if (entry.runScript) {
      entry.fadedIn = entry.finished = true;
      // The script may add entries: the reference is not used after it.
      TString script = entry.script;
      RunLua(script);
      continue;
    }
    bool spriteIn = false;
    if (std::shared_ptr<TSprite> sprite = EntrySprite(entry)) {
      float& alpha = sprite->GetDrawParams().alpha;
      alpha += fadeIn;
      if (alpha >= 1.0f) alpha = 1.0f, spriteIn = true;
    }
    if (TTextbox* box = EntryTextbox(entry)) box->SetAlpha(std::min(box->GetAlpha() + fadeIn, 1.0f));
    if (spriteIn) entry.fadedIn = true;
  }

  // End, fade out, chain.
  float fadeOut = scene::ConfigFloat("ingameobjectsFadeOutRatio");
  int32_t minimum = scene::ConfigInt("igoMinimumTimeToDisplay");
  for (size_t j = 0; j < mInGameObjectsDue.size();) {
    size_t index = size_t(mInGameObjectsDue[j]);
    now = mSceneClock.GetTime();
    InGameObjectEntry& entry = mInGameObjects[index];
    if (!entry.finished && (entry.endAt < int32_t(now) || entry.dismissed)) {
      bool gone = entry.removeAtOnce;
      if (!gone) {
        bool spriteGone = true, textGone = true;
        int32_t spriteIndex = 0;
        if (mSpriteWindow && mSpriteWindow->FindSprite(entry.name, spriteIndex)) {
          GeneralSprite& sprite = mSpriteWindow->GetSprite(spriteIndex);
          std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite();
          float alpha = (engine ? engine->GetDrawParams().alpha : 0.0f) - fadeOut;
          spriteGone = alpha <= 0;
          sprite.SetAlpha(std::max(alpha, 0.0f));
        }
        if (TTextbox* box = EntryTextbox(entry)) {
          float alpha = box->GetAlpha() - fadeOut;
          textGone = alpha <= 0;
          box->SetAlpha(std::max(alpha, 0.0f));
        }
        gone = spriteGone && textGone;
      }
      if (gone) {
        entry.finished = true;
        mInGameObjectsDue.erase(mInGameObjectsDue.begin() + std::ptrdiff_t(j));
        continue;
      }
    }
    // A chained last entry has no entry to hand its time to: it counts as not chained.
    if (entry.chained && index + 1 < mInGameObjects.size()) {
      InGameObjectEntry& next = mInGameObjects[index + 1];
      bool over = entry.dismissed || int64_t(now) > entry.endAt;
      if (entry.started && !entry.finished && !next.started && over &&
          int64_t(entry.shownAt) + minimum > int64_t(now)) {
        next.duration = scene::AddSaturated(scene::AddSaturated(entry.startTime, entry.duration), -int32_t(now));
        next.startTime = int32_t(now);
        mInputBlockStart = int32_t(now);
        mInputBlockDuration = ChainInputBlock;
        mInputBlocked = true;
      }
    }
    j++;
  }
}

void TScene::ShowBonusAsText(TPoint point, int32_t amount) {
  IGameFlow* flow = GetGameFlow();
  if (flow && flow->GetCurrentGameMode() != 0) return;
  auto box = std::make_unique<TTextbox>(false);
  box->Setup(TString::Printf("<outline color=\"666666\" size=2>%d</outline>", amount),
             std::max(scene::ConfigInt("showbonusboxwidth"), 0), std::max(scene::ConfigInt("showbonusboxheight"), 0),
             1, scene::Config("bonusfont"), scene::ConfigInt("showbonuslineheight"),
             scene::Colour(scene::Config("showbonusboxfontcolor")), 1);
  box->SetPosition(point.x - int32_t(uint32_t(box->GetWidth()) / 2), point.y - int32_t(uint32_t(box->GetHeight()) / 2));
  box->SetName("bonus");
  TTextbox* raw = box.get();
  std::unique_ptr<TWindow> window = std::move(box);
  if (!AddChild(window, true)) return;
  mBonusTextBoxes.push_back(raw);
  mBonusTextAlphas.push_back(1.0f);
}

void TScene::ShowBonusAsTextOnMousePos(uint32_t amount) { ShowBonusAsText(scene::MousePosition(), int32_t(amount)); }

void TScene::ShowBonusAsTextInSidebar(uint32_t amount) { ShowBonusAsText(TPoint(80, 185), int32_t(amount)); }

void TScene::StepBonusTexts() {
  for (size_t i = 0; i < mBonusTextBoxes.size();) {
    float& alpha = mBonusTextAlphas[i];
    alpha -= 0.03f;
    TTextbox* box = mBonusTextBoxes[i];
    // A script may have taken the box away already (by its name "bonus").
    bool present = std::any_of(GetChildren().begin(), GetChildren().end(),
                               [box](const std::unique_ptr<TWindow>& child) { return child.get() == box; });
    if (present && alpha > 0) {
      box->SetAlpha(alpha);
      box->SetPosition(box->GetLeft(), box->GetTop() - 1);
      i++;
      continue;
    }
    mBonusTextBoxes.erase(mBonusTextBoxes.begin() + std::ptrdiff_t(i));
    mBonusTextAlphas.erase(mBonusTextAlphas.begin() + std::ptrdiff_t(i));
    if (!present) continue;
    // The box may be the window an event is being dispatched to: it goes at the next event.
    std::unique_ptr<TWindow> removed = RemoveChild(box);
    if (TWindowManager* windows = GetWindowManager()) windows->DestroyWindowLater(std::move(removed));
  }
}
