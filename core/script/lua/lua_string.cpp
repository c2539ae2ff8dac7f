// The intern table shared by narrow and wide strings, and full userdata blocks.
#include <type_traits>

#include "script/lua/lua_internal.h"

namespace tlua {

namespace {

template <typename Unit>
uint32_t HashUnits(const Unit* s, size_t len) {
  uint32_t h = uint32_t(len);
  size_t step = (len >> 5) + 1;
  for (size_t i = len; i >= step; i -= step) {
    using U = typename std::conditional<sizeof(Unit) == 1, unsigned char, uint16_t>::type;
    h = h ^ ((h << 5) + (h >> 2) + U(s[i - 1]));
  }
  return h;
}

void AddToTable(lua_State* L, LString* ts, uint32_t h) {
  StringTable* tb = &L->g->strt;
  uint32_t slot = h & uint32_t(tb->size - 1);
  ts->next = tb->hash[slot];
  tb->hash[slot] = ts;
  tb->nuse++;
  if (tb->nuse > uint32_t(tb->size) && tb->size <= (1 << 30)) ResizeStringTable(L, tb->size * 2);
}

}  // namespace

size_t StringAllocSize(const LString* s) {
  return sizeof(LString) + (s->tt == TWString ? 2 * (s->len + 1) : s->len + 1);
}

void FreeString(lua_State* L, LString* s) { Free(L, s, StringAllocSize(s)); }

void ResizeStringTable(lua_State* L, int newSize) {
  StringTable* tb = &L->g->strt;
  GCObject** newHash = NewArray<GCObject*>(L, newSize);
  for (int i = 0; i < newSize; i++) newHash[i] = nullptr;
  for (int i = 0; i < tb->size; i++) {
    GCObject* p = tb->hash[i];
    while (p) {
      GCObject* next = p->next;
      uint32_t h = static_cast<LString*>(p)->hash & uint32_t(newSize - 1);
      p->next = newHash[h];
      newHash[h] = p;
      p = next;
    }
  }
  FreeArray(L, tb->hash, tb->size);
  tb->size = newSize;
  tb->hash = newHash;
}

LString* NewLStr(lua_State* L, const char* str, size_t len) {
  uint32_t h = HashUnits(str, len);
  StringTable* tb = &L->g->strt;
  for (GCObject* o = tb->hash[h & uint32_t(tb->size - 1)]; o; o = o->next) {
    LString* ts = static_cast<LString*>(o);
    if (ts->tt == TString && ts->len == len && (len == 0 || memcmp(str, ts->Data(), len) == 0)) return ts;
  }
  if (len > size_t(-1) - sizeof(LString) - 2) RunError(L, "memory allocation error: block too big");
  LString* ts = static_cast<LString*>(Alloc(L, sizeof(LString) + len + 1));
  ts->tt = TString;
  ts->marked = 0;
  ts->reserved = 0;
  ts->hash = h;
  ts->len = len;
  if (len) memcpy(ts->Data(), str, len);
  ts->Data()[len] = '\0';
  AddToTable(L, ts, h);
  return ts;
}

LString* NewLWStr(lua_State* L, const lua_WChar* str, size_t len) {
  uint32_t h = HashUnits(str, len);
  StringTable* tb = &L->g->strt;
  for (GCObject* o = tb->hash[h & uint32_t(tb->size - 1)]; o; o = o->next) {
    LString* ts = static_cast<LString*>(o);
    if (ts->tt == TWString && ts->len == len && memcmp(str, ts->WData(), 2 * len) == 0) return ts;
  }
  if (len > (size_t(-1) - sizeof(LString)) / 2 - 2) RunError(L, "memory allocation error: block too big");
  LString* ts = static_cast<LString*>(Alloc(L, sizeof(LString) + 2 * (len + 1)));
  ts->tt = TWString;
  ts->marked = 0;
  ts->reserved = 0;
  ts->hash = h;
  ts->len = len;
  if (len) memcpy(ts->WData(), str, 2 * len);
  ts->WData()[len] = 0;
  AddToTable(L, ts, h);
  return ts;
}

size_t UserdataAllocSize(const LUserdata* u) {
  return LUserdata::DataOffset() + ((u->len & 1) ? sizeof(void*) : u->len);
}

LUserdata* NewUserdata(lua_State* L, size_t size) {
  if (size > size_t(-1) - LUserdata::DataOffset() - 2) RunError(L, "memory allocation error: block too big");
  size_t len = (size + 1) & ~size_t(1);
  LUserdata* u = static_cast<LUserdata*>(Alloc(L, LUserdata::DataOffset() + len));
  u->tt = TUserdata;
  u->marked = 0;
  u->len = len;
  const Value* slot = &L->g->typeSlots[TUserdata];
  u->metatable = IsTable(slot) ? HValue(slot) : HValue(&L->g->defaultMeta);
  u->next = L->g->rootgc;
  L->g->rootgc = u;
  return u;
}

}  // namespace tlua
