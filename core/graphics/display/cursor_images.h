#pragma once
// The platform's cursor images: the drawn cursor's and the hardware cursor's, each a
// texture with a hot spot, handed to the display handler and again after every device
// restore and display start; the built-in system cursor image stands in for a missing
// drawn cursor. The display handler owns the one instance.

#include <cstddef>
#include <cstdint>
#include <memory>

class TPlatformData;
class TTextureBase;

// The bytes of the built-in system cursor image (a 32x32 PNG).
const unsigned char* GetSystemCursorImage();
size_t GetSystemCursorImageSize();
// Makes "__systemcursor__.png" readable from memory unless a file of that name exists;
// runs before the asset folders are scanned.
void RegisterSystemCursorImage();

class TCursorImages {
 public:
  // display: the owner, which the images are handed to.
  explicit TCursorImages(TPlatformData& display) : mDisplay(display) {}
  TCursorImages(const TCursorImages&) = delete;
  TCursorImages& operator=(const TCursorImages&) = delete;

  // hardware: the hardware cursor's image, else the drawn cursor's (only stored while
  // the platform's cursor is hidden).
  void SetCursor(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY, bool hardware);
  // Hands both stored images to the display handler again.
  void RestoreCursors();

  const std::shared_ptr<TTextureBase>& GetDrawnCursorTexture() const { return mDrawnTexture; }
  const std::shared_ptr<TTextureBase>& GetHardwareCursorTexture() const { return mHardwareTexture; }
  const std::shared_ptr<TTextureBase>& GetSystemCursorTexture() const { return mSystemTexture; }

 private:
  TPlatformData& mDisplay;
  std::shared_ptr<TTextureBase> mDrawnTexture, mHardwareTexture, mSystemTexture;
  int32_t mDrawnHotX = 0, mDrawnHotY = 0, mHardwareHotX = 0, mHardwareHotY = 0;
};
