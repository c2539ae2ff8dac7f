// The native interface: stack access, pushing and reading values, tables, calls.
#include <cstring>

#include "script/lua/lua_internal.h"
#include "script/lua/lua_vm_ops.h"

using namespace tlua;

namespace {

// The per-state nil slot; reset on every use because writing through it is not supported.
Value* NoValue(lua_State* L) {
  SetNil(&L->g->noValue);
  return &L->g->noValue;
}

// The slot an index names, or null when there is none (pseudo-indices included).
Value* IndexAcceptable(lua_State* L, int idx) {
  if (idx > 0) {
    Value* o = L->base + (idx - 1);
    return o >= L->top ? nullptr : o;
  }
  if (idx > LUA_REGISTRYINDEX) {
    if (-idx > L->top - L->base) return nullptr;
    return L->top + idx;
  }
  if (idx == LUA_REGISTRYINDEX) return &L->g->registry;
  if (idx == LUA_GLOBALSINDEX) return &L->globals;
  if (idx > LUA_REFBASE) {
    Value* func = L->base - 1;
    int up = LUA_GLOBALSINDEX - idx;
    if (!IsFunction(func) || !ClValue(func)->isC) return nullptr;
    CClosure* c = static_cast<CClosure*>(ClValue(func));
    return up <= c->nupvalues ? &c->upvalue[up - 1] : nullptr;
  }
  // registry[k] by number; an absent key reads as nil (read-only)
  int k = LUA_REFBASE - idx;
  LTable* reg = HValue(&L->g->registry);
  const Value* v = TableGetNum(reg, k);
  if (v == &kNilObject) return NoValue(L);
  return const_cast<Value*>(v);
}

Value* Index(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  return o == nullptr ? NoValue(L) : o;
}

inline void ApiIncrTop(lua_State* L) {
  if (L->top >= L->ci->top) CheckStack(L, 1);
  L->top++;
}

struct CallS {
  Value* func;
  int nresults;
};

void FCall(lua_State* L, void* ud) {
  CallS* c = static_cast<CallS*>(ud);
  Call(L, c->func, c->nresults);
}

struct CCallS {
  lua_CFunction func;
  void* ud;
};

void FCCall(lua_State* L, void* ud) {
  CCallS* c = static_cast<CCallS*>(ud);
  CClosure* cl = NewCClosure(L, 0);
  cl->f = c->func;
  SetClosure(L->top, cl);
  IncrTop(L);
  SetLightUd(L->top, c->ud);
  IncrTop(L);
  Call(L, L->top - 2, 0);
}

void PushLString(lua_State* L, LString* s) {
  SetString(L->top, s);
  ApiIncrTop(L);
}

}  // namespace

int lua_checkstack(lua_State* L, int size) {
  if ((L->top - L->base + size) > kMaxCStack) return 0;
  CheckStack(L, size);
  if (L->ci->top < L->top + size) L->ci->top = L->top + size;
  return 1;
}

void lua_xmove(lua_State* from, lua_State* to, int n) {
  if (from == to) return;
  from->top -= n;
  for (int i = 0; i < n; i++) {
    to->top[0] = from->top[i];
    ApiIncrTop(to);
  }
}

lua_State* lua_newthread(lua_State* L) {
  CheckGC(L);
  lua_State* L1 = NewThread(L);
  SetGC(L->top, L1, TThread);
  ApiIncrTop(L);
  return L1;
}

int lua_gettop(lua_State* L) { return int(L->top - L->base); }

void lua_settop(lua_State* L, int idx) {
  if (idx >= 0) {
    while (L->top < L->base + idx) SetNil(L->top++);
    L->top = L->base + idx;
  } else {
    L->top += idx + 1;
  }
}

void lua_remove(lua_State* L, int idx) {
  Value* p = Index(L, idx);
  while (++p < L->top) p[-1] = *p;
  L->top--;
}

void lua_insert(lua_State* L, int idx) {
  Value* p = Index(L, idx);
  for (Value* q = L->top; q > p; q--) *q = q[-1];
  *p = *L->top;
}

