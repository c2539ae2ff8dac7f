#pragma once
// CDisplay: the display side of the device context. It owns the display object, the
// front and back buffers and the window's screen rectangle; it makes a full-screen
// display (exclusive mode, display mode, flipping chain) or a windowed one (client area
// of the asked size, off-screen back buffer), presents frames and makes extra surfaces.
// The window itself is the display host's: its presenter shows what the front buffer
// holds.

#include <cstdint>
#include <memory>

#include "graphics/device/soft_draw.h"
#include "graphics/device/soft_surface.h"

// A surface with the description it was made with (z buffers, cursor surfaces).
struct TSurfaceWrapper {
  std::shared_ptr<TSoftSurface> surface;
  TDevSurfaceDesc desc;
};

// Options word of the creation calls: adapter number in bits 16-31.
constexpr uint32_t DisplayKeepWindow = 0x2;    // leave the window's size and place alone
constexpr uint32_t DisplayAlphaBuffers = 0x4;  // front and back buffers with an alpha channel
constexpr uint32_t DisplayAdapterShift = 16;

class CDisplay {
 public:
  CDisplay() = default;
  virtual ~CDisplay();
  CDisplay(const CDisplay&) = delete;
  CDisplay& operator=(const CDisplay&) = delete;

  // Releases the back and front buffers, leaves exclusive mode and the display object.
  virtual void DestroyObjects();

  // Each returns DD_OK or the failure; whatever existed is destroyed first.
  TDevResult CreateFullScreenDisplay(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t options);
  TDevResult CreateWindowedDisplay(uint32_t width, uint32_t height, bool backBufferInVideoMemory, uint32_t options);
  // An off-screen surface (or one of the given caps) of the size, in the given format or
  // the display's.
  TDevResult CreateSurface(std::unique_ptr<TSurfaceWrapper>& out, uint32_t width, uint32_t height,
                           const TPixelFormat* format, uint32_t caps);
  // Windowed: copies the back buffer to the window; full screen: flips.
  TDevResult Present();
  void UpdateBounds();
  void GetWindowOrigin(int32_t& x, int32_t& y);
  void RestoreDisplayMode();

  const std::shared_ptr<TSoftDraw>& GetDirectDraw() const { return mDirectDraw; }
  const std::shared_ptr<TSoftSurface>& GetFrontBuffer() const { return mFront; }
  const std::shared_ptr<TSoftSurface>& GetBackBuffer() const { return mBack; }
  const TDevRect& GetWindowRect() const { return mScreenRect; }
  bool IsWindowed() const { return mWindowed; }

 private:
  TDevResult TryFullScreen(uint32_t adapter, uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t options);
  TDevResult CreateDrawOn(uint32_t adapter);
  uint32_t CooperativeFlags(uint32_t base) const;

  std::shared_ptr<TSoftDraw> mDirectDraw;
  std::shared_ptr<TSoftSurface> mFront, mBack;
  TDevRect mScreenRect;
  bool mWindowed = false;
  bool mCreatedOnce = false;
};
