#pragma once
// Glue between native code and Lua values shared by the binding layer, the table reader and
// the script tasks: string transfer, number conversions, the error printer `_ALERT',
// `toparams' and `DebugOut', and the way script errors leave native code.

#include <cstdint>

#include "platform/engine_string.h"
#include "script/lua/lua.h"

// The value at the index through lua_tostring (a number is converted in place); any other
// value gives the empty string.
TString GetLuaString(lua_State* L, int index);
// Pushes the text as a Lua string; raises "stack overflow" when the stack has no room.
void PushLuaString(lua_State* L, TString text);

// Lua numbers to the native parameter types: truncated toward zero, NaN as 0, out-of-range
// values saturated (an unsigned takes the low 32 bits of the 64-bit truncation, so -1 gives
// 2^32 - 1).
int32_t LuaNumberToInt(double value);
uint32_t LuaNumberToUnsigned(double value);
float LuaNumberToFloat(double value);

// `_ALERT': logs "Lua error: %s" with the value on top of the stack; no results.
int LuaAlert(lua_State* L);
// `toparams(t)': t[1] .. t[n] as results, n as lua_getn says; a table too big for the
// stack is a script error, not an unbounded push.
int LuaToParams(lua_State* L);
// `DebugOut(text)': writes the text to the log as one line.
void DebugOut(TString text);
// Registers `_ALERT', `DebugOut' and `toparams' as globals of L.
void OpenLuaGlue(lua_State* L);

// A script error found in native code that Lua called (a table reader whose metamethod
// raised, say): inside a bound call it is kept and raised as that call's script error once
// the native member has returned; outside any bound call it is logged as a "Lua error".
void ReportScriptError(const char* message);
// True while a bound native function or member runs.
bool IsInsideBoundCall();

// Marks the extent of one bound call (the binding thunks open one around each member).
class TBoundCall {
 public:
  TBoundCall();
  ~TBoundCall();
  TBoundCall(const TBoundCall&) = delete;
  TBoundCall& operator=(const TBoundCall&) = delete;

  // Keeps the first error reported during the call.
  void Fail(const char* message);
  bool Failed() const { return mFailed; }
  const TString& GetMessage() const { return mMessage; }
  // Raises the kept error as a Lua error of the calling script ("%s" with the message).
  [[noreturn]] void Raise(lua_State* L) const;

 private:
  TBoundCall* mOuter;
  bool mFailed = false;
  TString mMessage;
};
