#pragma once
// Particle renderers turn the live records of a particle system into textured quads.
// T2dParticleRenderer is the one kind: it reads the standard members at the start of each
// record (pPosition x, y; pUp x, y; pScale; pColor r, g, b, a; pFrame) and submits every
// particle of a system in one indexed triangle-list draw (a plain triangle list with the
// setting "brokenindexedverts"). The vertex and index buffers are shared by all renderers
// and only grow; every draw writes each vertex's position, colour and texture
// coordinates, so renderers of different textures never see each other's coordinates.
// Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/display/dx_context.h"
#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"

class TAnimatedTexture;
class TParticleCollection;
class TTexture;

// The standard members' offsets in the record.
constexpr uint32_t ParticlePosition = 0, ParticleUp = 2, ParticleScale = 4, ParticleColor = 5, ParticleFrame = 9;
constexpr uint32_t ParticleStandardFloats = 10;

class TParticleRenderer {
 public:
  virtual ~TParticleRenderer() = default;
  // Draws the live particles relative to the origin, their alpha multiplied by alpha.
  virtual void Render(const TVec3& origin, float alpha, const TParticleCollection& particles) = 0;
  virtual void SetTexture(const std::shared_ptr<TTexture>& texture) = 0;
  virtual void SetOption(const TString& name, const TVec4& value) = 0;
  virtual const float* GetDefaultRecord() const = 0;
  virtual uint32_t GetDefaultRecordSize() const = 0;
  // Lua text that declares the renderer's members; it runs before the effect script.
  virtual TString GetMemberDeclaration() const = 0;
};

class T2dParticleRenderer : public TParticleRenderer {
 public:
  T2dParticleRenderer();
  ~T2dParticleRenderer() override;
  T2dParticleRenderer(const T2dParticleRenderer&) = delete;
  T2dParticleRenderer& operator=(const T2dParticleRenderer&) = delete;

  void Render(const TVec3& origin, float alpha, const TParticleCollection& particles) override;
  // Keeps the texture; its size becomes the frame size.
  void SetTexture(const std::shared_ptr<TTexture>& texture) override;
  // "blendmode": the renderer's blend mode number, truncated. Other names are ignored.
  void SetOption(const TString& name, const TVec4& value) override;
  const float* GetDefaultRecord() const override { return mDefault; }
  uint32_t GetDefaultRecordSize() const override { return ParticleStandardFloats; }
  TString GetMemberDeclaration() const override;

  // Writes the vertices of the live particles into the shared buffer (growing it for the
  // collection's capacity) and answers how many it wrote; Render submits them.
  uint32_t WriteVertices(const TVec3& origin, float alpha, const TParticleCollection& particles);
  // The shared buffers, for the tests.
  static const TLVertex* GetVertices();
  static const uint16_t* GetIndices();
  static uint32_t GetVertexCapacity();

  int32_t GetBlendMode() const { return mBlendMode; }
  const TVec2& GetFrameSize() const { return mFrameSize; }
  bool UsesPlainVertices() const { return mPlain; }

 private:
  struct TFrameUv {
    float u0, v0, u1, v1;
    float w, h, shiftX, shiftY;  // the frame's size and its offset from frame 0's centre
  };
  void PrepareFrames();
  // The image's texture coordinates inside its surface; the whole 0..1 square without data.
  void ImageUv(float uv[4]) const;

  int32_t mBlendMode = 0;
  TVec2 mFrameSize{1, 1};
  float mDefault[ParticleStandardFloats] = {0, 0, 0, -1, 1, 1, 1, 1, 1, 0};
  std::shared_ptr<TTexture> mTexture;
  std::shared_ptr<TAnimatedTexture> mAnimated;
  bool mPlain = false;
  std::vector<TFrameUv> mFrames;  // per frame of an animated texture, made at each draw
};