void lua_replace(lua_State* L, int idx) {
  *Index(L, idx) = L->top[-1];
  L->top--;
}

void lua_pushvalue(lua_State* L, int idx) {
  *L->top = *Index(L, idx);
  ApiIncrTop(L);
}

int lua_type(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  return o == nullptr ? LUA_TNONE : o->tt;
}

const char* lua_typename(lua_State*, int t) {
  if (t == LUA_TNONE) return "no value";
  if (t < 0 || t >= kNumValueTypes) return "?";
  return TypeName(t);
}

int lua_iscfunction(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  return o != nullptr && IsFunction(o) && ClValue(o)->isC;
}

int lua_isnumber(lua_State* L, int idx) {
  Value n;
  Value* o = IndexAcceptable(L, idx);
  return o != nullptr && ToNumber(o, &n) != nullptr;
}

int lua_isstring(lua_State* L, int idx) {
  int t = lua_type(L, idx);
  return t == LUA_TSTRING || t == LUA_TNUMBER || t == LUA_TWSTRING;
}

int lua_isuserdata(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  return o != nullptr && (o->tt == TUserdata || o->tt == TLightUd);
}

int lua_rawequal(lua_State* L, int index1, int index2) {
  Value* o1 = IndexAcceptable(L, index1);
  Value* o2 = IndexAcceptable(L, index2);
  return o1 && o2 && RawEqual(o1, o2);
}

int lua_equal(lua_State* L, int index1, int index2) {
  Value* o1 = IndexAcceptable(L, index1);
  Value* o2 = IndexAcceptable(L, index2);
  if (!o1 || !o2) return 0;
  Value a = *o1, b = *o2;
  return Equal(L, &a, &b);
}

int lua_lessthan(lua_State* L, int index1, int index2) {
  Value* o1 = IndexAcceptable(L, index1);
  Value* o2 = IndexAcceptable(L, index2);
  if (!o1 || !o2) return 0;
  Value a = *o1, b = *o2;
  return LessThan(L, &a, &b);
}

lua_Number lua_tonumber(lua_State* L, int idx) {
  Value n;
  const Value* o = IndexAcceptable(L, idx);
  if (o != nullptr && IsNumber(o)) return NValue(o);  // the common case, without a call
  if (o != nullptr && (o = ToNumber(o, &n)) != nullptr) return NValue(o);
  return 0;
}

int lua_toboolean(lua_State* L, int idx) {
  const Value* o = IndexAcceptable(L, idx);
  return o != nullptr && !IsFalse(o);
}

const char* lua_tostring(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  if (o == nullptr) return nullptr;
  if (IsString(o)) return SValue(o)->Data();
  if (o == &L->g->noValue || !IsNumber(o)) return nullptr;
  CheckGC(L);
  o = IndexAcceptable(L, idx);
  if (!ToStringInPlace(L, o)) return nullptr;
  return SValue(o)->Data();
}

size_t lua_strlen(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  if (o == nullptr) return 0;
  if (IsString(o) || IsWString(o)) return SValue(o)->len;
  if (IsNumber(o) && o != &L->g->noValue) {
    ToStringInPlace(L, o);
    return SValue(o)->len;
  }
  return 0;
}

lua_CFunction lua_tocfunction(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  return (o == nullptr || !IsFunction(o) || !ClValue(o)->isC) ? nullptr : static_cast<CClosure*>(ClValue(o))->f;
}

void* lua_touserdata(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  if (o == nullptr) return nullptr;
  switch (o->tt) {
    case TUserdata: {
      LUserdata* u = UValue(o);
      if (u->len & 1) return *static_cast<void**>(u->Data());  // a boxed pointer
      return u->Data();
    }
    case TLightUd: return o->u.p;
    default: return nullptr;
  }
}

lua_State* lua_tothread(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  return (o == nullptr || o->tt != TThread) ? nullptr : ThValue(o);
}

