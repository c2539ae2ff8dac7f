#pragma once
// TTexture: the engine's image asset. A picture loaded from a PNG, JPEG or JPEG-2000 file
// (with an optional mask merged as alpha), or an empty render target; it keeps its
// pixels in texture data made by the display handler and draws as a transformed, tinted
// quad through the renderer. Always held by shared pointers; the asset cache knows each
// texture by its cache name (ending in ":tex").

#include <cstdint>
#include <memory>

#include "graphics/rect.h"
#include "graphics/sprite_draw_params.h"
#include "graphics/texture_data.h"
#include "platform/asset.h"

// Flags of TTexture::Get and GetWithMask.
constexpr uint32_t TextureGetMipMap = 1;
constexpr uint32_t TextureGetAlpha = 2;
constexpr uint32_t TextureGetNoAlpha = 4;

class TTexture : public TAsset {
 public:
  TARVELON_CLASS_ID()

  // An empty texture with texture data from the display handler (none without one).
  TTexture();
  ~TTexture() override;

  const char* GetClassName() const override { return "TTexture"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
  void Release() override;
  void Restore() override;

  virtual void DrawSprite(const TSpriteDrawParams& params);
  virtual void Draw(float x, float y, float alpha, float scale, float rotation, uint32_t flags);
  // Copies pixels outside a frame to (x, y) of the target, or of the screen.
  virtual void Blit(int32_t x, int32_t y, const TRect* sourceRect, const std::shared_ptr<TTexture>& target);
  virtual uint32_t GetWidth() const { return mData ? mData->mWidth : 0; }
  virtual uint32_t GetHeight() const { return mData ? mData->mHeight : 0; }

  // The cached texture of a name, loaded on a miss; empty when loading fails.
  static std::shared_ptr<TTexture> Get(const TString& name, uint32_t flags = 0);
  // A simple surface (never drawn as a sprite): cursors and the system cursor image.
  static std::shared_ptr<TTexture> GetPlain(const TString& name);
  static std::shared_ptr<TTexture> GetWithMask(const TString& name, const TString& maskName, uint32_t flags = 0);
  static std::shared_ptr<TTexture> CreateRenderTarget(uint32_t width, uint32_t height, bool alpha);
  static std::shared_ptr<TTexture> CastFromAsset(const std::shared_ptr<TAsset>& asset);

  // The image's pixels (0xAARRGGBB) with the pitch in pixels; Unlock writes them back.
  bool Lock(uint32_t*& pixels, int& pitch);
  void Unlock();
  // Writes the image as JPEG (name containing ".jpg") or PNG (".png").
  bool Save(const TString& fileName);
  TString GetFullName() const;
  // The image with twice its borders, each side rounded up to an even number.
  void GetSurfaceSize(uint32_t& width, uint32_t& height) const;
  bool HasAlpha() const { return mData && (mData->mFlags & TextureAlpha); }
  bool IsSimple() const { return mData && (mData->mFlags & TexturePlain); }
  TTextureData* GetData() const { return mData.get(); }
  const TString& GetCacheName() const { return mCacheName; }

 private:
  static std::shared_ptr<TTexture> Make(const TString& key, const TString& name, const TString& mask,
                                        uint8_t flags);
  void Register(const TString& key);

  std::unique_ptr<TTextureData> mData;
  TString mCacheName;
  bool mGeneratedName = false;
};

// Loads an image (options after '?': "slow", "simple", "alpha", "mipmap"), with a mask
// merged as alpha, into texture data; the loader of textures and of their restore.
bool LoadTextureImage(TTextureData& data, const TString& name, const TString& maskName);
