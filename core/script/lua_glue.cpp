#include "script/lua_glue.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/log.h"
#include "script/lua/lauxlib.h"
#include "script/lua_binding.h"

namespace {

// Lua states live on the main thread; the chain of open bound calls is per thread anyway.
thread_local TBoundCall* gCurrentCall = nullptr;

constexpr const char* kNotAString = "(error object is not a string)";

}  // namespace

TString GetLuaString(lua_State* L, int index) {
  const char* text = lua_tostring(L, index);
  return text ? TString(text, lua_strlen(L, index)) : TString();
}

void PushLuaString(lua_State* L, TString text) {
  luaL_checkstack(L, 1, "string result");
  lua_pushlstring(L, text.c_str(), text.Length());
}

int32_t LuaNumberToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return int32_t(value);
}

uint32_t LuaNumberToUnsigned(double value) {
  if (std::isnan(value)) return 0;
  int64_t wide;
  if (value >= 9223372036854775807.0)
    wide = std::numeric_limits<int64_t>::max();
  else if (value <= -9223372036854775808.0)
    wide = std::numeric_limits<int64_t>::min();
  else
    wide = int64_t(value);
  return uint32_t(uint64_t(wide));
}

float LuaNumberToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return float(value);
}

int LuaAlert(lua_State* L) {
  const char* message = lua_tostring(L, -1);
  LogPrintf("Lua error: %s", message ? message : kNotAString);
  return 0;
}

int LuaToParams(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  int n = lua_getn(L, 1);
  if (n <= 0) return 0;
  // The count comes from the script (a field "n" may say anything): the results must fit
  // the stack that one native call may use.
  luaL_checkstack(L, n, "table too big for toparams");
  for (int i = 1; i <= n; i++) {
    lua_pushnumber(L, i);
    lua_gettable(L, 1);
  }
  return n;
}

void DebugOut(TString text) { LogPrintf("%s", text.c_str()); }

void OpenLuaGlue(lua_State* L) {
  BindLuaFunction(L, "_ALERT", &LuaAlert);
  BindLuaFunction(L, "DebugOut", &DebugOut);
  BindLuaFunction(L, "toparams", &LuaToParams);
}

void ReportScriptError(const char* message) {
  if (!message) message = kNotAString;
  if (gCurrentCall)
    gCurrentCall->Fail(message);
  else
    LogPrintf("Lua error: %s", message);
}

bool IsInsideBoundCall() { return gCurrentCall != nullptr; }

TBoundCall::TBoundCall() : mOuter(gCurrentCall) { gCurrentCall = this; }

TBoundCall::~TBoundCall() { gCurrentCall = mOuter; }

void TBoundCall::Fail(const char* message) {
  if (mFailed) return;
  mFailed = true;
  mMessage = message;
}

void TBoundCall::Raise(lua_State* L) const {
  luaL_error(L, "%s", mMessage.c_str());
  abort();  // not reached: luaL_error unwinds
}
