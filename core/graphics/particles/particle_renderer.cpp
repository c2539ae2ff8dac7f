#include "graphics/particles/particle_renderer.h"

#include <algorithm>
#include <cstring>

#include "graphics/particles/particle_collection.h"
#include "graphics/particles/particle_functions.h"
#include "graphics/renderer.h"
#include "graphics/sprites/anim_texture.h"
#include "graphics/texture.h"
#include "platform/settings.h"

namespace {

// Shared by every 2D particle renderer; freed with the last one.
struct TSharedBuffers {
  std::vector<TLVertex> vertices;
  std::vector<uint16_t> indices;
  uint32_t renderers = 0;
};
TSharedBuffers gShared;

// Indices are 16-bit: one indexed draw reaches at most this many quads; the plain form is
// held to what one plain draw may carry.
constexpr uint32_t MaxIndexedQuads = 16384;
constexpr uint32_t MaxPlainQuads = 10922;

constexpr float IndexedCorners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};
constexpr float PlainCorners[6][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f},
                                      {0.5f, -0.5f},  {0.5f, 0.5f},  {-0.5f, 0.5f}};
constexpr uint8_t IndexedUv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
constexpr uint8_t PlainUv[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}};

inline uint32_t Channel(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= 1.0f) return 255;
  return uint32_t(value * 255.0f);
}

// The record's colour packed, its alpha multiplied by the factor (already within 0..1).
inline uint32_t PackColour(const float* c, float alpha) {
  uint32_t a = uint32_t(float(Channel(c[3])) * alpha);
  return MakeColor32(a, Channel(c[0]), Channel(c[1]), Channel(c[2]));
}

void GrowShared(uint32_t perParticle, uint32_t capacity) {
  uint64_t need = uint64_t(perParticle) * capacity;
  if (gShared.vertices.size() >= need) return;
  uint64_t quads = uint64_t(capacity) * 2;
  gShared.vertices.assign(size_t(quads * perParticle), TLVertex{});
  for (size_t i = 0; i < gShared.vertices.size(); ++i) {
    TLVertex& v = gShared.vertices[i];
    v.rhw = 0.5f;
    v.specular = 0xFFFFFFFFu;
    const uint8_t* uv = perParticle == 4 ? IndexedUv[i % 4] : PlainUv[i % 6];
    v.u = uv[0];
    v.v = uv[1];
  }
  if (perParticle != 4) return;
  uint32_t indexedQuads = uint32_t(std::min<uint64_t>(quads, MaxIndexedQuads));
  gShared.indices.resize(size_t(indexedQuads) * 6);
  for (uint32_t q = 0; q < indexedQuads; ++q) {
    uint16_t v = uint16_t(q * 4);
    uint16_t* i = &gShared.indices[size_t(q) * 6];
    i[0] = v, i[1] = uint16_t(v + 1), i[2] = uint16_t(v + 2);
    i[3] = uint16_t(v + 1), i[4] = uint16_t(v + 3), i[5] = uint16_t(v + 2);
  }
}

}  // namespace

T2dParticleRenderer::T2dParticleRenderer() : mPlain(IsEnabled("brokenindexedverts")) { ++gShared.renderers; }

T2dParticleRenderer::~T2dParticleRenderer() {
  if (--gShared.renderers > 0) return;
  gShared.vertices = std::vector<TLVertex>();
  gShared.indices = std::vector<uint16_t>();
}

const TLVertex* T2dParticleRenderer::GetVertices() { return gShared.vertices.data(); }
const uint16_t* T2dParticleRenderer::GetIndices() { return gShared.indices.data(); }
uint32_t T2dParticleRenderer::GetVertexCapacity() { return uint32_t(gShared.vertices.size()); }

TString T2dParticleRenderer::GetMemberDeclaration() const {
  return "pPosition = Allocate(2);\npUp = Allocate(2);\npScale = Allocate(1);\npColor = Allocate(4);\n"
         "pFrame = Allocate(1);\n";
}

void T2dParticleRenderer::SetOption(const TString& name, const TVec4& value) {
  int32_t mode;
  if (name == "blendmode" && ParticleIndex(value.x, mode)) mBlendMode = mode;
}

void T2dParticleRenderer::SetTexture(const std::shared_ptr<TTexture>& texture) {
  mTexture = texture;
  mAnimated = TAnimatedTexture::CastFromAsset(texture);
  if (texture) mFrameSize = TVec2(float(texture->GetWidth()), float(texture->GetHeight()));
}

void T2dParticleRenderer::ImageUv(float uv[4]) const {
  const TTextureData* data = mTexture ? mTexture->GetData() : nullptr;
  if (!data || !data->mSurfaceWidth || !data->mSurfaceHeight) {
    uv[0] = uv[1] = 0, uv[2] = uv[3] = 1;
    return;
  }
  float sw = float(data->mSurfaceWidth), sh = float(data->mSurfaceHeight);
  uv[0] = float(data->mOffsetX) / sw, uv[1] = float(data->mOffsetY) / sh;
  uv[2] = float(data->mOffsetX + data->mWidth) / sw, uv[3] = float(data->mOffsetY + data->mHeight) / sh;
}

