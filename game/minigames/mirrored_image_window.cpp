#include "minigames/mirrored_image_window.h"

#include "model/mirrored_image_game.h"
#include "scenes/general_sprite.h"
#include "scenes/sprite_window.h"

namespace {

const char* const WonPicture = "standard/sprites/mirroredimage/mi_right";
const char* const LosePicture = "standard/sprites/mirroredimage/mi_wrong";

}  // namespace

TMirroredImageWindow::TMirroredImageWindow() {
  mGame = GameModel(mStandIn);
  LoadWinAndLoseSounds();
}

TMirroredImageWindow::~TMirroredImageWindow() = default;

std::unique_ptr<TWindow> TMirroredImageWindow::Create() { return std::make_unique<TMirroredImageWindow>(); }

void TMirroredImageWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  mGame->DealImages();
  if (mSpriteWindow) AddImages();
}

void TMirroredImageWindow::AddImages() {
  auto add = [this](const CMirroredImageGame::TImageSprite& image) {
    GeneralSprite sprite(image.image, image.position.x, image.position.y, SpritePivotTopLeft, SpriteKindMirroredImage,
                         image.name, 1.0f, 0);
    sprite.SetClickable(true);
    mSpriteWindow->AddSprite(sprite);
  };
  for (int32_t i = 0; i < mGame->GetFalseSpriteCount(); i++) add(*mGame->GetFalseSprite(i));
  // Listed last, the correct image wins the hit test where images overlap.
  if (const CMirroredImageGame::TImageSprite* correct = mGame->GetCorrectSprite()) add(*correct);
  for (const auto& [picture, name] : {std::pair{WonPicture, "won"}, std::pair{LosePicture, "lose"}}) {
    GeneralSprite result(picture, 0, 0, SpritePivotTopLeft, SpriteKindMirroredResult, name, 1.0f, 0);
    mSpriteWindow->AddSprite(result);
    mSpriteWindow->SetSpriteVisible(name, false);
  }
}

bool TMirroredImageWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  int32_t index = 0;
  if (!IsInputOpen() || !mSpriteWindow || !mSpriteWindow->GetSpriteAtPoint(point, index) ||
      mSpriteWindow->GetSprite(index).GetKind() != SpriteKindMirroredImage)
    return TMiniGameWindow::OnMouseDown(point);
  if (mGame->CheckAnswer(mSpriteWindow->GetSprite(index).GetName())) {
    mSpriteWindow->SetSpriteVisible("won", true);
    ShowCompletionBonus(point);
    PlayGameSound("win");
  } else {
    mSpriteWindow->SetSpriteVisible("lose", true);
    PlayGameSound("lose");
  }
  FinishScene();
  return true;
}

bool TMirroredImageWindow::IsWon() { return mGame->IsWon(); }
