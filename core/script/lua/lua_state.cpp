// Global and thread states, the allocation hook, state creation and closing.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "script/lua/lua_internal.h"

namespace tlua {

void InitLexer(lua_State* L);

namespace {

void* DefaultAlloc(void*, void* block, size_t, size_t newSize, int, void*) {
  if (newSize == 0) {
    free(block);
    return nullptr;
  }
  return realloc(block, newSize);
}

lua_AllocHook gAllocHook = DefaultAlloc;
void* gAllocUd = nullptr;

int DefaultPanic(lua_State* L) {
  const char* msg = lua_tostring(L, -1);
  fprintf(stderr, "PANIC: unprotected error during Lua-API call (%s)\n", msg ? msg : "?");
  fflush(stderr);
  exit(EXIT_FAILURE);
  return 0;
}

constexpr size_t kBlockTooBig = 4294967293u;

void StackInit(lua_State* L1, lua_State* L) {
  L1->stack = NewArray<Value>(L, kBasicStackSize + kExtraStack);
  L1->stacksize = kBasicStackSize + kExtraStack;
  L1->top = L1->stack;
  L1->stackLast = L1->stack + (L1->stacksize - kExtraStack) - 1;
  for (int i = 0; i < L1->stacksize; i++) SetNil(L1->stack + i);
  L1->baseCi = NewArray<CallInfo>(L, kBasicCallInfos);
  L1->ci = L1->baseCi;
  L1->sizeCi = kBasicCallInfos;
  L1->endCi = L1->baseCi + L1->sizeCi;
  CallInfo* ci = L1->ci;
  ci->flags = kCIC;
  SetNil(L1->top++);  // the "function" entry of the base frame
  ci->func = L1->stack;
  L1->base = ci->base = L1->top;
  ci->top = L1->top + LUA_MINSTACK;
  ci->savedpc = nullptr;
  ci->nresults = 0;
  ci->tailcalls = 0;
}

void FreeStack(lua_State* L, lua_State* L1) {
  FreeArray(L, L1->baseCi, L1->sizeCi);
  FreeArray(L, L1->stack, L1->stacksize);
}

void PreInitThread(lua_State* L, GlobalState* g) {
  L->g = g;
  L->tt = TThread;
  L->marked = 0;
  L->next = nullptr;
  L->stack = nullptr;
  L->stacksize = 0;
  L->errfunc = 0;
  L->nCcalls = 0;
  L->baseCi = L->ci = L->endCi = nullptr;
  L->sizeCi = 0;
  L->openupval = nullptr;
  L->gclist = nullptr;
  L->status = 0;
  L->top = L->base = L->stackLast = nullptr;
  L->threadValue = nullptr;
  L->nProtected = 0;
  SetNil(&L->globals);
}

void OpenState(lua_State* L, void*) {
  GlobalState* g = L->g;
  StackInit(L, L);
  ResizeStringTable(L, kMinStrTabSize);
  // The default metatable is its own metatable; the per-type slots start as empty tables.
  LTable* dm = NewTable(L, 0, 0);
  dm->metatable = dm;
  SetTable(&g->defaultMeta, dm);
  SetNil(&g->typeSlots[0]);
  for (int i = 1; i < kNumTypeSlots; i++) {
    LTable* t = NewTable(L, 0, 0);
    t->metatable = dm;
    SetTable(&g->typeSlots[i], t);
  }
  SetTable(&L->globals, NewTable(L, 0, 4));
  SetTable(&g->registry, NewTable(L, 0, 0));
  InitTM(L);
  InitLexer(L);
  g->gcThreshold = 4 * g->nblocks;
}

void CloseState(lua_State* L) {
  GlobalState* g = L->g;
  CloseUpvals(L, L->stack);
  CollectAll(L);
  FreeArray(L, g->strt.hash, g->strt.size);
  Free(L, g->buff, g->buffSize);
  FreeStack(L, L);
  lua_AllocHook hook = g->alloc;
  void* ud = g->allocUd;
  void* tv = L->threadValue;
  ReleasePool(g->pool, hook, ud, tv);
  g->~GlobalState();
  hook(ud, g, sizeof(GlobalState), 0, 0, tv);
  hook(ud, L, sizeof(lua_State), 0, 0, tv);
}

void CallAllGCTM(lua_State* L, void*) { CallGCTM(L); }

}  // namespace

void* ReallocThroughHook(lua_State* L, void* block, size_t oldSize, size_t newSize) {
  GlobalState* g = L->g;
  if (newSize >= kBlockTooBig) RunError(L, "memory allocation error: block too big");
  void* r = g->pool.enabled ? PoolRealloc(g->pool, g->alloc, g->allocUd, L->threadValue, block, oldSize, newSize)
                            : g->alloc(g->allocUd, block, oldSize, newSize, 0, L->threadValue);
  if (newSize != 0 && r == nullptr) Throw(L, LUA_ERRMEM);
  g->nblocks += newSize - oldSize;
  return r;
}

void* GrowAux(lua_State* L, void* block, int* size, size_t elemSize, int limit, const char* what) {
  constexpr int kMinSizeArray = 4;
  int newSize;
  if (*size >= limit / 2) {
    if (*size < limit - kMinSizeArray)
      newSize = limit;
    else
      RunError(L, "%s", what);
  } else {
    newSize = (*size) * 2;
    if (newSize < kMinSizeArray) newSize = kMinSizeArray;
  }
  void* r = Realloc(L, block, elemSize * size_t(*size), elemSize * size_t(newSize));
  *size = newSize;
  return r;
}

char* OpenBuffer(lua_State* L, size_t n) {
  GlobalState* g = L->g;
  if (n > g->buffSize) {
    // in whole blocks: a string that grows a little per concatenation then moves once
    // per block, not on every step
    constexpr size_t kBlock = 256;
    if (n <= size_t(-1) - kBlock) n = (n + kBlock - 1) & ~(kBlock - 1);
    g->buff = static_cast<char*>(Realloc(L, g->buff, g->buffSize, n));
    g->buffSize = n;
  }
  return g->buff;
}

lua_State* NewThread(lua_State* L) {
  lua_State* L1 = static_cast<lua_State*>(Alloc(L, sizeof(lua_State)));
  new (L1) lua_State();
  PreInitThread(L1, L->g);
  Link(L, L1, TThread);
  L1->threadValue = L->threadValue;
  StackInit(L1, L);
  SetObj(&L1->globals, &L->globals);
  return L1;
}

void FreeThread(lua_State* L, lua_State* L1) {
  CloseUpvals(L1, L1->stack);
  FreeStack(L, L1);
  Free(L, L1, sizeof(lua_State));
}

}  // namespace tlua

