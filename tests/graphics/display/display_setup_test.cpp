// Display set-up: windowed and full-screen displays, the forced full-screen rules, the
// fall-back chain with its log lines and message boxes, the device context's checks and
// adapter quirks.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "platform/settings.h"

namespace {

constexpr const char* FullScreenFailed =
    "Failed to initialize full screen mode. Your video card is not supported. Trying to run in a window.";
constexpr const char* WindowFailed = "Failed to initialize windowed mode. Trying full screen.";
constexpr const char* Incompatible =
    "Sorry, but this product isn't compatible with your display. Try using a different display (for instance, the "
    "main display in your laptop), if you have the option.";

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

TSoftAdapterConfig Desktop(uint32_t width, uint32_t height, int32_t colours = -1) {
  TSoftAdapterConfig config;
  config.desktop.width = width;
  config.desktop.height = height;
  config.desktopColors = colours;
  return config;
}

}  // namespace

TEST(DisplaySetUp, WindowOf800x600ShowsAClearedFrame) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(800, 600);
  ASSERT_TRUE(display.IsDisplayReady());
  EXPECT_TRUE(display.IsDeviceReady());
  EXPECT_FALSE(display.IsFullscreen());
  EXPECT_EQ(display.GetColourDepth(), 32);
  uint32_t w = 0, h = 0;
  rig.host.presenter->GetClientSize(w, h);
  EXPECT_EQ(w, 800u);
  EXPECT_EQ(h, 600u);
  EXPECT_FALSE(rig.host.presenter->IsFullScreen());
  EXPECT_EQ(GetConfig("monitorfrequency"), "60");
  EXPECT_EQ(GetConfig("dxbroken"), "0");
  std::string log = rig.log.TakeNew();
  EXPECT_TRUE(Has(log, "Device identifier:  \n  Driver: 'tarvelon_soft.drv'")) << log;
  EXPECT_TRUE(Has(display.GetContext().GetDeviceReport().ToStd(), "DDCAPS: "));

  TRenderer* renderer = TRenderer::GetInstance();
  renderer->PushClipRect(TRect(0, 0, 800, 600));
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  renderer->SetBlendMode(1);
  renderer->FillRect(TRect(0, 0, 800, 600), TColor{0.2f, 0.4f, 0.6f, 1});
  renderer->End2d();
  renderer->EndDraw(true);
  ASSERT_EQ(rig.host.presenter->ShownWidth(), 800u);
  EXPECT_EQ(rig.Shown(0, 0), 0xFF336699u);
  EXPECT_EQ(rig.Shown(799, 599), 0xFF336699u);
  EXPECT_TRUE(rig.host.boxes.empty());
}

TEST(DisplaySetUp, FullScreenSwitchesThePresenterAndLogsTheDepthSet) {
  TDisplayRig rig;
  TPlatformData& display = rig.MakeDisplay();
  display.SetDisplay(800, 600, true, false, false, false);
  ASSERT_TRUE(display.IsDeviceReady());
  EXPECT_TRUE(display.IsFullscreen());
  EXPECT_TRUE(rig.host.presenter->IsFullScreen());
  EXPECT_TRUE(Has(rig.log.TakeNew(), "Created screen at 32 bpp."));
  // Back to a window, and the unchanged mode only marks the display ready.
  EXPECT_TRUE(display.SetFullscreen(false));
  EXPECT_FALSE(rig.host.presenter->IsFullScreen());
  auto device = display.GetDevice();
  display.SetDisplay(800, 600, false, false, false, false);
  EXPECT_TRUE(display.IsDisplayReady());
  EXPECT_EQ(display.GetDevice(), device);
}

// The depth logged is the one the display runs at, not the one asked for.
TEST(DisplaySetUp, CreatedScreenNamesTheDepthReallySet) {
  TDisplayRig rig(TSoftAdapter::SixteenBitOnly());
  rig.MakeDisplay().SetDisplay(800, 600, true, false, false, false);
  std::string log = rig.log.TakeNew();
  EXPECT_TRUE(Has(log, "Created screen at 16 bpp.")) << log;
  EXPECT_FALSE(Has(log, "Created screen at 32 bpp.")) << log;
  EXPECT_EQ(rig.Display().GetColourDepth(), 16);

  TSoftAdapterConfig small;
  small.totalVideoMemory = 8u << 20;
  TDisplayRig little(small);
  little.MakeDisplay().SetDisplay(640, 480, true, false, false, false);
  EXPECT_TRUE(Has(little.log.TakeNew(), "Created screen at 16 bpp."));
}

