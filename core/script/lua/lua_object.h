// Internal object model of the script interpreter: values, collectable objects,
// the thread and global state records.
#pragma once

#include <cstdint>
#include <cstring>

#include "script/lua/lua.h"
#include "script/lua/lua_pool.h"

namespace tlua {

typedef uint32_t Instr;

// Value type tags; function prototypes and upvalues are internal collectables.
enum Tag : int {
  TNil = 0, TBool = 1, TLightUd = 2, TNumber = 3, TString = 4, TTable = 5,
  TFunction = 6, TUserdata = 7, TThread = 8, TWString = 9, TProto = 10, TUpval = 11,
  TDeadKey = 12,  // a table key whose value went nil and whose object may be collected
};
constexpr int kNumValueTypes = 10;
constexpr int kNumTypeSlots = 11;

// Limits of the language, as the 5.0 line defines them.
constexpr int kMaxStack = 250;       // registers per function
constexpr int kMaxVars = 200;        // locals per function
constexpr int kMaxUpvalues = 32;
constexpr int kMaxParams = 100;
constexpr int kMaxCalls = 4096;      // nested call frames
constexpr int kMaxCCalls = 200;      // nested native calls
constexpr int kMaxCStack = 2048;     // stack slots a native function may ask for
constexpr int kMaxParserLevel = 200;
constexpr int kFieldsPerFlush = 32;
constexpr int kMaxTagLoop = 100;
constexpr int kExtraStack = 5;
constexpr int kBasicStackSize = 2 * LUA_MINSTACK;
constexpr int kBasicCallInfos = 8;
constexpr int kMinStrTabSize = 32;
constexpr int kMaxSrc = 80;          // chunk name width in syntax messages

struct GCObject {
  GCObject* next;
  uint8_t tt;
  uint8_t marked;
};

// Collector mark bits.
constexpr uint8_t kMarkBit = 1;
constexpr uint8_t kFixedBit = 2;       // never collected (reserved words, event names)
constexpr uint8_t kFinalizedBit = 4;   // userdata whose __gc ran or is due
constexpr uint8_t kPendingBit = 8;     // userdata waiting for its __gc

struct LString;
struct LTable;
struct Closure;
struct LProto;
struct LUpval;
struct LUserdata;

struct Value {
  union {
    GCObject* gc;
    void* p;
    double n;
    int b;
  } u;
  int tt;
  Value() = default;
  Value(const Value&) = default;
  // Field by field: a value is often written as two stores (payload, then tag) just
  // before it is copied, and one 16-byte load of it would wait for both to retire.
  Value& operator=(const Value& o) {
    u = o.u;
    tt = o.tt;
    return *this;
  }
};

struct LString : GCObject {
  uint8_t reserved;   // reserved-word number, 0 for other strings
  uint32_t hash;
  size_t len;         // bytes, or 16-bit units for a wide string
  char* Data() { return reinterpret_cast<char*>(this + 1); }
  const char* Data() const { return reinterpret_cast<const char*>(this + 1); }
  lua_WChar* WData() { return reinterpret_cast<lua_WChar*>(this + 1); }
  const lua_WChar* WData() const { return reinterpret_cast<const lua_WChar*>(this + 1); }
};

struct LUserdata : GCObject {
  LTable* metatable;
  size_t len;  // even for ordinary blocks; odd (1) flags a boxed pointer
  void* Data() { return reinterpret_cast<char*>(this) + DataOffset(); }
  static constexpr size_t DataOffset() { return (sizeof(GCObject) + 2 * sizeof(void*) + 15) & ~size_t(15); }
};

struct LocVar {
  LString* name;
  int startpc;
  int endpc;
};

struct LProto : GCObject {
  Value* k;
  Instr* code;
  LProto** p;
  int* lineinfo;
  LocVar* locvars;
  LString** upvalues;
  LString* source;
  int sizek, sizecode, sizep, sizelineinfo, sizelocvars, sizeupvalues;
  int lineDefined;
  uint8_t nups, numparams, isVararg, maxstacksize;
  GCObject* gclist;
};

struct LUpval : GCObject {
  Value* v;        // points into a stack while open, to `value' once closed
  Value value;
  LUpval* openNext;  // list of a thread's open upvalues, highest slot first
};

struct Closure : GCObject {
  uint8_t isC;
  uint8_t nupvalues;
  GCObject* gclist;
  LTable* env;  // a Lua function's globals; null for native functions, which use the thread's
};

struct CClosure : Closure {
  lua_CFunction f;
  Value upvalue[1];
};

struct LClosure : Closure {
  LProto* p;
  LUpval* upvals[1];
};

struct Node {
  Value val;
  Value key;
  Node* next;
};

struct LTable : GCObject {
  uint8_t flags;      // bit e set: event e known to be absent
  uint8_t lsizenode;  // log2 of the hash part's size
  uint32_t nodemask;  // the hash part's size - 1, what a hash is masked with
  LTable* metatable;
  Value* array;
  Node* node;
  Node* lastfree;     // free slots are searched downwards from here
  GCObject* gclist;
  int sizearray;
};

// Events, in the order their names are interned; the first five use the flags cache.
enum TMS {
  TM_INDEX, TM_NEWINDEX, TM_GC, TM_MODE, TM_EQ,
  TM_ADD, TM_SUB, TM_MUL, TM_DIV, TM_POW, TM_UNM, TM_LT, TM_LE, TM_CONCAT, TM_CALL,
  TM_N
};

// Call frame flags.
constexpr uint8_t kCIC = 1;        // a native function
constexpr uint8_t kCIFresh = 2;    // the executor returns when this Lua frame returns
constexpr uint8_t kCIYield = 4;    // a native function that yielded
constexpr uint8_t kCITail = 8;     // reached through a tail call

struct CallInfo {
  Value* func;
  Value* base;
  Value* top;            // top for this function
  const Instr* savedpc;  // next instruction (Lua frames)
  int nresults;          // wanted results, or LUA_MULTRET
  int tailcalls;         // tail calls lost before this frame
  uint8_t flags;
};

struct StringTable {
  GCObject** hash;
  uint32_t nuse;
  int size;
};

struct GlobalState;

struct ThreadState;

}  // namespace tlua

