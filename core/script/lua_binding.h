#pragma once
// Member binding: a native function, or a member function of a native object, offered to
// scripts under a global name. The global is a native closure whose one upvalue is a
// binding record (a full userdata holding the function, or the object and the member); a
// thunk made for the member's signature converts the Lua arguments, calls it and pushes
// the result.
//
// Conversions (argument k comes from stack index k + 1; missing arguments read as nil):
//   TString / const TString&   GetLuaString (non-strings give "")
//   const char*                the string, valid during the call ("" when not a string)
//   int32_t / uint32_t         the number truncated toward zero (0 when not a number)
//   float / double             the number (0 when not a number)
//   bool                       Lua truth (nil and false are false)
//   TLuaTable*                 a table argument, wrapped by NewScriptTable; anything else
//                              is the script error "table expected"
// Results: void (none), TString, const char*, bool, int32_t, uint32_t, float, double (one
// value each) and TLuaTable* (its table; null gives a new empty table). Another header may
// add a result type by specialising TLuaResult. A raw member `int (C::*)(lua_State*)' or
// raw function `int (*)(lua_State*)' reads the stack itself and answers its result count.
//
// Extra arguments are ignored, as Lua does for its own functions. A C++ exception leaving
// the member, or an error reported during the call (ReportScriptError), becomes a script
// error of the call once the member has returned.
//
// The record does not keep the object alive: an object whose members are bound calls
// UnbindLuaObject before it goes, after which its closures raise a script error instead of
// reaching freed memory, or, for a window, do nothing and log one line. A later binding
// under the same name replaces the global.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/engine_string.h"
#include "script/lua/lua.h"
#include "script/lua_glue.h"
#include "script/lua_table_reader.h"

template <typename T>
struct TLuaArg;

template <>
struct TLuaArg<TString> {
  using Holder = TString;
  static TString Get(lua_State* L, int index) { return GetLuaString(L, index); }
};
template <>
struct TLuaArg<const char*> {
  using Holder = const char*;
  static const char* Get(lua_State* L, int index) {
    const char* text = lua_tostring(L, index);
    return text ? text : "";
  }
};
template <typename T, T (*Convert)(double)>
struct TLuaNumberArg {
  using Holder = T;
  static T Get(lua_State* L, int index) { return Convert(lua_tonumber(L, index)); }
};
inline double LuaNumberAsIs(double value) { return value; }
template <>
struct TLuaArg<int32_t> : TLuaNumberArg<int32_t, LuaNumberToInt> {};
template <>
struct TLuaArg<uint32_t> : TLuaNumberArg<uint32_t, LuaNumberToUnsigned> {};
template <>
struct TLuaArg<float> : TLuaNumberArg<float, LuaNumberToFloat> {};
template <>
struct TLuaArg<double> : TLuaNumberArg<double, LuaNumberAsIs> {};
template <>
struct TLuaArg<bool> {
  using Holder = bool;
  static bool Get(lua_State* L, int index) { return lua_toboolean(L, index) != 0; }
};
template <>
struct TLuaArg<TLuaTable*> {
  using Holder = TScriptTableArg;
  static TScriptTableArg Get(lua_State* L, int index);
};

template <typename T>
struct TLuaResult;

template <>
struct TLuaResult<TString> {
  static int Push(lua_State* L, const TString& value) {
    PushLuaString(L, value);
    return 1;
  }
};
template <>
struct TLuaResult<const char*> {
  static int Push(lua_State* L, const char* value);
};
template <>
struct TLuaResult<bool> {
  static int Push(lua_State* L, bool value);
};
template <>
struct TLuaResult<double> {
  static int Push(lua_State* L, double value);
};
template <>
struct TLuaResult<int32_t> {
  static int Push(lua_State* L, int32_t value) { return TLuaResult<double>::Push(L, value); }
};
template <>
struct TLuaResult<uint32_t> {
  static int Push(lua_State* L, uint32_t value) { return TLuaResult<double>::Push(L, value); }
};
template <>
struct TLuaResult<float> {
  static int Push(lua_State* L, float value) { return TLuaResult<double>::Push(L, value); }
};
template <>
struct TLuaResult<TLuaTable*> {
  static int Push(lua_State* L, TLuaTable* table);
};

// What a call through a closure of an unbound object does.
enum class TStaleCall : uint8_t {
  Raise,       // a script error
  LogAndSkip,  // nothing, with one log line (a window's functions: a UI coroutine that
               // calls one after its window went must not end)
};

// Makes the object's bound closures harmless: from now on each does what `stale' says.
void UnbindLuaObject(lua_State* L, const void* object, TStaleCall stale = TStaleCall::Raise);
// Sets the global to nil while it is still a closure bound to the object; a name that a later
// object has bound to itself (or that a script has set to something else) stays as it is.
void ClearLuaGlobalOf(lua_State* L, const char* name, const void* object);

