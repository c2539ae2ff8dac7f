// The auxiliary library.
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "script/lua/lauxlib.h"

namespace {

constexpr int kFreeListRef = 0;   // registry[0]: free list of references
constexpr int kArraySizeRef = 1;  // registry[1]: weak table of table sizes
constexpr int kReservedRefs = 2;

int AbsIndex(lua_State* L, int i) { return (i > 0 || i <= LUA_REGISTRYINDEX) ? i : lua_gettop(L) + i + 1; }

void TagError(lua_State* L, int narg, int tag) { luaL_typerror(L, narg, lua_typename(L, tag)); }

int DefaultFileReader(const char* name, int text, char** data, size_t* size, const char** error) {
  FILE* f = fopen(name, text ? "r" : "rb");
  if (!f) {
    *error = strerror(errno);
    return errno ? errno : 1;
  }
  std::vector<char> buf;
  char piece[4096];
  size_t n;
  while ((n = fread(piece, 1, sizeof piece, f)) > 0) buf.insert(buf.end(), piece, piece + n);
  bool failed = ferror(f) != 0;
  int err = errno;
  fclose(f);
  if (failed) {
    *error = strerror(err);
    return err ? err : 1;
  }
  *data = static_cast<char*>(malloc(buf.size() + 1));
  if (!*data) {
    *error = "not enough memory";
    return ENOMEM;
  }
  if (!buf.empty()) memcpy(*data, buf.data(), buf.size());
  *size = buf.size();
  return 0;
}

lua_FileReader gFileReader = DefaultFileReader;

struct LoadS {
  const char* s;
  size_t size;
};

const char* GetS(lua_State*, void* ud, size_t* size) {
  LoadS* ls = static_cast<LoadS*>(ud);
  if (ls->size == 0) return nullptr;
  *size = ls->size;
  ls->size = 0;
  return ls->s;
}

int CheckInt(lua_State* L, int topop) {
  int n = int(lua_tonumber(L, -1));
  if (n == 0 && !lua_isnumber(L, -1)) n = -1;
  lua_pop(L, topop);
  return n;
}

void GetSizes(lua_State* L) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, kArraySizeRef);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_setmetatable(L, -2);
    lua_pushliteral(L, "__mode");
    lua_pushliteral(L, "k");
    lua_rawset(L, -3);
    lua_pushvalue(L, -1);
    lua_rawseti(L, LUA_REGISTRYINDEX, kArraySizeRef);
  }
}

// ---- buffer

#define BUFFLEN(B) ((B)->p - (B)->buffer)
#define BUFFFREE(B) ((size_t)(LUAL_BUFFERSIZE - BUFFLEN(B)))
constexpr int kLimit = LUA_MINSTACK / 2;

int EmptyBuffer(luaL_Buffer* B) {
  size_t l = size_t(BUFFLEN(B));
  if (l == 0) return 0;
  lua_pushlstring(B->L, B->buffer, l);
  B->p = B->buffer;
  B->lvl++;
  return 1;
}

void AdjustStack(luaL_Buffer* B) {
  if (B->lvl > 1) {
    lua_State* L = B->L;
    int toget = 1;
    size_t toplen = lua_strlen(L, -1);
    do {
      size_t l = lua_strlen(L, -(toget + 1));
      if (B->lvl - toget + 1 >= kLimit || toplen > l) {
        toplen += l;
        toget++;
      } else {
        break;
      }
    } while (toget < B->lvl);
    lua_concat(L, toget);
    B->lvl = B->lvl - toget + 1;
  }
}

}  // namespace

void lua_setfilereader(lua_FileReader reader) { gFileReader = reader ? reader : DefaultFileReader; }

lua_FileReader lua_getfilereader(void) { return gFileReader; }

void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup) {
  if (libname) {
    lua_pushstring(L, libname);
    lua_gettable(L, LUA_GLOBALSINDEX);
    if (lua_isnil(L, -1)) {
      lua_pop(L, 1);
      lua_newtable(L);
      lua_pushstring(L, libname);
      lua_pushvalue(L, -2);
      lua_settable(L, LUA_GLOBALSINDEX);
    }
    lua_insert(L, -(nup + 1));
  }
  for (; l->name; l++) {
    lua_pushstring(L, l->name);
    for (int i = 0; i < nup; i++) lua_pushvalue(L, -(nup + 1));
    lua_pushcclosure(L, l->func, nup);
    lua_settable(L, -(nup + 3));
  }
  lua_pop(L, nup);
}

