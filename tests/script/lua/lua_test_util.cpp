#include "lua_test_util.h"

#include <fstream>
#include <sstream>

#include "script/lua/lua_internal.h"

namespace luatest {

namespace {

const char kOutputKey = 0;  // its address keys the output string in the registry

std::string* OutputOf(lua_State* L) {
  lua_pushlightuserdata(L, const_cast<char*>(&kOutputKey));
  lua_rawget(L, LUA_REGISTRYINDEX);
  auto* out = static_cast<std::string*>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  return out;
}

int CapturePrint(lua_State* L) {
  std::string* out = OutputOf(L);
  int n = lua_gettop(L);
  for (int i = 1; i <= n; i++) {
    if (i > 1) *out += '\t';
    if (lua_type(L, i) == LUA_TWSTRING) {
      *out += WideToUtf8(lua_towstring(L, i), lua_strlen(L, i));
      continue;
    }
    lua_pushliteral(L, "tostring");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_pushvalue(L, i);
    lua_call(L, 1, 1);
    const char* s = lua_tostring(L, -1);
    if (s == nullptr) return luaL_error(L, "`tostring' must return a string to `print'");
    out->append(s, lua_strlen(L, -1));
    lua_pop(L, 1);
  }
  *out += '\n';
  return 0;
}

}  // namespace

std::string WideToUtf8(const lua_WChar* w, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; i++) {
    unsigned c = w[i];
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

lua_State* OpenState(std::string* output, bool referenceVm) {
  lua_State* L = lua_open();
  tlua::SetReferenceVm(L, referenceVm);
  luaopen_standard(L);
  lua_pushlightuserdata(L, const_cast<char*>(&kOutputKey));
  lua_pushlightuserdata(L, output);
  lua_rawset(L, LUA_REGISTRYINDEX);
  lua_register(L, "print", CapturePrint);
  return L;
}

RunResult RunChunk(const std::string& source, const std::string& chunkName, bool referenceVm) {
  RunResult r;
  lua_State* L = OpenState(&r.output, referenceVm);
  r.status = luaL_loadbuffer(L, source.data(), source.size(), chunkName.c_str());
  if (r.status == 0) r.status = lua_pcall(L, 0, 0, 0);
  if (r.status != 0) {
    const char* msg = lua_tostring(L, -1);
    r.error = msg ? msg : "(not a string)";
  }
  lua_close(L);
  return r;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace luatest
