#include "engine/window_only_display.h"

#include "platform/os/os_window.h"

void TWindowOnlyDisplay::SetDisplay(uint32_t width, uint32_t height, bool fullScreen, bool force, bool quiet,
                                    bool inParentWindow) {
  mWidth = width;
  mHeight = height;
  mWindow->SetClientSize(int32_t(width), int32_t(height));
  int32_t x = 0, y = 0;
  mWindow->GetScreenOrigin(x, y);
  if (x == 0 && y == 0 && !fullScreen) mWindow->CenterOnScreen();
  mWindow->Show();
  mFullScreen = fullScreen && mWindow->SetFullScreen(true);
  mWindow->ClearClientArea();
  mReady = true;
}

bool TWindowOnlyDisplay::SetFullscreen(bool fullScreen) {
  if (!mWindow->SetFullScreen(fullScreen)) return false;
  mFullScreen = fullScreen;
  mWindow->ClearClientArea();
  return true;
}

void TWindowOnlyDisplay::GetDisplayMode(uint32_t& width, uint32_t& height, bool& fullScreen) const {
  width = mWidth;
  height = mHeight;
  fullScreen = mFullScreen;
}
