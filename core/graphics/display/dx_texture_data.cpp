#include "graphics/display/dx_texture_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "graphics/device/mip_levels.h"
#include "graphics/display/display_host.h"
#include "graphics/display/dx_trace.h"
#include "graphics/display/platform_data.h"
#include "platform/file.h"
#include "platform/log.h"

namespace {

constexpr const char* Unit = "dxtexturedata";

// Where one 8-bit channel goes in a pixel format, worked out once per format.
struct TChannel {
  uint32_t mask = 0;
  int bits = 0, lowest = 0;
  explicit TChannel(uint32_t m) : mask(m), bits(int(CountBits(m))), lowest(int(LowestBit(m))) {}
  uint32_t Place(uint32_t value8) const {
    if (!bits) return 0;
    uint32_t v = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
    return (v << lowest) & mask;
  }
  uint32_t Take(uint32_t pixel) const {
    if (!bits) return 0;
    uint32_t v = (pixel & mask) >> lowest;
    return (bits >= 8 ? v >> (bits - 8) : v << (8 - bits)) & 0xFF;
  }
};

struct TChannelMap {
  TChannel r, g, b, a;
  explicit TChannelMap(const TPixelFormat& f) : r(f.redMask), g(f.greenMask), b(f.blueMask), a(f.alphaMask) {}
  uint32_t Pack(uint32_t argb, bool alpha) const {
    uint32_t p = r.Place(argb >> 16 & 0xFF) | g.Place(argb >> 8 & 0xFF) | b.Place(argb & 0xFF);
    return p | (alpha ? a.Place(argb >> 24) : a.mask);
  }
  uint32_t Unpack(uint32_t pixel, bool alpha) const {
    uint32_t av = alpha && a.bits ? a.Take(pixel) : 0xFF;
    return av << 24 | r.Take(pixel) << 16 | g.Take(pixel) << 8 | b.Take(pixel);
  }
};

bool IsArgb8888(const TPixelFormat& f) {
  return f.bitCount == 32 && f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF &&
         f.alphaMask == 0xFF000000u;
}

// The 32-bit layouts with red, green and blue in their usual bytes and the alpha, if any, in
// the top one: whole rows convert with one mask and one top byte (what TChannelMap gives).
bool IsRgb888In32(const TPixelFormat& f) {
  return f.bitCount == 32 && f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF &&
         (f.alphaMask == 0 || f.alphaMask == 0xFF000000u);
}

// The alpha texture formats found so far, shared by all textures.
struct TAlphaFormatCache {
  std::mutex mutex;
  bool valid = false;
  TPixelFormat format;
};
TAlphaFormatCache& AlphaFormatCache() {
  static TAlphaFormatCache cache;
  return cache;
}

TPixelFormat FixedAlphaFormat(uint32_t displayBits, const TPixelFormat& display) {
  TPixelFormat f;
  f.flags = DDPF_RGB | DDPF_ALPHAPIXELS;
  if (displayBits == 16) {
    f.bitCount = 16;
    f.alphaMask = 0xF000, f.redMask = 0x0F00, f.greenMask = 0x00F0, f.blueMask = 0x000F;
  } else {
    f.bitCount = 32;
    f.alphaMask = 0xFF000000u;
    f.redMask = display.redMask, f.greenMask = display.greenMask, f.blueMask = display.blueMask;
  }
  return f;
}

uint32_t SwapMemory(uint32_t caps) {
  if (caps & DDSCAPS_VIDEOMEMORY) return (caps & ~DDSCAPS_VIDEOMEMORY) | DDSCAPS_SYSTEMMEMORY;
  return (caps & ~DDSCAPS_SYSTEMMEMORY) | DDSCAPS_VIDEOMEMORY;
}

uint32_t RoundHalfUp(int32_t value, float scale) { return uint32_t(std::floor(double(value) * scale + 0.5)); }

}  // namespace

uint32_t CountBits(uint32_t mask) { return uint32_t(__builtin_popcount(mask)); }

