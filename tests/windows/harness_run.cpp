#include "harness_run.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "graphics/device/golden_png.h"

namespace fs = std::filesystem;

namespace {

struct TFrame {
  std::vector<uint32_t> argb;
  uint32_t width = 0, height = 0;
  bool Read(const fs::path& path) { return ReadGoldenPng(path.string(), argb, width, height); }
};

std::string CompareFrameFiles(const fs::path& actualPath, const fs::path& expectedPath) {
  TFrame actual, expected;
  if (!actual.Read(actualPath)) return "cannot read " + actualPath.string();
  if (!expected.Read(expectedPath)) return "cannot read " + expectedPath.string();
  std::string name = actualPath.filename().string();
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

// The folder of the X screenshots, or "" for headless runs.
std::string ScreensFolder() {
  const char* folder = std::getenv("TARVELON_HARNESS_SCREENS");
  return folder ? folder : "";
}

// The file the session waits for until the X screen has been shot for a settled frame.
fs::path ShotMarker(const fs::path& frame) { return fs::path(frame).replace_extension(".shot"); }

// Runs the shell command in the background; each time the transcript says a frame of the
// folder has settled (or has been given up on), shot(frame, pointer) runs and the frame's
// marker is made, which lets the session go on. pointer is "X Y" of the game's last pointer
// move ("" before one): the game draws its cursor there over the frame it captured. Answers
// the command's exit status.
template <typename TShot>
int RunShootingFrames(const std::string& command, const fs::path& transcriptPath, const fs::path& folder, TShot shot) {
  std::streamoff read = fs::exists(transcriptPath) ? std::streamoff(fs::file_size(transcriptPath)) : 0;
  pid_t pid = 0;
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  std::string pointer;
  for (bool running = true; running;) {
    running = waitpid(pid, &status, WNOHANG) == 0;
    std::ifstream in(transcriptPath, std::ios::binary);
    in.seekg(read);
    std::string line;
    // Only whole lines: the hook may be halfway through writing the last one.
    while (std::getline(in, line) && !in.eof()) {
      read += std::streamoff(line.size() + 1);
      // "event 8 CODE X Y EXTRA": a pointer move (the platform's event 8) as the game got it.
      std::istringstream words(line);
      std::string word, type, code, x, y;
      if (words >> word >> type >> code >> x >> y && word == "event" && type == "8") pointer = x + " " + y;
      for (const std::string prefix : {"capture ok ", "capture unsettled "}) {
        fs::path frame = line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : "";
        if (frame.empty() || frame.parent_path() != folder) continue;
        shot(frame, pointer);
        std::ofstream(ShotMarker(frame)).flush();
      }
    }
    if (running) usleep(20000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

void THarnessRun::SetUp() {
  char pattern[] = "/tmp/tarvelon-e2e-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  mRoot = pattern;
}

void THarnessRun::TearDown() {
  // A failed run's frames, transcript and user folder are what one looks at first.
  if (HasFailure() && std::getenv("TARVELON_KEEP_FAILED_RUNS")) {
    std::printf("the run's folder is kept: %s\n", mRoot.c_str());
    return;
  }
  std::error_code ignored;
  fs::remove_all(mRoot, ignored);
}

int THarnessRun::Run(const char* program, const fs::path& assets, const std::string& session, int timeoutSeconds,
                     const std::string& arguments) {
  fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
  fs::path folder = mRoot / "game";
  fs::create_directories(folder);
  for (const char* file : {program, "jxHarness.so"})
    fs::copy_file(bin / file, folder / file, fs::copy_options::overwrite_existing);
  if (!fs::exists(folder / "assets")) fs::create_directory_symlink(assets, folder / "assets");
  std::ofstream(mRoot / "session") << session;
  const std::string screens = ScreensFolder();
  std::string command = "cd '" + folder.string() + "' && env SDL_VIDEODRIVER=" + (screens.empty() ? "dummy" : "x11") +
                        " SDL_AUDIODRIVER=dummy SDL_RENDER_VSYNC=0" +
                        " XDG_DATA_HOME='" + (mRoot / "xdg").string() + "' HOME='" + mRoot.string() + "'" +
                        " TARVELON_HARNESS_SCRIPT='" + (mRoot / "session").string() + "'" +
                        " TARVELON_HARNESS_TRANSCRIPT='" + (mRoot / "transcript").string() + "'" +
                        " timeout " + std::to_string(timeoutSeconds) + " ./" + program + " " + arguments + " > '" +
                        (mRoot / "output").string() + "' 2>&1";
  if (!screens.empty()) {
    fs::create_directories(screens);
    auto shoot = [&](const fs::path& frame, const std::string& pointer) {
      // The screen must show the frame the game captured, in more than a few colours.
      fs::path shot = fs::path(screens) / frame.filename();
      std::string xshot = "'" + (bin / "xshot").string() + "' '" + shot.string() + "' 16 '" + frame.string() + "' " +
                          pointer + " > '" + (mRoot / "xshot").string() + "' 2>&1";
      EXPECT_EQ(std::system(xshot.c_str()), 0) << ReadFile(mRoot / "xshot");
    };
    return RunShootingFrames(command, mRoot / "transcript", mRoot, shoot);
  }
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string THarnessRun::Settle(const std::string& name) const {
  std::string line = "settle " + Frame(name).string() + " 60000\n";
  if (!ScreensFolder().empty()) line += "waitfor " + ShotMarker(Frame(name)).string() + " 60000\n";
  return line;
}

std::string THarnessRun::CompareFrames(const std::string& name, const std::string& otherName) const {
  return CompareFrameFiles(Frame(name), Frame(otherName));
}

std::string THarnessRun::MatchGoldenFrame(const std::string& name, const std::string& relative) const {
  fs::path golden = fs::path(TARVELON_GOLDEN) / relative;
  if (IsUpdatingGoldens()) {
    std::error_code error;
    fs::create_directories(golden.parent_path(), error);
    fs::copy_file(Frame(name), golden, fs::copy_options::overwrite_existing, error);
    return error ? "cannot store " + golden.string() + ": " + error.message() : "";
  }
  return CompareWithGoldenFrame(name, relative);
}

std::string THarnessRun::CompareWithGoldenFrame(const std::string& name, const std::string& relative) const {
  return CompareFrameFiles(Frame(name), fs::path(TARVELON_GOLDEN) / relative);
}

std::string THarnessRun::ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
