#pragma once
// Helpers of the persistence tests: a temporary user data folder behind "user:", the log
// captured in it, and a clean slate of the process-wide state.

#include <string>

#include "platform/engine_string.h"

constexpr const char* TestKey = "TarvelonKey1";

// A fresh folder set as the player's data folder through XDG_DATA_HOME, the settings map
// holding the test key, and the log written into the folder. Undone at destruction.
class TPersistenceSandbox {
 public:
  TPersistenceSandbox();
  ~TPersistenceSandbox();
  TPersistenceSandbox(const TPersistenceSandbox&) = delete;
  TPersistenceSandbox& operator=(const TPersistenceSandbox&) = delete;

  const TString& Root() const { return mRoot; }
  const TString& UserFolder() const { return mUser; }
  TString UserPath(const char* name) const { return mUser + "/" + name; }
  std::string Log() const;
  void ClearLog() const;

 private:
  TString mRoot;
  TString mUser;
};

std::string ReadBytes(const TString& path);
void WriteBytes(const TString& path, const std::string& bytes);
std::string Hex(const void* data, size_t length);
std::string Hex(const std::string& bytes);
std::string FromHex(const char* hex);
inline std::string Fixture(const char* name) {
  return std::string(TARVELON_FIXTURES) + "/persistence/" + name;
}
