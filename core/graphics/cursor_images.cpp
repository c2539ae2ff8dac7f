#include "graphics/cursor_images.h"

#include "graphics/display_host.h"
#include "graphics/platform_data.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/file.h"
#include "platform/file_map.h"

namespace {

constexpr const char* SystemCursorName = "__systemcursor__.png";

}  // namespace

void RegisterSystemCursorImage() {
  if (FileExists(SystemCursorName)) return;
  RegisterMemoryFile(SystemCursorName, GetSystemCursorImage(), GetSystemCursorImageSize());
}

TCursorImages::~TCursorImages() {
  if (mVecDraw) mVecDraw->SetSpanSink(nullptr);
}

void TCursorImages::SetCursor(const std::shared_ptr<TTexture>& texture, int32_t hotX, int32_t hotY, bool hardware) {
  std::shared_ptr<TTexture> image = texture;
  if (hardware) {
    mHardwareTexture = texture;
    mHardwareHotX = hotX, mHardwareHotY = hotY;
  } else {
    mDrawnTexture = texture;
    mDrawnHotX = hotX, mDrawnHotY = hotY;
    if (!mCursorShown) return;
    if (!texture) {
      if (!mSystemTexture) mSystemTexture = TTexture::GetPlain(SystemCursorName);
      image = mSystemTexture;
    }
  }
  if (TPlatformData* display = GetPlatformData()) display->SetCursorImage(image, hotX, hotY, hardware);
  DisplayHost().ResetClassCursor();
}

void TCursorImages::RestoreCursors() {
  if (mDrawnTexture) SetCursor(mDrawnTexture, mDrawnHotX, mDrawnHotY, false);
  if (mHardwareTexture) SetCursor(mHardwareTexture, mHardwareHotX, mHardwareHotY, true);
}

void TCursorImages::InitDisplay(uint32_t width, uint32_t height, bool fullScreen) {
  IDisplayHost& host = DisplayHost();
  host.EnsureScreen(width, height);
  if (host.IsExternalPlayerMode()) {
    host.RequestExternalFullScreen(fullScreen);
    fullScreen = false;
  }
  mViewportScale = 1.0f;
  if (host.HasExternalParent()) {
    // An embedded game is windowed and scaled to its parent's width; a zero width
    // leaves the scale at 1 rather than dividing by it.
    int32_t parentWidth = 0;
    if (host.GetExternalParentClientWidth(parentWidth) && width != 0) mViewportScale = float(parentWidth) / float(width);
    fullScreen = false;
  }
  TPlatformData* display = GetPlatformData();
  TRenderer* renderer = TRenderer::GetInstance();
  if (display) display->SetDisplay(width, height, fullScreen, false, false, host.HasExternalParent());
  if (!mVecDraw) {
    mVecDraw = std::make_unique<TJxMiniVecDraw>();
    mVecDraw->SetSpanSink(&renderer->GetSpanSink());
    mVecDraw->RunSelfTest();
    int32_t screenWidth = int32_t(width), screenHeight = int32_t(height);
    host.GetScreenSize(screenWidth, screenHeight);
    renderer->FillRect(TRect(0, 0, screenWidth, screenHeight), TColor{0, 0, 0, 0});
  }
  if (display) display->CalibratePixelOffset();
  RestoreCursors();
  renderer->PopClipRect();
  renderer->PushClipRect(TRect(0, 0, int32_t(width), int32_t(height)));
}
