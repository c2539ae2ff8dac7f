#pragma once
// TWindowOnlyDisplay: the display handler's stand-in until the graphics subsystem installs
// the real one. It has no device and draws no cursor: it only gives the main window the
// display's size and mode, shows it and clears it to black.

#include "graphics/display/i_display_handler.h"

class TOsWindow;

class TWindowOnlyDisplay : public IDisplayHandler {
 public:
  // window: the main window, which outlives this object.
  explicit TWindowOnlyDisplay(TOsWindow* window) : mWindow(window) {}

  bool IsActive() const override { return false; }
  TPoint UpdateCursor(int32_t x, int32_t y) override { return TPoint(-1, -1); }
  TPoint WindowToEngine(TPoint windowPoint) const override { return windowPoint; }
  void RefreshCursor() override {}
  void OnWindowMoved() override {}
  bool SetWindowsCursor() override { return false; }
  void SetHardwareCursor(bool on) override {}

  bool IsDeviceReady() override { return true; }
  void Restore() override {}
  void ResetWorkingCount() override {}
  bool IsDisplayReady() const override { return mReady; }
  bool IsFrameDone() override { return true; }
  void OnOutOfVideoMemory() override {}

  void SetDisplay(uint32_t width, uint32_t height, bool fullScreen, bool force, bool quiet,
                  bool inParentWindow) override;
  bool SetFullscreen(bool fullScreen) override;
  bool IsFullscreen() const override { return mFullScreen; }
  void GetDisplayMode(uint32_t& width, uint32_t& height, bool& fullScreen) const override;
  void UpdateDesktopMode(int32_t bitsPerPixel, int32_t width, int32_t height) override {}
  void SetVSync(bool on) override {}

 private:
  TOsWindow* mWindow;
  uint32_t mWidth = 0, mHeight = 0;
  bool mFullScreen = false;
  bool mReady = false;
};
