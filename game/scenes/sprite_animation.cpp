#include "scenes/sprite_animation.h"

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"

TSpriteAnimation::TSpriteAnimation(std::shared_ptr<TSprite> sprite, std::shared_ptr<TSprite> parent)
    : mSprite(std::move(sprite)), mParent(std::move(parent)) {}

TSpriteAnimation::~TSpriteAnimation() = default;

const TSpriteDrawParams& TSpriteAnimation::ParentPlacement() const {
  static const TSpriteDrawParams identity;
  return mParent ? mParent->GetDrawParams() : identity;
}

TRect TSpriteAnimation::SpriteRect() const {
  TRect rect;
  if (mSprite) mSprite->GetRect(rect, ParentPlacement(), -1);
  return rect;
}

TVec2 LocalImageCentre(const TSprite& sprite) {
  const TSpriteDrawParams& params = sprite.GetDrawParams();
  if (!(params.flags & SpriteAnchored)) return TVec2(0, 0);
  const std::shared_ptr<TTexture>& texture = sprite.GetTexture();
  uint32_t width = texture ? texture->GetWidth() : 0, height = texture ? texture->GetHeight() : 0;
  return TVec2(float(width >> 1) - params.anchor.x, float(height >> 1) - params.anchor.y);
}
