#pragma once
// Helpers of the graphics tests: a temporary folder holding the log, log inspection, and
// the fixture names as file-layer paths.

#include <string>
#include <vector>

#include "platform/engine_string.h"

// A temporary folder holding the engine log and standing for "user:", removed again at
// the end.
class TGraphicsTestLog {
 public:
  TGraphicsTestLog();
  ~TGraphicsTestLog();
  TGraphicsTestLog(const TGraphicsTestLog&) = delete;
  TGraphicsTestLog& operator=(const TGraphicsTestLog&) = delete;

  const std::string& Folder() const { return mFolder; }
  // The log written so far.
  std::string Text() const;
  // Lines logged since the last call.
  std::string TakeNew();

 private:
  std::string mFolder;
  size_t mSeen = 0;
};

// "::" + the fixture's path, as the file layer takes it.
TString GraphicsFixture(const char* name);
std::vector<uint8_t> ReadFixtureBytes(const char* name);
