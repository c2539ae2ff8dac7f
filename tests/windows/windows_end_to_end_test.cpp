// End to end: an executable started headless on the small asset folder
// tests/fixtures/windows/e2e, driven by the test hook jxHarness.so beside it. A click on a
// scripted button changes the next captured frame; in the game as it is, the click reaches
// the main script, which ends the game.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "graphics/device/golden_png.h"
#include "harness_run.h"

namespace fs = std::filesystem;

namespace {

class WindowsEndToEnd : public THarnessRun {
 protected:
  // The program on the small asset folder of the fixture.
  int Run(const char* program, const std::string& session) {
    return THarnessRun::Run(program, fs::path(TARVELON_FIXTURES) / "windows/e2e", session);
  }

  // The pixel of a captured frame, 0xAARRGGBB (0 when it cannot be read).
  uint32_t PixelOf(const std::string& frame, uint32_t x, uint32_t y) {
    std::vector<uint32_t> argb;
    uint32_t width = 0, height = 0;
    if (!ReadGoldenPng(Frame(frame).string(), argb, width, height) || x >= width || y >= height) return 0;
    return argb[size_t(y) * width + x];
  }
};

uint32_t Red(uint32_t argb) { return (argb >> 16) & 0xFF; }
uint32_t Green(uint32_t argb) { return (argb >> 8) & 0xFF; }

TEST_F(WindowsEndToEnd, AClickOnAScriptedButtonChangesTheNextFrame) {
  int code = Run("windows_e2e_game", "hold\nadvance 200\n" + Settle("before") + "click 50 40\nadvance 100\n" +
                                         Settle("after") + "quit\n");
  EXPECT_EQ(code, 0) << Output();
  std::string transcript = Transcript();
  EXPECT_NE(transcript.find("capture ok " + Frame("before").string()), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("capture ok " + Frame("after").string()), std::string::npos) << transcript;
  uint32_t pressed = PixelOf("after", 50, 40), unpressed = PixelOf("before", 50, 40);
  EXPECT_GT(Red(unpressed), 150u);
  EXPECT_LT(Green(unpressed), 60u);
  EXPECT_GT(Green(pressed), 150u);
  EXPECT_LT(Red(pressed), 60u);
  // Outside the button nothing changed.
  EXPECT_EQ(PixelOf("before", 120, 100), PixelOf("after", 120, 100));
}

TEST_F(WindowsEndToEnd, TheGamesMainScriptHearsTheClickAndEndsTheGame) {
  // Only the script can end this session early: the hook's own quit would answer 3. The
  // click is queued before the held timer moves on, so the script has it in the first steps.
  int code = Run("tarvelon", "hold\nadvance 100\nclick 50 40\nadvance 5000\nquit 3\n");
  EXPECT_EQ(code, 0) << Output() << Transcript();
  EXPECT_NE(Transcript().find("event 7 0 50 40"), std::string::npos);
}

}  // namespace
