#include "graphics/device/soft_draw.h"

#include <algorithm>

namespace {

constexpr uint32_t MaxSurfaceSide = 16384;

}  // namespace

TSoftDraw::TSoftDraw(std::shared_ptr<TSoftAdapter> adapter)
    : mAdapter(std::move(adapter)), mCursor(std::make_unique<TCursorOverlay>()) {}

TSoftDraw::~TSoftDraw() = default;

TDevResult TSoftDraw::Create(uint32_t adapterIndex, std::shared_ptr<TSoftDraw>& out) {
  auto adapter = SoftAdapter(adapterIndex);
  if (!adapter) return DDERR_NOTFOUND;
  return Create(std::move(adapter), out);
}

TDevResult TSoftDraw::Create(std::shared_ptr<TSoftAdapter> adapter, std::shared_ptr<TSoftDraw>& out) {
  out.reset();
  if (!adapter) return DDERR_INVALIDPARAMS;
  TDevResult fault = adapter->TakeFault(TDevCall::CreateDraw);
  if (fault != DD_OK) return fault;
  out.reset(new TSoftDraw(std::move(adapter)));
  return DD_OK;
}

void TSoftDraw::SetPresenter(std::shared_ptr<TPresenter> presenter) { mPresenter = std::move(presenter); }

