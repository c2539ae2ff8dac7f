// End to end: an executable started headless on the small asset folder
// tests/fixtures/windows/e2e, driven by the test hook jxHarness.so beside it. A click on a
// scripted button changes the next captured frame; in the game as it is, the click reaches
// the main script, which ends the game.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "graphics/device/golden_png.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class WindowsEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarvelon-windows-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mRoot = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(mRoot, ignored);
  }

  // Puts the program and the hook into a folder of their own whose assets are the fixture,
  // runs the session script there and answers the exit code.
  int Run(const char* program, const std::string& session) {
    fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    fs::path folder = mRoot / "game";
    fs::create_directories(folder);
    fs::copy_file(bin / program, folder / program);
    fs::copy_file(bin / "jxHarness.so", folder / "jxHarness.so");
    fs::create_directory_symlink(fs::path(TARVELON_FIXTURES) / "windows/e2e", folder / "assets");
    std::ofstream(mRoot / "session") << session;
    std::string command = "cd '" + folder.string() + "' && env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy" +
                          " XDG_DATA_HOME='" + (mRoot / "xdg").string() + "' HOME='" + mRoot.string() + "'" +
                          " TARVELON_HARNESS_SCRIPT='" + (mRoot / "session").string() + "'" +
                          " TARVELON_HARNESS_TRANSCRIPT='" + Transcript().string() + "'" +
                          " timeout 120 ./" + program + " > '" + (mRoot / "output").string() + "' 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  fs::path Transcript() const { return mRoot / "transcript"; }
  std::string Output() const { return ReadFile(mRoot / "output"); }

  // The pixel of a frame captured as "user:<file>", 0xAARRGGBB (0 when it cannot be read).
  uint32_t PixelOf(const char* file, uint32_t x, uint32_t y) {
    std::vector<uint32_t> argb;
    uint32_t width = 0, height = 0;
    fs::path path = mRoot / "xdg/Wendrock/Fensterprobe" / file;
    if (!ReadGoldenPng(path.string(), argb, width, height) || x >= width || y >= height) return 0;
    return argb[size_t(y) * width + x];
  }

  fs::path mRoot;
};

uint32_t Red(uint32_t argb) { return (argb >> 16) & 0xFF; }
uint32_t Green(uint32_t argb) { return (argb >> 8) & 0xFF; }

TEST_F(WindowsEndToEnd, AClickOnAScriptedButtonChangesTheNextFrame) {
  // Frames are written through the file layer, into the user folder.
  std::string before = "user:before.png", after = "user:after.png";
  int code = Run("windows_e2e_game", "wait 2500\ncapture " + before + "\nclick 50 40\nwait 600\ncapture " + after +
                                         "\nquit\n");
  EXPECT_EQ(code, 0) << Output();
  std::string transcript = ReadFile(Transcript());
  EXPECT_NE(transcript.find("capture ok " + before), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("capture ok " + after), std::string::npos) << transcript;
  uint32_t pressed = PixelOf("after.png", 50, 40), unpressed = PixelOf("before.png", 50, 40);
  EXPECT_GT(Red(unpressed), 150u);
  EXPECT_LT(Green(unpressed), 60u);
  EXPECT_GT(Green(pressed), 150u);
  EXPECT_LT(Red(pressed), 60u);
  // Outside the button nothing changed.
  EXPECT_EQ(PixelOf("before.png", 120, 100), PixelOf("after.png", 120, 100));
}

TEST_F(WindowsEndToEnd, TheGamesMainScriptHearsTheClickAndEndsTheGame) {
  // Only the script can end this session early: the hook's own quit would answer 3.
  int code = Run("tarvelon", "wait 1000\nclick 50 40\nwait 60000\nquit 3\n");
  EXPECT_EQ(code, 0) << Output() << ReadFile(Transcript());
  EXPECT_NE(ReadFile(Transcript()).find("event 7 0 50 40"), std::string::npos);
}

}  // namespace
