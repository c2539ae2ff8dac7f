#include "minigames/mini_game_window.h"

#include <algorithm>
#include <cstdint>

#include "graphics/math/rect.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/game.h"
#include "model/highscore_system.h"
#include "scenes/game_flow.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "windows/window_manager.h"

namespace {

const char* const SkipButtonName = "skipButton";
const char* const MenuButtonName = "menuButton";

// The layout of one button from the game's model text; a stand-in of defaults without a game.
CGame::TButtonLayout ButtonLayout(bool skip) {
  CGame* game = CGame::GetInstance();
  if (!game) return CGame::TButtonLayout();
  return skip ? game->MiniGameSkipButton() : game->MiniGameMenuButton();
}

TColor LabelColour(const CGame::TButtonLayout& layout) {
  return TColor{float(layout.fontColorR / 255.0), float(layout.fontColorG / 255.0), float(layout.fontColorB / 255.0),
                1.0f};
}

}  // namespace

TMiniGameWindow::TMiniGameWindow() : mGameAtStart(CGame::GetInstance()) {
  mMiniGameBinding.Bind("IsWon", this, &TMiniGameWindow::CallIsWon);
  mAnimationWindow = scene::AttachChild(*this, MakeSpriteWindow("animationWindow"));
}

TMiniGameWindow::~TMiniGameWindow() = default;

std::unique_ptr<TWindow> TMiniGameWindow::Create() { return std::make_unique<TMiniGameWindow>(); }

std::unique_ptr<TSpriteWindow> TMiniGameWindow::MakeSpriteWindow(const char* name) {
  auto window = std::make_unique<TSpriteWindow>();
  window->SetName(name);
  window->SetPosition(0, 0);
  window->SetSize(scene::ConfigInt("screenwidth"), scene::ConfigInt("screenheight"));
  return window;
}

TPoint TMiniGameWindow::ImageSize(const GeneralSprite& sprite) {
  std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite();
  const std::shared_ptr<TTexture>& texture = engine && engine->GetTexture() ? engine->GetTexture() : sprite.GetTexture();
  return texture ? TPoint(int32_t(texture->GetWidth()), int32_t(texture->GetHeight())) : TPoint(0, 0);
}

TVec2 TMiniGameWindow::SpritePosition(const TSprite& sprite) {
  const TVec3& translation = sprite.GetDrawParams().matrix.m[2];
  return TVec2(translation.x, translation.y);
}

void TMiniGameWindow::PlaceSprite(TSprite& sprite, TVec2 position) {
  sprite.SetDrawParams(TSpriteDrawParams(position, 1.0f, 1.0f, SpriteAnchored));
}

void TMiniGameWindow::PostCreate(TWindowStyle& style) {
  if (mModel->GetSeqId() != NoButtonsSeqId && mAnimationWindow) {
    AddSkipButton();
    AddMenuButton();
  }
  TScene::PostCreate(style);
}

void TMiniGameWindow::AddSkipButton() {
  CGame::TButtonLayout layout = ButtonLayout(true);
  if (layout.graphic.IsEmpty()) return;
  GeneralSprite button(layout.graphic, layout.posX, layout.posY, SpritePivotTopLeft, SpriteKindSkipButton,
                       SkipButtonName, 1.0f, 0);
  button.SetClickable(true);
  mAnimationWindow->AddSprite(button);
  TPoint image = ImageSize(button);

  auto label = std::make_unique<TTextbox>(false);
  label->SetName("skip");
  label->Setup(scene::Text("skip"), 200, 200, 0, layout.fontType, int32_t(layout.fontSize), LabelColour(layout), 1);
  TRect extent{0, 0, 0, 0};
  label->MeasureText(extent);
  int32_t width = extent.right - extent.left, height = extent.bottom - extent.top;
  label->SetSize(width, height);
  int64_t x = int64_t(layout.posX) + image.x / 2 - width / 2;
  int64_t y = int64_t(layout.posY) + image.y / 2 - height / 2;
  label->SetPosition(int32_t(x), int32_t(y));
  label->SetAlpha(1.0f);
  // In the animation window, above its button: under the scene's sprite window (drawn
  // first) the button's picture would cover its label.
  scene::AttachChild(*mAnimationWindow, std::move(label));
}