const void* lua_topointer(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  if (o == nullptr) return nullptr;
  switch (o->tt) {
    case TTable:
    case TFunction:
    case TThread: return o->u.gc;
    case TUserdata:
    case TLightUd: return lua_touserdata(L, idx);
    default: return nullptr;
  }
}

void lua_pushnil(lua_State* L) {
  SetNil(L->top);
  ApiIncrTop(L);
}

void lua_pushnumber(lua_State* L, lua_Number n) {
  SetNumber(L->top, n);
  ApiIncrTop(L);
}

void lua_pushlstring(lua_State* L, const char* s, size_t len) {
  CheckGC(L);
  PushLString(L, NewLStr(L, s, len));
}

void lua_pushstring(lua_State* L, const char* s) {
  if (s == nullptr)
    lua_pushnil(L);
  else
    lua_pushlstring(L, s, strlen(s));
}

const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp) {
  CheckGC(L);
  return PushVFString(L, fmt, argp);
}

const char* lua_pushfstring(lua_State* L, const char* fmt, ...) {
  CheckGC(L);
  va_list argp;
  va_start(argp, fmt);
  const char* ret = PushVFString(L, fmt, argp);
  va_end(argp);
  return ret;
}

void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n) {
  CheckGC(L);
  CClosure* cl = NewCClosure(L, n);
  cl->f = fn;
  L->top -= n;
  while (n--) cl->upvalue[n] = L->top[n];
  SetClosure(L->top, cl);
  ApiIncrTop(L);
}

void lua_pushboolean(lua_State* L, int b) {
  SetBool(L->top, b != 0);
  ApiIncrTop(L);
}

void lua_pushlightuserdata(lua_State* L, void* p) {
  SetLightUd(L->top, p);
  ApiIncrTop(L);
}

void lua_gettable(lua_State* L, int idx) {
  Value* t = Index(L, idx);
  Value tv = *t;
  GetTable(L, &tv, L->top - 1, L->top - 1);
}

void lua_rawget(lua_State* L, int idx) {
  Value* t = Index(L, idx);
  if (!IsTable(t)) RunError(L, "table expected");
  L->top[-1] = *TableGet(HValue(t), L->top - 1);
}

void lua_rawgeti(lua_State* L, int idx, int n) {
  Value* o = Index(L, idx);
  if (!IsTable(o)) RunError(L, "table expected");
  *L->top = *TableGetNum(HValue(o), n);
  ApiIncrTop(L);
}

void lua_newtable(lua_State* L) {
  CheckGC(L);
  SetTable(L->top, NewTable(L, 0, -1));
  ApiIncrTop(L);
}

int lua_getmetatable(lua_State* L, int objindex) {
  Value* obj = IndexAcceptable(L, objindex);
  LTable* mt = obj ? MetatableOf(L, obj) : nullptr;
  if (mt == nullptr) return 0;
  SetTable(L->top, mt);
  ApiIncrTop(L);
  return 1;
}

void lua_getfenv(lua_State* L, int idx) {
  // Only Lua functions have an environment of their own; native ones see the thread's globals.
  Value* o = Index(L, idx);
  if (IsLuaFunction(o))
    SetTable(L->top, ClValue(o)->env);
  else
    *L->top = L->globals;
  ApiIncrTop(L);
}

void lua_settable(lua_State* L, int idx) {
  Value* t = Index(L, idx);
  Value tv = *t;
  SetTable(L, &tv, L->top - 2, L->top - 1);
  L->top -= 2;
}

void lua_rawset(lua_State* L, int idx) {
  Value* t = Index(L, idx);
  if (!IsTable(t)) RunError(L, "table expected");
  *TableSet(L, HValue(t), L->top - 2) = L->top[-1];
  L->top -= 2;
}

void lua_rawseti(lua_State* L, int idx, int n) {
  Value* o = Index(L, idx);
  if (!IsTable(o)) RunError(L, "table expected");
  *TableSetNum(L, HValue(o), n) = L->top[-1];
  L->top--;
}

