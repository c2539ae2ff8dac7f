#include "harness_run.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void THarnessRun::SetUp() {
  char pattern[] = "/tmp/tarvelon-e2e-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  mRoot = pattern;
}

void THarnessRun::TearDown() {
  std::error_code ignored;
  fs::remove_all(mRoot, ignored);
}

int THarnessRun::Run(const char* program, const fs::path& assets, const std::string& session, int timeoutSeconds) {
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
                        " timeout " + std::to_string(timeoutSeconds) + " ./" + program + " > '" + (mRoot / "output").string() + "' 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string THarnessRun::ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
