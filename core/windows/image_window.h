#pragma once
// TImage: a window that shows one texture, scaled, mirrored, turned by a quarter or faded.
// Registered as "Bitmap". A new image counts as an opaque cover of its modal (the redraw
// may start at a modal that an image fills); a style with "alpha" takes that back.

#include <cstdint>
#include <memory>

#include "windows/window.h"

class TTexture;

// Flip bits of TImage::SetFlip (drawn through the sprite flags).
enum TImageFlip : uint32_t { ImageFlipHorizontal = 1, ImageFlipVertical = 2 };

class TImage : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // cachedLayer: the image is drawn in the cached-layer pass (window flag 4).
  explicit TImage(bool cachedLayer);

  // The creator registered as "Bitmap".
  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TImage"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // "image", "mask", "scale", "alpha", "mipmap", "hflip", "vflip", "rotate", "autoscale";
  // the texture sizes the window before the style's own "w" and "h" apply.
  void Init(TWindowStyle& style) override;
  void Draw() override;

  // The window takes the texture's size times the scale (turned with rotate).
  void SetTexture(std::shared_ptr<TTexture> texture, float scale);
  const std::shared_ptr<TTexture>& GetTexture() const { return mTexture; }
  void SetAlpha(float alpha);
  float GetAlpha() const { return mAlpha; }
  void SetFlip(uint32_t bits);
  uint32_t GetFlip() const { return mFlip; }
  void SetRotate(bool rotate);
  bool GetRotate() const { return mRotate; }
  float GetScale() const { return mScale; }

 private:
  void SizeToTexture();

  std::shared_ptr<TTexture> mTexture;
  float mScale = 1.0f;
  float mAlpha = 1.0f;
  uint32_t mFlip = 0;
  bool mRotate = false;
};
