// TScene: mouse and keys before any screen's own handling, and the cursor styles.
//
// A click is swallowed during a briefing (the global "showBriefingWindow"), an input block
// or in a dark scene without its candle window; otherwise it dismisses the briefing box,
// is noted during an in-game cutscene, presses the skip button, completes or dismisses
// in-game objects and finally walks the exits. A move records the mouse for the flow, keeps
// the cursor style in step with what lies under it and drags the candle window along.
// Escape opens the pause script; space lights up the exits.
//
// Cursor styles: 0 the exit's own image, 2 normal, 3 look, 4 use, 5 exit, 6 hotspot, 7 red,
// 8 inactive (input blocked), 9 none, 10 the hotspot's own image; 1 and above 10 change
// no image. Each numbered style names a settings key whose value is an image asset.

#include "engine/platform.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/game.h"
#include "model/scene.h"
#include "scenes/game_flow.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"

namespace {

// The window system's cancel key as a character.
constexpr int8_t CancelCharacter = 27;
constexpr uint8_t Space = 32;

// The settings key of each style 0 to 10 (null: no image of its own).
const char* const CursorKeys[] = {nullptr,
                                  nullptr,
                                  "assetCursorActive",
                                  "assetCursorLook",
                                  "assetCursorUse",
                                  "assetCursorExit",
                                  "assetCursorHotspot",
                                  "assetCursorActiveRed",
                                  "assetCursorInActive",
                                  "assetCursorNone",
                                  nullptr};

bool IsUseFamily(int32_t style) { return style == 4 || style == 6 || style == 10; }

// Whether setting the new style over the current one keeps the cursor image.
bool KeepsImage(int32_t current, int32_t style) {
  if (IsUseFamily(style)) return IsUseFamily(current);
  return current == style;
}

// left < x < right and top < y < bottom.
bool StrictlyInside(TPoint point, int32_t left, int32_t top, int32_t width, int32_t height) {
  return left < point.x && point.x < left + width && top < point.y && point.y < top + height;
}

}  // namespace

void TScene::ApplyCursorTexture(const TString& name, int32_t hotX, int32_t hotY) {
  std::shared_ptr<TTexture> texture = TTexture::Get(name, 0);
  if (TPlatform* platform = GetPlatform()) platform->SetCursor(texture, hotX, hotY, true);
  mCursorImage = name;
  if (mModel->IsInfoTextAtCursor()) mCursorHeight = texture ? int32_t(texture->GetHeight()) : 0;
}

void TScene::SetCursorImage(const TString& textureName) { ApplyCursorTexture(textureName, 0, 0); }

void TScene::SetCursorStyle(int32_t style) {
  if (mCursorStyle == 5 && style != 5) {
    // Leaving the exit cursor ends the exits' highlight.
    for (const auto& [id, exit] : mModel->GetSceneExits())
      if (exit->IsActive() && !exit->GetImage().IsEmpty()) exit->ResetClickTime();
  }
  if (!KeepsImage(mCursorStyle, style)) {
    TPoint mouse = scene::MousePosition();
    if (style == 0) {
      // Every exit under the mouse is applied: the last one in the model's order shows.
      for (const auto& [id, exit] : mModel->GetSceneExits())
        if (exit->IsPointInside(mouse.x, mouse.y)) ApplyCursorTexture(exit->GetCursorStylePath(), 16, 16);
    } else if (style == 10) {
      for (const auto& [id, hotspot] : mModel->GetSceneHotspots())
        if (hotspot->IsPointInside(mouse.x, mouse.y) && hotspot->HasCursorStylePath())
          ApplyCursorTexture(hotspot->GetCursorStylePath(), 0, 0);
    } else if (style >= 2 && style <= 9) {
      ApplyCursorTexture(scene::Config(CursorKeys[style]), 0, 0);
    }
  }
  mCursorStyle = style;
}

CSceneHotspot* TScene::FindHotspotAt(TPoint point) {
  mModel->RewindSceneHotspots();
  while (CSceneHotspot* hotspot = mModel->GetNextSceneHotspot())
    if (hotspot->IsPointInside(point.x, point.y) && hotspot->IsActive()) return hotspot;
  return nullptr;
}

void TScene::BlockInput(int32_t delay, int32_t duration) {
  mInputBlockStart = scene::AddSaturated(int32_t(mSceneClock.GetTime()), delay);
  mInputBlockDuration = duration;
  mInputBlocked = true;
}

