#pragma once
// GeneralSprite: the game's record of one named picture on a screen. It wraps one engine
// sprite: an animated sprite driven by the animation asset of the image name when there is
// one, else a still sprite showing the image. Beside the sprite it carries what the screens
// need: a name for lookups and scripts, a clickable flag, a kind number that the owning
// window chooses, two free flags and the angle it was last turned to.
//
// Records are values: a copy drives the same engine sprite as its source (the pointers are
// shared), so moving the copy's sprite moves the source's picture, while the copy's flags
// are its own. A sprite window (TSpriteWindow) keeps them in its list and holds a second
// reference to the engine sprite in its sprite tree. Main thread only.

#include <cstdint>
#include <memory>

#include "graphics/sprites/asset_map.h"
#include "platform/engine_string.h"
#include "platform/point.h"

class TAnimatedSprite;
class TAnimatedTexture;
class TSprite;
class TTexture;

// Kind numbers of the scene screens. A record of kind SpriteKindClickable is picked by the
// sprite window's hit test whatever its clickable flag says.
enum TGeneralSpriteKind : int32_t {
  SpriteKindClickable = 8,
  SpriteKindHiddenObject = 12,
  SpriteKindSceneObject = 26,
  SpriteKindExitImage = 28,
  SpriteKindDefault = 42,
};

// Where a record's engine sprite turns and scales about; the image's top-left corner
// lands on the given point in every mode.
enum TSpritePivot : int32_t {
  SpritePivotTopLeft = 0,
  SpritePivotCentre = 1,
  SpritePivotBottomRight = 2,
};

// The engine sprite's translation in whole pixels, truncated toward zero (saturated, NaN as
// 0): where the screens read a sprite's position.
TPoint GetSpriteTranslation(const TSprite& sprite);

class GeneralSprite {
 public:
  // The empty record: no engine sprite, kind SpriteKindDefault.
  GeneralSprite();
  // The record of an image: imageName is an asset name, (x, y) the screen point of the
  // image's top-left corner, pivotMode a TSpritePivot (others count as the top-left),
  // layer the engine sprite's layer (an animated sprite's only; a still one stands on
  // layer 0). An image that does not load leaves a still sprite without a texture that
  // measures 0 x 0, with a log line.
  GeneralSprite(const TString& imageName, int32_t x, int32_t y, int32_t pivotMode, int32_t kind,
                const TString& name, float scale, int32_t layer);
  GeneralSprite(const GeneralSprite&) = default;
  GeneralSprite& operator=(const GeneralSprite&) = default;
  virtual ~GeneralSprite();

  TString GetName() const { return mName; }
  bool IsClickable() const { return mClickable; }
  void SetClickable(bool clickable) { mClickable = clickable; }
  int32_t GetKind() const { return mKind; }
  // Degrees, as last set through TSpriteWindow::SetSpriteRotation.
  float GetAngle() const { return mAngle; }
  void SetAngle(float degrees) { mAngle = degrees; }
  bool GetUserFlag() const { return mUserFlag; }
  void SetUserFlag(bool flag) { mUserFlag = flag; }
  bool GetSpareFlag() const { return mSpareFlag; }
  void SetSpareFlag(bool flag) { mSpareFlag = flag; }
  bool IsAnimated() const { return mAnimated; }

  // The engine sprite in use (animated or still); empty for the empty record.
  std::shared_ptr<TSprite> GetCurrentSprite() const;
  // The alpha of the engine sprite in use.
  void SetAlpha(float alpha);
  // Takes over the other record's engine sprite of its own kind (its animated sprite when
  // it is animated, else its still one) into the matching pointer of this record; nothing
  // else changes, not even which of the two this record uses.
  void SetSpriteFrom(GeneralSprite other);
  const std::shared_ptr<TTexture>& GetTexture() const { return mTexture; }
  const std::shared_ptr<TAnimatedTexture>& GetAnimatedTexture() const { return mAnimatedTexture; }

 private:
  bool mAnimated = false;
  TAssetMap mAssets;
  std::shared_ptr<TAnimatedSprite> mAnimatedSprite;
  std::shared_ptr<TAnimatedTexture> mAnimatedTexture;
  TString mName;
  bool mClickable = false;
  bool mUserFlag = false;
  int32_t mKind = SpriteKindDefault;
  float mAngle = 0.0f;
  bool mSpareFlag = false;
  std::shared_ptr<TSprite> mStaticSprite;
  std::shared_ptr<TTexture> mTexture;
};
