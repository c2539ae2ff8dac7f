// End to end: the game's start screen. The real executable runs headless on assets/ with the
// test hook: a name with an umlaut and "ß" is typed into the field, the volume slider dragged,
// "Spielen" pressed (the greeting repeats the name), the quit dialog opened and cancelled,
// then opened again and confirmed, which ends the game. The captured frames match the golden
// images of tests/golden/first_screen (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/windows_end_to_end_tests --gtest_filter='FirstScreen.*'
// and look at every one before committing).

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/device/golden_png.h"
#include "harness_run.h"

namespace fs = std::filesystem;

namespace {

struct TImage {
  std::vector<uint32_t> argb;
  uint32_t width = 0, height = 0;
  bool Read(const fs::path& path) { return ReadGoldenPng(path.string(), argb, width, height); }
};

// Channels may differ by the rounding of another optimisation level; nothing more.
std::string Compare(const TImage& actual, const TImage& expected, const std::string& name) {
  if (actual.width != expected.width || actual.height != expected.height) return name + ": the sizes differ";
  int differing = 0;
  std::string first;
  for (size_t i = 0; i < actual.argb.size(); i++) {
    for (int shift = 0; shift < 32; shift += 8) {
      int a = int((actual.argb[i] >> shift) & 0xFF), e = int((expected.argb[i] >> shift) & 0xFF);
      if (std::abs(a - e) <= 2) continue;
      if (differing++ == 0)
        first = " first at (" + std::to_string(i % actual.width) + ", " + std::to_string(i / actual.width) + ")";
      break;
    }
  }
  return differing ? name + ": " + std::to_string(differing) + " pixels differ," + first : "";
}

class FirstScreen : public THarnessRun {
 protected:
  // The game on the source tree's assets; answers the exit code.
  int Play(const std::string& session) { return Run("tarvelon", fs::path(TARVELON_SOURCE_DIR) / "assets", session); }
  fs::path Frame(const char* name) const { return UserFile("Tarvelon", name); }
  std::string Report() const { return Output() + Transcript(); }

  // Compares a captured frame with its golden image, or stores it as the golden image.
  void ExpectGolden(const char* name) {
    fs::path golden = fs::path(TARVELON_GOLDEN) / "first_screen" / name;
    const char* update = std::getenv("TARVELON_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
      fs::create_directories(golden.parent_path());
      fs::copy_file(Frame(name), golden, fs::copy_options::overwrite_existing);
      return;
    }
    TImage actual, expected;
    ASSERT_TRUE(actual.Read(Frame(name))) << name << "\n" << Report();
    ASSERT_TRUE(expected.Read(golden)) << golden;
    EXPECT_EQ(Compare(actual, expected, name), "");
  }
};

TEST_F(FirstScreen, ANameTheVolumeAndTheQuitDialog) {
  // Screen points: the name field, an empty spot of the valley, the slider's knob at 0.8 and
  // a point at a third of the rail, the "Beenden" button.
  int code = Play(
      "wait 2500\n"
      // The game runs in UTF-8 mode: umlauts and "ß" go in, and Backspace takes the whole "ß".
      "move 400 272\nclick 400 272\ntype Jürgen Weißß\nkey Backspace\nwait 300\n"
      // Away from the field, which then shows no blinking cursor.
      "move 100 560\nclick 100 560\n"
      "move 482 357\ndown 482 357\nmove 420 357\nmove 350 357\nup 350 357\n"
      // "Spielen": the script reads the name back from the field and greets the player with it.
      "move 302 424\nclick 302 424\n"
      "move 100 560\nwait 800\ncapture user:name_and_volume.png\n"
      "move 494 424\nclick 494 424\nwait 800\ncapture user:quit_dialog.png\n"
      "key Escape\nwait 800\ncapture user:cancelled.png\n"
      // Confirmed with Enter, the dialog ends the game (the hook's own quit would answer 3).
      "click 494 424\nwait 800\nkey Return\nwait 30000\nquit 3\n");
  EXPECT_EQ(code, 0) << Report();
  std::string transcript = Transcript();
  for (const char* frame : {"name_and_volume.png", "quit_dialog.png", "cancelled.png"})
    EXPECT_NE(transcript.find(std::string("capture ok user:") + frame), std::string::npos) << transcript;
  // "ü" and "ß" arrive as Unicode characters; the field and the greeting that the script
  // makes from the field's text show "Jürgen Weiß" in the golden frame.
  for (const char* typed : {"event 14 252 0 0 0\n", "event 14 223 0 0 0\n", "event 14 8 0 0 0\n"})
    EXPECT_NE(transcript.find(typed), std::string::npos) << typed << transcript;
  ExpectGolden("name_and_volume.png");
  ExpectGolden("quit_dialog.png");
  // Cancelling gives back the screen as it was.
  TImage before, after;
  ASSERT_TRUE(before.Read(Frame("name_and_volume.png")));
  ASSERT_TRUE(after.Read(Frame("cancelled.png")));
  EXPECT_EQ(Compare(after, before, "cancelled.png"), "");
  EXPECT_EQ(ReadFile(Frame("logfile.txt")).find("Lua error"), std::string::npos) << ReadFile(Frame("logfile.txt"));
}

}  // namespace
