// Run-time error messages with variable names, the debug interface, and the code checker
// that every loaded prototype passes before it may run.
#include <cstring>

#include "script/lua/lua_internal.h"
#include "script/lua/lua_opcodes.h"

namespace tlua {

namespace {

inline bool IsLuaFrame(const CallInfo* ci) { return !(ci->flags & kCIC); }

inline LProto* FrameProto(const CallInfo* ci) { return static_cast<LClosure*>(ClValue(ci->func))->p; }

int CurrentPc(const CallInfo* ci) {
  if (!IsLuaFrame(ci)) return -1;
  int pc = int(ci->savedpc - FrameProto(ci)->code) - 1;
  return pc < 0 ? 0 : pc;
}

// The last instruction before lastpc that changed register reg, found by a forward scan
// that follows forward jumps inside the scanned range.
Instr LastSetter(const LProto* p, int lastpc, int reg) {
  Instr last = CreateABC(OP_RETURN, 0, 0, 0);  // a harmless "no setter"
  for (int pc = 0; pc < lastpc; pc++) {
    Instr i = p->code[pc];
    OpCode op = GetOp(i);
    int a = GetA(i);
    bool sets = false;
    switch (op) {
      case OP_LOADNIL: sets = a <= reg && reg <= GetB(i); break;
      case OP_CALL:
      case OP_TAILCALL: sets = reg >= a; break;
      case OP_TFORLOOP: sets = reg >= a + 2; break;
      case OP_TFORPREP: sets = reg == a || reg == a + 1; break;
      case OP_SELF: sets = reg == a || reg == a + 1; break;
      case OP_JMP: {
        int dest = pc + 1 + GetSBx(i);
        if (dest > pc && dest <= lastpc) pc = dest - 1;
        break;
      }
      case OP_CLOSURE:
        sets = reg == a;
        if (GetBx(i) < p->sizep && p->p[GetBx(i)]) pc += p->p[GetBx(i)]->nups;
        break;
      default: sets = TestMode(op, kModeSA) && reg == a; break;
    }
    if (sets) last = i;
  }
  return last;
}

const char* KName(const LProto* p, int c) {
  if (IsK(c) && c - kMaxStack < p->sizek && IsString(&p->k[c - kMaxStack])) return SValue(&p->k[c - kMaxStack])->Data();
  return "?";
}

const char* GetObjName(CallInfo* ci, int stackpos, const char** name) {
  if (!IsLuaFrame(ci)) return nullptr;
  LProto* p = FrameProto(ci);
  int pc = CurrentPc(ci);
  *name = GetLocalName(p, stackpos + 1, pc);
  if (*name) return "local";
  Instr i = LastSetter(p, pc, stackpos);
  switch (GetOp(i)) {
    case OP_GETGLOBAL: {
      int g = GetBx(i);
      if (g < p->sizek && IsString(&p->k[g])) {
        *name = SValue(&p->k[g])->Data();
        return "global";
      }
      return nullptr;
    }
    case OP_MOVE: {
      int a = GetA(i), b = GetB(i);
      if (b < a) return GetObjName(ci, b, name);
      return nullptr;
    }
    case OP_GETTABLE:
      *name = KName(p, GetC(i));
      return "field";
    case OP_SELF:
      *name = KName(p, GetC(i));
      return "method";
    default: return nullptr;
  }
}

const char* GetFuncName(lua_State* L, CallInfo* ci, const char** name) {
  if ((IsLuaFrame(ci) && ci->tailcalls > 0) || ci == L->baseCi || !IsLuaFrame(ci - 1)) return nullptr;
  ci--;
  Instr i = FrameProto(ci)->code[CurrentPc(ci)];
  if (GetOp(i) == OP_CALL || GetOp(i) == OP_TAILCALL) return GetObjName(ci, GetA(i), name);
  return nullptr;
}

// A function that no Lua call site names (one called from a native function, such as the one
// pcall runs) is known by the first global that holds it, as the 5.0 messages name it.
const char* GlobalName(lua_State* L, const Value* func) {
  if (!IsFunction(func)) return nullptr;
  const LTable* g = HValue(&L->globals);
  for (int i = TableNodeCount(g) - 1; i >= 0; i--) {
    const Node* n = &g->node[i];
    if (IsString(&n->key) && RawEqual(&n->val, func)) return SValue(&n->key)->Data();
  }
  return nullptr;
}

bool IsInStack(CallInfo* ci, const Value* o) {
  for (Value* p = ci->base; p < ci->top; p++)
    if (o == p) return true;
  return false;
}

void AddInfo(lua_State* L, const char* msg) {
  CallInfo* ci = L->ci;
  if (IsLuaFrame(ci)) {
    char buff[LUA_IDSIZE];
    int line = CurrentLine(ci);
    ChunkId(buff, FrameProto(ci)->source->Data(), LUA_IDSIZE);
    PushFString(L, "%s:%d: %s", buff, line, msg);
  }
}

void FuncInfo(lua_Debug* ar, const Value* func) {
  Closure* cl = ClValue(func);
  if (cl->isC) {
    ar->source = "=[C]";
    ar->linedefined = -1;
    ar->what = "C";
  } else {
    LProto* p = static_cast<LClosure*>(cl)->p;
    ar->source = p->source->Data();
    ar->linedefined = p->lineDefined;
    ar->what = (ar->linedefined == 0) ? "main" : "Lua";
  }
  ChunkId(ar->short_src, ar->source, LUA_IDSIZE);
}

// ---- code checker

bool CheckReg(const LProto* p, int r) { return r >= 0 && r < p->maxstacksize; }

bool CheckRK(const LProto* p, int r) { return IsK(r) ? (r - kMaxStack) < p->sizek : r < p->maxstacksize; }

bool CheckTarget(const LProto* p, int pc, int offset) {
  int dest = pc + 1 + offset;
  return dest >= 0 && dest < p->sizecode;
}

bool CheckInstruction(const LProto* p, int pc, int* skip) {
  Instr i = p->code[pc];
  int op = GetOp(i);
  if (op >= kNumOpcodes) return false;
  OpCode o = OpCode(op);
  int a = GetA(i);
  if (o != OP_JMP && !CheckReg(p, a)) return false;
  int modes = kOpInfo[o].modes;
  switch (kOpInfo[o].format) {
    case kABC: {
      int b = GetB(i), c = GetC(i);
      if ((modes & kModeB) && !CheckReg(p, b)) return false;
      if ((modes & kModeBk) && !CheckRK(p, b)) return false;
      if ((modes & kModeCk) && !CheckRK(p, c)) return false;
      break;
    }
    case kABx:
      if ((modes & kModeK) && GetBx(i) >= p->sizek) return false;
      break;
    case kAsBx:
      if (!CheckTarget(p, pc, GetSBx(i))) return false;
      break;
  }
  if (modes & kModeT) {
    if (pc + 2 >= p->sizecode) return false;
    if (GetOp(p->code[pc + 1]) != OP_JMP) return false;
    if (!CheckTarget(p, pc + 1, GetSBx(p->code[pc + 1]))) return false;
  }
  int b = GetB(i), c = GetC(i);
  switch (o) {
    case OP_LOADBOOL:
      if (c && pc + 2 >= p->sizecode) return false;
      break;
    case OP_LOADNIL:
      if (!CheckReg(p, b)) return false;
      break;
    case OP_GETUPVAL:
    case OP_SETUPVAL:
      if (b >= p->nups) return false;
      break;
    case OP_GETGLOBAL:
    case OP_SETGLOBAL:
      if (!IsString(&p->k[GetBx(i)])) return false;
      break;
    case OP_SELF:
      if (!CheckReg(p, a + 1)) return false;
      break;
    case OP_CONCAT:
      if (b >= c || !CheckReg(p, c)) return false;
      break;
    case OP_CALL:
    case OP_TAILCALL:
      if (b > 0 && a + b - 1 >= p->maxstacksize) return false;
      if (c > 0 && a + c - 2 >= p->maxstacksize) return false;
      break;
    case OP_RETURN:
      if (b > 0 && a + b - 2 >= p->maxstacksize) return false;
      break;
    case OP_FORLOOP:
      if (!CheckReg(p, a + 2)) return false;
      break;
    case OP_TFORPREP:
      if (!CheckReg(p, a + 1)) return false;
      break;
    case OP_TFORLOOP:
      if (!CheckReg(p, a + 2 + c)) return false;
      break;
    case OP_SETLIST: {
      int n = (GetBx(i) & (kFieldsPerFlush - 1)) + 1;
      if (!CheckReg(p, a + n)) return false;
      break;
    }
    case OP_CLOSURE: {
      int bx = GetBx(i);
      if (bx >= p->sizep || p->p[bx] == nullptr) return false;
      int nup = p->p[bx]->nups;
      if (pc + nup >= p->sizecode - 1) return false;
      for (int j = 1; j <= nup; j++) {
        Instr u = p->code[pc + j];
        if (GetOp(u) == OP_GETUPVAL) {
          if (GetB(u) >= p->nups) return false;
        } else if (GetOp(u) == OP_MOVE) {
          if (!CheckReg(p, GetB(u))) return false;
        } else {
          return false;
        }
        if (!CheckReg(p, GetA(u))) return false;
      }
      *skip = nup;
      break;
    }
    default: break;
  }
  return true;
}

}  // namespace

int CurrentLine(CallInfo* ci) {
  if (!IsLuaFrame(ci)) return -1;
  LProto* p = FrameProto(ci);
  int pc = CurrentPc(ci);
  if (p->lineinfo == nullptr || pc >= p->sizelineinfo) return -1;
  return p->lineinfo[pc];
}

void RunError(lua_State* L, const char* fmt, ...) {
  va_list argp;
  va_start(argp, fmt);
  const char* msg = PushVFString(L, fmt, argp);
  va_end(argp);
  AddInfo(L, msg);
  ErrorMsg(L);
}

void TypeError(lua_State* L, const Value* o, const char* op) {
  const char* name = nullptr;
  const char* t = TypeName(o->tt);
  const char* kind = IsInStack(L->ci, o) ? GetObjName(L->ci, int(o - L->base), &name) : nullptr;
  if (kind) RunError(L, "attempt to %s %s `%s' (a %s value)", op, kind, name, t);
  RunError(L, "attempt to %s a %s value", op, t);
}

void ConcatError(lua_State* L, const Value* p1, const Value* p2, bool) {
  if (IsString(p1) || IsNumber(p1)) p1 = p2;
  TypeError(L, p1, "concatenate");
}

void ArithError(lua_State* L, const Value* p1, const Value* p2) {
  Value temp;
  if (ToNumber(p1, &temp) == nullptr) p2 = p1;  // the first operand is the wrong one
  TypeError(L, p2, "perform arithmetic on");
}

void OrderError(lua_State* L, const Value* p1, const Value* p2) {
  const char* t1 = TypeName(p1->tt);
  const char* t2 = TypeName(p2->tt);
  if (t1[2] == t2[2]) RunError(L, "attempt to compare two %s values", t1);
  RunError(L, "attempt to compare %s with %s", t1, t2);
}

void ErrorMsg(lua_State* L) {
  if (L->errfunc != 0) {
    Value* errfunc = RestoreStack(L, L->errfunc);
    if (!IsFunction(errfunc)) Throw(L, LUA_ERRERR);
    L->top[0] = L->top[-1];
    L->top[-1] = *errfunc;
    IncrTop(L);
    Call(L, L->top - 2, 1);
  }
  Throw(L, LUA_ERRRUN);
}

bool CheckProto(const LProto* p) {
  if (p->maxstacksize > kMaxStack || p->maxstacksize < 1) return false;
  if (p->numparams + (p->isVararg ? 1 : 0) > p->maxstacksize) return false;
  if (p->sizelineinfo != p->sizecode && p->sizelineinfo != 0) return false;
  if (p->sizeupvalues != p->nups && p->sizeupvalues != 0) return false;
  if (p->nups > kMaxUpvalues) return false;
  if (p->sizecode < 1 || GetOp(p->code[p->sizecode - 1]) != OP_RETURN) return false;
  for (int pc = 0; pc < p->sizecode; pc++) {
    int skip = 0;
    if (!CheckInstruction(p, pc, &skip)) return false;
    pc += skip;
  }
  for (int i = 0; i < p->sizep; i++)
    if (p->p[i] == nullptr || !CheckProto(p->p[i])) return false;
  return true;
}

bool CheckCode(const LProto* p) { return p->nups == 0 && CheckProto(p); }

}  // namespace tlua

