#include "graphics/display/dx_context.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "graphics/display/display_host.h"
#include "graphics/display/dx_trace.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr const char* Unit = "directx";

uint32_t RoundHalfUp(uint32_t value, float scale) { return uint32_t(std::floor(double(value) * scale + 0.5)); }

uint32_t DepthBit(uint32_t bits) {
  switch (bits) {
    case 8: return DDBD_8;
    case 16: return DDBD_16;
    case 24: return DDBD_24;
    default: return DDBD_32;
  }
}

bool Contains(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

// Adapters whose indexed drawing is broken: the Intel chips named in their description.
bool HasBrokenIndexedDrawing(const char* description) {
  if (!Contains(description, "Intel")) return false;
  for (const char* chip : {"82810E", "82945", "82845", " 915", " 965 "})
    if (Contains(description, chip)) return true;
  return false;
}

}  // namespace

void BuildQuadVertices(const TVec2& position, TLVertex vertices[4], TVec2 corners[4], const float uv[4],
                       const TMat3& matrix, float alpha, const TColor& colour) {
  static const int UvPairs[4][2] = {{0, 1}, {2, 1}, {2, 3}, {0, 3}};
  auto channel = [](float v) { return v > 0 ? v < 1 ? uint32_t(v * 255) : 255u : 0u; };
  uint32_t diffuse = MakeColor32(channel(alpha), channel(colour.r), channel(colour.g), channel(colour.b));
  std::memset(vertices, 0, sizeof(TLVertex) * 4);
  for (int i = 0; i < 4; ++i) {
    corners[i] = TransformPoint(corners[i], matrix);
    TLVertex& v = vertices[i];
    v.x = corners[i].x + position.x;
    v.y = corners[i].y + position.y;
    v.z = 0.1f;
    v.rhw = 0.5f;
    v.diffuse = diffuse;
    v.specular = 0xFF000000u;
    v.u = uv[UvPairs[i][0]];
    v.v = uv[UvPairs[i][1]];
  }
}

// This system is newer than either of the versions the cursor and retry rules ask about.
bool IsWindowsVistaOrLater() { return true; }
bool IsWindowsXPOrLater() { return true; }

TString BytesToHex(const void* bytes, int count) {
  static const char Digits[] = "0123456789ABCDEF";
  std::string text;
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  for (int i = 0; i < count; ++i) {
    text += Digits[p[i] >> 4];
    text += Digits[p[i] & 15];
  }
  return TString(text.c_str());
}

TDXContext::TDXContext() {
  std::random_device random;
  uint32_t guid[4] = {random(), random(), random(), random()};
  mMouseMutexName = TString::Printf("TDXContextMouseMutex:%x:%x:%x:%x", guid[0], guid[1], guid[2], guid[3]);
  ReadDesktopMode();
}

TDXContext::~TDXContext() {
  if (mListener) DetachListener();
  ReleaseDevice();
}

void TDXContext::ReadDesktopMode() {
  auto adapter = SoftAdapter(0);
  if (!adapter) return;
  const TSoftAdapterConfig& c = adapter->Config();
  SetDesktopMode(c.desktopColors, int32_t(c.desktop.width), int32_t(c.desktop.height));
}

void TDXContext::SetDesktopMode(int32_t colours, int32_t width, int32_t height) {
  mDesktopColors = colours;
  mDesktopWidth = width;
  mDesktopHeight = height;
}

bool TDXContext::IsWindowTooLarge(uint32_t width, uint32_t height) const {
  auto adapter = SoftAdapter(0);
  int64_t frame = adapter ? adapter->Config().frameWidth : 0;
  int64_t frameY = adapter ? adapter->Config().frameHeight : 0;
  int64_t caption = adapter ? adapter->Config().captionHeight : 0;
  return mDesktopWidth < int64_t(width) + 2 * frame || mDesktopHeight < int64_t(height) + 2 * frameY + caption;
}

void TDXContext::SetVSync(bool on) {
  mVSync = on;
  if (GetDirectDraw()) GetDirectDraw()->SetVSync(on);
}

bool TDXContext::Create(bool fullScreen, uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t options) {
  if (mHostWindow && fullScreen) {
    fullScreen = false;
    mWindowedUnavailable = false;
  }
  // Held for the whole set-up, retries included, so that the cursor thread never draws
  // into surfaces being replaced; released on every way out.
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  ReleaseDevice();
  ReadDesktopMode();
  return CreateLocked(fullScreen, width, height, bitsPerPixel, options);
}

