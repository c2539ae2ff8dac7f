// TScene: the frame step, every 25 ms of the window's animation task, in a fixed order:
// redraw and sprite animations, ambient sound, scene clock, hint spiral, the overlay fade,
// exit glows and the info box at the cursor, the info box fade, in-game objects, briefing,
// in-game cutscene bars, bonus texts, the pause on focus loss, the input block, the
// next-searched-item box and the darkness. Also the drawing of the root sprite and the
// overlay operations that scripts call.

#include <algorithm>
#include <limits>

#include "graphics/renderer.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/scene.h"
#include "platform/log.h"
#include "platform/random.h"
#include "scenes/game_flow.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "sound/sound.h"
#include "windows/image_window.h"
#include "windows/window_manager.h"

namespace {

// The engine sprite of the last record of that name in the sprite window, or null.
std::shared_ptr<TSprite> FindEngineSprite(TSpriteWindow* window, const TString& name) {
  int32_t index = 0;
  if (!window || !window->FindSprite(name, index)) return nullptr;
  return window->GetSprite(index).GetCurrentSprite();
}

}  // namespace

bool TScene::Animate() {
  if (TWindowManager* windows = GetWindowManager()) windows->Invalidate();
  TSpriteAnimator::GetInstance()->Update();
  StepAmbientSound();
  // Play time runs only while the overlay is practically clear.
  if (mTransAlpha <= 0.001f) mSceneClock.Start();
  StepHintSpiral();
  StepOverlayFade();
  StepExitGlows();
  StepInfoBox();
  StepInGameObjects();
  StepBriefing();
  StepCutsceneBars();
  StepBonusTexts();
  StepPauseOnFocusLoss();
  StepInputBlock();
  StepNextItemBox();
  StepDarkness();
  return true;
}

void TScene::StepAmbientSound() {
  mAtmoClock.Start();
  const TString& atmo = mModel->GetAtmo();
  if (atmo.IsEmpty() || mAtmoClock.GetTime() <= mNextAtmoDelay) return;
  std::shared_ptr<TSound> sound = GetSound(atmo);
  double length = sound ? double(sound->GetLength()) : 0.0;
  int64_t low = mModel->GetMinLoop(), high = mModel->GetMaxLoop();
  if (high < low) {
    // Reversed bounds would leave the range empty: they are taken in their order.
    if (!mAtmoBoundsReported)
      LogPrintf("TScene %d: the ambient pause runs from %lld to %lld seconds; taken in that order",
                mModel->GetSeqId(), static_cast<long long>(low), static_cast<long long>(high));
    mAtmoBoundsReported = true;
    std::swap(low, high);
  }
  int64_t pause = low + int64_t(GameRand()) % (high - low + 1);
  double delay = (double(pause) + length) * 1000.0;
  mNextAtmoDelay = uint32_t(std::clamp(delay, 0.0, double(std::numeric_limits<uint32_t>::max())));
  PlaySoundByName(atmo, 0, true, true);
  mAtmoClock.Reset();
}

void TScene::StepOverlayFade() {
  if (IsFadeRunning(mTransAlpha, mFadeModifier)) {
    if (TImage* overlay = FindImage("transition")) overlay->SetAlpha(mTransAlpha);
    mTransAlpha += mFadeModifier;
    mFadeStepCount++;
    // The briefing script is expected to clear the flag; it opens once per visit either way.
    if (!mBriefingModalOpened && scene::ConfigFloat("alphaToShowBriefing") > mTransAlpha &&
        scene::GlobalBool("showBriefingWindow")) {
      mBriefingModalOpened = true;
      mSceneClock.Pause();
      OpenModalScript("scriptBriefingWindow");
    }
  } else if (mFadeModifier < 0) {
    if (mFadeInReported) return;
    mFadeInReported = true;
    SendGameMessage("fadeInCompleted");
  } else if (mFadeModifier > 0) {
    if (mFadeOutReported) return;
    mFadeOutReported = true;
    SendGameMessage("fadeOutCompleted");
  }
}

void TScene::StepExitGlows() {
  if (!mSceneStarted) return;
  TSpriteAnimator* animator = TSpriteAnimator::GetInstance();
  TPoint mouse = scene::MousePosition();
  mModel->RewindSceneExits();
  while (CSceneExit* exit = mModel->GetNextSceneExit()) {
    if (exit->GetImage().IsEmpty()) continue;
    bool recent = exit->IsClickTimeRecent();
    if (!mSceneFinished && exit->IsActive() && recent) {
      AddGlowOnSceneClock(FindEngineSprite(mSpriteWindow, exit->GetId()));
      continue;
    }
    bool drop = mSceneFinished ? recent : !exit->IsPointInside(mouse.x, mouse.y);
    std::shared_ptr<TSprite> sprite = drop ? FindEngineSprite(mSpriteWindow, exit->GetId()) : nullptr;
    if (sprite) animator->RemoveAnimation(sprite);
  }
  if (mSceneFinished || !mModel->IsInfoTextAtCursor()) return;
  TImage* background = FindImage("shorttextBg");
  if (background && background->GetAlpha() > 0) PlaceInfoBoxAtCursor();
}

