// Precompiled chunks: the header, round trips, byte order, the loader's messages, and
// corrupt chunks that are refused or verified, never crash.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>

#include "lua_test_util.h"

namespace luatest {
namespace {

int Append(lua_State*, const void* p, size_t n, void* ud) {
  static_cast<std::string*>(ud)->append(static_cast<const char*>(p), n);
  return 1;
}

std::string Compile(const std::string& source, const std::string& name = "=chunk") {
  std::string out;
  lua_State* L = OpenState(&out);
  EXPECT_EQ(luaL_loadbuffer(L, source.data(), source.size(), name.c_str()), 0) << lua_tostring(L, -1);
  std::string chunk;
  lua_dump(L, Append, &chunk);
  lua_close(L);
  return chunk;
}

// Loads a chunk; returns the error message or "" when it loaded.
std::string LoadError(const std::string& chunk, const char* name = "=test") {
  std::string out;
  lua_State* L = OpenState(&out);
  int status = luaL_loadbuffer(L, chunk.data(), chunk.size(), name);
  std::string msg = status == 0 ? "" : (lua_tostring(L, -1) ? lua_tostring(L, -1) : "?");
  lua_close(L);
  return msg;
}

TEST(LuaChunk, HeaderBytes) {
  std::string chunk = Compile("return 1");
  const unsigned char expected[] = {0x1B, 0x4C, 0x75, 0x61, 0x50, 0x01, 0x04, 0x04, 0x04, 0x06, 0x08,
                                    0x09, 0x09, 0x08, 0xB6, 0x09, 0x93, 0x68, 0xE7, 0xF5, 0x7D, 0x41};
  ASSERT_GE(chunk.size(), sizeof expected);
  EXPECT_EQ(memcmp(chunk.data(), expected, sizeof expected), 0);
}

TEST(LuaChunk, RoundTripRunsLikeTheSource) {
  const char* programs[] = {"closures", "coroutines", "metatables", "recursion", "tables"};
  for (const char* p : programs) {
    SCOPED_TRACE(p);
    std::string source = ReadFile(std::string(TARVELON_FIXTURES) + "/script/corpus/" + p + ".lua");
    RunResult fromSource = RunChunk(source, std::string("@") + p + ".lua");
    RunResult fromChunk = RunChunk(Compile(source, std::string("@") + p + ".lua"), "=ignored");
    EXPECT_EQ(fromChunk.status, 0) << fromChunk.error;
    EXPECT_EQ(fromChunk.output, fromSource.output);
  }
  RunResult r = RunChunk(Compile("local w = L\"\" print(type(w), w == L\"\", L\"\\x263A\" == L\"\\x263a\")"));
  EXPECT_EQ(r.output, "wstring\ttrue\ttrue\n");
}

TEST(LuaChunk, EmptyWideConstantHasCountOne) {
  std::string chunk = Compile("return L\"\"");
  const char wideConst[] = {9, 1, 0, 0, 0, 0, 0};  // type 9, count 1, the zero unit
  EXPECT_NE(chunk.find(std::string(wideConst, sizeof wideConst)), std::string::npos);
}

// Rewrites a little-endian chunk in big-endian order, walking the format.
class Swapper {
 public:
  explicit Swapper(const std::string& in) : mIn(in) {}
  std::string Run() {
    Copy(4);
    Copy(1);
    mOut += '\0';  // big-endian
    mPos++;
    Copy(8);
    Swap(8);
    Function();
    return mOut;
  }

