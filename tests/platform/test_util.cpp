#include "test_util.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/package.h"
#include "platform/settings.h"
#include "platform/timer.h"

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvelon-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  if (!made) abort();
  mPath = made;
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(mPath.c_str(), ignored);
}

void WriteTextFile(const TString& path, const std::string& bytes) {
  std::filesystem::path p(path.c_str());
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

std::string ReadTextFile(const TString& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

uint32_t FakeNow = 0;

namespace {
uint32_t FakeSource() { return FakeNow; }
}  // namespace

TFakeTimer::TFakeTimer(uint32_t start) {
  FakeNow = start;
  SetTimerSource(&FakeSource);
}

TFakeTimer::~TFakeTimer() { SetTimerSource(nullptr); }

void ResetPlatformState() {
  OpenLogFile(nullptr);
  SetSettingChangedHook(nullptr);
  SetCheatCodeCheck(nullptr);
  ClearConfig();
  ClearFileMap();
  ClearFileExclusions();
  ClearPackageTable();
  SetDataFolders("", "", "");
  SetAssetFolder("assets");
}
