// Mip-mapped textures of the software device: the chain of ever smaller levels behind a
// texture surface made with DDSCAPS_MIPMAP, filled from the top level by a box filter,
// and the level a triangle is drawn from. A triangle shown smaller than its texture reads
// the level whose texels come nearest to one per pixel (the point mip filter), or a blend
// of the two levels around that (the linear one), so that a shrinking sprite does not
// shimmer.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "graphics/device/raster_types.h"

class TSoftSurface;

// The levels below a surface's own, largest first (none for a surface without a chain).
std::vector<std::shared_ptr<TSoftSurface>> MipLevelsBelow(const TSoftSurface& top);
// Fills every level below the top from the one above it: each texel is the mean of the
// texels of the area it covers (a 2x2 box between levels of halved sides), colours
// weighted by their alpha where the format has alpha, so that transparent texels lend
// no colour to the edges.
void BuildMipLevels(TSoftSurface& top);

// The levels of a texture with a mip filter in force, as the draw calls read them: [0] is
// the texture itself.
struct TRasterMipChain {
  std::vector<TRasterTexture> levels;
  bool linear = false;  // D3DTFP_LINEAR: blend the two nearest levels; else the nearest
};
// The chain of a texture for its draws (null without levels below it).
std::shared_ptr<const TRasterMipChain> RasterMipChainOf(const TSoftSurface& texture, bool linear);

// The level of detail of a triangle: log2 of the texels of level 0 that one pixel step
// crosses at most, along x or y (0 or less: magnified or one to one). x, y in pixels, u, v
// the normalised texture coordinates.
float MipLevelOfDetail(const TRasterTexture& top, const float x[3], const float y[3], const float u[3],
                       const float v[3]);

// The states of one draw call's levels: the state of the level (and the blend with the
// next one) that a level of detail picks, made when first asked for. The base state's
// texture is level 0; the states it hands out stay valid while it lives.
class TMipStates {
 public:
  explicit TMipStates(const TRasterState& base);
  TMipStates(const TMipStates&) = delete;
  TMipStates& operator=(const TMipStates&) = delete;

  // Which state a level of detail picks: equal keys, equal states.
  uint32_t KeyOf(float lod) const;
  const TRasterState& StateOf(uint32_t key);

 private:
  const TRasterState& mBase;
  std::map<uint32_t, std::unique_ptr<TRasterState>> mStates;  // by key, made when first asked for
};

// The weight of the next smaller level in a blend, out of 256.
constexpr uint32_t MipBlendOne = 256;
