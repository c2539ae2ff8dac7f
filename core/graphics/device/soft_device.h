// The 3D device of the software device, shaped like a Direct3D 7 device: scenes,
// clears, viewport, transforms, material and ambient light, render states and the
// stage-0 texture states, texture and render target, and drawing of triangle lists,
// triangle fans and line lists in the three 32-byte vertex formats.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/device/adapter.h"
#include "graphics/device/device_types.h"
#include "graphics/device/raster_types.h"
#include "graphics/device/soft_surface.h"
#include "graphics/device/vertex_pipeline.h"

class TSoftDevice {
 public:
  // Made by TSoft3D::CreateDevice on a render target (a surface with DDSCAPS_3DDEVICE).
  TSoftDevice(std::shared_ptr<TSoftAdapter> adapter, std::shared_ptr<TSoftSurface> target, const TDevDeviceDesc& desc);

  TDevResult GetCaps(TDevDeviceDesc& out) const;
  TDevResult BeginScene();
  TDevResult EndScene();
  bool InScene() const { return mInScene; }
  // Clears the viewport (or the given rectangles within it): D3DCLEAR_TARGET with
  // colour (0xAARRGGBB), D3DCLEAR_ZBUFFER with z in 0..1.
  TDevResult Clear(uint32_t count, const TDevRect* rects, uint32_t flags, uint32_t color, float z, uint32_t stencil);
  // Refused (DDERR_INVALIDPARAMS) when the rectangle leaves the render target.
  TDevResult SetViewport(const TDevViewport& viewport);
  TDevResult GetViewport(TDevViewport& out) const;
  TDevResult SetTransform(D3DTRANSFORMSTATETYPE type, const TDevMatrix& matrix);
  TDevResult GetTransform(D3DTRANSFORMSTATETYPE type, TDevMatrix& out) const;
  TDevResult SetMaterial(const TDevMaterial& material);
  TDevResult GetMaterial(TDevMaterial& out) const;
  TDevResult SetRenderState(D3DRENDERSTATETYPE state, uint32_t value);
  TDevResult GetRenderState(D3DRENDERSTATETYPE state, uint32_t& value) const;
  TDevResult SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value);
  TDevResult GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t& value) const;
  // Only stage 0 is drawn with; a null surface draws untextured.
  TDevResult SetTexture(uint32_t stage, std::shared_ptr<TSoftSurface> texture);
  TDevResult GetTexture(uint32_t stage, std::shared_ptr<TSoftSurface>& out) const;
  // The surface must have DDSCAPS_3DDEVICE; its attached z buffer (if any) is used.
  TDevResult SetRenderTarget(std::shared_ptr<TSoftSurface> target, uint32_t flags);
  TDevResult GetRenderTarget(std::shared_ptr<TSoftSurface>& out) const;

  // Triangle lists, triangle fans and line lists; vertex formats DevFvfLitXyz (0x1E2),
  // DevFvfTransformed (0x1C4) and DevFvfNormal (0x112). Must be inside a scene.
  TDevResult DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf, const void* vertices, uint32_t count, uint32_t flags);
  // 16-bit indices, up to 65535 and beyond; an index past the vertex count refuses
  // the whole call (DDERR_INVALIDPARAMS) before anything is drawn.
  TDevResult DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf, const void* vertices, uint32_t vertexCount,
                                  const uint16_t* indices, uint32_t indexCount, uint32_t flags);

  // Records every state and draw call as a line of text ("SetRenderState 27 1").
  void SetRecorder(std::vector<std::string>* lines) { mRecorder = lines; }
  // The pipeline state a draw would use now (for tests and the benchmark).
  TRasterState ResolveState() const;

 private:
  TDevResult CheckDraw(D3DPRIMITIVETYPE type, uint32_t fvf) const;
  TDevResult Draw(D3DPRIMITIVETYPE type, uint32_t fvf, const void* vertices, uint32_t vertexCount,
                  const uint16_t* indices, uint32_t count);
  void Record(const char* call, uint64_t a = 0, uint64_t b = 0, uint64_t c = 0);

  std::shared_ptr<TSoftAdapter> mAdapter;
  std::shared_ptr<TSoftSurface> mTarget;
  TDevDeviceDesc mDesc;
  bool mInScene = false;
  TDevViewport mViewport;
  TDevMatrix mWorld, mView, mProjection;
  TDevMaterial mMaterial;
  uint32_t mRenderStates[DevRenderStateCount] = {};
  uint32_t mStageStates[DevStageCount][DevStageStateCount] = {};
  std::shared_ptr<TSoftSurface> mTextures[DevStageCount];
  std::vector<std::string>* mRecorder = nullptr;
  TVertexBatch mBatch;  // the vertices of the current draw, reused between draws
};
