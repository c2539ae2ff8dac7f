// TDXContext: the mouse cursor. The drawn cursor is an image blended over each shown
// frame by the presenter (on the main thread); the cursor thread only moves it and asks
// for the last frame to be shown again. The hardware cursor is the system cursor made
// from an image. Every operation runs under the mouse mutex.

#include <algorithm>
#include <atomic>
#include <cmath>

#include "graphics/display/display_host.h"
#include "graphics/display/dx_context.h"
#include "graphics/display/dx_trace.h"
#include "graphics/display/texture_base.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/task_list.h"
#include "platform/timer.h"

namespace {

constexpr const char* Unit = "directx";
constexpr int32_t HardwareCursorSide = 32;
constexpr uint32_t RedrawInterval = 16;

std::atomic<bool> gRestoringMouseImage{false};

// The texture's pixels laid out over its whole surface (the image at its border offset).
bool ReadSurfaceImage(TTextureBase& texture, TCursorImage& out, uint32_t (*convert)(uint32_t)) {
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture.Lock(pixels, pitch)) return false;
  uint32_t surfaceWidth = 0, surfaceHeight = 0;
  texture.GetSurfaceSize(surfaceWidth, surfaceHeight);
  const TTextureData& data = *texture.GetData();
  out.width = surfaceWidth;
  out.height = surfaceHeight;
  out.pixels.assign(size_t(surfaceWidth) * surfaceHeight, 0);
  uint32_t width = std::min(texture.GetWidth(), surfaceWidth - std::min(surfaceWidth, data.mOffsetX));
  uint32_t height = std::min(texture.GetHeight(), surfaceHeight - std::min(surfaceHeight, data.mOffsetY));
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x)
      out.pixels[size_t(y + data.mOffsetY) * surfaceWidth + x + data.mOffsetX] = convert(pixels[size_t(y) * pitch + x]);
  texture.Unlock();
  return true;
}

// Alpha image: pixels with some alpha are drawn, blended by it.
uint32_t AlphaPixel(uint32_t p) { return (p >> 24) ? p : 0; }

// Colour-keyed image: the key colour (red and blue at least 248, no green) is clear,
// everything else opaque.
uint32_t KeyedPixel(uint32_t p) {
  uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
  return (r >= 248 && g == 0 && b >= 248) ? 0 : (p | 0xFF000000u);
}

}  // namespace

// Re-applies the cursor images after a device restore; stays in the list.
class TMouseTextureListener : public TTask {
 public:
  explicit TMouseTextureListener(TDXContext* context) : mContext(context) {}
  ~TMouseTextureListener() override {
    if (mContext) mContext->mListener = nullptr;
  }
  bool Run() override {
    if (!mContext) return false;
    mContext->RestoreMouseImage();
    return true;
  }

  TDXContext* mContext;
};

void TDXContext::DetachListener() {
  mListener->mContext = nullptr;
  mListener = nullptr;
}

TPoint TDXContext::WindowToEngine(TPoint p) {
  float scale = 1.0f;
  if (DisplayHost().GetViewportScale(scale) && scale > 0 && p.x != -1) {
    p.x = int32_t(std::floor(p.x / scale));
    p.y = int32_t(std::floor(p.y / scale));
  }
  return p;
}

bool TDXContext::UsesSystemCursor() const { return mDisplay.IsWindowed() && mHardwareIcon; }

bool TDXContext::BuildCursorImage(TCursorSlot& slot, bool alpha) {
  auto image = std::make_shared<TCursorImage>();
  if (!ReadSurfaceImage(*slot.texture, *image, alpha ? AlphaPixel : KeyedPixel)) return false;
  image->hotX = -slot.hotX;
  image->hotY = -slot.hotY;
  slot.image = std::move(image);
  return true;
}

void TDXContext::ApplyShownImage() {
  if (!GetDirectDraw()) return;
  const TCursorSlot& shown = mShowAlpha ? mAlpha : mColorKeyed;
  GetDirectDraw()->Cursor().SetImage(mCursorUnavailable ? nullptr : shown.image);
  GetDirectDraw()->Cursor().SetVisible(mCursorOnScreen);
}

bool TDXContext::SetCursorImage(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY, bool hardware) {
  if (!mDevice) return false;
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  bool wasShown = mCursorOnScreen;
  HideCursor();
  if (hardware && GetConfig("activex") == "1") return CreateHardwareCursor(texture, hotX, hotY);

  TCursorSlot& slot = hardware ? mAlpha : mColorKeyed;
  slot.texture = texture;
  slot.hotX = -hotX;
  slot.hotY = -hotY;
  slot.image.reset();
  if (texture && !BuildCursorImage(slot, hardware)) mCursorUnavailable = true;
  if (hardware) mShowAlpha = texture != nullptr;
  if (!mListener) {
    auto listener = std::make_unique<TMouseTextureListener>(this);
    mListener = listener.get();
    DisplayHost().AddRestoreTask(std::move(listener));
  }
  const TCursorSlot& shown = mShowAlpha ? mAlpha : mColorKeyed;
  uint32_t width = 0, height = 0;
  if (shown.texture) shown.texture->GetSurfaceSize(width, height);
  mCursorWidth = int32_t(width);
  mCursorHeight = int32_t(height);
  if (!CreateCursorSurfaces()) return false;
  ApplyShownImage();
  mDisplay.UpdateBounds();
  if (wasShown) DrawCursorAt(mCurrent.x, mCurrent.y);
  return true;
}

