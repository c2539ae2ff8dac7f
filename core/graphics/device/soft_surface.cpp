#include "graphics/device/soft_surface.h"

#include <algorithm>
#include <cstring>

#include "graphics/device/adapter.h"
#include "graphics/device/soft_draw.h"

namespace {

bool InsideSurface(const TDevRect& r, uint32_t w, uint32_t h) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= int64_t(w) &&
         r.bottom <= int64_t(h);
}

TDevRect WholeRect(const TSoftSurface& s) { return {0, 0, int32_t(s.Width()), int32_t(s.Height())}; }

// Nearest-pixel scaled copy between rectangles already inside their surfaces.
void CopyScaled(TSoftSurface& dst, const TDevRect& d, const TSoftSurface& src, const TDevRect& s) {
  uint32_t sb = BytesPerPixel(src.Format()), db = BytesPerPixel(dst.Format());
  int32_t dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
  bool sameSize = dw == sw && dh == sh;
  std::vector<uint8_t> row(size_t(sw) * sb);
  std::vector<uint8_t> scaled(size_t(dw) * sb);
  for (int32_t y = 0; y < dh; ++y) {
    int32_t sy = sameSize ? s.top + y : s.top + int32_t((int64_t(2 * y + 1) * sh) / (2 * int64_t(dh)));
    // Copy through a row buffer so that overlapping blits within one surface work.
    std::memcpy(row.data(), src.Pixels() + int64_t(sy) * src.Pitch() + int64_t(s.left) * sb, row.size());
    const uint8_t* line = row.data();
    if (!sameSize) {
      for (int32_t x = 0; x < dw; ++x) {
        int32_t sx = int32_t((int64_t(2 * x + 1) * sw) / (2 * int64_t(dw)));
        std::memcpy(scaled.data() + size_t(x) * sb, row.data() + size_t(sx) * sb, sb);
      }
      line = scaled.data();
    }
    uint8_t* out = dst.Pixels() + int64_t(d.top + y) * dst.Pitch() + int64_t(d.left) * db;
    ConvertRow(line, src.Format(), out, dst.Format(), uint32_t(dw));
  }
}

}  // namespace

bool ClipRect(TDevRect& r, int32_t width, int32_t height) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, width);
  r.bottom = std::min(r.bottom, height);
  return !r.IsEmpty();
}

TSoftSurface::TSoftSurface(std::weak_ptr<TSoftDraw> owner, std::shared_ptr<TSoftAdapter> adapter,
                           const TDevSurfaceDesc& desc, bool videoMemory)
    : mOwner(std::move(owner)), mAdapter(std::move(adapter)), mDesc(desc), mVideoMemory(videoMemory) {
  mDesc.flags |= DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  mDesc.surface = nullptr;
  mLayout = ClassifyPixelFormat(mDesc.pixelFormat);
  // Rows are padded to 16 bytes: callers must honour the pitch.
  mDesc.pitch = int32_t((mDesc.width * BytesPerPixel(mDesc.pixelFormat) + 15) & ~15u);
  mPixels.Reset(size_t(mDesc.pitch) * mDesc.height);
}

TSoftSurface::~TSoftSurface() {
  if (mVideoMemory) mAdapter->ReturnVideoMemory(uint64_t(mDesc.pitch) * mDesc.height);
}

TDevResult TSoftSurface::CheckUsable(TDevCall call) const {
  TDevResult fault = mAdapter->TakeFault(call);
  if (fault != DD_OK) return fault;
  return mLost ? DDERR_SURFACELOST : DD_OK;
}

TDevResult TSoftSurface::GetSurfaceDesc(TDevSurfaceDesc& out) const {
  out = mDesc;
  return DD_OK;
}

TDevResult TSoftSurface::GetPixelFormat(TPixelFormat& out) const {
  out = mDesc.pixelFormat;
  return DD_OK;
}

TDevResult TSoftSurface::Lock(const TDevRect* rect, TDevSurfaceDesc& out, uint32_t flags) {
  TDevResult r = CheckUsable(TDevCall::Lock);
  if (DevFailed(r)) return r;
  TDevRect area = rect ? *rect : WholeRect(*this);
  if (!InsideSurface(area, mDesc.width, mDesc.height)) return DDERR_INVALIDRECT;
  if (mLocks > 0) return DDERR_SURFACEBUSY;
  ++mLocks;
  out = mDesc;
  out.surface = mPixels.Data() + int64_t(area.top) * mDesc.pitch + int64_t(area.left) * BytesPerPixel(mDesc.pixelFormat);
  return DD_OK;
}

TDevResult TSoftSurface::Unlock(const TDevRect*) {
  if (mLocks == 0) return DDERR_NOTLOCKED;
  --mLocks;
  if (mDesc.caps & DDSCAPS_PRIMARYSURFACE) NotifyPrimaryChanged();
  return DD_OK;
}

