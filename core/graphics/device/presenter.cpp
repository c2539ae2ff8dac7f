#include "graphics/device/presenter.h"

#include <algorithm>

#include "graphics/device/pixel_format.h"

namespace {

inline uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

}  // namespace

void TCursorOverlay::SetImage(std::shared_ptr<const TCursorImage> image) {
  std::lock_guard<std::mutex> lock(mMutex);
  mImage = std::move(image);
}

std::shared_ptr<const TCursorImage> TCursorOverlay::Image() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mImage;
}

void TCursorOverlay::SetPosition(int32_t x, int32_t y) {
  std::lock_guard<std::mutex> lock(mMutex);
  mX = x;
  mY = y;
}

void TCursorOverlay::GetPosition(int32_t& x, int32_t& y) const {
  std::lock_guard<std::mutex> lock(mMutex);
  x = mX;
  y = mY;
}

void TCursorOverlay::SetVisible(bool visible) {
  std::lock_guard<std::mutex> lock(mMutex);
  mVisible = visible;
}

bool TCursorOverlay::IsVisible() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mVisible;
}

void TCursorOverlay::Composite(uint32_t* pixels, int32_t pitchPixels, uint32_t width, uint32_t height) const {
  std::shared_ptr<const TCursorImage> image;
  int32_t x, y;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mVisible || !mImage) return;
    image = mImage;
    x = mX - mImage->hotX;
    y = mY - mImage->hotY;
  }
  if (image->pixels.size() < size_t(image->width) * image->height) return;
  int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>(int64_t(x) + image->width, width);
  int64_t y1 = std::min<int64_t>(int64_t(y) + image->height, height);
  for (int64_t py = y0; py < y1; ++py) {
    const uint32_t* src = image->pixels.data() + (py - y) * image->width;
    uint32_t* dst = pixels + py * pitchPixels;
    for (int64_t px = x0; px < x1; ++px) {
      uint32_t s = src[px - x], a = s >> 24;
      if (a == 0) continue;
      uint32_t d = dst[px], out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        uint32_t sc = shift == 24 ? 255 : (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        out |= std::min(255u, Mul255(sc, a) + Mul255(dc, 255 - a)) << shift;
      }
      dst[px] = out;
    }
  }
}

void FrameToArgb(const TPresentFrame& frame, std::vector<uint32_t>& out) {
  out.resize(size_t(frame.width) * frame.height);
  for (uint32_t y = 0; y < frame.height; ++y)
    ConvertRow(frame.pixels + int64_t(y) * frame.pitch, frame.format, reinterpret_cast<uint8_t*>(out.data() + size_t(y) * frame.width),
               PixelFormatArgb8888(), frame.width);
}

bool TMemoryPresenter::SetMode(uint32_t width, uint32_t height, bool fullScreen) {
  if (mFailModes) return false;
  mClientWidth = width;
  mClientHeight = height;
  mFullScreen = fullScreen;
  return true;
}

void TMemoryPresenter::GetClientSize(uint32_t& width, uint32_t& height) const {
  width = mClientWidth;
  height = mClientHeight;
}

TDevResult TMemoryPresenter::Present(const TPresentFrame& frame, const TCursorOverlay* cursor) {
  FrameToArgb(frame, mFrame);
  mFrameWidth = frame.width;
  mFrameHeight = frame.height;
  Show(cursor);
  return DD_OK;
}

TDevResult TMemoryPresenter::Refresh(const TCursorOverlay* cursor) {
  Show(cursor);
  return DD_OK;
}

void TMemoryPresenter::Show(const TCursorOverlay* cursor) {
  mShown = mFrame;
  if (cursor && !mHardwareCursor) cursor->Composite(mShown.data(), int32_t(mFrameWidth), mFrameWidth, mFrameHeight);
  ++mPresents;
}

void TMemoryPresenter::SetHardwareCursor(const TCursorImage* image) { mHardwareCursor = image != nullptr; }
