// Command-line runner for scripts in the engine's Lua dialect:
//   lua_runner [-e code] [script.lua [args...]]
// The script's arguments are in the global table `arg' (arg[0] is the script name).
// Errors go to standard error and the exit code is 1.
#include <cstdio>
#include <cstring>

#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"

namespace {

int Report(lua_State* L, int status) {
  if (status != 0) {
    const char* msg = lua_tostring(L, -1);
    fprintf(stderr, "lua_runner: %s\n", msg ? msg : "(error object is not a string)");
    fflush(stderr);
    lua_pop(L, 1);
  }
  return status;
}

int Traceback(lua_State* L) { return 1; }

int Run(lua_State* L, int status) {
  if (status == 0) {
    int base = lua_gettop(L);
    lua_pushcfunction(L, Traceback);
    lua_insert(L, base);
    status = lua_pcall(L, 0, 0, base);
    lua_remove(L, base);
  }
  return Report(L, status);
}

}  // namespace

int main(int argc, char** argv) {
  lua_State* L = lua_open();
  if (!L) {
    fprintf(stderr, "lua_runner: cannot create state: not enough memory\n");
    return 1;
  }
  luaopen_standard(L);
  int i = 1;
  int status = 0;
  for (; i < argc && argv[i][0] == '-' && status == 0; i++) {
    if (strcmp(argv[i], "-e") == 0 && i + 1 < argc) {
      i++;
      status = Run(L, luaL_loadbuffer(L, argv[i], strlen(argv[i]), "=(command line)"));
    } else if (strcmp(argv[i], "--") == 0) {
      i++;
      break;
    } else {
      fprintf(stderr, "usage: %s [-e code] [script [args]]\n", argv[0]);
      lua_close(L);
      return 1;
    }
  }
  if (status == 0 && i < argc) {
    lua_newtable(L);
    for (int j = i; j < argc; j++) {
      lua_pushstring(L, argv[j]);
      lua_rawseti(L, -2, j - i);
    }
    lua_pushliteral(L, "n");
    lua_pushnumber(L, argc - i - 1);
    lua_rawset(L, -3);
    lua_pushliteral(L, "arg");
    lua_insert(L, -2);
    lua_settable(L, LUA_GLOBALSINDEX);
    status = Run(L, luaL_loadfile(L, argv[i]));
  }
  fflush(stdout);
  lua_close(L);
  return status == 0 ? 0 : 1;
}
