// The drawing back end: frames and their failures, the state sets, viewports and clips,
// fills, the indexed-draw work-around, options, render targets and the calibration.
#include <gtest/gtest.h>

#include "graphics/display/display_rig.h"
#include "graphics/display_start.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/settings.h"

namespace {

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

uint32_t RenderState(TPlatformData& d, D3DRENDERSTATETYPE state) {
  uint32_t value = 0;
  d.GetDevice()->GetRenderState(state, value);
  return value;
}

uint32_t StageState(TPlatformData& d, D3DTEXTURESTAGESTATETYPE state) {
  uint32_t value = 0;
  d.GetDevice()->GetTextureStageState(0, state, value);
  return value;
}

TDevViewport DeviceViewport(TPlatformData& d) {
  TDevViewport vp;
  d.GetDevice()->GetViewport(vp);
  return vp;
}

class DrawBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    display = &rig.Window(320, 240);
    renderer = TRenderer::GetInstance();
    renderer->PushClipRect(TRect(0, 0, 320, 240));
  }

  TDisplayRig rig;
  TPlatformData* display = nullptr;
  TRenderer* renderer = nullptr;
};

}  // namespace

TEST_F(DrawBackend, FrameWaitsForNothingAndSkipsWhileTheFlipRuns) {
  rig.adapter->SetStillDrawing(1);
  EXPECT_FALSE(display->BeginDraw(false));
  EXPECT_FALSE(display->IsInFrame());
  EXPECT_EQ(display->GetWorkingCount(), 0u);
  ASSERT_TRUE(display->BeginDraw(false));
  EXPECT_TRUE(display->IsInFrame());
  EXPECT_EQ(display->GetWorkingCount(), 1u);
  display->EndDraw(true);
  EXPECT_FALSE(display->IsInFrame());

  // A frame that starts from the visible one.
  FillBack(*display, 0xFF0000FF);
  ASSERT_TRUE(display->BeginDraw(false));
  display->EndDraw(true);
  FillBack(*display, 0xFF000000);
  ASSERT_TRUE(display->BeginDraw(true));
  EXPECT_EQ(rig.Back(5, 5), 0xFF0000FFu);
  display->EndDraw(false);

  rig.adapter->SetStillDrawing(2);
  EXPECT_FALSE(display->IsFrameDone());
  rig.host.sleeps.clear();
  EXPECT_EQ(display->WaitForFlip(), DD_OK);
  EXPECT_EQ(rig.host.sleeps, std::vector<uint32_t>{1});
}

TEST_F(DrawBackend, FrameFailuresLeadToTheRestorePath) {
  ASSERT_TRUE(display->BeginDraw(false));
  rig.adapter->FailNext(TDevCall::EndScene, D3DERR_SCENE_END_FAILED);
  display->EndDraw(true);
  EXPECT_TRUE(display->IsBroken());
  display->Restore();
  ASSERT_TRUE(display->IsDeviceReady());

  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(display->BeginDraw(false));
    display->EndDraw(true);
  }
  rig.log.TakeNew();
  ASSERT_TRUE(display->BeginDraw(false));
  rig.adapter->FailNext(TDevCall::Blt, DDERR_SURFACELOST);
  display->EndDraw(true);
  EXPECT_TRUE(Has(rig.log.TakeNew(), "TPlatform::EndDraw: DDERR_SURFACELOST on UpdateFrame or EndScene"));
  EXPECT_TRUE(display->IsDeviceReady());

  rig.adapter->FailNext(TDevCall::BeginScene, DDERR_SURFACELOST);
  EXPECT_TRUE(display->BeginDraw(false));
  EXPECT_TRUE(Has(rig.log.TakeNew(), "TRenderer::BeginDraw: DDERR_SURFACELOST on BeginScene"));
  display->EndDraw(true);

  // A lost front surface while focused breaks the display; without focus it only skips.
  rig.host.focus = false;
  display->GetContext().GetPrimarySurface()->MarkLost();
  EXPECT_FALSE(display->BeginDraw(false));
  EXPECT_FALSE(display->IsBroken());
  rig.host.focus = true;
  EXPECT_FALSE(display->BeginDraw(false));
  EXPECT_TRUE(display->IsBroken());
}

