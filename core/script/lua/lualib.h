// Openers of the standard libraries (base with coroutine, string, table, math).
#pragma once

#include "script/lua/lua.h"

#define LUA_COLIBNAME "coroutine"
#define LUA_TABLIBNAME "table"
#define LUA_STRLIBNAME "string"
#define LUA_MATHLIBNAME "math"

int luaopen_base(lua_State* L);
int luaopen_table(lua_State* L);
int luaopen_string(lua_State* L);
int luaopen_math(lua_State* L);
// Opens the four libraries above.
void luaopen_standard(lua_State* L);
