#pragma once
// TDxTextureData: texture data on a surface of the software device (a texture, a render
// target with its own z buffer, or a plain off-screen surface). It converts 32-bit pixels
// into the surface's format and back, clears and blits the surface, and rebuilds it
// after a display reset from the file it was loaded from, or empty. It keeps a link to the
// display handler that made it, which the handler cuts when it goes.

#include <memory>

#include "graphics/device/soft_3d.h"
#include "graphics/device/soft_surface.h"
#include "graphics/display/texture_data.h"

class TPlatformData;

class TDxTextureData : public TTextureData {
 public:
  explicit TDxTextureData(TPlatformData& display);
  ~TDxTextureData() override;
  TDxTextureData(const TDxTextureData&) = delete;
  TDxTextureData& operator=(const TDxTextureData&) = delete;

  void ReleaseSurface() override;
  void Restore() override;
  bool SetPixels(uint32_t sourceWidth, uint32_t sourceHeight, const uint32_t* pixels) override;
  bool CreateSurface(uint32_t width, uint32_t height, bool clear) override;
  bool Blit(int32_t x, int32_t y, const TDevRect* source, TTextureData* target) override;
  bool Clear() override;
  bool LockPixels(uint32_t*& pixels, int& pitch) override;
  void UnlockPixels() override;
  bool HasSurface() const override { return mSurface != nullptr; }
  bool CanUseAnySize() const override;

  // Reads the image (width x height from the offset) as 32-bit pixels.
  bool GetPixels(uint32_t width, uint32_t height, uint32_t* pixels);
  const std::shared_ptr<TSoftSurface>& GetSurface() const { return mSurface; }

 private:
  bool CreatePlainOrTarget(uint32_t width, uint32_t height);
  TDevResult CreateAlphaSurface(TDevSurfaceDesc& desc, uint32_t displayBits);
  bool CreateTexture(uint32_t width, uint32_t height);
  void AttachZBuffer();
  void TakeSurface(std::shared_ptr<TSoftSurface> surface);
  // The display handler that made this surface; null once it is gone.
  TPlatformData* Display() const { return *mDisplay; }

  std::shared_ptr<TPlatformData* const> mDisplay;

  std::shared_ptr<TSoftSurface> mSurface;
  std::unique_ptr<uint32_t[]> mLockBuffer;
  bool mSurfaceLocked = false;
};

// The image file a texture name stands for: the name cut before its first '?', then
// that name with ".jp2", ".png" and ".jpg" appended, in this order; empty when none
// exists.
TString FindTextureFile(const TString& name);
// The best RGB format with alpha of the bit count that the device offers (kept in a
// cache shared by all textures); false when it offers none.
bool FindAlphaTextureFormat(const TSoft3D& d3d, uint32_t bitsPerPixel, TPixelFormat& out);
uint32_t CountBits(uint32_t mask);
uint32_t LowestBit(uint32_t mask);
uint32_t NextPowerOfTwo(uint32_t n);
// The direct copy's conversion: each channel's top bits into its mask; alpha from the
// pixel with the alpha flag, else the whole alpha mask.
uint32_t PackTexturePixel(const TPixelFormat& format, uint32_t argb, bool alpha);
// Its inverse: each channel's bits become the top bits of the byte, the low bits zero;
// alpha 255 without the alpha flag.
uint32_t UnpackTexturePixel(const TPixelFormat& format, uint32_t pixel, bool alpha);
