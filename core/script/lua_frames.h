#pragma once
// What the binding layer needs to know about a Lua thread's call frames: the state whose
// registry a thread shares, how deep its calls go, and whether it sits suspended in a yield.

struct lua_State;

// The main thread of L's global state (L itself for a main state). Wrappers keep this one:
// a coroutine thread may be collected while its values are still referenced.
lua_State* LuaMainThread(lua_State* L);
// The number of call frames above the base frame: 0 while no function runs on L.
int LuaFrameDepth(lua_State* L);
// True while L's current frame is a native call that yielded (a suspended coroutine).
bool LuaIsYielded(lua_State* L);