 private:
  void Copy(size_t n) {
    mOut += mIn.substr(mPos, n);
    mPos += n;
  }
  void Swap(size_t n) {
    std::string part = mIn.substr(mPos, n);
    mOut.append(part.rbegin(), part.rend());
    mPos += n;
  }
  uint32_t Peek4() {
    uint32_t v;
    memcpy(&v, mIn.data() + mPos, 4);
    return v;
  }
  void String() {
    uint32_t n = Peek4();
    Swap(4);
    Copy(n);
  }
  void Function() {
    String();
    Swap(4);
    Copy(4);
    uint32_t n = Peek4();
    Swap(4);
    for (uint32_t i = 0; i < n; i++) Swap(4);
    n = Peek4();
    Swap(4);
    for (uint32_t i = 0; i < n; i++) {
      String();
      Swap(4);
      Swap(4);
    }
    n = Peek4();
    Swap(4);
    for (uint32_t i = 0; i < n; i++) String();
    n = Peek4();
    Swap(4);
    for (uint32_t i = 0; i < n; i++) {
      int t = static_cast<unsigned char>(mIn[mPos]);
      Copy(1);
      if (t == 3) Swap(8);
      if (t == 4) String();
      if (t == 9) {
        uint32_t units = Peek4();
        Swap(4);
        for (uint32_t u = 0; u < units; u++) Swap(2);
      }
    }
    n = Peek4();
    Swap(4);
    for (uint32_t i = 0; i < n; i++) Function();
    n = Peek4();
    Swap(4);
    for (uint32_t i = 0; i < n; i++) Swap(4);
  }
  const std::string& mIn;
  size_t mPos = 0;
  std::string mOut;
};

TEST(LuaChunk, BigEndianChunksLoad) {
  std::string source = "local w = L\"A\\x263A\" local n = 2.5 print(tostring(w), n * 2, string.byte(tostring(w), 2))";
  std::string big = Swapper(Compile(source)).Run();
  ASSERT_EQ(big[5], '\0');
  RunResult r = RunChunk(big);
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(r.output, RunChunk(source).output);
}

TEST(LuaChunk, LoaderMessages) {
  std::string good = Compile("local x = 'k' return x");
  auto with = [&](size_t pos, char c) {
    std::string s = good;
    s[pos] = c;
    return s;
  };
  EXPECT_EQ(LoadError(with(1, 'X')), "bad signature in test");
  EXPECT_EQ(LoadError(with(4, 0x51)), "test too new: read version 5.1; expected at most 5.0");
  EXPECT_EQ(LoadError(with(4, 0x40)), "test too old: read version 4.0; expected at least 5.0");
  EXPECT_EQ(LoadError(with(6, 8)), "virtual machine mismatch in test: size of int is 4 but read 8");
  EXPECT_EQ(LoadError(with(7, 8)), "virtual machine mismatch in test: size of size_t is 4 but read 8");
  EXPECT_EQ(LoadError(with(9, 7)), "virtual machine mismatch in test: size of OP is 6 but read 7");
  EXPECT_EQ(LoadError(with(13, 4)), "virtual machine mismatch in test: size of number is 8 but read 4");
  EXPECT_EQ(LoadError(with(21, 0x42)), "unknown number format in test");
  // test numbers far outside any integer type are refused, not converted
  for (double x : {1e300, -1e300, double(INFINITY), double(NAN), 0x1p63, 31415927.0}) {
    std::string s = good;
    memcpy(&s[14], &x, sizeof x);
    EXPECT_EQ(LoadError(s), "unknown number format in test") << x;
  }
  EXPECT_EQ(LoadError(good.substr(0, 30)), "unexpected end of file in test");
  EXPECT_EQ(LoadError(good.substr(0, 10), "@file.luac"), "unexpected end of file in file.luac");
  EXPECT_EQ(LoadError(good.substr(0, 10), good.substr(0, 4).c_str()), "unexpected end of file in binary string");
  // the constant "k": its type byte comes right before its count
  size_t k = good.find(std::string("\x04\x02\x00\x00\x00k", 6));
  ASSERT_NE(k, std::string::npos);
  for (int t : {1, 2, 5, 6, 7, 8, 10, 200})
    EXPECT_EQ(LoadError(with(k, char(t))), "bad constant type (" + std::to_string(t) + ") in test");
  // a negative count
  std::string neg = good;
  const size_t lineDefined = 22 + 4 + 7;  // after the header and the source "=chunk"
  for (size_t i = 0; i < 4; i++) neg[lineDefined + i] = '\xff';
  EXPECT_EQ(LoadError(neg), "bad integer in test");
}

TEST(LuaChunk, CodeCheckerRefusesBadCode) {
  std::string good = Compile("local a, b = 1, 2 return a + b");
  // the last instruction is the final RETURN: make it a jump far away
  std::string bad = good;
  size_t last = bad.size() - 4;
  const unsigned char jmp[] = {0x18, 0xFF, 0xFF, 0x00};  // JMP with a huge offset
  memcpy(&bad[last], jmp, 4);
  EXPECT_EQ(LoadError(bad), "bad code in test");
  bad = good;
  bad[last] = char(0x3F);  // opcode 63 does not exist
  EXPECT_EQ(LoadError(bad), "bad code in test");
}

TEST(LuaChunk, TruncatedOrChangedChunksNeverCrash) {
  std::string good = Compile(
      "local t = {1, L\"w\", x = 2.5} local function f(a, ...) return a .. arg.n end "
      "for i = 1, 2 do t[i] = f(i, 1, 2) end return t");
  std::string out;
  lua_State* L = OpenState(&out);
  int loaded = 0;
  for (size_t n = 1; n < good.size(); n++) {  // (no bytes at all is an empty script)
    int status = luaL_loadbuffer(L, good.data(), n, "=cut");
    EXPECT_NE(status, 0) << "a chunk cut at " << n << " loaded";
    lua_settop(L, 0);
  }
  for (size_t pos = 0; pos < good.size(); pos++) {
    for (int delta : {1, 0x40, 0x80, 0xFF}) {
      std::string bad = good;
      bad[pos] = char(bad[pos] + delta);
      if (luaL_loadbuffer(L, bad.data(), bad.size(), "=changed") == 0) loaded++;
      lua_settop(L, 0);
    }
  }
  EXPECT_GT(loaded, 0);  // changes to names, lines and constants still load
  lua_close(L);
}

// Runs a loaded function in a child process: a changed chunk that passed the checker may
// loop for ever, but it must never crash.
bool RunsWithoutCrashing(lua_State* L) {
  pid_t pid = fork();
  if (pid == 0) {
    alarm(2);
    lua_pcall(L, 0, 0, 0);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) return WEXITSTATUS(status) == 0;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
}

TEST(LuaChunk, ChangedChunksThatLoadRunWithoutCrashing) {
  std::string good = Compile(
      "local t = {1, 2, x = 2.5} local function f(a, b) return a + b, t end "
      "for i = 1, 3 do t[i] = f(i, 1) end local s = 0 for k, v in pairs(t) do s = s + 1 end return s");
  std::string out;
  lua_State* L = OpenState(&out);
  int ran = 0;
  for (size_t pos = 22; pos < good.size() && ran < 120; pos++) {
    for (int delta : {1, 0x21}) {
      std::string bad = good;
      bad[pos] = char(bad[pos] + delta);
      if (luaL_loadbuffer(L, bad.data(), bad.size(), "=changed") == 0) {
        EXPECT_TRUE(RunsWithoutCrashing(L)) << "byte " << pos << " + " << delta;
        ran++;
      }
      lua_settop(L, 0);
    }
  }
  EXPECT_GT(ran, 20);
  lua_close(L);
}

TEST(LuaChunk, StringDumpAndLoadstring) {
  RunResult r = RunChunk(
      "local function f(x) return x * 2 end local s = string.dump(f) print(type(s), string.byte(s, 1)) "
      "print(loadstring(s)(21)) print(pcall(string.dump, print))");
  EXPECT_EQ(r.output, "string\t27\n42\nfalse\tunable to dump given function\n");
}

}  // namespace
}  // namespace luatest
