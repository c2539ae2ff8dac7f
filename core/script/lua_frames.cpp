#include "script/lua_frames.h"

// The interpreter's public interface does not answer these questions, so this one file
// reads its thread record directly.
#include "script/lua/lua_object.h"

lua_State* LuaMainThread(lua_State* L) { return L->g->mainthread; }

int LuaFrameDepth(lua_State* L) { return int(L->ci - L->baseCi); }

bool LuaIsYielded(lua_State* L) { return L->ci != L->baseCi && (L->ci->flags & tlua::kCIYield) != 0; }
