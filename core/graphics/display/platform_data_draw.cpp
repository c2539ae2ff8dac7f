// TPlatformData: the drawing back end. Frames, 2D and 3D state sets, texture, blend,
// filter, address, cull and depth states, viewports and clipping, fills, vertex
// submission and the renderer options.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/display/display_host.h"
#include "graphics/display/dx_texture_data.h"
#include "graphics/display/dx_trace.h"
#include "graphics/display/platform_data.h"
#include "graphics/display/texture_base.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr const char* Unit = "dxdisplayhandler";
constexpr uint32_t MaxIndexedCount = 65535;

TDevMatrix ToDevMatrix(const TMat4& m) {
  TDevMatrix d;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) d.m[r][c] = m.m[r][c];
  return d;
}

// The left-handed off-centre orthographic projection of 2D drawing, with z passed through.
TDevMatrix Ortho2d(float left, float right, float bottom, float top) {
  TDevMatrix m;
  m.m[0][0] = 2 / (right - left);
  m.m[1][1] = 2 / (top - bottom);
  m.m[3][0] = (left + right) / (left - right);
  m.m[3][1] = (top + bottom) / (bottom - top);
  m.m[2][2] = 1.0f;
  m.m[3][3] = 1.0f;
  m.m[2][3] = 0.0f;
  m.m[3][2] = 0.0f;
  return m;
}

// A colour's channels scaled into a surface format's masks.
uint32_t FillValue(const TPixelFormat& f, const TColor& c) {
  auto scale = [](float v, uint32_t mask) -> uint32_t {
    if (!mask) return 0;
    uint32_t shift = LowestBit(mask), max = mask >> shift;
    float clamped = std::min(std::max(v, 0.0f), 1.0f);
    return (uint32_t(clamped * float(max)) << shift) & mask;
  };
  return scale(c.r, f.redMask) | scale(c.g, f.greenMask) | scale(c.b, f.blueMask) | scale(c.a, f.alphaMask);
}

uint32_t AddressMode(int mode) {
  return mode == 1 ? D3DTADDRESS_WRAP : mode == 2 ? D3DTADDRESS_MIRROR : D3DTADDRESS_CLAMP;
}

}  // namespace

bool TPlatformData::BeginDraw(bool copyFront) {
  if (!mDevice || mBroken) return false;
  const auto& front = mContext->GetPrimarySurface();
  if (!front || DevFailed(front->IsLost())) {
    if (DisplayHost().HasFocus()) SetDirectXBroken();
    return false;
  }
  if (!mBackBuffer || DevFailed(mBackBuffer->IsLost())) return false;
  TDevResult r = front->GetFlipStatus(DDGFS_ISFLIPDONE);
  if (r == DDERR_WASSTILLDRAWING) return false;
  if (DevFailed(r)) TraceDxError(r, Unit, __LINE__);
  if (copyFront && !mContext->CopyFrontToBack()) {
    SetDirectXBroken();
    return false;
  }
  r = mDevice->BeginScene();
  if (r == DDERR_SURFACELOST) {
    LogPrintf("TRenderer::BeginDraw: DDERR_SURFACELOST on BeginScene");
    if (mInRestore) {
      SetDirectXBroken();
      return false;
    }
    Restore();
    if (mBroken || !mDevice) {
      mInFrame = false;
      return false;
    }
    r = mDevice->BeginScene();
    if (DevFailed(r)) {
      TraceDxError(r, Unit, __LINE__);
      SetDirectXBroken();
      mInFrame = false;
      return false;
    }
  } else if (DevFailed(r)) {
    TraceDxError(r, Unit, __LINE__);
    mInFrame = false;
    return false;
  }
  ++mWorkingCount;
  ApplyDeviceViewport(mDisplayRect);
  mContext->Clear(D3DCLEAR_ZBUFFER);
  ApplyViewport();
  mInFrame = true;
  return true;
}

void TPlatformData::EndDraw(bool present) {
  if (!mInFrame) return;
  mInFrame = false;
  if (!mDevice) return;
  TDevResult r = mDevice->EndScene();
  if (r == D3DERR_SCENE_END_FAILED) {
    SetDirectXBroken();
    return;
  }
  bool sceneFailed = DevFailed(r);
  if (sceneFailed) TraceDxError(r, Unit, __LINE__);
  if (std::shared_ptr<TTextureBase> capture = std::move(mCaptureTexture)) {
    if (BeginRenderTarget(capture, 0, TRect())) {
      EndRenderTarget();
    } else {
      SetCaptureTexture(capture);  // the next frame tries again
    }
  }
  if (present && !DisplayHost().IsDrawSuspended() && !sceneFailed) r = mContext->Present();
  if (r == DDERR_SURFACELOST) {
    LogPrintf("TPlatform::EndDraw: DDERR_SURFACELOST on UpdateFrame or EndScene");
    Restore();
  } else if (DevFailed(r)) {
    TraceDxError(r, Unit, __LINE__);
    LogPrintf("TPlatform::EndDraw: Unexpected error (see above) on UpdateFrame or EndScene");
    Restore();
  }
}

