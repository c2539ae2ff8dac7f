#include "script_test_util.h"

#include <unistd.h>

#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "script/lua/lauxlib.h"

void TScriptTest::SetUp() {
  ResetPlatformState();
  mOldDir = GetCurrentDir();
  ASSERT_EQ(chdir(mRoot.Path().c_str()), 0);
  MakeFolder("assets");
  OpenLogFile((mRoot / "log").c_str());
  SetAssetManager(&mAssets);
}

void TScriptTest::TearDown() {
  SetAssetManager(nullptr);
  ResetPlatformState();
  if (chdir(mOldDir.c_str()) != 0) ADD_FAILURE() << "cannot return to " << mOldDir.c_str();
}

void TScriptTest::WriteAsset(const char* name, const std::string& text) {
  WriteTextFile(mRoot / (std::string("assets/") + name).c_str(), text);
  InitAssetFolders();
}

void TScriptTest::CopyFixture(const char* name) {
  std::string text = ReadTextFile((std::string(TARVELON_FIXTURES) + "/script/binding/" + name).c_str());
  ASSERT_FALSE(text.empty()) << name;
  WriteAsset(name, text);
}

std::string TScriptTest::ReadLog() const { return ReadTextFile(GetLogPath()); }

int TScriptTest::CountInLog(const std::string& text) const {
  std::string log = ReadLog();
  int count = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size())) count++;
  return count;
}

std::string LuaError(lua_State* L, const char* text) {
  int top = lua_gettop(L);
  std::string error;
  if (luaL_loadbuffer(L, text, strlen(text), "=test") != 0 || lua_pcall(L, 0, 0, 0) != 0) {
    const char* message = lua_tostring(L, -1);
    error = message ? message : "(not a string)";
  }
  lua_settop(L, top);
  return error;
}

void RunLua(lua_State* L, const char* text) {
  std::string error = LuaError(L, text);
  EXPECT_EQ(error, "") << text;
}

std::string GlobalText(lua_State* L, const char* name) {
  int top = lua_gettop(L);
  lua_pushliteral(L, "tostring");
  lua_rawget(L, LUA_GLOBALSINDEX);
  lua_pushstring(L, name);
  lua_rawget(L, LUA_GLOBALSINDEX);
  std::string text;
  if (lua_pcall(L, 1, 1, 0) == 0 && lua_tostring(L, -1)) text = lua_tostring(L, -1);
  lua_settop(L, top);
  return text;
}
