// Any bytes given as a precompiled chunk are refused with a message or load a function
// that passed the code checker; a loaded function is dumped again to walk all of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/lua/lauxlib.h"

namespace {

int Sink(lua_State*, const void* p, size_t n, void* ud) {
  static_cast<std::string*>(ud)->append(static_cast<const char*>(p), n);
  return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static lua_State* L = lua_open();
  std::string chunk(1, '\x1b');  // always a precompiled chunk
  chunk.append(reinterpret_cast<const char*>(data), size);
  int status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=fuzz");
  if (status == 0) {
    std::string again;
    lua_dump(L, Sink, &again);
  } else if (status != LUA_ERRRUN && status != LUA_ERRMEM) {
    abort();
  }
  lua_settop(L, 0);
  return 0;
}
