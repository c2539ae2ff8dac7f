// The display object of the software device, shaped like DirectDraw 7: cooperative
// level, display modes, surface creation with video-memory accounting, loss and
// restore, and presentation of the primary surface through a TPresenter.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/device/adapter.h"
#include "graphics/device/device_types.h"
#include "graphics/device/presenter.h"
#include "graphics/device/soft_surface.h"

class TSoftDraw : public std::enable_shared_from_this<TSoftDraw> {
 public:
  // Makes the display object on an adapter of SoftAdapters() (index 0: the default);
  // DDERR_NOTFOUND when there is no such adapter.
  static TDevResult Create(uint32_t adapterIndex, std::shared_ptr<TSoftDraw>& out);
  static TDevResult Create(std::shared_ptr<TSoftAdapter> adapter, std::shared_ptr<TSoftDraw>& out);
  ~TSoftDraw();

  TSoftAdapter& Adapter() const { return *mAdapter; }
  const std::shared_ptr<TSoftAdapter>& AdapterPtr() const { return mAdapter; }
  // The presenter that shows the primary surface (may be null: nothing is shown).
  void SetPresenter(std::shared_ptr<TPresenter> presenter);
  const std::shared_ptr<TPresenter>& Presenter() const { return mPresenter; }

  TDevResult SetCooperativeLevel(uint32_t flags);  // DDSCL_*
  uint32_t CooperativeLevel() const { return mCoopFlags; }
  TDevResult GetCaps(TDevDrawCaps& hardware) const;
  TDevResult GetDeviceIdentifier(TDevIdentifier& out, uint32_t flags) const;
  // Modes of the given size (0, 0: all) with at least minBits bits per pixel.
  TDevResult EnumDisplayModes(uint32_t width, uint32_t height, uint32_t minBits,
                              std::vector<TDevDisplayMode>& out) const;
  // Needs exclusive full-screen access; changing the mode loses every surface.
  TDevResult SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t refreshRate = 0);
  TDevResult RestoreDisplayMode();
  // The current mode: the set one in full screen, else the desktop.
  TDevResult GetDisplayMode(TDevSurfaceDesc& out) const;
  TDevResult GetMonitorFrequency(uint32_t& out) const;

  // Surfaces. A primary surface is the screen (full screen, with DDSCAPS_FLIP and a
  // back-buffer count it gets an attached back buffer) or the window's client area.
  // Without DDSD_PIXELFORMAT a surface takes the display's format. Video memory is
  // used unless DDSCAPS_SYSTEMMEMORY is asked for; DDSCAPS_VIDEOMEMORY fails with
  // DDERR_OUTOFVIDEOMEMORY when the budget is spent, no memory caps fall back to
  // system memory.
  TDevResult CreateSurface(const TDevSurfaceDesc& desc, std::shared_ptr<TSoftSurface>& out);
  TDevResult GetAvailableVidMem(uint32_t caps, uint32_t& total, uint32_t& free) const;

  TDevResult TestCooperativeLevel();
  TDevResult RestoreAllSurfaces();
  // Marks every surface lost, as when another program takes the display.
  void LoseAllSurfaces();

  TDevResult WaitForVerticalBlank(uint32_t flags);
  TDevResult FlipToGDISurface();
  // Windowed placement: the window's client area becomes width x height.
  TDevResult SetWindowClientSize(uint32_t width, uint32_t height);
  void GetWindowClientSize(uint32_t& width, uint32_t& height) const;
  void SetVSync(bool on);

  // The drawn cursor, composited over every presented frame.
  TCursorOverlay& Cursor() { return *mCursor; }
  // Shows the last frame again when the cursor thread asked for it (main thread).
  TDevResult RefreshCursor();
  // Called by a primary surface whose pixels changed: presents them.
  void OnPrimaryChanged(const TSoftSurface& primary);

 private:
  explicit TSoftDraw(std::shared_ptr<TSoftAdapter> adapter);
  TPixelFormat DisplayFormat(bool alpha) const;
  TDevResult CheckSurfaceDesc(const TDevSurfaceDesc& desc) const;
  TDevResult MakeSurface(TDevSurfaceDesc desc, std::shared_ptr<TSoftSurface>& out);
  TDevResult MakeMipLevels(TSoftSurface& top);

  std::shared_ptr<TSoftAdapter> mAdapter;
  std::shared_ptr<TPresenter> mPresenter;
  std::unique_ptr<TCursorOverlay> mCursor;
  uint32_t mCoopFlags = 0;
  TDevDisplayMode mMode;  // set by SetDisplayMode; width 0: the desktop
  uint32_t mClientWidth = 0, mClientHeight = 0;
  std::vector<std::weak_ptr<TSoftSurface>> mSurfaces;
};