uint32_t LowestBit(uint32_t mask) { return mask ? uint32_t(__builtin_ctz(mask)) : 0; }

uint32_t NextPowerOfTwo(uint32_t n) {
  uint32_t p = 2;
  while (p < n && p < 0x80000000u) p <<= 1;
  return p;
}

uint32_t PackTexturePixel(const TPixelFormat& format, uint32_t argb, bool alpha) {
  return TChannelMap(format).Pack(argb, alpha);
}

uint32_t UnpackTexturePixel(const TPixelFormat& format, uint32_t pixel, bool alpha) {
  return TChannelMap(format).Unpack(pixel, alpha);
}

TString FindTextureFile(const TString& name) {
  int cut = name.Find("?");
  TString base = cut >= 0 ? name.Substr(0, cut) : name;
  for (const char* extension : {"", ".jp2", ".png", ".jpg"}) {
    TString candidate = base + extension;
    if (FileExists(candidate)) return candidate;
  }
  return TString();
}

bool FindAlphaTextureFormat(const TSoft3D& d3d, uint32_t bitsPerPixel, TPixelFormat& out) {
  TAlphaFormatCache& cache = AlphaFormatCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (cache.valid && cache.format.bitCount == bitsPerPixel) {
    out = cache.format;
    return true;
  }
  std::vector<TPixelFormat> formats;
  d3d.EnumTextureFormats(formats);
  bool found = false;
  TPixelFormat best;
  for (const TPixelFormat& f : formats) {
    bool qualifies = (f.flags & DDPF_ALPHAPIXELS) && (f.flags & DDPF_RGB) && !(f.flags & DDPF_LUMINANCE) &&
                     f.bitCount == bitsPerPixel;
    if (!qualifies) continue;
    if (!found || (CountBits(f.alphaMask) > CountBits(best.alphaMask) && CountBits(f.blueMask) >= 3)) best = f;
    found = true;
  }
  if (!found) return false;
  cache.valid = true;
  cache.format = best;
  out = best;
  return true;
}

TDxTextureData::TDxTextureData(TPlatformData& display) : mDisplay(display.GetLink()) {}

TDxTextureData::~TDxTextureData() { ReleaseSurface(); }

bool TDxTextureData::CanUseAnySize() const { return !Display() || Display()->CanUseAnyTextureSize(); }

void TDxTextureData::TakeSurface(std::shared_ptr<TSoftSurface> surface) {
  mSurface = std::move(surface);
  mSurfaceWidth = mSurface->Width();
  mSurfaceHeight = mSurface->Height();
  if (TPlatformData* display = Display()) display->AddTextureMemory(int64_t(mSurface->Pitch()) * mSurfaceHeight);
}

void TDxTextureData::ReleaseSurface() {
  if (!mSurface) return;
  if (mSurfaceLocked) mSurface->Unlock(nullptr);
  mSurfaceLocked = false;
  mLockBuffer.reset();
  TDevSurfaceDesc desc;
  mSurface->GetSurfaceDesc(desc);
  if (TPlatformData* display = Display()) display->AddTextureMemory(-int64_t(desc.pitch) * desc.height);
  mSurface->DeleteAttachedSurface(nullptr);
  mSurface.reset();
}

bool TDxTextureData::CreateSurface(uint32_t width, uint32_t height, bool clear) {
  ReleaseSurface();
  TPlatformData* display = Display();
  if (!display || !display->GetContext().GetDirectDraw() || width == 0 || height == 0) return false;
  if (mWidth == 0 || mHeight == 0) mWidth = width, mHeight = height;
  if (!(mFlags & TexturePlain) && display->IsSquareTexturesOnly() && width != height)
    width = height = std::max(NextPowerOfTwo(width), NextPowerOfTwo(height));
  bool made = (mFlags & (TextureRenderTarget | TexturePlain)) ? CreatePlainOrTarget(width, height)
                                                              : CreateTexture(width, height);
  if (!made) {
    ReleaseSurface();
    return false;
  }
  mOffsetX = (mSurfaceWidth - std::min(mWidth, mSurfaceWidth)) / 2;
  mOffsetY = (mSurfaceHeight - std::min(mHeight, mSurfaceHeight)) / 2;
  if (clear) Clear();
  if ((mFlags & TextureRenderTarget) && (mFlags & TextureAlpha)) display->CheckRenderTarget(mSurface);
  return true;
}