bool TScene::OnMouseDown(TPoint point) {
  if (scene::GlobalBool("showBriefingWindow")) return true;
  if (mInputBlocked) {
    SetCursorStyle(8);
    return true;
  }
  // A dark scene takes no clicks until its candle window shows.
  if (mAlphaOfBlack > 0 && !mModel->IsCandleWindow()) return true;

  bool handled = false;
  if (mBriefingVisible && StrictlyInside(point, mBriefingBgPos.x, mBriefingBgPos.y, mBriefingBgSize.x, mBriefingBgSize.y)) {
    mBriefingClicked = true;
    handled = true;
  }
  if (mInGameCutsceneRunning) {
    mInGameCutsceneClicked = true;
    handled = true;
  }
  if (mModel->IsShowSkipButton()) {
    TRect rect;
    TPoint screenPoint = point;
    ClientToScreen(screenPoint);
    if (TImage* skip = FindImage("skipButton")) {
      skip->GetScreenRect(rect);
      if (RectContains(rect, screenPoint)) FinishScene();
    }
    handled = false;
  }
  if (ClickInGameObjects(point)) handled = true;
  return ClickExits(point, handled);
}

bool TScene::ClickInGameObjects(TPoint point) {
  bool handled = false;
  for (int32_t index : mInGameObjectsDue) {
    InGameObjectEntry& entry = mInGameObjects[size_t(index)];
    if (!entry.clickable || entry.dismissed) continue;
    if (entry.clickInside && !StrictlyInside(point, entry.left, entry.top, entry.width, entry.height)) continue;
    if (entry.fadedIn) {
      entry.dismissed = true;
    } else {
      if (std::shared_ptr<TSprite> sprite = EntrySprite(entry)) sprite->GetDrawParams().alpha = 1.0f;
      if (mSpriteWindow) mSpriteWindow->SetSpriteVisible(entry.name, true);
      if (TTextbox* box = EntryTextbox(entry)) box->SetAlpha(1.0f);
    }
    handled = true;
  }
  return handled;
}

bool TScene::ClickExits(TPoint point, bool handled) {
  if (!mSceneStarted || mSceneFinished || mInGameCutsceneClicked || handled) return handled;
  mModel->RewindSceneExits();
  while (CSceneExit* exit = mModel->GetNextSceneExit()) {
    if (!exit->IsPointInside(point.x, point.y)) continue;
    if (exit->IsActive()) {
      if (!mSceneFinished) {
        mSceneFinished = true;
        if (IGameFlow* flow = GetGameFlow()) flow->GoToScene(exit->GetNextScene(), true);
      }
    } else {
      TString text = scene::Text(exit->GetText());
      if (!text.IsEmpty()) ShowInfoBox(text);
    }
    return true;
  }
  return false;
}

bool TScene::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (scene::GlobalBool("showBriefingWindow")) return true;
  if (mModel->IsShowSkipButton()) {
    CGame* game = CGame::GetInstance();
    int32_t x = game ? game->GetCutsceneSkipButtonPosX() : 0, y = game ? game->GetCutsceneSkipButtonPosY() : 0;
    bool over = StrictlyInside(point, x, y, scene::ConfigInt("csSkipMouseOverEffectWidth"),
                               scene::ConfigInt("csSkipMouseOverEffectHeight"));
    if (!over)
      SetCursorStyle(2);
    else if (mCursorStyle != 4)
      SetCursorStyle(4);
  }
  if (mInputBlocked) return true;
  bool exitFound = false;
  if (mSceneStarted && !mSceneFinished && !mSceneClock.IsPaused()) {
    mModel->RewindSceneExits();
    while (CSceneExit* exit = mModel->GetNextSceneExit()) {
      if (!exit->IsPointInside(point.x, point.y) || !exit->IsActive()) continue;
      if (mCursorStyle != int32_t(exit->GetCursorStyleId())) SetCursorStyle(int32_t(exit->GetCursorStyleId()));
      exitFound = true;
      break;
    }
    if (CSceneHotspot* hotspot = FindHotspotAt(point)) {
      if (hotspot->HasCursorStylePath() && mCursorStyle != 10)
        SetCursorStyle(10);
      else if (mCursorStyle != 6)
        SetCursorStyle(6);
      exitFound = true;
    }
  }
  if (mModel->IsCandleWindow()) MoveCandleWindow(point);
  return exitFound;
}

bool TScene::OnChar(uint8_t character) {
  if (int8_t(character) == CancelCharacter) {
    SetCursorStyle(2);
    mSceneClock.Pause();
    OpenModalScript("scriptPause");
    return true;
  }
  if (character != Space) return false;
  for (const auto& [id, exit] : mModel->GetSceneExits())
    if (exit->IsActive() && !exit->GetImage().IsEmpty()) exit->SetClickTime();
  return true;
}
