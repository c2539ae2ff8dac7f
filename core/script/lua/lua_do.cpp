// Stack and call-frame management, calls, protected calls, coroutines and chunk loading.
#include <cstdlib>
#include <new>

#include "script/lua/lua_code.h"
#include "script/lua/lua_opcodes.h"

namespace tlua {

namespace {

void CorrectStack(lua_State* L, Value* oldStack) {
  L->top = (L->top - oldStack) + L->stack;
  for (LUpval* up = L->openupval; up; up = up->openNext) up->v = (up->v - oldStack) + L->stack;
  for (CallInfo* ci = L->baseCi; ci <= L->ci; ci++) {
    ci->top = (ci->top - oldStack) + L->stack;
    ci->base = (ci->base - oldStack) + L->stack;
    ci->func = (ci->func - oldStack) + L->stack;
  }
  L->base = L->ci->base;
}

void ReallocCI(lua_State* L, int newSize) {
  CallInfo* oldCi = L->baseCi;
  ResizeArray(L, L->baseCi, L->sizeCi, newSize);
  L->sizeCi = newSize;
  L->ci = (L->ci - oldCi) + L->baseCi;
  L->endCi = L->baseCi + L->sizeCi;
}

void AdjustVarargs(lua_State* L, int nfixargs, Value* base) {
  int actual = int(L->top - base);
  if (actual < nfixargs) {
    CheckStack(L, nfixargs - actual);
    for (; actual < nfixargs; ++actual) SetNil(L->top++);
  }
  actual -= nfixargs;
  LTable* htab = NewTable(L, actual, 0);
  for (int i = 0; i < actual; i++) htab->array[i] = L->top[i - actual];
  SetNumber(TableSetStr(L, htab, NewStr(L, "n")), actual);
  L->top -= actual;
  SetTable(L->top, htab);
  IncrTop(L);
}

void EnterCCall(lua_State* L) {
  int depth = ++L->g->cCalls;
  ++L->nCcalls;
  if (depth >= kMaxCCalls) {
    if (depth == kMaxCCalls)
      RunError(L, "C stack overflow");
    else if (depth >= kMaxCCalls + (kMaxCCalls >> 3))
      Throw(L, LUA_ERRERR);  // error while handling the overflow
  }
}

void ResumeBody(lua_State* L, void* ud) {
  int nargs = *static_cast<int*>(ud);
  CallInfo* ci = L->ci;
  if (ci == L->baseCi) {
    PreCallResult r = PreCall(L, L->top - (nargs + 1), LUA_MULTRET);
    if (r != kCallLua) return;
    L->ci->flags |= kCIFresh;
  } else {
    // finish the interrupted call instruction with the values handed in
    ci->flags &= uint8_t(~kCIYield);
    if (!(ci->flags & kCIC)) return;
    Instr i = (ci - 1)->savedpc[-1];
    int nresults = GetC(i) - 1;
    PosCall(L, nresults, L->top - nargs);
    if (nresults >= 0) L->top = L->ci->top;
  }
  Execute(L);
}

int ResumeError(lua_State* L, const char* msg) {
  L->top = L->ci->base;
  SetString(L->top, NewStr(L, msg));
  IncrTop(L);
  return LUA_ERRRUN;
}

struct ParserArgs {
  ChunkStream* z;
  const char* name;
};

void FParser(lua_State* L, void* ud) {
  ParserArgs* p = static_cast<ParserArgs*>(ud);
  CheckGC(L);
  LProto* tf;
  if (p->z->Lookahead() == 0x1B) {
    tf = Undump(L, p->z, p->name);
  } else {
    int c1 = p->z->GetByte();
    int c2 = c1 == kEOZ ? kEOZ : p->z->GetByte();
    if (c1 == 0xFF && c2 == 0xFE) {
      p->z->wide = true;
    } else {
      if (c2 != kEOZ) p->z->UngetByte(c2);
      if (c1 != kEOZ) p->z->UngetByte(c1);
    }
    tf = Parse(L, p->z, p->name);
  }
  LClosure* cl = NewLClosure(L, 0, HValue(&L->globals));
  cl->p = tf;
  SetClosure(L->top, cl);
  IncrTop(L);
}

}  // namespace

void Throw(lua_State* L, int status) {
  if (L->nProtected > 0) throw LuaError{status};
  // no protected call is active: the panic function decides, then the process ends
  L->status = uint8_t(status);
  if (L->g->panic) L->g->panic(L);
  exit(EXIT_FAILURE);
}

int RawRunProtected(lua_State* L, ProtectedFn f, void* ud) {
  unsigned short oldnCcalls = L->nCcalls;
  int oldCCalls = L->g->cCalls;
  L->nProtected++;
  int status = 0;
  try {
    f(L, ud);
  } catch (const LuaError& e) {
    status = e.status;
  } catch (const std::bad_alloc&) {
    status = LUA_ERRMEM;
  }
  L->nProtected--;
  if (status != 0) {
    L->nCcalls = oldnCcalls;
    L->g->cCalls = oldCCalls;
  }
  return status;
}

void SetErrorObj(lua_State* L, int status, Value* oldTop) {
  switch (status) {
    case LUA_ERRMEM: SetString(oldTop, NewStr(L, "not enough memory")); break;
    case LUA_ERRERR: SetString(oldTop, NewStr(L, "error in error handling")); break;
    case LUA_ERRSYNTAX:
    case LUA_ERRRUN: *oldTop = L->top[-1]; break;
    default: SetNil(oldTop); break;
  }
  L->top = oldTop + 1;
}

void RestoreStackLimit(lua_State* L) {
  L->stackLast = L->stack + L->stacksize - 1 - kExtraStack;
  if (L->sizeCi > kMaxCalls) {
    int inuse = int(L->ci - L->baseCi);
    if (inuse + 1 < kMaxCalls) ReallocCI(L, kMaxCalls);
  }
}

int PCall(lua_State* L, ProtectedFn f, void* ud, ptrdiff_t oldTop, ptrdiff_t errFunc) {
  ptrdiff_t oldCi = L->ci - L->baseCi;
  ptrdiff_t oldErrFunc = L->errfunc;
  L->errfunc = errFunc;
  int status = RawRunProtected(L, f, ud);
  if (status != 0) {
    Value* oldtop = RestoreStack(L, oldTop);
    CloseUpvals(L, oldtop);
    SetErrorObj(L, status, oldtop);
    L->ci = L->baseCi + oldCi;
    L->base = L->ci->base;
    RestoreStackLimit(L);
  }
  L->errfunc = oldErrFunc;
  return status;
}

void ReallocStack(lua_State* L, int newSize) {
  Value* oldStack = L->stack;
  int realSize = newSize + 1 + kExtraStack;
  ResizeArray(L, L->stack, L->stacksize, realSize);
  for (int i = L->stacksize; i < realSize; i++) SetNil(L->stack + i);
  L->stacksize = realSize;
  L->stackLast = L->stack + newSize;
  CorrectStack(L, oldStack);
}

void GrowStack(lua_State* L, int n) {
  if (n <= L->stacksize)
    ReallocStack(L, 2 * L->stacksize);
  else
    ReallocStack(L, L->stacksize + n + kExtraStack);
}

CallInfo* GrowCI(lua_State* L) {
  if (L->sizeCi > kMaxCalls) Throw(L, LUA_ERRERR);  // overflow while handling overflow
  ReallocCI(L, 2 * L->sizeCi);
  if (L->sizeCi > kMaxCalls) RunError(L, "stack overflow");
  return ++L->ci;
}

Value* TryFuncTM(lua_State* L, Value* func) {
  const Value* tm = GetTMByObj(L, func, TM_CALL);
  if (!IsFunction(tm)) TypeError(L, func, "call");
  Value handler = *tm;
  ptrdiff_t funcr = SaveStack(L, func);
  CheckStack(L, 1);
  func = RestoreStack(L, funcr);
  // open a hole below the arguments for the handler
  for (Value* p = L->top; p > func; p--) p[0] = p[-1];
  IncrTop(L);
  *func = handler;
  return func;
}

PreCallResult PreCall(lua_State* L, Value* func, int nresults) {
  if (!IsFunction(func)) func = TryFuncTM(L, func);
  Closure* cl = ClValue(func);
  if (!cl->isC) {
    LProto* p = static_cast<LClosure*>(cl)->p;
    if (L->stackLast - L->top <= p->maxstacksize) {
      ptrdiff_t funcr = SaveStack(L, func);
      GrowStack(L, p->maxstacksize);
      func = RestoreStack(L, funcr);
    }
    Value* base;
    if (!p->isVararg) {
      base = func + 1;
      if (L->top > base + p->numparams) L->top = base + p->numparams;
    } else {
      ptrdiff_t funcr = SaveStack(L, func);
      AdjustVarargs(L, p->numparams, func + 1);
      func = RestoreStack(L, funcr);
      base = func + 1;
    }
    CallInfo* ci = NextCI(L);
    ci->func = func;
    L->base = ci->base = base;
    ci->top = base + p->maxstacksize;
    ci->savedpc = p->code;
    ci->tailcalls = 0;
    ci->flags = 0;
    ci->nresults = nresults;
    for (Value* st = L->top; st < ci->top; st++) SetNil(st);
    L->top = ci->top;
    return kCallLua;
  }
  ptrdiff_t funcr = SaveStack(L, func);
  CheckStack(L, LUA_MINSTACK);
  func = RestoreStack(L, funcr);
  OpenNativeFrame(L, NextCI(L), func, nresults);
  int n = static_cast<CClosure*>(cl)->f(L);
  if (n < 0) return kCallYield;
  PosCall(L, nresults, L->top - n);
  return kCallDone;
}

void PosCall(lua_State* L, int wanted, Value* firstResult) {
  CallInfo* ci = L->ci;
  Value* res = ci->func;
  L->ci = ci - 1;
  L->base = L->ci->base;
  while (wanted != 0 && firstResult < L->top) {
    *res++ = *firstResult++;
    wanted--;
  }
  while (wanted-- > 0) SetNil(res++);
  L->top = res;
}

void Call(lua_State* L, Value* func, int nresults) {
  EnterCCall(L);
  switch (PreCall(L, func, nresults)) {
    case kCallLua:
      L->ci->flags |= kCIFresh;
      Execute(L);
      break;
    case kCallYield: RunError(L, "attempt to yield across metamethod/C-call boundary");
    case kCallDone: break;
  }
  L->nCcalls--;
  L->g->cCalls--;
  CheckGC(L);
}

int ProtectedParser(lua_State* L, lua_Chunkreader reader, void* data, const char* name) {
  ChunkStream z(L, reader, data);
  ParserArgs p{&z, name};
  return PCall(L, FParser, &p, SaveStack(L, L->top), L->errfunc);
}

}  // namespace tlua

