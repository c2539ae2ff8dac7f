// Closures, function prototypes and upvalues.
#include "script/lua/lua_internal.h"

namespace tlua {

CClosure* NewCClosure(lua_State* L, int nelems) {
  CClosure* c = static_cast<CClosure*>(Alloc(L, CClosureSize(nelems)));
  Link(L, c, TFunction);
  c->isC = 1;
  c->nupvalues = uint8_t(nelems);
  c->gclist = nullptr;
  c->env = nullptr;
  c->f = nullptr;
  for (int i = 0; i < nelems; i++) SetNil(&c->upvalue[i]);
  return c;
}

LClosure* NewLClosure(lua_State* L, int nelems, LTable* env) {
  LClosure* c = static_cast<LClosure*>(Alloc(L, LClosureSize(nelems)));
  Link(L, c, TFunction);
  c->isC = 0;
  c->nupvalues = uint8_t(nelems);
  c->gclist = nullptr;
  c->env = env;
  c->p = nullptr;
  for (int i = 0; i < nelems; i++) c->upvals[i] = nullptr;
  return c;
}

void FreeClosure(lua_State* L, Closure* c) {
  Free(L, c, c->isC ? CClosureSize(c->nupvalues) : LClosureSize(c->nupvalues));
}

LProto* NewProto(lua_State* L) {
  LProto* f = static_cast<LProto*>(Alloc(L, sizeof(LProto)));
  Link(L, f, TProto);
  f->k = nullptr;
  f->sizek = 0;
  f->p = nullptr;
  f->sizep = 0;
  f->code = nullptr;
  f->sizecode = 0;
  f->sizelineinfo = 0;
  f->sizeupvalues = 0;
  f->nups = 0;
  f->upvalues = nullptr;
  f->numparams = 0;
  f->isVararg = 0;
  f->maxstacksize = 0;
  f->lineinfo = nullptr;
  f->sizelocvars = 0;
  f->locvars = nullptr;
  f->lineDefined = 0;
  f->source = nullptr;
  f->gclist = nullptr;
  return f;
}

void FreeProto(lua_State* L, LProto* f) {
  FreeArray(L, f->code, f->sizecode);
  FreeArray(L, f->p, f->sizep);
  FreeArray(L, f->k, f->sizek);
  FreeArray(L, f->lineinfo, f->sizelineinfo);
  FreeArray(L, f->locvars, f->sizelocvars);
  FreeArray(L, f->upvalues, f->sizeupvalues);
  Free(L, f, sizeof(LProto));
}

LUpval* FindUpval(lua_State* L, Value* level) {
  LUpval** pp = &L->openupval;
  LUpval* p;
  while ((p = *pp) != nullptr && p->v >= level) {
    if (p->v == level) return p;
    pp = &p->openNext;
  }
  LUpval* v = static_cast<LUpval*>(Alloc(L, sizeof(LUpval)));
  Link(L, v, TUpval);
  v->v = level;
  SetNil(&v->value);
  v->openNext = p;
  *pp = v;
  return v;
}

void CloseUpvals(lua_State* L, Value* level) {
  LUpval* p;
  while ((p = L->openupval) != nullptr && p->v >= level) {
    p->value = *p->v;
    p->v = &p->value;
    L->openupval = p->openNext;
    p->openNext = nullptr;
  }
}

const char* GetLocalName(const LProto* f, int localNumber, int pc) {
  for (int i = 0; i < f->sizelocvars && f->locvars[i].startpc <= pc; i++) {
    if (pc < f->locvars[i].endpc) {
      localNumber--;
      if (localNumber == 0) return f->locvars[i].name->Data();
    }
  }
  return nullptr;
}

}  // namespace tlua
