#include "graphics/texture.h"

#include <cinttypes>
#include <cstring>
#include <string>

#include "graphics/dx_context.h"
#include "graphics/image_codecs.h"
#include "graphics/platform_data.h"
#include "graphics/renderer.h"
#include "platform/file.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr uint32_t MaxSurfaceSide = 1024;

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

uint32_t PowerOfTwoAtLeast(uint32_t n) {
  uint32_t p = 1;
  while (p < n && p < 0x80000000u) p <<= 1;
  return p;
}

// Reads an image by the extension its name holds; false for any other name.
bool ReadImage(const std::string& name, TDecodedImage& image) {
  if (Has(name, ".png")) return LoadPngImage(name, image);
  if (Has(name, ".jpg")) return LoadJpegImage(name, image);
  if (Has(name, ".jp2")) return LoadJpeg2000Image(name, image);
  return false;
}

// The mask's third byte (red) becomes each pixel's alpha when the sizes agree.
bool MergeMask(const std::string& maskName, TDecodedImage& image) {
  TDecodedImage mask;
  bool jpeg = Has(maskName, ".jpg") && !Has(maskName, ".png");
  if (!(jpeg ? LoadJpegImage(maskName, mask) : LoadPngImage(maskName, mask))) return false;
  if (mask.width != image.width || mask.height != image.height) return true;
  for (uint32_t y = 0; y < image.height; ++y)
    for (uint32_t x = 0; x < image.width; ++x)
      image.pixels[(size_t(y) * image.side + x) * 4 + 3] = mask.pixels[(size_t(y) * mask.side + x) * 4 + 2];
  return true;
}

bool LoadFile(TTextureData& data, const std::string& file, std::string mask) {
  TDecodedImage image;
  if (!ReadImage(file, image)) return false;
  if (Has(file, ".png") || Has(file, ".jp2")) {
    if (data.mFlags & TextureAlphaFromFile)
      data.mFlags = image.hasAlpha ? (data.mFlags | TextureAlpha) : (data.mFlags & ~TextureAlpha);
  }
  if (Has(file, ".jpg") && IsEnabled("automergemask")) {
    std::string companion = file.substr(0, file.find(".jpg")) + ".mask.png";
    if (FileExists(companion.c_str())) {
      mask = companion;
      data.mFlags = uint8_t((data.mFlags & ~TextureAlphaFromFile) | TextureAlpha);
    }
  }
  if (!mask.empty() && !MergeMask(mask, image)) return false;

  bool roundUp = (data.mFlags & TexturePlain) || !TRenderer::GetInstance()->CanUseAnyTextureSize();
  uint32_t surfaceWidth = roundUp ? PowerOfTwoAtLeast(image.width) : image.width;
  uint32_t surfaceHeight = roundUp ? PowerOfTwoAtLeast(image.height) : image.height;
  if ((surfaceWidth > MaxSurfaceSide || surfaceHeight > MaxSurfaceSide) && !(data.mFlags & TextureSystemMemory)) {
    LogPrintf("Texture %s: %ux%u is larger than %u pixels", file.c_str(), image.width, image.height, MaxSurfaceSide);
    return false;
  }
  data.mWidth = image.width;
  data.mHeight = image.height;
  if (!data.CreateSurface(surfaceWidth, surfaceHeight, false)) return false;
  data.mWidth = image.width;
  data.mHeight = image.height;
  if (!data.SetPixels(image.side, image.side, reinterpret_cast<const uint32_t*>(image.pixels.get()))) return false;
  data.mFileName = file.c_str();
  data.mMaskFileName = mask.c_str();
  return true;
}

}  // namespace

TSpriteDrawParams::TSpriteDrawParams(const TVec2& position, float a, float scale, uint32_t f) : alpha(a), flags(f) {
  matrix.m[2] = TVec3(position.x, position.y, 1);
  if (scale != 1.0f) matrix.Scale(scale);
}