bool TDxTextureData::CreatePlainOrTarget(uint32_t width, uint32_t height) {
  TPlatformData& display = *Display();
  TDXContext& context = display.GetContext();
  const auto& draw = context.GetDirectDraw();
  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.width = width;
  desc.height = height;
  desc.pixelFormat = context.GetDisplayMode().pixelFormat;
  bool plain = (mFlags & TexturePlain) != 0;
  desc.caps = (plain ? DDSCAPS_OFFSCREENPLAIN : DDSCAPS_TEXTURE) | ((mFlags & TextureRenderTarget) ? DDSCAPS_3DDEVICE : 0u);
  if (!context.IsHardwareDevice() || (plain && (mFlags & TextureSystemMemory))) {
    desc.caps |= DDSCAPS_SYSTEMMEMORY;
  } else {
    uint32_t total = 0, free = 0;
    draw->GetAvailableVidMem(desc.caps, total, free);
    desc.caps |= DDSCAPS_VIDEOMEMORY;
  }
  std::shared_ptr<TSoftSurface> surface;
  TDevResult r;
  if (!(mFlags & TextureAlpha)) {
    r = draw->CreateSurface(desc, surface);
    if (DevFailed(r)) {
      TraceDxError(r, Unit, __LINE__);
      desc.caps = SwapMemory(desc.caps);
      r = draw->CreateSurface(desc, surface);
    }
  } else {
    uint32_t bits = context.GetDisplayMode().pixelFormat.bitCount;
    if ((mFlags & TextureRenderTarget) && context.RenderTargetsNeed32()) bits = 32;
    r = CreateAlphaSurface(desc, bits);
    if (DevSucceeded(r)) r = draw->CreateSurface(desc, surface);
    if (DevFailed(r)) {
      desc.caps = (desc.caps & ~DDSCAPS_SYSTEMMEMORY) | DDSCAPS_VIDEOMEMORY;
      r = draw->CreateSurface(desc, surface);
    }
    if (DevFailed(r) && (mFlags & TextureRenderTarget)) {
      // An alpha render target nobody can make becomes an ordinary alpha texture.
      mFlags &= uint8_t(~TextureRenderTarget);
      return CreateTexture(width, height);
    }
    if (DevFailed(r)) {
      desc.caps = DDSCAPS_TEXTURE;
      r = draw->CreateSurface(desc, surface);
    }
    if (DevSucceeded(r) && !(surface->Format().flags & DDPF_ALPHAPIXELS))
      LogPrintf("SURFACE request FAILED to get DDPF_ALPHAPIXELS.");
  }
  if (DevFailed(r)) {
    if (display.IsDeviceReady()) TraceDxError(r, Unit, __LINE__);
    return false;
  }
  TakeSurface(std::move(surface));
  if (mFlags & TextureRenderTarget) AttachZBuffer();
  return true;
}

TDevResult TDxTextureData::CreateAlphaSurface(TDevSurfaceDesc& desc, uint32_t displayBits) {
  TDXContext& context = Display()->GetContext();
  TPixelFormat format;
  if (!context.GetDirect3D() || !FindAlphaTextureFormat(*context.GetDirect3D(), displayBits, format))
    format = FixedAlphaFormat(displayBits, context.GetDisplayMode().pixelFormat);
  desc.pixelFormat = format;
  return DD_OK;
}

