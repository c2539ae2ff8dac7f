#include "platform/random.h"

#include <sys/random.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

constexpr int M = 397;
constexpr uint32_t MatrixA = 0x9908B0DF;
constexpr uint32_t UpperMask = 0x80000000;
constexpr uint32_t LowerMask = 0x7FFFFFFF;

}  // namespace

TRandom::TRandom() {
  static const uint32_t Seed[4] = {0xD4C4CF4B, 0x3E2019A7, 0xE6489797, 0x5746FCB5};
  InitByArray(Seed, 4);
}

void TRandom::InitGenRand(uint32_t seed) {
  mState[0] = seed;
  for (int i = 1; i < N; ++i)
    mState[i] = 1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + uint32_t(i);
  mIndex = N;
}

void TRandom::InitByArray(const uint32_t* words, size_t count) {
  InitGenRand(19650218u);
  if (count == 0) return;
  int i = 1;
  size_t j = 0;
  for (size_t k = (N > count ? N : count); k; --k) {
    mState[i] = (mState[i] ^ ((mState[i - 1] ^ (mState[i - 1] >> 30)) * 1664525u)) + words[j] + uint32_t(j);
    ++i;
    ++j;
    if (i >= N) {
      mState[0] = mState[N - 1];
      i = 1;
    }
    if (j >= count) j = 0;
  }
  for (int k = N - 1; k; --k) {
    mState[i] = (mState[i] ^ ((mState[i - 1] ^ (mState[i - 1] >> 30)) * 1566083941u)) - uint32_t(i);
    ++i;
    if (i >= N) {
      mState[0] = mState[N - 1];
      i = 1;
    }
  }
  mState[0] = 0x80000000u;
}

uint32_t TRandom::GenRand() {
  if (mIndex >= N) {
    if (mIndex == N + 1) InitGenRand(5489u);
    for (int k = 0; k < N; ++k) {
      uint32_t y = (mState[k] & UpperMask) | (mState[(k + 1) % N] & LowerMask);
      mState[k] = mState[(k + M) % N] ^ (y >> 1) ^ ((y & 1) ? MatrixA : 0);
    }
    mIndex = 0;
  }
  uint32_t y = mState[mIndex++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

double TRandom::GenRandDouble() {
  uint32_t a = GenRand() >> 5;
  uint32_t b = GenRand() >> 6;
  return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

int TRandom::RandomRange(int lo, int hi) {
  if (hi < lo) std::swap(lo, hi);
  // 64-bit span: hi - lo + 1 overflows an int for wide ranges.
  int64_t span = int64_t(hi) - lo + 1;
  int64_t offset = int64_t(GenRandDouble() * double(span));
  if (offset >= span) offset = span - 1;
  return int(lo + offset);
}

namespace {
uint32_t gGameRandState = 1;
std::atomic<bool> gFixedGameSeed{false};
}  // namespace

void GameSrand(uint32_t seed) { gGameRandState = gFixedGameSeed.load() ? 1u : seed; }

void SetFixedGameSeed(bool fixed) { gFixedGameSeed = fixed; }

int GameRand() {
  gGameRandState = gGameRandState * 1103515245u + 12345u;
  return int((gGameRandState >> 16) & GameRandMax);
}

void ReseedAtStartup(TRandom& random) {
  // The wall clock, not the engine timer: that one counts from start-up and barely varies.
  auto now = std::chrono::system_clock::now().time_since_epoch();
  uint64_t ms = uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  srand(unsigned((ms * 8627u) % 104729u));
  uint32_t words[4];
  for (uint32_t& word : words) {
    uint32_t r1 = uint32_t(rand()), r2 = uint32_t(rand()), r3 = uint32_t(rand());
    word = r1 * 8 * r2 + (r3 >> 3);
  }
  random.InitByArray(words, 4);
}

void GenerateGuid(unsigned char guid[16]) {
  size_t got = 0;
  while (got < 16) {
    ssize_t n = getrandom(guid + got, 16 - got, 0);
    if (n <= 0) break;
    got += size_t(n);
  }
  if (got < 16) {
    // No kernel randomness: a generator seeded from the clock still gives distinct ids.
    std::mt19937_64 fallback(uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (size_t i = got; i < 16; ++i) guid[i] = static_cast<unsigned char>(fallback());
  }
  // Version 4, variant 1.
  guid[6] = (guid[6] & 0x0F) | 0x40;
  guid[8] = (guid[8] & 0x3F) | 0x80;
}

TString MakeGuidString() {
  unsigned char guid[16];
  GenerateGuid(guid);
  uint32_t words[4];
  memcpy(words, guid, sizeof words);
  return TString::Printf("%08x%08x%08x%08x", words[0], words[1], words[2], words[3]);
}
