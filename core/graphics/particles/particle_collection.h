#pragma once
// TParticleCollection: the records of one particle system, fixed-size float records in one
// buffer, each either live or free. Both lists are doubly linked through index arrays:
// a new particle is taken from the front of the free list and put at the front of the live
// list (so the live list runs newest first); an expired one goes back to the front of the
// free list. Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TParticleCollection {
 public:
  static constexpr int32_t None = -1;

  TParticleCollection() = default;
  ~TParticleCollection() { Clear(); }
  TParticleCollection(const TParticleCollection&) = delete;
  TParticleCollection& operator=(const TParticleCollection&) = delete;

  // Empties both lists and lets go of an owned buffer. With a buffer (of at least
  // capacity x floats floats, kept by the caller) the records live there; without one the
  // collection allocates its own. Every record then goes onto the front of the free list
  // in index order, so the last record is handed out first. False (and no records) when
  // the buffer for the size cannot be had.
  bool Init(uint32_t capacity, uint32_t floatsPerRecord, float* buffer = nullptr);
  void Clear();

  uint32_t GetLiveCount() const { return mLiveCount; }
  uint32_t GetCapacity() const { return mCapacity; }
  uint32_t GetFloatsPerRecord() const { return mFloats; }
  uint32_t GetStride() const { return mFloats * uint32_t(sizeof(float)); }

  float* GetRecord(int32_t index) { return mBuffer + size_t(index) * mFloats; }
  const float* GetRecord(int32_t index) const { return mBuffer + size_t(index) * mFloats; }

  // Moves the first free record to the front of the live list; None when there is none.
  int32_t TakeFree();
  // Moves a live record to the front of the free list and answers the live record that
  // followed it (None at the end).
  int32_t Expire(int32_t index);

  int32_t FirstLive() const { return mLiveHead; }
  int32_t NextLive(int32_t index) const { return mLinks[size_t(index)].next; }
  int32_t FirstFree() const { return mFreeHead; }
  int32_t NextFree(int32_t index) const { return mLinks[size_t(index)].next; }

 private:
  struct TLink {
    int32_t prev = None, next = None;
  };
  void PushFront(int32_t& head, int32_t index);
  void Unlink(int32_t& head, int32_t index);

  float* mBuffer = nullptr;
  std::unique_ptr<float[]> mOwned;
  uint32_t mCapacity = 0;
  uint32_t mFloats = 0;
  std::vector<TLink> mLinks;
  int32_t mLiveHead = None;
  int32_t mFreeHead = None;
  uint32_t mLiveCount = 0;
};

// The largest number of floats the particle buffers may take (capacity x record size); a
// request past it is refused, never wrapped.
constexpr uint64_t MaxParticleFloats = uint64_t(1) << 26;