TEST_F(DrawBackend, ViewportsStayInsideTheDisplay) {
  struct TCase {
    TRect asked;
    TDevViewport applied;
  } cases[] = {
      {{10, 10, 5, 5}, {10, 10, 0, 0}},
      {{400, 0, 450, 240}, {319, 0, 1, 240}},
      {{-5, -8, 100, 60}, {0, 0, 100, 60}},
      {{300, 200, 400, 300}, {300, 200, 20, 40}},
  };
  for (const TCase& c : cases) {
    display->SetViewport(c.asked.left, c.asked.top, c.asked.right, c.asked.bottom);
    TDevViewport vp = DeviceViewport(*display);
    EXPECT_EQ(vp.x, c.applied.x);
    EXPECT_EQ(vp.y, c.applied.y);
    EXPECT_EQ(vp.width, c.applied.width);
    EXPECT_EQ(vp.height, c.applied.height);
  }
  // Applied intersected with the clip rectangle; pushes and pops nest.
  display->SetViewport(0, 0, 320, 240);
  EXPECT_TRUE(display->SetClipRect(TRect(50, 60, 70, 90)));
  EXPECT_EQ(DeviceViewport(*display).x, 50u);
  EXPECT_EQ(DeviceViewport(*display).height, 30u);
  display->SetClipRect(TRect(0, 0, 320, 240));
  display->PushViewport(20, 30, 120, 130);
  display->PushViewport(40, 50, 60, 70);
  display->PopViewport();
  int32_t l, t, r, b;
  display->GetViewport(l, t, r, b);
  EXPECT_EQ(TRect(l, t, r, b), TRect(20, 30, 120, 130));
  display->PopViewport();
  display->PopViewport();  // an empty stack changes nothing
  display->GetViewport(l, t, r, b);
  EXPECT_EQ(TRect(l, t, r, b), TRect(0, 0, 320, 240));

  rig.log.TakeNew();
  rig.adapter->FailNext(TDevCall::SetViewport, DDERR_INVALIDPARAMS);
  display->SetViewport(1, 2, 3, 4);
  EXPECT_TRUE(Has(rig.log.TakeNew(), "Bad viewport: 1, 2, 3, 4"));
  display->GetViewport(l, t, r, b);
  EXPECT_EQ(TRect(l, t, r, b), TRect(0, 0, 320, 240));
}

TEST_F(DrawBackend, StateSetsAndOptions) {
  display->SetCullMode(7);
  EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_CULLMODE), uint32_t(D3DCULL_NONE));
  display->SetCullMode(2);
  EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_CULLMODE), uint32_t(D3DCULL_CW));
  display->SetTextureAddress(5, 2);
  EXPECT_EQ(StageState(*display, D3DTSS_ADDRESSU), uint32_t(D3DTADDRESS_CLAMP));
  EXPECT_EQ(StageState(*display, D3DTSS_ADDRESSV), uint32_t(D3DTADDRESS_MIRROR));
  display->SetFilter(0);
  EXPECT_EQ(StageState(*display, D3DTSS_MAGFILTER), uint32_t(D3DTFG_POINT));
  display->SetFilter(5);
  EXPECT_EQ(StageState(*display, D3DTSS_MIPFILTER), uint32_t(D3DTFP_POINT));
  display->Begin3d();
  EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_CULLMODE), uint32_t(D3DCULL_CCW));
  EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_ZENABLE), 1u);
  EXPECT_EQ(StageState(*display, D3DTSS_ADDRESSU), uint32_t(D3DTADDRESS_WRAP));
  display->Begin2d();
  EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_ZENABLE), 0u);
  EXPECT_EQ(StageState(*display, D3DTSS_MINFILTER), uint32_t(D3DTFN_LINEAR));

  display->SetOption("new_render_blend", "1");
  EXPECT_EQ(display->GetOption("new_render_blend"), "");
  display->SetOption("new_subtractive", "2");
  EXPECT_EQ(display->GetOption("new_subtractive"), "1");
  display->SetOption("antialias", "1");
  EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_ANTIALIAS), uint32_t(D3DANTIALIAS_SORTINDEPENDENT));
  EXPECT_EQ(display->GetOption("16bitmode"), "0");
  EXPECT_EQ(display->GetOption("nonsense"), "");
}

