// The display handler and the renderer joined to the whole engine (RunEngine) on SDL's
// headless drivers: the display start, frames through the renderer, the test hook's
// frame capture, the cursor images, a restore from the event loop and the teardown.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/display_link.h"
#include "engine/engine_entry.h"
#include "engine/platform.h"
#include "graphics/codecs/image_codecs.h"
#include "graphics/display/platform_data.h"
#include "graphics/renderer.h"
#include "platform/file.h"
#include "platform/settings.h"

namespace {

class EngineDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarvelon_engine_display_XXXXXX";
    mRoot = mkdtemp(pattern);
    mOldDir = std::filesystem::current_path();
    setenv("XDG_DATA_HOME", (mRoot + "/xdg").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void TearDown() override {
    std::filesystem::current_path(mOldDir);
    std::error_code error;
    std::filesystem::remove_all(mRoot, error);
  }

  int Run(std::function<void(TPlatform*)> gameMain, const char* commandLine = "--multiple") {
    TEngineStart start;
    start.commandLine = commandLine;
    start.gameMain = std::move(gameMain);
    start.version.productName = "DisplayTest";
    start.makeDisplayHandler = MakeDisplayHandler;
    start.makeRenderer = MakeRenderer;
    return RunEngine(std::move(start));
  }

  std::string Log() const {
    std::ifstream in(mRoot + "/xdg/Wendrock/DisplayTest/logfile.txt");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string mRoot;
  std::filesystem::path mOldDir;
};

void Steps(TPlatform* platform, int count) {
  for (int i = 0; i < count; ++i) {
    TPlatformEvent event;
    platform->ProcessEvents(event);
  }
}

}  // namespace

TEST_F(EngineDisplay, StartsDrawsCapturesRestoresAndTearsDown) {
  std::string shot = mRoot + "/xdg/Wendrock/DisplayTest/frame.png";
  int exitCode = Run([&](TPlatform* platform) {
    ASSERT_NE(GetPlatformData(), nullptr);
    EXPECT_EQ(platform->GetDisplayHandler(), GetPlatformData());
    platform->InitDisplay(320, 240, false);
    ASSERT_TRUE(platform->IsDisplayReady());
    EXPECT_TRUE(FileExists("__systemcursor__.png"));
    platform->SetCursor(nullptr, 2, 2, false);
    EXPECT_TRUE(GetPlatformData()->GetContext().GetCursorTexture());
    Steps(platform, 5);

    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_TRUE(renderer->BeginDraw(false));
    {
      TScoped2d block;
      renderer->SetBlendMode(1);
      renderer->FillRect(TRect(0, 0, 320, 240), TColor{0, 0.5f, 0, 1});
    }
    renderer->EndDraw(true);
    ASSERT_TRUE(platform->GetRenderer()->CaptureFrame("user:frame.png"));
    EXPECT_FALSE(platform->GetRenderer()->ToggleStats());

    // A lost device comes back through the event loop.
    GetPlatformData()->GetContext().GetDirectDraw()->LoseAllSurfaces();
    GetPlatformData()->SetDirectXBroken();
    for (int i = 0; i < 20 && !GetPlatformData()->IsDeviceReady(); ++i) Steps(platform, 1);
    EXPECT_TRUE(GetPlatformData()->IsDeviceReady());
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(GetPlatformData(), nullptr);
  TDecodedImage image;
  ASSERT_TRUE(LoadPngImage(TString::Printf("::%s", shot.c_str()), image));
  EXPECT_EQ(image.width, 320u);
  uint32_t p;
  memcpy(&p, image.pixels.get() + (size_t(10) * image.side + 10) * 4, 4);
  EXPECT_EQ(p, 0xFF007F00u);
  std::string log = Log();
  EXPECT_NE(log.find("Device identifier:"), std::string::npos) << log;
}

// An embedded game is scaled to its parent's width; a width of 0 leaves the scale at 1
// instead of dividing by it.
TEST_F(EngineDisplay, EmbeddedGameOfNoWidthKeepsItsScale) {
  EXPECT_EQ(Run(
                [&](TPlatform* platform) {
                  platform->InitDisplay(0, 240, false);
                  EXPECT_EQ(platform->GetViewportScale(), 1.0f);
                },
                "--multiple --axtest"),
            0);
}

// Regression: a display that could not be set up ended the program with exit code 0, and
// the game went on to say that its window was open.
TEST_F(EngineDisplay, ADisplayThatCannotBeSetUpEndsTheProgramWithAFailure) {
  bool started = true;
  // Too large for a window on the desktop, and no such full-screen mode either.
  int exitCode = Run([&](TPlatform* platform) { started = platform->InitDisplay(4000, 3000, false); });
  EXPECT_FALSE(started);
  EXPECT_EQ(exitCode, ExitNoDisplay);
  std::string log = Log();
  EXPECT_NE(log.find("ERROR FALLBACK FAILED"), std::string::npos) << log;
  EXPECT_NE(log.find("The display could not be set up: the game ends."), std::string::npos) << log;
}

// Regression: "screenwidth" -5 became a width of 4294967291.
TEST(ScreenSide, ASettingOutsideTheRangeGivesTheFallback) {
  const struct {
    const char* text;
    uint32_t side;
  } cases[] = {{"800", 800}, {"1", 1}, {"16384", 16384}, {"", 1024}, {"-5", 1024}, {"0", 1024},
               {"16385", 1024}, {"4294967291", 1024}, {"wide", 1024}};
  for (const auto& c : cases) {
    SetConfig("screenwidth", c.text);
    EXPECT_EQ(ReadScreenSide("screenwidth", 1024), c.side) << c.text;
  }
  ClearConfig();
}
