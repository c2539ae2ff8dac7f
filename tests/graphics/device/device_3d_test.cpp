// The 3D device: scenes, faults, viewport, clears, render targets, indexed and line
// drawing, depth, culling and lighting.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device_rig.h"

namespace {

uint32_t Pixel(const TSoftSurface& s, uint32_t x, uint32_t y) {
  uint32_t p;
  std::memcpy(&p, s.Pixels() + y * s.Pitch() + x * 4, 4);
  return p & 0x00FFFFFF;
}

TDevVertexTransformed T(float x, float y, uint32_t color, float z = 0.5f, float rhw = 1.0f) {
  return {x, y, z, rhw, color, 0, 0, 0};
}

void Flat2d(TSoftDevice& d) {
  Set2dRenderStates(d);
  d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
}

struct TRig3d : TDeviceRig {
  TRig3d(uint32_t w = 32, uint32_t h = 32) { EXPECT_EQ(CreateWindowed(w, h), DD_OK); }
};

}  // namespace

TEST(Device3d, ScenesAndInjectedFailures) {
  TRig3d rig;
  TSoftDevice& d = *rig.device;
  EXPECT_EQ(d.EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
  TDevVertexTransformed tri[3] = {T(0, 0, 0), T(8, 0, 0), T(0, 8, 0)};
  EXPECT_EQ(d.DrawPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, tri, 3, 0), D3DERR_SCENE_NOT_IN_SCENE);
  ASSERT_EQ(d.BeginScene(), D3D_OK);
  EXPECT_EQ(d.BeginScene(), D3DERR_SCENE_IN_SCENE);
  rig.adapter->FailNext(TDevCall::EndScene, D3DERR_SCENE_END_FAILED);
  EXPECT_EQ(d.EndScene(), static_cast<TDevResult>(0x887602FBu));
  EXPECT_FALSE(d.InScene());
  rig.draw->LoseAllSurfaces();
  EXPECT_EQ(d.BeginScene(), DDERR_SURFACELOST);
  EXPECT_EQ(DDERR_SURFACELOST, static_cast<TDevResult>(0x887601C2u));
  EXPECT_EQ(DDERR_OUTOFVIDEOMEMORY, static_cast<TDevResult>(0x8876017Cu));
  EXPECT_EQ(DDERR_WASSTILLDRAWING, static_cast<TDevResult>(0x8876021Cu));

  TDeviceRig failing;
  failing.adapter->FailNext(TDevCall::CreateDevice, D3DERR_ZBUFF_NEEDS_VIDEOMEMORY);
  EXPECT_EQ(failing.CreateWindowed(16, 16), static_cast<TDevResult>(0x887602EBu));
  EXPECT_FALSE(failing.device);
}

TEST(Device3d, ViewportClearAndRefusedViewport) {
  TRig3d rig;
  TSoftDevice& d = *rig.device;
  TDevViewport vp{4, 4, 8, 8, 0, 1};
  ASSERT_EQ(d.SetViewport(vp), D3D_OK);
  TDevViewport bad{30, 0, 8, 8, 0, 1};
  EXPECT_EQ(d.SetViewport(bad), DDERR_INVALIDPARAMS);
  TDevViewport kept;
  d.GetViewport(kept);
  EXPECT_EQ(kept.x, 4u);
  EXPECT_EQ(d.SetViewport({10, 10, 0, 0, 0, 1}), D3D_OK);  // empty viewports are allowed
  d.SetViewport(vp);
  ASSERT_EQ(d.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 1.0f, 0), D3D_OK);
  EXPECT_EQ(Pixel(*rig.back, 4, 4), 0x00FF00u);
  EXPECT_EQ(Pixel(*rig.back, 11, 11), 0x00FF00u);
  EXPECT_EQ(Pixel(*rig.back, 12, 12), 0u);
  EXPECT_EQ(ReadPixel(rig.zbuffer->Pixels() + 5 * rig.zbuffer->Pitch() + 10, 2), 0xFFFFu);
  // Drawing stays inside the viewport.
  d.BeginScene();
  Flat2d(d);
  TDevVertexTransformed quad[4] = {T(0, 0, 0xFFFF0000), T(32, 0, 0xFFFF0000), T(32, 32, 0xFFFF0000), T(0, 32, 0xFFFF0000)};
  ASSERT_EQ(d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfTransformed, quad, 4, 0), D3D_OK);
  d.EndScene();
  EXPECT_EQ(Pixel(*rig.back, 4, 4), 0xFF0000u);
  EXPECT_EQ(Pixel(*rig.back, 3, 4), 0u);
  EXPECT_EQ(Pixel(*rig.back, 12, 11), 0u);
}