TEST_F(DrawBackend, BlendModesSetTheirFactorsAndStage) {
  struct TCase {
    int mode;
    bool newSubtractive;
    uint32_t src, dst, enable, alphaArg, alphaOp;
  } cases[] = {
      {0, false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 1, D3DTA_TEXTURE, D3DTOP_MODULATE},
      {1, false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0, D3DTA_TFACTOR, D3DTOP_SELECTARG1},
      {2, false, D3DBLEND_SRCALPHA, D3DBLEND_ONE, 1, D3DTA_TEXTURE, D3DTOP_MODULATE},
      {3, false, D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR, 1, D3DTA_TEXTURE, D3DTOP_MODULATE},
      {3, true, D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR, 1, D3DTA_TFACTOR, D3DTOP_SELECTARG1},
      {4, false, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, 1, D3DTA_TEXTURE, D3DTOP_MODULATE},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.mode);
    display->SetOption("new_subtractive", c.newSubtractive ? "1" : "0");
    display->SetBlendMode(0);
    display->SetBlendMode(c.mode);
    EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_SRCBLEND), c.src);
    EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_DESTBLEND), c.dst);
    EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_ALPHABLENDENABLE), c.enable);
    EXPECT_EQ(StageState(*display, D3DTSS_ALPHAARG1), c.alphaArg);
    EXPECT_EQ(StageState(*display, D3DTSS_ALPHAOP), c.alphaOp);
    EXPECT_EQ(RenderState(*display, D3DRENDERSTATE_TEXTUREFACTOR), 0xFFFFFFFFu);
  }
}

// A fully transparent quad changes nothing where the blend weighs the source by its alpha,
// and is left out there; the opaque mode ignores the alpha and draws it all the same.
TEST_F(DrawBackend, FullyTransparentQuadsShowOnlyInTheOpaqueMode) {
  for (int mode : {0, 2, 1}) {
    SCOPED_TRACE(mode);
    ASSERT_TRUE(renderer->BeginDraw(false));
    renderer->Begin2d();
    display->SetBlendMode(mode);
    display->DrawFillQuad(TRect(10, 10, 20, 20), TColor{1, 0, 0, 0});
    display->DrawFillQuad(TRect(30, 10, 40, 20), TColor{0, 1, 0, 1});
    renderer->End2d();
    renderer->EndDraw(false);
    EXPECT_EQ(rig.Back(15, 15), mode == 1 ? 0xFFFF0000u : 0xFF000000u);
    EXPECT_EQ(rig.Back(35, 15) & 0xFF00u, 0xFF00u);
  }
}