TDevResult TSoftDraw::SetCooperativeLevel(uint32_t flags) {
  TDevResult fault = mAdapter->TakeFault(TDevCall::SetCooperativeLevel);
  if (fault != DD_OK) return fault;
  bool exclusive = (flags & (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE)) == (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
  if (!exclusive && !(flags & DDSCL_NORMAL)) return DDERR_INVALIDPARAMS;
  bool wasExclusive = (mCoopFlags & DDSCL_EXCLUSIVE) != 0;
  mCoopFlags = flags;
  if (wasExclusive && !exclusive) {
    mMode = {};
    if (mPresenter && mClientWidth) mPresenter->SetMode(mClientWidth, mClientHeight, false);
  }
  return DD_OK;
}

TDevResult TSoftDraw::GetCaps(TDevDrawCaps& hw) const {
  hw = TDevDrawCaps{};
  const auto& c = mAdapter->Config();
  hw.colorKeyCaps = c.sourceColorKeyBlt ? DDCKEYCAPS_SRCBLT : 0;
  hw.totalVideoMemory = uint32_t(std::min<uint64_t>(c.totalVideoMemory, 0xFFFFFFFFu));
  hw.freeVideoMemory = uint32_t(std::min<uint64_t>(mAdapter->FreeVideoMemory(), 0xFFFFFFFFu));
  return DD_OK;
}

TDevResult TSoftDraw::GetDeviceIdentifier(TDevIdentifier& out, uint32_t) const {
  mAdapter->FillIdentifier(out);
  return DD_OK;
}

TDevResult TSoftDraw::EnumDisplayModes(uint32_t width, uint32_t height, uint32_t minBits,
                                       std::vector<TDevDisplayMode>& out) const {
  out.clear();
  for (const auto& m : mAdapter->DisplayModes())
    if ((width == 0 || m.width == width) && (height == 0 || m.height == height) && m.bitsPerPixel >= minBits)
      out.push_back(m);
  return DD_OK;
}

TDevResult TSoftDraw::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bpp, uint32_t refreshRate) {
  TDevResult fault = mAdapter->TakeFault(TDevCall::SetDisplayMode);
  if (fault != DD_OK) return fault;
  if (!(mCoopFlags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
  if (!mAdapter->HasMode(width, height, bpp)) return DDERR_INVALIDMODE;
  if (mPresenter && !mPresenter->SetMode(width, height, true)) return DDERR_INVALIDMODE;
  mMode = {width, height, bpp, refreshRate ? refreshRate : mAdapter->Config().monitorFrequency};
  LoseAllSurfaces();
  return DD_OK;
}

TDevResult TSoftDraw::RestoreDisplayMode() {
  if (mMode.width == 0) return DD_OK;
  mMode = {};
  if (mPresenter) mPresenter->SetMode(mClientWidth, mClientHeight, false);
  return DD_OK;
}

TDevResult TSoftDraw::GetDisplayMode(TDevSurfaceDesc& out) const {
  const TDevDisplayMode& m = mMode.width ? mMode : mAdapter->Config().desktop;
  out = TDevSurfaceDesc{};
  out.flags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  out.width = m.width;
  out.height = m.height;
  out.pixelFormat = m.bitsPerPixel == 16 ? PixelFormatRgb565() : PixelFormatXrgb8888();
  out.pitch = int32_t(m.width * BytesPerPixel(out.pixelFormat));
  return DD_OK;
}

TDevResult TSoftDraw::GetMonitorFrequency(uint32_t& out) const {
  out = mMode.width ? mMode.refreshRate : mAdapter->Config().desktop.refreshRate;
  return DD_OK;
}

TPixelFormat TSoftDraw::DisplayFormat(bool alpha) const {
  TDevSurfaceDesc mode;
  GetDisplayMode(mode);
  if (mode.pixelFormat.bitCount == 16) return mode.pixelFormat;
  return alpha ? PixelFormatArgb8888() : PixelFormatXrgb8888();
}

TDevResult TSoftDraw::CheckSurfaceDesc(const TDevSurfaceDesc& desc) const {
  if (desc.caps & DDSCAPS_PRIMARYSURFACE) return DD_OK;
  if (!(desc.flags & DDSD_WIDTH) || !(desc.flags & DDSD_HEIGHT) || desc.width == 0 || desc.height == 0 ||
      desc.width > MaxSurfaceSide || desc.height > MaxSurfaceSide)
    return DDERR_INVALIDPARAMS;
  if (desc.flags & DDSD_PIXELFORMAT) {
    if (desc.caps & DDSCAPS_ZBUFFER) {
      if (!(desc.pixelFormat.flags & DDPF_ZBUFFER) || (desc.pixelFormat.bitCount != 16 && desc.pixelFormat.bitCount != 32))
        return DDERR_INVALIDPIXELFORMAT;
    } else if (ClassifyPixelFormat(desc.pixelFormat) == TPixelLayout::Other ||
               (desc.pixelFormat.flags & DDPF_ZBUFFER)) {
      return DDERR_INVALIDPIXELFORMAT;
    }
  }
  if (desc.caps & DDSCAPS_TEXTURE) {
    const auto& c = mAdapter->Config();
    if (desc.width > c.maxTextureWidth || desc.height > c.maxTextureHeight) return DDERR_INVALIDPARAMS;
    if (c.squareTexturesOnly && desc.width != desc.height) return DDERR_INVALIDPARAMS;
    bool powers = (desc.width & (desc.width - 1)) == 0 && (desc.height & (desc.height - 1)) == 0;
    if (c.powerOfTwoTextures && !powers) return DDERR_INVALIDPARAMS;
  }
  return DD_OK;
}

TDevResult TSoftDraw::CreateSurface(const TDevSurfaceDesc& requested, std::shared_ptr<TSoftSurface>& out) {
  out.reset();
  TDevResult r = mAdapter->TakeFault(TDevCall::CreateSurface);
  if (r != DD_OK) return r;
  if (DevFailed(r = CheckSurfaceDesc(requested))) return r;
  TDevSurfaceDesc desc = requested;
  bool alpha = (desc.caps2 & DDSCAPS2_ENABLEALPHACHANNEL) != 0;
  if (desc.caps & DDSCAPS_PRIMARYSURFACE) {
    TDevSurfaceDesc mode;
    GetDisplayMode(mode);
    bool fullScreen = (mCoopFlags & DDSCL_EXCLUSIVE) != 0;
    desc.width = fullScreen || !mClientWidth ? mode.width : mClientWidth;
    desc.height = fullScreen || !mClientHeight ? mode.height : mClientHeight;
    desc.pixelFormat = DisplayFormat(alpha);
    desc.caps |= DDSCAPS_FRONTBUFFER;
  } else if (!(desc.flags & DDSD_PIXELFORMAT)) {
    desc.pixelFormat = (desc.caps & DDSCAPS_ZBUFFER) ? PixelFormatZ(16) : DisplayFormat(alpha);
  }
  bool wantBack = (desc.caps & DDSCAPS_PRIMARYSURFACE) && (desc.caps & DDSCAPS_FLIP) &&
                  (desc.flags & DDSD_BACKBUFFERCOUNT) && desc.backBufferCount > 0;
  if ((desc.caps & DDSCAPS_FLIP) && !(mCoopFlags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
  if (DevFailed(r = MakeSurface(desc, out))) return r;
  if ((desc.caps & DDSCAPS_MIPMAP) && (desc.caps & DDSCAPS_TEXTURE) && DevFailed(r = MakeMipLevels(*out))) {
    out.reset();
    return r;
  }
  if (wantBack) {
    TDevSurfaceDesc backDesc = desc;
    backDesc.caps = (desc.caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VIDEOMEMORY |
                                   DDSCAPS_SYSTEMMEMORY)) | DDSCAPS_BACKBUFFER | (out->Caps() & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY));
    backDesc.flags &= ~DDSD_BACKBUFFERCOUNT;
    backDesc.backBufferCount = 0;
    std::shared_ptr<TSoftSurface> back;
    if (DevFailed(r = MakeSurface(backDesc, back))) {
      out.reset();
      return r;
    }
    out->AddAttachedSurface(back);
  }
  return DD_OK;
}

TDevResult TSoftDraw::MakeSurface(TDevSurfaceDesc desc, std::shared_ptr<TSoftSurface>& out) {
  uint64_t bytes = uint64_t((desc.width * BytesPerPixel(desc.pixelFormat) + 15) & ~15u) * desc.height;
  bool video = false;
  if (!(desc.caps & DDSCAPS_SYSTEMMEMORY)) {
    video = mAdapter->ReserveVideoMemory(bytes);
    if (!video && (desc.caps & DDSCAPS_VIDEOMEMORY)) return DDERR_OUTOFVIDEOMEMORY;
  }
  desc.caps &= ~(DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY);
  desc.caps |= video ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
  out = std::make_shared<TSoftSurface>(weak_from_this(), mAdapter, desc, video);
  mSurfaces.erase(std::remove_if(mSurfaces.begin(), mSurfaces.end(), [](auto& w) { return w.expired(); }),
                  mSurfaces.end());
  mSurfaces.push_back(out);
  return DD_OK;
}

// The levels below a mip-mapped texture, each attached to the one above: sides halved
// (never below one texel) down to one texel or to the count asked for.
TDevResult TSoftDraw::MakeMipLevels(TSoftSurface& top) {
  TDevSurfaceDesc desc;
  top.GetSurfaceDesc(desc);
  uint32_t wanted = (desc.flags & DDSD_MIPMAPCOUNT) && desc.mipMapCount ? desc.mipMapCount : UINT32_MAX;
  desc.caps &= ~(DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY);  // wherever there is room
  TSoftSurface* above = &top;
  uint32_t count = 1;
  for (; count < wanted && (desc.width > 1 || desc.height > 1); ++count) {
    desc.width = std::max(desc.width / 2, 1u);
    desc.height = std::max(desc.height / 2, 1u);
    std::shared_ptr<TSoftSurface> level;
    TDevResult r = MakeSurface(desc, level);
    if (DevFailed(r)) return r;
    above->AddAttachedSurface(level);
    above = level.get();
  }
  top.SetMipMapCount(count);
  return DD_OK;
}

TDevResult TSoftDraw::GetAvailableVidMem(uint32_t, uint32_t& total, uint32_t& free) const {
  total = uint32_t(std::min<uint64_t>(mAdapter->Config().totalVideoMemory, 0xFFFFFFFFu));
  free = uint32_t(std::min<uint64_t>(mAdapter->FreeVideoMemory(), 0xFFFFFFFFu));
  return DD_OK;
}

TDevResult TSoftDraw::TestCooperativeLevel() { return mAdapter->TakeFault(TDevCall::TestCooperativeLevel); }

TDevResult TSoftDraw::RestoreAllSurfaces() {
  TDevResult fault = mAdapter->TakeFault(TDevCall::RestoreAllSurfaces);
  if (fault != DD_OK) return fault;
  for (auto& w : mSurfaces)
    if (auto s = w.lock()) s->Restore();
  return DD_OK;
}

void TSoftDraw::LoseAllSurfaces() {
  for (auto& w : mSurfaces)
    if (auto s = w.lock()) s->MarkLost();
}

TDevResult TSoftDraw::WaitForVerticalBlank(uint32_t) { return DD_OK; }

TDevResult TSoftDraw::FlipToGDISurface() { return DD_OK; }

TDevResult TSoftDraw::SetWindowClientSize(uint32_t width, uint32_t height) {
  mClientWidth = width;
  mClientHeight = height;
  if (mPresenter && !(mCoopFlags & DDSCL_EXCLUSIVE) && !mPresenter->SetMode(width, height, false))
    return DDERR_INVALIDMODE;
  return DD_OK;
}

void TSoftDraw::GetWindowClientSize(uint32_t& width, uint32_t& height) const {
  width = mClientWidth;
  height = mClientHeight;
}

void TSoftDraw::SetVSync(bool on) {
  if (mPresenter) mPresenter->SetVSync(on);
}

TDevResult TSoftDraw::RefreshCursor() {
  if (!mCursor->TakeRefreshRequest() || !mPresenter) return DD_OK;
  return mPresenter->Refresh(mCursor.get());
}

void TSoftDraw::OnPrimaryChanged(const TSoftSurface& primary) {
  if (!mPresenter) return;
  TPresentFrame frame{primary.Pixels(), primary.Pitch(), primary.Width(), primary.Height(), primary.Format()};
  mCursor->TakeRefreshRequest();
  mPresenter->Present(frame, mCursor.get());
}
