// Tables: an array part for keys 1..n and a hash part of chained nodes that live in
// one block (a colliding key takes a free node and is linked from its main position).
#include <cmath>

#include "script/lua/lua_internal.h"

namespace tlua {

Node gDummyNode = {{{nullptr}, TNil}, {{nullptr}, TNil}, nullptr};

namespace {

constexpr int kMaxBits = 26;

inline bool IsDummy(const LTable* t) { return t->node == &gDummyNode; }

inline uint32_t HashNum(double n) {
  n += 0.0;  // -0 and 0 are one key
  uint64_t bits;
  memcpy(&bits, &n, sizeof bits);
  uint32_t h = uint32_t(bits) + uint32_t(bits >> 32) * 0x9E3779B1u;
  return h ^ (h >> 15);
}

inline uint32_t HashPtr(const void* p) {
  uintptr_t v = reinterpret_cast<uintptr_t>(p);
  return uint32_t(v >> 3) ^ uint32_t(v >> 32);
}

Node* MainPosition(const LTable* t, const Value* key) {
  switch (key->tt) {
    case TNumber: return NodeAt(t, HashNum(key->u.n));
    case TString:
    case TWString: return NodeAt(t, SValue(key)->hash);
    case TBool: return NodeAt(t, uint32_t(key->u.b));
    case TLightUd: return NodeAt(t, HashPtr(key->u.p));
    default: return NodeAt(t, HashPtr(key->u.gc));
  }
}

// Array index of a number key, or 0 when it is not an integer in 1..INT_MAX.
inline int ArrayIndex(double n) {
  if (!(n >= 1 && n <= 2147483647.0)) return 0;
  int k = int(n);
  return double(k) == n ? k : 0;
}

void SetNodeVector(lua_State* L, LTable* t, int lsize, bool empty) {
  if (empty) {
    t->node = &gDummyNode;
    t->lsizenode = 0;
    t->nodemask = 0;
    t->lastfree = nullptr;
    return;
  }
  if (lsize > kMaxBits) RunError(L, "table overflow");
  int size = 1 << lsize;
  t->node = NewArray<Node>(L, size);
  for (int i = 0; i < size; i++) {
    SetNil(&t->node[i].key);
    SetNil(&t->node[i].val);
    t->node[i].next = nullptr;
  }
  t->lsizenode = uint8_t(lsize);
  t->nodemask = uint32_t(size - 1);
  t->lastfree = t->node + size;
}

void SetArrayVector(lua_State* L, LTable* t, int size) {
  if (size > (1 << kMaxBits)) RunError(L, "table overflow");
  ResizeArray(L, t->array, t->sizearray, size);
  for (int i = t->sizearray; i < size; i++) SetNil(&t->array[i]);
  t->sizearray = size;
}

// Counts the integer keys with non-nil values by powers of two: nums[i] counts keys in (2^(i-1), 2^i].
int CountIntKeys(const LTable* t, int* nums, int* totalOut) {
  int total = 0, arrayUse = 0;
  for (int i = 0; i <= kMaxBits; i++) nums[i] = 0;
  for (int i = 0; i < t->sizearray; i++) {
    if (!IsNil(&t->array[i])) {
      nums[CeilLog2(unsigned(i + 1))]++;
      arrayUse++;
    }
  }
  total = arrayUse;
  if (!IsDummy(t)) {
    int size = TableNodeCount(t);
    for (int i = 0; i < size; i++) {
      const Node* n = &t->node[i];
      if (IsNil(&n->val)) continue;
      total++;
      if (n->key.tt == TNumber) {
        int k = ArrayIndex(n->key.u.n);
        if (k && k <= (1 << kMaxBits)) nums[CeilLog2(unsigned(k))]++;
      }
    }
  }
  *totalOut = total;
  return arrayUse;
}

// The largest power of two n such that more than half of 1..n is in use.
int ComputeArraySize(const int* nums, int* inArray) {
  int a = 0, na = 0, best = 0;
  for (int i = 0, twotoi = 1; i <= kMaxBits; i++, twotoi *= 2) {
    a += nums[i];
    if (a > twotoi / 2) {
      best = twotoi;
      na = a;
    }
  }
  *inArray = na;
  return best;
}

void Rehash(lua_State* L, LTable* t, const Value* extraKey) {
  int nums[kMaxBits + 1];
  int total;
  CountIntKeys(t, nums, &total);
  total++;
  if (extraKey->tt == TNumber) {
    int k = ArrayIndex(extraKey->u.n);
    if (k && k <= (1 << kMaxBits)) nums[CeilLog2(unsigned(k))]++;
  }
  int inArray;
  int nasize = ComputeArraySize(nums, &inArray);
  int nhash = total - inArray;
  TableResize(L, t, nasize, nhash > 0 ? CeilLog2(unsigned(nhash)) : -1);
}

Node* GetFreePos(LTable* t) {
  if (!t->lastfree) return nullptr;
  while (t->lastfree > t->node) {
    t->lastfree--;
    if (IsNil(&t->lastfree->key)) return t->lastfree;
  }
  return nullptr;
}

// Inserts a key known to be absent; may rehash and then retries through TableSet.
Value* NewKey(lua_State* L, LTable* t, const Value* key) {
  if (IsDummy(t)) {
    Rehash(L, t, key);
    return TableSet(L, t, key);
  }
  Node* mp = MainPosition(t, key);
  if (!IsNil(&mp->val) || mp->key.tt != TNil) {
    if (IsNil(&mp->val)) {
      // a dead entry in its place: reuse it, keeping its chain link
      mp->key = *key;
      t->flags = 0;
      return &mp->val;
    }
    Node* n = GetFreePos(t);
    if (!n) {
      Rehash(L, t, key);
      return TableSet(L, t, key);
    }
    Node* othern = MainPosition(t, &mp->key);
    if (othern != mp) {
      // the occupant is not in its main position: move it to the free node
      while (othern->next != mp) othern = othern->next;
      othern->next = n;
      *n = *mp;
      mp->next = nullptr;
      SetNil(&mp->val);
    } else {
      n->next = mp->next;
      mp->next = n;
      mp = n;
    }
  }
  mp->key = *key;
  t->flags = 0;
  return &mp->val;
}

const Value* GetAny(LTable* t, const Value* key) {
  for (Node* n = MainPosition(t, key); n; n = n->next)
    if (RawEqual(&n->key, key)) return &n->val;
  return &kNilObject;
}

// Position of `key' in the traversal order, for `next'.
int FindIndex(lua_State* L, LTable* t, const Value* key) {
  if (IsNil(key)) return -1;
  if (key->tt == TNumber) {
    int k = ArrayIndex(key->u.n);
    if (k && k <= t->sizearray) return k - 1;
  }
  if (!IsDummy(t)) {
    for (Node* n = MainPosition(t, key); n; n = n->next) {
      if (RawEqual(&n->key, key) ||
          (n->key.tt == TDeadKey && IsCollectable(key) && n->key.u.gc == key->u.gc))
        return t->sizearray + int(n - t->node);
    }
  }
  RunError(L, "invalid key to `next'");
}

}  // namespace

LTable* NewTable(lua_State* L, int narray, int lnhash) {
  LTable* t = static_cast<LTable*>(Alloc(L, sizeof(LTable)));
  Link(L, t, TTable);
  const Value* slot = &L->g->typeSlots[TTable];
  t->metatable = IsTable(slot) ? HValue(slot) : (IsTable(&L->g->defaultMeta) ? HValue(&L->g->defaultMeta) : nullptr);
  t->flags = 0;
  t->array = nullptr;
  t->sizearray = 0;
  t->lsizenode = 0;
  t->nodemask = 0;
  t->gclist = nullptr;
  t->node = &gDummyNode;
  t->lastfree = nullptr;
  SetArrayVector(L, t, narray);
  SetNodeVector(L, t, lnhash, lnhash < 0);
  return t;
}

void FreeTable(lua_State* L, LTable* t) {
  if (!IsDummy(t)) FreeArray(L, t->node, TableNodeCount(t));
  FreeArray(L, t->array, t->sizearray);
  Free(L, t, sizeof(LTable));
}

void TableResize(lua_State* L, LTable* t, int nasize, int lnhsize) {
  int oldasize = t->sizearray;
  int oldhsize = IsDummy(t) ? 0 : TableNodeCount(t);
  Node* oldnode = t->node;
  bool oldDummy = IsDummy(t);
  if (nasize > oldasize) SetArrayVector(L, t, nasize);
  SetNodeVector(L, t, lnhsize, lnhsize < 0);
  t->flags = 0;
  if (nasize < oldasize) {
    // move the vanishing slots into the hash part
    int keep = t->sizearray;
    t->sizearray = nasize;
    for (int i = nasize; i < oldasize; i++) {
      if (!IsNil(&t->array[i])) {
        Value v = t->array[i];
        *TableSetNum(L, t, i + 1) = v;
      }
    }
    ResizeArray(L, t->array, keep, nasize);
  }
  for (int i = oldhsize - 1; i >= 0; i--) {
    Node* old = oldnode + i;
    if (!IsNil(&old->val)) *TableSet(L, t, &old->key) = old->val;
  }
  if (!oldDummy) FreeArray(L, oldnode, oldhsize);
}

const Value* TableGetNum(LTable* t, int key) {
  if (unsigned(key - 1) < unsigned(t->sizearray)) return &t->array[key - 1];
  double nk = key;
  for (Node* n = NodeAt(t, HashNum(nk)); n; n = n->next)
    if (n->key.tt == TNumber && n->key.u.n == nk) return &n->val;
  return &kNilObject;
}

const Value* TableGet(LTable* t, const Value* key) {
  switch (key->tt) {
    case TString:
    case TWString: return TableGetStr(t, SValue(key));
    case TNumber: {
      int k = ArrayIndex(key->u.n);
      if (k) return TableGetNum(t, k);
      return GetAny(t, key);
    }
    case TNil: return &kNilObject;
    default: return GetAny(t, key);
  }
}

Value* TableSet(lua_State* L, LTable* t, const Value* key) {
  const Value* p = TableGet(t, key);
  t->flags = 0;
  if (p != &kNilObject) return const_cast<Value*>(p);
  if (IsNil(key)) RunError(L, "table index is nil");
  if (key->tt == TNumber && std::isnan(key->u.n)) RunError(L, "table index is NaN");
  return NewKey(L, t, key);
}

Value* TableSetNum(lua_State* L, LTable* t, int key) {
  const Value* p = TableGetNum(t, key);
  if (p != &kNilObject) return const_cast<Value*>(p);
  Value k;
  SetNumber(&k, key);
  return NewKey(L, t, &k);
}

Value* TableSetStr(lua_State* L, LTable* t, LString* key) {
  const Value* p = TableGetStr(t, key);
  t->flags = 0;
  if (p != &kNilObject) return const_cast<Value*>(p);
  Value k;
  SetString(&k, key);
  return NewKey(L, t, &k);
}

bool TableNext(lua_State* L, LTable* t, Value* key) {
  int i = FindIndex(L, t, key);
  for (i++; i < t->sizearray; i++) {
    if (!IsNil(&t->array[i])) {
      SetNumber(key, i + 1);
      key[1] = t->array[i];
      return true;
    }
  }
  if (IsDummy(t)) return false;
  int size = TableNodeCount(t);
  for (i -= t->sizearray; i < size; i++) {
    if (!IsNil(&t->node[i].val)) {
      key[0] = t->node[i].key;
      key[1] = t->node[i].val;
      return true;
    }
  }
  return false;
}

int TableGetN(LTable* t) {
  int n = 0;
  for (int i = t->sizearray; i > 0; i--) {
    if (!IsNil(&t->array[i - 1])) {
      n = i;
      break;
    }
  }
  if (!IsDummy(t)) {
    int size = TableNodeCount(t);
    for (int i = 0; i < size; i++) {
      const Node* nd = &t->node[i];
      if (nd->key.tt == TNumber && !IsNil(&nd->val) && nd->key.u.n > n && nd->key.u.n < 2147483648.0)
        n = int(nd->key.u.n);
    }
  }
  return n;
}

int TableCountFrom1(LTable* t) {
  int n = 0;
  while (n < t->sizearray && !IsNil(&t->array[n])) n++;
  if (n < t->sizearray) return n;
  while (n < 0x7FFFFFFF && !IsNil(TableGetNum(t, n + 1))) n++;
  return n;
}

}  // namespace tlua
