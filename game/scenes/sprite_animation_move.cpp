#include "scenes/sprite_animation_move.h"

#include <cmath>

#include "graphics/sprites/sprite.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "scenes/general_sprite.h"

namespace {

// The spin per update for each pixel of speed, in radians.
constexpr float SpinPerSpeed = 0.015f;

int32_t SettingInt(const char* key) { return GetConfig(key, "").ToInt(); }

// The step toward the target: the whole way when it is no longer than the speed.
int64_t StepPart(int64_t delta, int64_t distance, int64_t speed) {
  if (speed <= 0 || distance <= speed) return delta;
  return speed * delta / distance;
}

}  // namespace

TSpriteAnimationMove::TSpriteAnimationMove(std::shared_ptr<TSprite> sprite, std::shared_ptr<TSprite> parent,
                                           int32_t targetX, int32_t targetY, int32_t speed, TString name,
                                           bool bringToFront, bool hideFlag)
    : TSpriteAnimation(std::move(sprite), std::move(parent)),
      mTargetX(targetX),
      mTargetY(targetY),
      mSpeed(speed),
      mBringToFront(bringToFront),
      mHideFlag(hideFlag),
      mName(std::move(name)) {
  if (mSpeed <= 0) LogPrintf("TSpriteAnimationMove %s: speed %d; the sprite lands at once", mName.c_str(), mSpeed);
}

void TSpriteAnimationMove::Start() {
  if (!mSprite) return;
  TRect rect = SpriteRect();
  mStartX = rect.left;
  mStartY = rect.top;
  if (mBringToFront && mParent && mParent->RemoveChild(mSprite)) mParent->AddChild(mSprite);
}

void TSpriteAnimationMove::CentrePlacement() {
  TSpriteDrawParams& params = mSprite->GetDrawParams();
  TVec2 centre = LocalImageCentre(*mSprite);
  // Where the picture's middle stands relative to the translation: the local centre under
  // the sprite's turn and scale.
  TVec2 offset = TransformPoint(centre, params.matrix);
  TVec3& translation = params.matrix.m[2];
  offset.x -= translation.x;
  offset.y -= translation.y;
  params.flags = 0;
  translation.x += std::trunc(offset.x);
  translation.y += std::trunc(offset.y);
}

bool TSpriteAnimationMove::Update() {
  if (!mSprite) return false;
  TPoint at = GetSpriteTranslation(*mSprite);
  int32_t left = SettingInt("anMoBorderLeft"), top = SettingInt("anMoBorderTop");
  int32_t right = SettingInt("anMoBorderRight"), bottom = SettingInt("anMoBorderBottom");
  bool onTarget = at.x == mTargetX && at.y == mTargetY;
  bool inside = left < at.x && at.x < right && top < at.y && at.y < bottom;
  if (onTarget || !inside) return false;

  TSpriteDrawParams& params = mSprite->GetDrawParams();
  if (params.flags == SpriteAnchored) {
    CentrePlacement();
    at = GetSpriteTranslation(*mSprite);
  }
  params.matrix.Rotate(float(mSpeed) * SpinPerSpeed);

  int64_t dx = int64_t(mTargetX) - at.x, dy = int64_t(mTargetY) - at.y;
  int64_t distance = int64_t(std::sqrt(double(dx * dx + dy * dy)));
  TVec3& translation = params.matrix.m[2];
  translation.x += float(StepPart(dx, distance, mSpeed));
  translation.y += float(StepPart(dy, distance, mSpeed));
  return true;
}
