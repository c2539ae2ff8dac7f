// The base library (globals) and the coroutine library.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"

namespace {

// Writes 16-bit units to standard output as UTF-8, through a bounded buffer.
void WriteWide(const lua_WChar* s, size_t n) {
  char out[512 * 3 + 4];
  size_t pos = 0;
  for (size_t i = 0; i < n; i++) {
    unsigned c = s[i];
    if (c < 0x80) {
      out[pos++] = char(c);
    } else if (c < 0x800) {
      out[pos++] = char(0xC0 | (c >> 6));
      out[pos++] = char(0x80 | (c & 0x3F));
    } else {
      out[pos++] = char(0xE0 | (c >> 12));
      out[pos++] = char(0x80 | ((c >> 6) & 0x3F));
      out[pos++] = char(0x80 | (c & 0x3F));
    }
    if (pos >= 512 * 3) {
      fwrite(out, 1, pos, stdout);
      pos = 0;
    }
  }
  fwrite(out, 1, pos, stdout);
}

int BasePrint(lua_State* L) {
  int n = lua_gettop(L);
  lua_pushliteral(L, "tostring");
  lua_rawget(L, LUA_GLOBALSINDEX);
  for (int i = 1; i <= n; i++) {
    if (i > 1) fputs("\t", stdout);
    if (lua_type(L, i) == LUA_TWSTRING) {
      lua_pushliteral(L, "towstring");
      lua_rawget(L, LUA_GLOBALSINDEX);
      lua_pushvalue(L, i);
      lua_call(L, 1, 1);
      const lua_WChar* w = lua_towstring(L, -1);
      if (w) {
        WriteWide(w, lua_strlen(L, -1));
      } else {
        const char* s = lua_tostring(L, -1);
        if (s == nullptr) return luaL_error(L, "`tostring' must return a string to `print'");
        fputs(s, stdout);
      }
      lua_pop(L, 1);
      continue;
    }
    lua_pushvalue(L, -1);  // tostring
    lua_pushvalue(L, i);
    lua_call(L, 1, 1);
    const char* s = lua_tostring(L, -1);
    if (s == nullptr) return luaL_error(L, "`tostring' must return a string to `print'");
    fwrite(s, 1, lua_strlen(L, -1), stdout);
    lua_pop(L, 1);
  }
  fputs("\n", stdout);
  return 0;
}

int BaseToNumber(lua_State* L) {
  int base = luaL_optint(L, 2, 10);
  if (base == 10) {
    luaL_checkany(L, 1);
    if (lua_isnumber(L, 1)) {
      lua_pushnumber(L, lua_tonumber(L, 1));
      return 1;
    }
  } else {
    std::string narrow;
    const char* s1;
    if (lua_type(L, 1) == LUA_TWSTRING) {
      size_t len = lua_strlen(L, 1);
      if (len > 99) {
        lua_pushnil(L);
        return 1;
      }
      const lua_WChar* w = lua_towstring(L, 1);
      for (size_t i = 0; i < len; i++) narrow += char(w[i]);
      s1 = narrow.c_str();
    } else {
      s1 = luaL_checkstring(L, 1);
    }
    luaL_argcheck(L, 2 <= base && base <= 36, 2, "base out of range");
    char* s2;
    unsigned long n = strtoul(s1, &s2, base);
    if (s1 != s2) {
      while (isspace(static_cast<unsigned char>(*s2))) s2++;
      if (*s2 == '\0') {
        lua_pushnumber(L, lua_Number(n));
        return 1;
      }
    }
  }
  lua_pushnil(L);
  return 1;
}

int BaseError(lua_State* L) {
  int level = luaL_optint(L, 2, 1);
  luaL_checkany(L, 1);
  lua_settop(L, 1);
  if (lua_isstring(L, 1) && level > 0) {
    luaL_where(L, level);
    lua_pushvalue(L, 1);
    lua_concat(L, 2);
  }
  return lua_error(L);
}

// luaL_getmetafield of "__metatable" for getmetatable and setmetatable: the key is their
// up-value, made once per state instead of on every call.
int GetProtectionField(lua_State* L, int obj) {
  if (!lua_getmetatable(L, obj)) return 0;
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_rawget(L, -2);
  lua_remove(L, -2);
  if (!lua_isnil(L, -1)) return 1;
  lua_pop(L, 1);
  return 0;
}

int BaseGetMetatable(lua_State* L) {
  luaL_checkany(L, 1);
  if (!lua_getmetatable(L, 1)) {
    lua_pushnil(L);
    return 1;
  }
  GetProtectionField(L, 1);
  return 1;
}

int BaseSetMetatable(lua_State* L) {
  int t = lua_type(L, 2);
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_argcheck(L, t == LUA_TNIL || t == LUA_TTABLE, 2, "nil or table expected");
  if (GetProtectionField(L, 1)) luaL_error(L, "cannot change a protected metatable");
  lua_settop(L, 2);
  lua_setmetatable(L, 1);
  return 1;
}

void GetFunc(lua_State* L) {
  if (lua_isfunction(L, 1)) {
    lua_pushvalue(L, 1);
  } else {
    lua_Debug ar;
    int level = luaL_optint(L, 1, 1);
    luaL_argcheck(L, level >= 0, 1, "level must be non-negative");
    if (lua_getstack(L, level, &ar) == 0) luaL_argerror(L, 1, "invalid level");
    lua_getinfo(L, "f", &ar);
    if (lua_isnil(L, -1)) luaL_error(L, "no function environment for tail call at level %d", level);
  }
}

int AuxGetFenv(lua_State* L) {
  lua_getfenv(L, -1);
  lua_pushliteral(L, "__fenv");
  lua_rawget(L, -2);
  return !lua_isnil(L, -1);
}

int BaseGetFenv(lua_State* L) {
  GetFunc(L);
  if (!AuxGetFenv(L)) lua_pop(L, 1);
  return 1;
}

int BaseSetFenv(lua_State* L) {
  luaL_checktype(L, 2, LUA_TTABLE);
  GetFunc(L);
  if (AuxGetFenv(L)) luaL_error(L, "`setfenv' cannot change a protected environment");
  lua_pop(L, 2);
  lua_pushvalue(L, 2);
  if (lua_isnumber(L, 1) && lua_tonumber(L, 1) == 0)
    lua_replace(L, LUA_GLOBALSINDEX);
  else if (lua_setfenv(L, -2) == 0)
    luaL_error(L, "`setfenv' cannot change environment of given function");
  return 0;
}

int BaseRawEqual(lua_State* L) {
  luaL_checkany(L, 1);
  luaL_checkany(L, 2);
  lua_pushboolean(L, lua_rawequal(L, 1, 2));
  return 1;
}

int BaseRawGet(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checkany(L, 2);
  lua_rawget(L, 1);
  return 1;
}

int BaseRawSet(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checkany(L, 2);
  luaL_checkany(L, 3);
  lua_rawset(L, 1);
  return 1;
}

int BaseGcInfo(lua_State* L) {
  lua_pushnumber(L, lua_Number(lua_getgccount(L)));
  lua_pushnumber(L, lua_Number(lua_getgcthreshold(L)));
  return 2;
}

int BaseCollectGarbage(lua_State* L) {
  lua_setgcthreshold(L, luaL_optint(L, 1, 0));
  return 0;
}

int BaseType(lua_State* L) {
  luaL_checkany(L, 1);
  lua_pushstring(L, lua_typename(L, lua_type(L, 1)));
  return 1;
}

int BaseNext(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_settop(L, 2);
  if (lua_next(L, 1)) return 2;
  lua_pushnil(L);
  return 1;
}

int BasePairs(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_pushliteral(L, "next");
  lua_rawget(L, LUA_GLOBALSINDEX);
  lua_pushvalue(L, 1);
  lua_pushnil(L);
  return 3;
}

int BaseIPairs(lua_State* L) {
  lua_Number i = lua_tonumber(L, 2);
  luaL_checktype(L, 1, LUA_TTABLE);
  if (i == 0 && lua_isnone(L, 2)) {
    lua_pushliteral(L, "ipairs");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_pushvalue(L, 1);
    lua_pushnumber(L, 0);
    return 3;
  }
  i++;
  lua_pushnumber(L, i);
  lua_rawgeti(L, 1, int(i));
  return lua_isnil(L, -1) ? 0 : 2;
}

int LoadAux(lua_State* L, int status) {
  if (status == 0) return 1;
  lua_pushnil(L);
  lua_insert(L, -2);
  return 2;
}

int BaseLoadString(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  const char* chunkname = luaL_optstring(L, 2, s);
  return LoadAux(L, luaL_loadbuffer(L, s, l, chunkname));
}

int BaseLoadFile(lua_State* L) {
  const char* fname = luaL_optstring(L, 1, nullptr);
  return LoadAux(L, luaL_loadfile(L, fname));
}

int BaseDoFile(lua_State* L) {
  const char* fname = luaL_optstring(L, 1, nullptr);
  int status = luaL_loadfile(L, fname);
  if (status != 0) lua_error(L);
  lua_call(L, 0, LUA_MULTRET);
  return lua_gettop(L) - 1;
}

int BaseAssert(lua_State* L) {
  luaL_checkany(L, 1);
  if (!lua_toboolean(L, 1)) return luaL_error(L, "%s", luaL_optstring(L, 2, "assertion failed!"));
  lua_settop(L, 1);
  return 1;
}

int BaseUnpack(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  int n = luaL_getn(L, 1);
  luaL_checkstack(L, n, "table too big to unpack");
  for (int i = 1; i <= n; i++) lua_rawgeti(L, 1, i);
  return n;
}

int BasePCall(lua_State* L) {
  luaL_checkany(L, 1);
  int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
  lua_pushboolean(L, status == 0);
  lua_insert(L, 1);
  return lua_gettop(L);
}

int BaseXPCall(lua_State* L) {
  luaL_checkany(L, 2);
  lua_settop(L, 2);
  lua_insert(L, 1);  // the error handler goes below the function
  int status = lua_pcall(L, 0, LUA_MULTRET, 1);
  lua_pushboolean(L, status == 0);
  lua_replace(L, 1);
  return lua_gettop(L);
}

int BaseToString(lua_State* L) {
  char buff[128];
  luaL_checkany(L, 1);
  if (luaL_callmeta(L, 1, "__tostring")) return 1;
  switch (lua_type(L, 1)) {
    case LUA_TNUMBER: lua_pushstring(L, lua_tostring(L, 1)); return 1;
    case LUA_TSTRING: lua_pushvalue(L, 1); return 1;
    case LUA_TWSTRING: {
      size_t n = lua_strlen(L, 1);
      const lua_WChar* w = lua_towstring(L, 1);
      std::string s(n, '\0');
      for (size_t i = 0; i < n; i++) s[i] = char(w[i] & 0xFF);
      lua_pushlstring(L, s.data(), n);
      return 1;
    }
    case LUA_TBOOLEAN: lua_pushstring(L, lua_toboolean(L, 1) ? "true" : "false"); return 1;
    case LUA_TTABLE: snprintf(buff, sizeof buff, "table: %p", lua_topointer(L, 1)); break;
    case LUA_TFUNCTION: snprintf(buff, sizeof buff, "function: %p", lua_topointer(L, 1)); break;
    case LUA_TUSERDATA:
    case LUA_TLIGHTUSERDATA: snprintf(buff, sizeof buff, "userdata: %p", lua_touserdata(L, 1)); break;
    case LUA_TTHREAD: snprintf(buff, sizeof buff, "thread: %p", static_cast<void*>(lua_tothread(L, 1))); break;
    case LUA_TNIL: lua_pushliteral(L, "nil"); return 1;
    default: lua_pushliteral(L, "?"); return 1;
  }
  lua_pushstring(L, buff);
  return 1;
}

void PushWidened(lua_State* L, const char* s, size_t n) {
  std::u16string w(n, u'\0');
  for (size_t i = 0; i < n; i++) w[i] = char16_t(lua_WChar(static_cast<signed char>(s[i])));
  lua_pushlwstring(L, reinterpret_cast<const lua_WChar*>(w.data()), n);
}

int BaseToWString(lua_State* L) {
  char buff[128];
  switch (lua_type(L, 1)) {
    case LUA_TWSTRING: lua_pushvalue(L, 1); return 1;
    case LUA_TNUMBER:
      lua_pushvalue(L, 1);
      lua_numbertowstring(L, -1);
      return 1;
    case LUA_TSTRING: PushWidened(L, lua_tostring(L, 1), lua_strlen(L, 1)); return 1;
    case LUA_TNIL: lua_pushliteral(L, "nil"); return 1;
    case LUA_TTABLE: snprintf(buff, sizeof buff, "%.40s: %p", "table", lua_topointer(L, 1)); break;
    case LUA_TFUNCTION: snprintf(buff, sizeof buff, "function: %p", lua_topointer(L, 1)); break;
    case LUA_TUSERDATA: snprintf(buff, sizeof buff, "userdata: %p", lua_touserdata(L, 1)); break;
    case LUA_TTHREAD: snprintf(buff, sizeof buff, "thread: %p", static_cast<void*>(lua_tothread(L, 1))); break;
    default: return luaL_argerror(L, 1, "value expected");
  }
  PushWidened(L, buff, strlen(buff));
  return 1;
}

// require: the 5.0 package search along LUA_PATH.
const char* GetPath(lua_State* L) {
  lua_pushliteral(L, "LUA_PATH");
  lua_rawget(L, LUA_GLOBALSINDEX);
  const char* path = lua_tostring(L, -1);
  lua_pop(L, 1);
  if (path) return path;
  path = getenv("LUA_PATH");
  if (path) return path;
  return "?;?.lua";
}

const char* PushNextPath(lua_State* L, const char* path) {
  if (*path == '\0') return nullptr;
  if (*path == ';') path++;
  const char* l = strchr(path, ';');
  if (l == nullptr) l = path + strlen(path);
  lua_pushlstring(L, path, size_t(l - path));
  return l;
}

void PushComposeName(lua_State* L) {
  const char* path = lua_tostring(L, -1);
  const char* wild;
  int n = 1;
  while ((wild = strchr(path, '?')) != nullptr) {
    luaL_checkstack(L, 3, "too many marks in a path component");
    lua_pushlstring(L, path, size_t(wild - path));
    lua_pushvalue(L, 1);
    path = wild + 1;
    n += 2;
  }
  lua_pushstring(L, path);
  lua_concat(L, n);
}

int BaseRequire(lua_State* L) {
  int status = LUA_ERRFILE;
  luaL_checkstring(L, 1);
  lua_settop(L, 1);
  lua_pushliteral(L, "_LOADED");
  lua_rawget(L, LUA_GLOBALSINDEX);
  if (!lua_istable(L, 2)) return luaL_error(L, "`_LOADED' is not a table");
  const char* path = GetPath(L);
  lua_pushvalue(L, 1);
  lua_rawget(L, 2);
  if (lua_toboolean(L, -1)) return 1;
  while (status == LUA_ERRFILE) {
    lua_settop(L, 3);
    if ((path = PushNextPath(L, path)) == nullptr) break;
    PushComposeName(L);
    status = luaL_loadfile(L, lua_tostring(L, -1));
  }
  switch (status) {
    case 0: {
      lua_pushliteral(L, "_REQUIREDNAME");
      lua_rawget(L, LUA_GLOBALSINDEX);
      lua_insert(L, -2);
      lua_pushliteral(L, "_REQUIREDNAME");
      lua_pushvalue(L, 1);
      lua_rawset(L, LUA_GLOBALSINDEX);
      lua_call(L, 0, 1);
      lua_insert(L, -2);
      lua_pushliteral(L, "_REQUIREDNAME");
      lua_insert(L, -2);
      lua_rawset(L, LUA_GLOBALSINDEX);
      if (lua_isnil(L, -1)) {
        lua_pushboolean(L, 1);
        lua_replace(L, -2);
      }
      lua_pushvalue(L, 1);
      lua_pushvalue(L, -2);
      lua_rawset(L, 2);
      return 1;
    }
    case LUA_ERRFILE:
      return luaL_error(L, "could not load package `%s' from path `%s'", lua_tostring(L, 1), GetPath(L));
    default:
      return luaL_error(L, "error loading package `%s' (%s)", lua_tostring(L, 1), lua_tostring(L, -1));
  }
}

int BaseNewProxy(lua_State* L) {
  lua_settop(L, 1);
  lua_newuserdata(L, 0);
  if (lua_toboolean(L, 1) == 0) return 1;
  if (lua_isboolean(L, 1)) {
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_pushboolean(L, 1);
    lua_rawset(L, lua_upvalueindex(1));
  } else {
    int validproxy = 0;
    if (lua_getmetatable(L, 1)) {
      lua_rawget(L, lua_upvalueindex(1));
      validproxy = lua_toboolean(L, -1);
      lua_pop(L, 1);
    }
    luaL_argcheck(L, validproxy, 1, "boolean or proxy expected");
    lua_getmetatable(L, 1);
  }
  lua_setmetatable(L, 2);
  return 1;
}

const luaL_reg kBaseFuncs[] = {
    {"error", BaseError},       {"getmetatable", BaseGetMetatable}, {"setmetatable", BaseSetMetatable},
    {"getfenv", BaseGetFenv},   {"setfenv", BaseSetFenv},           {"next", BaseNext},
    {"ipairs", BaseIPairs},     {"pairs", BasePairs},               {"print", BasePrint},
    {"tonumber", BaseToNumber}, {"tostring", BaseToString},         {"towstring", BaseToWString},
    {"type", BaseType},         {"assert", BaseAssert},             {"unpack", BaseUnpack},
    {"rawequal", BaseRawEqual}, {"rawget", BaseRawGet},             {"rawset", BaseRawSet},
    {"pcall", BasePCall},       {"xpcall", BaseXPCall},             {"collectgarbage", BaseCollectGarbage},
    {"gcinfo", BaseGcInfo},     {"loadfile", BaseLoadFile},         {"dofile", BaseDoFile},
    {"loadstring", BaseLoadString}, {"require", BaseRequire},       {nullptr, nullptr}};

// ---- coroutines

int AuxResume(lua_State* L, lua_State* co, int narg) {
  if (!lua_checkstack(co, narg)) luaL_error(L, "too many arguments to resume");
  lua_xmove(L, co, narg);
  int status = lua_resume(co, narg);
  if (status == 0) {
    int nres = lua_gettop(co);
    if (!lua_checkstack(L, nres)) luaL_error(L, "too many results to resume");
    lua_xmove(co, L, nres);
    return nres;
  }
  lua_xmove(co, L, 1);
  return -1;
}

int CoResume(lua_State* L) {
  lua_State* co = lua_tothread(L, 1);
  luaL_argcheck(L, co, 1, "coroutine expected");
  int r = AuxResume(L, co, lua_gettop(L) - 1);
  if (r < 0) {
    lua_pushboolean(L, 0);
    lua_insert(L, -2);
    return 2;
  }
  lua_pushboolean(L, 1);
  lua_insert(L, -(r + 1));
  return r + 1;
}

int AuxWrap(lua_State* L) {
  lua_State* co = lua_tothread(L, lua_upvalueindex(1));
  int r = AuxResume(L, co, lua_gettop(L));
  if (r < 0) {
    if (lua_isstring(L, -1)) {
      luaL_where(L, 1);
      lua_insert(L, -2);
      lua_concat(L, 2);
    }
    lua_error(L);
  }
  return r;
}

int CoCreate(lua_State* L) {
  luaL_argcheck(L, lua_isfunction(L, 1) && !lua_iscfunction(L, 1), 1, "Lua function expected");
  lua_State* NL = lua_newthread(L);
  lua_pushvalue(L, 1);
  lua_xmove(L, NL, 1);
  return 1;
}

int CoWrap(lua_State* L) {
  CoCreate(L);
  lua_pushcclosure(L, AuxWrap, 1);
  return 1;
}

int CoYield(lua_State* L) { return lua_yield(L, lua_gettop(L)); }

int CoStatus(lua_State* L) {
  lua_State* co = lua_tothread(L, 1);
  luaL_argcheck(L, co, 1, "coroutine expected");
  if (L == co) {
    lua_pushliteral(L, "running");
  } else {
    lua_Debug ar;
    if (lua_getstack(co, 0, &ar) == 0 && lua_gettop(co) == 0)
      lua_pushliteral(L, "dead");
    else
      lua_pushliteral(L, "suspended");
  }
  return 1;
}

const luaL_reg kCoFuncs[] = {{"create", CoCreate}, {"wrap", CoWrap},     {"resume", CoResume},
                             {"yield", CoYield},   {"status", CoStatus}, {nullptr, nullptr}};

void BaseOpen(lua_State* L) {
  lua_pushliteral(L, "_G");
  lua_pushvalue(L, LUA_GLOBALSINDEX);
  luaL_openlib(L, nullptr, kBaseFuncs, 0);
  // Replaced in place, so that the globals keep their order.
  const std::pair<const char*, lua_CFunction> protectionReaders[] = {{"getmetatable", BaseGetMetatable},
                                                                     {"setmetatable", BaseSetMetatable}};
  for (const auto& [name, fn] : protectionReaders) {
    lua_pushstring(L, name);
    lua_pushliteral(L, "__metatable");
    lua_pushcclosure(L, fn, 1);
    lua_rawset(L, -3);
  }
  lua_pushliteral(L, "_VERSION");
  lua_pushliteral(L, LUA_VERSION);
  lua_rawset(L, -3);
  // newproxy keeps the metatables it made in a weak table
  lua_pushliteral(L, "newproxy");
  lua_newtable(L);
  lua_pushvalue(L, -1);
  lua_setmetatable(L, -2);
  lua_pushliteral(L, "__mode");
  lua_pushliteral(L, "k");
  lua_rawset(L, -3);
  lua_pushcclosure(L, BaseNewProxy, 1);
  lua_rawset(L, -3);
  lua_rawset(L, -1);  // _G
}

}  // namespace

int luaopen_base(lua_State* L) {
  BaseOpen(L);
  luaL_openlib(L, LUA_COLIBNAME, kCoFuncs, 0);
  lua_newtable(L);
  lua_pushliteral(L, "_LOADED");
  lua_insert(L, -2);
  lua_settable(L, LUA_GLOBALSINDEX);
  // every type's handler table is reachable from the registry by name
  static const char* const kSlotNames[] = {"_nil",   "_boolean", "_lightuserdata", "_number", "_string",
                                           "_table", "_function", "_userdata",     "_thread", "_wstring"};
  for (int t = 1; t <= LUA_TWSTRING; t++) {
    lua_pushstring(L, kSlotNames[t]);
    lua_getpertypemetatable(L, t);
    lua_rawset(L, LUA_REGISTRYINDEX);
  }
  return 0;
}

void luaopen_standard(lua_State* L) {
  luaopen_base(L);
  luaopen_table(L);
  luaopen_string(L);
  luaopen_math(L);
  lua_settop(L, 0);
}