void TScene::PlaceInfoBoxAtCursor() {
  TPoint mouse = scene::MousePosition();
  int32_t x = mouse.x + scene::ConfigInt("infoboxDistanceCursorX");
  int32_t y = mouse.y + scene::ConfigInt("infoboxDistanceCursorY") + mCursorHeight;
  if (TImage* background = FindImage("shorttextBg")) background->SetPosition(x, y);
  if (TTextbox* text = FindTextbox("shorttextText")) text->SetPosition(x, y);
}

void TScene::StepInfoBox() {
  if (mInfoBoxClock.IsPaused()) return;
  TImage* background = FindImage("shorttextBg");
  TTextbox* text = FindTextbox("shorttextText");
  float alpha = background ? background->GetAlpha() : 0.0f;
  if (int64_t(mInfoBoxClock.GetTime()) >= scene::ConfigInt("infoboxDisplayTime") && alpha > 0) {
    mInfoBoxAlpha = std::max(mInfoBoxAlpha - mInfoBoxTransModifier, 0.0f);
    if (background) background->SetAlpha(mInfoBoxAlpha);
    if (text) text->SetAlpha(mInfoBoxAlpha);
  } else if (alpha == 0) {
    mInfoBoxClock.Pause();
    mInfoBoxClock.Reset();
  }
}

void TScene::StepPauseOnFocusLoss() {
  if (!scene::GlobalBool("WindowHasNotFocus")) return;
  mSceneClock.Pause();
  OpenModalScript("scriptPause");
}

void TScene::StepInputBlock() {
  if (!mInputBlocked) return;
  if (int64_t(mInputBlockStart) < int64_t(mSceneClock.GetTime())) {
    mInputBlockClock.Start();
    if (mCursorStyle != 8) SetCursorStyle(8);
  }
  if (int64_t(mInputBlockClock.GetTime()) > mInputBlockDuration) {
    mInputBlockClock.Pause();
    mInputBlockClock.Reset();
    mInputBlocked = false;
    SetCursorStyle(2);
  }
}

void TScene::StepNextItemBox() {
  if (!mNsiActive) return;
  if (int64_t(mSceneClock.GetTime()) - mNsiStartTime <= scene::ConfigInt("advNextSearchedItemOffset")) return;
  TImage* background = FindImage("nsiBackground");
  TImage* item = FindImage("nsiinvItem");
  if (background) {
    background->SetPosition(mNsiPos.x, mNsiPos.y);
    background->SetAlpha(1.0f);
  }
  if (item) item->SetAlpha(scene::ConfigFloat("advNextSearchedItemAlpha"));
  int32_t restX = scene::ConfigInt("advNextSearchedItemPosX"), restY = scene::ConfigInt("advNextSearchedItemPosY");
  float step = scene::ConfigFloat("advNextSearchedItemMovementModifier") * 10.0f;
  int32_t x = restX > mNsiPos.x ? scene::Truncate(float(mNsiPos.x) + step) : restX;
  int32_t y = restY < mNsiPos.y ? scene::Truncate(float(mNsiPos.y) - step) : restY;
  if (x == restX && y == restY) mNsiActive = false;
  mNsiPos = TPoint(x, y);
  if (background) background->SetPosition(x, y);
  if (item)
    item->SetPosition(x + scene::ConfigInt("advNextSearchedItemBorderLeft"),
                      y + scene::ConfigInt("advNextSearchedItemBorderTop"));
}

void TScene::StepDarkness() {
  TImage* darkness = FindImage("darkness");
  float alpha = mModel->GetAlphaOfBlack();
  if (darkness && darkness->GetAlpha() != alpha && !mModel->IsCandleWindow()) darkness->SetAlpha(alpha);
}

void TScene::PostDraw() {
  if (!mRootSprite) return;
  TScoped2d block;
  mRootSprite->Draw(TSpriteDrawParams(TVec2(0, 0), 1.0f, 1.0f, 0), -1);
}

void TScene::SetTransitionAlpha(int32_t value) {
  if (!mSceneStarted || mSceneFinished) return;
  if (TImage* overlay = FindImage("transition")) overlay->SetAlpha(float(std::clamp(value, 0, 255)) / 255.0f);
}

void TScene::SetSky(const char* image, bool visible) {
  mSkyImage = image;
  mSkyVisible = visible;
  std::shared_ptr<TTexture> texture = TTexture::Get(mSkyImage, 0);
  if (TImage* front = FindImage("skyinfrontofhint")) {
    front->SetTexture(texture, 1.0f);
    front->SetAlpha(visible ? 1.0f : 0.0f);
  }
  if (TImage* behind = FindImage("skybehindhint")) {
    behind->SetTexture(texture, 1.0f);
    behind->SetAlpha(0.0f);
  }
}

void TScene::ShowInfoText(const TString& label) { ShowInfoBox(scene::Text(label)); }

void TScene::SetAllTextBoxesAlpha(float alpha) {
  size_t count = mModel->GetTextboxes().size();
  for (size_t i = 0; i < count; i++)
    if (TTextbox* box = FindTextbox(TString::Printf("text%zu", i).c_str())) box->SetAlpha(alpha);
}