int luaL_argerror(lua_State* L, int narg, const char* extramsg) {
  lua_Debug ar;
  lua_getstack(L, 0, &ar);
  lua_getinfo(L, "n", &ar);
  if (strcmp(ar.namewhat, "method") == 0) {
    narg--;
    if (narg == 0) return luaL_error(L, "calling `%s' on bad self (%s)", ar.name, extramsg);
  }
  if (ar.name == nullptr) ar.name = "?";
  return luaL_error(L, "bad argument #%d to `%s' (%s)", narg, ar.name, extramsg);
}

int luaL_typerror(lua_State* L, int narg, const char* tname) {
  const char* msg = lua_pushfstring(L, "%s expected, got %s", tname, lua_typename(L, lua_type(L, narg)));
  return luaL_argerror(L, narg, msg);
}

void luaL_where(lua_State* L, int level) {
  lua_Debug ar;
  if (lua_getstack(L, level, &ar)) {
    lua_getinfo(L, "Snl", &ar);
    if (ar.currentline > 0) {
      lua_pushfstring(L, "%s:%d: ", ar.short_src, ar.currentline);
      return;
    }
  }
  lua_pushliteral(L, "");
}

int luaL_error(lua_State* L, const char* fmt, ...) {
  va_list argp;
  va_start(argp, fmt);
  luaL_where(L, 1);
  lua_pushvfstring(L, fmt, argp);
  va_end(argp);
  lua_concat(L, 2);
  return lua_error(L);
}

int luaL_findstring(const char* name, const char* const list[]) {
  for (int i = 0; list[i]; i++)
    if (strcmp(list[i], name) == 0) return i;
  return -1;
}

int luaL_newmetatable(lua_State* L, const char* tname) {
  lua_pushstring(L, tname);
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (!lua_isnil(L, -1)) return 0;
  lua_pop(L, 1);
  lua_newtable(L);
  lua_pushstring(L, tname);
  lua_pushvalue(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);  // registry.name = metatable
  lua_pushvalue(L, -1);
  lua_pushstring(L, tname);
  lua_rawset(L, LUA_REGISTRYINDEX);  // registry[metatable] = name
  return 1;
}

void luaL_getmetatable(lua_State* L, const char* tname) {
  lua_pushstring(L, tname);
  lua_rawget(L, LUA_REGISTRYINDEX);
}

void* luaL_checkudata(lua_State* L, int ud, const char* tname) {
  const char* tn;
  if (!lua_getmetatable(L, ud)) return nullptr;
  lua_rawget(L, LUA_REGISTRYINDEX);
  tn = lua_tostring(L, -1);
  if (tn && strcmp(tn, tname) == 0) {
    lua_pop(L, 1);
    return lua_touserdata(L, ud);
  }
  lua_pop(L, 1);
  return nullptr;
}

void luaL_checkstack(lua_State* L, int space, const char* mes) {
  if (!lua_checkstack(L, space)) luaL_error(L, "stack overflow (%s)", mes);
}

void luaL_checktype(lua_State* L, int narg, int t) {
  if (lua_type(L, narg) != t) TagError(L, narg, t);
}

void luaL_checkany(lua_State* L, int narg) {
  if (lua_type(L, narg) == LUA_TNONE) luaL_argerror(L, narg, "value expected");
}

const char* luaL_checklstring(lua_State* L, int narg, size_t* len) {
  const char* s = lua_tostring(L, narg);
  if (!s) TagError(L, narg, LUA_TSTRING);
  if (len) *len = lua_strlen(L, narg);
  return s;
}

const char* luaL_optlstring(lua_State* L, int narg, const char* def, size_t* len) {
  if (lua_isnoneornil(L, narg)) {
    if (len) *len = (def ? strlen(def) : 0);
    return def;
  }
  return luaL_checklstring(L, narg, len);
}

lua_Number luaL_checknumber(lua_State* L, int narg) {
  lua_Number d = lua_tonumber(L, narg);
  if (d == 0 && !lua_isnumber(L, narg)) TagError(L, narg, LUA_TNUMBER);
  return d;
}

