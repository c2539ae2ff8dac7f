// Parser state and the register-allocating code generator.
#pragma once

#include "script/lua/lua_lexer.h"
#include "script/lua/lua_opcodes.h"

namespace tlua {

enum ExpKind {
  VVOID,       // no value
  VNIL, VTRUE, VFALSE,
  VK,          // info = constant index
  VLOCAL,      // info = register
  VUPVAL,      // info = upvalue index
  VGLOBAL,     // info = constant index of the name
  VINDEXED,    // info = table register, aux = key (register or constant)
  VJMP,        // info = pc of the jump
  VRELOCABLE,  // info = pc of an instruction whose A can be set
  VNONRELOC,   // info = result register
  VCALL        // info = pc of the call
};

struct ExpDesc {
  ExpKind k;
  int info, aux;
  int t;  // patch list of "exit when true"
  int f;  // patch list of "exit when false"
};

inline void InitExp(ExpDesc* e, ExpKind k, int info) {
  e->k = k;
  e->info = info;
  e->aux = 0;
  e->t = e->f = kNoJump;
}

struct BlockCnt {
  BlockCnt* previous;
  int breaklist;
  int continuelist;
  int nactvar;
  bool upval;
  bool isbreakable;
};

struct FuncState {
  LProto* f;
  LTable* h;  // constant -> index
  FuncState* prev;
  Lexer* ls;
  lua_State* L;
  BlockCnt* bl;
  int pc;
  int lasttarget;
  int jpc;  // jumps to the next instruction
  int freereg;
  int nk;
  int np;
  int nlocvars;
  int nactvar;
  ExpDesc upvalues[kMaxUpvalues];
  int actvar[kMaxVars];
};

enum BinOpr {
  OPR_ADD, OPR_SUB, OPR_MULT, OPR_DIV, OPR_BAND, OPR_BOR, OPR_SHL, OPR_SHR, OPR_POW,
  OPR_CONCAT, OPR_NE, OPR_EQ, OPR_LT, OPR_LE, OPR_GT, OPR_GE, OPR_AND, OPR_OR, OPR_NOBINOPR
};
enum UnOpr { OPR_MINUS, OPR_NOT, OPR_NOUNOPR };

namespace code {
int Code(FuncState* fs, Instr i, int line);
int CodeABC(FuncState* fs, OpCode o, int a, int b, int c);
int CodeABx(FuncState* fs, OpCode o, int a, int bc);
inline int CodeAsBx(FuncState* fs, OpCode o, int a, int sbc) { return CodeABx(fs, o, a, sbc + kMaxArgSBx); }
void FixLine(FuncState* fs, int line);
void Nil(FuncState* fs, int from, int n);
void ReserveRegs(FuncState* fs, int n);
void CheckStack(FuncState* fs, int n);
int StringK(FuncState* fs, LString* s);
int WStringK(FuncState* fs, LString* s);
int NumberK(FuncState* fs, double r);
void DischargeVars(FuncState* fs, ExpDesc* e);
int Exp2AnyReg(FuncState* fs, ExpDesc* e);
void Exp2NextReg(FuncState* fs, ExpDesc* e);
void Exp2Val(FuncState* fs, ExpDesc* e);
int Exp2RK(FuncState* fs, ExpDesc* e);
void Self(FuncState* fs, ExpDesc* e, ExpDesc* key);
void Indexed(FuncState* fs, ExpDesc* t, ExpDesc* k);
void GoIfTrue(FuncState* fs, ExpDesc* e);
void GoIfFalse(FuncState* fs, ExpDesc* e);
void StoreVar(FuncState* fs, ExpDesc* var, ExpDesc* e);
void SetCallReturns(FuncState* fs, ExpDesc* e, int nresults);
int Jump(FuncState* fs);
void PatchList(FuncState* fs, int list, int target);
void PatchToHere(FuncState* fs, int list);
void Concat(FuncState* fs, int* l1, int l2);
int GetLabel(FuncState* fs);
void Prefix(FuncState* fs, UnOpr op, ExpDesc* v);
void Infix(FuncState* fs, BinOpr op, ExpDesc* v);
void Posfix(FuncState* fs, BinOpr op, ExpDesc* v1, ExpDesc* v2);
inline Instr& GetCode(FuncState* fs, ExpDesc* e) { return fs->f->code[e->info]; }
}  // namespace code

LProto* Parse(lua_State* L, ChunkStream* z, const char* name);

}  // namespace tlua
