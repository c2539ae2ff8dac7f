#pragma once
// TPlatformData: the display handler, one per process. It owns the device context and
// decides the display mode (platform_data.cpp: set-up, modes and the fall-back chain),
// notices lost devices and rebuilds them (platform_data_restore.cpp), is the drawing back
// end that the renderer forwards to (platform_data_draw.cpp, platform_data_target.cpp)
// and gives the platform and its cursor thread the cursor operations
// (platform_data_cursor.cpp).

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "graphics/display/cursor_images.h"
#include "graphics/display/dx_context.h"
#include "graphics/display/i_display_handler.h"
#include "graphics/math/rect.h"
#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"

class TTextureBase;
class TTextureData;

class TPlatformData : public IDisplayHandler {
 public:
  // Makes the device context, reads "common:display.xml" and becomes the handler that
  // GetPlatformData returns (until it is destroyed).
  TPlatformData();
  ~TPlatformData() override;
  TPlatformData(const TPlatformData&) = delete;
  TPlatformData& operator=(const TPlatformData&) = delete;

  // ---- Set-up and modes ----
  // (Re)creates the device. force: even when the mode is unchanged or the game inactive;
  // quiet: no fall-back message boxes; inParentWindow: the platform has an external
  // parent window. Success shows as IsDeviceReady.
  void SetDisplay(uint32_t width, uint32_t height, bool fullScreen, bool force, bool quiet,
                  bool inParentWindow) override;
  // False (nothing done) when a window is asked for and cannot be had.
  bool SetFullscreen(bool fullScreen) override;
  void GetDisplayMode(uint32_t& width, uint32_t& height, bool& fullScreen) const override;
  bool IsFullscreen() const override { return mFullScreen; }
  void SetDirectXBroken();
  // The desktop's mode changed (bits per pixel 8 or less: a palette display).
  void UpdateDesktopMode(int32_t bitsPerPixel, int32_t width, int32_t height) override;
  bool IsDisplayReady() const override { return mDisplayReady; }
  bool HasFailedForGood() const override { return mFatal; }

  // ---- Loss, restore and video memory ----
  bool IsDeviceReady() override;
  void Restore() override;
  void SetDirectXBrokenThrottled();
  void RestoreAssets();
  void OnOutOfVideoMemory() override;
  void ResetWorkingCount() override { mWorkingCount = 0; }
  // The cursor thread's test: set up and not broken.
  bool IsActive() const override { return mDisplayReady && !mBroken; }