bool TPlatformData::Begin2d() {
  if (mDevice) {
    mDevice->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, 0);
    mDevice->SetRenderState(D3DRENDERSTATE_CLIPPING, 0);
  }
  SetTextureAddress(3, 3);
  SetBlendMode(0);
  SetFilter(1);
  SetZEnable(false);
  SetZWrite(false);
  SetCullMode(1);
  SetWorldTransform(TDevMatrix());
  SetViewTransform(TDevMatrix());
  mViewportDirty = true;
  mIn2d = true;
  return true;
}

// The renderer has let go of its texture (TRenderer::End2d).
void TPlatformData::End2d() {
  mIn2d = false;
  SetWorldTransform(TDevMatrix());
  SetViewTransform(TDevMatrix());
}

bool TPlatformData::Begin3d() {
  mIn2d = false;
  if (mDevice) {
    mDevice->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, mNoSpecular ? 0 : 1);
    mDevice->SetRenderState(D3DRENDERSTATE_CLIPPING, 1);
  }
  SetZEnable(true);
  SetZWrite(true);
  SetBlendMode(0);
  SetFilter(1);
  SetTextureAddress(1, 1);
  SetCullMode(3);
  return true;
}

void TPlatformData::SetTexture(const std::shared_ptr<TTextureBase>& texture) {
  if (!IsDeviceReady()) return;
  std::shared_ptr<TSoftSurface> surface;
  if (texture && texture->GetData()) surface = static_cast<TDxTextureData*>(texture->GetData())->GetSurface();
  mDevice->SetTexture(0, surface);
  ApplyBlendMode();
}

// Only a texture of the screen's size is taken.
void TPlatformData::SetCaptureTexture(const std::shared_ptr<TTextureBase>& texture) {
  if (!texture) {
    mCaptureTexture.reset();
    return;
  }
  int32_t width = 0, height = 0;
  if (!DisplayHost().GetScreenSize(width, height)) {
    width = mDisplayRect.Width();
    height = mDisplayRect.Height();
  }
  if (int64_t(texture->GetWidth()) == width && int64_t(texture->GetHeight()) == height) mCaptureTexture = texture;
}

bool TPlatformData::InModeFourTarget() const { return mRenderTargetTexture && mRenderTargetMode == 4; }

void TPlatformData::SetBlendMode(int mode) {
  mBlendMode = mode;
  if (!mDevice) return;
  TSoftDevice& d = *mDevice;
  if (!mDrawingEnabled) {
    d.SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO);
    d.SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    return;
  }
  bool modeFour = InModeFourTarget();
  auto blend = [&](uint32_t src, uint32_t dst) {
    d.SetRenderState(D3DRENDERSTATE_SRCBLEND, src);
    d.SetRenderState(D3DRENDERSTATE_DESTBLEND, dst);
    d.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  };
  switch (mode) {
    case 0: blend(D3DBLEND_SRCALPHA, modeFour ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA); break;
    case 1: d.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0); break;
    case 2: blend(D3DBLEND_SRCALPHA, D3DBLEND_ONE); break;
    case 3:
      if (!modeFour)
        blend(D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR);
      else if (mNewSubtractive)
        blend(D3DBLEND_ONE, D3DBLEND_ONE);
      else
        blend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
      break;
    case 4: blend(D3DBLEND_ZERO, D3DBLEND_SRCCOLOR); break;
    default: break;
  }
  ApplyBlendMode();
}

// The stage-0 set-up of the current blend mode. A mode-4 target (the red channel becomes
// the texture's alpha) draws with the ordinary stage.
void TPlatformData::ApplyBlendMode() {
  if (!mDevice) return;
  TSoftDevice& d = *mDevice;
  d.SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, 0xFFFFFFFFu);
  d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  if (mNewRenderBlend) d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  if (mBlendMode == 1 || (mBlendMode == 3 && mNewSubtractive)) {
    d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  } else {
    d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  }
}

void TPlatformData::SetCullMode(int mode) {
  if (!mDevice) return;
  uint32_t cull = mode == 2 ? D3DCULL_CW : mode == 3 ? D3DCULL_CCW : D3DCULL_NONE;
  mDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, cull);
}

