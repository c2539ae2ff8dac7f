// A windowed software display with a 3D device on its back buffer, the way the
// display code sets one up, presenting into memory.
#pragma once

#include <memory>

#include "graphics/device/soft_3d.h"
#include "graphics/device/soft_draw.h"

struct TDeviceRig {
  std::shared_ptr<TSoftAdapter> adapter;
  std::shared_ptr<TMemoryPresenter> presenter = std::make_shared<TMemoryPresenter>();
  std::shared_ptr<TSoftDraw> draw;
  std::shared_ptr<TSoftSurface> front, back, zbuffer;
  std::shared_ptr<TSoft3D> d3d;
  std::shared_ptr<TSoftDevice> device;

  explicit TDeviceRig(TSoftAdapterConfig config = {}) : adapter(std::make_shared<TSoftAdapter>(config)) {}

  // Windowed display of width x height with a 16-bit z buffer; DD_OK or the failure.
  TDevResult CreateWindowed(uint32_t width, uint32_t height) {
    TDevResult r = TSoftDraw::Create(adapter, draw);
    if (DevFailed(r)) return r;
    draw->SetPresenter(presenter);
    if (DevFailed(r = draw->SetCooperativeLevel(DDSCL_NORMAL))) return r;
    if (DevFailed(r = draw->SetWindowClientSize(width, height))) return r;
    TDevSurfaceDesc desc;
    desc.flags = DDSD_CAPS;
    desc.caps = DDSCAPS_PRIMARYSURFACE;
    if (DevFailed(r = draw->CreateSurface(desc, front))) return r;
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    desc.width = width;
    desc.height = height;
    if (DevFailed(r = draw->CreateSurface(desc, back))) return r;
    return CreateDevice(width, height);
  }

  TDevResult CreateDevice(uint32_t width, uint32_t height) {
    TDevSurfaceDesc z;
    z.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    z.caps = DDSCAPS_ZBUFFER;
    z.width = width;
    z.height = height;
    z.pixelFormat = PixelFormatZ(16);
    TDevResult r = draw->CreateSurface(z, zbuffer);
    if (DevFailed(r)) return r;
    back->AddAttachedSurface(zbuffer);
    if (DevFailed(r = TSoft3D::Create(draw, d3d))) return r;
    std::vector<TDevDeviceDesc> devices;
    d3d->EnumDevices(devices);
    return d3d->CreateDevice(devices.at(0).deviceGuid, back, device);
  }
};

// The render states of the 2D drawing code: no lighting and no depth test, culling as
// given (none by default).
inline void Set2dRenderStates(TSoftDevice& d, uint32_t cull = D3DCULL_NONE) {
  d.SetRenderState(D3DRENDERSTATE_LIGHTING, 0);
  d.SetRenderState(D3DRENDERSTATE_CULLMODE, cull);
  d.SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
}

// Stage 0's magnification and minification filters, both linear or both point.
inline void SetFilters(TSoftDevice& d, bool linear) {
  d.SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
  d.SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
}

// The left-handed off-centre orthographic projection of the 2D drawing code, with its
// texel offset: vertex (x, y) lands on pixel centre (x - 0.5 - offset, ...).
inline TDevMatrix OrthoProjection(float width, float height, float texelOffset = -0.5f) {
  float l = -texelOffset, r = width - texelOffset, t = -texelOffset, b = height - texelOffset;
  TDevMatrix m;
  m.m[0][0] = 2 / (r - l);
  m.m[1][1] = 2 / (t - b);
  m.m[3][0] = (l + r) / (l - r);
  m.m[3][1] = (t + b) / (b - t);
  return m;
}