using namespace tlua;

int lua_getstack(lua_State* L, int level, lua_Debug* ar) {
  ptrdiff_t ci = (L->ci - L->baseCi) - level;
  if (ci <= 0) return 0;
  ar->i_ci = int(ci);
  return 1;
}

int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar) {
  CallInfo* ci = nullptr;
  Value func{};
  if (*what == '>') {
    func = L->top[-1];
    L->top--;
    what++;
  } else if (ar->i_ci != 0) {
    ci = L->baseCi + ar->i_ci;
    func = *ci->func;
  } else {
    SetNil(&func);
  }
  int status = 1;
  for (; *what; what++) {
    switch (*what) {
      case 'S':
        if (IsFunction(&func)) {
          FuncInfo(ar, &func);
        } else {
          ar->source = "=?";
          ar->linedefined = -1;
          ar->what = "C";
          ChunkId(ar->short_src, ar->source, LUA_IDSIZE);
        }
        break;
      case 'l': ar->currentline = ci ? CurrentLine(ci) : -1; break;
      case 'u': ar->nups = IsFunction(&func) ? ClValue(&func)->nupvalues : 0; break;
      case 'n':
        ar->namewhat = ci ? GetFuncName(L, ci, &ar->name) : nullptr;
        if (ar->namewhat == nullptr) {
          ar->name = GlobalName(L, &func);
          ar->namewhat = ar->name ? "global" : "";
        }
        break;
      case 'f':
        *L->top = func;
        IncrTop(L);
        break;
      default: status = 0;
    }
  }
  return status;
}

const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n) {
  CallInfo* ci = L->baseCi + ar->i_ci;
  if (!IsLuaFrame(ci)) return nullptr;
  const char* name = GetLocalName(FrameProto(ci), n, CurrentPc(ci));
  if (name) {
    *L->top = ci->base[n - 1];
    IncrTop(L);
  }
  return name;
}

const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n) {
  CallInfo* ci = L->baseCi + ar->i_ci;
  L->top--;
  if (!IsLuaFrame(ci)) return nullptr;
  const char* name = GetLocalName(FrameProto(ci), n, CurrentPc(ci));
  if (name) ci->base[n - 1] = *L->top;
  return name;
}
