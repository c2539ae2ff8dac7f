#include "graphics/display/display.h"

#include "graphics/device/presenter.h"
#include "graphics/display/display_host.h"
#include "graphics/display/dx_trace.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr const char* Unit = "ddutil";
constexpr uint32_t SmallVideoMemory = 0x1000000;

TDevResult FillBlack(TSoftSurface& surface) {
  TDevBltFx fx;
  fx.fillColor = 0;
  return surface.Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

}  // namespace

CDisplay::~CDisplay() { DestroyObjects(); }

void CDisplay::DestroyObjects() {
  mBack.reset();
  mFront.reset();
  if (mDirectDraw) mDirectDraw->SetCooperativeLevel(DDSCL_NORMAL);
  mDirectDraw.reset();
}

uint32_t CDisplay::CooperativeFlags(uint32_t base) const {
  return IsEnabled("fpuprecision") ? base | DDSCL_FPUPRESERVE : base;
}

TDevResult CDisplay::CreateDrawOn(uint32_t adapter) {
  TDevResult r = TSoftDraw::Create(adapter, mDirectDraw);
  if (DevSucceeded(r)) mDirectDraw->SetPresenter(DisplayHost().GetPresenter());
  return r;
}

TDevResult CDisplay::CreateFullScreenDisplay(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                                             uint32_t options) {
  // Each failing adapter hands over to the next one until none is left.
  for (uint32_t adapter = options >> DisplayAdapterShift;; ++adapter) {
    DestroyObjects();
    if (!SoftAdapter(adapter)) {
      LogPrintf("Failed to create a DirectDraw device after trying all GUIDs");
      if (!mCreatedOnce) {
        DisplayHost().ShowMessageBox(
            "Sorry, but this product isn't compatible with your display. Try using a different display (for "
            "instance, the main display in your laptop), if you have the option.",
            "Error", TMessageBoxIcon::None, false);
      }
      return E_FAIL_RESULT;
    }
    uint32_t adapterOptions = (options & 0xFFFF) | adapter << DisplayAdapterShift;
    if (DevSucceeded(TryFullScreen(adapter, width, height, bitsPerPixel, adapterOptions))) return DD_OK;
  }
}

TDevResult CDisplay::TryFullScreen(uint32_t adapter, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                                   uint32_t options) {
  TDevResult r = CreateDrawOn(adapter);
  if (DevFailed(r)) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  if (DevFailed(r = mDirectDraw->SetCooperativeLevel(CooperativeFlags(DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE)))) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  TDevDrawCaps caps;
  mDirectDraw->GetCaps(caps);
  if (caps.totalVideoMemory < SmallVideoMemory && bitsPerPixel > 16) bitsPerPixel = 16;

  std::vector<TDevDisplayMode> modes;
  mDirectDraw->EnumDisplayModes(width, height, 15, modes);
  uint32_t depth = bitsPerPixel;
  bool asked = false, sixteen = false;
  for (const auto& m : modes) {
    asked |= m.bitsPerPixel == bitsPerPixel;
    sixteen |= m.bitsPerPixel == 16;
  }
  if (!asked && !modes.empty()) depth = sixteen ? 16 : modes.front().bitsPerPixel;
  // The log names the depth the display really runs at, which differs from the asked
  // one when the adapter lacks that depth.
  if (DevFailed(r = mDirectDraw->SetDisplayMode(width, height, depth))) {
    LogPrintf("Failed to create screen at %d bpp.", int(depth));
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  LogPrintf("Created screen at %d bpp.", int(depth));

  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  desc.backBufferCount = 1;
  if (options & DisplayAlphaBuffers) desc.caps2 = DDSCAPS2_ENABLEALPHACHANNEL;
  r = mDirectDraw->CreateSurface(desc, mFront);
  if (DevFailed(r) && desc.caps2) {
    LogPrintf("FAILED to create front buffer with DDSCAPS2_ENABLEALPHACHANNEL");
    desc.caps2 = 0;
    r = mDirectDraw->CreateSurface(desc, mFront);
  }
  if (DevFailed(r)) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  if (DevFailed(r = mFront->GetAttachedSurface(DDSCAPS_BACKBUFFER, mBack))) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  mWindowed = false;
  UpdateBounds();
  FillBlack(*mBack);
  FillBlack(*mFront);
  mCreatedOnce = true;
  return DD_OK;
}

TDevResult CDisplay::CreateWindowedDisplay(uint32_t width, uint32_t height, bool backBufferInVideoMemory,
                                           uint32_t options) {
  DestroyObjects();
  TDevResult r = CreateDrawOn(0);
  if (DevFailed(r)) return r;
  if (DevFailed(r = mDirectDraw->SetCooperativeLevel(CooperativeFlags(DDSCL_NORMAL)))) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  uint32_t clientWidth = width, clientHeight = height;
  if (options & DisplayKeepWindow) {
    // The window belongs to its parent's layout: its client area stays as it is.
    if (const auto& presenter = mDirectDraw->Presenter()) presenter->GetClientSize(clientWidth, clientHeight);
    if (!clientWidth || !clientHeight) clientWidth = width, clientHeight = height;
  }
  if (DevFailed(r = mDirectDraw->SetWindowClientSize(clientWidth, clientHeight))) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }

  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS;
  desc.caps = DDSCAPS_PRIMARYSURFACE;
  if (options & DisplayAlphaBuffers) desc.caps2 = DDSCAPS2_ENABLEALPHACHANNEL;
  if (DevFailed(r = mDirectDraw->CreateSurface(desc, mFront))) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | (backBufferInVideoMemory ? DDSCAPS_VIDEOMEMORY : 0u);
  desc.width = width;
  desc.height = height;
  if (DevFailed(r = mDirectDraw->CreateSurface(desc, mBack))) {
    TraceDxError(r, Unit, __LINE__);
    return r;
  }
  mWindowed = true;
  UpdateBounds();
  FillBlack(*mBack);
  mCreatedOnce = true;
  return DD_OK;
}

