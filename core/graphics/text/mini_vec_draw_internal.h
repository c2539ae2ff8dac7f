#pragma once
// Records shared by the two halves of TJxMiniVecDraw.

#include <cstring>

#include "graphics/text/mini_vec_draw.h"

// A shape with more edges than this draws only its first ones.
constexpr size_t MaxEdges = size_t(1) << 20;

struct TJxMiniVecDraw::TEdge {
  float x0, y0, x1, y1;   // quarter pixels after the transform, y0 <= y1
  int32_t nextInRow;      // next edge starting in the same row
  int32_t nextActive;     // next edge of the active list
  float x;                // at the current sub-scanline
  float step;             // x per sub-scanline
  int colour;             // stroke layers: 1 when the ends were swapped; paths: fill slot
  int id;                 // 0, 1: stroke layer; 2 and up: path
};

// One cached run; cells and rows relative to the shape's position.
struct TJxMiniVecDraw::TRun {
  uint16_t x0, x1;     // first and last cell
  uint16_t row;        // pixel row (signed)
  uint8_t value;       // coverage - 1; 0xFF ends a cached list
  uint8_t accumRow;
};

struct TJxMiniVecDraw::TRunBlock {
  TRun runs[RunsPerBlock];
};

// Every field 32 or 64 bits wide and floats stored as their bits, so that keys compare
// byte for byte without padding.
struct TJxMiniVecDraw::TCacheKey {
  uint64_t shape;
  uint32_t phaseX, phaseY;
  uint32_t scaleX, scaleY;
  uint32_t stroke0, stroke1;
  uint32_t italic;
  uint32_t rotCos, rotSin;
  uint32_t unused;
};

struct TJxMiniVecDraw::TCacheEntry {
  TCacheKey key{};
  size_t block = 0, index = 0;  // start of the run list
  std::unique_ptr<TCacheEntry> next;
};

inline uint32_t FloatBits(float f) {
  uint32_t bits;
  memcpy(&bits, &f, 4);
  return bits;
}

inline TJxMiniVecDraw::TCacheKey TJxMiniVecDraw::MakeCacheKey(const uint8_t* shape) const {
  TCacheKey key;
  memset(&key, 0, sizeof(key));
  key.shape = reinterpret_cast<uintptr_t>(shape);
  key.phaseX = uint32_t(mPhaseX);
  key.phaseY = uint32_t(mPhaseY);
  key.scaleX = FloatBits(mScaleX);
  key.scaleY = FloatBits(mScaleY);
  key.stroke0 = FloatBits(mStroke[0]);
  key.stroke1 = FloatBits(mStroke[1]);
  key.italic = mItalic ? 1 : 0;
  key.rotCos = FloatBits(mRotCos);
  key.rotSin = FloatBits(mRotSin);
  return key;
}
