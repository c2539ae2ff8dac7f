// The zeroed bytes of a surface. Surfaces of a megabyte and more (frames, backgrounds,
// depth buffers) are mappings of their own in huge pages where the system offers them:
// their pages come in zeroed, a few faults each instead of one per 4 KB, which is most of
// what the start costs before the first frame. Freed mappings are kept a while for the next
// surface of their size.
#pragma once

#include <cstddef>
#include <cstdint>

class TPixelStore {
 public:
  TPixelStore() = default;
  ~TPixelStore() { Release(); }
  TPixelStore(const TPixelStore&) = delete;
  TPixelStore& operator=(const TPixelStore&) = delete;

  // Replaces the bytes with `bytes` zeroed ones; throws std::bad_alloc when there is no room.
  void Reset(size_t bytes);
  // Sets every byte to zero again.
  void Clear();
  void Swap(TPixelStore& other);

  uint8_t* Data() { return mData; }
  const uint8_t* Data() const { return mData; }
  size_t Size() const { return mSize; }

 private:
  void Release();

  uint8_t* mData = nullptr;
  size_t mSize = 0;
  bool mMapped = false;
};