void TMiniGameWindow::AddMenuButton() {
  CGame::TButtonLayout layout = ButtonLayout(false);
  if (layout.graphic.IsEmpty()) return;
  GeneralSprite button(layout.graphic, layout.posX, layout.posY, SpritePivotTopLeft, SpriteKindMenuButton,
                       MenuButtonName, 1.0f, 0);
  button.SetClickable(true);
  mAnimationWindow->AddSprite(button);

  auto label = std::make_unique<TTextbox>(false);
  label->SetName("menuButtonText");
  label->Setup(scene::Text("menu"), scene::ConfigInt("sbwMenuButtonTextWidth"),
               scene::ConfigInt("sbwMenuButtonTextHeight"), 1, layout.fontType, int32_t(layout.fontSize),
               LabelColour(layout), 1);
  label->SetPosition(scene::ConfigInt("sbwMenuButtonX"), scene::ConfigInt("sbwMenuButtonY"));
  label->SetAlpha(1.0f);
  scene::AttachChild(*mAnimationWindow, std::move(label));
}

void TMiniGameWindow::LoadWinAndLoseSounds() {
  LoadSoundAs("lose", "standard/audio/sfx/negative_sound.ogg");
  LoadSoundAs("win", "standard/audio/sfx/positive_sound.ogg");
}

void TMiniGameWindow::ShowCompletionBonus(TPoint point) {
  uint32_t bonus = HighscoreSystem::Call(&CHighscoreSystem::MiniGameTaskComplete);
  ShowBonusAsText(point, int32_t(std::min<uint32_t>(bonus, INT32_MAX)));
}

bool TMiniGameWindow::IsGameModelAlive() const {
  return mGameAtStart && !GameIsQuitting() && CGame::GetInstance() == mGameAtStart;
}

bool TMiniGameWindow::IsBriefingShown() { return scene::GlobalBool("showBriefingWindow"); }

bool TMiniGameWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  int32_t index = 0;
  if (IsInputOpen() && mAnimationWindow && mAnimationWindow->GetSpriteAtPoint(point, index)) {
    GeneralSprite& hit = mAnimationWindow->GetSprite(index);
    if (hit.GetKind() == SpriteKindSkipButton || hit.GetKind() == SpriteKindMenuButton) {
      TString name = hit.GetName();
      if (name == SkipButtonName) {
        HighscoreSystem::Call(&CHighscoreSystem::MiniGameSkiped);
        FinishScene();
      } else if (name == MenuButtonName) {
        OpenModalScript("scriptPause");
        if (mCursorStyle != 2) SetCursorStyle(2);
      }
      return true;
    }
  }
  return TScene::OnMouseDown(point);
}

bool TMiniGameWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (IsBriefingShown()) return true;
  if (!IsInputOpen()) return false;

  int32_t index = 0;
  if (mSpriteWindow && !mInputBlocked && mSpriteWindow->GetSpriteAtPoint(point, index)) {
    if (mSpriteWindow->GetSprite(index).IsClickable() && mCursorStyle != 4) SetCursorStyle(4);
    return true;
  }
  bool hit = mAnimationWindow && mAnimationWindow->GetSpriteAtPoint(point, index);
  FollowHover(MenuButtonName, hit, index);
  FollowHover(SkipButtonName, hit, index);
  bool handled = hit ? true : TScene::OnMouseMove(point);
  if (!handled && mCursorStyle != 2) SetCursorStyle(2);
  return handled;
}

void TMiniGameWindow::FollowHover(const char* buttonName, bool hitValid, int32_t hitIndex) {
  int32_t button = 0;
  if (!mAnimationWindow || !mAnimationWindow->FindSprite(buttonName, button)) return;
  std::shared_ptr<TSprite> sprite = mAnimationWindow->GetSprite(button).GetCurrentSprite();
  if (!sprite) return;
  // A glow made once per hover: the sprite that glows already keeps its glow and no task
  // is made for it.
  if (hitValid && hitIndex == button)
    AddGlowOnSceneClock(sprite);
  else
    TSpriteAnimator::GetInstance()->RemoveAnimation(sprite);
}

void TMiniGameWindow::BringButtonsToFront() {
  if (!mSpriteWindow) return;
  std::shared_ptr<TSprite> root = mSpriteWindow->GetRootSprite();
  for (const char* name : {SkipButtonName, MenuButtonName}) {
    int32_t index = 0;
    if (!mSpriteWindow->FindSprite(name, index)) continue;
    std::shared_ptr<TSprite> sprite = mSpriteWindow->GetSprite(index).GetCurrentSprite();
    if (!sprite || !root) continue;
    root->RemoveChild(sprite);
    root->AddChild(sprite);
  }
}

void TMiniGameWindow::HidePointer() {
  if (TWindowManager* windows = GetWindowManager()) windows->Host().SetCursorVisible(false);
}

void TMiniGameWindow::ShowPointer() {
  if (TWindowManager* windows = GetWindowManager()) windows->Host().SetCursorVisible(true);
}

void TMiniGameWindow::WarpPointer(TPoint point) {
  if (TWindowManager* windows = GetWindowManager()) windows->Host().SetMousePosition(point);
}
