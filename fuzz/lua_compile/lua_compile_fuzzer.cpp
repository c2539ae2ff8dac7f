// Any bytes given to the compiler either compile or give a syntax error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "script/lua/lauxlib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static lua_State* L = lua_open();
  // precompiled chunks have their own target; keep this one on the compiler
  if (size > 0 && data[0] == 0x1B) return 0;
  int status = luaL_loadbuffer(L, reinterpret_cast<const char*>(data), size, "=fuzz");
  if (status != 0 && status != LUA_ERRSYNTAX && status != LUA_ERRMEM) abort();
  lua_settop(L, 0);
  return 0;
}
