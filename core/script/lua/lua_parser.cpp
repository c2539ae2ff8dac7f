// The recursive-descent parser of the dialect; it drives the code generator.
#include <cmath>

#include "script/lua/lua_code.h"

namespace tlua {

namespace {

using namespace code;

struct LHSAssign {
  LHSAssign* prev;
  ExpDesc v;
};

struct ConsControl {
  ExpDesc v;   // last list item read
  ExpDesc* t;  // table descriptor
  int nh;
  int na;
  int tostore;
};

struct Priority {
  uint8_t left, right;
};

const Priority kPriority[] = {
    {6, 6}, {6, 6}, {7, 7}, {7, 7},  // + - * /
    {8, 8}, {8, 8}, {8, 8}, {8, 8},  // & | << >>
    {10, 9}, {5, 4},                 // ^ ..
    {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3},  // ~= == < <= > >=
    {2, 2}, {1, 1}                   // and or
};
constexpr int kUnaryPriority = 8;
constexpr int kMaxExpWhile = 100;
constexpr int kMaxAssignTargets = 200;

class Parser {
 public:
  explicit Parser(Lexer* ls) : ls(ls), L(ls->L) {}
  LProto* MainChunk();

 private:
  Lexer* ls;
  lua_State* L;

  FuncState* Fs() { return ls->fs; }
  void Next() { ls->Next(); }
  bool TestNext(int c) {
    if (ls->t.token != c) return false;
    Next();
    return true;
  }
  void Check(int c) {
    if (ls->t.token != c) ls->ErrorExpected(c);
  }
  void CheckNext(int c) {
    Check(c);
    Next();
  }
  void CheckCondition(bool c, const char* msg) {
    if (!c) ls->SyntaxError(msg);
  }
  void CheckMatch(int what, int who, int where) {
    if (!TestNext(what)) {
      if (where == ls->linenumber) ls->ErrorExpected(what);
      ls->SyntaxError(PushFString(L, "`%s' expected (to close `%s' at line %d)", ls->TokenText(what).c_str(),
                                  ls->TokenText(who).c_str(), where));
    }
  }
  LString* StrCheckName() {
    Check(TK_NAME);
    LString* ts = ls->t.seminfo.ts;
    Next();
    return ts;
  }
  void CodeString(ExpDesc* e, LString* s) { InitExp(e, VK, StringK(Fs(), s)); }
  void CheckName(ExpDesc* e) { CodeString(e, StrCheckName()); }
  void EnterLevel() {
    if (++ls->nestlevel > kMaxParserLevel) ls->SyntaxError("too many syntax levels");
  }
  void LeaveLevel() { ls->nestlevel--; }
  static bool BlockFollow(int token) {
    return token == TK_ELSE || token == TK_ELSEIF || token == TK_END || token == TK_UNTIL || token == TK_EOS;
  }

  // variables
  int RegisterLocalVar(LString* varname);
  void NewLocalVar(LString* name, int n);
  void NewLocalVarStr(const char* name, int n) { NewLocalVar(NewStr(L, name), n); }
  LocVar& GetLocVar(FuncState* fs, int i) { return fs->f->locvars[fs->actvar[i]]; }
  void AdjustLocalVars(int nvars);
  void RemoveVars(int tolevel);
  void CreateLocal(const char* name) {
    NewLocalVarStr(name, 0);
    AdjustLocalVars(1);
  }
  int IndexUpvalue(FuncState* fs, LString* name, ExpDesc* v);
  static int SearchVar(FuncState* fs, LString* n);
  static void MarkUpval(FuncState* fs, int level);
  void SingleVarAux(FuncState* fs, LString* n, ExpDesc* var, bool base);
  void SingleVar(ExpDesc* var);
  void AdjustAssign(int nvars, int nexps, ExpDesc* e);

  // functions and blocks
  void EnterBlock(FuncState* fs, BlockCnt* bl, bool isbreakable);
  void LeaveBlock(FuncState* fs);
  void PushClosure(FuncState* func, ExpDesc* v);
  void OpenFunc(FuncState* fs);
  void CloseFunc();

  // expressions
  void Field(ExpDesc* v);
  void YIndex(ExpDesc* v);
  void RecField(ConsControl* cc);
  void CloseListField(ConsControl* cc);
  void LastListField(ConsControl* cc);
  void ListField(ConsControl* cc);
  int SizeHint();
  void Constructor(ExpDesc* t);
  void ParList();
  void Body(ExpDesc* e, bool needself, int line);
  int ExpList1(ExpDesc* v);
  void FuncArgs(ExpDesc* f);
  void PrefixExp(ExpDesc* v);
  void PrimaryExp(ExpDesc* v);
  void SimpleExp(ExpDesc* v);
  BinOpr SubExpr(ExpDesc* v, int limit);
  void Expr(ExpDesc* v) { SubExpr(v, -1); }

