// Slow paths of the virtual machine's instructions, shared with the API.
#pragma once

#include <cmath>

#include "script/lua/lua_internal.h"

namespace tlua {

Value CallTMRes(lua_State* L, const Value* f, const Value* p1, const Value* p2);
void CallTM(lua_State* L, const Value* f, const Value* p1, const Value* p2, const Value* p3);
bool CallBinTM(lua_State* L, const Value* p1, const Value* p2, Value* res, TMS event);
void Arith(lua_State* L, Value* ra, const Value* rb, const Value* rc, TMS op);
void Unm(lua_State* L, Value* ra, const Value* rb);
bool LessEqualValues(lua_State* L, const Value* l, const Value* r);

// Truncates toward zero and keeps the low 32 bits (two's complement).
inline uint32_t ToBits32(double d) {
  if (d > -2147483649.0 && d < 4294967296.0) return uint32_t(int64_t(d));
  if (d != d) return 0;
  double t = std::fmod(std::trunc(d), 4294967296.0);
  if (t < 0) t += 4294967296.0;
  return uint32_t(t);
}

}  // namespace tlua
