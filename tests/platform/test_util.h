#pragma once
// Helpers of the platform tests: a temporary folder, file writing, a fake engine timer,
// and a clean slate of the process-wide state.

#include <cstdint>
#include <string>

#include "platform/engine_string.h"

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const TString& Path() const { return mPath; }
  TString operator/(const char* name) const { return mPath + "/" + name; }

 private:
  TString mPath;
};

// Writes bytes to a path, creating the folders on the way.
void WriteTextFile(const TString& path, const std::string& bytes);
std::string ReadTextFile(const TString& path);

// A fake engine timer: GetTimer() answers FakeNow while installed.
extern uint32_t FakeNow;
struct TFakeTimer {
  explicit TFakeTimer(uint32_t start = 1000);
  ~TFakeTimer();
};

// Empties settings, file map, exclusions, packages and data folders; logging off.
void ResetPlatformState();

inline std::string Fixture(const char* name) { return std::string(TARVELON_FIXTURES) + "/platform/" + name; }
