#include "persistence/persistence_test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/settings.h"

TPersistenceSandbox::TPersistenceSandbox() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvelon-persist-XXXXXX").string();
  if (!mkdtemp(pattern.data())) abort();
  mRoot = pattern;
  ClearConfig();
  ClearFileMap();
  SetConfig("encryptionkey", TestKey);
  SetConfig("gamename", "Tarvelon");
  setenv("XDG_DATA_HOME", mRoot.c_str(), 1);
  mUser = GetDataFolder(false, "Tarvelon");
  if (mUser.IsEmpty()) abort();
  SetDataFolders(mUser, GetDataFolder(true, "Tarvelon"), "");
  OpenLogFile(mUser.c_str());
}

TPersistenceSandbox::~TPersistenceSandbox() {
  OpenLogFile(nullptr);
  SetDataFolders("", "", "");
  SetCheatCodeCheck(nullptr);
  ClearConfig();
  ClearFileMap();
  unsetenv("XDG_DATA_HOME");
  std::error_code ignored;
  std::filesystem::permissions(mUser.c_str(), std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(mRoot.c_str(), ignored);
}

std::string TPersistenceSandbox::Log() const { return ReadBytes(GetLogPath()); }

void TPersistenceSandbox::ClearLog() const { OpenLogFile(mUser.c_str()); }

std::string ReadBytes(const TString& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const TString& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string Hex(const void* data, size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    auto b = static_cast<const unsigned char*>(data)[i];
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string Hex(const std::string& bytes) { return Hex(bytes.data(), bytes.size()); }

std::string FromHex(const char* hex) {
  std::string out;
  for (const char* p = hex; p[0] && p[1]; p += 2) out += char(std::stoi(std::string(p, 2), nullptr, 16));
  return out;
}
