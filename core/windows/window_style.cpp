#include "windows/window_style.h"

#include <cmath>

#include "platform/log.h"
#include "script/lua_glue.h"

namespace {

// The lookup of one key, run in protected mode: (style, key) -> found, value.
// Search order: the style; "gCurrentDefaultStyle"; that table's "parent" chain. A style
// value that is not a table makes the key a global's name.
int StyleLookup(lua_State* L) {
  lua_settop(L, 2);
  if (lua_istable(L, 1)) {
    lua_pushvalue(L, 2);
    lua_gettable(L, 1);
  } else {
    lua_pushvalue(L, 2);
    lua_gettable(L, LUA_GLOBALSINDEX);
  }
  if (!lua_isnil(L, -1)) {
    lua_pushboolean(L, 1);
    lua_insert(L, -2);
    return 2;
  }
  lua_pop(L, 1);
  lua_pushstring(L, "gCurrentDefaultStyle");
  lua_gettable(L, LUA_GLOBALSINDEX);
  // A "parent" chain that loops back on itself would never end.
  for (int hops = 0; lua_istable(L, -1) && hops < 256; hops++) {
    lua_pushvalue(L, 2);
    lua_gettable(L, -2);
    if (!lua_isnil(L, -1)) {
      lua_pushboolean(L, 1);
      lua_insert(L, -2);
      return 2;
    }
    lua_pop(L, 1);
    lua_pushstring(L, "parent");
    lua_gettable(L, -2);
    lua_remove(L, -2);
  }
  lua_pushboolean(L, 0);
  return 1;
}

}  // namespace

bool TWindowStyle::Find(const TString& key) {
  lua_State* L = GetState();
  if (!L || !lua_checkstack(L, 6)) return false;
  int top = lua_gettop(L);
  lua_pushcfunction(L, StyleLookup);
  if (!mTable->PushTable()) {
    lua_settop(L, top);
    return false;
  }
  PushLuaString(L, key);
  if (lua_pcall(L, 2, 2, 0) != 0) {
    ReportScriptError(lua_tostring(L, -1) ? lua_tostring(L, -1) : "error in a style lookup");
    lua_settop(L, top);
    return false;
  }
  if (!lua_toboolean(L, -2)) {
    lua_settop(L, top);
    return false;
  }
  lua_remove(L, -2);
  return true;
}

double TWindowStyle::GetNumber(const TString& key, double defaultValue) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!Find(key)) return defaultValue;
  return lua_tonumber(L, -1);
}

int32_t TWindowStyle::GetInt(const TString& key, int32_t defaultValue) {
  return LuaNumberToInt(GetNumber(key, defaultValue));
}

TString TWindowStyle::GetString(const TString& key, const TString& defaultValue) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!Find(key)) return defaultValue;
  return GetLuaString(L, -1);
}

TLuaVec4 TWindowStyle::GetQuad(const TString& key, const TLuaVec4& defaultValue) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!Find(key)) return defaultValue;
  TLuaVec4 value{0, 0, 0, 0};
  if (!lua_istable(L, -1)) return value;
  TLuaTable table(L);
  for (int i = 0; i < 4; i++) value[i] = LuaNumberToFloat(table.GetNumberAt(i + 1, 0));
  return value;
}

bool TWindowStyle::GetBool(const TString& key, bool defaultValue) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!Find(key)) return defaultValue;
  return PopBool(L);
}

std::unique_ptr<TLuaTable> TWindowStyle::GetTable(const TString& key) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!Find(key)) return nullptr;
  return std::make_unique<TLuaTable>(L);
}

std::unique_ptr<TLuaFunction> TWindowStyle::GetFunction(const TString& key) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!Find(key)) return nullptr;
  return std::make_unique<TLuaFunction>(L);
}

bool TWindowStyle::PopBool(lua_State* L) {
  bool result = false;
  switch (lua_type(L, -1)) {
    case LUA_TNIL:
      break;
    case LUA_TBOOLEAN:
      result = lua_toboolean(L, -1) != 0;
      break;
    case LUA_TNUMBER:
      result = lua_tonumber(L, -1) != 0;
      break;
    case LUA_TSTRING:
      LogPrintf("PopBool used on lua string %s", lua_tostring(L, -1));
      break;
    default:
      LogPrintf("PopBool used on a type that isn't a number, a boolean, or nil. (type: %d)", lua_type(L, -1));
      break;
  }
  lua_pop(L, 1);
  return result;
}
