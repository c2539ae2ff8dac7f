// Presentation seam of the software device: the front buffer goes to a presenter
// (an SDL window in the game, memory in tests), with the drawn cursor composited on
// top at present time.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "graphics/device/device_types.h"

// A cursor image: 32-bit ARGB pixels (straight alpha) and its hot spot.
struct TCursorImage {
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // width * height, rows top-down
  int32_t hotX = 0, hotY = 0;
};

// The drawn cursor: written by the cursor thread and the main thread, read by the
// presenter on the main thread. Every member is safe to call from any thread.
class TCursorOverlay {
 public:
  void SetImage(std::shared_ptr<const TCursorImage> image);
  std::shared_ptr<const TCursorImage> Image() const;
  void SetPosition(int32_t x, int32_t y);
  void GetPosition(int32_t& x, int32_t& y) const;
  void SetVisible(bool visible);
  bool IsVisible() const;
  // The cursor thread asks for the last frame to be shown again with the cursor moved.
  void RequestRefresh() { mRefresh = true; }
  bool TakeRefreshRequest() { return mRefresh.exchange(false); }
  // Blends the cursor (image placed with its hot spot on the position) over 32-bit
  // pixels; clipped to the frame at every edge, so a cursor near the right or bottom
  // edge stays partly visible.
  void Composite(uint32_t* pixels, int32_t pitchPixels, uint32_t width, uint32_t height) const;

 private:
  mutable std::mutex mMutex;
  std::shared_ptr<const TCursorImage> mImage;
  int32_t mX = 0, mY = 0;
  bool mVisible = true;
  std::atomic<bool> mRefresh{false};
};

struct TPresentFrame {
  const uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  uint32_t width = 0, height = 0;
  TPixelFormat format;
};

class TPresenter {
 public:
  virtual ~TPresenter() = default;
  // Windowed: the window's client area becomes width x height. Full screen: the
  // display switches to that size. False when the mode cannot be set.
  virtual bool SetMode(uint32_t width, uint32_t height, bool fullScreen) = 0;
  virtual void GetClientSize(uint32_t& width, uint32_t& height) const = 0;
  // Shows a frame with the cursor composited; main thread only.
  virtual TDevResult Present(const TPresentFrame& frame, const TCursorOverlay* cursor) = 0;
  // Shows the last frame again (the cursor moved); main thread only.
  virtual TDevResult Refresh(const TCursorOverlay* cursor) = 0;
  virtual void SetVSync(bool on) = 0;
  // The system cursor: an image becomes a colour cursor; null hides it (the drawn
  // cursor is then the only one).
  virtual void SetHardwareCursor(const TCursorImage* image) = 0;
};

// Keeps presented frames in memory: the presenter of tests and of headless runs.
class TMemoryPresenter : public TPresenter {
 public:
  bool SetMode(uint32_t width, uint32_t height, bool fullScreen) override;
  void GetClientSize(uint32_t& width, uint32_t& height) const override;
  TDevResult Present(const TPresentFrame& frame, const TCursorOverlay* cursor) override;
  TDevResult Refresh(const TCursorOverlay* cursor) override;
  void SetVSync(bool on) override { mVSync = on; }
  void SetHardwareCursor(const TCursorImage* image) override;

  // The last shown frame as 32-bit pixels (cursor included), its size, and counters.
  const std::vector<uint32_t>& Shown() const { return mShown; }
  uint32_t ShownWidth() const { return mFrameWidth; }
  uint32_t ShownHeight() const { return mFrameHeight; }
  int PresentCount() const { return mPresents; }
  bool IsFullScreen() const { return mFullScreen; }
  bool VSync() const { return mVSync; }
  bool HasHardwareCursor() const { return mHardwareCursor; }
  void FailModes(bool fail) { mFailModes = fail; }

 private:
  void Show(const TCursorOverlay* cursor);

  std::vector<uint32_t> mFrame, mShown;
  uint32_t mFrameWidth = 0, mFrameHeight = 0;
  uint32_t mClientWidth = 0, mClientHeight = 0;
  bool mFullScreen = false, mVSync = false, mHardwareCursor = false, mFailModes = false;
  int mPresents = 0;
};

// Converts a frame to 32-bit ARGB pixels (rows of width pixels).
void FrameToArgb(const TPresentFrame& frame, std::vector<uint32_t>& out);
