// TPlatformData: render-target blocks (drawn into the back buffer's top-left corner and
// copied into the texture at their end) and render-target switches.

#include <algorithm>
#include <cstring>

#include "graphics/display/display_host.h"
#include "graphics/display/dx_texture_data.h"
#include "graphics/display/dx_trace.h"
#include "graphics/display/platform_data.h"
#include "graphics/display/texture_base.h"
#include "platform/log.h"

namespace {

constexpr const char* Unit = "dxdisplayhandler";

std::shared_ptr<TSoftSurface> SurfaceOf(const std::shared_ptr<TTextureBase>& texture) {
  if (!texture || !texture->GetData()) return nullptr;
  return static_cast<TDxTextureData*>(texture->GetData())->GetSurface();
}

}  // namespace

void TPlatformData::RestoreViewScale() { DisplayHost().SetViewScale(mSavedViewScale); }

bool TPlatformData::BeginRenderTarget(const std::shared_ptr<TTextureBase>& texture, int mode, const TRect& clip) {
  if (!mDevice || mBroken) return false;
  std::shared_ptr<TSoftSurface> surface = SurfaceOf(texture);
  if (!surface) {
    SetDirectXBroken();
    return false;
  }
  IDisplayHost& host = DisplayHost();
  mRenderTargetMode = mode;
  mRenderTargetTexture = texture;
  WaitForFlip();
  mSavedViewScale = host.GetViewScale();
  host.SetViewScale(1.0f);
  PushViewport(0, 0, int32_t(texture->GetWidth()), int32_t(texture->GetHeight()));
  mSavedViewport = mViewport;
  host.InvalidateWindows();
  KeepBorrowedCorner(std::min<int32_t>(int32_t(texture->GetWidth()), mDisplayRect.Width()),
                     std::min<int32_t>(int32_t(texture->GetHeight()), mDisplayRect.Height()));
  auto fail = [&]() {
    mRenderTargetTexture.reset();
    PopViewport();
    RestoreViewScale();
    PutBackBorrowedCorner();
    return false;
  };
  if (mode == 2 || mode == 3) {
    const TTextureData& data = *texture->GetData();
    TDevRect area{0, 0, std::min(mSavedViewport.right, mDisplayRect.Width()),
                  std::min(mSavedViewport.bottom, mDisplayRect.Height())};
    TDevRect source{int32_t(data.mOffsetX), int32_t(data.mOffsetY), int32_t(data.mOffsetX) + area.right,
                    int32_t(data.mOffsetY) + area.bottom};
    TDevResult r = area.IsEmpty() ? DD_OK : mBackBuffer->Blt(&area, surface.get(), &source, DDBLT_WAIT, nullptr);
    if (DevFailed(r)) {
      TraceDxError(r, Unit, __LINE__);
      LogPrintf("BeginRenderTarget failed because of the above DX error.");
      return fail();
    }
  }
  if (mode == 4)
    FillRect(0, 0, int32_t(texture->GetWidth()), int32_t(texture->GetHeight()), TColor{0, 0, 0, 0}, nullptr, clip);
  WaitForFlip();
  if (!BeginDraw(false)) return fail();
  return true;
}

void TPlatformData::EndRenderTarget() {
  if (!mRenderTargetTexture) return;
  EndDraw(false);
  PopViewport();
  RestoreViewScale();
  mSavedViewport = mDisplayRect;
  std::shared_ptr<TTextureBase> texture = std::move(mRenderTargetTexture);
  mRenderTargetTexture.reset();
  TRect rect(0, 0, std::min(int32_t(texture->GetWidth()), mDisplayRect.Width()),
             std::min(int32_t(texture->GetHeight()), mDisplayRect.Height()));
  if (mRenderTargetMode == 4) {
    CopyRenderTargetMode4(*texture, rect);
  } else if (mRenderTargetMode >= 0 && mRenderTargetMode <= 3) {
    CopyBackBufferToTexture(*texture, rect);
    if (mRenderTargetMode != 1 && texture->HasAlpha()) FixRenderTargetAlpha(*texture);
  }
  PutBackBorrowedCorner();
}

// Where nothing opaque covers the screen, what the frame left in the back buffer shows:
// the block's drawing must not stay there (the start-up calibration's cells did).
void TPlatformData::KeepBorrowedCorner(int32_t width, int32_t height) {
  mBorrowedRows = 0;
  TDevSurfaceDesc back;
  if (width <= 0 || height <= 0 || !mBackBuffer || DevFailed(mBackBuffer->Lock(nullptr, back, DDLOCK_WAIT))) return;
  width = std::min<int32_t>(width, int32_t(back.width));
  height = std::min<int32_t>(height, int32_t(back.height));
  mBorrowedRowBytes = size_t(width) * BytesPerPixel(back.pixelFormat);
  mBorrowedCorner.resize(mBorrowedRowBytes * size_t(height));
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(mBorrowedCorner.data() + mBorrowedRowBytes * size_t(y),
                static_cast<const uint8_t*>(back.surface) + int64_t(y) * back.pitch, mBorrowedRowBytes);
  mBorrowedRows = height;
  mBackBuffer->Unlock(nullptr);
}