TEST(DisplaySetUp, WindowsTheDesktopCannotHoldBecomeFullScreen) {
  struct TCase {
    TSoftAdapterConfig config;
    const char* line;  // null: stays in a window
  } cases[] = {
      {Desktop(800, 600), "SetDisplay Forcing Fullscreen (SMALL)"},
      {Desktop(1024, 768), nullptr},
      {Desktop(1280, 1024, 256), "SetDisplay Forcing Fullscreen (PALLETTED)"},
  };
  for (TCase& c : cases) {
    TDisplayRig rig(c.config);
    rig.Window(800, 600);
    std::string log = rig.log.TakeNew();
    SCOPED_TRACE(log);
    EXPECT_EQ(rig.Display().IsFullscreen(), c.line != nullptr);
    if (c.line) {
      EXPECT_TRUE(Has(log, c.line));
    }
    EXPECT_TRUE(rig.Display().IsDeviceReady());
  }
  // A palette desktop refuses a window outright.
  TDisplayRig palette(Desktop(1280, 1024, 256));
  palette.Window(800, 600);
  EXPECT_FALSE(palette.Display().SetFullscreen(false));
  EXPECT_TRUE(palette.Display().IsFullscreen());
}

TEST(DisplaySetUp, WindowWithoutVideoMemoryFallsBackToFullScreenAndStaysThere) {
  TDisplayRig rig;
  rig.adapter->FailNext(TDevCall::CreateSurface, DDERR_OUTOFVIDEOMEMORY);
  rig.Window(800, 600);
  EXPECT_TRUE(rig.Display().IsFullscreen());
  EXPECT_TRUE(rig.Display().IsDeviceReady());
  EXPECT_EQ(rig.BoxTexts(),
            std::vector<std::string>{"Cannot run in a window: Insufficient video memory. Switching to full screen."});
  rig.log.TakeNew();
  EXPECT_FALSE(rig.Display().SetFullscreen(false));
  rig.Display().SetDisplay(800, 600, false, true, false, false);
  EXPECT_TRUE(Has(rig.log.TakeNew(), "SetDisplay Forcing Fullscreen (MEMORY)"));
  EXPECT_TRUE(rig.Display().IsFullscreen());
}

TEST(DisplaySetUp, FullScreenFailureFallsBackToAWindowAndSaysSoAfterwards) {
  TDisplayRig rig;
  rig.adapter->FailNext(TDevCall::SetDisplayMode, DDERR_INVALIDMODE);
  rig.MakeDisplay().SetDisplay(800, 600, true, false, false, false);
  EXPECT_FALSE(rig.Display().IsFullscreen());
  EXPECT_TRUE(rig.Display().IsDeviceReady());
  EXPECT_EQ(rig.BoxTexts(), (std::vector<std::string>{Incompatible, FullScreenFailed}));
  std::string log = rig.log.TakeNew();
  EXPECT_TRUE(Has(log, "Failed to create screen at 32 bpp.")) << log;
  EXPECT_TRUE(Has(log, "Failed to create a DirectDraw device after trying all GUIDs")) << log;

  // Quiet: the fall-back says nothing.
  TDisplayRig quiet;
  quiet.adapter->FailNext(TDevCall::SetDisplayMode, DDERR_INVALIDMODE);
  quiet.MakeDisplay().SetDisplay(800, 600, true, false, true, false);
  EXPECT_FALSE(quiet.Display().IsFullscreen());
  EXPECT_EQ(quiet.BoxTexts(), std::vector<std::string>{Incompatible});
}

TEST(DisplaySetUp, WindowFailureTriesFullScreen) {
  TDisplayRig rig;
  rig.adapter->FailNext(TDevCall::CreateDevice, DDERR_GENERIC);
  rig.Window(800, 600);
  EXPECT_TRUE(rig.Display().IsFullscreen());
  EXPECT_TRUE(rig.Display().IsDeviceReady());
  EXPECT_EQ(rig.BoxTexts(), std::vector<std::string>{WindowFailed});
}