bool TDXContext::CreateHardwareCursor(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY) {
  if (!IsWindowsXPOrLater()) return false;
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  mHardwareIcon.reset();
  TCursorImage surface;
  if (texture && ReadSurfaceImage(*texture, surface, [](uint32_t p) { return p; })) {
    // The system cursor is 32x32: a smaller image fills its top-left corner only.
    auto icon = std::make_shared<TCursorImage>();
    icon->width = icon->height = HardwareCursorSide;
    icon->pixels.assign(size_t(HardwareCursorSide) * HardwareCursorSide, 0);
    uint32_t width = std::min<uint32_t>(surface.width, HardwareCursorSide);
    uint32_t height = std::min<uint32_t>(surface.height, HardwareCursorSide);
    for (uint32_t y = 0; y < height; ++y)
      std::copy_n(surface.pixels.begin() + size_t(y) * surface.width, width,
                  icon->pixels.begin() + size_t(y) * HardwareCursorSide);
    icon->hotX = hotX;
    icon->hotY = hotY;
    mHardwareIcon = std::move(icon);
  }
  SetWindowsCursor();
  return true;
}

bool TDXContext::SetWindowsCursor() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  if (!GetDirectDraw() || !GetDirectDraw()->Presenter()) return true;
  bool system = mHardwareSwitch && UsesSystemCursor();
  GetDirectDraw()->Presenter()->SetHardwareCursor(system ? mHardwareIcon.get() : nullptr);
  return true;
}

void TDXContext::SetHardwareCursor(bool on) {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  bool changed = on != mHardwareSwitch;
  mHardwareSwitch = on;
  SetWindowsCursor();
  if (!changed) return;
  if (!on) {
    HideCursor();
  } else if (!UsesSystemCursor()) {
    mCursorOnScreen = true;
    DrawCursorAt(mCurrent.x, mCurrent.y);
  }
}

void TDXContext::DrawCursorAt(int32_t x, int32_t y) {
  if (!GetDirectDraw()) return;
  if (mCursorUnavailable) {
    DisplayHost().InvalidateWindows();
    return;
  }
  // The presenter clips the image at every edge of the frame, so a cursor near the
  // right or bottom edge stays partly visible.
  TCursorOverlay& overlay = GetDirectDraw()->Cursor();
  overlay.SetImage((mShowAlpha ? mAlpha : mColorKeyed).image);
  overlay.SetPosition(x, y);
  overlay.SetVisible(true);
  overlay.RequestRefresh();
  mPrevious = mLastDrawn;
  mLastDrawn = TPoint(x, y);
  mLastDrawTime = GetTimer();
  mSaveIndex ^= 1;
  mCursorOnFront = true;
}

bool TDXContext::IsFrameShown() const {
  if (mDisplay.IsWindowed()) return true;
  const auto& back = GetBackSurface();
  if (!back || DevFailed(back->IsLost())) return false;
  return back->GetFlipStatus(DDGFS_ISFLIPDONE) != DDERR_WASSTILLDRAWING;
}

TPoint TDXContext::UpdateCursor(int32_t x, int32_t y, bool force) {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  if (x != -1 || y != -1) mCurrent = TPoint(x, y);
  if (UsesSystemCursor()) {
    TPoint p;
    if (DisplayHost().GetMousePosition(p.x, p.y)) mCurrent = p;
    return WindowToEngine(mCurrent);
  }
  if (!mHardwareSwitch || !GetDirectDraw()) return WindowToEngine(mCurrent);
  if (!mCursorOnScreen) {
    if (!force) return WindowToEngine(mCurrent);
    TPoint p;
    if (DisplayHost().GetMousePosition(p.x, p.y)) mCurrent = p;
    mCursorOnScreen = true;
  }
  bool moved = mCurrent.x != mLastDrawn.x || mCurrent.y != mLastDrawn.y;
  if (!force && !moved) return WindowToEngine(mCurrent);
  if (!force && TimeDiff(GetTimer(), mLastDrawTime) < int32_t(RedrawInterval)) return WindowToEngine(mCurrent);
  if (mCursorUnavailable) {
    DisplayHost().InvalidateWindows();
    return WindowToEngine(mCurrent);
  }
  // A forced draw waits for full screen on newer systems; an unforced one for the
  // previous frame to be shown.
  bool draw = force ? !IsWindowsVistaOrLater() || (!mDisplay.IsWindowed() && !DisplayHost().IsExternalPlayerMode())
                    : IsFrameShown();
  if (!draw) return WindowToEngine(mCurrent);
  DrawCursorAt(mCurrent.x, mCurrent.y);
  return WindowToEngine(mCurrent);
}

