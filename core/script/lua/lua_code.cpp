// The code generator: expressions in registers and constants, jump lists for conditions.
#include "script/lua/lua_code.h"

namespace tlua {
namespace code {

namespace {

bool HasJumps(const ExpDesc* e) { return e->t != e->f; }

int GetJump(FuncState* fs, int pc) {
  int offset = GetSBx(fs->f->code[pc]);
  return offset == kNoJump ? kNoJump : (pc + 1) + offset;
}

void FixJump(FuncState* fs, int pc, int dest) {
  int offset = dest - (pc + 1);
  if (offset < -kMaxArgSBx || offset > kMaxArgSBx) fs->ls->SyntaxError("control structure too long");
  SetSBx(fs->f->code[pc], offset);
}

Instr* GetJumpControl(FuncState* fs, int pc) {
  Instr* pi = &fs->f->code[pc];
  if (pc >= 1 && TestMode(GetOp(*(pi - 1)), kModeT)) return pi - 1;
  return pi;
}

// Whether some jump of the list needs a value (a comparison, or a TEST of the other sense).
bool NeedValue(FuncState* fs, int list, int cond) {
  for (; list != kNoJump; list = GetJump(fs, list)) {
    Instr i = *GetJumpControl(fs, list);
    if (GetOp(i) != OP_TEST || GetC(i) != cond) return true;
  }
  return false;
}

void PatchTestReg(Instr* i, int reg) {
  if (reg == kNoReg) reg = GetB(*i);
  SetA(*i, reg);
}

// While compiling, bit 1 of a TEST's C marks a test whose operand is not the value of the
// expression (its sense was inverted by `not'); such a jump is patched like a comparison.
constexpr int kValuelessTest = 2;

void PatchListAux(FuncState* fs, int list, int ttarget, int treg, int ftarget, int freg, int dtarget) {
  while (list != kNoJump) {
    int next = GetJump(fs, list);
    Instr* i = GetJumpControl(fs, list);
    if (GetOp(*i) != OP_TEST) {
      FixJump(fs, list, dtarget);
    } else if (GetC(*i) & kValuelessTest) {
      SetC(*i, GetC(*i) & 1);
      PatchTestReg(i, kNoReg);
      FixJump(fs, list, dtarget);
    } else if (GetC(*i)) {
      PatchTestReg(i, treg);
      FixJump(fs, list, ttarget);
    } else {
      PatchTestReg(i, freg);
      FixJump(fs, list, ftarget);
    }
    list = next;
  }
}

void DischargeJpc(FuncState* fs) {
  PatchListAux(fs, fs->jpc, fs->pc, kNoReg, fs->pc, kNoReg, fs->pc);
  fs->jpc = kNoJump;
}

int CondJump(FuncState* fs, OpCode op, int a, int b, int c) {
  CodeABC(fs, op, a, b, c);
  return Jump(fs);
}

void FreeReg(FuncState* fs, int reg) {
  if (reg >= fs->nactvar && reg < kMaxStack) fs->freereg--;
}

void FreeExp(FuncState* fs, ExpDesc* e) {
  if (e->k == VNONRELOC) FreeReg(fs, e->info);
}

int AddK(FuncState* fs, const Value* key, const Value* v) {
  lua_State* L = fs->L;
  const Value* idx = TableGet(fs->h, key);
  if (IsNumber(idx)) return int(NValue(idx));
  LProto* f = fs->f;
  int oldSize = f->sizek;
  GrowVector(L, f->k, fs->nk, f->sizek, kMaxArgBx, "constant table overflow");
  for (int i = oldSize; i < f->sizek; i++) SetNil(&f->k[i]);
  f->k[fs->nk] = *v;
  SetNumber(TableSet(L, fs->h, key), fs->nk);
  return fs->nk++;
}

int NilK(FuncState* fs) {
  Value k, v;
  SetTable(&k, fs->h);  // the constant table itself stands for nil
  SetNil(&v);
  return AddK(fs, &k, &v);
}

int CodeLabel(FuncState* fs, int a, int b, int jump) {
  GetLabel(fs);  // those instructions may be jump targets
  return CodeABC(fs, OP_LOADBOOL, a, b, jump);
}

void Discharge2Reg(FuncState* fs, ExpDesc* e, int reg) {
  DischargeVars(fs, e);
  switch (e->k) {
    case VNIL: Nil(fs, reg, 1); break;
    case VFALSE:
    case VTRUE: CodeABC(fs, OP_LOADBOOL, reg, e->k == VTRUE, 0); break;
    case VK: CodeABx(fs, OP_LOADK, reg, e->info); break;
    case VRELOCABLE: SetA(GetCode(fs, e), reg); break;
    case VNONRELOC:
      if (reg != e->info) CodeABC(fs, OP_MOVE, reg, e->info, 0);
      break;
    default: return;  // VVOID or VJMP: nothing to do
  }
  e->info = reg;
  e->k = VNONRELOC;
}

void Discharge2AnyReg(FuncState* fs, ExpDesc* e) {
  if (e->k != VNONRELOC) {
    ReserveRegs(fs, 1);
    Discharge2Reg(fs, e, fs->freereg - 1);
  }
}

void Exp2Reg(FuncState* fs, ExpDesc* e, int reg) {
  Discharge2Reg(fs, e, reg);
  if (e->k == VJMP) Concat(fs, &e->t, e->info);
  if (HasJumps(e)) {
    int pf = kNoJump, pt = kNoJump;
    if (NeedValue(fs, e->t, 1) || NeedValue(fs, e->f, 0)) {
      int fj = (e->k == VJMP) ? kNoJump : Jump(fs);
      pf = CodeLabel(fs, reg, 0, 1);
      pt = CodeLabel(fs, reg, 1, 0);
      PatchToHere(fs, fj);
    }
    int final = GetLabel(fs);
    PatchListAux(fs, e->f, pf, kNoReg, final, reg, pf);
    PatchListAux(fs, e->t, final, reg, pt, kNoReg, pt);
  }
  e->f = e->t = kNoJump;
  e->info = reg;
  e->k = VNONRELOC;
}

void InvertJump(FuncState* fs, ExpDesc* e) {
  Instr* pc = GetJumpControl(fs, e->info);
  SetA(*pc, !GetA(*pc));
}

int JumpOnCond(FuncState* fs, ExpDesc* e, int cond) {
  if (e->k == VRELOCABLE) {
    Instr ie = GetCode(fs, e);
    if (GetOp(ie) == OP_NOT) {
      fs->pc--;  // drop the NOT and test its operand the other way
      return CondJump(fs, OP_TEST, kNoReg, GetB(ie), !cond);
    }
  }
  Discharge2AnyReg(fs, e);
  FreeExp(fs, e);
  return CondJump(fs, OP_TEST, kNoReg, e->info, cond);
}

void CodeNot(FuncState* fs, ExpDesc* e) {
  DischargeVars(fs, e);
  switch (e->k) {
    case VNIL:
    case VFALSE: e->k = VTRUE; break;
    case VK:
    case VTRUE: e->k = VFALSE; break;
    case VJMP: InvertJump(fs, e); break;
    case VRELOCABLE:
    case VNONRELOC:
      Discharge2AnyReg(fs, e);
      FreeExp(fs, e);
      e->info = CodeABC(fs, OP_NOT, 0, e->info, 0);
      e->k = VRELOCABLE;
      break;
    default: break;
  }
  // the tests in both lists now exit with the inverted sense: their operands are no results
  for (int list : {e->t, e->f}) {
    for (; list != kNoJump; list = GetJump(fs, list)) {
      Instr* i = GetJumpControl(fs, list);
      if (GetOp(*i) == OP_TEST) SetC(*i, GetC(*i) | kValuelessTest);
    }
  }
  int temp = e->f;
  e->f = e->t;
  e->t = temp;
}

void CodeBinop(FuncState* fs, ExpDesc* res, BinOpr op, int o1, int o2) {
  if (op <= OPR_POW) {
    OpCode opc = OpCode(int(op - OPR_ADD) + OP_ADD);
    res->info = CodeABC(fs, opc, 0, o1, o2);
    res->k = VRELOCABLE;
    return;
  }
  static const OpCode kOps[] = {OP_EQ, OP_EQ, OP_LT, OP_LE, OP_LT, OP_LE};
  int cond = 1;
  if (op >= OPR_GT) {
    int temp = o1;
    o1 = o2;
    o2 = temp;
  } else if (op == OPR_NE) {
    cond = 0;
  }
  res->info = CondJump(fs, kOps[op - OPR_NE], cond, o1, o2);
  res->k = VJMP;
}

}  // namespace

int GetLabel(FuncState* fs) {
  fs->lasttarget = fs->pc;
  return fs->pc;
}

int Jump(FuncState* fs) {
  int jpc = fs->jpc;
  fs->jpc = kNoJump;
  int j = CodeAsBx(fs, OP_JMP, 0, kNoJump);
  Concat(fs, &j, jpc);
  return j;
}

void PatchList(FuncState* fs, int list, int target) {
  if (target == fs->pc)
    PatchToHere(fs, list);
  else
    PatchListAux(fs, list, target, kNoReg, target, kNoReg, target);
}

void PatchToHere(FuncState* fs, int list) {
  GetLabel(fs);
  Concat(fs, &fs->jpc, list);
}

void Concat(FuncState* fs, int* l1, int l2) {
  if (l2 == kNoJump) return;
  if (*l1 == kNoJump) {
    *l1 = l2;
    return;
  }
  int list = *l1;
  int next;
  while ((next = GetJump(fs, list)) != kNoJump) list = next;
  FixJump(fs, list, l2);
}

void CheckStack(FuncState* fs, int n) {
  int newStack = fs->freereg + n;
  if (newStack > fs->f->maxstacksize) {
    if (newStack >= kMaxStack) fs->ls->SyntaxError("function or expression too complex");
    fs->f->maxstacksize = uint8_t(newStack);
  }
}

void ReserveRegs(FuncState* fs, int n) {
  CheckStack(fs, n);
  fs->freereg += n;
}

void Nil(FuncState* fs, int from, int n) {
  if (fs->pc > fs->lasttarget && fs->pc > 0) {
    Instr* previous = &fs->f->code[fs->pc - 1];
    if (GetOp(*previous) == OP_LOADNIL) {
      int pfrom = GetA(*previous);
      int pto = GetB(*previous);
      if (pfrom <= from && from <= pto + 1) {
        if (from + n - 1 > pto) SetB(*previous, from + n - 1);
        return;
      }
    }
  }
  CodeABC(fs, OP_LOADNIL, from, from + n - 1, 0);
}

int StringK(FuncState* fs, LString* s) {
  Value o;
  SetString(&o, s);
  return AddK(fs, &o, &o);
}

int WStringK(FuncState* fs, LString* s) { return StringK(fs, s); }

int NumberK(FuncState* fs, double r) {
  Value o;
  SetNumber(&o, r);
  return AddK(fs, &o, &o);
}

void SetCallReturns(FuncState* fs, ExpDesc* e, int nresults) {
  if (e->k == VCALL) {
    SetC(GetCode(fs, e), nresults + 1);
    if (nresults == 1) {
      e->k = VNONRELOC;
      e->info = GetA(GetCode(fs, e));
    }
  }
}

void DischargeVars(FuncState* fs, ExpDesc* e) {
  switch (e->k) {
    case VLOCAL: e->k = VNONRELOC; break;
    case VUPVAL:
      e->info = CodeABC(fs, OP_GETUPVAL, 0, e->info, 0);
      e->k = VRELOCABLE;
      break;
    case VGLOBAL:
      e->info = CodeABx(fs, OP_GETGLOBAL, 0, e->info);
      e->k = VRELOCABLE;
      break;
    case VINDEXED:
      FreeReg(fs, e->aux);
      FreeReg(fs, e->info);
      e->info = CodeABC(fs, OP_GETTABLE, 0, e->info, e->aux);
      e->k = VRELOCABLE;
      break;
    case VCALL: SetCallReturns(fs, e, 1); break;
    default: break;
  }
}

void Exp2NextReg(FuncState* fs, ExpDesc* e) {
  DischargeVars(fs, e);
  FreeExp(fs, e);
  ReserveRegs(fs, 1);
  Exp2Reg(fs, e, fs->freereg - 1);
}

int Exp2AnyReg(FuncState* fs, ExpDesc* e) {
  DischargeVars(fs, e);
  if (e->k == VNONRELOC) {
    if (!HasJumps(e)) return e->info;
    if (e->info >= fs->nactvar) {
      Exp2Reg(fs, e, e->info);
      return e->info;
    }
  }
  Exp2NextReg(fs, e);
  return e->info;
}

void Exp2Val(FuncState* fs, ExpDesc* e) {
  if (HasJumps(e))
    Exp2AnyReg(fs, e);
  else
    DischargeVars(fs, e);
}

int Exp2RK(FuncState* fs, ExpDesc* e) {
  Exp2Val(fs, e);
  switch (e->k) {
    case VNIL:
      if (fs->nk + kMaxStack <= kMaxArgC) {
        e->info = NilK(fs);
        e->k = VK;
        return e->info + kMaxStack;
      }
      break;
    case VK:
      if (e->info + kMaxStack <= kMaxArgC) return e->info + kMaxStack;
      break;
    default: break;
  }
  return Exp2AnyReg(fs, e);
}

void StoreVar(FuncState* fs, ExpDesc* var, ExpDesc* ex) {
  switch (var->k) {
    case VLOCAL:
      FreeExp(fs, ex);
      Exp2Reg(fs, ex, var->info);
      return;
    case VUPVAL: {
      int e = Exp2AnyReg(fs, ex);
      CodeABC(fs, OP_SETUPVAL, e, var->info, 0);
      break;
    }
    case VGLOBAL: {
      int e = Exp2AnyReg(fs, ex);
      CodeABx(fs, OP_SETGLOBAL, e, var->info);
      break;
    }
    case VINDEXED: {
      int e = Exp2RK(fs, ex);
      CodeABC(fs, OP_SETTABLE, var->info, var->aux, e);
      break;
    }
    default: break;
  }
  FreeExp(fs, ex);
}

void Self(FuncState* fs, ExpDesc* e, ExpDesc* key) {
  Exp2AnyReg(fs, e);
  FreeExp(fs, e);
  int func = fs->freereg;
  ReserveRegs(fs, 2);
  CodeABC(fs, OP_SELF, func, e->info, Exp2RK(fs, key));
  FreeExp(fs, key);
  e->info = func;
  e->k = VNONRELOC;
}

void Indexed(FuncState* fs, ExpDesc* t, ExpDesc* k) {
  t->aux = Exp2RK(fs, k);
  t->k = VINDEXED;
}

void GoIfTrue(FuncState* fs, ExpDesc* e) {
  int pc;
  DischargeVars(fs, e);
  switch (e->k) {
    case VK:
    case VTRUE: pc = kNoJump; break;
    case VFALSE: pc = Jump(fs); break;
    case VJMP:
      InvertJump(fs, e);
      pc = e->info;
      break;
    default: pc = JumpOnCond(fs, e, 0); break;
  }
  Concat(fs, &e->f, pc);
}

void GoIfFalse(FuncState* fs, ExpDesc* e) {
  int pc;
  DischargeVars(fs, e);
  switch (e->k) {
    case VNIL:
    case VFALSE: pc = kNoJump; break;
    case VTRUE: pc = Jump(fs); break;
    case VJMP: pc = e->info; break;
    default: pc = JumpOnCond(fs, e, 1); break;
  }
  Concat(fs, &e->t, pc);
}

void Prefix(FuncState* fs, UnOpr op, ExpDesc* e) {
  if (op == OPR_MINUS) {
    Exp2Val(fs, e);
    if (e->k == VK && IsNumber(&fs->f->k[e->info])) {
      e->info = NumberK(fs, -NValue(&fs->f->k[e->info]));
    } else {
      Exp2AnyReg(fs, e);
      FreeExp(fs, e);
      e->info = CodeABC(fs, OP_UNM, 0, e->info, 0);
      e->k = VRELOCABLE;
    }
  } else {
    CodeNot(fs, e);
  }
}

void Infix(FuncState* fs, BinOpr op, ExpDesc* v) {
  switch (op) {
    case OPR_AND:
      GoIfTrue(fs, v);
      PatchToHere(fs, v->t);
      v->t = kNoJump;
      break;
    case OPR_OR:
      GoIfFalse(fs, v);
      PatchToHere(fs, v->f);
      v->f = kNoJump;
      break;
    case OPR_CONCAT: Exp2NextReg(fs, v); break;  // operands must be consecutive registers
    default: Exp2RK(fs, v); break;
  }
}

void Posfix(FuncState* fs, BinOpr op, ExpDesc* e1, ExpDesc* e2) {
  switch (op) {
    case OPR_AND:
      DischargeVars(fs, e2);
      Concat(fs, &e1->f, e2->f);
      e1->k = e2->k;
      e1->info = e2->info;
      e1->aux = e2->aux;
      e1->t = e2->t;
      break;
    case OPR_OR:
      DischargeVars(fs, e2);
      Concat(fs, &e1->t, e2->t);
      e1->k = e2->k;
      e1->info = e2->info;
      e1->aux = e2->aux;
      e1->f = e2->f;
      break;
    case OPR_CONCAT:
      Exp2Val(fs, e2);
      if (e2->k == VRELOCABLE && GetOp(GetCode(fs, e2)) == OP_CONCAT) {
        FreeExp(fs, e1);
        SetB(GetCode(fs, e2), e1->info);
        e1->k = e2->k;
        e1->info = e2->info;
      } else {
        Exp2NextReg(fs, e2);
        FreeExp(fs, e2);
        FreeExp(fs, e1);
        e1->info = CodeABC(fs, OP_CONCAT, 0, e1->info, e2->info);
        e1->k = VRELOCABLE;
      }
      break;
    default: {
      int o1 = Exp2RK(fs, e1);
      int o2 = Exp2RK(fs, e2);
      FreeExp(fs, e2);
      FreeExp(fs, e1);
      CodeBinop(fs, e1, op, o1, o2);
    }
  }
}

int Code(FuncState* fs, Instr i, int line) {
  LProto* f = fs->f;
  lua_State* L = fs->L;
  DischargeJpc(fs);
  int sizecode = f->sizecode;
  GrowVector(L, f->code, fs->pc, sizecode, 2147483647 - 2, "code size overflow");
  f->code[fs->pc] = i;
  int sizeline = f->sizelineinfo;
  GrowVector(L, f->lineinfo, fs->pc, sizeline, 2147483647 - 2, "code size overflow");
  f->sizecode = sizecode;
  f->sizelineinfo = sizeline;
  f->lineinfo[fs->pc] = line;
  return fs->pc++;
}

int CodeABC(FuncState* fs, OpCode o, int a, int b, int c) { return Code(fs, CreateABC(o, a, b, c), fs->ls->lastline); }

int CodeABx(FuncState* fs, OpCode o, int a, int bc) { return Code(fs, CreateABx(o, a, bc), fs->ls->lastline); }

void FixLine(FuncState* fs, int line) { fs->f->lineinfo[fs->pc - 1] = line; }

}  // namespace code
}  // namespace tlua