int lua_setmetatable(lua_State* L, int objindex) {
  Value* obj = Index(L, objindex);
  Value* mt = L->top - 1;
  LTable* m = IsNil(mt) ? HValue(&L->g->defaultMeta) : (IsTable(mt) ? HValue(mt) : nullptr);
  int res = 1;
  if (m == nullptr) {
    res = 0;
  } else if (obj->tt == TTable) {
    HValue(obj)->metatable = m;
  } else if (obj->tt == TUserdata) {
    UValue(obj)->metatable = m;
  } else {
    res = 0;
  }
  L->top--;
  return res;
}

int lua_setfenv(lua_State* L, int idx) {
  Value* o = Index(L, idx);
  L->top--;
  if (!IsTable(L->top) || !IsLuaFunction(o)) return 0;
  ClValue(o)->env = HValue(L->top);
  return 1;
}

void lua_call(lua_State* L, int nargs, int nresults) {
  Value* func = L->top - (nargs + 1);
  Call(L, func, nresults);
}

int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc) {
  ptrdiff_t func = 0;
  if (errfunc != 0) func = SaveStack(L, Index(L, errfunc));
  CallS c{L->top - (nargs + 1), nresults};
  return PCall(L, FCall, &c, SaveStack(L, c.func), func);
}

int lua_cpcall(lua_State* L, lua_CFunction func, void* ud) {
  CCallS c{func, ud};
  return PCall(L, FCCall, &c, SaveStack(L, L->top), 0);
}

int lua_load(lua_State* L, lua_Chunkreader reader, void* data, const char* chunkname) {
  if (!chunkname) chunkname = "?";
  return ProtectedParser(L, reader, data, chunkname);
}

int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data) {
  Value* o = L->top - 1;
  if (!IsFunction(o) || ClValue(o)->isC) return 0;
  return Dump(L, static_cast<LClosure*>(ClValue(o))->p, writer, data);
}

int lua_getgcthreshold(lua_State* L) { return int(L->g->gcThreshold >> 10); }

int lua_getgccount(lua_State* L) { return int(L->g->nblocks >> 10); }

void lua_setgcthreshold(lua_State* L, int newthreshold) {
  if (newthreshold < 0 || size_t(newthreshold) > (size_t(-1) >> 10))
    L->g->gcThreshold = size_t(-1);
  else
    L->g->gcThreshold = size_t(newthreshold) << 10;
  CheckGC(L);
}

const char* lua_version(void) { return LUA_VERSION; }

int lua_error(lua_State* L) { ErrorMsg(L); }

int lua_next(lua_State* L, int idx) {
  Value* t = Index(L, idx);
  if (!IsTable(t)) RunError(L, "table expected");
  bool more = TableNext(L, HValue(t), L->top - 1);
  if (more) {
    ApiIncrTop(L);
    return 1;
  }
  L->top--;
  return 0;
}

void lua_concat(lua_State* L, int n) {
  CheckStack(L, LUA_MINSTACK);
  if (n >= 2) {
    CheckGC(L);
    Concat(L, n, int(L->top - L->base) - 1);
    L->top -= (n - 1);
  } else if (n == 0) {
    SetString(L->top, NewLStr(L, nullptr, 0));
    ApiIncrTop(L);
  }
}

void* lua_newuserdata(lua_State* L, size_t size) {
  CheckGC(L);
  LUserdata* u = NewUserdata(L, size);
  SetGC(L->top, u, TUserdata);
  ApiIncrTop(L);
  return u->Data();
}

const char* lua_getupvalue(lua_State* L, int funcindex, int n) {
  Value* fi = Index(L, funcindex);
  if (!IsFunction(fi)) return nullptr;
  Closure* f = ClValue(fi);
  if (n < 1 || n > f->nupvalues) return nullptr;
  if (f->isC) {
    *L->top = static_cast<CClosure*>(f)->upvalue[n - 1];
    ApiIncrTop(L);
    return "";
  }
  LClosure* lf = static_cast<LClosure*>(f);
  *L->top = *lf->upvals[n - 1]->v;
  ApiIncrTop(L);
  return (n - 1 < lf->p->sizeupvalues) ? lf->p->upvalues[n - 1]->Data() : "";
}