void TDXContext::RefreshCursor() {
  UpdateCursor(-1, -1, true);
  ShowCursorMoves();
}

void TDXContext::ShowCursorMoves() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  if (GetDirectDraw()) GetDirectDraw()->RefreshCursor();
}

void TDXContext::HideCursor() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  if (GetDirectDraw() && mCursorOnScreen) {
    GetDirectDraw()->Cursor().SetVisible(false);
    GetDirectDraw()->Cursor().RequestRefresh();
  }
  mCursorOnScreen = false;
  mCursorOnFront = false;
}

void TDXContext::ResetCursor() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  mLastDrawn = mPrevious = TPoint(-1, -1);
  mCursorOnScreen = false;
  mCursorOnFront = false;
  mSaveIndex = 0;
  mDisplay.UpdateBounds();
}

TPoint TDXContext::GetCursorPosition() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  TPoint p;
  if (DisplayHost().GetMousePosition(p.x, p.y)) mCurrent = p;
  return WindowToEngine(mCurrent);
}

void TDXContext::OnWindowMoved() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  TDevRect before = mDisplay.GetWindowRect();
  mDisplay.UpdateBounds();
  const TDevRect& after = mDisplay.GetWindowRect();
  bool moved = before.left != after.left || before.top != after.top || before.right != after.right ||
               before.bottom != after.bottom;
  if (moved && mCursorOnScreen && !UsesSystemCursor()) DrawCursorAt(mCurrent.x, mCurrent.y);
}

void TDXContext::GetWindowOrigin(int32_t& x, int32_t& y) {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  mDisplay.GetWindowOrigin(x, y);
}

void TDXContext::ReleaseCursorSurfaces() {
  for (auto& surface : mCursorSurfaces) surface.reset();
}

// The presenter blends the cursor, but the three surfaces keep the video memory the
// cursor costs on the device: without room for them the game runs without a drawn
// cursor.
bool TDXContext::CreateCursorSurfaces() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  ReleaseCursorSurfaces();
  const auto& back = GetBackSurface();
  if (mCursorUnavailable || !back || mCursorWidth <= 0 || mCursorHeight <= 0) return true;
  TPixelFormat format = back->Format();
  uint32_t caps = DDSCAPS_OFFSCREENPLAIN | (back->Caps() & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY));
  for (auto& surface : mCursorSurfaces) {
    TDevResult r = mDisplay.CreateSurface(surface, uint32_t(mCursorWidth), uint32_t(mCursorHeight), &format, caps);
    if (r == DDERR_OUTOFVIDEOMEMORY) {
      if (mD3D) mD3D->EvictManagedTextures();
      r = mDisplay.CreateSurface(surface, uint32_t(mCursorWidth), uint32_t(mCursorHeight), &format, caps);
      if (DevFailed(r)) {
        mCursorUnavailable = true;
        ReleaseCursorSurfaces();
        return true;
      }
    } else if (DevFailed(r)) {
      TraceDxError(r, Unit, __LINE__);
      ReleaseCursorSurfaces();
      mCursorSurfacesRecreate = true;
      return false;
    }
  }
  return true;
}

void TDXContext::RestoreMouseImage() {
  if (gRestoringMouseImage.exchange(true)) {
    LogPrintf("Second concurrent call to RestoreMouseImage");
    return;
  }
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  if (DisplayHost().IsCursorRestoreBlocked()) {
    mCursorRestorePending = false;
  } else if (!mDisplay.IsWindowed() || !mHardwareIcon) {
    if (mColorKeyed.texture) {
      if (SetCursorImage(mColorKeyed.texture, -mColorKeyed.hotX, -mColorKeyed.hotY, false))
        mCursorRestorePending = false;
      SetWindowsCursor();
    }
    if (mAlpha.texture) {
      SetCursorImage(mAlpha.texture, -mAlpha.hotX, -mAlpha.hotY, true);
      SetWindowsCursor();
    }
  }
  gRestoringMouseImage = false;
}

std::shared_ptr<TTextureBase> TDXContext::GetCursorTexture() const {
  if (!mColorKeyed.texture || mColorKeyed.texture->GetWidth() < 1 || mColorKeyed.texture->GetHeight() < 1)
    return nullptr;
  return mColorKeyed.texture;
}

TDevResult TDXContext::Present() {
  std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
  mDisplay.UpdateBounds();
  if (mCursorRestorePending) RestoreMouseImage();
  if (mCursorSurfacesRecreate) {
    mCursorSurfacesRecreate = false;
    CreateCursorSurfaces();
  }
  if (mVSync && mDisplay.IsWindowed() && GetDirectDraw()) GetDirectDraw()->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
  return mDisplay.Present();
}
