// Small blocks of a state (tables, strings, closures, upvalues, short arrays) come from
// size classes kept on free lists, carved out of large chunks that the allocation hook
// gives: a malloc and a free per object cost more than the collector that frees them.
// The chunks go back to the hook when the state closes. The state's byte count
// (nblocks) counts the sizes asked for, as without the pool, so collections come at
// the same moments.
//
// Where a block is new, freed or resized is told to the hook when the pool is off: with
// a hook other than the default one (it is told of every block), and by default in
// sanitizer builds, so that they see each object on its own.
#pragma once

#include <cstddef>

#include "script/lua/lua.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUA_POOL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LUA_POOL_ASAN 1
#endif

#if defined(LUA_POOL_ASAN)
#include <sanitizer/asan_interface.h>
// Blocks on the free lists and the uncarved rest of a chunk are poisoned, so a pooled
// block used after its free is still found when the tests turn the pool on.
#define LUA_POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define LUA_POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define LUA_POOL_POISON(p, n) ((void)(p), (void)(n))
#define LUA_POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace tlua {

struct SmallPool {
  static constexpr size_t kGrain = 16;     // size classes step by this
  static constexpr size_t kLargest = 256;  // larger blocks go to the hook
  static constexpr size_t kClasses = kLargest / kGrain;
  static constexpr size_t kChunkSize = size_t(64) * 1024;

  struct FreeBlock {
    FreeBlock* next;
  };
  bool enabled = false;
  FreeBlock* free[kClasses] = {};
  char* carve = nullptr;  // the unused end of the newest chunk
  char* carveEnd = nullptr;
  void* chunks = nullptr;  // every chunk, linked through its first word
};

// Whether states opened from now on with the default hook use the pool (on by default,
// off by default in sanitizer builds; the tests turn it on there to check it).
void SetSmallPoolDefault(bool on);
bool SmallPoolDefault();

// The pool's common cases, without a call: a new small block from its free list, and a
// small block freed. False for everything else (and when the pool is off).
inline bool PoolQuick(SmallPool& pool, void* block, size_t oldSize, size_t newSize, void*& out) {
  if (!pool.enabled) return false;
  if (!block) {
    if (newSize - 1 >= SmallPool::kLargest) return false;  // also a new size of 0
    const size_t c = (newSize - 1) / SmallPool::kGrain;
    SmallPool::FreeBlock* b = pool.free[c];
    if (!b) return false;
    LUA_POOL_UNPOISON(b, (c + 1) * SmallPool::kGrain);
    pool.free[c] = b->next;
    out = b;
    return true;
  }
  if (newSize != 0 || oldSize - 1 >= SmallPool::kLargest) return false;
  const size_t c = (oldSize - 1) / SmallPool::kGrain;
  auto* b = static_cast<SmallPool::FreeBlock*>(block);
  b->next = pool.free[c];
  pool.free[c] = b;
  LUA_POOL_POISON(b, (c + 1) * SmallPool::kGrain);
  out = nullptr;
  return true;
}

// A realloc of the hook's kind through the pool: small blocks from the free lists, the
// others from the hook (hook, ud and threadValue as Realloc passes them). Null when
// memory runs out, the old block left as it was.
void* PoolRealloc(SmallPool& pool, lua_AllocHook hook, void* ud, void* threadValue, void* block, size_t oldSize,
                  size_t newSize);
// Gives every chunk back to the hook; no block of the pool may be in use.
void ReleasePool(SmallPool& pool, lua_AllocHook hook, void* ud, void* threadValue);

}  // namespace tlua
