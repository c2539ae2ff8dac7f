// A surface of the software device: pixels in one of the device's formats, with the
// lock, blit, flip and loss behaviour of a DirectDraw 7 surface.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/device/device_types.h"
#include "graphics/device/adapter.h"
#include "graphics/device/pixel_format.h"
#include "graphics/device/pixel_store.h"

class TSoftDraw;
class TSoftAdapter;

class TSoftSurface : public std::enable_shared_from_this<TSoftSurface> {
 public:
  // Made by TSoftDraw::CreateSurface; videoMemory tells whether its bytes were
  // reserved from the adapter's budget (given back on destruction).
  TSoftSurface(std::weak_ptr<TSoftDraw> owner, std::shared_ptr<TSoftAdapter> adapter, const TDevSurfaceDesc& desc,
               bool videoMemory);
  ~TSoftSurface();
  TSoftSurface(const TSoftSurface&) = delete;
  TSoftSurface& operator=(const TSoftSurface&) = delete;

  TDevResult GetSurfaceDesc(TDevSurfaceDesc& out) const;
  TDevResult GetPixelFormat(TPixelFormat& out) const;
  // Locks the whole surface or a rectangle; out.surface and out.pitch describe it.
  TDevResult Lock(const TDevRect* rect, TDevSurfaceDesc& out, uint32_t flags);
  TDevResult Unlock(const TDevRect* rect);
  TDevResult IsLost() const { return mLost ? DDERR_SURFACELOST : DD_OK; }
  // Gives a lost surface its memory back; the contents are undefined (cleared).
  TDevResult Restore();

  // Copies (scaled with the nearest source pixel when the rectangles differ in size,
  // converting between formats) or fills with DDBLT_COLORFILL and fx->fillColor.
  // Null rectangles mean whole surfaces; rectangles must lie inside their surfaces.
  TDevResult Blt(const TDevRect* dstRect, TSoftSurface* src, const TDevRect* srcRect, uint32_t flags,
                 const TDevBltFx* fx);
  TDevResult BltFast(uint32_t x, uint32_t y, TSoftSurface* src, const TDevRect* srcRect, uint32_t flags);
  // On a primary surface with an attached back buffer: exchanges the two and shows it.
  TDevResult Flip(TSoftSurface* target, uint32_t flags);
  TDevResult GetBltStatus(uint32_t flags) const;
  TDevResult GetFlipStatus(uint32_t flags) const;

  TDevResult AddAttachedSurface(const std::shared_ptr<TSoftSurface>& surface);
  TDevResult DeleteAttachedSurface(const TSoftSurface* surface);
  TDevResult GetAttachedSurface(uint32_t caps, std::shared_ptr<TSoftSurface>& out) const;

  // Clipped copy and stretch (the device's stand-ins for GDI's BitBlt and StretchBlt):
  // never fail on rectangles that leave the surfaces, only on lost surfaces.
  static TDevResult CopyClipped(TSoftSurface& dst, int32_t x, int32_t y, const TSoftSurface& src, const TDevRect& srcRect);
  static TDevResult StretchClipped(TSoftSurface& dst, const TDevRect& dstRect, const TSoftSurface& src,
                                   const TDevRect& srcRect);

  // Direct access for the rasteriser and the presenter.
  uint8_t* Pixels() { return mPixels.Data(); }
  const uint8_t* Pixels() const { return mPixels.Data(); }
  int32_t Pitch() const { return mDesc.pitch; }
  uint32_t Width() const { return mDesc.width; }
  uint32_t Height() const { return mDesc.height; }
  uint32_t Caps() const { return mDesc.caps; }
  const TPixelFormat& Format() const { return mDesc.pixelFormat; }
  TPixelLayout Layout() const { return mLayout; }
  bool IsLocked() const { return mLocks > 0; }
  void MarkLost() { mLost = true; }
  // The levels of a mip-mapped texture, its own included (set by TSoftDraw).
  void SetMipMapCount(uint32_t count) {
    mDesc.mipMapCount = count;
    mDesc.flags |= DDSD_MIPMAPCOUNT;
  }
  std::shared_ptr<TSoftSurface> AttachedZBuffer() const;
  // Fills a rectangle (already inside the surface) with a raw pixel value.
  void FillRaw(const TDevRect& rect, uint32_t value);

 private:
  TDevResult CheckUsable(TDevCall call) const;
  void NotifyPrimaryChanged();

  std::weak_ptr<TSoftDraw> mOwner;
  std::shared_ptr<TSoftAdapter> mAdapter;
  TDevSurfaceDesc mDesc;
  TPixelLayout mLayout;
  bool mVideoMemory;
  TPixelStore mPixels;
  std::vector<std::shared_ptr<TSoftSurface>> mAttached;
  int mLocks = 0;
  bool mLost = false;
};

// Clips rectangle r to (0, 0, width, height); false when nothing is left.
bool ClipRect(TDevRect& r, int32_t width, int32_t height);
