// Functions shared between the interpreter's modules.
#pragma once

#include <cstdarg>

#include "script/lua/lua_object.h"

namespace tlua {

// ---- memory
// Every block of a state comes and goes here; a new size of 0 frees. Raises a memory
// error when memory runs out.
void* ReallocThroughHook(lua_State* L, void* block, size_t oldSize, size_t newSize);
inline void* Realloc(lua_State* L, void* block, size_t oldSize, size_t newSize) {
  GlobalState* g = L->g;
  void* r;
  if (!PoolQuick(g->pool, block, oldSize, newSize, r)) return ReallocThroughHook(L, block, oldSize, newSize);
  g->nblocks += newSize - oldSize;
  return r;
}
inline void* Alloc(lua_State* L, size_t n) { return Realloc(L, nullptr, 0, n); }
inline void Free(lua_State* L, void* b, size_t n) { Realloc(L, b, n, 0); }
template <typename T>
T* NewArray(lua_State* L, int n) { return static_cast<T*>(Realloc(L, nullptr, 0, sizeof(T) * size_t(n))); }
template <typename T>
void FreeArray(lua_State* L, T* a, int n) { Realloc(L, a, sizeof(T) * size_t(n), 0); }
template <typename T>
void ResizeArray(lua_State* L, T*& a, int oldN, int newN) {
  a = static_cast<T*>(Realloc(L, a, sizeof(T) * size_t(oldN), sizeof(T) * size_t(newN)));
}
// Grows `a' (holding `size' entries) so that index `n' fits; `limit' bounds it.
void* GrowAux(lua_State* L, void* block, int* size, size_t elemSize, int limit, const char* what);
template <typename T>
void GrowVector(lua_State* L, T*& a, int n, int& size, int limit, const char* what) {
  if (n + 1 > size) a = static_cast<T*>(GrowAux(L, a, &size, sizeof(T), limit, what));
}
char* OpenBuffer(lua_State* L, size_t n);  // the global scratch buffer, at least n bytes

// ---- errors and calls (lua_do.cpp)
struct LuaError {
  int status;
};
[[noreturn]] void Throw(lua_State* L, int status);
typedef void (*ProtectedFn)(lua_State* L, void* ud);
int RawRunProtected(lua_State* L, ProtectedFn f, void* ud);
int PCall(lua_State* L, ProtectedFn f, void* ud, ptrdiff_t oldTop, ptrdiff_t errFunc);
void SetErrorObj(lua_State* L, int status, Value* oldTop);
void ReallocStack(lua_State* L, int newSize);
void GrowStack(lua_State* L, int n);
inline void CheckStack(lua_State* L, int n) {
  if ((L->stackLast - L->top) <= n) GrowStack(L, n);
}
inline void IncrTop(lua_State* L) {
  CheckStack(L, 1);
  L->top++;
}
inline ptrdiff_t SaveStack(lua_State* L, const Value* p) { return reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(L->stack); }
inline Value* RestoreStack(lua_State* L, ptrdiff_t n) { return reinterpret_cast<Value*>(reinterpret_cast<char*>(L->stack) + n); }
CallInfo* GrowCI(lua_State* L);
inline CallInfo* NextCI(lua_State* L) { return (L->ci + 1 == L->endCi) ? GrowCI(L) : ++L->ci; }
// Fills ci, the new current frame, for a call of the native function at func (its
// arguments up to L->top, room for LUA_MINSTACK more already made).
inline void OpenNativeFrame(lua_State* L, CallInfo* ci, Value* func, int nresults) {
  ci->func = func;
  L->base = ci->base = func + 1;
  ci->top = L->top + LUA_MINSTACK;
  ci->savedpc = nullptr;
  ci->tailcalls = 0;
  ci->flags = kCIC;
  ci->nresults = nresults;
}
// Prepares a call of the value at func: a native function runs at once (kCallDone, or
// kCallYield when it yielded), a Lua function gets its frame and must be executed (kCallLua).
enum PreCallResult { kCallLua, kCallDone, kCallYield };
PreCallResult PreCall(lua_State* L, Value* func, int nresults);
Value* TryFuncTM(lua_State* L, Value* func);
void PosCall(lua_State* L, int wanted, Value* firstResult);
void Call(lua_State* L, Value* func, int nresults);
constexpr int kYieldSignal = -1;
int ProtectedParser(lua_State* L, lua_Chunkreader reader, void* data, const char* name);
void RestoreStackLimit(lua_State* L);
class ChunkStream;
LProto* Undump(lua_State* L, ChunkStream* z, const char* name);
int Dump(lua_State* L, const LProto* f, lua_Chunkwriter w, void* data, bool strip = false);

// ---- objects (lua_object.cpp)
bool Str2Number(const char* s, double* result);
void NumberToText(double n, char* out);  // "%.14g", out needs 32 bytes
const char* PushVFString(lua_State* L, const char* fmt, va_list argp);
const char* PushFString(lua_State* L, const char* fmt, ...);
void ChunkId(char* out, const char* source, int bufflen);

// ---- strings (lua_string.cpp)
LString* NewLStr(lua_State* L, const char* s, size_t len);
inline LString* NewStr(lua_State* L, const char* s) { return NewLStr(L, s, strlen(s)); }
LString* NewLWStr(lua_State* L, const lua_WChar* s, size_t len);
void ResizeStringTable(lua_State* L, int newSize);
LUserdata* NewUserdata(lua_State* L, size_t size);
void FreeString(lua_State* L, LString* s);
size_t StringAllocSize(const LString* s);
size_t UserdataAllocSize(const LUserdata* u);

// ---- tables (lua_table.cpp)
LTable* NewTable(lua_State* L, int narray, int lnhash);
void FreeTable(lua_State* L, LTable* t);
const Value* TableGet(LTable* t, const Value* key);
const Value* TableGetNum(LTable* t, int key);
// The node where a key of hash h starts its chain.
inline Node* NodeAt(const LTable* t, uint32_t h) { return t->node + (h & t->nodemask); }
inline const Value* TableGetStr(LTable* t, LString* key) {
  for (const Node* n = NodeAt(t, key->hash); n; n = n->next)
    if (n->key.u.gc == key && n->key.tt == key->tt) return &n->val;
  return &kNilObject;
}
// TableGet with its common cases inline: a whole number inside the array part, a string.
inline const Value* TableGetQuick(LTable* t, const Value* key) {
  if (IsNumber(key)) {
    const double i = NValue(key) - 1;
    if (i >= 0 && i < t->sizearray && double(unsigned(i)) == i) return &t->array[unsigned(i)];
  } else if (IsString(key)) {
    return TableGetStr(t, SValue(key));
  }
  return TableGet(t, key);
}
Value* TableSet(lua_State* L, LTable* t, const Value* key);
Value* TableSetNum(lua_State* L, LTable* t, int key);
Value* TableSetStr(lua_State* L, LTable* t, LString* key);
bool TableNext(lua_State* L, LTable* t, Value* key);  // key in/out, value at key+1
void TableResize(lua_State* L, LTable* t, int nasize, int lnhsize);
int TableGetN(LTable* t);  // largest positive integer key with a non-nil value
int TableCountFrom1(LTable* t);  // n where t[1..n] are non-nil and t[n+1] is nil
inline int TableNodeCount(const LTable* t) { return 1 << t->lsizenode; }
extern Node gDummyNode;

// ---- functions and upvalues (lua_func.cpp)
CClosure* NewCClosure(lua_State* L, int nelems);
LClosure* NewLClosure(lua_State* L, int nelems, LTable* env);
LProto* NewProto(lua_State* L);
void FreeProto(lua_State* L, LProto* p);
void FreeClosure(lua_State* L, Closure* c);
LUpval* FindUpval(lua_State* L, Value* level);
void CloseUpvals(lua_State* L, Value* level);
const char* GetLocalName(const LProto* p, int localNumber, int pc);
inline size_t CClosureSize(int n) { return sizeof(CClosure) + sizeof(Value) * size_t(n > 0 ? n - 1 : 0); }
inline size_t LClosureSize(int n) { return sizeof(LClosure) + sizeof(LUpval*) * size_t(n > 0 ? n - 1 : 0); }

// ---- state (lua_state.cpp)
lua_State* NewThread(lua_State* L);
void FreeThread(lua_State* L, lua_State* L1);

// ---- tag methods (lua_tm.cpp)
void InitTM(lua_State* L);
const Value* GetTM(LTable* events, TMS event, LString* ename);
inline const Value* FastTM(lua_State* L, LTable* et, TMS e) {
  return (et == nullptr || (et->flags & (1u << e))) ? nullptr : GetTM(et, e, L->g->tmname[e]);
}
const Value* GetTMByObj(lua_State* L, const Value* o, TMS event);
LTable* MetatableOf(lua_State* L, const Value* o);  // table/userdata own, else per-type slot

// ---- collector (lua_gc.cpp)
void Link(lua_State* L, GCObject* o, uint8_t tt);
void FullCollect(lua_State* L);
void CollectAll(lua_State* L);  // at close: everything, with finalizers
void CallGCTM(lua_State* L);
void SeparateAllUdata(lua_State* L);  // at close: every userdata with __gc is due
inline void CheckGC(lua_State* L) {
  if (L->g->nblocks >= L->g->gcThreshold) FullCollect(L);
}

// ---- virtual machine (lua_vm.cpp)
const Value* ToNumber(const Value* obj, Value* n);
bool ToStringInPlace(lua_State* L, Value* obj);
bool WideNumeral(const lua_WChar* s, double* result);
void NumberToWString(lua_State* L, Value* obj);
void GetTable(lua_State* L, const Value* t, const Value* key, Value* res);
void SetTable(lua_State* L, const Value* t, const Value* key, const Value* val);
bool LessThan(lua_State* L, const Value* l, const Value* r);
bool EqualObj(lua_State* L, const Value* t1, const Value* t2);
inline bool Equal(lua_State* L, const Value* a, const Value* b) {
  return a->tt == b->tt && EqualObj(L, a, b);
}
void Concat(lua_State* L, int total, int last);
Value* Execute(lua_State* L);  // runs L->ci's Lua frame; returns first result or null on yield

// ---- debug (lua_debug.cpp)
[[noreturn]] void RunError(lua_State* L, const char* fmt, ...);
[[noreturn]] void TypeError(lua_State* L, const Value* o, const char* op);
[[noreturn]] void ConcatError(lua_State* L, const Value* p1, const Value* p2, bool wide);
[[noreturn]] void ArithError(lua_State* L, const Value* p1, const Value* p2);
[[noreturn]] void OrderError(lua_State* L, const Value* p1, const Value* p2);
[[noreturn]] void ErrorMsg(lua_State* L);
bool CheckCode(const LProto* p);
int CurrentLine(CallInfo* ci);

// ---- code checker helpers shared with undump
bool CheckProto(const LProto* p);

}  // namespace tlua

namespace tlua {
// Selects the plain reference instruction loop for a state (tests compare both loops).
inline void SetReferenceVm(lua_State* L, bool on) { L->g->referenceVm = on; }
}  // namespace tlua

namespace tlua {
// True while a thread is suspended in a yield (its current frame is not the base frame and
// carries the yield flag): what the engine's script tasks test before resuming.
inline bool IsYielded(const lua_State* L) { return L->ci != L->baseCi && (L->ci->flags & kCIYield) != 0; }
}  // namespace tlua
