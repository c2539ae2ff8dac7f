// Arbitrary bytes as source compile or give a syntax error; they never crash.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lua_test_util.h"

namespace luatest {
namespace {

int LoadOnly(lua_State* L, const std::string& s) {
  int status = luaL_loadbuffer(L, s.data(), s.size(), "=fuzz");
  lua_settop(L, 0);
  return status;
}

TEST(LuaRobustness, RandomBytesLoadOrFail) {
  std::string out;
  lua_State* L = OpenState(&out);
  std::mt19937 rng(1234);
  const std::string alphabet = "abcxyzLn0123456789 .,;:=<>~&|^+-*/%#()[]{}\"'\\\n\t\x01\x80\xff";
  for (int i = 0; i < 3000; i++) {
    std::string s(rng() % 64, '\0');
    for (char& c : s) c = (i % 2) ? char(rng()) : alphabet[rng() % alphabet.size()];
    int status = LoadOnly(L, s);
    EXPECT_TRUE(status == 0 || status == LUA_ERRSYNTAX || status == LUA_ERRRUN) << status;
  }
  lua_close(L);
}

TEST(LuaRobustness, MutatedProgramsLoadOrFail) {
  std::string out;
  lua_State* L = OpenState(&out);
  const std::string program =
      "local t = {&4 &8 1, 2, x = L\"w\\x263A\"} for i = 1, 3 do if i == 2 then continue end "
      "while true do break end end function t:m(a, ...) return a << 2 | 1, arg.n end "
      "repeat local s = [[long]] .. 0x1f until true return t";
  ASSERT_EQ(LoadOnly(L, program), 0);
  std::mt19937 rng(99);
  for (int i = 0; i < 3000; i++) {
    std::string s = program;
    int edits = 1 + int(rng() % 4);
    for (int e = 0; e < edits; e++) {
      size_t pos = rng() % s.size();
      switch (rng() % 3) {
        case 0: s[pos] = char(rng()); break;
        case 1: s.erase(pos, 1 + rng() % 5); break;
        default: s.insert(pos, 1, "(){}[]\"'=&|.L\\"[rng() % 14]); break;
      }
      if (s.empty()) s = "x";
    }
    int status = LoadOnly(L, s);
    EXPECT_TRUE(status == 0 || status == LUA_ERRSYNTAX || status == LUA_ERRRUN) << status;
  }
  lua_close(L);
}

TEST(LuaRobustness, DeepNestingIsAnError) {
  RunResult r = RunChunk(std::string(100000, '{'));
  EXPECT_EQ(r.status, LUA_ERRSYNTAX);
  r = RunChunk("x = " + std::string(100000, '-') + "1");
  EXPECT_EQ(r.status, LUA_ERRSYNTAX);
  r = RunChunk(std::string(50000, '(') + "x");
  EXPECT_EQ(r.status, LUA_ERRSYNTAX);
}

TEST(LuaRobustness, NativeRecursionIsBounded) {
  // each level nests a native call (a metamethod): the limit is an error, not a crash
  RunResult r = RunChunk("local t = setmetatable({}, {}) getmetatable(t).__index = function(t, k) return t[k] end return t.x");
  EXPECT_EQ(r.error, "test:1: C stack overflow") << r.error;
  r = RunChunk("local function f() return coroutine.wrap(f)() end f()");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.error.find("C stack overflow"), std::string::npos) << r.error;
  r = RunChunk("local function f() return pcall(f) end print(f())");
  EXPECT_EQ(r.status, 0) << r.error;
}

TEST(LuaRobustness, FormatStopsAtTheEndOfItsString) {
  RunResult r = RunChunk("print(pcall(string.format, '%'))");
  EXPECT_EQ(r.output, "false\tinvalid option to `format'\n");
}

}  // namespace
}  // namespace luatest
