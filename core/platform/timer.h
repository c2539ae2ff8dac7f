#pragma once
// The engine's millisecond timer. It counts in 32 bits and wraps after about 49.7 days,
// so times are compared by their signed difference, never by plain order.

#include <cstdint>

// Milliseconds since the engine started (the platform may put its own source behind it).
uint32_t GetTimer();

// The source behind GetTimer; null restores the monotonic clock. Tests install a fake.
using TTimerSource = uint32_t (*)();
void SetTimerSource(TTimerSource source);

// a - b as a signed distance: positive when a is later than b, across a wrap too.
inline int32_t TimeDiff(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }
