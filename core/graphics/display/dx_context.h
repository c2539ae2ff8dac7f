#pragma once
// TDXContext: the device context of the display handler. It embeds the display object
// (CDisplay) and adds the 3D side: the choice of device, the z buffer, the capability
// checks, the adapter quirks and the device report. It also keeps the mouse cursor (its
// images, position and the hardware cursor) under its mouse mutex, which the cursor
// thread and every display set-up take. The cursor operations live in
// dx_context_cursor.cpp.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "graphics/device/presenter.h"
#include "graphics/device/soft_3d.h"
#include "graphics/display/display.h"
#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"
#include "platform/point.h"

class TTextureBase;
class TMouseTextureListener;

// The 32-byte pre-transformed vertex the renderer draws sprites and spans with.
struct TLVertex {
  float x, y, z, rhw;
  uint32_t diffuse, specular;
  float u, v;
};
static_assert(sizeof(TLVertex) == 32, "vertices are 32 bytes");

// A vertex-list header over caller-owned vertices: kind 2 sprite vertices placed in
// screen pixels through the 2D projection, kind 3 the rasteriser's screen-space spans.
struct TVertexList {
  int32_t kind = 2;
  const TLVertex* vertices = nullptr;
  uint32_t count = 0;
};

// Fills four kind-2 vertices of a textured quad: each corner (changed in place) is
// transformed by the matrix and moved by the position; uv holds the left, top, right and
// bottom texture coordinates. The colour's alpha is not used: alpha is the quad's.
void BuildQuadVertices(const TVec2& position, TLVertex vertices[4], TVec2 corners[4], const float uv[4],
                       const TMat3& matrix, float alpha, const TColor& colour);

bool IsWindowsVistaOrLater();
bool IsWindowsXPOrLater();
// Two upper-case hexadecimal digits per byte; empty for a count of 0 or less.
TString BytesToHex(const void* bytes, int count);

class TDXContext {
 public:
  TDXContext();
  virtual ~TDXContext();
  TDXContext(const TDXContext&) = delete;
  TDXContext& operator=(const TDXContext&) = delete;

  // Makes display and device for a mode; options: the display options word
  // (DisplayKeepWindow, DisplayAlphaBuffers, adapter number), where 4 also asks for a
  // device that can antialias. True when both are ready.
  bool Create(bool fullScreen, uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t options);
  void ReleaseDevice();
  void Clear(uint32_t flags);
  void SetDesktopMode(int32_t colours, int32_t width, int32_t height);
  // Reads the desktop's colour count and size from the default adapter.
  void ReadDesktopMode();
  // The window of this client size with its frame does not fit the desktop.
  bool IsWindowTooLarge(uint32_t width, uint32_t height) const;
  // Copies the visible frame into the back buffer, under the mouse mutex.
  bool CopyFrontToBack();
  // Presents the back buffer under the mouse mutex; DDERR_SURFACELOST when lost.
  TDevResult Present();

  // Accessors.
  const std::shared_ptr<TSoftDraw>& GetDirectDraw() const { return mDisplay.GetDirectDraw(); }
  const std::shared_ptr<TSoft3D>& GetDirect3D() const { return mD3D; }
  const std::shared_ptr<TSoftDevice>& GetDevice() const { return mDevice; }
  const std::shared_ptr<TSoftSurface>& GetPrimarySurface() const { return mDisplay.GetFrontBuffer(); }
  const std::shared_ptr<TSoftSurface>& GetBackSurface() const { return mDisplay.GetBackBuffer(); }
  const TDevSurfaceDesc& GetDisplayMode() const { return mDisplayMode; }
  const TDevRect& GetWindowRect() const { return mDisplay.GetWindowRect(); }
  CDisplay& GetDisplay() { return mDisplay; }
  const TString& GetDeviceReport() const { return mDeviceReport; }
  bool IsHardwareDevice() const { return mHardwareDevice; }
  bool IsDesktopUnsuitable() const { return mDesktopUnsuitable; }
  bool IsWindowedUnavailable() const { return mWindowedUnavailable; }
  bool ZBufferNeedsVideoMemory() const { return mZBufferNeedsVideoMemory; }
  bool RenderTargetsNeed32() const { return mRenderTargetsNeed32; }
  void SetRenderTargetsNeed32(bool on) { mRenderTargetsNeed32 = on; }
  bool HasSourceColorKey() const { return mSourceColorKey; }
  int32_t GetDesktopColors() const { return mDesktopColors; }
  int32_t GetDesktopWidth() const { return mDesktopWidth; }
  int32_t GetDesktopHeight() const { return mDesktopHeight; }
  void SetHostWindow(bool embedded) { mHostWindow = embedded; }
  bool HasHostWindow() const { return mHostWindow; }
  void SetVSync(bool on);
  bool GetVSync() const { return mVSync; }
  // The adapter whose indexed drawing must be expanded into plain draws (an adapter quirk).
  void SetExpandIndexedDraws(bool on) { mExpandIndexedDraws = on; }
  bool GetExpandIndexedDraws() const { return mExpandIndexedDraws; }
  // The creation was run again at 16 bits (a large-memory adapter).
  void SetSixteenBitRetry(bool on) { mSixteenBitRetry = on; }
  bool GetSixteenBitRetry() const { return mSixteenBitRetry; }
  std::recursive_mutex& MouseMutex() { return mMouseMutex; }
  const TString& MouseMutexName() const { return mMouseMutexName; }

