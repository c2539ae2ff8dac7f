// The native interface: the dialect's extensions and the edge cases callers rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "lua_test_util.h"
#include "script/lua/lua_internal.h"

namespace luatest {
namespace {

class LuaApi : public ::testing::Test {
 protected:
  void SetUp() override { L = OpenState(&output); }
  void TearDown() override { lua_close(L); }
  void DoString(const char* s) {
    ASSERT_EQ(luaL_loadbuffer(L, s, strlen(s), "=api"), 0) << lua_tostring(L, -1);
    ASSERT_EQ(lua_pcall(L, 0, LUA_MULTRET, 0), 0) << lua_tostring(L, -1);
  }
  lua_State* L = nullptr;
  std::string output;
};

TEST_F(LuaApi, TypesAndTypeNames) {
  EXPECT_EQ(lua_type(L, 1), LUA_TNONE);
  EXPECT_STREQ(lua_typename(L, LUA_TNONE), "no value");
  EXPECT_STREQ(lua_typename(L, LUA_TWSTRING), "wstring");
  EXPECT_STREQ(lua_typename(L, LUA_TLIGHTUSERDATA), "userdata");
  const lua_WChar w[] = {'a', 'b', 'c', 'd', 'e', 0};
  lua_pushwstring(L, w);
  EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
  EXPECT_TRUE(lua_isstring(L, -1));
  EXPECT_EQ(lua_strlen(L, -1), 5u);
  EXPECT_EQ(lua_tostring(L, -1), nullptr);  // narrow readers see no string
  EXPECT_EQ(lua_wstrlen(lua_towstring(L, -1)), 5u);
  lua_pushwstring(L, nullptr);
  EXPECT_TRUE(lua_isnil(L, -1));
}

TEST_F(LuaApi, UserdataLengthsAndBoxedPointers) {
  void* block = lua_newuserdata(L, 1);
  EXPECT_EQ(lua_touserdata(L, -1), block);
  lua_newuserdata(L, 5);
  EXPECT_EQ(static_cast<tlua::LUserdata*>(L->top[-1].u.gc)->len, 6u);
  int x = 0;
  lua_pushboxedpointer(L, &x);
  EXPECT_EQ(lua_touserdata(L, -1), &x);
  EXPECT_EQ(lua_topointer(L, -1), &x);
  lua_pushboxedpointer(L, nullptr);
  EXPECT_EQ(lua_touserdata(L, -1), nullptr);
  EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
  lua_settop(L, 0);
  lua_setgcthreshold(L, 0);  // boxed blocks are freed with the size they were made with
}

TEST_F(LuaApi, NumbersToWideStrings) {
  lua_pushnumber(L, 0.1);
  const lua_WChar* w = lua_towstring(L, -1);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(WideToUtf8(w, lua_wstrlen(w)), "0.1");
  EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);  // converted in place
  lua_newtable(L);
  EXPECT_EQ(lua_towstring(L, -1), nullptr);
  EXPECT_EQ(lua_numbertowstring(L, -1), 0);
  lua_pushnumber(L, 12);
  EXPECT_EQ(lua_numbertowstring(L, -1), 1);
  EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
  lua_pushliteral(L, "x");
  EXPECT_EQ(lua_towstring(L, -1), nullptr);  // narrow strings are not converted
}

TEST_F(LuaApi, GetN) {
  DoString("return {n = 3.9}, {1, 2, nil, 4}, {}, {[1] = 1, [7] = 7}");
  EXPECT_EQ(lua_getn(L, 1), 3);
  EXPECT_EQ(lua_getn(L, 2), 4);
  EXPECT_EQ(lua_getn(L, 3), 0);
  EXPECT_EQ(lua_getn(L, 4), 7);
}

TEST_F(LuaApi, PerTypeMetatables) {
  lua_pushnumber(L, 1);
  ASSERT_EQ(lua_getmetatable(L, -1), 1);  // the (empty) number table
  lua_newtable(L);
  lua_pushliteral(L, "answer");
  lua_pushnumber(L, 42);
  lua_settable(L, -3);
  lua_setpertypemetatable(L, LUA_TNUMBER);
  DoString("return (7).answer");
  EXPECT_EQ(lua_tonumber(L, -1), 42);
  lua_getpertypemetatable(L, LUA_TSTRING);
  lua_pushliteral(L, "string");
  lua_gettable(L, LUA_GLOBALSINDEX);
  EXPECT_TRUE(lua_rawequal(L, -1, -2));  // the string library is the strings' table
  lua_pushliteral(L, "_string");
  lua_rawget(L, LUA_REGISTRYINDEX);
  EXPECT_TRUE(lua_istable(L, -1));
  lua_pushnumber(L, 3);
  lua_setpertypemetatable(L, LUA_TSTRING);  // not a table: dropped
  lua_getpertypemetatable(L, LUA_TSTRING);
  EXPECT_TRUE(lua_rawequal(L, -1, -3));
}

TEST_F(LuaApi, RegistryReferencesByIndex) {
  lua_pushliteral(L, "first");
  int ref = luaL_ref(L, LUA_REGISTRYINDEX);
  EXPECT_GE(ref, 3);
  lua_pushvalue(L, LUA_REFINDEX(ref));
  EXPECT_STREQ(lua_tostring(L, -1), "first");
  EXPECT_EQ(lua_type(L, LUA_REFINDEX(ref + 1000)), LUA_TNIL);  // absent: nil
  luaL_unref(L, LUA_REGISTRYINDEX, ref);
  lua_pushliteral(L, "second");
  EXPECT_EQ(luaL_ref(L, LUA_REGISTRYINDEX), ref);  // the free list hands it out again
}

TEST_F(LuaApi, StackFunctions) {
  for (int i = 1; i <= 5; i++) lua_pushnumber(L, i);
  lua_insert(L, 1);
  lua_remove(L, 2);
  lua_pushvalue(L, -1);
  lua_replace(L, 1);
  std::vector<int> v;
  for (int i = 1; i <= lua_gettop(L); i++) v.push_back(int(lua_tonumber(L, i)));
  EXPECT_EQ(v, (std::vector<int>{4, 2, 3, 4}));
  lua_settop(L, 6);
  EXPECT_TRUE(lua_isnil(L, 6));
  EXPECT_TRUE(lua_checkstack(L, 100));
  EXPECT_FALSE(lua_checkstack(L, 5000));
}

int Adder(lua_State* L) {
  lua_pushnumber(L, lua_tonumber(L, 1) + lua_tonumber(L, lua_upvalueindex(1)));
  return 1;
}

TEST_F(LuaApi, CallsAndErrors) {
  lua_pushnumber(L, 10);
  lua_pushcclosure(L, Adder, 1);
  lua_pushliteral(L, "add");
  lua_insert(L, -2);
  lua_settable(L, LUA_GLOBALSINDEX);
  DoString("return add(5)");
  EXPECT_EQ(lua_tonumber(L, -1), 15);
  lua_settop(L, 0);
  ASSERT_EQ(luaL_loadbuffer(L, "error({code = 7})", 17, "=e"), 0);
  EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN);
  EXPECT_TRUE(lua_istable(L, -1));
  lua_settop(L, 0);
  EXPECT_EQ(luaL_loadbuffer(L, "x = = 1", 7, "=s"), LUA_ERRSYNTAX);
  EXPECT_STREQ(lua_tostring(L, -1), "s:1: unexpected symbol near `='");
}

