#include "harness_run.h"

#include <stdlib.h>
#include <sys/wait.h>

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
  std::string command = "cd '" + folder.string() + "' && env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy" +
                        " XDG_DATA_HOME='" + (mRoot / "xdg").string() + "' HOME='" + mRoot.string() + "'" +
                        " TARVELON_HARNESS_SCRIPT='" + (mRoot / "session").string() + "'" +
                        " TARVELON_HARNESS_TRANSCRIPT='" + (mRoot / "transcript").string() + "'" +
                        " timeout " + std::to_string(timeoutSeconds) + " ./" + program + " " + arguments + " > '" +
                        (mRoot / "output").string() + "' 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