  // Cursor operations (dx_context_cursor.cpp); each runs under the mouse mutex.
  bool SetCursorImage(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY, bool hardware);
  bool CreateHardwareCursor(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY);
  void SetHardwareCursor(bool on);
  // Applies the system cursor for the current switch; true when the engine sets it.
  bool SetWindowsCursor();
  TPoint UpdateCursor(int32_t x, int32_t y, bool force);
  void RefreshCursor();
  // Shows the last frame again when the cursor thread moved the cursor (main thread).
  void ShowCursorMoves();
  void HideCursor();
  void ResetCursor();
  TPoint GetCursorPosition();
  // Client coordinates to the engine's (the viewport scale undone).
  static TPoint WindowToEngine(TPoint point);
  void OnWindowMoved();
  void GetWindowOrigin(int32_t& x, int32_t& y);
  void RestoreMouseImage();
  std::shared_ptr<TTextureBase> GetCursorTexture() const;
  // Cursor state for tests and the statistics.
  bool IsCursorUnavailable() const { return mCursorUnavailable; }
  bool IsCursorOnScreen() const { return mCursorOnScreen; }
  const TCursorImage* GetHardwareCursorImage() const { return mHardwareIcon.get(); }

 private:
  friend class TMouseTextureListener;

  // A cursor image: the texture, its hot spot (stored negated) and the pixels the
  // presenter blends over the frame.
  struct TCursorSlot {
    std::shared_ptr<TTextureBase> texture;
    int32_t hotX = 0, hotY = 0;
    std::shared_ptr<const TCursorImage> image;
  };

  bool CreateLocked(bool fullScreen, uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t options);
  bool MakeDisplay(bool fullScreen, uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t options);
  bool ChooseDevice(bool viewportScale, bool antialias);
  bool MakeZBuffer(bool fullScreen, uint32_t width, uint32_t height);
  void ReportDevice(const TDevIdentifier& id);
  void DetachListener();
  void ApplyAdapterQuirks(const TDevIdentifier& id);

  bool BuildCursorImage(TCursorSlot& slot, bool alpha);
  bool CreateCursorSurfaces();
  void ReleaseCursorSurfaces();
  void DrawCursorAt(int32_t x, int32_t y);
  void ApplyShownImage();
  bool UsesSystemCursor() const;
  bool IsFrameShown() const;

  TString mDeviceReport;
  CDisplay mDisplay;
  std::shared_ptr<TSoft3D> mD3D;
  std::shared_ptr<TSoftDevice> mDevice;
  TDevDeviceDesc mDeviceDesc;
  TDevSurfaceDesc mDisplayMode;
  TPixelFormat mZFormat;
  bool mHardwareDevice = false;
  bool mDesktopUnsuitable = false;
  bool mWindowedUnavailable = false;
  bool mZBufferNeedsVideoMemory = false;
  bool mRenderTargetsNeed32 = false;
  bool mSourceColorKey = true;
  int32_t mDesktopColors = -1, mDesktopWidth = 0, mDesktopHeight = 0;
  bool mHostWindow = false;
  bool mVSync = false;
  bool mExpandIndexedDraws = false;
  bool mSixteenBitRetry = false;

  // Cursor state.
  int mSaveIndex = 0;
  std::unique_ptr<TSurfaceWrapper> mCursorSurfaces[3];
  bool mCursorOnFront = false;
  bool mCursorUnavailable = false;
  bool mCursorRestorePending = false;
  bool mCursorSurfacesRecreate = false;
  TPoint mLastDrawn{-1, -1}, mPrevious{-1, -1}, mCurrent{-1, -1};
  uint32_t mLastDrawTime = 0;
  int32_t mCursorWidth = 0, mCursorHeight = 0;
  bool mCursorOnScreen = false;
  TCursorSlot mColorKeyed, mAlpha;
  bool mShowAlpha = false;
  std::shared_ptr<TCursorImage> mHardwareIcon;
  bool mHardwareSwitch = true;
  TMouseTextureListener* mListener = nullptr;  // owned by the host's restore task list

  std::recursive_mutex mMouseMutex;
  TString mMouseMutexName;
};
