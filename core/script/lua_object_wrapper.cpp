#include "script/lua_object_wrapper.h"

#include <unordered_set>

#include "script/lua_frames.h"

namespace {

// Main threads of states closed by their owners. An address leaves the set when a new state
// opens there. Lua states live on the main thread only.
std::unordered_set<lua_State*>& ClosedStates() {
  static std::unordered_set<lua_State*> closed;
  return closed;
}

bool IsClosed(lua_State* L) { return !ClosedStates().empty() && ClosedStates().count(L) != 0; }

}  // namespace

void NoteLuaStateOpened(lua_State* L) { ClosedStates().erase(L); }

void NoteLuaStateClosing(lua_State* L) { ClosedStates().insert(L); }

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

bool TLuaObjectWrapper::IsReleased() const { return mReleased || IsClosed(mState); }

lua_State* TLuaObjectWrapper::GetState() const { return IsClosed(mState) ? nullptr : mState; }

void TLuaObjectWrapper::Release() {
  if (IsReleased() || !lua_checkstack(mState, 2)) return;
  mReleased = true;
  lua_pushlightuserdata(mState, this);
  lua_pushnil(mState);
  lua_rawset(mState, LUA_REGISTRYINDEX);
}

bool TLuaObjectWrapper::PushTable() {
  if (IsClosed(mState) || !lua_checkstack(mState, 1)) return false;
  if (mReleased) {
    lua_pushnil(mState);
    return true;
  }
  lua_pushlightuserdata(mState, this);
  lua_rawget(mState, LUA_REGISTRYINDEX);
  return true;
}

bool TLuaObjectWrapper::PushTo(lua_State* L) {
  if (L == mState || !L || IsClosed(mState)) return PushTable();
  if (!lua_checkstack(L, 1) || !PushTable()) return false;
  lua_xmove(mState, L, 1);
  return true;
}

bool TLuaFunction::Call() {
  lua_State* L = GetState();
  if (!L || !lua_checkstack(L, 3) || !PushTable()) return false;
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