TEST(DisplaySetUp, BothModesFailingEndsWithAQuitAndTheNextSetUpExits) {
  TDisplayRig rig;
  rig.adapter->FailNext(TDevCall::CreateDevice, DDERR_GENERIC, -1);
  rig.Window(800, 600);
  EXPECT_FALSE(rig.Display().IsDeviceReady());
  EXPECT_TRUE(Has(rig.log.TakeNew(), "ERROR FALLBACK FAILED"));
  ASSERT_EQ(rig.host.boxes.size(), 2u);
  EXPECT_EQ(rig.host.boxes[1].icon, TMessageBoxIcon::Stop);
  EXPECT_TRUE(rig.host.boxes[1].ownedByMain);
  EXPECT_TRUE(Has(rig.host.boxes[1].text, "Failed to initialize window. Please try running the game again."));
  EXPECT_EQ(rig.host.quits, 1);
  EXPECT_TRUE(rig.host.exits.empty());
  rig.Display().SetDisplay(800, 600, false, true, false, false);
  EXPECT_EQ(rig.host.exits, std::vector<int>{-1});
}

TEST(DisplaySetUp, FailureWhileInactiveOnlyMarksTheDisplayBroken) {
  TDisplayRig rig;
  rig.adapter->FailNext(TDevCall::CreateDevice, DDERR_GENERIC);
  rig.host.active = false;
  rig.MakeDisplay().SetDisplay(800, 600, false, true, false, false);
  // The second word names the window's place the other way round, as it always has.
  EXPECT_TRUE(Has(rig.log.TakeNew(), "SetDisplay marking DirectX Broken: INACTIVE, BACKGROUND"));
  EXPECT_TRUE(rig.Display().IsBroken());
  EXPECT_EQ(GetConfig("dxbroken"), "1");
  EXPECT_TRUE(rig.host.boxes.empty());
  // Without force an inactive game is not set up at all.
  TDisplayRig idle;
  idle.host.active = false;
  idle.Window(800, 600);
  EXPECT_FALSE(idle.Display().IsDisplayReady());
  EXPECT_EQ(idle.Display().GetDevice(), nullptr);
}

TEST(DisplaySetUp, AntialiasHintWithoutAnAntialiasingDeviceSucceedsOnTheSecondTry) {
  TDisplayRig rig;
  TPlatformData& display = rig.MakeDisplay();
  display.SetOption("antialias", "1");
  display.SetOption("hint_antialias", "1");
  display.SetDisplay(800, 600, false, false, false, false);
  EXPECT_TRUE(display.IsDeviceReady());
  EXPECT_EQ(display.GetOption("antialias"), "0");
  EXPECT_EQ(display.GetOption("hint_antialias"), "0");
  EXPECT_TRUE(rig.host.boxes.empty());
}

TEST(DisplaySetUp, DesktopsThatCannotRunTheGame) {
  TDisplayRig few(Desktop(1280, 1024, 16));
  few.Window(800, 600);
  EXPECT_EQ(few.host.exits, std::vector<int>{-1});
  EXPECT_TRUE(Has(few.BoxTexts().at(0), "DirectX requires that you have your screen set to 256 color mode"));

  // Inside a host window full screen is impossible: a desktop too small ends the game.
  TDisplayRig embedded(Desktop(800, 600));
  embedded.host.externalParent = true;
  embedded.Window(800, 600);
  EXPECT_EQ(embedded.host.exits, std::vector<int>{-1});
  EXPECT_EQ(embedded.BoxTexts().at(0),
            "You cannot run this application at your current screen resolution. Change your display settings and "
            "run again.");
}

