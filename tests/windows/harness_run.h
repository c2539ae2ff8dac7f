#pragma once
// End-to-end runs: an executable of the build and the test hook jxHarness.so copied into a
// game folder of their own under a temporary root, with an asset folder linked in, started
// headless on a session script; its output and the hook's transcript are kept in the root.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class THarnessRun : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the program on the assets and the session script; answers its exit code. Runs of
  // one test share the game folder, the user folder and the transcript.
  int Run(const char* program, const std::filesystem::path& assets, const std::string& session,
          int timeoutSeconds = 120);
  // The root's output of the program and the hook's transcript.
  std::string Output() const { return ReadFile(mRoot / "output"); }
  std::string Transcript() const { return ReadFile(mRoot / "transcript"); }
  // A file of the game's user folder.
  std::filesystem::path UserFile(const char* game, const char* name, const char* publisher = "Wendrock") const {
    return mRoot / "xdg" / publisher / game / name;
  }

  static std::string ReadFile(const std::filesystem::path& path);

  std::filesystem::path mRoot;
};