lua_Number luaL_optnumber(lua_State* L, int narg, lua_Number def) {
  if (lua_isnoneornil(L, narg)) return def;
  return luaL_checknumber(L, narg);
}

const lua_WChar* luaL_checklwstring(lua_State* L, int narg, size_t* len) {
  const lua_WChar* s = lua_towstring(L, narg);
  if (!s) TagError(L, narg, LUA_TWSTRING);
  if (len) *len = lua_strlen(L, narg);
  return s;
}

const lua_WChar* luaL_optlwstring(lua_State* L, int narg, const lua_WChar* def, size_t* len) {
  if (lua_isnoneornil(L, narg)) {
    if (len) *len = (def ? lua_wstrlen(def) : 0);
    return def;
  }
  return luaL_checklwstring(L, narg, len);
}

int luaL_getmetafield(lua_State* L, int obj, const char* event) {
  if (!lua_getmetatable(L, obj)) return 0;
  lua_pushstring(L, event);
  lua_rawget(L, -2);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 2);
    return 0;
  }
  lua_remove(L, -2);
  return 1;
}

int luaL_callmeta(lua_State* L, int obj, const char* event) {
  obj = AbsIndex(L, obj);
  if (!luaL_getmetafield(L, obj, event)) return 0;
  lua_pushvalue(L, obj);
  lua_call(L, 1, 1);
  return 1;
}

void luaL_setn(lua_State* L, int t, int n) {
  t = AbsIndex(L, t);
  lua_pushliteral(L, "n");
  lua_rawget(L, t);
  if (CheckInt(L, 1) >= 0) {
    lua_pushliteral(L, "n");
    lua_pushnumber(L, lua_Number(n));
    lua_rawset(L, t);
  } else {
    GetSizes(L);
    lua_pushvalue(L, t);
    lua_pushnumber(L, lua_Number(n));
    lua_rawset(L, -3);
    lua_pop(L, 1);
  }
}

int luaL_getn(lua_State* L, int t) {
  int n;
  t = AbsIndex(L, t);
  lua_pushliteral(L, "n");
  lua_rawget(L, t);
  if ((n = CheckInt(L, 1)) >= 0) return n;
  GetSizes(L);
  lua_pushvalue(L, t);
  lua_rawget(L, -2);
  if ((n = CheckInt(L, 2)) >= 0) return n;
  return lua_rawcount(L, t);
}

void luaL_buffinit(lua_State* L, luaL_Buffer* B) {
  B->L = L;
  B->p = B->buffer;
  B->lvl = 0;
  B->isWide = 0;
}

void luaL_wbuffinit(lua_State* L, luaL_Buffer* B) {
  luaL_buffinit(L, B);
  B->isWide = 1;
}

char* luaL_prepbuffer(luaL_Buffer* B) {
  if (EmptyBuffer(B)) AdjustStack(B);
  return B->buffer;
}

void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l) {
  while (l > 0) {
    if (BUFFFREE(B) == 0) luaL_prepbuffer(B);
    const size_t n = l < BUFFFREE(B) ? l : BUFFFREE(B);
    memcpy(B->p, s, n);
    B->p += n;
    s += n;
    l -= n;
  }
}

void luaL_addstring(luaL_Buffer* B, const char* s) { luaL_addlstring(B, s, strlen(s)); }

void luaL_addwchar(luaL_Buffer* B, lua_WChar c) {
  char b[2];
  memcpy(b, &c, 2);
  luaL_addlstring(B, b, 2);
}

void luaL_addlwstring(luaL_Buffer* B, const lua_WChar* s, size_t l) {
  luaL_addlstring(B, reinterpret_cast<const char*>(s), l * sizeof(lua_WChar));
}

void luaL_pushresult(luaL_Buffer* B) {
  EmptyBuffer(B);
  lua_concat(B->L, B->lvl);
  B->lvl = 1;
  if (B->isWide) {
    // the bytes collected are 16-bit units: re-push them as a wide string
    lua_State* L = B->L;
    size_t n = lua_strlen(L, -1);
    const char* s = lua_tostring(L, -1);
    std::vector<lua_WChar> w(n / 2 + 1);
    if (n >= 2) memcpy(w.data(), s, (n / 2) * 2);
    lua_pop(L, 1);
    lua_pushlwstring(L, w.data(), n / 2);
  }
}

