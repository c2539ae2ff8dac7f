#include "graphics/texture.h"

#include <algorithm>

#include "graphics/display/dx_context.h"
#include "graphics/display/platform_data.h"
#include "graphics/renderer.h"
#include "platform/settings.h"

TSpriteDrawParams::TSpriteDrawParams(const TVec2& position, float a, float scale, uint32_t f) : alpha(a), flags(f) {
  matrix.m[2] = TVec3(position.x, position.y, 1);
  if (scale != 1.0f) matrix.Scale(scale);
}

namespace {

std::unique_ptr<TTextureData> NewTextureData() {
  TPlatformData* display = GetPlatformData();
  return display ? display->NewTextureData() : nullptr;
}

std::shared_ptr<TTextureBase> MakeTexture() { return std::make_shared<TTexture>(); }

}  // namespace

TTexture::TTexture() : TTextureBase(NewTextureData()) {}

std::shared_ptr<TTexture> TTexture::CastFromAsset(const std::shared_ptr<TAsset>& asset) {
  if (!asset || !asset->IsKindOf(TTexture::ClassId())) return nullptr;
  return std::static_pointer_cast<TTexture>(asset);
}

std::shared_ptr<TTexture> TTexture::Make(const TString& key, const TString& name, const TString& mask,
                                         uint8_t flags) {
  return std::static_pointer_cast<TTexture>(GetCached(key, ClassId(), MakeTexture, name, mask, flags));
}

std::shared_ptr<TTexture> TTexture::Get(const TString& name, uint32_t flags) {
  TString key = name;
  if (flags & TextureGetAlpha) key += ":a";
  if (flags & TextureGetMipMap) key += ":m";
  key += ":tex";
  uint8_t dataFlags = (flags & TextureGetMipMap) ? TextureMipMap : 0;
  if (flags & TextureGetAlpha)
    dataFlags |= TextureAlpha;
  else if (!(flags & TextureGetNoAlpha))
    dataFlags |= TextureAlphaFromFile;
  return Make(key, name, TString(), dataFlags);
}

std::shared_ptr<TTexture> TTexture::GetPlain(const TString& name) {
  return std::static_pointer_cast<TTexture>(TTextureBase::GetPlain(name, ClassId(), MakeTexture));
}

std::shared_ptr<TTexture> TTexture::GetWithMask(const TString& name, const TString& maskName, uint32_t flags) {
  TString key = name + ":" + maskName;
  if (flags & TextureGetMipMap) key += ":m";
  key += ":tex";
  return Make(key, name, maskName, uint8_t(TextureAlpha | ((flags & TextureGetMipMap) ? TextureMipMap : 0)));
}

std::shared_ptr<TTexture> TTexture::CreateRenderTarget(uint32_t width, uint32_t height, bool alpha) {
  return std::static_pointer_cast<TTexture>(TTextureBase::CreateRenderTarget(width, height, alpha, MakeTexture));
}

void TTexture::Draw(float x, float y, float alpha, float scale, float rotation, uint32_t flags) {
  if (!mData || !TRenderer::GetInstance()->Is2d()) return;
  TSpriteDrawParams params(TVec2(x, y), alpha, scale, flags);
  params.matrix.Rotate(rotation);
  DrawSprite(params);
}

void TTexture::DrawSprite(const TSpriteDrawParams& params) {
  TRenderer* renderer = TRenderer::GetInstance();
  if (!mData || !renderer->Is2d() || IsSimple()) return;
  TRect source = (params.flags & SpriteSourceRect) ? params.sourceRect
                                                   : TRect(0, 0, int32_t(GetWidth()), int32_t(GetHeight()));
  float w = float(source.Width()), h = float(source.Height());
  TVec2 topLeft = (params.flags & SpriteAnchored) ? -params.anchor : TVec2(-w / 2, -h / 2);
  TVec2 corners[4] = {topLeft, topLeft + TVec2(w, 0), topLeft + TVec2(w, h), topLeft + TVec2(0, h)};
  if (params.flags & SpriteMirrorX) {
    std::swap(corners[0].x, corners[1].x);
    std::swap(corners[2].x, corners[3].x);
  }
  if (params.flags & SpriteMirrorY) {
    std::swap(corners[0].y, corners[2].y);
    std::swap(corners[1].y, corners[3].y);
  }
  // The image sits at its border offset inside the surface; the coordinates follow it.
  float surfaceWidth = float(mData->mSurfaceWidth ? mData->mSurfaceWidth : 1);
  float surfaceHeight = float(mData->mSurfaceHeight ? mData->mSurfaceHeight : 1);
  float uv[4] = {float(source.left + int32_t(mData->mOffsetX)) / surfaceWidth,
                 float(source.top + int32_t(mData->mOffsetY)) / surfaceHeight,
                 float(source.right + int32_t(mData->mOffsetX)) / surfaceWidth,
                 float(source.bottom + int32_t(mData->mOffsetY)) / surfaceHeight};
  TLVertex vertices[4];
  BuildQuadVertices(TVec2(0, 0), vertices, corners, uv, params.matrix, params.alpha, params.colour);
  if (IsEnabled("softwaretextureculling") && !renderer->GetClipStack().empty()) {
    TRect clip = renderer->GetClipStack().back();
    if (clip.left < clip.right) {
      TRect viewport;
      renderer->GetViewport(viewport);
      clip = TRect(clip.left - viewport.left, clip.top - viewport.top, clip.right - viewport.left,
                   clip.bottom - viewport.top);
      float minX = vertices[0].x, maxX = minX, minY = vertices[0].y, maxY = minY;
      for (const TLVertex& v : vertices) {
        minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
      }
      if (minX > clip.right || maxX < clip.left || minY > clip.bottom || maxY < clip.top) return;
    }
  }
  renderer->SetTexture(std::static_pointer_cast<TTexture>(shared_from_this()));
  if (params.blendMode != -1) renderer->SetBlendMode(params.blendMode);
  renderer->DrawVertices(D3DPT_TRIANGLEFAN, TVertexList{2, vertices, 4});
}

void TTexture::Blit(int32_t x, int32_t y, const TRect* sourceRect, const std::shared_ptr<TTexture>& target) {
  if (!mData || TRenderer::GetInstance()->IsDrawing()) return;
  TDevRect source{0, 0, int32_t(GetWidth()), int32_t(GetHeight())};
  if (sourceRect) {
    source.left = std::max(sourceRect->left, 0);
    source.top = std::max(sourceRect->top, 0);
    source.right = std::min(sourceRect->right, int32_t(GetWidth()));
    source.bottom = std::min(sourceRect->bottom, int32_t(GetHeight()));
  }
  mData->Blit(x, y, &source, target ? target->GetData() : nullptr);
}
