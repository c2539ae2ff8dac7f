#pragma once
// Helpers of the script binding tests: a temporary working folder with an asset folder, a
// log to read back, an asset cache, and a few shortcuts for running Lua text.

#include <gtest/gtest.h>

#include <string>

#include "platform/asset.h"
#include "platform/engine_string.h"
#include "platform/test_util.h"
#include "script/lua/lua.h"

class TScriptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file below the asset folder and scans the folder again.
  void WriteAsset(const char* name, const std::string& text);
  // Copies a fixture of tests/fixtures/script/binding into the asset folder.
  void CopyFixture(const char* name);
  std::string ReadLog() const;
  // How often the text occurs in the log.
  int CountInLog(const std::string& text) const;

  TTempFolder mRoot;
  TString mOldDir;
  TAssetManager mAssets;
};

// Runs Lua text in L and fails the test on an error; leaves nothing on the stack.
void RunLua(lua_State* L, const char* text);
// Runs Lua text protected and answers the error message ("" when it ran).
std::string LuaError(lua_State* L, const char* text);
// The global's value as text (through tostring), for short checks.
std::string GlobalText(lua_State* L, const char* name);
