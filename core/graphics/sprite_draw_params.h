#pragma once
// TSpriteDrawParams: how a texture is drawn as a quad: the transform, the anchor, the
// tint and alpha, the source rectangle, the draw flags and the frame.

#include <cstdint>

#include "graphics/math/rect.h"
#include "graphics/math/vector_math.h"

// Draw flags.
constexpr uint32_t SpriteMirrorX = 0x01;      // left to right
constexpr uint32_t SpriteMirrorY = 0x02;      // top to bottom
constexpr uint32_t SpriteSourceRect = 0x04;   // draw only the source rectangle
constexpr uint32_t SpriteAnchored = 0x08;     // placed by the anchor instead of centred

struct TSpriteDrawParams {
  TMat3 matrix = TMat3::Identity();
  TVec2 anchor;
  TColor colour{1, 1, 1, 1};
  float alpha = 1.0f;
  TRect sourceRect;
  uint32_t flags = 0;
  int32_t blendMode = -1;  // -1 keeps the renderer's current mode
  int32_t frame = -1;      // -1: not set; a child's unset frame takes its parent's

  TSpriteDrawParams() = default;
  // The identity moved to the position, then scaled when the scale is not exactly 1.
  TSpriteDrawParams(const TVec2& position, float alpha, float scale, uint32_t flags);
};