void T2dParticleRenderer::PrepareFrames() {
  mFrames.clear();
  if (!mAnimated) return;
  const TTextureData* data = mAnimated->GetData();
  float sw = data && data->mSurfaceWidth ? float(data->mSurfaceWidth) : 1.0f;
  float sh = data && data->mSurfaceHeight ? float(data->mSurfaceHeight) : 1.0f;
  float ox = data ? float(data->mOffsetX) : 0.0f, oy = data ? float(data->mOffsetY) : 0.0f;
  TRect first = mAnimated->GetFrameRect(0);
  TVec2 firstReg = mAnimated->GetFrameRegistration(0);
  for (int32_t f = 0; f < mAnimated->GetFrameCount(); ++f) {
    TRect r = mAnimated->GetFrameRect(f);
    // A frame of no size stands for the whole sheet.
    if (r.Width() <= 0 || r.Height() <= 0) r = TRect(0, 0, data ? int32_t(data->mWidth) : 0, data ? int32_t(data->mHeight) : 0);
    TVec2 reg = mAnimated->GetFrameRegistration(f);
    TFrameUv uv;
    uv.u0 = (float(r.left) + ox) / sw, uv.v0 = (float(r.top) + oy) / sh;
    uv.u1 = (float(r.right) + ox) / sw, uv.v1 = (float(r.bottom) + oy) / sh;
    uv.w = float(r.Width()), uv.h = float(r.Height());
    uv.shiftX = firstReg.x - reg.x + (uv.w - float(first.Width())) / 2;
    uv.shiftY = firstReg.y - reg.y + (uv.h - float(first.Height())) / 2;
    mFrames.push_back(uv);
  }
}

uint32_t T2dParticleRenderer::WriteVertices(const TVec3& origin, float alpha, const TParticleCollection& particles) {
  const uint32_t perParticle = mPlain ? 6 : 4;
  GrowShared(perParticle, particles.GetCapacity());
  PrepareFrames();
  const bool trimmed = mAnimated && IsEnabled("animatedparticles");
  const float offsetX = float(int32_t(origin.x - 0.5f)), offsetY = float(int32_t(origin.y - 0.5f));
  const float alphaFactor = std::min(std::max(alpha, 0.0f), 1.0f);
  float image[4];
  ImageUv(image);
  static const TFrameUv NoFrame = {0, 0, 0, 0, 0, 0, 0, 0};
  TLVertex* out = gShared.vertices.data();
  uint32_t written = 0;
  for (int32_t i = particles.FirstLive(); i != TParticleCollection::None; i = particles.NextLive(i)) {
    const float* p = particles.GetRecord(i);
    float px = p[ParticlePosition] + offsetX, py = p[ParticlePosition + 1] + offsetY;
    const float ux = p[ParticleUp], uy = p[ParticleUp + 1], scale = p[ParticleScale];
    float a = mFrameSize.x * scale, b = mFrameSize.y * scale;
    float uv[4] = {image[0], image[1], image[2], image[3]};
    if (mAnimated) {
      int32_t f;
      const TFrameUv& frame =
          ParticleIndex(p[ParticleFrame], f) && f >= 0 && size_t(f) < mFrames.size() ? mFrames[size_t(f)] : NoFrame;
      uv[0] = frame.u0, uv[1] = frame.v0, uv[2] = frame.u1, uv[3] = frame.v1;
      if (trimmed) {
        a = frame.w * scale, b = frame.h * scale;
        float sx = frame.shiftX * scale, sy = frame.shiftY * scale;
        px += -sx * uy - sy * ux;
        py += sx * ux - sy * uy;
      }
    }
    const uint32_t colour = PackColour(p + ParticleColor, alphaFactor);
    for (uint32_t k = 0; k < perParticle; ++k) {
      const float* c = mPlain ? PlainCorners[k] : IndexedCorners[k];
      const uint8_t* corner = mPlain ? PlainUv[k] : IndexedUv[k];
      TLVertex& v = out[k];
      v.x = px - c[0] * a * uy - c[1] * b * ux;
      v.y = py + c[0] * a * ux - c[1] * b * uy;
      v.z = origin.z;
      v.diffuse = colour;
      v.u = uv[corner[0] * 2];
      v.v = uv[corner[1] * 2 + 1];
    }
    out += perParticle;
    written += perParticle;
  }
  return written;
}

void T2dParticleRenderer::Render(const TVec3& origin, float alpha, const TParticleCollection& particles) {
  if (particles.GetCapacity() == 0 || particles.GetLiveCount() == 0) return;
  uint32_t count = WriteVertices(origin, alpha, particles);
  TRenderer* renderer = TRenderer::GetInstance();
  renderer->SetTexture(mTexture);
  renderer->SetBlendMode(mBlendMode);
  const uint32_t perParticle = mPlain ? 6 : 4;
  const uint32_t chunk = mPlain ? MaxPlainQuads : MaxIndexedQuads;
  uint32_t quads = count / perParticle;
  for (uint32_t first = 0; first < quads; first += chunk) {
    uint32_t n = std::min(chunk, quads - first);
    TVertexList list{2, gShared.vertices.data() + size_t(first) * perParticle, n * perParticle};
    if (mPlain)
      renderer->DrawVertices(D3DPT_TRIANGLELIST, list);
    else
      renderer->DrawIndexedVertices(D3DPT_TRIANGLELIST, list, gShared.indices.data(), n * 6);
  }
}