TDevResult CDisplay::CreateSurface(std::unique_ptr<TSurfaceWrapper>& out, uint32_t width, uint32_t height,
                                   const TPixelFormat* format, uint32_t caps) {
  if (!mDirectDraw) return E_POINTER_RESULT;
  auto wrapper = std::make_unique<TSurfaceWrapper>();
  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format ? DDSD_PIXELFORMAT : 0u);
  desc.caps = caps ? caps : DDSCAPS_OFFSCREENPLAIN;
  desc.width = width;
  desc.height = height;
  if (format) desc.pixelFormat = *format;
  TDevResult r = mDirectDraw->CreateSurface(desc, wrapper->surface);
  if (DevFailed(r)) {
    out.reset();
    return r;
  }
  wrapper->surface->GetSurfaceDesc(wrapper->desc);
  out = std::move(wrapper);
  return DD_OK;
}

TDevResult CDisplay::Present() {
  if (!mFront || !mBack) return E_POINTER_RESULT;
  for (;;) {
    TDevResult r;
    if (mWindowed) {
      TDevBltFx fx;
      fx.ddfx = DDBLTFX_NOTEARING;
      r = mFront->Blt(nullptr, mBack.get(), nullptr, DDBLT_WAIT | DDBLT_DDFX, &fx);
    } else {
      r = mFront->Flip(nullptr, DDFLIP_WAIT);
    }
    if (r == DDERR_WASSTILLDRAWING) continue;
    if (r == DDERR_SURFACELOST) {
      mFront->Restore();
      mBack->Restore();
    }
    return r;
  }
}

void CDisplay::UpdateBounds() {
  if (!mDirectDraw) return;
  if (!mWindowed) {
    TDevSurfaceDesc mode;
    mDirectDraw->GetDisplayMode(mode);
    mScreenRect = {0, 0, int32_t(mode.width), int32_t(mode.height)};
    return;
  }
  int32_t x = 0, y = 0;
  DisplayHost().GetWindowOrigin(x, y);
  uint32_t width = 0, height = 0;
  mDirectDraw->GetWindowClientSize(width, height);
  mScreenRect = {x, y, x + int32_t(width), y + int32_t(height)};
}

void CDisplay::GetWindowOrigin(int32_t& x, int32_t& y) {
  UpdateBounds();
  x = mScreenRect.left;
  y = mScreenRect.top;
}

void CDisplay::RestoreDisplayMode() {
  if (mDirectDraw) mDirectDraw->RestoreDisplayMode();
}