void TPlatformData::PutBackBorrowedCorner() {
  int32_t rows = mBorrowedRows;
  mBorrowedRows = 0;
  TDevSurfaceDesc back;
  if (rows == 0 || !mBackBuffer || DevFailed(mBackBuffer->Lock(nullptr, back, DDLOCK_WAIT))) return;
  // A display set up anew meanwhile may be smaller.
  rows = std::min<int32_t>(rows, int32_t(back.height));
  size_t rowBytes = std::min<size_t>(mBorrowedRowBytes, size_t(back.width) * BytesPerPixel(back.pixelFormat));
  for (int32_t y = 0; y < rows; ++y)
    std::memcpy(static_cast<uint8_t*>(back.surface) + int64_t(y) * back.pitch,
                mBorrowedCorner.data() + mBorrowedRowBytes * size_t(y), rowBytes);
  mBackBuffer->Unlock(nullptr);
}

void TPlatformData::CopyBackBufferToTexture(TTextureBase& texture, const TRect& rect) {
  std::shared_ptr<TSoftSurface> surface =
      texture.GetData() ? static_cast<TDxTextureData*>(texture.GetData())->GetSurface() : nullptr;
  if (!surface) {
    SetDirectXBroken();
    return;
  }
  if (rect.IsEmpty() || !mBackBuffer) return;
  const TTextureData& data = *texture.GetData();
  TDevRect source{rect.left, rect.top, rect.right, rect.bottom};
  TDevRect target{int32_t(data.mOffsetX), int32_t(data.mOffsetY), int32_t(data.mOffsetX) + rect.Width(),
                  int32_t(data.mOffsetY) + rect.Height()};
  TDevResult r = DDERR_UNSUPPORTED;
  if (mColourDepth == 32) r = surface->Blt(&target, mBackBuffer.get(), &source, DDBLT_WAIT, nullptr);
  // Other depths, or a refused copy: the clipped copy that cannot fail on rectangles.
  if (DevFailed(r)) TSoftSurface::CopyClipped(*surface, target.left, target.top, *mBackBuffer, source);
}

void TPlatformData::FixRenderTargetAlpha(TTextureBase& texture) {
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture.Lock(pixels, pitch)) return;
  for (uint32_t y = 0; y < texture.GetHeight(); ++y)
    for (uint32_t x = 0; x < texture.GetWidth(); ++x) pixels[size_t(y) * pitch + x] |= 0xFF000000u;
  texture.Unlock();
}

// The back buffer's red channel becomes the texture's alpha (at 32 bits its lowest byte,
// as it always has been); the texture's colours stay.
void TPlatformData::CopyRenderTargetMode4(TTextureBase& texture, const TRect& rect) {
  if (!mBackBuffer) return;
  TDevSurfaceDesc back;
  if (DevFailed(mBackBuffer->Lock(nullptr, back, DDLOCK_WAIT))) return;
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture.Lock(pixels, pitch)) {
    mBackBuffer->Unlock(nullptr);
    return;
  }
  const TPixelFormat& f = back.pixelFormat;
  uint32_t bytes = BytesPerPixel(f);
  int shift = int(LowestBit(f.redMask) + CountBits(f.redMask)) - 8;
  int32_t width = std::min<int32_t>(rect.Width(), int32_t(back.width));
  int32_t height = std::min<int32_t>(rect.Height(), int32_t(back.height));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(back.surface) + int64_t(y) * back.pitch;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t p = ReadPixel(row + size_t(x) * bytes, bytes), alpha;
      if (f.bitCount == 32)
        alpha = p & 0xFF;
      else if (f.bitCount == 15 || f.bitCount == 16 || f.bitCount == 24)
        alpha = (shift >= 0 ? (p & f.redMask) >> shift : (p & f.redMask) << -shift) & 0xFF;
      else
        continue;
      uint32_t& t = pixels[size_t(y) * pitch + x];
      t = (t & 0x00FFFFFFu) | alpha << 24;
    }
  }
  texture.Unlock();
  mBackBuffer->Unlock(nullptr);
}

bool TPlatformData::SwitchRenderTarget(const std::shared_ptr<TSoftSurface>& current,
                                       const std::shared_ptr<TSoftSurface>& surface) {
  if (current == surface || !mDevice || !surface) return true;
  TDevResult r = mDevice->SetRenderTarget(surface, 0);
  if (r == DDERR_CURRENTLYNOTAVAIL) {
    uint32_t bits = surface->Format().bitCount;
    if (bits == 16) {
      LogPrintf("Failed to SetRenderTarget with bit depth 16");
      mContext->SetRenderTargetsNeed32(true);
      SetDirectXBroken();
    } else if (!mRenderTargetFailureLogged) {
      mRenderTargetFailureLogged = true;
      LogPrintf("Failed to SetRenderTarget with alpha bit depth %d", int(bits));
    }
    return true;
  }
  if (DevFailed(r)) {
    TraceDxError(r, Unit, __LINE__);
    return true;
  }
  mRenderTarget = surface;
  TRect previous = mDisplayRect;
  mDisplayRect = TRect(0, 0, int32_t(surface->Width()), int32_t(surface->Height()));
  if (!ApplyViewport()) {
    mDisplayRect = previous;
    LogPrintf("Bad viewport in switching render target!");
    ApplyViewport();
  }
  return true;
}

void TPlatformData::CheckRenderTarget(const std::shared_ptr<TSoftSurface>& surface) {
  if (!mDevice || !mBackBuffer) return;
  TRect display = mDisplayRect;
  SwitchRenderTarget(mRenderTarget, surface);
  SwitchRenderTarget(mRenderTarget, mBackBuffer);
  mDisplayRect = display;
  ApplyViewport();
}
