#include <gtest/gtest.h>

#include <memory>

#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"
#include "script/lua_glue.h"
#include "script/lua_object_wrapper.h"
#include "script_test_util.h"

namespace {

class WrapperTest : public TScriptTest {
 protected:
  void SetUp() override {
    TScriptTest::SetUp();
    L = lua_open();
    luaopen_standard(L);
    OpenLuaGlue(L);
  }
  void TearDown() override {
    lua_close(L);
    TScriptTest::TearDown();
  }
  // Pushes the global and wraps it.
  template <typename Wrapper = TLuaObjectWrapper>
  std::unique_ptr<Wrapper> Wrap(const char* global) {
    lua_pushstring(L, global);
    lua_rawget(L, LUA_GLOBALSINDEX);
    return std::make_unique<Wrapper>(L);
  }
  // Whether the weak table `weak' still holds its entry after a full collection.
  bool StillReachable() {
    RunLua(L, "collectgarbage(0); gAlive = next(weak) ~= nil");
    return GlobalText(L, "gAlive") == "true";
  }
  lua_State* L = nullptr;
};

TEST_F(WrapperTest, KeepsTheValueAliveUntilReleasedOnce) {
  RunLua(L, "weak = setmetatable({}, {__mode = 'k'}); value = {}; weak[value] = true");
  auto wrapper = Wrap("value");
  EXPECT_EQ(lua_gettop(L), 0);  // the value was taken off the stack
  RunLua(L, "value = nil");
  EXPECT_TRUE(StillReachable());

  ASSERT_TRUE(wrapper->PushTable());
  EXPECT_TRUE(lua_istable(L, -1));
  lua_pop(L, 1);

  wrapper->Release();
  EXPECT_TRUE(wrapper->IsReleased());
  EXPECT_FALSE(StillReachable());
  ASSERT_TRUE(wrapper->PushTable());  // a released wrapper pushes nil
  EXPECT_TRUE(lua_isnil(L, -1));
  lua_pop(L, 1);
  wrapper.reset();  // the destructor does not clear a second time
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(WrapperTest, TwoWrappersOverOneValueHoldTwoEntries) {
  RunLua(L, "weak = setmetatable({}, {__mode = 'k'}); value = {}; weak[value] = true");
  auto first = Wrap("value");
  auto second = Wrap("value");
  RunLua(L, "value = nil");
  first.reset();
  EXPECT_TRUE(StillReachable());
  ASSERT_TRUE(second->PushTable());
  EXPECT_TRUE(lua_istable(L, -1));
  lua_pop(L, 1);
  second.reset();
  EXPECT_FALSE(StillReachable());
}

TEST_F(WrapperTest, WrapperMadeOnACoroutineOutlivesIt) {
  // The value lives in the shared registry: the wrapper must not keep the thread it was made
  // on, which is collected here while the wrapper still reads.
  lua_State* thread = lua_newthread(L);
  lua_pushstring(thread, "kept");
  auto wrapper = std::make_unique<TLuaObjectWrapper>(thread);
  lua_pop(L, 1);
  RunLua(L, "collectgarbage(0)");
  EXPECT_EQ(wrapper->GetState(), L);
  ASSERT_TRUE(wrapper->PushTable());
  EXPECT_STREQ(lua_tostring(L, -1), "kept");
  lua_pop(L, 1);
}

TEST_F(WrapperTest, PushToAnotherThreadOfTheState) {
  lua_pushnumber(L, 42);
  TLuaObjectWrapper wrapper(L);
  lua_State* thread = lua_newthread(L);
  ASSERT_TRUE(wrapper.PushTo(thread));
  EXPECT_EQ(lua_tonumber(thread, -1), 42);
  EXPECT_EQ(lua_gettop(L), 1);  // only the thread value
  lua_pop(L, 1);
}

TEST_F(WrapperTest, FunctionCallKeepsResultAndHandlerOnTheStack) {
  RunLua(L, "function f() gCalled = (gCalled or 0) + 1; return 'done' end");
  auto function = Wrap<TLuaFunction>("f");
  lua_pushstring(L, "below");
  {
    LuaStackGuard guard(L);
    EXPECT_TRUE(function->Call());
    ASSERT_EQ(lua_gettop(L), 3);
    EXPECT_TRUE(lua_isfunction(L, 2));  // the `_ALERT' copy sits just below the result
    EXPECT_STREQ(lua_tostring(L, 3), "done");
  }
  EXPECT_EQ(lua_gettop(L), 1);
  EXPECT_STREQ(lua_tostring(L, 1), "below");  // nothing below the call was moved
  EXPECT_EQ(GlobalText(L, "gCalled"), "1");
  lua_pop(L, 1);
}

TEST_F(WrapperTest, FunctionCallErrorsGoToAlertAndNonFunctionsDoNothing) {
  RunLua(L, "function bad() error('broken on purpose') end; notAFunction = 5");
  auto bad = Wrap<TLuaFunction>("bad");
  {
    LuaStackGuard guard(L);
    EXPECT_FALSE(bad->Call());
  }
  EXPECT_EQ(CountInLog("Lua error: test:1: broken on purpose"), 1) << ReadLog();

  auto number = Wrap<TLuaFunction>("notAFunction");
  EXPECT_FALSE(number->Call());
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(WrapperTest, ThreadIsAnchoredWhileTheOwnerLives) {
  RunLua(L, "weak = setmetatable({}, {__mode = 'k'})");
  auto thread = std::make_unique<TLuaThread>(L);
  lua_State* T = thread->GetThread();
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(lua_gettop(L), 0);
  // Find the thread value among the registry's entries and note it in the weak table.
  lua_pushliteral(L, "weak");
  lua_rawget(L, LUA_GLOBALSINDEX);
  lua_pushnil(L);
  while (lua_next(L, LUA_REGISTRYINDEX)) {
    if (lua_tothread(L, -1) == T) {
      lua_pushboolean(L, 1);
      lua_rawset(L, 1);
      break;
    }
    lua_pop(L, 1);
  }
  lua_settop(L, 0);
  EXPECT_TRUE(StillReachable());
  RunLua(T, "gRanOnThread = true");
  EXPECT_EQ(GlobalText(L, "gRanOnThread"), "true");  // globals are shared
  thread.reset();
  EXPECT_FALSE(StillReachable());
}

}  // namespace
