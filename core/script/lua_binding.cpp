#include "script/lua_binding.h"

#include "platform/log.h"
#include "script/lua/lauxlib.h"
#include "script/lua_frames.h"

namespace {

// Registry key of the table that remembers member records (weak keys: a record that no
// closure holds any more is collected as before).
const char kMemberRecordsKey = 0;

void PushMemberRecords(lua_State* L) {
  lua_pushlightuserdata(L, const_cast<char*>(&kMemberRecordsKey));
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (lua_istable(L, -1)) return;
  lua_pop(L, 1);
  lua_newtable(L);
  lua_newtable(L);
  lua_pushliteral(L, "__mode");
  lua_pushliteral(L, "k");
  lua_rawset(L, -3);
  lua_setmetatable(L, -2);
  lua_pushlightuserdata(L, const_cast<char*>(&kMemberRecordsKey));
  lua_pushvalue(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

struct RegisterArgs {
  const char* name;
  lua_CFunction thunk;
  const void* record;
  size_t size;
  bool ofObject;
};

int RegisterBody(lua_State* L) {
  const auto* args = static_cast<const RegisterArgs*>(lua_touserdata(L, 1));
  lua_pushstring(L, args->name);
  void* block = lua_newuserdata(L, args->size);
  memcpy(block, args->record, args->size);
  if (args->ofObject) {
    PushMemberRecords(L);
    lua_pushvalue(L, -2);
    lua_pushboolean(L, 1);
    lua_rawset(L, -3);
    lua_pop(L, 1);
  }
  lua_pushcclosure(L, args->thunk, 1);
  lua_settable(L, LUA_GLOBALSINDEX);
  return 0;
}

struct UnbindArgs {
  const void* key;
  TStaleCall stale;
};

int UnbindBody(lua_State* L) {
  const auto* args = static_cast<const UnbindArgs*>(lua_touserdata(L, 1));
  PushMemberRecords(L);
  lua_pushnil(L);
  while (lua_next(L, 2)) {
    lua_pop(L, 1);
    auto* bound = static_cast<luabind::BoundObject*>(lua_touserdata(L, -1));
    if (!bound || bound->key != args->key) continue;
    bound->object = nullptr;
    bound->stale = args->stale;
  }
  return 0;
}

struct ClearArgs {
  const char* name;
  const void* key;
};

int ClearBody(lua_State* L) {
  const auto* args = static_cast<const ClearArgs*>(lua_touserdata(L, 1));
  lua_pushstring(L, args->name);
  lua_gettable(L, LUA_GLOBALSINDEX);
  if (!lua_iscfunction(L, -1) || !lua_getupvalue(L, -1, 1)) return 0;
  // Only a record of the binding table is a member record; any other userdata is not ours.
  PushMemberRecords(L);
  lua_pushvalue(L, -2);
  lua_rawget(L, -2);
  bool member = lua_toboolean(L, -1) != 0;
  lua_pop(L, 2);
  auto* bound = member ? static_cast<const luabind::BoundObject*>(lua_touserdata(L, -1)) : nullptr;
  if (!bound || bound->key != args->key) return 0;
  lua_pushstring(L, args->name);
  lua_pushnil(L);
  lua_settable(L, LUA_GLOBALSINDEX);
  return 0;
}

// Registration happens in constructors, outside any protected call: a failure (a globals
// table whose __newindex raises, say) is logged instead of ending the program.
void RunProtected(lua_State* L, lua_CFunction body, void* args, const char* what, const char* name) {
  if (lua_cpcall(L, body, args) == 0) return;
  const char* message = lua_tostring(L, -1);
  LogPrintf("Lua error: %s %s: %s", what, name, message ? message : "?");
  lua_pop(L, 1);
}

}  // namespace

TScriptTableArg TLuaArg<TLuaTable*>::Get(lua_State* L, int index) {
  if (!lua_istable(L, index)) luaL_typerror(L, index, "table");
  return NewScriptTable(L, index);
}

int TLuaResult<const char*>::Push(lua_State* L, const char* value) {
  luaL_checkstack(L, 1, "string result");
  lua_pushstring(L, value ? value : "");
  return 1;
}

int TLuaResult<bool>::Push(lua_State* L, bool value) {
  luaL_checkstack(L, 1, "boolean result");
  lua_pushboolean(L, value);
  return 1;
}

int TLuaResult<double>::Push(lua_State* L, double value) {
  luaL_checkstack(L, 1, "number result");
  lua_pushnumber(L, value);
  return 1;
}

int TLuaResult<TLuaTable*>::Push(lua_State* L, TLuaTable* table) {
  luaL_checkstack(L, 1, "table result");
  if (!table || !table->PushTo(L)) lua_newtable(L);
  return 1;
}

void UnbindLuaObject(lua_State* L, const void* object, TStaleCall stale) {
  if (!L || !object) return;
  UnbindArgs args{object, stale};
  RunProtected(LuaMainThread(L), UnbindBody, &args, "unbinding", "object");
}

void ClearLuaGlobalOf(lua_State* L, const char* name, const void* object) {
  if (!L || !name || !object) return;
  ClearArgs args{name, object};
  RunProtected(LuaMainThread(L), ClearBody, &args, "clearing", name);
}

namespace luabind {

void Register(lua_State* L, const char* name, lua_CFunction thunk, const void* record, size_t size,
              bool ofObject) {
  RegisterArgs args{name, thunk, record, size, ofObject};
  RunProtected(L, RegisterBody, &args, "binding", name);
}

int CallGone(lua_State* L, const BoundObject& bound) {
  if (bound.stale == TStaleCall::Raise) return luaL_error(L, "%s", "the object behind this function no longer exists");
  luaL_where(L, 1);
  LogPrintf("Lua: %sa function of a window that is gone was called; the call does nothing", lua_tostring(L, -1));
  lua_pop(L, 1);
  return 0;
}

int CheckResultCount(lua_State* L, int count) {
  if (count < 0) return LuaIsYielded(L) ? count : 0;
  int top = lua_gettop(L);
  return count > top ? top : count;
}

}  // namespace luabind