// The hook is told the true size of every block it frees or resizes.
struct BlockLedger {
  std::map<void*, size_t> live;
  bool sizesAgree = true;
};
BlockLedger* gLedger = nullptr;

void* LedgerHook(void*, void* block, size_t oldSize, size_t newSize, int, void*) {
  if (block) {
    auto it = gLedger->live.find(block);
    if (it == gLedger->live.end() || it->second != oldSize) gLedger->sizesAgree = false;
    if (it != gLedger->live.end()) gLedger->live.erase(it);
  }
  if (newSize == 0) {
    free(block);
    return nullptr;
  }
  void* r = realloc(block, newSize);
  gLedger->live[r] = newSize;
  return r;
}

TEST_F(LuaApi, AllocationHookSeesEveryBlock) {
  BlockLedger ledger;
  gLedger = &ledger;
  lua_AllocHook oldHook;
  void* oldUd;
  lua_getallochook(&oldHook, &oldUd);
  lua_setallochook(LedgerHook, nullptr);
  std::string out;
  lua_State* L2 = OpenState(&out);
  for (const char* p : {"closures", "coroutines", "gc", "metatables", "tables"}) {
    std::string source = ReadFile(std::string(TARVELON_FIXTURES) + "/script/corpus/" + p + ".lua");
    ASSERT_EQ(luaL_loadbuffer(L2, source.data(), source.size(), p), 0);
    ASSERT_EQ(lua_pcall(L2, 0, 0, 0), 0) << lua_tostring(L2, -1);
  }
  const char* wide = "local t = {} for i = 1, 100 do t[i] = towstring(i) .. L\"x\" end "
                     "local u = newproxy(true) getmetatable(u).__gc = function() end";
  ASSERT_EQ(luaL_loadbuffer(L2, wide, strlen(wide), "=w"), 0);
  ASSERT_EQ(lua_pcall(L2, 0, 0, 0), 0);
  lua_pushboxedpointer(L2, &ledger);
  EXPECT_GT(ledger.live.size(), 100u);
  lua_close(L2);
  lua_setallochook(oldHook, oldUd);
  EXPECT_TRUE(ledger.sizesAgree);
  EXPECT_TRUE(ledger.live.empty());  // everything handed out came back
  gLedger = nullptr;
}

