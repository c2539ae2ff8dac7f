#include "graphics/cursor_images.h"

#include "graphics/display_host.h"
#include "graphics/font_cache.h"
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
  if (mVecDraw && GetTextRasteriser() == mVecDraw.get()) SetTextRasteriser(nullptr);
}

void TCursorImages::SetCursor(const std::shared_ptr<TTexture>& texture, int32_t hotX, int32_t hotY, bool hardware) {
  std::shared_ptr<TTexture> image = texture;
  if (hardware) {
    mHardwareTexture = texture;
    mHardwareHotX = hotX, mHardwareHotY = hotY;
  } else {
    mDrawnTexture = texture;
    mDrawnHotX = hotX, mDrawnHotY = hotY;
    if (!DisplayHost().IsCursorShown()) return;
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

void TCursorImages::AfterDisplayStart(bool firstStart) {
  TPlatformData* display = GetPlatformData();
  TRenderer* renderer = TRenderer::GetInstance();
  if (mVecDraw) mVecDraw->SetSpanSink(&renderer->GetSpanSink());
  if (firstStart && !mVecDraw) {
    mVecDraw = std::make_unique<TJxMiniVecDraw>();
    mVecDraw->SetSpanSink(&renderer->GetSpanSink());
    SetTextRasteriser(mVecDraw.get());
    mVecDraw->RunSelfTest();
    if (display) renderer->FillRect(display->GetDisplayRect(), TColor{0, 0, 0, 0});
  }
  if (display) display->CalibratePixelOffset();
  RestoreCursors();
}
