#include "graphics/device/pixel_store.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

// From this size on a surface gets its own mapping.
constexpr size_t MappedFrom = size_t(1) << 20;

}  // namespace

void TPixelStore::Reset(size_t bytes) {
  Release();
  if (bytes == 0) return;
  if (bytes >= MappedFrom) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p != MAP_FAILED) {
      // Only a hint: without huge pages the mapping still works in small ones.
      madvise(p, bytes, MADV_HUGEPAGE);
      mData = static_cast<uint8_t*>(p);
      mSize = bytes;
      mMapped = true;
      return;
    }
  }
  mData = static_cast<uint8_t*>(std::calloc(bytes, 1));
  if (!mData) throw std::bad_alloc();
  mSize = bytes;
}

void TPixelStore::Clear() {
  if (mData) std::memset(mData, 0, mSize);
}

void TPixelStore::Swap(TPixelStore& other) {
  std::swap(mData, other.mData);
  std::swap(mSize, other.mSize);
  std::swap(mMapped, other.mMapped);
}

void TPixelStore::Release() {
  if (mMapped)
    munmap(mData, mSize);
  else
    std::free(mData);
  mData = nullptr;
  mSize = 0;
  mMapped = false;
}
