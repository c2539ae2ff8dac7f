// The table library.
#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"

namespace {

int AuxGetN(lua_State* L, int n) {
  luaL_checktype(L, n, LUA_TTABLE);
  return luaL_getn(L, n);
}

int TabForeachi(lua_State* L) {
  int n = AuxGetN(L, 1);
  luaL_checktype(L, 2, LUA_TFUNCTION);
  for (int i = 1; i <= n; i++) {
    lua_pushvalue(L, 2);
    lua_pushnumber(L, lua_Number(i));
    lua_rawgeti(L, 1, i);
    lua_call(L, 2, 1);
    if (!lua_isnil(L, -1)) return 1;
    lua_pop(L, 1);
  }
  return 0;
}

int TabForeach(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checktype(L, 2, LUA_TFUNCTION);
  lua_pushnil(L);
  for (;;) {
    if (lua_next(L, 1) == 0) return 0;
    lua_pushvalue(L, 2);
    lua_pushvalue(L, -3);
    lua_pushvalue(L, -3);
    lua_call(L, 2, 1);
    if (!lua_isnil(L, -1)) return 1;
    lua_pop(L, 2);
  }
}

int TabGetN(lua_State* L) {
  lua_pushnumber(L, lua_Number(AuxGetN(L, 1)));
  return 1;
}

int TabSetN(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_setn(L, 1, luaL_checkint(L, 2));
  return 0;
}

int TabInsert(lua_State* L) {
  int v = lua_gettop(L);
  int n = AuxGetN(L, 1) + 1;
  int pos;
  if (v == 2) {
    pos = n;
  } else {
    pos = luaL_checkint(L, 2);
    if (pos > n) n = pos;
    v = 3;
  }
  luaL_setn(L, 1, n);
  while (--n >= pos) {
    lua_rawgeti(L, 1, n);
    lua_rawseti(L, 1, n + 1);
  }
  lua_pushvalue(L, v);
  lua_rawseti(L, 1, pos);
  return 0;
}

int TabRemove(lua_State* L) {
  int n = AuxGetN(L, 1);
  int pos = luaL_optint(L, 2, n);
  if (n <= 0) return 0;
  luaL_setn(L, 1, n - 1);
  lua_rawgeti(L, 1, pos);
  for (; pos < n; pos++) {
    lua_rawgeti(L, 1, pos + 1);
    lua_rawseti(L, 1, pos);
  }
  lua_pushnil(L);
  lua_rawseti(L, 1, n);
  return 1;
}

int TabConcat(lua_State* L) {
  luaL_Buffer b;
  size_t lsep;
  const char* sep = luaL_optlstring(L, 2, "", &lsep);
  int i = luaL_optint(L, 3, 1);
  int n = luaL_optint(L, 4, 0);
  luaL_checktype(L, 1, LUA_TTABLE);
  if (n == 0) n = luaL_getn(L, 1);
  luaL_buffinit(L, &b);
  for (; i <= n; i++) {
    lua_rawgeti(L, 1, i);
    // a wide string has no narrow text to join
    int t = lua_type(L, -1);
    luaL_argcheck(L, t == LUA_TSTRING || t == LUA_TNUMBER, 1, "table contains non-strings");
    luaL_addvalue(&b);
    if (i != n) luaL_addlstring(&b, sep, lsep);
  }
  luaL_pushresult(&b);
  return 1;
}

// ---- quicksort on the stack, with the check that catches inconsistent order functions

void Set2(lua_State* L, int i, int j) {
  lua_rawseti(L, 1, i);
  lua_rawseti(L, 1, j);
}

bool SortComp(lua_State* L, int a, int b) {
  if (!lua_isnil(L, 2)) {
    lua_pushvalue(L, 2);
    lua_pushvalue(L, a - 1);
    lua_pushvalue(L, b - 2);
    lua_call(L, 2, 1);
    bool res = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    return res;
  }
  return lua_lessthan(L, a, b) != 0;
}

void AuxSort(lua_State* L, int l, int u) {
  while (l < u) {
    // order t[l], t[(l+u)/2] and t[u]
    lua_rawgeti(L, 1, l);
    lua_rawgeti(L, 1, u);
    if (SortComp(L, -1, -2))
      Set2(L, l, u);
    else
      lua_pop(L, 2);
    if (u - l == 1) break;
    int i = (l + u) / 2;
    lua_rawgeti(L, 1, i);
    lua_rawgeti(L, 1, l);
    if (SortComp(L, -2, -1)) {
      Set2(L, i, l);
    } else {
      lua_pop(L, 1);
      lua_rawgeti(L, 1, u);
      if (SortComp(L, -1, -2))
        Set2(L, i, u);
      else
        lua_pop(L, 2);
    }
    if (u - l == 2) break;
    lua_rawgeti(L, 1, i);  // the pivot
    lua_pushvalue(L, -1);
    lua_rawgeti(L, 1, u - 1);
    Set2(L, i, u - 1);
    // invariant: t[l..i] <= pivot <= t[j..u]
    i = l;
    int j = u - 1;
    for (;;) {
      while (lua_rawgeti(L, 1, ++i), SortComp(L, -1, -2)) {
        if (i > u) luaL_error(L, "invalid order function for sorting");
        lua_pop(L, 1);
      }
      while (lua_rawgeti(L, 1, --j), SortComp(L, -3, -1)) {
        if (j < l) luaL_error(L, "invalid order function for sorting");
        lua_pop(L, 1);
      }
      if (j < i) {
        lua_pop(L, 3);
        break;
      }
      Set2(L, i, j);
    }
    lua_rawgeti(L, 1, u - 1);
    lua_rawgeti(L, 1, i);
    Set2(L, u - 1, i);
    // recurse into the smaller part, loop on the larger
    if (i - l < u - i) {
      j = l;
      i = i - 1;
      l = i + 2;
    } else {
      j = i + 1;
      i = u;
      u = j - 2;
    }
    AuxSort(L, j, i);
  }
}

int TabSort(lua_State* L) {
  int n = AuxGetN(L, 1);
  luaL_checkstack(L, 40, "");
  if (!lua_isnoneornil(L, 2)) luaL_checktype(L, 2, LUA_TFUNCTION);
  lua_settop(L, 2);
  AuxSort(L, 1, n);
  return 0;
}

const luaL_reg kTabFuncs[] = {{"concat", TabConcat}, {"foreach", TabForeach}, {"foreachi", TabForeachi},
                              {"getn", TabGetN},     {"setn", TabSetN},       {"sort", TabSort},
                              {"insert", TabInsert}, {"remove", TabRemove},   {nullptr, nullptr}};

}  // namespace

int luaopen_table(lua_State* L) {
  luaL_openlib(L, LUA_TABLIBNAME, kTabFuncs, 0);
  return 1;
}
