// Presentation into an SDL window: the frame is copied into a streaming texture (with
// the drawn cursor composited) and shown on the main thread. The window belongs to
// the OS layer; this class only draws into it and switches its mode.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/device/adapter.h"
#include "graphics/device/presenter.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;

class TSdlPresenter : public TPresenter {
 public:
  // window: not owned; must outlive the presenter.
  explicit TSdlPresenter(SDL_Window* window);
  ~TSdlPresenter() override;
  TSdlPresenter(const TSdlPresenter&) = delete;
  TSdlPresenter& operator=(const TSdlPresenter&) = delete;

  bool SetMode(uint32_t width, uint32_t height, bool fullScreen) override;
  void GetClientSize(uint32_t& width, uint32_t& height) const override;
  TDevResult Present(const TPresentFrame& frame, const TCursorOverlay* cursor) override;
  TDevResult Refresh(const TCursorOverlay* cursor) override;
  void SetVSync(bool on) override;
  void SetHardwareCursor(const TCursorImage* image) override;

 private:
  bool EnsureRenderer(uint32_t width, uint32_t height);
  TDevResult Show(const TCursorOverlay* cursor);

  SDL_Window* mWindow;
  SDL_Renderer* mRenderer = nullptr;
  SDL_Texture* mTexture = nullptr;
  SDL_Cursor* mCursor = nullptr;
  uint32_t mTextureWidth = 0, mTextureHeight = 0;
  std::vector<uint32_t> mFrame, mStaging;
  bool mVSync = false;
  bool mHardwareCursor = false;
};

// A message box (icon 0 none, 1 warning, 2 error) over the owner window, or none; false
// when it cannot be shown (no video, as in tests, returns at once).
bool SdlShowMessageBox(const char* title, const char* text, int icon, SDL_Window* owner);

// Fills an adapter configuration's display modes (each size at 16 and 32 bits) and
// desktop mode from SDL's display API; false when SDL knows no display.
bool SdlReadDisplayModes(int displayIndex, TSoftAdapterConfig& config);