// The small-block pool (on by default, off by default in sanitizer builds, where it is
// turned on here and poisons the blocks it holds) changes where blocks live, never what
// programs see: the corpus prints the same and leaves the state's byte count (which
// gcinfo reports and collections are timed by) the same with the pool and without it.
TEST(LuaSmallPool, ProgramsPrintAndCountTheSameWithAndWithoutThePool) {
  const bool saved = tlua::SmallPoolDefault();
  for (const char* p : {"closures", "coroutines", "gc", "metatables", "recursion", "tables"}) {
    SCOPED_TRACE(p);
    const std::string source = ReadFile(std::string(TARVELON_FIXTURES) + "/script/corpus/" + p + ".lua");
    std::string out[2];
    size_t bytes[2] = {};
    for (int pooled = 0; pooled < 2; ++pooled) {
      tlua::SetSmallPoolDefault(pooled != 0);
      lua_State* L = OpenState(&out[pooled]);
      EXPECT_EQ(L->g->pool.enabled, pooled != 0);
      ASSERT_EQ(luaL_loadbuffer(L, source.data(), source.size(), p), 0);
      EXPECT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
      bytes[pooled] = L->g->nblocks;
      lua_close(L);
    }
    EXPECT_EQ(out[1], out[0]);
    EXPECT_EQ(bytes[1], bytes[0]);
  }
  tlua::SetSmallPoolDefault(saved);
}

// Blocks of every small size and past the largest class, grown and shrunk within a
// class, across classes and out of the pool and back, keep their bytes, and the byte
// count comes back to where it was.
TEST(LuaSmallPool, BlocksKeepTheirBytesWhenResized) {
  const bool saved = tlua::SmallPoolDefault();
  tlua::SetSmallPoolDefault(true);
  std::string out;
  lua_State* L = OpenState(&out);
  const size_t before = L->g->nblocks;
  const size_t largest = tlua::SmallPool::kLargest;
  std::vector<std::pair<unsigned char*, size_t>> blocks;
  for (size_t n = 1; n <= largest + 40; n += 3) {
    auto* b = static_cast<unsigned char*>(tlua::Alloc(L, n));
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(n + i);
    blocks.push_back({b, n});
  }
  const size_t steps[] = {1, 15, 16, 17, 100, largest, largest + 1, 3 * largest};
  for (size_t k = 0; k < blocks.size(); ++k) {
    auto& [b, n] = blocks[k];
    const size_t to = steps[k % 8] + (k % 2 ? 0 : n);
    b = static_cast<unsigned char*>(tlua::Realloc(L, b, n, to));
    for (size_t i = 0; i < std::min(n, to); ++i) ASSERT_EQ(b[i], static_cast<unsigned char>(n + i)) << n << " to " << to;
    for (size_t i = std::min(n, to); i < to; ++i) b[i] = static_cast<unsigned char>(n + i);
    n = to;
  }
  for (auto& [b, n] : blocks) tlua::Free(L, b, n);
  EXPECT_EQ(L->g->nblocks, before);
  lua_close(L);
  tlua::SetSmallPoolDefault(saved);
}

TEST_F(LuaApi, ThreadsResumeAndReportYields) {
  lua_State* co = lua_newthread(L);
  const char* body = "local a = coroutine.yield(1) coroutine.yield(a * 2)";
  ASSERT_EQ(luaL_loadbuffer(co, body, strlen(body), "=co"), 0);
  EXPECT_FALSE(tlua::IsYielded(co));
  ASSERT_EQ(lua_resume(co, 0), 0);
  EXPECT_TRUE(tlua::IsYielded(co));
  EXPECT_EQ(lua_tonumber(co, -1), 1);
  lua_settop(co, 0);
  lua_pushnumber(co, 21);
  ASSERT_EQ(lua_resume(co, 1), 0);
  EXPECT_EQ(lua_tonumber(co, -1), 42);
  lua_settop(co, 0);
  ASSERT_EQ(lua_resume(co, 0), 0);  // runs to the end
  EXPECT_FALSE(tlua::IsYielded(co));
  EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(co, -1), "cannot resume dead coroutine");
}

int gFinalized = 0;

int CountFinalizer(lua_State*) {
  gFinalized++;
  return 0;
}

TEST(LuaApiClose, FinalizersRunAtClose) {
  std::string out;
  lua_State* L = OpenState(&out);
  gFinalized = 0;
  for (int i = 0; i < 3; i++) {
    lua_newuserdata(L, 8);
    lua_newtable(L);
    lua_pushliteral(L, "__gc");
    lua_pushcfunction(L, CountFinalizer);
    lua_settable(L, -3);
    lua_setmetatable(L, -2);
  }
  lua_close(L);  // all three are still on the stack: close runs their __gc
  EXPECT_EQ(gFinalized, 3);
}

int HugeUserdata(lua_State* L) {
  lua_newuserdata(L, size_t(4294967293u));
  return 0;
}

TEST_F(LuaApi, BlockTooBig) {
  EXPECT_EQ(lua_cpcall(L, HugeUserdata, nullptr), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(L, -1), "memory allocation error: block too big");
}

}  // namespace
}  // namespace luatest
