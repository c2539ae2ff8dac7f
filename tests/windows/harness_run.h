#pragma once
// End-to-end runs: an executable of the build and the test hook jxHarness.so copied into a
// game folder of their own under a temporary root, with an asset folder linked in, started
// headless on a session script; its output and the hook's transcript are kept in the root.
//
// With TARVELON_HARNESS_SCREENS=FOLDER in the environment the runs show in a real window on
// the X display of $DISPLAY instead, and every settled frame is also taken from the X screen
// (with bin/xshot) as FOLDER/<name>.png while the session waits: the screenshot must show the
// very frame the game captured.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class THarnessRun : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the program on the assets and the session script; answers its exit code. Runs of
  // one test share the game folder, the user folder and the transcript. arguments form the
  // program's command line (words without quotes or shell characters).
  int Run(const char* program, const std::filesystem::path& assets, const std::string& session,
          int timeoutSeconds = 120, const std::string& arguments = "");
  // The root's output of the program and the hook's transcript.
  std::string Output() const { return ReadFile(mRoot / "output"); }
  std::string Transcript() const { return ReadFile(mRoot / "transcript"); }
  // A file of the game's user folder.
  std::filesystem::path UserFile(const char* game, const char* name, const char* publisher = "Wendrock") const {
    return mRoot / "xdg" / publisher / game / name;
  }

  static std::string ReadFile(const std::filesystem::path& path);

  // A frame the session captured: a PNG file named so in the root.
  std::filesystem::path Frame(const std::string& name) const { return mRoot / (name + ".png"); }
  // The session line that captures the screen as Frame(name) once it has stopped changing.
  // With the game's timer held it stands still until the next "advance": the frame is then
  // the one the game drew last, however long the drawing of it took.
  std::string Settle(const std::string& name) const;
  // Whether two captured frames hold the same picture, each channel within 2 (the rounding
  // of another optimisation level): "" or what differs.
  std::string CompareFrames(const std::string& name, const std::string& otherName) const;
  // A captured frame against the golden image tests/golden/<relative>, within the same
  // rounding; with TARVELON_UPDATE_GOLDEN=1 in the environment it becomes the golden image.
  std::string MatchGoldenFrame(const std::string& name, const std::string& relative) const;
  // The same comparison that never stores: a frame that must show what another test's
  // golden image shows.
  std::string CompareWithGoldenFrame(const std::string& name, const std::string& relative) const;

  std::filesystem::path mRoot;
};
