// The stop-the-world mark-and-sweep collector, weak tables and userdata finalizers.
#include "script/lua/lua_internal.h"

namespace tlua {

namespace {

struct GCState {
  GlobalState* g;
  GCObject* gray;   // objects marked whose children are still to mark
  LTable* weak;     // weak tables met while marking, linked through gclist
};

inline bool IsMarked(const GCObject* o) { return (o->marked & (kMarkBit | kFixedBit)) != 0; }

void SetGrayList(GCObject* o, GCObject* next) {
  switch (o->tt) {
    case TTable: static_cast<LTable*>(o)->gclist = next; break;
    case TFunction: static_cast<Closure*>(o)->gclist = next; break;
    case TProto: static_cast<LProto*>(o)->gclist = next; break;
    case TThread: static_cast<lua_State*>(o)->gclist = next; break;
    default: break;
  }
}

void MarkObject(GCState* st, GCObject* o) {
  if (o->marked & kMarkBit) return;
  o->marked |= kMarkBit;
  switch (o->tt) {
    case TString:
    case TWString: return;
    case TUserdata: {
      LTable* mt = static_cast<LUserdata*>(o)->metatable;
      if (mt) MarkObject(st, mt);
      return;
    }
    case TUpval: {
      LUpval* uv = static_cast<LUpval*>(o);
      if (IsCollectable(uv->v)) MarkObject(st, uv->v->u.gc);
      return;
    }
    default:
      SetGrayList(o, st->gray);
      st->gray = o;
      return;
  }
}

inline void MarkValue(GCState* st, const Value* v) {
  if (v->tt >= TString && v->tt != TDeadKey) MarkObject(st, v->u.gc);
}

void TraverseTable(GCState* st, LTable* t) {
  if (t->metatable) MarkObject(st, t->metatable);
  bool weakKeys = false, weakValues = false;
  if (t->metatable) {
    const Value* mode = TableGetStr(t->metatable, st->g->tmname[TM_MODE]);
    if (IsString(mode)) {
      weakKeys = strchr(SValue(mode)->Data(), 'k') != nullptr;
      weakValues = strchr(SValue(mode)->Data(), 'v') != nullptr;
    }
  }
  if (weakKeys || weakValues) {
    // flags bit 7 and 6 remember the mode until the table is cleared
    t->gclist = st->weak;
    st->weak = t;
    t->marked = uint8_t((t->marked & ~0xC0) | (weakKeys ? 0x80 : 0) | (weakValues ? 0x40 : 0));
  }
  if (!weakValues)
    for (int i = 0; i < t->sizearray; i++) MarkValue(st, &t->array[i]);
  if (t->node != &gDummyNode) {
    for (int i = TableNodeCount(t) - 1; i >= 0; i--) {
      Node* n = &t->node[i];
      if (IsNil(&n->val)) {
        if (IsCollectable(&n->key) && n->key.tt != TDeadKey) n->key.tt = TDeadKey;
        continue;
      }
      if (!weakKeys || n->key.tt == TString || n->key.tt == TWString) MarkValue(st, &n->key);
      if (!weakValues || n->val.tt == TString || n->val.tt == TWString) MarkValue(st, &n->val);
    }
  }
}

void TraverseProto(GCState* st, LProto* f) {
  if (f->source) MarkObject(st, f->source);
  for (int i = 0; i < f->sizek; i++) MarkValue(st, &f->k[i]);
  for (int i = 0; i < f->sizeupvalues; i++)
    if (f->upvalues[i]) MarkObject(st, f->upvalues[i]);
  for (int i = 0; i < f->sizep; i++)
    if (f->p[i]) MarkObject(st, f->p[i]);
  for (int i = 0; i < f->sizelocvars; i++)
    if (f->locvars[i].name) MarkObject(st, f->locvars[i].name);
}

void TraverseClosure(GCState* st, Closure* c) {
  if (c->env) MarkObject(st, c->env);
  if (c->isC) {
    CClosure* cc = static_cast<CClosure*>(c);
    for (int i = 0; i < cc->nupvalues; i++) MarkValue(st, &cc->upvalue[i]);
  } else {
    LClosure* lc = static_cast<LClosure*>(c);
    if (lc->p) MarkObject(st, lc->p);
    for (int i = 0; i < lc->nupvalues; i++)
      if (lc->upvals[i]) MarkObject(st, lc->upvals[i]);
  }
}

void TraverseThread(GCState* st, lua_State* L1) {
  MarkValue(st, &L1->globals);
  // open upvalues stay while their thread lives: the thread closes them later
  for (LUpval* uv = L1->openupval; uv; uv = uv->openNext) MarkObject(st, uv);
  if (!L1->stack) return;
  // everything live is below the top: a running Lua frame keeps its top at the frame's end
  Value* end = L1->stack + L1->stacksize;
  Value* o = L1->stack;
  for (; o < L1->top; o++) MarkValue(st, o);
  for (; o < end; o++) SetNil(o);  // stale slots must never hold freed objects
}

void Propagate(GCState* st) {
  while (GCObject* o = st->gray) {
    switch (o->tt) {
      case TTable: {
        LTable* t = static_cast<LTable*>(o);
        st->gray = t->gclist;
        TraverseTable(st, t);
        break;
      }
      case TFunction: {
        Closure* c = static_cast<Closure*>(o);
        st->gray = c->gclist;
        TraverseClosure(st, c);
        break;
      }
      case TProto: {
        LProto* p = static_cast<LProto*>(o);
        st->gray = p->gclist;
        TraverseProto(st, p);
        break;
      }
      case TThread: {
        lua_State* th = static_cast<lua_State*>(o);
        st->gray = th->gclist;
        TraverseThread(st, th);
        break;
      }
      default: st->gray = nullptr; break;
    }
  }
}

void MarkRoots(GCState* st, lua_State* L) {
  GlobalState* g = st->g;
  g->mainthread->marked &= uint8_t(~kMarkBit);
  MarkObject(st, g->mainthread);
  MarkValue(st, &g->registry);
  MarkValue(st, &g->defaultMeta);
  for (auto& slot : g->typeSlots) MarkValue(st, &slot);
  if (L != g->mainthread) MarkObject(st, L);
  for (GCObject* u = g->tmudata; u; u = u->next) MarkObject(st, u);
  for (int i = 0; i < TM_N; i++)
    if (g->tmname[i]) MarkObject(st, g->tmname[i]);
}

bool HasGCMethod(lua_State* L, LUserdata* u) {
  return !(u->marked & kFinalizedBit) && FastTM(L, u->metatable, TM_GC) != nullptr;
}

// Moves unreached userdata with a __gc handler from the object list to the pending list.
void SeparateUdata(lua_State* L, bool all) {
  GlobalState* g = L->g;
  GCObject** p = &g->rootgc;
  GCObject** lastPending = &g->tmudata;
  while (*lastPending) lastPending = &(*lastPending)->next;
  while (GCObject* o = *p) {
    if (o->tt == TUserdata && (all || !IsMarked(o)) && HasGCMethod(L, static_cast<LUserdata*>(o))) {
      *p = o->next;
      o->next = nullptr;
      o->marked |= kFinalizedBit | kPendingBit;
      *lastPending = o;
      lastPending = &o->next;
    } else {
      p = &o->next;
    }
  }
}

// A weak entry goes when its object was not reached; strings always stay.
inline bool IsCleared(const Value* v, bool isKey) {
  if (!IsCollectable(v) || v->tt == TString || v->tt == TWString) return false;
  if (v->tt == TDeadKey) return false;
  if (!IsMarked(v->u.gc)) return true;
  return !isKey && v->tt == TUserdata && (v->u.gc->marked & kPendingBit);
}

void ClearWeakTables(GCState* st) {
  for (LTable* t = st->weak; t; t = static_cast<LTable*>(t->gclist)) {
    bool weakValues = (t->marked & 0x40) != 0;
    bool weakKeys = (t->marked & 0x80) != 0;
    if (weakValues)
      for (int i = 0; i < t->sizearray; i++)
        if (IsCleared(&t->array[i], false)) SetNil(&t->array[i]);
    if (t->node != &gDummyNode) {
      for (int i = TableNodeCount(t) - 1; i >= 0; i--) {
        Node* n = &t->node[i];
        if (IsNil(&n->val)) continue;
        if ((weakKeys && IsCleared(&n->key, true)) || (weakValues && IsCleared(&n->val, false))) {
          SetNil(&n->val);
          if (IsCollectable(&n->key)) n->key.tt = TDeadKey;
        }
      }
    }
    t->marked &= uint8_t(~0xC0);
  }
}

void FreeObject(lua_State* L, GCObject* o) {
  switch (o->tt) {
    case TTable: FreeTable(L, static_cast<LTable*>(o)); break;
    case TFunction: FreeClosure(L, static_cast<Closure*>(o)); break;
    case TProto: FreeProto(L, static_cast<LProto*>(o)); break;
    case TUpval: Free(L, o, sizeof(LUpval)); break;
    case TUserdata: Free(L, o, UserdataAllocSize(static_cast<LUserdata*>(o))); break;
    case TThread: FreeThread(L, static_cast<lua_State*>(o)); break;
    case TString:
    case TWString: FreeString(L, static_cast<LString*>(o)); break;
    default: break;
  }
}

void SweepList(lua_State* L, GCObject** p, bool all) {
  while (GCObject* o = *p) {
    if (!all && IsMarked(o)) {
      o->marked &= uint8_t(~kMarkBit);
      p = &o->next;
    } else {
      *p = o->next;
      FreeObject(L, o);
    }
  }
}

void SweepStrings(lua_State* L, bool all) {
  StringTable* tb = &L->g->strt;
  for (int i = 0; i < tb->size; i++) {
    GCObject** p = &tb->hash[i];
    while (GCObject* o = *p) {
      if (!all && IsMarked(o)) {
        o->marked &= uint8_t(~kMarkBit);
        p = &o->next;
      } else {
        *p = o->next;
        tb->nuse--;
        FreeObject(L, o);
      }
    }
  }
}

void CheckSizes(lua_State* L) {
  GlobalState* g = L->g;
  if (g->strt.nuse < uint32_t(g->strt.size / 4) && g->strt.size > kMinStrTabSize * 2)
    ResizeStringTable(L, g->strt.size / 2);
  if (g->buffSize > 64 * 2) {
    size_t newSize = g->buffSize / 2;
    g->buff = static_cast<char*>(Realloc(L, g->buff, g->buffSize, newSize));
    g->buffSize = newSize;
  }
}

void CallOneGCTM(lua_State* L) {
  GlobalState* g = L->g;
  GCObject* o = g->tmudata;
  g->tmudata = o->next;
  o->next = g->rootgc;  // back to the ordinary list, already finalized
  g->rootgc = o;
  o->marked &= uint8_t(~kPendingBit);
  LUserdata* u = static_cast<LUserdata*>(o);
  const Value* tm = FastTM(L, u->metatable, TM_GC);
  if (tm) {
    CheckStack(L, 2);
    L->top[0] = *tm;
    SetGC(L->top + 1, u, TUserdata);
    L->top += 2;
    Call(L, L->top - 2, 0);
  }
}

}  // namespace

void Link(lua_State* L, GCObject* o, uint8_t tt) {
  GlobalState* g = L->g;
  o->next = g->rootgc;
  g->rootgc = o;
  o->marked = 0;
  o->tt = tt;
}

void FullCollect(lua_State* L) {
  GlobalState* g = L->g;
  if (g->gcRunning) return;
  g->gcRunning = true;
  GCState st{g, nullptr, nullptr};
  MarkRoots(&st, L);
  Propagate(&st);
  SeparateUdata(L, false);
  for (GCObject* u = g->tmudata; u; u = u->next) {
    u->marked &= uint8_t(~kMarkBit);
    MarkObject(&st, u);
  }
  Propagate(&st);
  ClearWeakTables(&st);
  // a dying thread closes its upvalues while every upvalue object still exists
  for (GCObject* o = g->rootgc; o; o = o->next)
    if (o->tt == TThread && !IsMarked(o)) CloseUpvals(static_cast<lua_State*>(o), static_cast<lua_State*>(o)->stack);
  SweepList(L, &g->rootgc, false);
  SweepStrings(L, false);
  for (GCObject* u = g->tmudata; u; u = u->next) u->marked &= uint8_t(~kMarkBit);
  g->mainthread->marked &= uint8_t(~kMarkBit);
  CheckSizes(L);
  g->gcThreshold = 2 * g->nblocks;
  g->gcRunning = false;
  CallGCTM(L);
}

void CallGCTM(lua_State* L) {
  while (L->g->tmudata) CallOneGCTM(L);
}

void SeparateAllUdata(lua_State* L) { SeparateUdata(L, true); }

void CollectAll(lua_State* L) {
  GlobalState* g = L->g;
  g->gcRunning = true;
  SweepList(L, &g->tmudata, true);
  // threads first, so that closing their upvalues never touches freed objects
  GCObject** p = &g->rootgc;
  while (GCObject* o = *p) {
    if (o->tt == TThread) {
      *p = o->next;
      FreeObject(L, o);
    } else {
      p = &o->next;
    }
  }
  SweepList(L, &g->rootgc, true);
  SweepStrings(L, true);
}

}  // namespace tlua
