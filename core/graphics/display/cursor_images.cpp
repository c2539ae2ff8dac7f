#include "graphics/display/cursor_images.h"

#include "graphics/display/display_host.h"
#include "graphics/display/platform_data.h"
#include "graphics/display/texture_base.h"
#include "platform/file.h"
#include "platform/file_map.h"

namespace {

constexpr const char* SystemCursorName = "__systemcursor__.png";

}  // namespace

void RegisterSystemCursorImage() {
  if (FileExists(SystemCursorName)) return;
  RegisterMemoryFile(SystemCursorName, GetSystemCursorImage(), GetSystemCursorImageSize());
}

void TCursorImages::SetCursor(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY,
                              bool hardware) {
  std::shared_ptr<TTextureBase> image = texture;
  if (hardware) {
    mHardwareTexture = texture;
    mHardwareHotX = hotX, mHardwareHotY = hotY;
  } else {
    mDrawnTexture = texture;
    mDrawnHotX = hotX, mDrawnHotY = hotY;
    if (!DisplayHost().IsCursorShown()) return;
    if (!texture) {
      if (!mSystemTexture) {
        mSystemTexture = TTextureBase::GetPlain(SystemCursorName, TTextureBase::ClassId(), [this] {
          return std::make_shared<TTextureBase>(mDisplay.NewTextureData());
        });
      }
      image = mSystemTexture;
    }
  }
  mDisplay.SetCursorImage(image, hotX, hotY, hardware);
  DisplayHost().ResetClassCursor();
}

void TCursorImages::RestoreCursors() {
  if (mDrawnTexture) SetCursor(mDrawnTexture, mDrawnHotX, mDrawnHotY, false);
  if (mHardwareTexture) SetCursor(mHardwareTexture, mHardwareHotX, mHardwareHotY, true);
}