TEST(Device3d, RenderTargetsAndRefusedDepth) {
  TRig3d rig;
  TSoftDevice& d = *rig.device;
  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.caps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
  desc.width = desc.height = 16;
  desc.pixelFormat = PixelFormatRgb565();
  std::shared_ptr<TSoftSurface> target16, target32, plain;
  ASSERT_EQ(rig.draw->CreateSurface(desc, target16), DD_OK);
  desc.pixelFormat = PixelFormatArgb8888();
  ASSERT_EQ(rig.draw->CreateSurface(desc, target32), DD_OK);
  desc.caps = DDSCAPS_TEXTURE;
  ASSERT_EQ(rig.draw->CreateSurface(desc, plain), DD_OK);
  EXPECT_EQ(d.SetRenderTarget(plain, 0), DDERR_INVALIDPARAMS);
  rig.adapter->RefuseRenderTargetDepth(16);
  EXPECT_EQ(d.SetRenderTarget(target16, 0), static_cast<TDevResult>(0x88760028u));
  ASSERT_EQ(d.SetRenderTarget(target32, 0), D3D_OK);
  std::shared_ptr<TSoftSurface> current;
  d.GetRenderTarget(current);
  EXPECT_EQ(current, target32);
  d.BeginScene();
  Flat2d(d);
  TDevVertexTransformed tri[3] = {T(-1, -1, 0x800000FF), T(40, -1, 0x800000FF), T(-1, 40, 0x800000FF)};
  ASSERT_EQ(d.DrawPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, tri, 3, 0), D3D_OK);
  d.EndScene();
  uint32_t p;
  std::memcpy(&p, target32->Pixels(), 4);
  EXPECT_EQ(p, 0x800000FFu);
  EXPECT_EQ(Pixel(*rig.back, 0, 0), 0u);
}

TEST(Device3d, IndexedDrawsTakeAllSixteenBitIndicesAndRefuseBadOnes) {
  TRig3d rig(64, 64);
  TSoftDevice& d = *rig.device;
  d.BeginScene();
  Flat2d(d);
  d.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  d.SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  d.SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
  // 21845 triangles over 65535 indices: one row of tiny triangles per pixel row.
  std::vector<TDevVertexTransformed> v;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) v.push_back(T(float(x), float(y), 0x00010101));
  std::vector<uint16_t> indices;
  for (uint32_t i = 0; indices.size() < 65535; ++i) {
    uint32_t cell = i % (63 * 63), x = cell % 63, y = cell / 63;
    uint16_t a = uint16_t(y * 64 + x);
    for (uint16_t k : {a, uint16_t(a + 1), uint16_t(a + 65)}) indices.push_back(k);
  }
  ASSERT_EQ(indices.size(), 65535u);
  ASSERT_EQ(d.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, v.data(), uint32_t(v.size()), indices.data(),
                                   uint32_t(indices.size()), 0), D3D_OK);
  EXPECT_NE(Pixel(*rig.back, 10, 10), 0u);
  std::vector<uint8_t> before(rig.back->Pixels(), rig.back->Pixels() + rig.back->Pitch() * 64);
  uint16_t bad[6] = {0, 1, 65, 0, 65, 4096};
  EXPECT_EQ(d.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, v.data(), uint32_t(v.size()), bad, 6, 0),
            DDERR_INVALIDPARAMS);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), rig.back->Pixels()));
  EXPECT_EQ(d.DrawPrimitive(D3DPT_POINTLIST, DevFvfTransformed, v.data(), 3, 0), DDERR_INVALIDPARAMS);
  EXPECT_EQ(d.DrawPrimitive(D3DPT_TRIANGLELIST, 0x142, v.data(), 3, 0), DDERR_INVALIDPARAMS);
  d.EndScene();
}

TEST(Device3d, LineListsDrawHalfOpenSpans) {
  TRig3d rig;
  TSoftDevice& d = *rig.device;
  d.BeginScene();
  Flat2d(d);
  TDevVertexTransformed lines[4] = {T(3, 5, 0xFFFFFFFF), T(9, 5, 0xFFFFFFFF), T(20, 6, 0xFF00FF00), T(21, 6, 0xFF00FF00)};
  ASSERT_EQ(d.DrawPrimitive(D3DPT_LINELIST, DevFvfTransformed, lines, 4, 0), D3D_OK);
  d.EndScene();
  for (uint32_t x = 0; x < 32; ++x) {
    EXPECT_EQ(Pixel(*rig.back, x, 5), x >= 3 && x < 9 ? 0xFFFFFFu : 0u) << x;
    EXPECT_EQ(Pixel(*rig.back, x, 6), x == 20 ? 0x00FF00u : 0u) << x;
  }
}

