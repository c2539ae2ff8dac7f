#pragma once
// The mini-games' dealing: each deal seeds the game's 15-bit generator with the wall clock's
// seconds, then draws entries out of a pool without repetition, each with the next number
// modulo what is left of the pool. Tests fix the wall clock (or seed after the call) to get
// one deal.

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/random.h"

// Seeds the game's generator with the current wall-clock time in seconds.
void SeedGameRandFromWallClock();

// The next number of the game's generator modulo `size'; 0 for a size below 1.
int DrawIndex(int size);

// Takes `count' entries out of the pool in drawing order, each the pool's entry at the next
// number modulo the pool's size, removed before the next draw (the rest keep their order).
// Stops early when the pool runs dry.
template <typename T>
std::vector<T> DrawWithoutRepetition(std::vector<T> pool, size_t count) {
  std::vector<T> drawn;
  while (drawn.size() < count && !pool.empty()) {
    size_t index = size_t(DrawIndex(int(pool.size())));
    drawn.push_back(std::move(pool[index]));
    pool.erase(pool.begin() + std::ptrdiff_t(index));
  }
  return drawn;
}
