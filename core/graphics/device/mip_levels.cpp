#include "graphics/device/mip_levels.h"

#include <algorithm>
#include <cmath>

#include "graphics/device/soft_surface.h"

namespace {

TRasterTexture RasterTextureOf(const TSoftSurface& s) {
  return {s.Pixels(), s.Pitch(), int32_t(s.Width()), int32_t(s.Height()), s.Layout(), s.Format()};
}

// One level from the level above it.
void BoxFilter(const TSoftSurface& src, TSoftSurface& dst) {
  const uint32_t sw = src.Width(), sh = src.Height(), dw = dst.Width(), dh = dst.Height();
  const uint32_t sb = BytesPerPixel(src.Format()), db = BytesPerPixel(dst.Format());
  const bool weighted = src.Format().alphaMask != 0;
  for (uint32_t y = 0; y < dh; ++y) {
    const uint32_t y0 = y * sh / dh, y1 = std::max(y0 + 1, (y + 1) * sh / dh);
    for (uint32_t x = 0; x < dw; ++x) {
      const uint32_t x0 = x * sw / dw, x1 = std::max(x0 + 1, (x + 1) * sw / dw);
      uint64_t alpha = 0, plain[3] = {0, 0, 0}, byAlpha[3] = {0, 0, 0};
      for (uint32_t sy = y0; sy < y1; ++sy) {
        const uint8_t* row = src.Pixels() + int64_t(sy) * src.Pitch();
        for (uint32_t sx = x0; sx < x1; ++sx) {
          const uint32_t argb = UnpackArgb(src.Format(), ReadPixel(row + size_t(sx) * sb, sb));
          const uint32_t a = argb >> 24;
          alpha += a;
          for (int c = 0; c < 3; ++c) {
            const uint32_t value = (argb >> (16 - 8 * c)) & 0xFF;
            plain[c] += value;
            byAlpha[c] += uint64_t(value) * a;
          }
        }
      }
      const uint64_t count = uint64_t(x1 - x0) * (y1 - y0);
      uint32_t out = uint32_t((alpha + count / 2) / count) << 24;
      for (int c = 0; c < 3; ++c) {
        const uint64_t value = weighted && alpha ? (byAlpha[c] + alpha / 2) / alpha : (plain[c] + count / 2) / count;
        out |= uint32_t(value) << (16 - 8 * c);
      }
      WritePixel(dst.Pixels() + int64_t(y) * dst.Pitch() + size_t(x) * db, db, PackArgb(dst.Format(), out));
    }
  }
}

}  // namespace

std::vector<std::shared_ptr<TSoftSurface>> MipLevelsBelow(const TSoftSurface& top) {
  std::vector<std::shared_ptr<TSoftSurface>> levels;
  std::shared_ptr<TSoftSurface> next;
  for (const TSoftSurface* level = &top; DevSucceeded(level->GetAttachedSurface(DDSCAPS_MIPMAP, next));
       level = next.get())
    levels.push_back(next);
  return levels;
}

void BuildMipLevels(TSoftSurface& top) {
  TSoftSurface* above = &top;
  for (const auto& level : MipLevelsBelow(top)) {
    BoxFilter(*above, *level);
    above = level.get();
  }
}

std::shared_ptr<const TRasterMipChain> RasterMipChainOf(const TSoftSurface& texture, bool linear) {
  std::vector<std::shared_ptr<TSoftSurface>> below = MipLevelsBelow(texture);
  if (below.empty()) return nullptr;
  auto chain = std::make_shared<TRasterMipChain>();
  chain->linear = linear;
  chain->levels.push_back(RasterTextureOf(texture));
  for (const auto& level : below) chain->levels.push_back(RasterTextureOf(*level));
  return chain;
}

float MipLevelOfDetail(const TRasterTexture& top, const float x[3], const float y[3], const float u[3],
                       const float v[3]) {
  const double x10 = double(x[1]) - x[0], y10 = double(y[1]) - y[0];
  const double x20 = double(x[2]) - x[0], y20 = double(y[2]) - y[0];
  const double det = x10 * y20 - x20 * y10;
  if (!(std::fabs(det) > 1e-12)) return 0.0f;  // no area (or not a number): nothing to choose
  // The texture coordinates' gradients in texels of level 0 per pixel.
  auto gradients = [&](const float t[3], double size, double& dx, double& dy) {
    const double t10 = (double(t[1]) - t[0]) * size, t20 = (double(t[2]) - t[0]) * size;
    dx = (t10 * y20 - t20 * y10) / det;
    dy = (t20 * x10 - t10 * x20) / det;
  };
  double dudx, dudy, dvdx, dvdy;
  gradients(u, top.width, dudx, dudy);
  gradients(v, top.height, dvdx, dvdy);
  const double rho2 = std::max(dudx * dudx + dvdx * dvdx, dudy * dudy + dvdy * dvdy);
  if (!(rho2 > 1.0)) return 0.0f;
  return float(0.5 * std::log2(std::min(rho2, 1e30)));
}

TMipStates::TMipStates(const TRasterState& base) : mBase(base) {}

uint32_t TMipStates::KeyOf(float lod) const {
  const TRasterMipChain& chain = *mBase.mips;
  const uint32_t last = uint32_t(chain.levels.size() - 1);
  if (!(lod > 0.0f)) return 0;
  if (!chain.linear) return std::min(uint32_t(std::floor(double(lod) + 0.5)), last) * MipBlendOne;
  uint32_t level = uint32_t(std::min(std::floor(double(lod)), double(last)));
  uint32_t weight = uint32_t(std::lround((double(lod) - level) * MipBlendOne));
  if (weight >= MipBlendOne) {
    ++level;
    weight = 0;
  }
  if (level >= last) return last * MipBlendOne;
  return level * MipBlendOne + weight;
}

const TRasterState& TMipStates::StateOf(uint32_t key) {
  if (key == 0) return mBase;
  std::unique_ptr<TRasterState>& state = mStates[key];
  if (!state) {
    const TRasterMipChain& chain = *mBase.mips;
    const uint32_t level = key / MipBlendOne, weight = key % MipBlendOne;
    state = std::make_unique<TRasterState>(mBase);
    state->mips = nullptr;
    state->texture = chain.levels[level];
    if (weight) {
      state->mipNext = chain.levels[level + 1];
      state->mipNextWeight = weight;
    }
    PrepareRasterState(*state);
  }
  return *state;
}
