#pragma once
// TTextureData: where a texture keeps its pixels. The texture asset fills and reads it
// through this interface; the display handler makes the one implementation it draws with
// (TDxTextureData). Pixels cross it as 32-bit values 0xAARRGGBB (memory order blue,
// green, red, alpha).

#include <cstdint>
#include <memory>

#include "graphics/device/device_types.h"
#include "platform/engine_string.h"

// Flag bits of a texture's data.
constexpr uint8_t TextureRenderTarget = 0x01;  // drawn into: gets its own z buffer
constexpr uint8_t TextureAlpha = 0x02;         // has an alpha channel
constexpr uint8_t TextureAlphaFromFile = 0x04;  // the loaded file decides TextureAlpha
constexpr uint8_t TextureMipMap = 0x08;
constexpr uint8_t TexturePlain = 0x10;        // a plain surface, never drawn as a texture
constexpr uint8_t TextureSystemMemory = 0x20;  // with TexturePlain: in system memory, no size limit

class TTextureData {
 public:
  virtual ~TTextureData() = default;

  // Gives the surface up before a display reset; the sizes and names stay.
  virtual void ReleaseSurface() = 0;
  // Makes the surface again after a reset and reloads its pixels.
  virtual void Restore() = 0;
  // Copies an image (rows of sourceWidth pixels) into the surface at the offset.
  virtual bool SetPixels(uint32_t sourceWidth, uint32_t sourceHeight, const uint32_t* pixels) = 0;
  // Makes the surface for an image of width x height (which becomes the image size).
  virtual bool CreateSurface(uint32_t width, uint32_t height, bool clear) = 0;
  // Copies the source rectangle of the image (all of it when null) to (x, y) of the
  // target's surface, or of the screen when target is null.
  virtual bool Blit(int32_t x, int32_t y, const TDevRect* source, TTextureData* target) = 0;
  virtual bool Clear() = 0;
  // The image's pixels and the pitch in pixels; Unlock writes them back.
  virtual bool LockPixels(uint32_t*& pixels, int& pitch) = 0;
  virtual void UnlockPixels() = 0;
  virtual bool HasSurface() const = 0;
  // Surfaces of any size can be made (else images are put on power-of-two surfaces).
  virtual bool CanUseAnySize() const { return true; }

  TString mFileName;      // the image loaded into it; empty for one made in memory
  TString mMaskFileName;  // the alpha mask merged into it; empty for none
  uint32_t mWidth = 0, mHeight = 0;  // the image
  uint32_t mSurfaceWidth = 0, mSurfaceHeight = 0;
  uint32_t mOffsetX = 0, mOffsetY = 0;  // the image's place in a larger surface
  uint8_t mFlags = 0;
};

// Loads an image (options after '?': "slow", "simple", "alpha", "mipmap"), with a mask
// merged as alpha, into texture data; the loader of textures and of their restore.
bool LoadTextureImage(TTextureData& data, const TString& name, const TString& maskName);