using namespace tlua;

void lua_setallochook(lua_AllocHook hook, void* ud) {
  gAllocHook = hook ? hook : DefaultAlloc;
  gAllocUd = hook ? ud : nullptr;
}

void lua_getallochook(lua_AllocHook* hook, void** ud) {
  if (hook) *hook = gAllocHook;
  if (ud) *ud = gAllocUd;
}

void lua_setthreadvalue(lua_State* L, void* value) { L->threadValue = value; }

lua_State* lua_open(void) {
  lua_AllocHook hook = gAllocHook;
  void* ud = gAllocUd;
  void* mem = hook(ud, nullptr, 0, sizeof(lua_State), 0, nullptr);
  if (!mem) return nullptr;
  lua_State* L = new (mem) lua_State();
  void* gmem = hook(ud, nullptr, 0, sizeof(GlobalState), 0, nullptr);
  if (!gmem) {
    hook(ud, mem, sizeof(lua_State), 0, 0, nullptr);
    return nullptr;
  }
  GlobalState* g = new (gmem) GlobalState();
  PreInitThread(L, g);
  L->marked = kFixedBit;
  g->alloc = hook;
  g->allocUd = ud;
  g->pool.enabled = hook == DefaultAlloc && SmallPoolDefault();
  g->mainthread = L;
  g->strt = StringTable{nullptr, 0, 0};
  g->rootgc = nullptr;
  g->tmudata = nullptr;
  g->nblocks = sizeof(lua_State) + sizeof(GlobalState);
  g->gcThreshold = size_t(-1);  // no collection while the state is being built
  g->buff = nullptr;
  g->buffSize = 0;
  g->panic = DefaultPanic;
  g->gcRunning = false;
  g->cCalls = 0;
  g->referenceVm = false;
  SetNil(&g->noValue);
  SetNil(&g->registry);
  SetNil(&g->defaultMeta);
  for (auto& slot : g->typeSlots) SetNil(&slot);
  for (auto& name : g->tmname) name = nullptr;
  if (RawRunProtected(L, OpenState, nullptr) != 0) {
    CloseState(L);
    return nullptr;
  }
  return L;
}

void lua_close(lua_State* L) {
  L = L->g->mainthread;
  CloseUpvals(L, L->stack);
  SeparateAllUdata(L);
  L->errfunc = 0;
  // Run every pending finalizer; an error in one just moves on to the next.
  do {
    L->ci = L->baseCi;
    L->base = L->top = L->ci->base;
    L->nCcalls = 0;
  } while (RawRunProtected(L, CallAllGCTM, nullptr) != 0);
  CloseState(L);
}

lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf) {
  lua_CFunction old = L->g->panic;
  L->g->panic = panicf;
  return old;
}
