#include "graphics/device/sdl_presenter.h"

#include <SDL.h>

#include <algorithm>

namespace {

// SDL_RENDER_VSYNC=0 in the environment turns waiting for the display off whatever the game
// asks: runs whose game time is stepped from outside (the test hook) would only wait.
bool VSyncAllowed() { return SDL_GetHintBoolean(SDL_HINT_RENDER_VSYNC, SDL_TRUE) == SDL_TRUE; }

}  // namespace

TSdlPresenter::TSdlPresenter(SDL_Window* window) : mWindow(window) {}

TSdlPresenter::~TSdlPresenter() {
  if (mCursor) SDL_FreeCursor(mCursor);
  if (mTexture) SDL_DestroyTexture(mTexture);
  if (mRenderer) SDL_DestroyRenderer(mRenderer);
}

bool TSdlPresenter::SetMode(uint32_t width, uint32_t height, bool fullScreen) {
  if (!mWindow) return false;
  if (!fullScreen) {
    if (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(mWindow, 0);
    SDL_SetWindowSize(mWindow, int(width), int(height));
    return true;
  }
  int display = SDL_GetWindowDisplayIndex(mWindow);
  SDL_DisplayMode want{SDL_PIXELFORMAT_RGB888, int(width), int(height), 0, nullptr}, closest;
  if (!SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &want, &closest)) return false;
  if (SDL_SetWindowDisplayMode(mWindow, &closest) != 0) return false;
  SDL_SetWindowSize(mWindow, int(width), int(height));
  return SDL_SetWindowFullscreen(mWindow, SDL_WINDOW_FULLSCREEN) == 0;
}

void TSdlPresenter::GetClientSize(uint32_t& width, uint32_t& height) const {
  int w = 0, h = 0;
  if (mWindow) SDL_GetWindowSize(mWindow, &w, &h);
  width = uint32_t(std::max(w, 0));
  height = uint32_t(std::max(h, 0));
}

bool TSdlPresenter::EnsureRenderer(uint32_t width, uint32_t height) {
  if (!mWindow) return false;
  if (!mRenderer) {
    mRenderer = SDL_CreateRenderer(mWindow, -1, mVSync ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (!mRenderer) return false;
  }
  if (!mTexture || mTextureWidth != width || mTextureHeight != height) {
    if (mTexture) SDL_DestroyTexture(mTexture);
    mTexture = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, int(width), int(height));
    if (!mTexture) return false;
    mTextureWidth = width;
    mTextureHeight = height;
  }
  return true;
}

TDevResult TSdlPresenter::Present(const TPresentFrame& frame, const TCursorOverlay* cursor) {
  if (!EnsureRenderer(frame.width, frame.height)) return DDERR_GENERIC;
  FrameToArgb(frame, mFrame);
  return Show(cursor);
}

TDevResult TSdlPresenter::Refresh(const TCursorOverlay* cursor) {
  if (!mTexture || mFrame.empty()) return DD_OK;
  return Show(cursor);
}

TDevResult TSdlPresenter::Show(const TCursorOverlay* cursor) {
  const uint32_t* pixels = mFrame.data();
  if (cursor && !mHardwareCursor && cursor->IsVisible() && cursor->Image()) {
    mStaging = mFrame;
    cursor->Composite(mStaging.data(), int32_t(mTextureWidth), mTextureWidth, mTextureHeight);
    pixels = mStaging.data();
  }
  if (SDL_UpdateTexture(mTexture, nullptr, pixels, int(mTextureWidth * 4)) != 0) return DDERR_GENERIC;
  SDL_RenderClear(mRenderer);
  SDL_RenderCopy(mRenderer, mTexture, nullptr, nullptr);
  SDL_RenderPresent(mRenderer);
  return DD_OK;
}

void TSdlPresenter::SetVSync(bool on) {
  mVSync = on && VSyncAllowed();
  if (mRenderer) SDL_RenderSetVSync(mRenderer, mVSync ? 1 : 0);
}

void TSdlPresenter::SetHardwareCursor(const TCursorImage* image) {
  if (mCursor) {
    SDL_FreeCursor(mCursor);
    mCursor = nullptr;
  }
  mHardwareCursor = false;
  if (image && image->width && image->height && image->pixels.size() >= size_t(image->width) * image->height) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(image->pixels.data()),
                                                              int(image->width), int(image->height), 32,
                                                              int(image->width * 4), SDL_PIXELFORMAT_ARGB8888);
    if (surface) {
      mCursor = SDL_CreateColorCursor(surface, image->hotX, image->hotY);
      SDL_FreeSurface(surface);
    }
  }
  if (mCursor) {
    SDL_SetCursor(mCursor);
    SDL_ShowCursor(SDL_ENABLE);
    mHardwareCursor = true;
  } else {
    SDL_ShowCursor(SDL_DISABLE);  // the drawn cursor is the only one
  }
}

bool SdlShowMessageBox(const char* title, const char* text, int icon, SDL_Window* owner) {
  uint32_t flags = icon == 2 ? SDL_MESSAGEBOX_ERROR : icon == 1 ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
  return SDL_ShowSimpleMessageBox(flags, title, text, owner) == 0;
}

bool SdlReadDisplayModes(int displayIndex, TSoftAdapterConfig& config) {
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(displayIndex, &desktop) != 0) return false;
  config.desktop = {uint32_t(desktop.w), uint32_t(desktop.h), SDL_BITSPERPIXEL(desktop.format) == 16 ? 16u : 32u,
                    uint32_t(desktop.refresh_rate > 0 ? desktop.refresh_rate : 60)};
  config.monitorFrequency = config.desktop.refreshRate;
  config.modes.clear();
  int count = SDL_GetNumDisplayModes(displayIndex);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(displayIndex, i, &m) != 0) continue;
    for (uint32_t bpp : {16u, 32u}) {
      TDevDisplayMode mode{uint32_t(m.w), uint32_t(m.h), bpp, uint32_t(m.refresh_rate > 0 ? m.refresh_rate : 60)};
      bool known = std::any_of(config.modes.begin(), config.modes.end(), [&](const TDevDisplayMode& k) {
        return k.width == mode.width && k.height == mode.height && k.bitsPerPixel == bpp;
      });
      if (!known) config.modes.push_back(mode);
    }
  }
  return true;
}