bool LoadTextureImage(TTextureData& data, const TString& name, const TString& maskName) {
  std::string file = name.ToStd(), mask = maskName.ToStd();
  size_t options = file.rfind('?');
  if (options != std::string::npos) {
    std::string words = file.substr(options + 1);
    file.resize(options);
    if (Has(words, "slow")) data.mFlags |= TexturePlain | TextureSystemMemory;
    if (Has(words, "simple")) data.mFlags |= TexturePlain;
    if (Has(words, "alpha")) data.mFlags = uint8_t((data.mFlags & ~TextureAlphaFromFile) | TextureAlpha);
    if (Has(words, "mipmap")) data.mFlags |= TextureMipMap;
  }
  bool named = Has(file, ".png") || Has(file, ".jpg") || Has(file, ".jp2");
  if (!FileExists(file.c_str()) && !named) {
    for (const char* extension : {".png", ".jpg", ".jp2"})
      if (FileExists((file + extension).c_str())) return LoadFile(data, file + extension, mask);
    return false;
  }
  if (!mask.empty() && !FileExists(mask.c_str()) && !Has(mask, ".png") && !Has(mask, ".jpg")) {
    for (const char* extension : {".jpg", ".png"})
      if (FileExists((mask + extension).c_str())) return LoadFile(data, file, mask + extension);
  }
  return LoadFile(data, file, mask);
}

TTexture::TTexture() {
  if (TPlatformData* display = GetPlatformData()) mData = display->NewTextureData();
}

TTexture::~TTexture() {
  if (mGeneratedName && GetAssetManager()) GetAssetManager()->RemoveAsset(mCacheName);
}

void TTexture::Release() {
  if (mData) mData->ReleaseSurface();
}

void TTexture::Restore() {
  if (mData) mData->Restore();
}

void TTexture::Register(const TString& key) {
  mCacheName = key;
  if (GetAssetManager()) GetAssetManager()->AddAsset(key, shared_from_this());
}

std::shared_ptr<TTexture> TTexture::CastFromAsset(const std::shared_ptr<TAsset>& asset) {
  if (!asset || !asset->IsKindOf(TTexture::ClassId())) return nullptr;
  return std::static_pointer_cast<TTexture>(asset);
}

std::shared_ptr<TTexture> TTexture::Make(const TString& key, const TString& name, const TString& mask,
                                         uint8_t flags) {
  if (GetAssetManager())
    if (auto cached = CastFromAsset(GetAssetManager()->GetAsset(key))) return cached;
  auto texture = std::make_shared<TTexture>();
  if (!texture->mData) return nullptr;
  texture->mData->mFlags = flags;
  if (!LoadTextureImage(*texture->mData, name, mask)) return nullptr;
  texture->Register(key);
  return texture;
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
  return Make(name + ":s:tex", name, TString(), TexturePlain | TextureAlphaFromFile);
}

std::shared_ptr<TTexture> TTexture::GetWithMask(const TString& name, const TString& maskName, uint32_t flags) {
  TString key = name + ":" + maskName;
  if (flags & TextureGetMipMap) key += ":m";
  key += ":tex";
  return Make(key, name, maskName, uint8_t(TextureAlpha | ((flags & TextureGetMipMap) ? TextureMipMap : 0)));
}

std::shared_ptr<TTexture> TTexture::CreateRenderTarget(uint32_t width, uint32_t height, bool alpha) {
  auto texture = std::make_shared<TTexture>();
  if (!texture->mData) return nullptr;
  texture->mData->mFlags = uint8_t(TextureRenderTarget | (alpha ? TextureAlpha : 0));
  if (!texture->mData->CreateSurface(width, height, true)) return nullptr;
  texture->mGeneratedName = true;
  texture->Register(TString::Printf("%" PRIxPTR ":tex:r", reinterpret_cast<uintptr_t>(texture.get())));
  return texture;
}

bool TTexture::Lock(uint32_t*& pixels, int& pitch) { return mData && mData->LockPixels(pixels, pitch); }

void TTexture::Unlock() {
  if (mData) mData->UnlockPixels();
}

TString TTexture::GetFullName() const { return mData ? mData->mFileName : TString(); }

void TTexture::GetSurfaceSize(uint32_t& width, uint32_t& height) const {
  width = height = 0;
  if (!mData) return;
  width = (mData->mWidth + 2 * mData->mOffsetX + 1) & ~1u;
  height = (mData->mHeight + 2 * mData->mOffsetY + 1) & ~1u;
}

bool TTexture::Save(const TString& fileName) {
  std::string name = fileName.ToStd();
  bool jpeg = Has(name, ".jpg");
  if (!jpeg && !Has(name, ".png")) {
    LogPrintf("TTexture::Save only supports .jpg and .png files");
    return false;
  }
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!Lock(pixels, pitch)) return false;
  uint32_t pitchBytes = uint32_t(pitch) * 4;
  bool saved = jpeg ? SaveJpegImage(fileName, 0.9f, GetWidth(), GetHeight(), pitchBytes, pixels)
                    : SavePngImage(fileName, pixels, GetWidth(), GetHeight(), pitchBytes);
  Unlock();
  return saved;
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