const char* lua_setupvalue(lua_State* L, int funcindex, int n) {
  Value* fi = Index(L, funcindex);
  if (!IsFunction(fi)) return nullptr;
  Closure* f = ClValue(fi);
  if (n < 1 || n > f->nupvalues) return nullptr;
  L->top--;
  if (f->isC) {
    static_cast<CClosure*>(f)->upvalue[n - 1] = *L->top;
    return "";
  }
  LClosure* lf = static_cast<LClosure*>(f);
  *lf->upvals[n - 1]->v = *L->top;
  return (n - 1 < lf->p->sizeupvalues) ? lf->p->upvalues[n - 1]->Data() : "";
}

int lua_pushupvalues(lua_State* L) {
  Value* func = L->base - 1;
  if (!IsFunction(func) || !ClValue(func)->isC) return 0;
  CClosure* c = static_cast<CClosure*>(ClValue(func));
  int n = c->nupvalues;
  CheckStack(L, n);
  for (int i = 0; i < n; i++) L->top[i] = c->upvalue[i];
  L->top += n;
  return n;
}

// ---- the dialect's additions

size_t lua_wstrlen(const lua_WChar* s) {
  size_t n = 0;
  while (s[n]) n++;
  return n;
}

int lua_numbertowstring(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  if (o == nullptr || o == &L->g->noValue || !IsNumber(o)) return 0;
  NumberToWString(L, o);
  return 1;
}

const lua_WChar* lua_towstring(lua_State* L, int idx) {
  Value* o = IndexAcceptable(L, idx);
  if (o == nullptr) return nullptr;
  if (IsWString(o)) return SValue(o)->WData();
  if (IsNumber(o) && o != &L->g->noValue) {
    NumberToWString(L, o);
    return SValue(o)->WData();
  }
  return nullptr;
}

void lua_pushlwstring(lua_State* L, const lua_WChar* s, size_t len) {
  CheckGC(L);
  PushLString(L, NewLWStr(L, s, len));
}

void lua_pushwstring(lua_State* L, const lua_WChar* s) {
  if (s == nullptr)
    lua_pushnil(L);
  else
    lua_pushlwstring(L, s, lua_wstrlen(s));
}

void lua_getpertypemetatable(lua_State* L, int type) {
  if (type < 0 || type >= kNumTypeSlots)
    SetNil(L->top);
  else
    *L->top = L->g->typeSlots[type];
  ApiIncrTop(L);
}

void lua_setpertypemetatable(lua_State* L, int type) {
  Value* v = L->top - 1;
  if (IsTable(v) && type >= 0 && type < kNumTypeSlots) L->g->typeSlots[type] = *v;
  L->top--;
}

int lua_getn(lua_State* L, int idx) {
  Value* t = Index(L, idx);
  if (!IsTable(t)) return 0;
  const Value* n = TableGetStr(HValue(t), NewStr(L, "n"));
  if (IsNumber(n)) {
    double d = NValue(n);
    if (d >= 2147483647.0) return 2147483647;
    if (d <= -2147483648.0) return -2147483647 - 1;
    return int(d);
  }
  return TableGetN(HValue(t));
}

int lua_rawcount(lua_State* L, int idx) {
  Value* t = Index(L, idx);
  return IsTable(t) ? TableCountFrom1(HValue(t)) : 0;
}

void lua_pushboxedpointer(lua_State* L, void* p) {
  CheckGC(L);
  LUserdata* u = NewUserdata(L, sizeof(void*));
  u->len = 1;  // the boxed-pointer flag
  *static_cast<void**>(u->Data()) = p;
  SetGC(L->top, u, TUserdata);
  ApiIncrTop(L);
}
