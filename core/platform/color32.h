#pragma once
// TColor32: a packed colour 0xAARRGGBB.

#include <cstdint>

using TColor32 = uint32_t;

constexpr TColor32 MakeColor32(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a & 0xFF) << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}
constexpr uint32_t Color32Alpha(TColor32 c) { return c >> 24; }
constexpr uint32_t Color32Red(TColor32 c) { return c >> 16 & 0xFF; }
constexpr uint32_t Color32Green(TColor32 c) { return c >> 8 & 0xFF; }
constexpr uint32_t Color32Blue(TColor32 c) { return c & 0xFF; }