TEST_F(DrawBackend, FillsInsideAndOutsideAFrame) {
  renderer->PushViewport(TRect(100, 50, 300, 250));
  renderer->FillRect(TRect(0, 0, 500, 20), TColor{1, 0, 0, 1});
  EXPECT_EQ(rig.Back(100, 50), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(299, 69), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(99, 50), 0xFF000000u);
  EXPECT_EQ(rig.Back(100, 70), 0xFF000000u);
  EXPECT_EQ(rig.Back(300, 60), 0xFF000000u);
  ASSERT_TRUE(renderer->BeginDraw(false));
  renderer->FillRect(TRect(10, 30, 20, 40), TColor{0, 1, 0, 1});  // a quad, blended normally
  renderer->EndDraw(false);
  EXPECT_EQ(rig.Back(110, 80), 0xFF00FF00u);
  EXPECT_EQ(rig.Back(119, 89), 0xFF00FF00u);
  EXPECT_EQ(rig.Back(120, 89), 0xFF000000u);
  EXPECT_EQ(rig.Back(110, 90), 0xFF000000u);
  renderer->PopViewport();

  std::shared_ptr<TTexture> target = TTexture::CreateRenderTarget(8, 8, false);
  renderer->FillRect(TRect(2, 2, 20, 4), TColor{0, 0, 1, 1}, target);
  EXPECT_EQ(TexturePixel(*target, 7, 3), 0xFF0000FFu);
  EXPECT_EQ(TexturePixel(*target, 1, 3), 0xFF000000u);
}

// The work-around index buffer doubles its capacity in 32 bits, so counts above 32768
// reach 65536 instead of doubling forever in 16 bits.
TEST_F(DrawBackend, IndexedDrawWorkAroundGrowsPast32768) {
  SetConfig("brokenindexedverts", "1");
  std::vector<std::string> calls;
  display->GetDevice()->SetRecorder(&calls);
  std::vector<TLVertex> vertices(70000, TLVertex{0, 0, 0.1f, 0.5f, 0xFFFFFFFF, 0, 0, 0});
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  renderer->DrawVertices(D3DPT_TRIANGLELIST, TVertexList{2, vertices.data(), 3});
  EXPECT_EQ(display->GetIndexCapacity(), 4u);
  for (uint16_t i = 0; i < 4; ++i) EXPECT_EQ(display->GetIndexBuffer()[i], i);
  renderer->DrawVertices(D3DPT_TRIANGLELIST, TVertexList{2, vertices.data(), 40000});
  EXPECT_EQ(display->GetIndexCapacity(), 65536u);
  renderer->DrawVertices(D3DPT_LINELIST, TVertexList{2, vertices.data(), 70000});
  EXPECT_EQ(display->GetIndexCapacity(), 65536u);
  EXPECT_EQ(display->GetIndexBuffer()[65535], 65535);
  renderer->End2d();
  renderer->EndDraw(false);
  display->GetDevice()->SetRecorder(nullptr);
  std::vector<std::string> draws;
  for (const auto& c : calls)
    if (c.rfind("DrawIndexedPrimitive", 0) == 0) draws.push_back(c);
  EXPECT_EQ(draws, (std::vector<std::string>{"DrawIndexedPrimitive 4 482 3", "DrawIndexedPrimitive 4 482 40000",
                                             "DrawIndexedPrimitive 2 482 65535"}));
}

TEST_F(DrawBackend, ExpandedIndexedDrawsRefuseIndicesPastTheList) {
  display->SetExpandIndexedDraws(true);
  std::vector<std::string> calls;
  display->GetDevice()->SetRecorder(&calls);
  TLVertex quad[4] = {};
  for (TLVertex& v : quad) v.diffuse = 0xFFFFFFFFu;  // seen: a transparent quad is left out
  uint16_t good[6] = {0, 1, 2, 0, 2, 3}, bad[3] = {0, 1, 9};
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  renderer->DrawIndexedVertices(D3DPT_TRIANGLELIST, TVertexList{2, quad, 4}, good, 6);
  renderer->DrawIndexedVertices(D3DPT_TRIANGLELIST, TVertexList{2, quad, 4}, bad, 3);
  renderer->End2d();
  renderer->EndDraw(false);
  display->GetDevice()->SetRecorder(nullptr);
  int draws = 0;
  for (const auto& c : calls) draws += c.rfind("DrawPrimitive 4 482 6", 0) == 0;
  EXPECT_EQ(draws, 1);
}

