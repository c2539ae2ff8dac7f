#include "graphics/display/texture_base.h"

#include <cinttypes>
#include <string>

#include "graphics/codecs/image_codecs.h"
#include "platform/log.h"

TTextureBase::TTextureBase(std::unique_ptr<TTextureData> data) : mData(std::move(data)) {}

TTextureBase::~TTextureBase() {
  if (mGeneratedName && GetAssetManager()) GetAssetManager()->RemoveAsset(mCacheName);
}

void TTextureBase::Release() {
  if (mData) mData->ReleaseSurface();
}

void TTextureBase::Restore() {
  if (mData) mData->Restore();
}

void TTextureBase::Register(const TString& key) {
  mCacheName = key;
  if (GetAssetManager()) GetAssetManager()->AddAsset(key, shared_from_this());
}

std::shared_ptr<TTextureBase> TTextureBase::GetCached(const TString& key, TClassId kind, const TMaker& make,
                                                      const TString& name, const TString& maskName,
                                                      uint8_t flags) {
  if (GetAssetManager()) {
    std::shared_ptr<TAsset> cached = GetAssetManager()->GetAsset(key);
    if (cached && cached->IsKindOf(kind)) return std::static_pointer_cast<TTextureBase>(cached);
  }
  std::shared_ptr<TTextureBase> texture = make();
  if (!texture->mData) return nullptr;
  texture->mData->mFlags = flags;
  if (!LoadTextureImage(*texture->mData, name, maskName)) return nullptr;
  texture->Register(key);
  return texture;
}

std::shared_ptr<TTextureBase> TTextureBase::GetPlain(const TString& name, TClassId kind, const TMaker& make) {
  return GetCached(name + ":s:tex", kind, make, name, TString(), TexturePlain | TextureAlphaFromFile);
}

std::shared_ptr<TTextureBase> TTextureBase::CreateRenderTarget(uint32_t width, uint32_t height, bool alpha,
                                                               const TMaker& make) {
  std::shared_ptr<TTextureBase> texture = make();
  if (!texture->mData) return nullptr;
  texture->mData->mFlags = uint8_t(TextureRenderTarget | (alpha ? TextureAlpha : 0));
  if (!texture->mData->CreateSurface(width, height, true)) return nullptr;
  texture->mGeneratedName = true;
  texture->Register(TString::Printf("%" PRIxPTR ":tex:r", reinterpret_cast<uintptr_t>(texture.get())));
  return texture;
}

bool TTextureBase::Lock(uint32_t*& pixels, int& pitch) { return mData && mData->LockPixels(pixels, pitch); }

void TTextureBase::Unlock() {
  if (mData) mData->UnlockPixels();
}

TString TTextureBase::GetFullName() const { return mData ? mData->mFileName : TString(); }

void TTextureBase::GetSurfaceSize(uint32_t& width, uint32_t& height) const {
  width = height = 0;
  if (!mData) return;
  width = (mData->mWidth + 2 * mData->mOffsetX + 1) & ~1u;
  height = (mData->mHeight + 2 * mData->mOffsetY + 1) & ~1u;
}

bool TTextureBase::Save(const TString& fileName, float quality) {
  std::string name = fileName.ToStd();
  bool jpeg = name.find(".jpg") != std::string::npos;
  if (!jpeg && name.find(".png") == std::string::npos) {
    LogPrintf("TTexture::Save only supports .jpg and .png files");
    return false;
  }
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!Lock(pixels, pitch)) return false;
  uint32_t pitchBytes = uint32_t(pitch) * 4;
  bool saved = jpeg ? SaveJpegImage(fileName, quality, GetWidth(), GetHeight(), pitchBytes, pixels)
                    : SavePngImage(fileName, pixels, GetWidth(), GetHeight(), pitchBytes);
  Unlock();
  return saved;
}