TEST(DisplaySetUp, LowMemorySettingFromDisplayXmlForcesSixteenBitFullScreen) {
  TDisplayRig rig;
  std::ofstream(rig.log.Folder() + "/common/display.xml") << "<Settings LowMemoryVideo=\"1\"/>\n";
  rig.Window(800, 600);
  std::string log = rig.log.TakeNew();
  EXPECT_TRUE(Has(log, "Low memory video card setting enabled!")) << log;
  EXPECT_TRUE(Has(log, "SetDisplay Forcing Fullscreen (MEMORY)")) << log;
  EXPECT_TRUE(rig.Display().IsFullscreen());
  EXPECT_EQ(rig.Display().GetColourDepth(), 16);
  EXPECT_EQ(rig.Display().GetOption("16bitmode"), "1");
}

TEST(DeviceContext, RefusesWhatTheGameCannotRunOn) {
  TSoftAdapterConfig software;
  software.hardwareRasterization = false;
  TDisplayRig noHardware(software);
  EXPECT_FALSE(noHardware.MakeDisplay().GetContext().Create(false, 800, 600, 32, 1));
  EXPECT_TRUE(Has(noHardware.log.TakeNew(), "TDXContext::Create failed! Could not find a hardware renderer."));
  // With a viewport scale a software device will do, at the scaled size.
  noHardware.host.viewportScaleOn = true;
  noHardware.host.viewportScale = 1.5f;
  ASSERT_TRUE(noHardware.Display().GetContext().Create(false, 400, 300, 32, 1));
  EXPECT_EQ(noHardware.Display().GetContext().GetBackSurface()->Width(), 600u);

  TDisplayRig small(TSoftAdapter::SmallTextures());
  EXPECT_FALSE(small.MakeDisplay().GetContext().Create(false, 800, 600, 32, 1));
  EXPECT_TRUE(Has(small.log.TakeNew(),
                  "TDXContext::Create - context does not support 1024x1024 textures! Failing!"));

  TDisplayRig tight(Desktop(800, 600));
  TDXContext& context = tight.MakeDisplay().GetContext();
  EXPECT_TRUE(context.IsWindowTooLarge(800, 600));
  EXPECT_FALSE(context.Create(false, 800, 600, 32, 1));
  EXPECT_EQ(context.GetDirectDraw(), nullptr);
  EXPECT_FALSE(context.IsWindowTooLarge(640, 480));
}

TEST(DeviceContext, AdapterQuirksFollowTheDescription) {
  struct TCase {
    const char* description;
    bool brokenIndexed;
  } cases[] = {
      {"Intel(R) 82945G Express Chipset Family", true},
      {"Intel 82810E Graphics", true},
      {"Mobile Intel(R) 965 Express Chipset", true},
      {"Mobile Intel(R) 965Express", false},
      {"Radeon 82945", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.description);
    TSoftAdapterConfig config;
    config.description = c.description;
    TDisplayRig rig(config);
    rig.Window(800, 600);
    EXPECT_EQ(IsEnabled("brokenindexedverts"), c.brokenIndexed);
    EXPECT_FALSE(rig.Display().GetExpandIndexedDraws());
  }
  TSoftAdapterConfig sis;
  sis.description = "SiS Mirage 3 Graphics";
  TDisplayRig rig(sis);
  rig.Window(800, 600);
  EXPECT_TRUE(rig.Display().GetExpandIndexedDraws());
  EXPECT_FALSE(rig.Display().GetSixteenBitRetry());
}

// The 16-bit retry of a large-memory adapter runs the creation again; afterwards the
// mouse mutex must be free for the cursor thread.
TEST(DeviceContext, SixteenBitRetryReleasesTheMouseMutex) {
  TSoftAdapterConfig sis;
  sis.description = "SiS Mirage 3 Graphics";
  TDisplayRig rig(sis);
  SetConfig("largevramusage", "1");
  TPlatformData& display = rig.MakeDisplay();
  display.SetExpandIndexedDraws(true);
  display.SetDisplay(800, 600, true, false, false, false);
  ASSERT_TRUE(display.IsDeviceReady());
  EXPECT_TRUE(display.GetSixteenBitRetry());
  EXPECT_EQ(display.GetColourDepth(), 16);
  bool locked = false;
  std::thread cursorThread([&] {
    locked = display.GetContext().MouseMutex().try_lock();
    if (locked) display.GetContext().MouseMutex().unlock();
  });
  cursorThread.join();
  EXPECT_TRUE(locked);
}