TDevResult TSoftSurface::Restore() {
  TDevResult fault = mAdapter->TakeFault(TDevCall::RestoreSurface);
  if (fault != DD_OK) return fault;
  if (mLost) mPixels.Clear();
  mLost = false;
  for (auto& a : mAttached) a->Restore();
  return DD_OK;
}

// The first row is written pixel by pixel, the others are copies of it: a 16-bit depth
// buffer, cleared every frame, fills as fast as a 32-bit target.
void TSoftSurface::FillRaw(const TDevRect& rect, uint32_t value) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  uint32_t bpp = BytesPerPixel(mDesc.pixelFormat);
  uint8_t* first = mPixels.Data() + int64_t(rect.top) * mDesc.pitch + int64_t(rect.left) * bpp;
  if (bpp == 4) {
    uint32_t* q = reinterpret_cast<uint32_t*>(first);
    std::fill(q, q + rect.Width(), value);
  } else {
    for (int32_t x = 0; x < rect.Width(); ++x) WritePixel(first + size_t(x) * bpp, bpp, value);
  }
  size_t rowBytes = size_t(rect.Width()) * bpp;
  for (int32_t y = rect.top + 1; y < rect.bottom; ++y)
    std::memcpy(mPixels.Data() + int64_t(y) * mDesc.pitch + int64_t(rect.left) * bpp, first, rowBytes);
}

TDevResult TSoftSurface::Blt(const TDevRect* dstRect, TSoftSurface* src, const TDevRect* srcRect, uint32_t flags,
                             const TDevBltFx* fx) {
  TDevResult r = CheckUsable(TDevCall::Blt);
  if (DevFailed(r)) return r;
  if (src && src->mLost) return DDERR_SURFACELOST;
  if (mLocks > 0 || (src && src->mLocks > 0)) return DDERR_SURFACEBUSY;
  TDevRect d = dstRect ? *dstRect : WholeRect(*this);
  if (!InsideSurface(d, mDesc.width, mDesc.height)) return DDERR_INVALIDRECT;
  if (flags & DDBLT_COLORFILL) {
    if (!fx) return DDERR_INVALIDPARAMS;
    FillRaw(d, fx->fillColor);
  } else {
    if (!src) return DDERR_INVALIDPARAMS;
    TDevRect s = srcRect ? *srcRect : WholeRect(*src);
    if (!InsideSurface(s, src->Width(), src->Height())) return DDERR_INVALIDRECT;
    CopyScaled(*this, d, *src, s);
  }
  if (mDesc.caps & DDSCAPS_PRIMARYSURFACE) NotifyPrimaryChanged();
  return DD_OK;
}

TDevResult TSoftSurface::BltFast(uint32_t x, uint32_t y, TSoftSurface* src, const TDevRect* srcRect, uint32_t) {
  TDevResult r = CheckUsable(TDevCall::BltFast);
  if (DevFailed(r)) return r;
  if (!src) return DDERR_INVALIDPARAMS;
  if (src->mLost) return DDERR_SURFACELOST;
  if (mLocks > 0 || src->mLocks > 0) return DDERR_SURFACEBUSY;
  TDevRect s = srcRect ? *srcRect : WholeRect(*src);
  if (!InsideSurface(s, src->Width(), src->Height())) return DDERR_INVALIDRECT;
  TDevRect d{int32_t(x), int32_t(y), int32_t(x) + s.Width(), int32_t(y) + s.Height()};
  if (x > mDesc.width || y > mDesc.height || !InsideSurface(d, mDesc.width, mDesc.height)) return DDERR_INVALIDRECT;
  CopyScaled(*this, d, *src, s);
  if (mDesc.caps & DDSCAPS_PRIMARYSURFACE) NotifyPrimaryChanged();
  return DD_OK;
}

TDevResult TSoftSurface::Flip(TSoftSurface* target, uint32_t) {
  TDevResult r = CheckUsable(TDevCall::Flip);
  if (DevFailed(r)) return r;
  if (!(mDesc.caps & DDSCAPS_FLIP)) return DDERR_NOTFLIPPABLE;
  TSoftSurface* back = target;
  if (!back)
    for (auto& a : mAttached)
      if (a->mDesc.caps & DDSCAPS_BACKBUFFER) back = a.get();
  if (!back) return DDERR_NOTFLIPPABLE;
  if (back->mLost) return DDERR_SURFACELOST;
  if (mLocks > 0 || back->mLocks > 0) return DDERR_SURFACEBUSY;
  mPixels.Swap(back->mPixels);
  NotifyPrimaryChanged();
  return DD_OK;
}

TDevResult TSoftSurface::GetBltStatus(uint32_t) const {
  TDevResult r = CheckUsable(TDevCall::GetBltStatus);
  if (DevFailed(r)) return r;
  return mAdapter->TakeStillDrawing() ? DDERR_WASSTILLDRAWING : DD_OK;
}

