#include "graphics/particles/particle_collection.h"

#include <new>

bool TParticleCollection::Init(uint32_t capacity, uint32_t floatsPerRecord, float* buffer) {
  Clear();
  if (capacity < 1 || floatsPerRecord < 1 || uint64_t(capacity) * floatsPerRecord > MaxParticleFloats ||
      capacity > uint32_t(INT32_MAX))
    return capacity < 1;
  if (!buffer) {
    mOwned.reset(new (std::nothrow) float[size_t(capacity) * floatsPerRecord]());
    if (!mOwned) return false;
    buffer = mOwned.get();
  }
  mBuffer = buffer;
  mCapacity = capacity;
  mFloats = floatsPerRecord;
  mLinks.assign(capacity, TLink());
  for (uint32_t i = 0; i < capacity; ++i) PushFront(mFreeHead, int32_t(i));
  return true;
}

void TParticleCollection::Clear() {
  mOwned.reset();
  mBuffer = nullptr;
  mCapacity = mFloats = 0;
  mLinks.clear();
  mLiveHead = mFreeHead = None;
  mLiveCount = 0;
}

void TParticleCollection::PushFront(int32_t& head, int32_t index) {
  TLink& link = mLinks[size_t(index)];
  link.prev = None;
  link.next = head;
  if (head != None) mLinks[size_t(head)].prev = index;
  head = index;
}

void TParticleCollection::Unlink(int32_t& head, int32_t index) {
  TLink& link = mLinks[size_t(index)];
  if (link.prev != None)
    mLinks[size_t(link.prev)].next = link.next;
  else
    head = link.next;
  if (link.next != None) mLinks[size_t(link.next)].prev = link.prev;
}

int32_t TParticleCollection::TakeFree() {
  int32_t index = mFreeHead;
  if (index == None) return None;
  Unlink(mFreeHead, index);
  PushFront(mLiveHead, index);
  ++mLiveCount;
  return index;
}

int32_t TParticleCollection::Expire(int32_t index) {
  int32_t next = mLinks[size_t(index)].next;
  Unlink(mLiveHead, index);
  PushFront(mFreeHead, index);
  --mLiveCount;
  return next;
}