void TPlatformData::SetFilter(int mode) {
  if (!mDevice || (mode != 0 && mode != 1)) return;
  bool linear = mode == 1;
  mDevice->SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
  mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
  mDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, linear ? D3DTFP_LINEAR : D3DTFP_POINT);
}

void TPlatformData::SetTextureAddress(int u, int v) {
  if (!mDevice) return;
  mDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, AddressMode(u));
  mDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, AddressMode(v));
}

void TPlatformData::SetZEnable(bool on) {
  mDepthTest = on;
  if (mDevice) mDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, on ? 1 : 0);
}

void TPlatformData::SetZWrite(bool on) {
  mDepthWrite = on;
  if (mDevice) mDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, on ? 1 : 0);
}

void TPlatformData::SetShadeMode(int mode) {
  if (mDevice) mDevice->SetRenderState(D3DRENDERSTATE_SHADEMODE, mode == 2 ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
}

void TPlatformData::SetWorldTransform(const TDevMatrix& matrix) {
  if (mDevice) mDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, matrix);
}

void TPlatformData::SetViewTransform(const TDevMatrix& matrix) {
  if (mDevice) mDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, matrix);
}

TRect TPlatformData::EffectiveViewport() const { return mViewport.Intersect(mDisplayRect).Intersect(mClipRect); }

void TPlatformData::SetProjection(float nearZ, float farZ, float fieldOfView, float aspect) {
  if (!mDevice) return;
  mNear = nearZ;
  mFar = farZ;
  TRect effective = EffectiveViewport();
  float width = float(std::max(effective.Width(), 1)), height = float(std::max(effective.Height(), 1));
  float viewportWidth = float(std::max(mViewport.Width(), 1)), viewportHeight = float(std::max(mViewport.Height(), 1));
  if (aspect == 0.0f) aspect = height / width;
  float ratio = height / viewportHeight;
  if (ratio != 1.0f) fieldOfView = 2 * std::atan(std::tan(fieldOfView * 0.5f) * ratio);
  TVec2 shift(float(effective.right - mViewport.right) / viewportWidth + float(effective.left - mViewport.left) / viewportWidth,
              float(effective.bottom - mViewport.bottom) / viewportHeight +
                  float(effective.top - mViewport.top) / viewportHeight);
  mCamera = ToDevMatrix(TMat4::Perspective(nearZ, farZ, fieldOfView, aspect, shift));
  mDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, mCamera);
}

std::unique_ptr<TTextureData> TPlatformData::NewTextureData() { return std::make_unique<TDxTextureData>(*this); }

void TPlatformData::SetAmbientLight(const TColor& colour) {
  if (mDevice) mDevice->SetRenderState(D3DRENDERSTATE_AMBIENT, ToColor32(colour));
}

void TPlatformData::SetMaterial(const TDevMaterial& material) {
  if (mDevice) mDevice->SetMaterial(material);
}

void TPlatformData::GetViewport(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const {
  left = mViewport.left, top = mViewport.top, right = mViewport.right, bottom = mViewport.bottom;
}

// The device viewport for a rectangle, kept inside the display; scaled when embedded.
bool TPlatformData::ApplyDeviceViewport(const TRect& rect) {
  if (!mDevice) return false;
  int32_t width = mDisplayRect.Width(), height = mDisplayRect.Height();
  int64_t left = std::max(rect.left, 0), top = std::max(rect.top, 0);
  int64_t right = std::max<int64_t>(rect.right, left), bottom = std::max<int64_t>(rect.bottom, top);
  if (left >= width) left = width - 1;
  if (top >= height) top = height - 1;
  right = std::min<int64_t>(right, width);
  bottom = std::min<int64_t>(bottom, height);
  double x = double(left), y = double(top), w = double(std::max<int64_t>(right - left, 0)),
         h = double(std::max<int64_t>(bottom - top, 0));
  IDisplayHost& host = DisplayHost();
  if (host.IsEmbeddedControl()) {
    double s = host.GetViewScale();
    x = std::trunc(x * s + 0.5), y = std::trunc(y * s + 0.5), w = std::trunc(w * s + 0.5), h = std::trunc(h * s + 0.5);
    if (s != 0 && width < (x + w) / s) w = std::trunc(width * s + 0.5) - x;
    if (s != 0 && height < (y + h) / s) h = std::trunc(height * s + 0.5) - y;
  }
  TDevViewport vp;
  vp.x = uint32_t(std::max(x, 0.0));
  vp.y = uint32_t(std::max(y, 0.0));
  vp.width = uint32_t(std::max(w, 0.0));
  vp.height = uint32_t(std::max(h, 0.0));
  return DevSucceeded(mDevice->SetViewport(vp));
}

bool TPlatformData::ApplyViewport() { return ApplyDeviceViewport(mViewport.Intersect(mClipRect)); }

void TPlatformData::SetViewport(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!mDevice) return;
  mViewportDirty = true;
  TRect previous = mViewport;
  mViewport = TRect(left, top, right, bottom);
  if (!ApplyViewport()) {
    LogPrintf("Bad viewport: %d, %d, %d, %d", left, top, right, bottom);
    mViewport = previous;
    ApplyViewport();
  }
}

