#pragma once
// The platform's cursor images: the drawn cursor's and the hardware cursor's, each a
// texture with a hot spot, handed to the display handler and again after every device
// restore; the built-in system cursor image stands in for a missing drawn cursor. Also
// the display start, which sets the mode, prepares the vector rasteriser, calibrates
// the display handler and applies the cursor images. The platform owns one of these
// and forwards its cursor and display-start calls to it.

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
  // the cursor is hidden).
  void SetCursor(const std::shared_ptr<TTexture>& texture, int32_t hotX, int32_t hotY, bool hardware);
  // Hands both stored images to the display handler again (after a device restore).
  void RestoreCursors();
  // The platform's cursor-visible flag.
  void SetCursorShown(bool shown) { mCursorShown = shown; }
  bool IsCursorShown() const { return mCursorShown; }

  // The display start: mode, rasteriser (first start only), calibration, cursors.
  void InitDisplay(uint32_t width, uint32_t height, bool fullScreen);
  // The scale of an embedded game (its parent's client width over the game's width).
  float GetViewportScale() const { return mViewportScale; }
  TJxMiniVecDraw* GetVecDraw() const { return mVecDraw.get(); }

  const std::shared_ptr<TTexture>& GetDrawnCursorTexture() const { return mDrawnTexture; }
  const std::shared_ptr<TTexture>& GetHardwareCursorTexture() const { return mHardwareTexture; }
  const std::shared_ptr<TTexture>& GetSystemCursorTexture() const { return mSystemTexture; }

 private:
  float mViewportScale = 1.0f;
  bool mCursorShown = false;
  std::shared_ptr<TTexture> mDrawnTexture, mHardwareTexture, mSystemTexture;
  int32_t mDrawnHotX = 0, mDrawnHotY = 0, mHardwareHotX = 0, mHardwareHotY = 0;
  std::unique_ptr<TJxMiniVecDraw> mVecDraw;
};