void TDxTextureData::AttachZBuffer() {
  TDXContext& context = Display()->GetContext();
  std::shared_ptr<TSoftSurface> screenZ = context.GetBackSurface() ? context.GetBackSurface()->AttachedZBuffer() : nullptr;
  if (!screenZ) return;
  std::unique_ptr<TSurfaceWrapper> z;
  TPixelFormat format = screenZ->Format();
  TDevResult r = context.GetDisplay().CreateSurface(z, mSurfaceWidth, mSurfaceHeight, &format,
                                                    DDSCAPS_ZBUFFER | (screenZ->Caps() & DDSCAPS_VIDEOMEMORY));
  if (DevFailed(r)) {
    TraceDxError(r, Unit, __LINE__);
    LogPrintf("FAILED to create z-buffer for render surface!");
    return;
  }
  if (DevFailed(r = mSurface->AddAttachedSurface(z->surface))) {
    TraceDxError(r, Unit, __LINE__);
    LogPrintf("FAILED to attach z-buffer for render surface!");
  }
}

// Textures drawn with: the device's own texture formats at the display's depth, sized
// up to what the device accepts.
bool TDxTextureData::CreateTexture(uint32_t width, uint32_t height) {
  TPlatformData& display = *Display();
  TDXContext& context = display.GetContext();
  bool alpha = (mFlags & TextureAlpha) != 0;
  uint32_t bits = context.GetDisplayMode().pixelFormat.bitCount == 16 ? 16 : 32;
  TPixelFormat wanted = bits == 16 ? (alpha ? PixelFormatArgb4444() : PixelFormatRgb565())
                                   : (alpha ? PixelFormatArgb8888() : PixelFormatXrgb8888());
  std::vector<TPixelFormat> offered;
  if (context.GetDirect3D()) context.GetDirect3D()->EnumTextureFormats(offered);
  if (std::find(offered.begin(), offered.end(), wanted) == offered.end())
    wanted = alpha ? PixelFormatArgb4444() : PixelFormatRgb565();
  if (!display.CanUseAnyTextureSize()) {
    width = NextPowerOfTwo(width);
    height = NextPowerOfTwo(height);
  }
  TDevDeviceDesc caps;
  if (display.GetDevice()) display.GetDevice()->GetCaps(caps);
  if (width > caps.maxTextureWidth || height > caps.maxTextureHeight) return false;  // unsupported size
  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.caps = DDSCAPS_TEXTURE;
  // A mip-mapped texture gets its whole chain of levels, filled whenever its pixels change.
  if (mFlags & TextureMipMap) desc.caps |= DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
  desc.width = width;
  desc.height = height;
  desc.pixelFormat = wanted;
  std::shared_ptr<TSoftSurface> surface;
  TDevResult r = context.GetDirectDraw()->CreateSurface(desc, surface);
  if (DevFailed(r)) {
    if (display.IsDeviceReady()) TraceDxError(r, Unit, __LINE__);
    return false;
  }
  TakeSurface(std::move(surface));
  if (bits == 32 && wanted.bitCount != 32) {
    LogPrintf("D3DXCreateTexture::CreateSurface: Created a 16 bit texture when requesting 32 bits. Switching to 16 "
              "bit mode");
    display.OnOutOfVideoMemory();
  }
  return true;
}

