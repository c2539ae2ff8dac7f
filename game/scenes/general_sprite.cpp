#include "scenes/general_sprite.h"

#include "graphics/sprites/anim_sprite.h"
#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "platform/log.h"
#include "script/lua_glue.h"

namespace {

// The animation script that every animated record starts with.
const char* const StartAnimation = "DoAnim";

// The draw record that puts the image's top-left corner on (x, y) and the pivot where the
// mode says.
TSpriteDrawParams PlaceImage(int32_t x, int32_t y, int32_t pivotMode, uint32_t width, uint32_t height, float scale) {
  TVec2 pivot;
  if (pivotMode == SpritePivotCentre) pivot = TVec2(float(width >> 1), float(height >> 1));
  if (pivotMode == SpritePivotBottomRight) pivot = TVec2(float(width), float(height));
  TSpriteDrawParams params(TVec2(float(x) + pivot.x, float(y) + pivot.y), 1.0f, scale, SpriteAnchored);
  params.anchor = pivot;
  return params;
}

}  // namespace

TPoint GetSpriteTranslation(const TSprite& sprite) {
  const TVec3& translation = sprite.GetDrawParams().matrix.m[2];
  return TPoint(LuaNumberToInt(translation.x), LuaNumberToInt(translation.y));
}

GeneralSprite::GeneralSprite() { mAssets.SetAutoLoad(true); }

GeneralSprite::GeneralSprite(const TString& imageName, int32_t x, int32_t y, int32_t pivotMode, int32_t kind,
                             const TString& name, float scale, int32_t layer)
    : mName(name), mKind(kind) {
  mAssets.SetAutoLoad(true);
  mAnimatedTexture = mAssets.GetAnimatedTexture(imageName);
  std::shared_ptr<TSprite> sprite;
  uint32_t width = 0, height = 0;
  if (mAnimatedTexture) {
    mAnimated = true;
    mAnimatedSprite = TAnimatedSprite::Create(layer);
    mAnimatedSprite->SetTexture(mAnimatedTexture);
    mAnimatedSprite->Play(StartAnimation);
    width = mAnimatedTexture->GetWidth();
    height = mAnimatedTexture->GetHeight();
    sprite = mAnimatedSprite;
  } else {
    mStaticSprite = TSprite::Create(0);
    mTexture = TTexture::Get(imageName, 0);
    mStaticSprite->SetTexture(mTexture);
    if (mTexture) {
      width = mTexture->GetWidth();
      height = mTexture->GetHeight();
    } else {
      LogPrintf("GeneralSprite %s: image %s does not load; the sprite shows nothing", name.c_str(),
                imageName.c_str());
    }
    sprite = mStaticSprite;
  }
  sprite->SetDrawParams(PlaceImage(x, y, pivotMode, width, height, scale));
}

GeneralSprite::~GeneralSprite() = default;

std::shared_ptr<TSprite> GeneralSprite::GetCurrentSprite() const {
  if (mAnimated) return mAnimatedSprite;
  return mStaticSprite;
}

void GeneralSprite::SetAlpha(float alpha) {
  if (std::shared_ptr<TSprite> sprite = GetCurrentSprite()) sprite->GetDrawParams().alpha = alpha;
}

void GeneralSprite::SetSpriteFrom(GeneralSprite other) {
  if (other.mAnimated)
    mAnimatedSprite = other.mAnimatedSprite;
  else
    mStaticSprite = other.mStaticSprite;
}
