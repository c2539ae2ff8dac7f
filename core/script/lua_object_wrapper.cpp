#include "script/lua_object_wrapper.h"

#include "script/lua_frames.h"

// Registry reads and writes go raw: the registry has no metatable, and a raw access with a
// light userdata key can raise no script error outside a protected call.

TLuaObjectWrapper::TLuaObjectWrapper(lua_State* L) : mState(LuaMainThread(L)) {
  if (lua_gettop(L) == 0) {
    if (!lua_checkstack(L, 1)) {
      mReleased = true;
      return;
    }
    lua_pushnil(L);
  }
  if (!lua_checkstack(L, 1)) {
    // Nowhere to put the key: the value is dropped and the wrapper holds nothing.
    lua_pop(L, 1);
    mReleased = true;
    return;
  }
  lua_pushlightuserdata(L, this);
  lua_insert(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

TLuaObjectWrapper::~TLuaObjectWrapper() { Release(); }

void TLuaObjectWrapper::Release() {
  if (mReleased || !lua_checkstack(mState, 2)) return;
  mReleased = true;
  lua_pushlightuserdata(mState, this);
  lua_pushnil(mState);
  lua_rawset(mState, LUA_REGISTRYINDEX);
}

bool TLuaObjectWrapper::PushTable() {
  if (!lua_checkstack(mState, 1)) return false;
  if (mReleased) {
    lua_pushnil(mState);
    return true;
  }
  lua_pushlightuserdata(mState, this);
  lua_rawget(mState, LUA_REGISTRYINDEX);
  return true;
}

bool TLuaObjectWrapper::PushTo(lua_State* L) {
  if (L == mState || !L) return PushTable();
  if (!lua_checkstack(L, 1) || !PushTable()) return false;
  lua_xmove(mState, L, 1);
  return true;
}

bool TLuaFunction::Call() {
  lua_State* L = GetState();
  if (!lua_checkstack(L, 3) || !PushTable()) return false;
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 1);
    return false;
  }
  lua_pushliteral(L, "_ALERT");
  lua_rawget(L, LUA_GLOBALSINDEX);
  lua_insert(L, -2);
  int handler = lua_gettop(L) - 1;
  return lua_pcall(L, 0, 1, handler) == 0;
}

TLuaThread::TLuaThread(lua_State* parent) {
  if (!lua_checkstack(parent, 1)) return;
  mThread = lua_newthread(parent);
  mAnchor = std::make_unique<TLuaObjectWrapper>(parent);
}
