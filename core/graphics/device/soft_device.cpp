#include "graphics/device/soft_device.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "graphics/device/mip_levels.h"
#include "graphics/device/vertex_pipeline.h"

namespace {

bool IsColorLayout(TPixelLayout l) {
  return l == TPixelLayout::Argb8888 || l == TPixelLayout::Xrgb8888 || l == TPixelLayout::Rgb565 ||
         l == TPixelLayout::Argb4444;
}

uint32_t DepthClearValue(float z, int bits) {
  int64_t fixed = std::llround(std::ldexp(double(std::clamp(z, 0.0f, 1.0f)), DepthFracBits));
  int64_t v = bits == 16 ? fixed >> (DepthFracBits - 16) : fixed;
  return uint32_t(std::min<int64_t>(v, bits == 16 ? 0xFFFF : 0xFFFFFFFFll));
}

}  // namespace

TSoftDevice::TSoftDevice(std::shared_ptr<TSoftAdapter> adapter, std::shared_ptr<TSoftSurface> target,
                         const TDevDeviceDesc& desc)
    : mAdapter(std::move(adapter)), mTarget(std::move(target)), mDesc(desc) {
  mViewport = {0, 0, mTarget->Width(), mTarget->Height(), 0.0f, 1.0f};
  uint32_t* rs = mRenderStates;
  rs[D3DRENDERSTATE_ZENABLE] = mTarget->AttachedZBuffer() ? 1 : 0;
  rs[D3DRENDERSTATE_ZWRITEENABLE] = 1;
  rs[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
  rs[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRENDERSTATE_FILLMODE] = 3;
  rs[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = 1;
  rs[D3DRENDERSTATE_LASTPIXEL] = 1;
  rs[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFF;
  rs[D3DRENDERSTATE_CLIPPING] = 1;
  rs[D3DRENDERSTATE_LIGHTING] = 1;
  rs[D3DRENDERSTATE_COLORVERTEX] = 1;
  rs[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  rs[D3DRENDERSTATE_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  for (uint32_t stage = 0; stage < DevStageCount; ++stage) {
    uint32_t* ss = mStageStates[stage];
    ss[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ss[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ss[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ss[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ss[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ss[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ss[D3DTSS_TEXCOORDINDEX] = stage;
    ss[D3DTSS_ADDRESS] = ss[D3DTSS_ADDRESSU] = ss[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ss[D3DTSS_MAGFILTER] = D3DTFG_POINT;
    ss[D3DTSS_MINFILTER] = D3DTFN_POINT;
    ss[D3DTSS_MIPFILTER] = D3DTFP_NONE;
  }
}

void TSoftDevice::Record(const char* call, uint64_t a, uint64_t b, uint64_t c) {
  if (!mRecorder) return;
  char line[128];
  std::snprintf(line, sizeof line, "%s %llu %llu %llu", call, static_cast<unsigned long long>(a),
                static_cast<unsigned long long>(b), static_cast<unsigned long long>(c));
  mRecorder->push_back(line);
}

TDevResult TSoftDevice::GetCaps(TDevDeviceDesc& out) const {
  out = mDesc;
  return D3D_OK;
}

TDevResult TSoftDevice::BeginScene() {
  Record("BeginScene");
  TDevResult fault = mAdapter->TakeFault(TDevCall::BeginScene);
  if (fault != DD_OK) return fault;
  if (mInScene) return D3DERR_SCENE_IN_SCENE;
  if (DevFailed(mTarget->IsLost())) return DDERR_SURFACELOST;
  mInScene = true;
  return D3D_OK;
}

TDevResult TSoftDevice::EndScene() {
  Record("EndScene");
  if (!mInScene) return D3DERR_SCENE_NOT_IN_SCENE;
  mInScene = false;
  TDevResult fault = mAdapter->TakeFault(TDevCall::EndScene);
  if (fault != DD_OK) return fault;
  return DevFailed(mTarget->IsLost()) ? DDERR_SURFACELOST : D3D_OK;
}

TDevResult TSoftDevice::Clear(uint32_t count, const TDevRect* rects, uint32_t flags, uint32_t color, float z, uint32_t) {
  Record("Clear", flags, color);
  TDevResult fault = mAdapter->TakeFault(TDevCall::Clear);
  if (fault != DD_OK) return fault;
  if (DevFailed(mTarget->IsLost())) return DDERR_SURFACELOST;
  std::shared_ptr<TSoftSurface> zbuffer = mTarget->AttachedZBuffer();
  if ((flags & D3DCLEAR_ZBUFFER) && !zbuffer) return DDERR_INVALIDPARAMS;
  if (flags & D3DCLEAR_STENCIL) return DDERR_INVALIDPARAMS;  // no stencil formats are offered
  TDevRect area{int32_t(mViewport.x), int32_t(mViewport.y), int32_t(mViewport.x + mViewport.width),
                int32_t(mViewport.y + mViewport.height)};
  uint32_t n = rects && count ? count : 1;
  for (uint32_t i = 0; i < n; ++i) {
    TDevRect r = area;
    if (rects && count) {
      r.left = std::max(r.left, rects[i].left);
      r.top = std::max(r.top, rects[i].top);
      r.right = std::min(r.right, rects[i].right);
      r.bottom = std::min(r.bottom, rects[i].bottom);
    }
    if (!ClipRect(r, int32_t(mTarget->Width()), int32_t(mTarget->Height()))) continue;
    if (flags & D3DCLEAR_TARGET) mTarget->FillRaw(r, PackArgb(mTarget->Format(), color));
    if ((flags & D3DCLEAR_ZBUFFER) && ClipRect(r, int32_t(zbuffer->Width()), int32_t(zbuffer->Height())))
      zbuffer->FillRaw(r, DepthClearValue(z, int(zbuffer->Format().bitCount)));
  }
  return D3D_OK;
}

TDevResult TSoftDevice::SetViewport(const TDevViewport& vp) {
  Record("SetViewport", uint64_t(vp.x) << 32 | vp.y, uint64_t(vp.width) << 32 | vp.height);
  TDevResult fault = mAdapter->TakeFault(TDevCall::SetViewport);
  if (fault != DD_OK) return fault;
  if (uint64_t(vp.x) + vp.width > mTarget->Width() || uint64_t(vp.y) + vp.height > mTarget->Height() ||
      !(vp.minZ >= 0.0f && vp.maxZ <= 1.0f && vp.minZ <= vp.maxZ))
    return DDERR_INVALIDPARAMS;
  mViewport = vp;
  return D3D_OK;
}

TDevResult TSoftDevice::GetViewport(TDevViewport& out) const {
  out = mViewport;
  return D3D_OK;
}

TDevResult TSoftDevice::SetTransform(D3DTRANSFORMSTATETYPE type, const TDevMatrix& m) {
  Record("SetTransform", type);
  switch (type) {
    case D3DTRANSFORMSTATE_WORLD: mWorld = m; return D3D_OK;
    case D3DTRANSFORMSTATE_VIEW: mView = m; return D3D_OK;
    case D3DTRANSFORMSTATE_PROJECTION: mProjection = m; return D3D_OK;
  }
  return DDERR_INVALIDPARAMS;
}

TDevResult TSoftDevice::GetTransform(D3DTRANSFORMSTATETYPE type, TDevMatrix& out) const {
  switch (type) {
    case D3DTRANSFORMSTATE_WORLD: out = mWorld; return D3D_OK;
    case D3DTRANSFORMSTATE_VIEW: out = mView; return D3D_OK;
    case D3DTRANSFORMSTATE_PROJECTION: out = mProjection; return D3D_OK;
  }
  return DDERR_INVALIDPARAMS;
}

TDevResult TSoftDevice::SetMaterial(const TDevMaterial& material) {
  Record("SetMaterial");
  mMaterial = material;
  return D3D_OK;
}

TDevResult TSoftDevice::GetMaterial(TDevMaterial& out) const {
  out = mMaterial;
  return D3D_OK;
}

TDevResult TSoftDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
  Record("SetRenderState", state, value);
  if (state >= DevRenderStateCount) return DDERR_INVALIDPARAMS;
  mRenderStates[state] = value;
  return D3D_OK;
}

TDevResult TSoftDevice::GetRenderState(D3DRENDERSTATETYPE state, uint32_t& value) const {
  if (state >= DevRenderStateCount) return DDERR_INVALIDPARAMS;
  value = mRenderStates[state];
  return D3D_OK;
}

TDevResult TSoftDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) {
  Record("SetTextureStageState", stage, type, value);
  if (stage >= DevStageCount || type >= DevStageStateCount) return DDERR_INVALIDPARAMS;
  mStageStates[stage][type] = value;
  if (type == D3DTSS_ADDRESS) mStageStates[stage][D3DTSS_ADDRESSU] = mStageStates[stage][D3DTSS_ADDRESSV] = value;
  return D3D_OK;
}

TDevResult TSoftDevice::GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t& value) const {
  if (stage >= DevStageCount || type >= DevStageStateCount) return DDERR_INVALIDPARAMS;
  value = mStageStates[stage][type];
  return D3D_OK;
}

TDevResult TSoftDevice::SetTexture(uint32_t stage, std::shared_ptr<TSoftSurface> texture) {
  Record("SetTexture", stage, texture ? 1 : 0);
  if (stage >= DevStageCount) return DDERR_INVALIDPARAMS;
  if (texture && !IsColorLayout(texture->Layout())) return DDERR_INVALIDPIXELFORMAT;
  mTextures[stage] = std::move(texture);
  return D3D_OK;
}

TDevResult TSoftDevice::GetTexture(uint32_t stage, std::shared_ptr<TSoftSurface>& out) const {
  if (stage >= DevStageCount) return DDERR_INVALIDPARAMS;
  out = mTextures[stage];
  return D3D_OK;
}

TDevResult TSoftDevice::SetRenderTarget(std::shared_ptr<TSoftSurface> target, uint32_t) {
  Record("SetRenderTarget", target ? target->Format().bitCount : 0);
  if (!target || !(target->Caps() & DDSCAPS_3DDEVICE) || !IsColorLayout(target->Layout())) return DDERR_INVALIDPARAMS;
  TDevResult fault = mAdapter->TakeFault(TDevCall::SetRenderTarget);
  if (fault != DD_OK) return fault;
  if (mAdapter->RefusedRenderTargetDepth() == target->Format().bitCount) return DDERR_CURRENTLYNOTAVAIL;
  if (DevFailed(target->IsLost())) return DDERR_SURFACELOST;
  mTarget = std::move(target);
  // Keep the viewport inside the new target.
  mViewport.x = std::min(mViewport.x, mTarget->Width());
  mViewport.y = std::min(mViewport.y, mTarget->Height());
  mViewport.width = std::min(mViewport.width, mTarget->Width() - mViewport.x);
  mViewport.height = std::min(mViewport.height, mTarget->Height() - mViewport.y);
  return D3D_OK;
}

TDevResult TSoftDevice::GetRenderTarget(std::shared_ptr<TSoftSurface>& out) const {
  out = mTarget;
  return D3D_OK;
}

TRasterState TSoftDevice::ResolveState() const {
  TRasterState s;
  const uint32_t* rs = mRenderStates;
  const uint32_t* ss = mStageStates[0];
  TSoftSurface& t = *mTarget;
  s.target = {t.Pixels(), t.Pitch(), int32_t(t.Width()), int32_t(t.Height()), t.Layout(), t.Format()};
  if (auto z = t.AttachedZBuffer()) s.depth = {z->Pixels(), z->Pitch(), int32_t(z->Format().bitCount)};
  const auto& tex = mTextures[0];
  if (tex && ss[D3DTSS_COLOROP] != D3DTOP_DISABLE)
    s.texture = {tex->Pixels(), tex->Pitch(), int32_t(tex->Width()), int32_t(tex->Height()), tex->Layout(), tex->Format()};
  s.scissor = {int32_t(mViewport.x), int32_t(mViewport.y), int32_t(mViewport.x + mViewport.width),
               int32_t(mViewport.y + mViewport.height)};
  ClipRect(s.scissor, s.target.width, s.target.height);
  s.cull = rs[D3DRENDERSTATE_CULLMODE];
  s.flatShade = rs[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT;
  s.zEnable = rs[D3DRENDERSTATE_ZENABLE] != 0;
  s.zWrite = rs[D3DRENDERSTATE_ZWRITEENABLE] != 0;
  s.zFunc = rs[D3DRENDERSTATE_ZFUNC];
  s.alphaTest = rs[D3DRENDERSTATE_ALPHATESTENABLE] != 0;
  s.alphaFunc = rs[D3DRENDERSTATE_ALPHAFUNC];
  s.alphaRef = rs[D3DRENDERSTATE_ALPHAREF];
  s.blend = rs[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
  s.srcBlend = rs[D3DRENDERSTATE_SRCBLEND];
  s.dstBlend = rs[D3DRENDERSTATE_DESTBLEND];
  s.textureFactor = rs[D3DRENDERSTATE_TEXTUREFACTOR];
  s.specular = rs[D3DRENDERSTATE_SPECULARENABLE] != 0;
  s.colorOp = ss[D3DTSS_COLOROP];
  s.colorArg1 = ss[D3DTSS_COLORARG1];
  s.colorArg2 = ss[D3DTSS_COLORARG2];
  s.alphaOp = ss[D3DTSS_ALPHAOP];
  s.alphaArg1 = ss[D3DTSS_ALPHAARG1];
  s.alphaArg2 = ss[D3DTSS_ALPHAARG2];
  s.addressU = ss[D3DTSS_ADDRESSU];
  s.addressV = ss[D3DTSS_ADDRESSV];
  s.magLinear = ss[D3DTSS_MAGFILTER] == D3DTFG_LINEAR;
  s.minLinear = ss[D3DTSS_MINFILTER] == D3DTFN_LINEAR;
  if (s.texture.pixels && ss[D3DTSS_MIPFILTER] != D3DTFP_NONE)
    s.mips = RasterMipChainOf(*tex, ss[D3DTSS_MIPFILTER] == D3DTFP_LINEAR);
  PrepareRasterState(s);
  return s;
}

TDevResult TSoftDevice::CheckDraw(D3DPRIMITIVETYPE type, uint32_t fvf) const {
  if (!mInScene) return D3DERR_SCENE_NOT_IN_SCENE;
  TDevResult fault = mAdapter->TakeFault(TDevCall::DrawPrimitive);
  if (fault != DD_OK) return fault;
  if (DevFailed(mTarget->IsLost())) return DDERR_SURFACELOST;
  if (mTarget->IsLocked()) return DDERR_SURFACEBUSY;
  if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLEFAN && type != D3DPT_LINELIST) return DDERR_INVALIDPARAMS;
  if (fvf != DevFvfLitXyz && fvf != DevFvfTransformed && fvf != DevFvfNormal) return DDERR_INVALIDPARAMS;
  return D3D_OK;
}

TDevResult TSoftDevice::Draw(D3DPRIMITIVETYPE type, uint32_t fvf, const void* vertices, uint32_t vertexCount,
                             const uint16_t* indices, uint32_t count) {
  TVertexPipeline p;
  p.world = &mWorld;
  p.view = &mView;
  p.projection = &mProjection;
  p.material = &mMaterial;
  p.ambient = mRenderStates[D3DRENDERSTATE_AMBIENT];
  p.lighting = mRenderStates[D3DRENDERSTATE_LIGHTING] != 0;
  p.viewport = mViewport;
  if (!ProcessVertices(p, fvf, vertices, vertexCount, mBatch)) return DDERR_INVALIDPARAMS;
  DrawPrimitives(ResolveState(), p, fvf != DevFvfTransformed, type, mBatch, indices, count);
  return D3D_OK;
}

TDevResult TSoftDevice::DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf, const void* vertices, uint32_t count,
                                      uint32_t) {
  Record("DrawPrimitive", type, fvf, count);
  TDevResult r = CheckDraw(type, fvf);
  if (DevFailed(r)) return r;
  if (count == 0) return D3D_OK;
  if (!vertices) return DDERR_INVALIDPARAMS;
  return Draw(type, fvf, vertices, count, nullptr, count);
}

TDevResult TSoftDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf, const void* vertices,
                                             uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount,
                                             uint32_t) {
  Record("DrawIndexedPrimitive", type, fvf, indexCount);
  TDevResult r = CheckDraw(type, fvf);
  if (DevFailed(r)) return r;
  if (indexCount == 0) return D3D_OK;
  if (!vertices || !indices) return DDERR_INVALIDPARAMS;
  for (uint32_t i = 0; i < indexCount; ++i)
    if (indices[i] >= vertexCount) return DDERR_INVALIDPARAMS;
  return Draw(type, fvf, vertices, vertexCount, indices, indexCount);
}
