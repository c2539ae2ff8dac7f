#pragma once
// TSpriteAnimationGlow: a coloured, blurred halo around a sprite. Setup makes the sprite's
// silhouette in the glow colour of the settings "anGlowColorRED", "anGlowColorGREEN" and
// "anGlowColorBLUE" (0 to 255), writes it as a PNG into the user folder, and hangs an
// effect sprite below the sprite that runs the particle script named by the setting
// "scriptBlurFX" with that silhouette as its texture; the blur itself is the script's.
//
// The silhouette file is named after the sprite's image ("user:" + the image file name
// without its extension + "_mask.png") and written only when it is not there yet for
// that image and colour, so a sprite that glows again on every hover costs no new file.
// The glow owns the effect's task while it lives: when the glow goes, its effect sprite
// leaves the sprite and its task leaves the task list.

#include <memory>

#include "platform/color32.h"
#include "platform/engine_string.h"
#include "scenes/sprite_animation.h"

class TFxSprite;
class TFxSpriteAnimTask;
class TTexture;

class TSpriteAnimationGlow : public TSpriteAnimation {
 public:
  // colour is kept for the owner; the halo takes its colour from the settings.
  TSpriteAnimationGlow(std::shared_ptr<TSprite> sprite, std::shared_ptr<TSprite> parent, TColor32 colour);
  ~TSpriteAnimationGlow() override;

  // Starts the glow with task as the effect's driver (added to the sprite task list and
  // run every frame). False, with a log line, when there is nothing to glow (no sprite,
  // no texture, an empty rectangle), the silhouette cannot be made or written, or there is
  // no task list; the glow then shows nothing.
  virtual bool Setup(std::unique_ptr<TFxSpriteAnimTask> task);

  TColor32 GetColour() const { return mColour; }
  const TString& GetMaskName() const { return mMaskName; }
  const std::shared_ptr<TFxSprite>& GetEffect() const { return mEffect; }

  // The silhouette file of an image file name.
  static TString MaskFileName(const TString& imageFileName);

 private:
  // Writes the silhouette of the sprite's texture, w x h pixels, unless the file is
  // current; false when it cannot be made.
  bool WriteMask(const std::shared_ptr<TTexture>& texture, int32_t width, int32_t height);

  TColor32 mColour;
  TString mMaskName;
  std::shared_ptr<TFxSprite> mEffect;
  TFxSpriteAnimTask* mTask = nullptr;  // owned by the sprite task list while listed
};
