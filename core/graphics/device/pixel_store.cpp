#include "graphics/device/pixel_store.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace {

// From this size on a surface gets its own mapping.
constexpr size_t MappedFrom = size_t(1) << 20;

// Mappings given up lately, kept for the next surface of their size: render targets and lock
// copies come and go every frame, and a fresh mapping would fault its pages in each time.
class TMappingShelf {
 public:
  // A kept mapping of exactly `bytes`, zeroed, or null.
  void* Take(size_t bytes) {
    std::lock_guard<std::mutex> lock(mMutex);
    for (size_t i = 0; i < mKept.size(); ++i)
      if (mKept[i].second == bytes) {
        void* p = mKept[i].first;
        mKept.erase(mKept.begin() + i);
        mKeptBytes -= bytes;
        std::memset(p, 0, bytes);
        return p;
      }
    return nullptr;
  }
  // Keeps the mapping while the shelf has room, the oldest going first; unmaps it otherwise.
  void Give(void* p, size_t bytes) {
    std::lock_guard<std::mutex> lock(mMutex);
    if (bytes > MaxKeptBytes) {
      munmap(p, bytes);
      return;
    }
    while (!mKept.empty() && (mKept.size() >= MaxKept || mKeptBytes + bytes > MaxKeptBytes)) {
      munmap(mKept.front().first, mKept.front().second);
      mKeptBytes -= mKept.front().second;
      mKept.erase(mKept.begin());
    }
    mKept.emplace_back(p, bytes);
    mKeptBytes += bytes;
  }

 private:
  static constexpr size_t MaxKept = 8;
  static constexpr size_t MaxKeptBytes = size_t(32) << 20;
  std::mutex mMutex;
  std::vector<std::pair<void*, size_t>> mKept;
  size_t mKeptBytes = 0;
};

TMappingShelf& Shelf() {
  // Never destroyed: surfaces may go after the end of main.
  static TMappingShelf* shelf = new TMappingShelf;
  return *shelf;
}

}  // namespace

void TPixelStore::Reset(size_t bytes) {
  Release();
  if (bytes == 0) return;
  if (bytes >= MappedFrom) {
    void* p = Shelf().Take(bytes);
    if (!p) p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
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
    Shelf().Give(mData, mSize);
  else
    std::free(mData);
  mData = nullptr;
  mSize = 0;
  mMapped = false;
}