TEST_F(DrawBackend, RenderTargetBlocksCopyTheirCornerIntoTheTexture) {
  std::shared_ptr<TTexture> target = TTexture::CreateRenderTarget(16, 8, true);
  ASSERT_TRUE(renderer->BeginRenderTarget(target, 0));
  ASSERT_TRUE(renderer->Begin2d());
  renderer->SetBlendMode(1);
  renderer->FillRect(TRect(0, 0, 16, 8), TColor{0, 0, 0, 1});
  renderer->FillRect(TRect(4, 2, 8, 6), TColor{1, 0, 0, 0.5f});
  renderer->End2d();
  renderer->EndRenderTarget();
  EXPECT_EQ(TexturePixel(*target, 5, 3), 0xFFFF0000u);  // alpha made opaque
  EXPECT_EQ(TexturePixel(*target, 0, 0), 0xFF000000u);
  EXPECT_FALSE(renderer->IsDrawing());

  // Mode 2 starts from the texture's pixels; mode 4 turns the drawing into alpha.
  ASSERT_TRUE(renderer->BeginRenderTarget(target, 2));
  EXPECT_EQ(rig.Back(5, 3), 0xFFFF0000u);
  renderer->EndRenderTarget();
  ASSERT_TRUE(renderer->BeginRenderTarget(target, 4));
  ASSERT_TRUE(renderer->Begin2d());
  renderer->FillRect(TRect(0, 0, 2, 8), TColor{1, 1, 1, 1});
  renderer->End2d();
  renderer->EndRenderTarget();
  EXPECT_EQ(TexturePixel(*target, 1, 4) >> 24, 0xFFu);
  EXPECT_EQ(TexturePixel(*target, 5, 3), 0x00FF0000u);

  // A simple surface never becomes a target.
  EXPECT_FALSE(renderer->BeginRenderTarget(TTexture::GetPlain(GraphicsFixture("rgba.png")), 0));
}

TEST_F(DrawBackend, RefusedRenderTargetDepthsAreLogged) {
  rig.adapter->RefuseRenderTargetDepth(32);
  rig.log.TakeNew();
  ASSERT_TRUE(TTexture::CreateRenderTarget(8, 8, true));
  ASSERT_TRUE(TTexture::CreateRenderTarget(8, 8, true));
  std::string log = rig.log.TakeNew();
  EXPECT_TRUE(Has(log, "Failed to SetRenderTarget with alpha bit depth 32")) << log;
  EXPECT_EQ(log.find("alpha bit depth"), log.rfind("alpha bit depth"));  // once per process
  EXPECT_FALSE(display->IsBroken());
}

TEST(DrawBackendSixteenBit, RefusedSixteenBitTargetAsksForThirtyTwo) {
  TSoftAdapterConfig config;
  config.desktop.bitsPerPixel = 16;
  TDisplayRig rig(config);
  TPlatformData& display = rig.Window(320, 240);
  rig.adapter->RefuseRenderTargetDepth(16);
  ASSERT_TRUE(TTexture::CreateRenderTarget(8, 8, true));
  EXPECT_TRUE(Has(rig.log.TakeNew(), "Failed to SetRenderTarget with bit depth 16"));
  EXPECT_TRUE(display.GetContext().RenderTargetsNeed32());
  EXPECT_TRUE(display.IsBroken());
}

TEST_F(DrawBackend, CalibrationKeepsTheOffsetThatDrawsTexelsExactly) {
  SetConfig("verbosedebug", "1");
  display->SetTexelOffset(0.3f);
  rig.log.TakeNew();
  CalibratePixelOffset(*display);
  EXPECT_FLOAT_EQ(display->GetTexelOffset(), -0.5f);
  EXPECT_FALSE(Has(rig.log.TakeNew(), "CalibratePixelOffset"));  // found by a match, not by default
  EXPECT_FALSE(renderer->IsDrawing());
}