namespace luabind {

template <typename T>
using Plain = std::remove_cv_t<std::remove_reference_t<T>>;

// Stores a record (a plain copyable struct) as the upvalue of a closure of `thunk' under
// the global `name'. Records of members are remembered for UnbindLuaObject.
void Register(lua_State* L, const char* name, lua_CFunction thunk, const void* record, size_t size,
              bool ofObject);
struct BoundObject;
// A call through a closure of an unbound object: raises, or logs and answers no results.
int CallGone(lua_State* L, const BoundObject& bound);
// A raw member's answer: its result count, kept within what it pushed.
int CheckResultCount(lua_State* L, int count);

template <typename Record>
Record& GetRecord(lua_State* L) {
  return *static_cast<Record*>(lua_touserdata(L, lua_upvalueindex(1)));
}

// Keeps a member's result from the call (inside the try block) to the push (after it).
template <typename R>
struct ResultSlot {
  template <typename F>
  void Run(const F& f) {
    value.emplace(f());
  }
  int Push(lua_State* L) { return TLuaResult<R>::Push(L, *value); }
  std::optional<R> value;
};
template <>
struct ResultSlot<void> {
  template <typename F>
  void Run(const F& f) {
    f();
  }
  int Push(lua_State*) { return 0; }
};

template <typename R, typename... A, typename Call, size_t... I>
int Dispatch(lua_State* L, const Call& call, std::index_sequence<I...>) {
  TBoundCall scope;
  std::tuple<typename TLuaArg<Plain<A>>::Holder...> args{TLuaArg<Plain<A>>::Get(L, int(I) + 1)...};
  ResultSlot<Plain<R>> result;
  try {
    result.Run([&]() -> R { return call(std::get<I>(args)...); });
  } catch (const std::exception& e) {
    scope.Fail(e.what());
  }
  if (scope.Failed()) scope.Raise(L);
  return result.Push(L);
}

template <typename Call>
int DispatchRaw(lua_State* L, const Call& call) {
  TBoundCall scope;
  int count = 0;
  try {
    count = call(L);
  } catch (const std::exception& e) {
    scope.Fail(e.what());
  }
  if (scope.Failed()) scope.Raise(L);
  return CheckResultCount(L, count);
}

template <typename Fn>
struct FunctionRecord {
  Fn function;
};

// Every member record starts with this, so UnbindLuaObject can find and clear it without
// knowing the member's type. `key' is the object's address as it was bound, `object' the
// address of the class that declares the member (they differ under multiple inheritance).
struct BoundObject {
  const void* key;
  void* object;
  TStaleCall stale = TStaleCall::Raise;
};

template <typename C, typename Member>
struct MemberRecord {
  BoundObject bound;
  Member member;
};

template <typename R, typename... A>
int FunctionThunk(lua_State* L) {
  auto fn = GetRecord<FunctionRecord<R (*)(A...)>>(L).function;
  return Dispatch<R, A...>(L, fn, std::index_sequence_for<A...>{});
}

inline int RawFunctionThunk(lua_State* L) {
  auto fn = GetRecord<FunctionRecord<lua_CFunction>>(L).function;
  return DispatchRaw(L, fn);
}

template <typename C, typename Member, typename R, typename... A>
int MemberThunk(lua_State* L) {
  auto& record = GetRecord<MemberRecord<C, Member>>(L);
  if (!record.bound.object) return CallGone(L, record.bound);
  C* object = static_cast<C*>(record.bound.object);
  Member member = record.member;
  auto call = [object, member](auto&&... args) -> R { return (object->*member)(args...); };
  return Dispatch<R, A...>(L, call, std::index_sequence_for<A...>{});
}

template <typename C, typename Member>
int RawMemberThunk(lua_State* L) {
  auto& record = GetRecord<MemberRecord<C, Member>>(L);
  if (!record.bound.object) return CallGone(L, record.bound);
  C* object = static_cast<C*>(record.bound.object);
  Member member = record.member;
  return DispatchRaw(L, [object, member](lua_State* state) { return (object->*member)(state); });
}

template <typename C, typename Member, typename Obj>
void RegisterMember(lua_State* L, const char* name, Obj* object, Member member, lua_CFunction thunk) {
  C* declaring = object;
  MemberRecord<C, Member> record{{static_cast<const void*>(object), const_cast<void*>(static_cast<const void*>(declaring))},
                                 member};
  static_assert(std::is_trivially_copyable_v<decltype(record)>);
  Register(L, name, thunk, &record, sizeof record, true);
}

}  // namespace luabind

template <typename R, typename... A>
void BindLuaFunction(lua_State* L, const char* name, R (*function)(A...)) {
  luabind::FunctionRecord<R (*)(A...)> record{function};
  luabind::Register(L, name, &luabind::FunctionThunk<R, A...>, &record, sizeof record, false);
}

inline void BindLuaFunction(lua_State* L, const char* name, lua_CFunction function) {
  luabind::FunctionRecord<lua_CFunction> record{function};
  luabind::Register(L, name, &luabind::RawFunctionThunk, &record, sizeof record, false);
}

template <typename Obj, typename C, typename R, typename... A>
void BindLuaMember(lua_State* L, const char* name, Obj* object, R (C::*member)(A...)) {
  static_assert(std::is_base_of_v<C, Obj>, "the member must belong to the object's class");
  using Member = R (C::*)(A...);
  luabind::RegisterMember<C, Member>(L, name, object, member, &luabind::MemberThunk<C, Member, R, A...>);
}

template <typename Obj, typename C, typename R, typename... A>
void BindLuaMember(lua_State* L, const char* name, Obj* object, R (C::*member)(A...) const) {
  static_assert(std::is_base_of_v<C, Obj>, "the member must belong to the object's class");
  using Member = R (C::*)(A...) const;
  luabind::RegisterMember<const C, Member>(L, name, object, member, &luabind::MemberThunk<const C, Member, R, A...>);
}

template <typename Obj, typename C>
void BindLuaMember(lua_State* L, const char* name, Obj* object, int (C::*member)(lua_State*)) {
  static_assert(std::is_base_of_v<C, Obj>, "the member must belong to the object's class");
  using Member = int (C::*)(lua_State*);
  luabind::RegisterMember<C, Member>(L, name, object, member, &luabind::RawMemberThunk<C, Member>);
}
