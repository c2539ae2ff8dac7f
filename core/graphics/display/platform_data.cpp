// TPlatformData: construction, the display set-up with its forced modes and its fall-back
// chain between full screen and window, and the mode queries.

#include "graphics/display/platform_data.h"

#include <algorithm>
#include <cmath>

#include "graphics/display/display_host.h"
#include "graphics/display/dx_texture_data.h"
#include "graphics/display/dx_trace.h"
#include "platform/asset.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "platform/xml_node.h"

namespace {

TPlatformData* gPlatformData = nullptr;

constexpr const char* Unit = "dxdisplayhandler";
constexpr const char* OutOfMemoryText =
    "You cannot run this application at your current screen resolution or bit depth (out of memory). Change your "
    "display settings and run again. Closing other applications might also help.";

void ShowError(const char* text, TMessageBoxIcon icon = TMessageBoxIcon::None, bool ownedByMain = false) {
  DisplayHost().ShowMessageBox(text, "Error", icon, ownedByMain);
}

// The program cannot go on: the box, then the exit.
void ExitWithBox(const char* text) {
  ShowError(text, TMessageBoxIcon::Exclamation);
  DisplayHost().ExitProcess(-1);
}

}  // namespace

TPlatformData* GetPlatformData() { return gPlatformData; }

std::unique_ptr<TPlatformData> NewPlatformData() { return std::make_unique<TPlatformData>(); }

TPlatformData::TPlatformData() : mContext(std::make_unique<TDXContext>()) {
  gPlatformData = this;
  SetVideoMemoryReceiver(this);
  if (DisplayHost().IsExternalPlayerMode()) return;
  TXmlNode root;
  if (!root.LoadFile("common:display.xml")) return;
  if (TXmlNode* settings = root.GetChild("Settings")) {
    if (settings->GetAttribute("LowMemoryVideo").ToInt() != 0) mLowMemoryVideo = true;
    LogPrintf("Low memory video card setting enabled!");
  }
}

TPlatformData::~TPlatformData() {
  mRenderTargetTexture.reset();
  mDevice.reset();
  mDirect3D.reset();
  mDirectDraw.reset();
  mRenderTarget.reset();
  mBackBuffer.reset();
  mContext.reset();
  // The textures that outlive the handler no longer reach it.
  *mLink = nullptr;
  if (GetVideoMemoryReceiver() == this) SetVideoMemoryReceiver(nullptr);
  if (gPlatformData == this) gPlatformData = nullptr;
}

void TPlatformData::GetDisplayMode(uint32_t& width, uint32_t& height, bool& fullScreen) const {
  width = uint32_t(mDisplayRect.Width());
  height = uint32_t(mDisplayRect.Height());
  fullScreen = mFullScreen;
}

// The adapter describes the desktop: it takes the new mode, which every set-up reads.
void TPlatformData::UpdateDesktopMode(int32_t bitsPerPixel, int32_t width, int32_t height) {
  if (auto adapter = SoftAdapter(0)) {
    TSoftAdapterConfig& config = adapter->MutableConfig();
    config.desktopColors = bitsPerPixel <= 8 ? int32_t(1) << std::max(bitsPerPixel, 0) : -1;
    config.desktop.width = uint32_t(std::max(width, 0));
    config.desktop.height = uint32_t(std::max(height, 0));
  }
  mContext->ReadDesktopMode();
}

void TPlatformData::SetCursor(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY,
                              bool hardware) {
  mCursorImages.SetCursor(texture, hotX, hotY, hardware);
}

void TPlatformData::SetDirectXBroken() {
  mBrokenTime = GetTimer();
  mBroken = true;
  SetConfig("dxbroken", "1");
}

bool TPlatformData::WindowRefused(bool& palette, bool& tooLarge, bool& memory) const {
  palette = mContext->GetDesktopColors() != -1;
  tooLarge = mContext->IsWindowTooLarge(uint32_t(mDisplayRect.Width()), uint32_t(mDisplayRect.Height()));
  memory = mContext->IsWindowedUnavailable();
  return palette || tooLarge || memory;
}