bool TDxTextureData::SetPixels(uint32_t sourceWidth, uint32_t sourceHeight, const uint32_t* pixels) {
  if (!mSurface || !pixels) return false;
  TDevSurfaceDesc desc;
  if (DevFailed(mSurface->Lock(nullptr, desc, DDLOCK_WAIT))) return false;
  const TPixelFormat& format = desc.pixelFormat;
  uint32_t width = std::min({mWidth, sourceWidth, mSurfaceWidth - std::min(mOffsetX, mSurfaceWidth)});
  uint32_t height = std::min({mHeight, sourceHeight, mSurfaceHeight - std::min(mOffsetY, mSurfaceHeight)});
  uint32_t bytes = BytesPerPixel(format);
  bool alpha = (mFlags & TextureAlpha) != 0;
  TChannelMap map(format);
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t* src = pixels + size_t(y) * sourceWidth;
    uint8_t* dst = static_cast<uint8_t*>(desc.surface) + int64_t(y + mOffsetY) * desc.pitch + size_t(mOffsetX) * bytes;
    if (IsArgb8888(format) && alpha) {
      std::memcpy(dst, src, size_t(width) * 4);
    } else if (IsRgb888In32(format)) {
      uint32_t keep = alpha ? format.alphaMask | 0xFFFFFFu : 0xFFFFFFu, top = alpha ? 0 : format.alphaMask;
      uint32_t* out = reinterpret_cast<uint32_t*>(dst);
      for (uint32_t x = 0; x < width; ++x) out[x] = (src[x] & keep) | top;
    } else if (format.bitCount == 32 || format.bitCount == 24 || format.bitCount == 16 || format.bitCount == 15) {
      uint32_t size = format.bitCount == 15 ? 2 : format.bitCount / 8;
      for (uint32_t x = 0; x < width; ++x) WritePixel(dst + size_t(x) * size, size, map.Pack(src[x], alpha));
    }
  }
  mSurface->Unlock(nullptr);
  BuildMipLevels(*mSurface);
  return true;
}

bool TDxTextureData::GetPixels(uint32_t width, uint32_t height, uint32_t* pixels) {
  if (!mSurface) return false;
  TDevSurfaceDesc desc;
  if (DevFailed(mSurface->Lock(nullptr, desc, DDLOCK_WAIT))) return false;
  const TPixelFormat& format = desc.pixelFormat;
  uint32_t bytes = BytesPerPixel(format);
  uint32_t w = std::min(width, mSurfaceWidth - std::min(mOffsetX, mSurfaceWidth));
  uint32_t h = std::min(height, mSurfaceHeight - std::min(mOffsetY, mSurfaceHeight));
  bool alpha = (mFlags & TextureAlpha) != 0;
  TChannelMap map(format);
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* src = static_cast<const uint8_t*>(desc.surface) + int64_t(y + mOffsetY) * desc.pitch + size_t(mOffsetX) * bytes;
    uint32_t* dst = pixels + size_t(y) * width;
    if (IsRgb888In32(format)) {
      uint32_t top = alpha && format.alphaMask ? 0 : 0xFF000000u;
      const uint32_t* in = reinterpret_cast<const uint32_t*>(src);
      for (uint32_t x = 0; x < w; ++x) dst[x] = in[x] | top;
    } else {
      for (uint32_t x = 0; x < w; ++x) dst[x] = map.Unpack(ReadPixel(src + size_t(x) * bytes, bytes), alpha);
    }
  }
  mSurface->Unlock(nullptr);
  return true;
}

bool TDxTextureData::LockPixels(uint32_t*& pixels, int& pitch) {
  if (!mSurface || mSurfaceLocked || mLockBuffer) return false;
  if (IsArgb8888(mSurface->Format())) {
    TDevSurfaceDesc desc;
    if (DevFailed(mSurface->Lock(nullptr, desc, DDLOCK_WAIT))) return false;
    pitch = desc.pitch / 4;
    pixels = static_cast<uint32_t*>(desc.surface) + size_t(mOffsetY) * pitch + mOffsetX;
    mSurfaceLocked = true;
    return true;
  }
  mLockBuffer.reset(new uint32_t[size_t(mWidth) * mHeight]());
  if (!GetPixels(mWidth, mHeight, mLockBuffer.get())) {
    mLockBuffer.reset();
    return false;
  }
  pixels = mLockBuffer.get();
  pitch = int(mWidth);
  return true;
}

void TDxTextureData::UnlockPixels() {
  if (mSurfaceLocked) {
    mSurface->Unlock(nullptr);
    mSurfaceLocked = false;
    BuildMipLevels(*mSurface);
    return;
  }
  if (!mLockBuffer) return;
  // The copy's rows are mWidth pixels long: it goes back with that stride.
  if (!SetPixels(mWidth, mHeight, mLockBuffer.get())) {
    if (TPlatformData* display = Display()) display->SetDirectXBrokenThrottled();
  }
  mLockBuffer.reset();
}

