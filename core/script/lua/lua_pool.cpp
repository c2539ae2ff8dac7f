#include "script/lua/lua_pool.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace tlua {

namespace {

#if defined(LUA_POOL_ASAN)
std::atomic<bool> gPoolDefault{false};
#else
std::atomic<bool> gPoolDefault{true};
#endif

// The chunk's first bytes hold the link to the next chunk; blocks start after them, on
// the same alignment as the hook's blocks.
constexpr size_t kChunkHeader = SmallPool::kGrain;

bool IsSmall(size_t size) { return size != 0 && size <= SmallPool::kLargest; }
size_t ClassOf(size_t size) { return (size - 1) / SmallPool::kGrain; }
size_t ClassSize(size_t c) { return (c + 1) * SmallPool::kGrain; }

void* Take(SmallPool& pool, size_t c, lua_AllocHook hook, void* ud, void* threadValue) {
  const size_t size = ClassSize(c);
  void* b;
  if (PoolQuick(pool, nullptr, 0, size, b)) return b;
  if (size_t(pool.carveEnd - pool.carve) < size) {
    // The rest of the old chunk (less than one block of this class) goes to the free
    // lists of the classes it fits, largest first.
    while (size_t(pool.carveEnd - pool.carve) >= SmallPool::kGrain) {
      size_t rest = std::min(size_t(pool.carveEnd - pool.carve), SmallPool::kLargest);
      size_t fit = ClassOf(rest / SmallPool::kGrain * SmallPool::kGrain);
      auto* b = reinterpret_cast<SmallPool::FreeBlock*>(pool.carve);
      LUA_POOL_UNPOISON(b, sizeof *b);
      b->next = pool.free[fit];
      LUA_POOL_POISON(b, ClassSize(fit));
      pool.free[fit] = b;
      pool.carve += ClassSize(fit);
    }
    char* chunk = static_cast<char*>(hook(ud, nullptr, 0, SmallPool::kChunkSize, 0, threadValue));
    if (!chunk) return nullptr;
    std::memcpy(chunk, &pool.chunks, sizeof pool.chunks);
    pool.chunks = chunk;
    pool.carve = chunk + kChunkHeader;
    pool.carveEnd = chunk + SmallPool::kChunkSize;
    LUA_POOL_POISON(pool.carve, size_t(pool.carveEnd - pool.carve));
  }
  b = pool.carve;
  pool.carve += size;
  LUA_POOL_UNPOISON(b, size);
  return b;
}


}  // namespace

void SetSmallPoolDefault(bool on) { gPoolDefault = on; }
bool SmallPoolDefault() { return gPoolDefault; }

void* PoolRealloc(SmallPool& pool, lua_AllocHook hook, void* ud, void* threadValue, void* block, size_t oldSize,
                  size_t newSize) {
  const bool oldSmall = block && IsSmall(oldSize), newSmall = IsSmall(newSize);
  if (!oldSmall && !newSmall) return hook(ud, block, oldSize, newSize, 0, threadValue);
  if (oldSmall && newSmall && ClassOf(oldSize) == ClassOf(newSize)) return block;
  void* r = nullptr;
  if (newSize != 0) {
    r = newSmall ? Take(pool, ClassOf(newSize), hook, ud, threadValue) : hook(ud, nullptr, 0, newSize, 0, threadValue);
    if (!r) return nullptr;
    if (block) std::memcpy(r, block, std::min(oldSize, newSize));
  }
  if (block) {
    void* none;
    if (oldSmall)
      PoolQuick(pool, block, oldSize, 0, none);
    else
      hook(ud, block, oldSize, 0, 0, threadValue);
  }
  return r;
}

void ReleasePool(SmallPool& pool, lua_AllocHook hook, void* ud, void* threadValue) {
  void* chunk = pool.chunks;
  while (chunk) {
    void* next;
    LUA_POOL_UNPOISON(chunk, SmallPool::kChunkSize);
    std::memcpy(&next, chunk, sizeof next);
    hook(ud, chunk, SmallPool::kChunkSize, 0, 0, threadValue);
    chunk = next;
  }
  pool = SmallPool();
}

}  // namespace tlua
