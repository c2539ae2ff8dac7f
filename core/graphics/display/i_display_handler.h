#pragma once
// IDisplayHandler: what the platform shell asks of the display handler (TPlatformData of
// the graphics subsystem implements it). The platform owns the one instance: RunEngine
// makes it through TEngineStart::makeDisplayHandler after the main window exists, and the
// teardown deletes it after the cursor thread has been joined. Without a factory the
// platform uses a stand-in that only shows the main window (window_only_display.h).
//
// Threads: IsActive and UpdateCursor are called from the cursor thread as well as the main
// thread; the implementation guards what they touch (the device's mouse mutex) and keeps
// the flags IsActive reads in atomics. Every other operation runs on the main thread.

#include <cstdint>
#include <memory>

#include "platform/point.h"

class TTextureBase;

class IDisplayHandler {
 public:
  virtual ~IDisplayHandler() = default;

  // Cursor thread: the display is set up and not broken (the cursor may be drawn).
  virtual bool IsActive() const = 0;
  // Redraws the drawn cursor at (x, y) in window coordinates, or where it is for (-1, -1);
  // answers the position used, or (-1, -1) when nothing was drawn.
  virtual TPoint UpdateCursor(int32_t x, int32_t y) = 0;

  // The pointer position of a mouse message (window coordinates) in engine coordinates;
  // a scaled full-screen display maps it here.
  virtual TPoint WindowToEngine(TPoint windowPoint) const = 0;
  virtual void RefreshCursor() = 0;
  virtual void OnWindowMoved() = 0;
  // Re-applies the window cursor (hardware or none) when the pointer enters the window;
  // false when the display handler leaves the cursor alone.
  virtual bool SetWindowsCursor() = 0;
  virtual void SetHardwareCursor(bool on) = 0;

  // Device state, asked by every event-loop step; a device that is not ready is restored
  // by the step while the window is active and not minimised.
  virtual bool IsDeviceReady() = 0;
  virtual void Restore() = 0;
  virtual void ResetWorkingCount() = 0;
  virtual bool IsDisplayReady() const = 0;
  // A set-up and its fall-back failed: the display cannot be set up at all.
  virtual bool HasFailedForGood() const { return false; }
  virtual bool IsFrameDone() = 0;
  virtual void OnOutOfVideoMemory() = 0;

  // The display mode. SetDisplay (re)creates the device; SetFullscreen answers false when
  // the requested mode is refused and nothing changed.
  virtual void SetDisplay(uint32_t width, uint32_t height, bool fullScreen, bool force, bool quiet,
                          bool inParentWindow) = 0;
  virtual bool SetFullscreen(bool fullScreen) = 0;
  virtual bool IsFullscreen() const = 0;
  virtual void GetDisplayMode(uint32_t& width, uint32_t& height, bool& fullScreen) const = 0;
  // The desktop mode changed while the game was inactive.
  virtual void UpdateDesktopMode(int32_t bitsPerPixel, int32_t width, int32_t height) = 0;
  virtual void SetVSync(bool on) = 0;

  // The game's cursor images (TPlatform::SetCursor): hardware true sets the hardware
  // cursor's image, else the drawn cursor's; the display handler keeps both and applies
  // them again after every display start and device restore.
  virtual void SetCursor(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY,
                         bool hardware) {}
};