TDevResult TSoftSurface::GetFlipStatus(uint32_t) const {
  TDevResult r = CheckUsable(TDevCall::GetFlipStatus);
  if (DevFailed(r)) return r;
  return mAdapter->TakeStillDrawing() ? DDERR_WASSTILLDRAWING : DD_OK;
}

TDevResult TSoftSurface::AddAttachedSurface(const std::shared_ptr<TSoftSurface>& surface) {
  if (!surface || surface.get() == this) return DDERR_INVALIDPARAMS;
  if (surface->mDesc.caps & DDSCAPS_ZBUFFER) {
    if (surface->Width() != Width() || surface->Height() != Height()) return DDERR_INVALIDPARAMS;
    for (auto& a : mAttached)
      if (a->mDesc.caps & DDSCAPS_ZBUFFER) return DDERR_INVALIDPARAMS;
  }
  mAttached.push_back(surface);
  return DD_OK;
}

TDevResult TSoftSurface::DeleteAttachedSurface(const TSoftSurface* surface) {
  auto it = std::find_if(mAttached.begin(), mAttached.end(), [&](auto& a) { return a.get() == surface; });
  if (surface == nullptr) {
    mAttached.clear();
    return DD_OK;
  }
  if (it == mAttached.end()) return DDERR_NOTFOUND;
  mAttached.erase(it);
  return DD_OK;
}

TDevResult TSoftSurface::GetAttachedSurface(uint32_t caps, std::shared_ptr<TSoftSurface>& out) const {
  for (auto& a : mAttached)
    if ((a->mDesc.caps & caps) == caps) {
      out = a;
      return DD_OK;
    }
  out.reset();
  return DDERR_NOTFOUND;
}

std::shared_ptr<TSoftSurface> TSoftSurface::AttachedZBuffer() const {
  std::shared_ptr<TSoftSurface> z;
  GetAttachedSurface(DDSCAPS_ZBUFFER, z);
  return z;
}

TDevResult TSoftSurface::CopyClipped(TSoftSurface& dst, int32_t x, int32_t y, const TSoftSurface& src,
                                     const TDevRect& srcRect) {
  if (dst.mLost || src.mLost) return DDERR_SURFACELOST;
  TDevRect s = srcRect;
  if (!ClipRect(s, int32_t(src.Width()), int32_t(src.Height()))) return DD_OK;
  x += s.left - srcRect.left;
  y += s.top - srcRect.top;
  TDevRect d{x, y, x + s.Width(), y + s.Height()};
  TDevRect clipped = d;
  if (!ClipRect(clipped, int32_t(dst.Width()), int32_t(dst.Height()))) return DD_OK;
  s.left += clipped.left - d.left;
  s.top += clipped.top - d.top;
  s.right = s.left + clipped.Width();
  s.bottom = s.top + clipped.Height();
  CopyScaled(dst, clipped, src, s);
  if (dst.mDesc.caps & DDSCAPS_PRIMARYSURFACE) dst.NotifyPrimaryChanged();
  return DD_OK;
}

TDevResult TSoftSurface::StretchClipped(TSoftSurface& dst, const TDevRect& dstRect, const TSoftSurface& src,
                                        const TDevRect& srcRect) {
  if (dst.mLost || src.mLost) return DDERR_SURFACELOST;
  if (dstRect.IsEmpty() || srcRect.IsEmpty()) return DD_OK;
  // Pixel by pixel with the same centre mapping as a scaled Blt, skipping what falls
  // outside either surface.
  uint32_t sb = BytesPerPixel(src.Format()), db = BytesPerPixel(dst.Format());
  int64_t dw = dstRect.Width(), dh = dstRect.Height(), sw = srcRect.Width(), sh = srcRect.Height();
  for (int64_t y = 0; y < dh; ++y) {
    int64_t dy = dstRect.top + y, sy = srcRect.top + (2 * y + 1) * sh / (2 * dh);
    if (dy < 0 || dy >= dst.Height() || sy < 0 || sy >= src.Height()) continue;
    for (int64_t x = 0; x < dw; ++x) {
      int64_t dx = dstRect.left + x, sx = srcRect.left + (2 * x + 1) * sw / (2 * dw);
      if (dx < 0 || dx >= dst.Width() || sx < 0 || sx >= src.Width()) continue;
      uint32_t v = ReadPixel(src.Pixels() + sy * src.Pitch() + sx * sb, sb);
      if (src.Format() != dst.Format()) v = PackArgb(dst.Format(), UnpackArgb(src.Format(), v));
      WritePixel(dst.Pixels() + dy * dst.Pitch() + dx * db, db, v);
    }
  }
  if (dst.mDesc.caps & DDSCAPS_PRIMARYSURFACE) dst.NotifyPrimaryChanged();
  return DD_OK;
}

void TSoftSurface::NotifyPrimaryChanged() {
  if (auto owner = mOwner.lock()) owner->OnPrimaryChanged(*this);
}
