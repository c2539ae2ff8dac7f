#include "graphics_test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/file_map.h"
#include "platform/log.h"

TGraphicsTestLog::TGraphicsTestLog() {
  char pattern[] = "/tmp/tarvelon_graphics_XXXXXX";
  mFolder = mkdtemp(pattern);
  OpenLogFile(mFolder.c_str());
  SetDataFolders(mFolder.c_str(), "", "");
}

TGraphicsTestLog::~TGraphicsTestLog() {
  OpenLogFile(nullptr);
  SetDataFolders("", "", "");
  std::error_code error;
  std::filesystem::remove_all(mFolder, error);
}

std::string TGraphicsTestLog::Text() const {
  std::ifstream in(mFolder + "/logfile.txt", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TGraphicsTestLog::TakeNew() {
  std::string text = Text();
  std::string fresh = mSeen <= text.size() ? text.substr(mSeen) : text;
  mSeen = text.size();
  return fresh;
}

TString GraphicsFixture(const char* name) {
  return TString::Printf("::%s/graphics/%s", TARVELON_FIXTURES, name);
}

std::vector<uint8_t> ReadFixtureBytes(const char* name) {
  std::ifstream in(std::string(TARVELON_FIXTURES) + "/graphics/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
