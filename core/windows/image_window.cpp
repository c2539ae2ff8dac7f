#include "windows/image_window.h"

#include "graphics/renderer.h"
#include "graphics/sprite_draw_params.h"
#include "graphics/texture.h"
#include "windows/window_manager.h"
#include "windows/window_style.h"

namespace {

void Redraw() {
  if (TWindowManager* manager = GetWindowManager()) manager->Invalidate();
}

}  // namespace

TImage::TImage(bool cachedLayer) { AddFlags(WindowOpaqueCover | (cachedLayer ? uint32_t(WindowCachedLayer) : 0u)); }

std::unique_ptr<TWindow> TImage::Create() { return std::make_unique<TImage>(false); }

void TImage::Init(TWindowStyle& style) {
  TString image = style.GetString("image", TString());
  TString mask = style.GetString("mask", TString());
  float scale = float(style.GetNumber("scale", 1.0));
  uint32_t options = 0;
  if (style.GetBool("alpha", false)) {
    SetFlags(GetFlags() & ~uint32_t(WindowOpaqueCover));
    options |= TextureGetAlpha;
  }
  if (style.GetBool("mipmap", false)) options |= TextureGetMipMap;
  uint32_t flip = 0;
  if (style.GetBool("hflip", false)) flip |= ImageFlipHorizontal;
  if (style.GetBool("vflip", false)) flip |= ImageFlipVertical;
  mFlip = flip;
  mRotate = style.GetBool("rotate", false);

  std::shared_ptr<TTexture> texture;
  if (!image.IsEmpty() && !mask.IsEmpty())
    texture = TTexture::GetWithMask(image, mask, options);
  else if (!image.IsEmpty())
    texture = TTexture::Get(image, options);
  if (texture && scale == 1.0f && style.GetBool("autoscale", false)) {
    uint32_t width = 0, height = 0;
    if (TWindowManager* manager = GetWindowManager()) manager->Host().GetScreenSize(width, height);
    float sx = texture->GetWidth() ? float(width) / float(texture->GetWidth()) : 1.0f;
    float sy = texture->GetHeight() ? float(height) / float(texture->GetHeight()) : 1.0f;
    scale = sy > 1.0f ? sy : sx;
  }
  SetTexture(texture, scale);
  TWindow::Init(style);
}

void TImage::SizeToTexture() {
  if (!mTexture) return;
  int32_t width = int32_t(float(mTexture->GetWidth()) * mScale + 0.5f);
  int32_t height = int32_t(float(mTexture->GetHeight()) * mScale + 0.5f);
  if (mRotate) std::swap(width, height);
  SetSize(width, height);
}

void TImage::SetTexture(std::shared_ptr<TTexture> texture, float scale) {
  mTexture = std::move(texture);
  mScale = scale;
  SizeToTexture();
  Redraw();
}

void TImage::SetRotate(bool rotate) {
  if (rotate == mRotate) return;
  mRotate = rotate;
  SizeToTexture();
  Redraw();
}

void TImage::SetFlip(uint32_t bits) {
  mFlip = bits;
  Redraw();
}

void TImage::SetAlpha(float alpha) {
  mAlpha = alpha;
  bool opaque = alpha == 1.0f && mTexture && !mTexture->HasAlpha();
  uint32_t flags = GetFlags();
  SetFlags(opaque ? (flags | WindowOpaqueCover) : (flags & ~uint32_t(WindowOpaqueCover)));
  Redraw();
}

void TImage::Draw() {
  if (!mTexture) return;
  TScoped2d block;
  TSpriteDrawParams params(TVec2(0, 0), mAlpha, mScale, mFlip | SpriteAnchored);
  if (mRotate) {
    // A quarter turn clockwise about the top-left corner leaves the picture left of the
    // window: it moves right by its turned width, so that it fills the window.
    params.matrix.m[2] = TVec3(float(mTexture->GetHeight()) * mScale, 0, 1);
    params.matrix.Rotate(1.5707964f);
  }
  mTexture->DrawSprite(params);
}
