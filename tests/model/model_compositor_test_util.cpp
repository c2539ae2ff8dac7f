#include "model_compositor_test_util.h"

#include "model/highscore_system.h"
#include "model/model_compositor.h"

void TModelTextTest::SetUp() {
  TModelTest::SetUp();
  CHighscoreSystem::CreateInstance();
  CGame::CreateInstance();
  CModelCompositor::Recreate();
  Run("require = function() end");
}

void TModelTextTest::TearDown() {
  CModelCompositor::Destroy();
  TModelTest::TearDown();
}

std::string TModelTextTest::Save() {
  std::string text;
  Game().Serialize(text);
  return text;
}

void TModelTextTest::Reload(const std::string& text) {
  CHighscoreSystem::CreateInstance();
  CGame::DestroyInstance();
  CGame::CreateInstance();
  Run(text);
}

std::unique_ptr<TLuaTable> TModelTextTest::Global(const char* name) {
  lua_pushstring(L(), name);
  lua_rawget(L(), LUA_GLOBALSINDEX);
  return std::make_unique<TLuaTable>(L());
}

void TModelTextTest::RunOneScene(const std::string& make, const std::string& fields) {
  CGame::DestroyInstance();
  CGame::CreateInstance();
  Run("MakeGame{ MakeLevel{ " + make + "{ seqId = 1, " + fields + " } } }");
}
