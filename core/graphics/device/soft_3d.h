// The Direct3D side of the software device: device and format enumeration, and
// creation of the 3D device on a render target.
#pragma once

#include <memory>
#include <vector>

#include "graphics/device/soft_device.h"
#include "graphics/device/soft_draw.h"

class TSoft3D {
 public:
  // The Direct3D object of a display object.
  static TDevResult Create(std::shared_ptr<TSoftDraw> draw, std::shared_ptr<TSoft3D>& out);

  // The one device of the adapter, with the capabilities its configuration gives.
  TDevResult EnumDevices(std::vector<TDevDeviceDesc>& out) const;
  // Depth formats: 16 and 32 bits.
  TDevResult EnumZBufferFormats(const TDevGuid& device, std::vector<TPixelFormat>& out) const;
  // Texture formats: ARGB8888, XRGB8888, RGB565, ARGB4444 (only the 16-bit ones on a
  // 16-bit-only adapter).
  TDevResult EnumTextureFormats(std::vector<TPixelFormat>& out) const;
  // Fails with DDERR_INVALIDPARAMS for an unknown device or a target without
  // DDSCAPS_3DDEVICE, DDERR_INVALIDPIXELFORMAT for a depth the device cannot render.
  TDevResult CreateDevice(const TDevGuid& guid, std::shared_ptr<TSoftSurface> target, std::shared_ptr<TSoftDevice>& out);
  TDevResult EvictManagedTextures() { return D3D_OK; }
  const std::shared_ptr<TSoftDraw>& Draw() const { return mDraw; }

 private:
  explicit TSoft3D(std::shared_ptr<TSoftDraw> draw) : mDraw(std::move(draw)) {}
  std::shared_ptr<TSoftDraw> mDraw;
};