void TPlatformData::PushViewport(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  mViewportStack.push_front(mViewport);
  SetViewport(left, top, right, bottom);
}

void TPlatformData::PopViewport() {
  if (mViewportStack.empty()) return;
  mViewport = mViewportStack.front();
  mViewportStack.pop_front();
  ApplyViewport();
  mViewportDirty = true;
}

bool TPlatformData::SetClipRect(const TRect& rect) {
  mClipRect = rect;
  mViewportDirty = true;
  return ApplyViewport();
}

void TPlatformData::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const TColor& colour,
                             const std::shared_ptr<TTextureBase>& target, const TRect& clip) {
  TRect rect(left, top, right, bottom);
  std::shared_ptr<TSoftSurface> surface = mBackBuffer;
  if (target) {
    rect = rect.Intersect(TRect(0, 0, int32_t(target->GetWidth()), int32_t(target->GetHeight())));
    surface = target->GetData() ? static_cast<TDxTextureData*>(target->GetData())->GetSurface() : nullptr;
  } else {
    rect = rect.Intersect(clip);
  }
  if (rect.IsEmpty() || !surface) return;
  TDevRect area{rect.left, rect.top, rect.right, rect.bottom};
  if (!ClipRect(area, int32_t(surface->Width()), int32_t(surface->Height()))) return;
  TDevBltFx fx;
  fx.fillColor = FillValue(surface->Format(), colour);
  TDevResult r = surface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  if (DevFailed(r)) TraceDxError(r, Unit, __LINE__);
}

void TPlatformData::DrawFillQuad(const TRect& rect, const TColor& colour) {
  float l = float(rect.left - mViewport.left), t = float(rect.top - mViewport.top);
  float r = float(rect.right - mViewport.left), b = float(rect.bottom - mViewport.top);
  uint32_t diffuse = ToColor32(colour);
  TLVertex quad[4] = {{l, t, 0.1f, 0.5f, diffuse, 0xFF000000u, 0, 0},
                      {r, t, 0.1f, 0.5f, diffuse, 0xFF000000u, 1, 0},
                      {r, b, 0.1f, 0.5f, diffuse, 0xFF000000u, 1, 1},
                      {l, b, 0.1f, 0.5f, diffuse, 0xFF000000u, 0, 1}};
  if (mDevice) mDevice->SetTexture(0, nullptr);
  DrawVertices(D3DPT_TRIANGLEFAN, TVertexList{2, quad, 4});
}

void TPlatformData::VertexFormatStep(int32_t kind, uint32_t& fvf) {
  bool lit = kind < 1 || kind > 3;
  mDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, lit ? 1 : 0);
  fvf = kind == 3 ? DevFvfTransformed : lit ? DevFvfNormal : DevFvfLitXyz;
  if (kind == 3 || !mViewportDirty || !mIn2d) return;
  mViewportDirty = false;
  TRect effective = EffectiveViewport();
  float w = float(effective.Width()), h = float(effective.Height());
  float dx = float(std::max(mClipRect.left - mViewport.left, 0));
  float dy = float(std::max(mClipRect.top - mViewport.top, 0));
  float t = mTexelOffset;
  if (w <= 0 || h <= 0) return;  // nothing can be drawn; the next change rebuilds it
  mDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, Ortho2d(dx - t, dx + w - t, dy + h - t, dy - t));
}

// Every vertex fully transparent under a blend that weighs the source by its alpha (modes
// 0 and 2, whose alpha is the texture's times the vertex's), and no depth written: the draw
// changes nothing. Faded-out images and overlays at rest cost no pixels then.
bool TPlatformData::LeavesNoTrace(const TVertexList& list) const {
  if ((list.kind != 2 && list.kind != 3) || (mBlendMode != 0 && mBlendMode != 2) || (mDepthTest && mDepthWrite))
    return false;
  for (uint32_t i = 0; i < list.count; ++i)
    if (list.vertices[i].diffuse >> 24) return false;
  return true;
}