bool TDXContext::CreateLocked(bool fullScreen, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                              uint32_t options) {
  float scale = 1.0f;
  bool scaled = DisplayHost().GetViewportScale(scale);
  if (!scaled && !fullScreen && IsWindowTooLarge(width, height)) return false;
  if (mDesktopColors != -1) {
    if (mDesktopColors <= 16) {
      mDesktopUnsuitable = true;
      return false;
    }
    if (!fullScreen) return false;
  }
  if (!fullScreen && mWindowedUnavailable) return false;
  uint32_t surfaceWidth = width, surfaceHeight = height;
  if (scaled && !fullScreen) {
    surfaceWidth = RoundHalfUp(width, scale);
    surfaceHeight = RoundHalfUp(height, scale);
  }
  if (!MakeDisplay(fullScreen, surfaceWidth, surfaceHeight, bitsPerPixel, options)) return false;
  if (!ChooseDevice(scaled, (options & DisplayAlphaBuffers) != 0)) return false;
  if (!MakeZBuffer(fullScreen, surfaceWidth, surfaceHeight)) return false;

  TDevResult r = mD3D->CreateDevice(mDeviceDesc.deviceGuid, GetBackSurface(), mDevice);
  if (DevFailed(r)) {
    if (r == D3DERR_ZBUFF_NEEDS_VIDEOMEMORY) {
      mZBufferNeedsVideoMemory = true;
    } else if (r == DDERR_NOPALETTEATTACHED) {
      mDesktopColors = 32;
    } else {
      TraceDxError(r, Unit, __LINE__);
    }
    return false;
  }
  ResetCursor();
  ApplyShownImage();

  TDevDeviceDesc caps;
  mDevice->GetCaps(caps);
  if (caps.maxTextureWidth < 1024 || caps.maxTextureHeight < 1024) {
    LogPrintf("TDXContext::Create - context does not support 1024x1024 textures! Failing!");
    ReleaseDevice();
    return false;
  }
  TDevDrawCaps drawCaps;
  GetDirectDraw()->GetCaps(drawCaps);
  mSourceColorKey = (drawCaps.colorKeyCaps & DDCKEYCAPS_SRCBLT) != 0;
  TDevIdentifier id;
  GetDirectDraw()->GetDeviceIdentifier(id, 0);
  ReportDevice(id);
  ApplyAdapterQuirks(id);

  if (IsEnabled("largevramusage") && mExpandIndexedDraws && IsWindowsVistaOrLater() &&
      !DisplayHost().IsExternalPlayerMode() && !scaled && bitsPerPixel > 16) {
    mSixteenBitRetry = true;
    return Create(fullScreen, width, height, 16, options);
  }
  mDeviceReport += TString::Printf("DDCAPS: %s\n", BytesToHex(&drawCaps, int(sizeof drawCaps)).c_str());
  mDeviceReport += TString::Printf("D3DDESC: %s\n", BytesToHex(&mDeviceDesc, int(sizeof mDeviceDesc)).c_str());
  GetDirectDraw()->SetVSync(mVSync);
  return true;
}

bool TDXContext::MakeDisplay(bool fullScreen, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                             uint32_t options) {
  TDevResult r = fullScreen ? mDisplay.CreateFullScreenDisplay(width, height, bitsPerPixel, options)
                            : mDisplay.CreateWindowedDisplay(width, height, mZBufferNeedsVideoMemory, options);
  if (DevFailed(r)) {
    if (!fullScreen && r == DDERR_OUTOFVIDEOMEMORY) mWindowedUnavailable = true;
    TraceDxError(r, Unit, __LINE__);
    return false;
  }
  GetDirectDraw()->GetDisplayMode(mDisplayMode);
  if (DevFailed(r = TSoft3D::Create(GetDirectDraw(), mD3D))) {
    TraceDxError(r, Unit, __LINE__);
    return false;
  }
  return true;
}

bool TDXContext::ChooseDevice(bool viewportScale, bool antialias) {
  std::vector<TDevDeviceDesc> devices;
  mD3D->EnumDevices(devices);
  uint32_t depthBit = DepthBit(mDisplayMode.pixelFormat.bitCount);
  mHardwareDevice = false;
  bool found = false;
  for (const TDevDeviceDesc& d : devices) {
    bool hardware = (d.devCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
    if (!hardware && !viewportScale) continue;
    if (!(d.renderBitDepth & depthBit) || !(d.triCaps.shadeCaps & D3DPSHADECAPS_COLORGOURAUDRGB)) continue;
    mDeviceDesc = d;
    mHardwareDevice = hardware;
    found = true;
    if (hardware && (d.devCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)) break;
  }
  if (!mHardwareDevice && !viewportScale) {
    LogPrintf("TDXContext::Create failed! Could not find a hardware renderer.");
    return false;
  }
  // An antialiasing device was asked for: one without that capability fails, so that
  // the display handler tries again without the request.
  return found && (!antialias || (mDeviceDesc.triCaps.rasterCaps & D3DPRASTERCAPS_ANTIALIASSORTINDEPENDENT));
}

bool TDXContext::MakeZBuffer(bool fullScreen, uint32_t width, uint32_t height) {
  std::vector<TPixelFormat> formats;
  mD3D->EnumZBufferFormats(mDeviceDesc.deviceGuid, formats);
  auto z = std::find_if(formats.begin(), formats.end(),
                        [](const TPixelFormat& f) { return f.flags == DDPF_ZBUFFER && f.bitCount >= 16; });
  if (z != formats.end()) mZFormat = *z;
  uint32_t caps = DDSCAPS_ZBUFFER | (mHardwareDevice ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
  std::unique_ptr<TSurfaceWrapper> zbuffer;
  TDevResult r = mDisplay.CreateSurface(zbuffer, width, height, &mZFormat, caps);
  if (DevFailed(r)) {
    if (!fullScreen && r == DDERR_OUTOFVIDEOMEMORY) mWindowedUnavailable = true;
    TraceDxError(r, Unit, __LINE__);
    return false;
  }
  if (DevFailed(r = GetBackSurface()->AddAttachedSurface(zbuffer->surface))) TraceDxError(r, Unit, __LINE__);
  return true;
}

void TDXContext::ReportDevice(const TDevIdentifier& id) {
  const TDevGuid& g = id.deviceIdentifier;
  TString text = TString::Printf(
      "Device identifier:  \n  Driver: '%s'\n  Description: '%s'\n  Version: %x:%x\n  Vendor ID: %x (%d)\n"
      "  Device ID: %x (%d)\n  SubSys:  : %x (%d)\n  Revision:  %x (%d)\n  GUID:      %x:%x:%x:%x\n",
      id.driver, id.description, id.driverVersionHigh, id.driverVersionLow, id.vendorId, int(id.vendorId),
      id.deviceId, int(id.deviceId), id.subSysId, int(id.subSysId), id.revision, int(id.revision), g.words[0],
      g.words[1], g.words[2], g.words[3]);
  LogPrintf("%s", text.c_str());
  mDeviceReport += text;
}

void TDXContext::ApplyAdapterQuirks(const TDevIdentifier& id) {
  if (HasBrokenIndexedDrawing(id.description)) SetConfig("brokenindexedverts", "1");
  if (std::strcmp(id.description, "SiS Mirage 3 Graphics") == 0) {
    mExpandIndexedDraws = true;
  }
}

void TDXContext::ReleaseDevice() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  mDevice.reset();
  mD3D.reset();
  ReleaseCursorSurfaces();
  mCursorUnavailable = false;
  mDisplay.DestroyObjects();
  mCursorOnFront = false;
}

void TDXContext::Clear(uint32_t flags) {
  if (!mDevice) return;
  TDevResult r = mDevice->Clear(0, nullptr, flags, 0, 1.0f, 0);
  if (DevFailed(r)) TraceDxError(r, Unit, __LINE__);
}

bool TDXContext::CopyFrontToBack() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  const auto& front = GetPrimarySurface();
  const auto& back = GetBackSurface();
  if (!front || !back) return false;
  TDevRect area{0, 0, int32_t(std::min(front->Width(), back->Width())),
                int32_t(std::min(front->Height(), back->Height()))};
  TDevResult r = back->BltFast(0, 0, front.get(), &area, DDBLTFAST_WAIT);
  if (DevFailed(r)) TraceDxError(r, Unit, __LINE__);
  return DevSucceeded(r);
}
