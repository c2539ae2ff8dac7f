// From the engine's vertices to the rasteriser: transform by world, view and
// projection, lighting of vertices with normals, clipping, the viewport mapping, and
// assembly of triangle lists, fans and line lists.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/device/device_types.h"
#include "graphics/device/raster_types.h"

struct TVertexPipeline {
  const TDevMatrix* world = nullptr;
  const TDevMatrix* view = nullptr;
  const TDevMatrix* projection = nullptr;
  const TDevMaterial* material = nullptr;
  uint32_t ambient = 0;  // D3DRENDERSTATE_AMBIENT
  bool lighting = false;
  TDevViewport viewport;
};

// Vertices in homogeneous clip space (transformed formats) or screen space
// (pre-transformed), with their colours and texture coordinates.
struct TClipVertex {
  float x, y, z, w;
  TRasterVertex attributes;
};

// The vertices of one draw call: in clip space, and where they lie inside the guard
// band their screen-space form, computed once (when first used) however many
// primitives share them.
// Kept by the device from draw to draw so that its memory is reused.
struct TVertexBatch {
  uint32_t count = 0;  // vertices of the current draw (the vectors may hold more)
  std::vector<TClipVertex> clip;
  std::vector<TRasterVertex> screen;
  std::vector<uint8_t> inside;
};

// Converts count vertices of a format; false for a format the device does not draw.
bool ProcessVertices(const TVertexPipeline& pipeline, uint32_t fvf, const void* vertices, uint32_t count,
                     TVertexBatch& out);
// Draws primitives over processed vertices (indices optional, else 0, 1, 2, ...).
void DrawPrimitives(const TRasterState& state, const TVertexPipeline& pipeline, bool transformed, D3DPRIMITIVETYPE type,
                    TVertexBatch& vertices, const uint16_t* indices, uint32_t count);