bool TDxTextureData::Clear() {
  if (!mSurface) return false;
  TDevBltFx fx;
  fx.fillColor = 0;
  TDevResult r = mSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  if (r == DDERR_SURFACELOST) {
    mSurface->Restore();
    r = mSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  }
  if (DevSucceeded(r)) BuildMipLevels(*mSurface);
  return DevSucceeded(r);
}

bool TDxTextureData::Blit(int32_t x, int32_t y, const TDevRect* source, TTextureData* target) {
  static bool scaledFailureTraced = false, plainFailureTraced = false;
  TPlatformData* display = Display();
  if (!display) return false;
  std::shared_ptr<TSoftSurface> destination =
      target ? static_cast<TDxTextureData*>(target)->GetSurface() : display->GetBackBuffer();
  if (!destination || !mSurface) {
    display->SetDirectXBrokenThrottled();
    return false;
  }
  TDevRect src = source ? *source : TDevRect{0, 0, int32_t(mWidth), int32_t(mHeight)};
  src.left += int32_t(mOffsetX), src.right += int32_t(mOffsetX);
  src.top += int32_t(mOffsetY), src.bottom += int32_t(mOffsetY);
  float scale = 1.0f;
  TDevResult r;
  if (!target && DisplayHost().GetViewportScale(scale)) {
    TDevRect dst{int32_t(RoundHalfUp(x, scale)), int32_t(RoundHalfUp(y, scale)),
                 int32_t(RoundHalfUp(x + src.Width(), scale)), int32_t(RoundHalfUp(y + src.Height(), scale))};
    r = destination->Blt(&dst, mSurface.get(), &src, DDBLT_WAIT, nullptr);
    if (DevFailed(r) && r != DDERR_SURFACELOST) {
      if (!scaledFailureTraced) TraceDxError(r, Unit, __LINE__);
      scaledFailureTraced = true;
      r = TSoftSurface::StretchClipped(*destination, dst, *mSurface, src);
    }
  } else {
    r = destination->BltFast(uint32_t(x), uint32_t(y), mSurface.get(), &src, DDBLTFAST_WAIT);
    if (DevFailed(r) && r != DDERR_SURFACELOST) {
      if (!plainFailureTraced) TraceDxError(r, Unit, __LINE__);
      plainFailureTraced = true;
      r = TSoftSurface::CopyClipped(*destination, x, y, *mSurface, src);
    }
  }
  if (r == DDERR_SURFACELOST) {
    display->SetDirectXBrokenThrottled();
    return false;
  }
  if (target && DevSucceeded(r)) BuildMipLevels(*destination);
  return DevSucceeded(r);
}

void TDxTextureData::Restore() {
  TPlatformData* display = Display();
  if (mFileName.IsEmpty()) {
    if (!CreateSurface(mWidth, mHeight, true)) {
      LogPrintf("TDxTextureData::Restore: Failed to restore %dx%d texture (%d,%d)", int(mWidth), int(mHeight),
                int(mSurfaceWidth), int(mSurfaceHeight));
      if (display) display->SetDirectXBrokenThrottled();
    }
    return;
  }
  TString file = mFileName, mask = mMaskFileName;
  if (LoadTextureImage(*this, file, mask)) return;
  if (!mask.IsEmpty()) {
    LogPrintf("TDxTextureData::Restore: Failed to restore from file %s and %s.", file.c_str(), mask.c_str());
    if (display && !FindTextureFile(file).IsEmpty() && !FindTextureFile(mask).IsEmpty())
      display->SetDirectXBrokenThrottled();
  } else {
    LogPrintf("TDxTextureData::Restore: Failed to restore from file %s.", file.c_str());
    if (display && !FindTextureFile(file).IsEmpty()) display->SetDirectXBrokenThrottled();
  }
}
