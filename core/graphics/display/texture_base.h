#pragma once
// TTextureBase: what the display handler and the renderer know of a texture: its data
// (the pixels on a surface of the display), its size and flags, reading, writing and
// saving the pixels, and its place in the asset cache. TTexture adds loading by name and
// drawing as a sprite. Always held by shared pointers; the cache knows each texture by
// its cache name (ending in ":tex").

#include <cstdint>
#include <functional>
#include <memory>

#include "graphics/display/texture_data.h"
#include "platform/asset.h"

class TTextureBase : public TAsset {
 public:
  TARVELON_CLASS_ID()

  // Makes a texture (of the kind wanted, without data when there is no display).
  using TMaker = std::function<std::shared_ptr<TTextureBase>()>;

  // A texture keeping its pixels in the data (none without a display handler).
  explicit TTextureBase(std::unique_ptr<TTextureData> data);
  ~TTextureBase() override;

  const char* GetClassName() const override { return "TTextureBase"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
  void Release() override;
  void Restore() override;

  virtual uint32_t GetWidth() const { return mData ? mData->mWidth : 0; }
  virtual uint32_t GetHeight() const { return mData ? mData->mHeight : 0; }

  // The image's pixels (0xAARRGGBB) with the pitch in pixels; Unlock writes them back.
  bool Lock(uint32_t*& pixels, int& pitch);
  void Unlock();
  // Writes the image as JPEG (name containing ".jpg", at the quality 0..1) or PNG (".png").
  bool Save(const TString& fileName, float quality);
  TString GetFullName() const;
  // The image with twice its borders, each side rounded up to an even number.
  void GetSurfaceSize(uint32_t& width, uint32_t& height) const;
  bool HasAlpha() const { return mData && (mData->mFlags & TextureAlpha); }
  bool IsSimple() const { return mData && (mData->mFlags & TexturePlain); }
  TTextureData* GetData() const { return mData.get(); }
  const TString& GetCacheName() const { return mCacheName; }

  // The cached texture of the key when it is of the kind, else one that make gives, with
  // the image (and mask) loaded into its data with these flags, cached under the key;
  // empty when it has no data or the image cannot be loaded.
  static std::shared_ptr<TTextureBase> GetCached(const TString& key, TClassId kind, const TMaker& make,
                                                 const TString& name, const TString& maskName, uint8_t flags);
  // A simple surface of an image (never drawn as a sprite): cursors and the system cursor.
  static std::shared_ptr<TTextureBase> GetPlain(const TString& name, TClassId kind, const TMaker& make);
  // An empty render target made by make, cached under a made-up name that it takes out of
  // the cache again when it goes; empty when it has no data or no surface.
  static std::shared_ptr<TTextureBase> CreateRenderTarget(uint32_t width, uint32_t height, bool alpha,
                                                          const TMaker& make);

 protected:
  std::unique_ptr<TTextureData> mData;

 private:
  void Register(const TString& key);

  TString mCacheName;
  bool mGeneratedName = false;
};
