// The display in a real SDL window (SDL's headless driver in the test run, an X server
// when SDL_VIDEODRIVER says so): a cleared 800x600 frame in a window, then full screen
// asked of SDL. With TARVELON_HOLD_WINDOW_UNTIL naming a file, the window stays up after the
// frame until that file exists (at most five minutes), so that a screenshot of the X server
// can be taken.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "graphics/device/sdl_presenter.h"
#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"

namespace {

// The rig's host presenting into an SDL window.
class TWindowHost : public TTestDisplayHost {
 public:
  explicit TWindowHost(SDL_Window* window) : mPresenter(std::make_shared<TSdlPresenter>(window)) {}
  std::shared_ptr<TPresenter> GetPresenter() override { return mPresenter; }

 private:
  std::shared_ptr<TSdlPresenter> mPresenter;
};

void HoldWindow() {
  const char* until = std::getenv("TARVELON_HOLD_WINDOW_UNTIL");
  if (!until) return;
  std::printf("holding the window\n");
  std::fflush(stdout);
  uint32_t end = SDL_GetTicks() + 300000;
  while (SDL_GetTicks() < end && !std::filesystem::exists(until)) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    SDL_Delay(10);
  }
}

}  // namespace

TEST(DisplayWindow, ClearedFrameInAWindowThenFullScreenThroughSdl) {
  if (!std::getenv("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no SDL video: " << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("Tarvelon display test", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640,
                                        480, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  {
    TDisplayRig rig;
    TWindowHost host(window);
    SetDisplayHost(&host);
    TPlatformData& display = rig.Window(800, 600);
    ASSERT_TRUE(display.IsDeviceReady());
    SDL_ShowWindow(window);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);

    TRenderer& renderer = *TRenderer::GetInstance();
    renderer.PushClipRect(TRect(0, 0, 800, 600));
    ASSERT_TRUE(renderer.BeginDraw(false));
    ASSERT_TRUE(renderer.Begin2d());
    renderer.SetBlendMode(1);
    renderer.FillRect(TRect(0, 0, 800, 600), TColor{0.1f, 0.3f, 0.5f, 1});
    renderer.FillRect(TRect(300, 250, 500, 350), TColor{0.9f, 0.6f, 0.1f, 1});
    renderer.End2d();
    renderer.EndDraw(true);
    EXPECT_TRUE(renderer.CaptureFrame("user:window.png"));
    HoldWindow();

    display.SetDisplay(800, 600, true, false, false, false);
    EXPECT_TRUE(display.IsFullscreen());
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN);
    display.SetDisplay(800, 600, false, false, false, false);
    EXPECT_FALSE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN);
    SetDisplayHost(&rig.host);
  }
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