void TPlatformData::DrawVertices(uint32_t primitive, const TVertexList& list) {
  if (mBroken || !mDevice || LeavesNoTrace(list)) return;
  if (IsEnabled("brokenindexedverts")) {
    uint32_t count = std::min(list.count, MaxIndexedCount);
    // The capacity counts in 32 bits: doubling past 32768 must reach 65536.
    if (!mIndexBuffer || mIndexCapacity < count) {
      mIndexBuffer.reset();
      if (mIndexCapacity == 0) mIndexCapacity = 1;
      while (mIndexCapacity < count) mIndexCapacity *= 2;
      mIndexBuffer.reset(new uint16_t[mIndexCapacity]);
      for (uint32_t i = 0; i < mIndexCapacity; ++i) mIndexBuffer[i] = uint16_t(i);
    }
    DrawIndexedVertices(primitive, list, mIndexBuffer.get(), count);
    return;
  }
  uint32_t fvf;
  VertexFormatStep(list.kind, fvf);
  TDevResult r = mDevice->DrawPrimitive(D3DPRIMITIVETYPE(primitive), fvf, list.vertices, list.count, 0);
  if (r == DDERR_OUTOFVIDEOMEMORY) {
    LogPrintf("DrawVertices out of video memory");
    OnOutOfVideoMemory();
  } else if (DevFailed(r)) {
    TraceDxError(r, Unit, __LINE__);
    SetDirectXBroken();
  }
}

void TPlatformData::DrawIndexedVertices(uint32_t primitive, const TVertexList& list, const uint16_t* indices,
                                        uint32_t indexCount) {
  if (mBroken || !mDevice || LeavesNoTrace(list)) return;
  uint32_t fvf;
  VertexFormatStep(list.kind, fvf);
  TDevResult r;
  if (mIndexedExpansionAllowed && mContext->GetExpandIndexedDraws()) {
    mExpanded.resize(indexCount);
    for (uint32_t i = 0; i < indexCount; ++i) {
      if (indices[i] >= list.count) return;  // an index past the list draws nothing
      mExpanded[i] = list.vertices[indices[i]];
    }
    r = mDevice->DrawPrimitive(D3DPRIMITIVETYPE(primitive), fvf, mExpanded.data(), indexCount, 0);
  } else {
    r = mDevice->DrawIndexedPrimitive(D3DPRIMITIVETYPE(primitive), fvf, list.vertices, list.count, indices,
                                      indexCount, 0);
  }
  if (DevFailed(r)) TraceDxError(r, Unit, __LINE__);
}

void TPlatformData::SetOption(const TString& name, const TString& value) {
  bool on = value.ToInt() > 0;
  if (name == "antialias") {
    mAntialias = on;
    if (mDevice)
      mDevice->SetRenderState(D3DRENDERSTATE_ANTIALIAS, on ? D3DANTIALIAS_SORTINDEPENDENT : D3DANTIALIAS_NONE);
  } else if (name == "hint_antialias") {
    mAntialiasHint = on;
  } else if (name == "new_subtractive") {
    mNewSubtractive = on;
  } else if (name == "new_render_blend") {
    mNewRenderBlend = on;
  }
}

TString TPlatformData::GetOption(const TString& name) const {
  auto flag = [](bool on) { return TString(on ? "1" : "0"); };
  if (name == "antialias") return flag(mAntialias);
  if (name == "hint_antialias") return flag(mAntialiasHint);
  if (name == "new_subtractive") return flag(mNewSubtractive);
  if (name == "16bitmode") return flag(mLowMemoryVideo || mColourDepth == 15 || mColourDepth == 16);
  return TString();
}

bool TPlatformData::CanUseAnyTextureSize() const {
  if (!mDevice) return true;
  TDevDeviceDesc caps;
  mDevice->GetCaps(caps);
  return !(caps.triCaps.textureCaps & (D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY));
}

bool TPlatformData::IsFrameDone() {
  if (!mContext || !mBackBuffer) return false;
  TDevResult r = mFullScreen ? mBackBuffer->GetFlipStatus(DDGFS_ISFLIPDONE) : mBackBuffer->GetBltStatus(DDGBS_ISBLTDONE);
  return r != DDERR_WASSTILLDRAWING;
}

TDevResult TPlatformData::WaitForFlip() {
  const auto& front = mContext->GetPrimarySurface();
  if (!front) return DD_OK;
  TDevResult r;
  while ((r = front->GetFlipStatus(DDGFS_ISFLIPDONE)) == DDERR_WASSTILLDRAWING) DisplayHost().Sleep(1);
  return r;
}