  // ---- Drawing back end ----
  // The renderer drives it: its blocks come here in the renderer's order.
  bool BeginDraw(bool copyFront);
  // Ends the frame; a capture texture set (SetCaptureTexture) is filled with it first.
  void EndDraw(bool present);
  bool Begin2d();
  void End2d();
  bool Begin3d();
  void End3d() {}
  void SetTexture(const std::shared_ptr<TTextureBase>& texture);
  void SetBlendMode(int mode);
  void SetCullMode(int mode);
  void SetFilter(int mode);
  void SetTextureAddress(int u, int v);
  void SetZEnable(bool on);
  void SetZWrite(bool on);
  void SetShadeMode(int mode);
  void SetWorldTransform(const TDevMatrix& matrix);
  void SetViewTransform(const TDevMatrix& matrix);
  void SetProjection(float nearZ, float farZ, float fieldOfView, float aspect);
  std::unique_ptr<TTextureData> NewTextureData();
  void PrePresent(int) {}
  void SetAmbientLight(const TColor& colour);
  void SetMaterial(const TDevMaterial& material);
  void GetViewport(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const;
  void SetViewport(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void PushViewport(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void PopViewport();
  bool SetClipRect(const TRect& rect);
  const TRect& GetClipRect() const { return mClipRect; }
  // A colour fill of the target's surface, or without one of the back buffer clipped to
  // clip (the renderer's clip rectangle).
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const TColor& colour,
                const std::shared_ptr<TTextureBase>& target, const TRect& clip);
  // An untextured quad of the rectangle (in the current viewport's coordinates) in the
  // current blend mode, inside a 2D block.
  void DrawFillQuad(const TRect& rect, const TColor& colour);
  // Lists that would leave the target and the depth buffer as they are (see LeavesNoTrace)
  // are not drawn.
  void DrawVertices(uint32_t primitive, const TVertexList& list);
  void DrawIndexedVertices(uint32_t primitive, const TVertexList& list, const uint16_t* indices, uint32_t indexCount);
  void SetOption(const TString& name, const TString& value);
  TString GetOption(const TString& name) const;
  bool CanUseAnyTextureSize() const;
  bool IsFrameDone() override;
  TDevResult WaitForFlip();
  // Render-target blocks draw into the back buffer's top-left corner and copy the result
  // into the texture at their end (platform_data_target.cpp), then put back what the corner
  // held; clip is the renderer's clip rectangle, to which mode 4 clears the back buffer.
  bool BeginRenderTarget(const std::shared_ptr<TTextureBase>& texture, int mode, const TRect& clip);
  void EndRenderTarget();
  // Makes the device draw into a surface; false when the surface cannot be a target.
  bool SwitchRenderTarget(const std::shared_ptr<TSoftSurface>& current, const std::shared_ptr<TSoftSurface>& surface);
  // Tries an alpha render-target surface as the device's target and switches back.
  void CheckRenderTarget(const std::shared_ptr<TSoftSurface>& surface);
  // A texture of the screen's size that the end of the next frame fills with the frame;
  // one of another size is not taken, null drops the one set.
  void SetCaptureTexture(const std::shared_ptr<TTextureBase>& texture);
  const std::shared_ptr<TTextureBase>& GetCaptureTexture() const { return mCaptureTexture; }

  // ---- Cursor and presentation ----
  TPoint UpdateCursor(int32_t x, int32_t y) override;
  TPoint WindowToEngine(TPoint windowPoint) const override { return TDXContext::WindowToEngine(windowPoint); }
  void RefreshCursor() override;
  // Shows a cursor moved by the cursor thread; main thread, once per event step.
  void ShowCursorMoves();
  TPoint GetCursorPosition();
  bool SetCursorImage(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY, bool hardware);
  void SetHardwareCursor(bool on) override;
  bool SetWindowsCursor() override;
  void OnWindowMoved() override;
  void ResetCursorState();
  void GetWindowOrigin(int32_t& x, int32_t& y);
  void SetVSync(bool on) override;
  // The platform's cursor images (hardware: the hardware cursor's).
  void SetCursor(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY, bool hardware) override;
  TCursorImages& GetCursorImages() { return mCursorImages; }
  // Hands the cursor images to the device context again (after a display start).
  void RestoreCursors() { mCursorImages.RestoreCursors(); }
  void FlipToGDISurface();
  bool IsSquareTexturesOnly() const { return mSquareTexturesOnly; }

  // ---- State read by textures, the renderer and the tests ----
  TDXContext& GetContext() { return *mContext; }
  const std::shared_ptr<TSoftDevice>& GetDevice() const { return mDevice; }
  const std::shared_ptr<TSoftSurface>& GetBackBuffer() const { return mBackBuffer; }
  const TRect& GetDisplayRect() const { return mDisplayRect; }
  int GetColourDepth() const { return mColourDepth; }
  bool IsBroken() const { return mBroken; }
  bool IsInFrame() const { return mInFrame; }
  bool IsLowMemoryVideo() const { return mLowMemoryVideo; }
  uint32_t GetWorkingCount() const { return mWorkingCount; }
  float GetTexelOffset() const { return mTexelOffset; }
  // The 2D projection follows the offset at the next draw.
  void SetTexelOffset(float offset) {
    mTexelOffset = offset;
    mViewportDirty = true;
  }
  uint32_t GetIndexCapacity() const { return mIndexCapacity; }
  const uint16_t* GetIndexBuffer() const { return mIndexBuffer.get(); }
  // The adapter whose indexed drawing must be expanded into plain draws.
  void SetExpandIndexedDraws(bool on) { mContext->SetExpandIndexedDraws(on); }
  bool GetExpandIndexedDraws() const { return mContext->GetExpandIndexedDraws(); }
  void SetSixteenBitRetry(bool on) { mContext->SetSixteenBitRetry(on); }
  bool GetSixteenBitRetry() const { return mContext->GetSixteenBitRetry(); }
  // Video memory held by texture surfaces (bytes); also in the settings
  // "texture_ram_allocated" and "max_texture_ram_allocated".
  void AddTextureMemory(int64_t bytes);
  int64_t GetTextureMemory() const { return mTextureMemory; }
  // The link that texture surfaces keep to their display handler: it answers null once
  // the handler is gone.
  const std::shared_ptr<TPlatformData*>& GetLink() const { return mLink; }

 private:
  bool PrepareSetDisplay(uint32_t width, uint32_t height, bool& fullScreen, bool force, bool& quiet,
                         bool& inParentWindow);
  bool RefuseWindow(uint32_t width, uint32_t height, bool inParentWindow, bool& fullScreen);
  void FallBack(uint32_t width, uint32_t height, bool fullScreen, bool force, bool quiet);
  void FinishSetDisplay(bool fullScreen, bool inParentWindow);
  void SetInitialDeviceState();
  void Recreate(bool quiet);
  bool WindowRefused(bool& palette, bool& tooLarge, bool& memory) const;
  bool ApplyDeviceViewport(const TRect& rect);
  bool ApplyViewport();
  TRect EffectiveViewport() const;
  void VertexFormatStep(int32_t kind, uint32_t& fvf);
  bool LeavesNoTrace(const TVertexList& list) const;
  void ApplyBlendMode();
  bool InModeFourTarget() const;
  void CopyBackBufferToTexture(TTextureBase& texture, const TRect& rect);
  void CopyRenderTargetMode4(TTextureBase& texture, const TRect& rect);
  void FixRenderTargetAlpha(TTextureBase& texture);
  void RestoreViewScale();
  void KeepBorrowedCorner(int32_t width, int32_t height);
  void PutBackBorrowedCorner();

  std::shared_ptr<TPlatformData*> mLink = std::make_shared<TPlatformData*>(this);
  std::unique_ptr<TDXContext> mContext;
  bool mIndexedExpansionAllowed = true;

  // The device objects taken from the context by a set-up.
  std::shared_ptr<TSoftDraw> mDirectDraw;
  std::shared_ptr<TSoft3D> mDirect3D;
  std::shared_ptr<TSoftDevice> mDevice;
  std::shared_ptr<TSoftSurface> mRenderTarget, mBackBuffer;

  std::list<TRect> mViewportStack;
  TRect mViewport, mDisplayRect, mClipRect, mSavedViewport;
  bool mFullScreen = false;
  int mBlendMode = -1;
  int mColourDepth = 0;
  // Read by the cursor thread without the mouse mutex (IsActive).
  std::atomic<bool> mDisplayReady{false};
  std::atomic<bool> mBroken{false};
  bool mReconfigureNotice = false;
  bool mDepthWrite = false, mDepthTest = false;
  int mRenderTargetMode = 0;
  std::shared_ptr<TTextureBase> mRenderTargetTexture;
  // The back buffer's corner as it was before the render-target block drew in it: rows of
  // mBorrowedRowBytes bytes, mBorrowedRows of them.
  std::vector<uint8_t> mBorrowedCorner;
  size_t mBorrowedRowBytes = 0;
  int32_t mBorrowedRows = 0;
  std::shared_ptr<TTextureBase> mCaptureTexture;
  bool mIn2d = false;  // between Begin2d and End2d (or Begin3d)
  bool mFallBackRunning = false;
  bool mFatal = false;
  bool mSeparateTextureMemories = false;
  bool mNoSpecular = false;
  bool mSquareTexturesOnly = false;
  uint32_t mWorkingCount = 0;
  uint32_t mBrokenTime = 0;
  bool mWasFullScreen = false;
  bool mLowMemoryVideo = false;
  bool mInSetUp = false;
  bool mInRestore = false;
  bool mInFrame = false;
  bool mViewportDirty = true;
  TDevMatrix mCamera;
  float mNear = 0.1f, mFar = 1000.0f;
  bool mAntialias = false, mAntialiasHint = false, mNewSubtractive = false, mNewRenderBlend = false;
  bool mDrawingEnabled = true;
  float mTexelOffset = -0.5f;
  std::unique_ptr<uint16_t[]> mIndexBuffer;
  uint32_t mIndexCapacity = 0;
  std::vector<TLVertex> mExpanded;

  bool mCursorSetUp = false;
  float mSavedViewScale = 1.0f;
  int64_t mTextureMemory = 0, mMaxTextureMemory = 0;
  bool mRenderTargetFailureLogged = false;
  TCursorImages mCursorImages{*this};
};

// The display handler in force (null before one is made).
TPlatformData* GetPlatformData();
std::unique_ptr<TPlatformData> NewPlatformData();
