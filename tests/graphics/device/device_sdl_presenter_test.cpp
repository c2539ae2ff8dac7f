// The SDL presenter on SDL's headless video driver: display modes, window modes and a
// presented frame with the drawn cursor.
#include <gtest/gtest.h>

#include <SDL.h>

#include "device_rig.h"
#include "graphics/device/sdl_presenter.h"

TEST(DeviceSdlPresenter, PresentsIntoAWindowAndReadsModes) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no SDL video: " << SDL_GetError();
  TSoftAdapterConfig config;
  EXPECT_TRUE(SdlReadDisplayModes(0, config));
  EXPECT_GT(config.desktop.width, 0u);
  EXPECT_FALSE(config.modes.empty());
  SDL_Window* window = SDL_CreateWindow("device test", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  {
    auto presenter = std::make_shared<TSdlPresenter>(window);
    TDeviceRig rig;
    ASSERT_EQ(TSoftDraw::Create(rig.adapter, rig.draw), DD_OK);
    rig.draw->SetPresenter(presenter);
    rig.draw->SetCooperativeLevel(DDSCL_NORMAL);
    ASSERT_EQ(rig.draw->SetWindowClientSize(80, 60), DD_OK);
    uint32_t w = 0, h = 0;
    presenter->GetClientSize(w, h);
    EXPECT_EQ(w, 80u);
    EXPECT_EQ(h, 60u);
    TDevSurfaceDesc desc;
    desc.flags = DDSD_CAPS;
    desc.caps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(rig.draw->CreateSurface(desc, rig.front), DD_OK);
    EXPECT_EQ(rig.front->Width(), 80u);
    auto cursor = std::make_shared<TCursorImage>();
    cursor->width = cursor->height = 4;
    cursor->pixels.assign(16, 0xFFFFFFFF);
    rig.draw->Cursor().SetImage(cursor);
    TDevBltFx fx;
    fx.fillColor = 0x00336699;
    EXPECT_EQ(rig.front->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    rig.draw->Cursor().RequestRefresh();
    EXPECT_EQ(rig.draw->RefreshCursor(), DD_OK);
    rig.draw->SetVSync(true);
    presenter->SetHardwareCursor(cursor.get());
    presenter->SetHardwareCursor(nullptr);
  }
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
