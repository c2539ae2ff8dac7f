#pragma once
// The engine's millisecond timer, and the wall clock in seconds. The timer counts in 32 bits
// and wraps after about 49.7 days, so its times are compared by their signed difference,
// never by plain order.

#include <cstdint>

// Milliseconds since the engine started (the platform may put its own source behind it).
uint32_t GetTimer();

// The source behind GetTimer; null restores the monotonic clock. Tests install a fake.
using TTimerSource = uint32_t (*)();
void SetTimerSource(TTimerSource source);

// a - b as a signed distance: positive when a is later than b, across a wrap too.
inline int32_t TimeDiff(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

// Wall-clock time in whole seconds since 1 January 1970 UTC, as the game's score timers count.
int64_t GetWallTime();

// The source behind GetWallTime; null restores the system clock. Tests install a fake.
using TWallTimeSource = int64_t (*)();
void SetWallTimeSource(TWallTimeSource source);
