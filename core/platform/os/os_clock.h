#pragma once
// The OS layer's monotonic millisecond clock (32 bits, wrapping after about 49.7 days).

#include <cstdint>

uint32_t OsMilliseconds();
void OsSleep(uint32_t ms);