bool TPlatformData::SetFullscreen(bool fullScreen) {
  bool palette, tooLarge, memory;
  if (!fullScreen && (WindowRefused(palette, tooLarge, memory) || mLowMemoryVideo)) return false;
  SetDisplay(uint32_t(mDisplayRect.Width()), uint32_t(mDisplayRect.Height()), fullScreen, false, false, false);
  return true;
}

void TPlatformData::SetDisplay(uint32_t width, uint32_t height, bool fullScreen, bool force, bool quiet,
                               bool inParentWindow) {
  mDisplayReady = false;
  // Held for the whole set-up, nested fall-back calls included, so that the cursor
  // thread never draws on a device being made or released.
  std::lock_guard<std::recursive_mutex> lock(mContext->MouseMutex());
  if (mInSetUp) {
    DisplayHost().Sleep(50);
    return;
  }
  mInSetUp = true;
  if (PrepareSetDisplay(width, height, fullScreen, force, quiet, inParentWindow)) {
    IDisplayHost& host = DisplayHost();
    if (GetAssetManager()) GetAssetManager()->ReleaseAll();
    host.SetDisplayResetFlag();
    mFullScreen = fullScreen;
    mViewport = mDisplayRect = mClipRect = mSavedViewport = TRect(0, 0, int32_t(width), int32_t(height));
    mDirectDraw.reset();
    mDirect3D.reset();
    mDevice.reset();
    mRenderTarget.reset();
    mBackBuffer.reset();
    mBroken = false;
    SetConfig("dxbroken", "0");
    mContext->ReleaseDevice();
    if (mReconfigureNotice) {
      host.ShowMessageBox(
          "Your video card doesn't have enough memory in the current mode. Changing to another mode. This setting "
          "will be saved so you won't see this box again. This will take less than a minute. Press OK to continue.",
          "Reconfiguring", TMessageBoxIcon::Exclamation, true);
      mReconfigureNotice = false;
    }
    uint32_t bits = mLowMemoryVideo ? 16 : 32;
    uint32_t flags = 1 | (inParentWindow ? DisplayKeepWindow : 0u) | (mAntialiasHint ? DisplayAlphaBuffers : 0u);
    bool made = mContext->Create(fullScreen, width, height, bits, flags);
    while (!made && (flags & DisplayAlphaBuffers)) {
      mAntialias = mAntialiasHint = false;
      flags &= ~DisplayAlphaBuffers;
      made = mContext->Create(fullScreen, width, height, bits, flags);
    }
    if (made) {
      FinishSetDisplay(fullScreen, inParentWindow);
    } else {
      FallBack(width, height, fullScreen, force, quiet);
    }
  }
  mInSetUp = false;
}

// Steps before the device is touched: portal and memory modes, activity, embedding, the
// forced full-screen rules. False when the set-up ends here.
bool TPlatformData::PrepareSetDisplay(uint32_t width, uint32_t height, bool& fullScreen, bool force, bool& quiet,
                                      bool& inParentWindow) {
  IDisplayHost& host = DisplayHost();
  if (host.IsZylomPortal()) {
    fullScreen = false;
    quiet = true;
  }
  if (host.IsSuspended()) {
    host.Sleep(100);
    return false;
  }
  if (mLowMemoryVideo) {
    if (host.IsExternalPlayerMode()) {
      ExitWithBox(OutOfMemoryText);
      return false;
    }
    LogPrintf("SetDisplay Forcing Fullscreen (MEMORY)");
    fullScreen = true;
  }
  if (!host.IsGameActive() && !force) return false;
  bool embeddedInParent = host.IsEmbeddedControl() && host.HasExternalParent();
  if (embeddedInParent) {
    if (!host.IsExternalParentAlive()) {
      LogPrintf("Error: mExternalWindowParent is lost, exiting!");
      host.ExitProcess(-1);
      return false;
    }
    if (!fullScreen) inParentWindow = true;
  }
  mContext->SetHostWindow(embeddedInParent);
  if (mFatal) {
    host.ExitProcess(-1);
    return false;
  }
  mWorkingCount = 0;
  if (!fullScreen && mContext->GetDesktopColors() != -1) {
    if (host.HasExternalParent()) {
      ExitWithBox(
          "You cannot run this application when your video mode is 8 bits or less. Change your display settings and "
          "run again.");
      return false;
    }
    LogPrintf("SetDisplay Forcing Fullscreen (PALLETTED)");
    fullScreen = true;
  }
  if (fullScreen == mFullScreen && int64_t(width) == mDisplayRect.Width() && int64_t(height) == mDisplayRect.Height() &&
      !force) {
    mDisplayReady = true;
    return false;
  }
  return fullScreen || RefuseWindow(width, height, inParentWindow, fullScreen);
}