TEST(Device3d, DepthTestCullingAndLighting) {
  TRig3d rig;
  TSoftDevice& d = *rig.device;
  d.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  d.BeginScene();
  Flat2d(d);
  d.SetRenderState(D3DRENDERSTATE_ZENABLE, 1);
  d.SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
  TDevVertexTransformed nearQuad[4] = {T(0, 0, 0xFFFF0000, 0.2f), T(16, 0, 0xFFFF0000, 0.2f), T(16, 16, 0xFFFF0000, 0.2f),
                                       T(0, 16, 0xFFFF0000, 0.2f)};
  TDevVertexTransformed farQuad[4] = {T(8, 8, 0xFF0000FF, 0.6f), T(24, 8, 0xFF0000FF, 0.6f), T(24, 24, 0xFF0000FF, 0.6f),
                                      T(8, 24, 0xFF0000FF, 0.6f)};
  d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfTransformed, nearQuad, 4, 0);
  d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfTransformed, farQuad, 4, 0);
  EXPECT_EQ(Pixel(*rig.back, 10, 10), 0xFF0000u);  // the nearer quad stays in front
  EXPECT_EQ(Pixel(*rig.back, 20, 20), 0x0000FFu);
  // Counter-clockwise on screen is culled by D3DCULL_CCW; clockwise is drawn.
  d.SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
  d.SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
  TDevVertexTransformed ccw[3] = {T(26, 0, 0xFF00FF00), T(26, 6, 0xFF00FF00), T(32, 0, 0xFF00FF00)};
  TDevVertexTransformed cw[3] = {T(26, 26, 0xFFFFFF00), T(32, 26, 0xFFFFFF00), T(26, 32, 0xFFFFFF00)};
  d.DrawPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, ccw, 3, 0);
  d.DrawPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, cw, 3, 0);
  EXPECT_EQ(Pixel(*rig.back, 27, 1), 0u);
  EXPECT_EQ(Pixel(*rig.back, 27, 27), 0xFFFF00u);
  // Vertices with normals, lit without lights: emissive + ambient x material ambient.
  d.SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  d.SetRenderState(D3DRENDERSTATE_LIGHTING, 1);
  d.SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
  TDevMaterial m;
  m.ambient = {0.5f, 0.5f, 0.5f, 1};
  m.emissive = {0.0f, 0.25f, 0, 1};
  m.diffuse = {1, 1, 1, 1};
  d.SetMaterial(m);
  d.SetTransform(D3DTRANSFORMSTATE_PROJECTION, OrthoProjection(32, 32));
  TDevVertexNormal lit[3] = {{0, 24, 0.5f, 0, 0, -1, 0, 0}, {8, 24, 0.5f, 0, 0, -1, 0, 0}, {0, 32, 0.5f, 0, 0, -1, 0, 0}};
  ASSERT_EQ(d.DrawPrimitive(D3DPT_TRIANGLELIST, DevFvfNormal, lit, 3, 0), D3D_OK);
  d.EndScene();
  uint32_t p = Pixel(*rig.back, 1, 25);
  EXPECT_EQ(p >> 16, 127u);
  EXPECT_EQ((p >> 8) & 255, 191u);
}

TEST(Device3d, PerspectiveProjectionClipsAtTheNearPlane) {
  TRig3d rig;
  TSoftDevice& d = *rig.device;
  d.BeginScene();
  Flat2d(d);
  // A perspective projection (fov 90 degrees, near 0.1, far 100) and a floor that
  // reaches behind the camera: drawing it must neither crash nor wrap around.
  TDevMatrix proj;
  float zf = 100, zn = 0.1f;
  proj.m[2][2] = zf / (zf - zn);
  proj.m[2][3] = 1;
  proj.m[3][2] = -zn * zf / (zf - zn);
  proj.m[3][3] = 0;
  d.SetTransform(D3DTRANSFORMSTATE_PROJECTION, proj);
  TDevVertexLitXyz floor[4] = {{-10, -1, -5, 0, 0xFF808080, 0, 0, 0}, {10, -1, -5, 0, 0xFF808080, 0, 1, 0},
                               {10, -1, 50, 0, 0xFF808080, 0, 1, 1}, {-10, -1, 50, 0, 0xFF808080, 0, 0, 1}};
  ASSERT_EQ(d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfLitXyz, floor, 4, 0), D3D_OK);
  d.EndScene();
  EXPECT_EQ(Pixel(*rig.back, 16, 31), 0x808080u);  // below the horizon
  EXPECT_EQ(Pixel(*rig.back, 16, 2), 0u);         // above it
}

TEST(Device3d, RecorderListsStateAndDrawCalls) {
  TRig3d rig;
  std::vector<std::string> calls;
  rig.device->SetRecorder(&calls);
  rig.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  rig.device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], "SetRenderState 27 1 0");
  EXPECT_EQ(calls[1], "SetTextureStageState 0 1 4");
}