struct lua_State : tlua::GCObject {
  tlua::Value* top;
  tlua::Value* base;
  tlua::GlobalState* g;
  tlua::CallInfo* ci;
  tlua::Value* stackLast;  // last usable slot (stack + stacksize - kExtraStack)
  tlua::Value* stack;
  int stacksize;
  tlua::CallInfo* endCi;
  tlua::CallInfo* baseCi;
  int sizeCi;
  unsigned short nCcalls;
  uint8_t status;
  tlua::LUpval* openupval;
  tlua::GCObject* gclist;
  ptrdiff_t errfunc;  // stack offset of the current error handler, 0 for none
  tlua::Value globals;
  void* threadValue;  // handed to the allocation hook
  int nProtected;     // active protected calls on this thread
};

namespace tlua {

struct GlobalState {
  StringTable strt;
  GCObject* rootgc;       // every collectable except strings
  GCObject* tmudata;      // userdata waiting for their __gc
  size_t nblocks;         // bytes in use
  size_t gcThreshold;
  char* buff;             // scratch buffer for concatenation and formatting
  size_t buffSize;
  lua_CFunction panic;
  Value registry;
  Value defaultMeta;
  Value typeSlots[kNumTypeSlots];
  lua_State* mainthread;
  LString* tmname[TM_N];
  lua_AllocHook alloc;
  void* allocUd;
  SmallPool pool;  // small blocks, beside the hook (see lua_pool.h)
  bool gcRunning;
  int cCalls;  // native nesting over all threads, bounds the C++ stack
  bool referenceVm;  // run the plain reference loop instead of the threaded one
  Value noValue;     // what an absent registry reference or index reads as (nil)
};

// Value helpers.
inline bool IsNil(const Value* v) { return v->tt == TNil; }
inline bool IsNumber(const Value* v) { return v->tt == TNumber; }
inline bool IsString(const Value* v) { return v->tt == TString; }
inline bool IsWString(const Value* v) { return v->tt == TWString; }
inline bool IsTable(const Value* v) { return v->tt == TTable; }
inline bool IsFunction(const Value* v) { return v->tt == TFunction; }
inline bool IsFalse(const Value* v) { return v->tt == TNil || (v->tt == TBool && v->u.b == 0); }
inline bool IsCollectable(const Value* v) { return v->tt >= TString; }

inline double NValue(const Value* v) { return v->u.n; }
inline LString* SValue(const Value* v) { return static_cast<LString*>(v->u.gc); }
inline LTable* HValue(const Value* v) { return static_cast<LTable*>(v->u.gc); }
inline Closure* ClValue(const Value* v) { return static_cast<Closure*>(v->u.gc); }
inline bool IsLuaFunction(const Value* v) { return IsFunction(v) && !ClValue(v)->isC; }
inline LUserdata* UValue(const Value* v) { return static_cast<LUserdata*>(v->u.gc); }
inline lua_State* ThValue(const Value* v) { return static_cast<lua_State*>(v->u.gc); }

inline void SetNil(Value* v) { v->tt = TNil; }
inline void SetNumber(Value* v, double n) { v->u.n = n; v->tt = TNumber; }
inline void SetBool(Value* v, int b) { v->u.b = b; v->tt = TBool; }
inline void SetGC(Value* v, GCObject* o, int tt) { v->u.gc = o; v->tt = tt; }
inline void SetString(Value* v, LString* s) { v->u.gc = s; v->tt = s->tt; }
inline void SetTable(Value* v, LTable* t) { v->u.gc = t; v->tt = TTable; }
inline void SetClosure(Value* v, Closure* c) { v->u.gc = c; v->tt = TFunction; }
inline void SetLightUd(Value* v, void* p) { v->u.p = p; v->tt = TLightUd; }
inline void SetObj(Value* d, const Value* s) { *d = *s; }

extern const Value kNilObject;
extern const char* const kTypeNames[];

inline const char* TypeName(int tt) { return kTypeNames[tt]; }

// Raw equality of two values of any type.
inline bool RawEqual(const Value* a, const Value* b) {
  if (a->tt != b->tt) return false;
  switch (a->tt) {
    case TNil: return true;
    case TNumber: return a->u.n == b->u.n;
    case TBool: return a->u.b == b->u.b;
    case TLightUd: return a->u.p == b->u.p;
    default: return a->u.gc == b->u.gc;
  }
}

// A table size byte (mmmmmxxx): xxx * 2^mmmmm; sizes past the table limit stay huge.
inline int Fb2Int(int x) {
  int e = x >> 3;
  return e >= 29 ? 0x7FFFFFFF : (x & 7) << e;
}
int Int2Fb(unsigned int x);
int CeilLog2(unsigned int x);
int FloorLog2(unsigned int x);

}  // namespace tlua
