#include "scenes/window_glows.h"

#include <algorithm>

#include "graphics/particles/fx_sprite.h"
#include "graphics/sprites/sprite.h"
#include "scenes/sprite_animator.h"
#include "windows/window.h"
#include "windows/window_spider.h"

void TWindowGlows::Add(const std::shared_ptr<TSprite>& sprite) {
  TSpriteAnimator* animator = TSpriteAnimator::GetInstance();
  if (!sprite || animator->GetGlow(sprite.get())) return;
  auto task = std::make_unique<TFxSpriteAnimTask>();
  if (TWindowAnim* anim = mWindow ? mWindow->GetAnim() : nullptr) task->SetClock(anim->GetClock());
  std::shared_ptr<TSprite> parent = sprite->GetParent() ? sprite->GetParent()->weak_from_this().lock() : nullptr;
  animator->AddGlow(sprite, parent, 0, std::move(task));
  bool known = std::any_of(mSprites.begin(), mSprites.end(),
                           [&](const std::weak_ptr<TSprite>& weak) { return weak.lock() == sprite; });
  if (!known) mSprites.push_back(sprite);
}

void TWindowGlows::Remove(const std::shared_ptr<TSprite>& sprite) {
  if (sprite) TSpriteAnimator::GetInstance()->RemoveAnimation(sprite);
}

void TWindowGlows::ReleaseAll() {
  if (mSprites.empty()) return;
  TSpriteAnimator* animator = TSpriteAnimator::GetInstance();
  for (const std::weak_ptr<TSprite>& weak : mSprites)
    if (std::shared_ptr<TSprite> sprite = weak.lock()) animator->RemoveAnimation(sprite);
  mSprites.clear();
}