using namespace tlua;

int lua_resume(lua_State* L, int nargs) {
  if (L->ci == L->baseCi) {
    if (nargs >= L->top - L->base) return ResumeError(L, "cannot resume dead coroutine");
  } else if (!(L->ci->flags & kCIYield)) {
    return ResumeError(L, "cannot resume non-suspended coroutine");
  }
  GlobalState* g = L->g;
  if (g->cCalls >= kMaxCCalls) return ResumeError(L, "C stack overflow");
  g->cCalls++;
  int status = RawRunProtected(L, ResumeBody, &nargs);
  g->cCalls--;
  if (status != 0) {
    L->ci = L->baseCi;
    L->base = L->ci->base;
    L->nCcalls = 0;
    CloseUpvals(L, L->base);
    SetErrorObj(L, status, L->base);
    RestoreStackLimit(L);
  }
  return status;
}

int lua_yield(lua_State* L, int nresults) {
  CallInfo* ci = L->ci;
  if (L->nCcalls > 0) RunError(L, "attempt to yield across metamethod/C-call boundary");
  if (ci->flags & kCIC) {
    if ((ci - 1)->flags & kCIC) RunError(L, "cannot yield a C function");
    if (L->top - nresults > L->base) {
      for (int i = 0; i < nresults; i++) L->base[i] = L->top[i - nresults];
      L->top = L->base + nresults;
    }
  }
  ci->flags |= kCIYield;
  return -1;
}
