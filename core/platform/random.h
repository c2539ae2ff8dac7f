#pragma once
// TRandom: the platform's MT19937 generator; GUID helpers.

#include <cstddef>
#include <cstdint>

#include "platform/engine_string.h"

class TRandom {
 public:
  TRandom();  // seeded by array with the engine's four fixed words
  void InitGenRand(uint32_t seed);
  void InitByArray(const uint32_t* words, size_t count);
  uint32_t GenRand();
  double GenRandDouble();  // [0, 1) with 53 bits
  // A value in [lo, hi]; reversed bounds are taken in their order, the whole int range works.
  int RandomRange(int lo, int hi);

 private:
  static constexpr int N = 624;
  uint32_t mState[N];
  int mIndex = N + 1;
};

// The game's own generator behind its rand and srand: 15 bits (GameRandMax is 32767) from a
// linear congruential sequence, so one seed gives one sequence on every platform and tests
// can seed it. Main thread only. Unseeded it starts as if seeded with 1.
constexpr int GameRandMax = 32767;
void GameSrand(uint32_t seed);
int GameRand();
// While fixed, every seed counts as 1: the game seeds from the wall clock, and a test
// session that steps the game's time itself must see the same draws however late it runs.
// Callable from any thread.
void SetFixedGameSeed(bool fixed);

// The start-up reseed: four words from the runtime's rand, seeded from the clock.
void ReseedAtStartup(TRandom& random);

// Fills 16 bytes with a new random GUID.
void GenerateGuid(unsigned char guid[16]);
// A new GUID's four 32-bit words in memory order, "%08x" each: 32 characters.
TString MakeGuidString();