// The window checks of a windowed request: a window too large for the desktop or too
// little video memory turns it into full screen (or ends an embedded game). False when
// the set-up ends.
bool TPlatformData::RefuseWindow(uint32_t width, uint32_t height, bool inParentWindow, bool& fullScreen) {
  IDisplayHost& host = DisplayHost();
  if (!host.IsExternalPlayerMode()) {
    float scale = host.GetViewScale();
    if (mContext->IsWindowTooLarge(uint32_t(width * scale), uint32_t(height * scale))) {
      if (host.HasExternalParent()) {
        ExitWithBox(
            "You cannot run this application at your current screen resolution. Change your display settings and run "
            "again.");
        return false;
      }
      LogPrintf("SetDisplay Forcing Fullscreen (SMALL)");
      fullScreen = true;
      return true;
    }
  }
  if (mContext->IsWindowedUnavailable()) {
    if (host.HasExternalParent()) {
      ExitWithBox(OutOfMemoryText);
      return false;
    }
    LogPrintf("SetDisplay Forcing Fullscreen (MEMORY)");
    fullScreen = true;
  }
  return true;
}

void TPlatformData::FinishSetDisplay(bool fullScreen, bool inParentWindow) {
  IDisplayHost& host = DisplayHost();
  mFallBackRunning = false;
  if (!inParentWindow) host.ShowMainWindow(fullScreen);
  mDirectDraw = mContext->GetDirectDraw();
  mDirect3D = mContext->GetDirect3D();
  mDevice = mContext->GetDevice();
  TDevDeviceDesc caps;
  mDevice->GetCaps(caps);
  mSeparateTextureMemories = (caps.devCaps & D3DDEVCAPS_SEPARATETEXTUREMEMORIES) != 0;
  mNoSpecular = !(caps.triCaps.shadeCaps & D3DPSHADECAPS_SPECULARGOURAUDRGB);
  mSquareTexturesOnly = (caps.triCaps.textureCaps & D3DPTEXTURECAPS_SQUAREONLY) ||
                        (caps.maxTextureAspectRatio != 0 && caps.maxTextureAspectRatio < 64);
  mDevice->GetRenderTarget(mRenderTarget);
  mBackBuffer = mRenderTarget;
  mViewportDirty = true;
  mBlendMode = -1;
  SetInitialDeviceState();

  TAssetManager* assets = GetAssetManager();
  if (assets && assets->Size() > 0 && !host.IsDrawSuspended()) mContext->Present();
  if (!IsDeviceReady()) return;
  SetWorldTransform(TDevMatrix());
  SetViewTransform(TDevMatrix());
  SetProjection(0.1f, 1000.0f, 0.7853982f, 0.0f);
  SetAmbientLight(TColor{1, 1, 1, 1});
  TDevMaterial material;
  material.diffuse = {1, 1, 1, 1};
  material.ambient = {0.5f, 0.5f, 0.5f, 1};
  material.specular = {1, 1, 1, 1};
  material.emissive = {0, 0, 0, 1};
  material.power = 1.0f;
  SetMaterial(material);
  if (!mContext->GetCursorTexture() && !mCursorSetUp) {
    mCursorSetUp = true;
    mCursorImages.SetCursor(nullptr, 2, 2, false);
  }
  RestoreAssets();
  host.InvalidateWindows();
  if (fullScreen) mWasFullScreen = true;
  uint32_t frequency = 0;
  mDirectDraw->GetMonitorFrequency(frequency);
  SetConfig("monitorfrequency", TString::Printf("%d", int(frequency)));
  TDevSurfaceDesc mode;
  mDirectDraw->GetDisplayMode(mode);
  mColourDepth = int(mode.pixelFormat.bitCount);
  mDisplayReady = true;
}

