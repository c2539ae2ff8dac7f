#pragma once
// TSpriteAnimationMove: a sprite's flight to a point, a step per animator update. The
// sprite spins while it flies (faster at higher speed) and flies with its picture's
// centre: a sprite placed by its anchor is switched to centred placement on its first step
// without moving on screen. The flight ends on the target, or as soon as the sprite stands
// outside the border rectangle of the settings "anMoBorderLeft", "anMoBorderTop",
// "anMoBorderRight" and "anMoBorderBottom" (all missing: at once).

#include <cstdint>
#include <memory>

#include "platform/engine_string.h"
#include "scenes/sprite_animation.h"

class TSpriteAnimationMove : public TSpriteAnimation {
 public:
  // speed: pixels per update; a speed of 0 or less lands on the target in one step.
  // name: the sprite's name in its window. hideFlag is kept for the owner.
  TSpriteAnimationMove(std::shared_ptr<TSprite> sprite, std::shared_ptr<TSprite> parent, int32_t targetX,
                       int32_t targetY, int32_t speed, TString name, bool bringToFront, bool hideFlag);

  // Notes where the flight starts and, when asked to, brings the sprite in front of the
  // others of its layer.
  void Start() override;
  bool Update() override;
  virtual TString GetSpriteName() const { return mName; }

  int32_t GetStartX() const { return mStartX; }
  int32_t GetStartY() const { return mStartY; }
  bool GetHideFlag() const { return mHideFlag; }

 private:
  // Switches an anchored sprite to centred placement where it stands.
  void CentrePlacement();

  int32_t mTargetX, mTargetY;
  int32_t mStartX = 0, mStartY = 0;
  int32_t mSpeed;
  bool mBringToFront;
  bool mHideFlag;
  TString mName;
};
