// Event handlers: metatables of tables and userdata, and the per-type handler tables
// that stand for the handler of every other kind of value.
#include "script/lua/lua_internal.h"

namespace tlua {

void InitTM(lua_State* L) {
  static const char* const kEventNames[] = {"__index", "__newindex", "__gc",  "__mode",   "__eq",
                                            "__add",   "__sub",      "__mul", "__div",    "__pow",
                                            "__unm",   "__lt",       "__le",  "__concat", "__call"};
  for (int i = 0; i < TM_N; i++) {
    L->g->tmname[i] = NewStr(L, kEventNames[i]);
    L->g->tmname[i]->marked |= kFixedBit;
  }
}

const Value* GetTM(LTable* events, TMS event, LString* ename) {
  const Value* tm = TableGetStr(events, ename);
  if (IsNil(tm)) {
    if (event <= TM_EQ) events->flags |= uint8_t(1u << event);  // cache the absence
    return nullptr;
  }
  return tm;
}

LTable* MetatableOf(lua_State* L, const Value* o) {
  switch (o->tt) {
    case TTable: return HValue(o)->metatable;
    case TUserdata: return UValue(o)->metatable;
    default: {
      const Value* slot = &L->g->typeSlots[o->tt];
      return IsTable(slot) ? HValue(slot) : nullptr;
    }
  }
}

const Value* GetTMByObj(lua_State* L, const Value* o, TMS event) {
  switch (o->tt) {
    case TTable: {
      LTable* mt = HValue(o)->metatable;
      return mt ? TableGetStr(mt, L->g->tmname[event]) : &kNilObject;
    }
    case TUserdata: {
      LTable* mt = UValue(o)->metatable;
      return mt ? TableGetStr(mt, L->g->tmname[event]) : &kNilObject;
    }
    default:
      return &L->g->typeSlots[o->tt];
  }
}

}  // namespace tlua