void luaL_addvalue(luaL_Buffer* B) {
  lua_State* L = B->L;
  size_t vl = lua_strlen(L, -1);
  if (vl <= BUFFFREE(B)) {
    memcpy(B->p, lua_tostring(L, -1), vl);
    B->p += vl;
    lua_pop(L, 1);
  } else {
    if (EmptyBuffer(B)) lua_insert(L, -2);
    B->lvl++;
    AdjustStack(B);
  }
}

int luaL_ref(lua_State* L, int t) {
  int ref;
  t = AbsIndex(L, t);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return LUA_REFNIL;
  }
  lua_rawgeti(L, t, kFreeListRef);
  ref = int(lua_tonumber(L, -1));
  lua_pop(L, 1);
  if (ref != 0) {
    lua_rawgeti(L, t, ref);
    lua_rawseti(L, t, kFreeListRef);
  } else {
    ref = luaL_getn(L, t);
    if (ref < kReservedRefs) ref = kReservedRefs;
    ref++;
    luaL_setn(L, t, ref);
  }
  lua_rawseti(L, t, ref);
  return ref;
}

void luaL_unref(lua_State* L, int t, int ref) {
  if (ref >= 0) {
    t = AbsIndex(L, t);
    lua_rawgeti(L, t, kFreeListRef);
    lua_rawseti(L, t, ref);
    lua_pushnumber(L, lua_Number(ref));
    lua_rawseti(L, t, kFreeListRef);
  }
}

int luaL_loadbuffer(lua_State* L, const char* buff, size_t size, const char* name) {
  LoadS ls{buff, size};
  return lua_load(L, GetS, &ls, name);
}

int luaL_loadfile(lua_State* L, const char* filename) {
  int fnameindex = lua_gettop(L) + 1;
  if (filename == nullptr) {
    lua_pushliteral(L, "cannot read stdin: not supported");
    return LUA_ERRFILE;
  }
  lua_pushfstring(L, "@%s", filename);
  char* data = nullptr;
  size_t size = 0;
  const char* error = "";
  if (gFileReader(filename, 1, &data, &size, &error) != 0) {
    lua_pushfstring(L, "cannot read %s: %s", filename, error);
    lua_remove(L, fnameindex);
    return LUA_ERRFILE;
  }
  int c = size > 0 ? static_cast<unsigned char>(data[0]) : EOF;
  if (!(isspace(c) || isprint(c))) {
    // neither text nor white space first: a precompiled chunk, read it untranslated
    free(data);
    data = nullptr;
    if (gFileReader(filename, 0, &data, &size, &error) != 0) {
      lua_pushfstring(L, "cannot read %s: %s", filename, error);
      lua_remove(L, fnameindex);
      return LUA_ERRFILE;
    }
  }
  int status = luaL_loadbuffer(L, data, size, lua_tostring(L, fnameindex));
  free(data);
  lua_remove(L, fnameindex);
  return status;
}

static int CallAlert(lua_State* L, int status) {
  if (status != 0) {
    lua_pushliteral(L, "_ALERT");
    lua_gettable(L, LUA_GLOBALSINDEX);
    if (lua_isfunction(L, -1)) {
      lua_insert(L, -2);
      lua_call(L, 1, 0);
    } else {
      fprintf(stderr, "%s\n", lua_tostring(L, -2) ? lua_tostring(L, -2) : "(error object is not a string)");
      lua_pop(L, 2);
    }
  }
  return status;
}

static int AuxDo(lua_State* L, int status) {
  if (status == 0) status = lua_pcall(L, 0, LUA_MULTRET, 0);
  return CallAlert(L, status);
}

int lua_dofile(lua_State* L, const char* filename) { return AuxDo(L, luaL_loadfile(L, filename)); }

int lua_dobuffer(lua_State* L, const char* buff, size_t size, const char* name) {
  return AuxDo(L, luaL_loadbuffer(L, buff, size, name));
}

int lua_dostring(lua_State* L, const char* str) { return lua_dobuffer(L, str, strlen(str), str); }
