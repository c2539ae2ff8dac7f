#pragma once
// TSpriteAnimation: the base of the short sprite effects that the sprite animator
// (TSpriteAnimator) runs on one engine sprite: a flight to a point
// (TSpriteAnimationMove) or a glow around it (TSpriteAnimationGlow). They are small
// window classes that never join the window tree; each keeps its engine sprite and the
// sprite in which that one is drawn alive while it runs. Main thread only.

#include <memory>

#include "graphics/math/vector_math.h"
#include "windows/window.h"

class TSprite;
struct TSpriteDrawParams;

class TSpriteAnimation : private TWindow {
 public:
  TARVELON_CLASS_ID()
  // parent: the sprite in which sprite is drawn (may be empty).
  TSpriteAnimation(std::shared_ptr<TSprite> sprite, std::shared_ptr<TSprite> parent);
  ~TSpriteAnimation() override;

  const char* GetClassName() const override { return "TSpriteAnimation"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

  // Called once when the animator takes the animation on.
  virtual void Start() {}
  // One step of the animator; false when the animation has ended.
  virtual bool Update() { return false; }

  const std::shared_ptr<TSprite>& GetSprite() const { return mSprite; }
  const std::shared_ptr<TSprite>& GetParentSprite() const { return mParent; }

 protected:
  // The parent's draw record (the identity without a parent): where the sprite's
  // rectangle is measured.
  const TSpriteDrawParams& ParentPlacement() const;
  // The sprite's screen rectangle under the parent's placement, children included.
  TRect SpriteRect() const;

  std::shared_ptr<TSprite> mSprite;
  std::shared_ptr<TSprite> mParent;
};

// The middle of the sprite's picture in its own coordinates (whole pixels, halves
// truncated): (0, 0) for a centred sprite, the image's half size less the anchor for one
// placed by its anchor.
TVec2 LocalImageCentre(const TSprite& sprite);