void TPlatformData::SetInitialDeviceState() {
  TSoftDevice& d = *mDevice;
  d.SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFFu);
  SetZEnable(true);
  SetZWrite(true);
  d.SetRenderState(D3DRENDERSTATE_COLORVERTEX, 1);
  d.SetRenderState(D3DRENDERSTATE_LIGHTING, 1);
  d.SetRenderState(D3DRENDERSTATE_NORMALIZENORMALS, 1);
  for (auto state : {D3DRENDERSTATE_DIFFUSEMATERIALSOURCE, D3DRENDERSTATE_AMBIENTMATERIALSOURCE,
                     D3DRENDERSTATE_SPECULARMATERIALSOURCE, D3DRENDERSTATE_EMISSIVEMATERIALSOURCE})
    d.SetRenderState(state, D3DMCS_MATERIAL);
  d.SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  d.SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  d.SetRenderState(D3DRENDERSTATE_WRAP0, 0);
  d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  d.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  d.SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_LINEAR);
  d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d.SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
  d.SetRenderState(D3DRENDERSTATE_ALPHAREF, 1);
  d.SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  SetShadeMode(2);
}

// Device creation failed: try the other mode once, then give up with a quit message.
void TPlatformData::FallBack(uint32_t width, uint32_t height, bool fullScreen, bool force, bool quiet) {
  IDisplayHost& host = DisplayHost();
  auto recurse = [&](bool full, bool forceAgain) {
    mInSetUp = false;
    SetDisplay(width, height, full, forceAgain, false, false);
  };
  if (mContext->IsDesktopUnsuitable()) {
    if (!quiet)
      ShowError(
          "DirectX requires that you have your screen set to 256 color mode or higher for any DirectX application to "
          "run. Please go to your control panel and select 256 color mode or install new video drivers to run this "
          "game. Exiting.");
    mFatal = true;
    host.ExitProcess(-1);
    return;
  }
  if (host.HasExternalParent()) {
    SetDirectXBroken();
    return;
  }
  if (mWasFullScreen && fullScreen) {
    SetDirectXBroken();
    host.Sleep(150);
    return;
  }
  bool active = host.IsGameActive(), foreground = host.HasFocus();
  if (!mFallBackRunning && (!active || !foreground)) {
    // The second word says "BACKGROUND" when the window is in front: kept as the logs
    // have always read.
    LogPrintf("SetDisplay marking DirectX Broken: %s, %s", active ? "ACTIVE" : "INACTIVE",
              foreground ? "BACKGROUND" : "FOREGROUND");
    SetDirectXBroken();
    return;
  }
  bool palette, tooLarge, memory;
  if (!fullScreen && WindowRefused(palette, tooLarge, memory)) {
    if (!quiet) {
      ShowError(palette    ? "Cannot run in 256 color mode or lower in a window. Switching to full screen."
                : tooLarge ? "Cannot run in a window when your desktop is set to 800x600 or lower resolution. "
                             "Switching to full screen."
                           : "Cannot run in a window: Insufficient video memory. Switching to full screen.");
    }
    mFallBackRunning = true;
    recurse(true, force);
    return;
  }
  if (mFallBackRunning) {
    LogPrintf("ERROR FALLBACK FAILED");
    ShowError(
        "Failed to initialize window. Please try running the game again. If that doesn't help, try changing the "
        "screen resolution and color depth. If that fails, then your video card does not support this game.",
        TMessageBoxIcon::Stop, true);
    host.PostQuit();
    mFatal = true;
    return;
  }
  mFallBackRunning = true;
  if (fullScreen) {
    recurse(false, force);
    if (!quiet) ShowError("Failed to initialize full screen mode. Your video card is not supported. Trying to run in a window.");
  } else {
    if (!quiet) ShowError("Failed to initialize windowed mode. Trying full screen.");
    recurse(true, false);
  }
}
