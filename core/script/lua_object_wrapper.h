#pragma once
// Native references to Lua values. A wrapper anchors one value in the registry of its Lua
// state under a light userdata of its own address, so the collector keeps the value while
// the wrapper lives. Wrappers should go before their state; one that outlives a state
// closed through NoteLuaStateClosing holds nothing and touches nothing.

#include <memory>

#include "script/lua/lua.h"

class TLuaObjectWrapper {
 public:
  // Takes the value on top of L's stack (popped). With an empty stack the wrapper holds nil.
  explicit TLuaObjectWrapper(lua_State* L);
  virtual ~TLuaObjectWrapper();
  // The registry entry depends on the wrapper's address: no copies, no moves.
  TLuaObjectWrapper(const TLuaObjectWrapper&) = delete;
  TLuaObjectWrapper& operator=(const TLuaObjectWrapper&) = delete;

  // Clears the registry entry; the destructor then has nothing left to clear, so the entry
  // is released exactly once. A released wrapper pushes nil.
  void Release();
  bool IsReleased() const;

  // Pushes the referenced value onto the wrapper's own state. False (nothing pushed) when
  // the stack has no room.
  bool PushTable();
  // Pushes the value onto another thread of the same state (a bound member's caller).
  bool PushTo(lua_State* L);
  // The main thread of the state whose registry holds the value (null once it is closed).
  lua_State* GetState() const;

 private:
  lua_State* mState;
  bool mReleased = false;
};

// A reference to a Lua function that native code calls later (button commands, closures
// delivered to a waiting script).
class TLuaFunction : public TLuaObjectWrapper {
 public:
  explicit TLuaFunction(lua_State* L) : TLuaObjectWrapper(L) {}
  // Calls the function without arguments, one result wanted, with the global `_ALERT' as
  // error handler placed just below it. The handler copy and the result (or the error
  // value) stay on the stack: callers enclose the call in a LuaStackGuard. A value that is
  // not a function is popped again and nothing runs. True when the function ran cleanly.
  bool Call();
};

// A coroutine owned by native code. Its anchor keeps the thread reachable; deleting the
// TLuaThread lets the collector have it.
class TLuaThread {
 public:
  explicit TLuaThread(lua_State* parent);
  virtual ~TLuaThread() = default;
  TLuaThread(const TLuaThread&) = delete;
  TLuaThread& operator=(const TLuaThread&) = delete;

  lua_State* GetThread() const { return mThread; }

 private:
  std::unique_ptr<TLuaObjectWrapper> mAnchor;
  lua_State* mThread = nullptr;
};

// Owners of a state call these around lua_open and lua_close (TScript does).
void NoteLuaStateOpened(lua_State* L);
void NoteLuaStateClosing(lua_State* L);

// Sets the stack top back to what it was at the start of the scope.
class LuaStackGuard {
 public:
  // A null state (a wrapper's closed one) guards nothing.
  explicit LuaStackGuard(lua_State* L) : mState(L), mTop(L ? lua_gettop(L) : 0) {}
  ~LuaStackGuard() {
    if (mState) lua_settop(mState, mTop);
  }
  LuaStackGuard(const LuaStackGuard&) = delete;
  LuaStackGuard& operator=(const LuaStackGuard&) = delete;
  int GetTop() const { return mTop; }

 private:
  lua_State* mState;
  int mTop;
};
