#pragma once
// The platform's cursor images: the drawn cursor's and the hardware cursor's, each a
// texture with a hot spot, handed to the display handler and again after every device
// restore; the built-in system cursor image stands in for a missing drawn cursor. Also
// the display start's tail, which prepares the vector rasteriser, calibrates the display
// handler and applies the cursor images. The display handler owns the one instance.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "graphics/mini_vec_draw.h"

class TTexture;

// The bytes of the built-in system cursor image (a 32x32 PNG).
const unsigned char* GetSystemCursorImage();
size_t GetSystemCursorImageSize();
// Makes "__systemcursor__.png" readable from memory unless a file of that name exists;
// runs before the asset folders are scanned.
void RegisterSystemCursorImage();

class TCursorImages {
 public:
  TCursorImages() = default;
  ~TCursorImages();
  TCursorImages(const TCursorImages&) = delete;
  TCursorImages& operator=(const TCursorImages&) = delete;

  // hardware: the hardware cursor's image, else the drawn cursor's (only stored while
  // the platform's cursor is hidden).
  void SetCursor(const std::shared_ptr<TTexture>& texture, int32_t hotX, int32_t hotY, bool hardware);
  // Hands both stored images to the display handler again (after a device restore).
  void RestoreCursors();

  // After the display mode of a display start is set: the rasteriser with its check and
  // a cleared screen (first start only), the calibration, the cursor images.
  void AfterDisplayStart(bool firstStart);
  TJxMiniVecDraw* GetVecDraw() const { return mVecDraw.get(); }

  const std::shared_ptr<TTexture>& GetDrawnCursorTexture() const { return mDrawnTexture; }
  const std::shared_ptr<TTexture>& GetHardwareCursorTexture() const { return mHardwareTexture; }
  const std::shared_ptr<TTexture>& GetSystemCursorTexture() const { return mSystemTexture; }

 private:
  std::shared_ptr<TTexture> mDrawnTexture, mHardwareTexture, mSystemTexture;
  int32_t mDrawnHotX = 0, mDrawnHotY = 0, mHardwareHotX = 0, mHardwareHotY = 0;
  std::unique_ptr<TJxMiniVecDraw> mVecDraw;
};