  // statements
  bool Block();
  void Chunk();
  void CheckConflict(LHSAssign* lh, ExpDesc* v);
  void RestAssign(LHSAssign* lh, int nvars);
  int Cond();
  void BreakStat();
  void ContinueStat();
  int LoopLevel();
  void WhileStat(int line);
  void RepeatStat(int line);
  int Exp1();
  void ForBody(int base, int line, int nvars, bool isnum);
  void ForNum(LString* varname, int line);
  void ForList(LString* indexname);
  void ForStat(int line);
  int TestThenBlock();
  void IfStat(int line);
  void LocalFunc();
  void LocalStat();
  bool FuncName(ExpDesc* v);
  void FuncStat(int line);
  void ExprStat();
  void RetStat();
  bool Statement();
};

int Parser::RegisterLocalVar(LString* varname) {
  FuncState* fs = Fs();
  LProto* f = fs->f;
  int oldSize = f->sizelocvars;
  GrowVector(L, f->locvars, fs->nlocvars, f->sizelocvars, 32767, "too many local variables");
  for (int i = oldSize; i < f->sizelocvars; i++) f->locvars[i].name = nullptr;
  f->locvars[fs->nlocvars].name = varname;
  f->locvars[fs->nlocvars].startpc = 0;
  f->locvars[fs->nlocvars].endpc = 0;
  return fs->nlocvars++;
}

void Parser::NewLocalVar(LString* name, int n) {
  FuncState* fs = Fs();
  ls->CheckLimit(fs->nactvar + n + 1, kMaxVars, "local variables");
  fs->actvar[fs->nactvar + n] = RegisterLocalVar(name);
}

void Parser::AdjustLocalVars(int nvars) {
  FuncState* fs = Fs();
  fs->nactvar += nvars;
  for (; nvars; nvars--) GetLocVar(fs, fs->nactvar - nvars).startpc = fs->pc;
}

void Parser::RemoveVars(int tolevel) {
  FuncState* fs = Fs();
  while (fs->nactvar > tolevel) GetLocVar(fs, --fs->nactvar).endpc = fs->pc;
}

int Parser::IndexUpvalue(FuncState* fs, LString* name, ExpDesc* v) {
  LProto* f = fs->f;
  for (int i = 0; i < f->nups; i++)
    if (fs->upvalues[i].k == v->k && fs->upvalues[i].info == v->info) return i;
  ls->CheckLimit(f->nups + 1, kMaxUpvalues, "upvalues");
  int oldSize = f->sizeupvalues;
  GrowVector(L, f->upvalues, f->nups, f->sizeupvalues, 2147483647 - 2, "");
  for (int i = oldSize; i < f->sizeupvalues; i++) f->upvalues[i] = nullptr;
  f->upvalues[f->nups] = name;
  fs->upvalues[f->nups] = *v;
  return f->nups++;
}

int Parser::SearchVar(FuncState* fs, LString* n) {
  for (int i = fs->nactvar - 1; i >= 0; i--)
    if (n == fs->f->locvars[fs->actvar[i]].name) return i;
  return -1;
}

void Parser::MarkUpval(FuncState* fs, int level) {
  BlockCnt* bl = fs->bl;
  while (bl && bl->nactvar > level) bl = bl->previous;
  if (bl) bl->upval = true;
}

void Parser::SingleVarAux(FuncState* fs, LString* n, ExpDesc* var, bool base) {
  if (fs == nullptr) {
    InitExp(var, VGLOBAL, kNoReg);
    return;
  }
  int v = SearchVar(fs, n);
  if (v >= 0) {
    InitExp(var, VLOCAL, v);
    if (!base) MarkUpval(fs, v);
    return;
  }
  SingleVarAux(fs->prev, n, var, false);
  if (var->k == VGLOBAL) {
    if (base) var->info = StringK(fs, n);
  } else {
    var->info = IndexUpvalue(fs, n, var);
    var->k = VUPVAL;
  }
}

void Parser::SingleVar(ExpDesc* var) { SingleVarAux(Fs(), StrCheckName(), var, true); }

void Parser::AdjustAssign(int nvars, int nexps, ExpDesc* e) {
  FuncState* fs = Fs();
  int extra = nvars - nexps;
  if (e->k == VCALL) {
    extra++;
    if (extra <= 0)
      extra = 0;
    else
      ReserveRegs(fs, extra - 1);
    SetCallReturns(fs, e, extra);
  } else {
    if (e->k != VVOID) Exp2NextReg(fs, e);
    if (extra > 0) {
      int reg = fs->freereg;
      ReserveRegs(fs, extra);
      Nil(fs, reg, extra);
    }
  }
}

void Parser::EnterBlock(FuncState* fs, BlockCnt* bl, bool isbreakable) {
  bl->breaklist = kNoJump;
  bl->continuelist = kNoJump;
  bl->isbreakable = isbreakable;
  bl->nactvar = fs->nactvar;
  bl->upval = false;
  bl->previous = fs->bl;
  fs->bl = bl;
}

void Parser::LeaveBlock(FuncState* fs) {
  BlockCnt* bl = fs->bl;
  fs->bl = bl->previous;
  RemoveVars(bl->nactvar);
  if (bl->upval) CodeABC(fs, OP_CLOSE, bl->nactvar, 0, 0);
  fs->freereg = fs->nactvar;
  PatchToHere(fs, bl->breaklist);
}

void Parser::PushClosure(FuncState* func, ExpDesc* v) {
  FuncState* fs = Fs();
  LProto* f = fs->f;
  int oldSize = f->sizep;
  GrowVector(L, f->p, fs->np, f->sizep, kMaxArgBx, "constant table overflow");
  for (int i = oldSize; i < f->sizep; i++) f->p[i] = nullptr;
  f->p[fs->np++] = func->f;
  InitExp(v, VRELOCABLE, CodeABx(fs, OP_CLOSURE, 0, fs->np - 1));
  for (int i = 0; i < func->f->nups; i++) {
    OpCode o = (func->upvalues[i].k == VLOCAL) ? OP_MOVE : OP_GETUPVAL;
    CodeABC(fs, o, 0, func->upvalues[i].info, 0);
  }
}

void Parser::OpenFunc(FuncState* fs) {
  LProto* f = NewProto(L);
  fs->f = f;
  fs->prev = ls->fs;
  fs->ls = ls;
  fs->L = L;
  ls->fs = fs;
  fs->pc = 0;
  fs->lasttarget = 0;
  fs->jpc = kNoJump;
  fs->freereg = 0;
  fs->nk = 0;
  fs->h = NewTable(L, 0, 0);
  fs->np = 0;
  fs->nlocvars = 0;
  fs->nactvar = 0;
  fs->bl = nullptr;
  f->source = ls->source;
  f->maxstacksize = 2;  // registers 0 and 1 are always valid
  // Keep the prototype and its constant index reachable while it is being built.
  CheckStack(L, 2);
  SetGC(L->top++, f, TProto);
  SetTable(L->top++, fs->h);
}

void Parser::CloseFunc() {
  FuncState* fs = Fs();
  LProto* f = fs->f;
  RemoveVars(0);
  CodeABC(fs, OP_RETURN, 0, 1, 0);
  ResizeArray(L, f->code, f->sizecode, fs->pc);
  f->sizecode = fs->pc;
  ResizeArray(L, f->lineinfo, f->sizelineinfo, fs->pc);
  f->sizelineinfo = fs->pc;
  ResizeArray(L, f->k, f->sizek, fs->nk);
  f->sizek = fs->nk;
  ResizeArray(L, f->p, f->sizep, fs->np);
  f->sizep = fs->np;
  ResizeArray(L, f->locvars, f->sizelocvars, fs->nlocvars);
  f->sizelocvars = fs->nlocvars;
  ResizeArray(L, f->upvalues, f->sizeupvalues, f->nups);
  f->sizeupvalues = f->nups;
  ls->fs = fs->prev;
  L->top -= 2;
}

LProto* Parser::MainChunk() {
  FuncState fs;
  OpenFunc(&fs);
  Next();
  Chunk();
  CheckCondition(ls->t.token == TK_EOS, "`<eof>' expected");
  CloseFunc();
  return fs.f;
}

void Parser::Field(ExpDesc* v) {
  FuncState* fs = Fs();
  ExpDesc key;
  Exp2AnyReg(fs, v);
  Next();  // skip the dot or colon
  CheckName(&key);
  Indexed(fs, v, &key);
}

void Parser::YIndex(ExpDesc* v) {
  Next();  // skip the '['
  Expr(v);
  Exp2Val(Fs(), v);
  CheckNext(']');
}

void Parser::RecField(ConsControl* cc) {
  FuncState* fs = Fs();
  int reg = fs->freereg;
  ExpDesc key, val;
  if (ls->t.token == TK_NAME) {
    ls->CheckLimit(cc->nh, 2147483647 - 2, "items in a constructor");
    cc->nh++;
    CheckName(&key);
  } else {
    YIndex(&key);
    cc->nh++;
  }
  CheckNext('=');
  Exp2RK(fs, &key);
  Expr(&val);
  CodeABC(fs, OP_SETTABLE, cc->t->info, Exp2RK(fs, &key), Exp2RK(fs, &val));
  fs->freereg = reg;
}

void Parser::CloseListField(ConsControl* cc) {
  FuncState* fs = Fs();
  if (cc->v.k == VVOID) return;
  Exp2NextReg(fs, &cc->v);
  cc->v.k = VVOID;
  if (cc->tostore == kFieldsPerFlush) {
    CodeABx(fs, OP_SETLIST, cc->t->info, cc->na - 1);
    cc->tostore = 0;
    fs->freereg = cc->t->info + 1;
  }
}

void Parser::LastListField(ConsControl* cc) {
  FuncState* fs = Fs();
  if (cc->tostore == 0) return;
  if (cc->v.k == VCALL) {
    SetCallReturns(fs, &cc->v, LUA_MULTRET);
    CodeABx(fs, OP_SETLISTO, cc->t->info, cc->na - 1);
  } else {
    if (cc->v.k != VVOID) Exp2NextReg(fs, &cc->v);
    CodeABx(fs, OP_SETLIST, cc->t->info, cc->na - 1);
  }
  fs->freereg = cc->t->info + 1;
}

void Parser::ListField(ConsControl* cc) {
  Expr(&cc->v);
  ls->CheckLimit(cc->na, kMaxArgBx, "items in a constructor");
  cc->na++;
  cc->tostore++;
}

// `&' Number: a size hint of a table constructor.
int Parser::SizeHint() {
  Next();  // skip '&'
  if (ls->t.token != TK_NUMBER)
    ls->SyntaxError(PushFString(L, "size expected following & (line %d)", ls->linenumber));
  double n = ls->t.seminfo.r;
  Next();
  if (!(n > 0)) return 0;
  return n >= 2147483647.0 ? 2147483647 : int(n);
}

void Parser::Constructor(ExpDesc* t) {
  FuncState* fs = Fs();
  int line = ls->linenumber;
  int pc = CodeABC(fs, OP_NEWTABLE, 0, 0, 0);
  ConsControl cc;
  cc.na = cc.nh = cc.tostore = 0;
  cc.t = t;
  InitExp(t, VRELOCABLE, pc);
  InitExp(&cc.v, VVOID, 0);
  Exp2NextReg(fs, t);
  CheckNext('{');
  int hashHint = 0, arrayHint = 0;
  if (ls->t.token == '&') {
    hashHint = SizeHint();
    if (ls->t.token == '&') arrayHint = SizeHint();
  }
  do {
    TestNext(';');
    if (ls->t.token == '}') break;
    CloseListField(&cc);
    switch (ls->t.token) {
      case TK_NAME:
        ls->Lookahead();
        if (ls->lookahead.token != '=')
          ListField(&cc);
        else
          RecField(&cc);
        break;
      case '[': RecField(&cc); break;
      default: ListField(&cc); break;
    }
  } while (TestNext(',') || TestNext(';'));
  CheckMatch('}', '{', line);
  LastListField(&cc);
  int na = cc.na > arrayHint ? cc.na : arrayHint;
  int nh = cc.nh > hashHint ? cc.nh : hashHint;
  if (na > 0) SetB(fs->f->code[pc], Int2Fb(unsigned(na)));
  SetC(fs->f->code[pc], FloorLog2(unsigned(nh)) + 1);
}

void Parser::ParList() {
  FuncState* fs = Fs();
  int nparams = 0;
  bool dots = false;
  if (ls->t.token != ')') {
    do {
      switch (ls->t.token) {
        case TK_DOTS:
          dots = true;
          Next();
          break;
        case TK_NAME: NewLocalVar(StrCheckName(), nparams++); break;
        default: ls->SyntaxError("<name> or `...' expected");
      }
    } while (!dots && TestNext(','));
  }
  AdjustLocalVars(nparams);
  ls->CheckLimit(fs->nactvar, kMaxParams, "parameters");
  fs->f->numparams = uint8_t(fs->nactvar);
  fs->f->isVararg = dots;
  if (dots) CreateLocal("arg");
  ReserveRegs(fs, fs->nactvar);
}

void Parser::Body(ExpDesc* e, bool needself, int line) {
  FuncState newFs;
  OpenFunc(&newFs);
  newFs.f->lineDefined = line;
  CheckNext('(');
  if (needself) CreateLocal("self");
  ParList();
  CheckNext(')');
  Chunk();
  CheckMatch(TK_END, TK_FUNCTION, line);
  CloseFunc();
  PushClosure(&newFs, e);
}

int Parser::ExpList1(ExpDesc* v) {
  int n = 1;
  Expr(v);
  while (TestNext(',')) {
    Exp2NextReg(Fs(), v);
    Expr(v);
    n++;
  }
  return n;
}

void Parser::FuncArgs(ExpDesc* f) {
  FuncState* fs = Fs();
  ExpDesc args;
  int line = ls->linenumber;
  switch (ls->t.token) {
    case '(':
      if (line != ls->lastline) ls->SyntaxError("ambiguous syntax (function call x new statement)");
      Next();
      if (ls->t.token == ')') {
        args.k = VVOID;
      } else {
        ExpList1(&args);
        SetCallReturns(fs, &args, LUA_MULTRET);
      }
      CheckMatch(')', '(', line);
      break;
    case '{': Constructor(&args); break;
    case TK_STRING:
      CodeString(&args, ls->t.seminfo.ts);
      Next();
      break;
    default: ls->SyntaxError("function arguments expected");
  }
  int base = f->info;
  int nparams;
  if (args.k == VCALL) {
    nparams = LUA_MULTRET;
  } else {
    if (args.k != VVOID) Exp2NextReg(fs, &args);
    nparams = fs->freereg - (base + 1);
  }
  InitExp(f, VCALL, CodeABC(fs, OP_CALL, base, nparams + 1, 2));
  FixLine(fs, line);
  fs->freereg = base + 1;
}

void Parser::PrefixExp(ExpDesc* v) {
  switch (ls->t.token) {
    case '(': {
      int line = ls->linenumber;
      Next();
      Expr(v);
      CheckMatch(')', '(', line);
      DischargeVars(Fs(), v);
      return;
    }
    case TK_NAME: SingleVar(v); return;
    default: ls->SyntaxError("unexpected symbol");
  }
}

void Parser::PrimaryExp(ExpDesc* v) {
  FuncState* fs = Fs();
  PrefixExp(v);
  for (;;) {
    switch (ls->t.token) {
      case '.': Field(v); break;
      case '[': {
        ExpDesc key;
        Exp2AnyReg(fs, v);
        YIndex(&key);
        Indexed(fs, v, &key);
        break;
      }
      case ':': {
        ExpDesc key;
        Next();
        CheckName(&key);
        Self(fs, v, &key);
        FuncArgs(v);
        break;
      }
      case '(':
      case TK_STRING:
      case '{':
        Exp2NextReg(fs, v);
        FuncArgs(v);
        break;
      default: return;
    }
  }
}

void Parser::SimpleExp(ExpDesc* v) {
  switch (ls->t.token) {
    case TK_NUMBER: InitExp(v, VK, NumberK(Fs(), ls->t.seminfo.r)); break;
    case TK_STRING: CodeString(v, ls->t.seminfo.ts); break;
    case TK_WSTRING: InitExp(v, VK, WStringK(Fs(), ls->t.seminfo.ts)); break;
    case TK_NIL: InitExp(v, VNIL, 0); break;
    case TK_TRUE: InitExp(v, VTRUE, 0); break;
    case TK_FALSE: InitExp(v, VFALSE, 0); break;
    case '{': Constructor(v); return;
    case TK_FUNCTION:
      Next();
      Body(v, false, ls->linenumber);
      return;
    default: PrimaryExp(v); return;
  }
  Next();
}

UnOpr GetUnOpr(int op) {
  switch (op) {
    case TK_NOT: return OPR_NOT;
    case '-': return OPR_MINUS;
    default: return OPR_NOUNOPR;
  }
}

BinOpr GetBinOpr(int op) {
  switch (op) {
    case '+': return OPR_ADD;
    case '-': return OPR_SUB;
    case '*': return OPR_MULT;
    case '/': return OPR_DIV;
    case '&': return OPR_BAND;
    case '|': return OPR_BOR;
    case TK_SHL: return OPR_SHL;
    case TK_SHR: return OPR_SHR;
    case '^': return OPR_POW;
    case TK_CONCAT: return OPR_CONCAT;
    case TK_NE: return OPR_NE;
    case TK_EQ: return OPR_EQ;
    case '<': return OPR_LT;
    case TK_LE: return OPR_LE;
    case '>': return OPR_GT;
    case TK_GE: return OPR_GE;
    case TK_AND: return OPR_AND;
    case TK_OR: return OPR_OR;
    default: return OPR_NOBINOPR;
  }
}

BinOpr Parser::SubExpr(ExpDesc* v, int limit) {
  EnterLevel();
  UnOpr uop = GetUnOpr(ls->t.token);
  if (uop != OPR_NOUNOPR) {
    Next();
    SubExpr(v, kUnaryPriority);
    Prefix(Fs(), uop, v);
  } else {
    SimpleExp(v);
  }
  BinOpr op = GetBinOpr(ls->t.token);
  while (op != OPR_NOBINOPR && kPriority[op].left > limit) {
    ExpDesc v2;
    Next();
    Infix(Fs(), op, v);
    BinOpr nextop = SubExpr(&v2, kPriority[op].right);
    Posfix(Fs(), op, v, &v2);
    op = nextop;
  }
  LeaveLevel();
  return op;
}

bool Parser::Block() {
  FuncState* fs = Fs();
  BlockCnt bl;
  EnterBlock(fs, &bl, false);
  Chunk();
  LeaveBlock(fs);
  return bl.upval;
}

void Parser::Chunk() {
  bool islast = false;
  EnterLevel();
  while (!islast && !BlockFollow(ls->t.token)) {
    islast = Statement();
    TestNext(';');
    Fs()->freereg = Fs()->nactvar;
  }
  LeaveLevel();
}

void Parser::CheckConflict(LHSAssign* lh, ExpDesc* v) {
  FuncState* fs = Fs();
  int extra = fs->freereg;
  bool conflict = false;
  for (; lh; lh = lh->prev) {
    if (lh->v.k == VINDEXED) {
      if (lh->v.info == v->info) {
        conflict = true;
        lh->v.info = extra;
      }
      if (lh->v.aux == v->info) {
        conflict = true;
        lh->v.aux = extra;
      }
    }
  }
  if (conflict) {
    CodeABC(fs, OP_MOVE, fs->freereg, v->info, 0);
    ReserveRegs(fs, 1);
  }
}

void Parser::RestAssign(LHSAssign* lh, int nvars) {
  ExpDesc e;
  CheckCondition(VLOCAL <= lh->v.k && lh->v.k <= VINDEXED, "syntax error");
  if (TestNext(',')) {
    // each target is one level of recursion: bound it like nested expressions
    ls->CheckLimit(nvars, kMaxAssignTargets, "variables in assignment");
    LHSAssign nv;
    nv.prev = lh;
    PrimaryExp(&nv.v);
    if (nv.v.k == VLOCAL) CheckConflict(lh, &nv.v);
    RestAssign(&nv, nvars + 1);
  } else {
    CheckNext('=');
    int nexps = ExpList1(&e);
    if (nexps != nvars) {
      AdjustAssign(nvars, nexps, &e);
      if (nexps > nvars) Fs()->freereg -= nexps - nvars;
    } else {
      SetCallReturns(Fs(), &e, 1);
      StoreVar(Fs(), &lh->v, &e);
      return;
    }
  }
  InitExp(&e, VNONRELOC, Fs()->freereg - 1);
  StoreVar(Fs(), &lh->v, &e);
}

int Parser::Cond() {
  ExpDesc v;
  Expr(&v);
  if (v.k == VNIL) v.k = VFALSE;
  GoIfTrue(Fs(), &v);
  PatchToHere(Fs(), v.t);
  return v.f;
}

// The optional loop-level number after `break' and `continue' (1 without one).
int Parser::LoopLevel() {
  if (ls->t.token != TK_NUMBER) return 1;
  double n = ls->t.seminfo.r;
  Next();
  if (std::floor(n) != n) ls->SyntaxError("loop block number must be integer");
  if (n < 1 || n > 100) ls->SyntaxError("loop block number out of range");
  return int(n);
}

void Parser::BreakStat() {
  FuncState* fs = Fs();
  int level = LoopLevel();
  BlockCnt* bl = fs->bl;
  bool upval = false;
  for (int i = 1; i <= level; i++) {
    if (i > 1) bl = bl->previous;  // step past the loop found at the previous level
    while (bl && !bl->isbreakable) {
      upval |= bl->upval;
      bl = bl->previous;
    }
    if (!bl) ls->SyntaxError("no loop to break");
  }
  if (upval) CodeABC(fs, OP_CLOSE, bl->nactvar, 0, 0);
  Concat(fs, &bl->breaklist, Jump(fs));
}

void Parser::ContinueStat() {
  FuncState* fs = Fs();
  int level = LoopLevel();
  BlockCnt* bl = fs->bl;
  bool upval = false;
  for (int i = 1; i <= level; i++) {
    if (i > 1) {
      upval |= bl->upval;  // the inner loop is left as well
      bl = bl->previous;
    }
    while (bl && !bl->isbreakable) {
      upval |= bl->upval;
      bl = bl->previous;
    }
    if (!bl) ls->SyntaxError("no loop to continue");
  }
  // The jump lands behind the body's own close, so captured locals are closed here, as
  // break does; otherwise a closure made in this pass would see the next pass's values.
  if (upval) CodeABC(fs, OP_CLOSE, bl->nactvar, 0, 0);
  Concat(fs, &bl->continuelist, Jump(fs));
}

void Parser::WhileStat(int line) {
  FuncState* fs = Fs();
  Instr codeexp[kMaxExpWhile + 5];
  BlockCnt bl;
  ExpDesc v;
  Next();
  int whileinit = Jump(fs);
  int expinit = GetLabel(fs);
  Expr(&v);
  if (v.k == VK) v.k = VTRUE;
  int lineexp = ls->linenumber;
  GoIfFalse(fs, &v);
  Concat(fs, &v.f, fs->jpc);
  fs->jpc = kNoJump;
  int sizeexp = fs->pc - expinit;
  if (sizeexp > kMaxExpWhile) ls->SyntaxError("`while' condition too complex");
  for (int i = 0; i < sizeexp; i++) codeexp[i] = fs->f->code[expinit + i];
  fs->pc = expinit;  // the condition moves behind the body
  EnterBlock(fs, &bl, true);
  CheckNext(TK_DO);
  int blockinit = GetLabel(fs);
  Block();
  PatchToHere(fs, whileinit);
  PatchToHere(fs, bl.continuelist);
  if (v.t != kNoJump) v.t += fs->pc - expinit;
  if (v.f != kNoJump) v.f += fs->pc - expinit;
  for (int i = 0; i < sizeexp; i++) Code(fs, codeexp[i], lineexp);
  CheckMatch(TK_END, TK_WHILE, line);
  LeaveBlock(fs);
  PatchList(fs, v.t, blockinit);
  PatchToHere(fs, v.f);
}

void Parser::RepeatStat(int line) {
  FuncState* fs = Fs();
  int repeatInit = GetLabel(fs);
  BlockCnt bl;
  EnterBlock(fs, &bl, true);
  Next();
  Block();
  CheckMatch(TK_UNTIL, TK_REPEAT, line);
  PatchToHere(fs, bl.continuelist);
  int flist = Cond();
  PatchList(fs, flist, repeatInit);
  LeaveBlock(fs);
}

int Parser::Exp1() {
  ExpDesc e;
  Expr(&e);
  int k = e.k;
  Exp2NextReg(Fs(), &e);
  return k;
}

void Parser::ForBody(int base, int line, int nvars, bool isnum) {
  FuncState* fs = Fs();
  BlockCnt bl;
  AdjustLocalVars(nvars);
  CheckNext(TK_DO);
  EnterBlock(fs, &bl, true);
  int prep = GetLabel(fs);
  Block();
  PatchToHere(fs, prep - 1);
  PatchToHere(fs, bl.continuelist);
  int endfor = isnum ? CodeAsBx(fs, OP_FORLOOP, base, kNoJump) : CodeABC(fs, OP_TFORLOOP, base, 0, nvars - 3);
  FixLine(fs, line);
  PatchList(fs, isnum ? endfor : Jump(fs), prep);
  LeaveBlock(fs);
}

void Parser::ForNum(LString* varname, int line) {
  FuncState* fs = Fs();
  int base = fs->freereg;
  NewLocalVar(varname, 0);
  NewLocalVarStr("(for limit)", 1);
  NewLocalVarStr("(for step)", 2);
  CheckNext('=');
  Exp1();
  CheckNext(',');
  Exp1();
  if (TestNext(',')) {
    Exp1();
  } else {
    CodeABx(fs, OP_LOADK, fs->freereg, NumberK(fs, 1));
    ReserveRegs(fs, 1);
  }
  CodeABC(fs, OP_SUB, fs->freereg - 3, fs->freereg - 3, fs->freereg - 1);
  Jump(fs);
  ForBody(base, line, 3, true);
}

void Parser::ForList(LString* indexname) {
  FuncState* fs = Fs();
  ExpDesc e;
  int nvars = 0;
  int base = fs->freereg;
  NewLocalVarStr("(for generator)", nvars++);
  NewLocalVarStr("(for state)", nvars++);
  NewLocalVar(indexname, nvars++);
  while (TestNext(',')) NewLocalVar(StrCheckName(), nvars++);
  CheckNext(TK_IN);
  int line = ls->linenumber;
  AdjustAssign(nvars, ExpList1(&e), &e);
  code::CheckStack(fs, 3);
  CodeAsBx(fs, OP_TFORPREP, base, kNoJump);
  ForBody(base, line, nvars, false);
}

void Parser::ForStat(int line) {
  FuncState* fs = Fs();
  BlockCnt bl;
  EnterBlock(fs, &bl, false);
  Next();
  LString* varname = StrCheckName();
  switch (ls->t.token) {
    case '=': ForNum(varname, line); break;
    case ',':
    case TK_IN: ForList(varname); break;
    default: ls->SyntaxError("`=' or `in' expected");
  }
  CheckMatch(TK_END, TK_FOR, line);
  LeaveBlock(fs);
}

int Parser::TestThenBlock() {
  Next();
  int flist = Cond();
  CheckNext(TK_THEN);
  Block();
  return flist;
}

void Parser::IfStat(int line) {
  FuncState* fs = Fs();
  int escapelist = kNoJump;
  int flist = TestThenBlock();
  while (ls->t.token == TK_ELSEIF) {
    Concat(fs, &escapelist, Jump(fs));
    PatchToHere(fs, flist);
    flist = TestThenBlock();
  }
  if (ls->t.token == TK_ELSE) {
    Concat(fs, &escapelist, Jump(fs));
    PatchToHere(fs, flist);
    Next();
    Block();
  } else {
    Concat(fs, &escapelist, flist);
  }
  PatchToHere(fs, escapelist);
  CheckMatch(TK_END, TK_IF, line);
}

void Parser::LocalFunc() {
  FuncState* fs = Fs();
  ExpDesc v, b;
  NewLocalVar(StrCheckName(), 0);
  InitExp(&v, VLOCAL, fs->freereg);
  ReserveRegs(fs, 1);
  AdjustLocalVars(1);
  Body(&b, false, ls->linenumber);
  StoreVar(fs, &v, &b);
  GetLocVar(fs, fs->nactvar - 1).startpc = fs->pc;
}

void Parser::LocalStat() {
  int nvars = 0;
  int nexps;
  ExpDesc e;
  do NewLocalVar(StrCheckName(), nvars++);
  while (TestNext(','));
  if (TestNext('=')) {
    nexps = ExpList1(&e);
  } else {
    e.k = VVOID;
    nexps = 0;
  }
  AdjustAssign(nvars, nexps, &e);
  AdjustLocalVars(nvars);
}

bool Parser::FuncName(ExpDesc* v) {
  bool needself = false;
  SingleVar(v);
  while (ls->t.token == '.') Field(v);
  if (ls->t.token == ':') {
    needself = true;
    Field(v);
  }
  return needself;
}

void Parser::FuncStat(int line) {
  ExpDesc v, b;
  Next();
  bool needself = FuncName(&v);
  Body(&b, needself, line);
  StoreVar(Fs(), &v, &b);
  FixLine(Fs(), line);
}

void Parser::ExprStat() {
  FuncState* fs = Fs();
  LHSAssign v;
  PrimaryExp(&v.v);
  if (v.v.k == VCALL) {
    SetCallReturns(fs, &v.v, 0);
  } else {
    v.prev = nullptr;
    RestAssign(&v, 1);
  }
}

void Parser::RetStat() {
  FuncState* fs = Fs();
  ExpDesc e;
  int first, nret;
  Next();
  if (BlockFollow(ls->t.token) || ls->t.token == ';') {
    first = nret = 0;
  } else {
    nret = ExpList1(&e);
    if (e.k == VCALL) {
      SetCallReturns(fs, &e, LUA_MULTRET);
      if (nret == 1) SetOp(GetCode(fs, &e), OP_TAILCALL);
      first = fs->nactvar;
      nret = LUA_MULTRET;
    } else if (nret == 1) {
      first = Exp2AnyReg(fs, &e);
    } else {
      Exp2NextReg(fs, &e);
      first = fs->nactvar;
    }
  }
  CodeABC(fs, OP_RETURN, first, nret + 1, 0);
}

bool Parser::Statement() {
  int line = ls->linenumber;
  switch (ls->t.token) {
    case TK_IF: IfStat(line); return false;
    case TK_WHILE: WhileStat(line); return false;
    case TK_DO:
      Next();
      Block();
      CheckMatch(TK_END, TK_DO, line);
      return false;
    case TK_FOR: ForStat(line); return false;
    case TK_REPEAT: RepeatStat(line); return false;
    case TK_FUNCTION: FuncStat(line); return false;
    case TK_LOCAL:
      Next();
      if (TestNext(TK_FUNCTION))
        LocalFunc();
      else
        LocalStat();
      return false;
    case TK_RETURN: RetStat(); return true;
    case TK_BREAK:
      Next();
      BreakStat();
      return true;
    case TK_CONTINUE:
      Next();
      ContinueStat();
      return true;
    default: ExprStat(); return false;
  }
}

}  // namespace

LProto* Parse(lua_State* L, ChunkStream* z, const char* name) {
  LString* source = NewStr(L, name);
  CheckStack(L, 1);
  SetString(L->top++, source);  // anchor the source name
  Lexer lexer(L, z, source);
  Parser parser(&lexer);
  LProto* f = parser.MainChunk();
  L->top--;
  return f;
}

}  // namespace tlua
