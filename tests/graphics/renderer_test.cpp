// The renderer front end: guarded blocks and their log lines, the clip stack, the frame
// rate, the statistics overlay, frame capture and the rasteriser's span sink.
#include <gtest/gtest.h>

#include "graphics/codecs/image_codecs.h"
#include "graphics/display/display_rig.h"
#include "graphics/display_start.h"
#include "graphics/renderer.h"
#include "graphics/text/font_cache.h"
#include "graphics/texture.h"
#include "platform/settings.h"

namespace {

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    display = &rig.Window(320, 240);
    renderer = TRenderer::GetInstance();
    renderer->PushClipRect(TRect(0, 0, 320, 240));
    rig.log.TakeNew();
  }

  // The lines logged since the last call, without their time stamps.
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    std::string text = rig.log.TakeNew();
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      std::string line = text.substr(start, end - start);
      size_t colon = line.find(": ");  // after the time stamp
      lines.push_back(colon == std::string::npos ? line : line.substr(colon + 2));
      start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
  }

  TDisplayRig rig;
  TPlatformData* display = nullptr;
  TRenderer* renderer = nullptr;
};

}  // namespace

TEST_F(Renderer, MisusedBlocksAreLoggedAndRefused) {
  TLVertex quad[4] = {};
  uint16_t indices[3] = {0, 1, 2};
  EXPECT_FALSE(renderer->Begin2d());
  renderer->End2d();
  EXPECT_FALSE(renderer->Begin3d());
  renderer->End3d();
  renderer->DrawVertices(D3DPT_TRIANGLEFAN, TVertexList{2, quad, 4});
  renderer->DrawIndexedVertices(D3DPT_TRIANGLELIST, TVertexList{2, quad, 4}, indices, 3);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!",
                         "End2d called when not in Begin2d state",
                         "ERROR: Calling Begin3d outside of a BeginDraw or BeginRenderTarget block!",
                         "End3d called when not in Begin3d state",
                         "DrawVertices called when not in Begin2d or Begin3d state",
                         "DrawIndexedVertices called when not in Begin2d or Begin3d state",
                     }));

  ASSERT_TRUE(renderer->BeginDraw(false));
  EXPECT_FALSE(renderer->BeginRenderTarget(TTexture::CreateRenderTarget(8, 8, false), 0));
  ASSERT_TRUE(renderer->Begin2d());
  EXPECT_FALSE(renderer->Begin2d());
  EXPECT_FALSE(renderer->Begin3d());
  EXPECT_TRUE(renderer->Is2d());
  renderer->EndDraw(true);
  renderer->End2d();
  EXPECT_FALSE(renderer->Is2d());
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin3d());
  EXPECT_FALSE(renderer->Begin2d());
  EXPECT_FALSE(renderer->Begin3d());
  renderer->EndDraw(true);
  renderer->End3d();
  EXPECT_FALSE(renderer->Is3d());
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "Begin2d called when already in Begin2d state",
                         "Begin3d called when already in Begin2d state",
                         "ERROR: Calling End2d after EndDraw or EndRenderTarget!",
                         "Begin2d called when already in Begin3d state",
                         "Begin3d called when already in Begin3d state",
                         "Calling End3d after EndDraw or EndRenderTarget!",
                     }));
  {
    TScoped2d outside;
    EXPECT_FALSE(outside.Entered());
  }
  EXPECT_EQ(Lines().size(), 1u);  // the refused begin, and no end
}

TEST_F(Renderer, AScoped2dBlockJoinsAnOpenPassQuietlyAndEndsOnlyItsOwn) {
  ASSERT_TRUE(renderer->BeginDraw(false));
  {
    TScoped2d own;
    EXPECT_TRUE(own.Entered());
    {
      TScoped2d nested;
      EXPECT_FALSE(nested.Entered());
    }
    EXPECT_TRUE(renderer->Is2d());
  }
  EXPECT_FALSE(renderer->Is2d());
  renderer->EndDraw(false);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(Renderer, ClipStackKeepsItsBottom) {
  TRect clip;
  renderer->PopClipRect();
  renderer->GetClipRect(clip);
  EXPECT_EQ(clip, TRect(0, 0, 320, 240));
  EXPECT_TRUE(renderer->PushClipRect(TRect(10, 20, 30, 40)));
  EXPECT_EQ(display->GetClipRect(), TRect(10, 20, 30, 40));
  renderer->PopClipRect();
  EXPECT_EQ(display->GetClipRect(), TRect(0, 0, 320, 240));
  TRenderer::DestroyInstance();
  TRenderer::GetInstance()->GetClipRect(clip);
  EXPECT_EQ(clip, TRect());
}

TEST_F(Renderer, FrameRateIsMeasuredEveryFifteenFrames) {
  for (int frame = 1; frame <= 15; ++frame) {
    ASSERT_TRUE(renderer->BeginDraw(false));
    renderer->EndDraw(false);
    if (frame < 15) {
      EXPECT_EQ(renderer->GetFps(), 0.0f) << frame;
    }
    TDisplayRig::Advance(10);
  }
  EXPECT_FLOAT_EQ(renderer->GetFps(), 15000.0f / 140.0f);
}

TEST_F(Renderer, StatisticsOverlayShowsItsTextInTheCorner) {
  FinishDisplayStart(true);
  EXPECT_FALSE(renderer->ToggleStats());
  EXPECT_TRUE(renderer->IsStatsOn());
  TString text = renderer->FormatStats();
  EXPECT_EQ(text.ToStd().rfind("Larkspan Version 4.0.23.1<br>", 0), 0u) << text.c_str();
  EXPECT_NE(text.ToStd().find("FPS<tab pos='150'>Sprites: 0<br>"), std::string::npos);
  FillBack(*display, 0xFF000000);
  ASSERT_TRUE(renderer->BeginDraw(false));
  renderer->EndDraw(true);
  int red = 0;
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 300; ++x) red += (rig.Shown(x, y) & 0xFF0000) != 0;
  EXPECT_GT(red, 100);
  EXPECT_TRUE(renderer->ToggleStats());
}

TEST_F(Renderer, CapturesFramesIntoTexturesAndFiles) {
  FillBack(*display, 0xFF204060);
  std::shared_ptr<TTexture> wrongSize = TTexture::CreateRenderTarget(16, 16, false);
  renderer->SetCaptureTexture(wrongSize);
  EXPECT_FALSE(renderer->GetCaptureTexture());
  std::shared_ptr<TTexture> frame = TTexture::CreateRenderTarget(320, 240, false);
  renderer->SetCaptureTexture(frame);
  ASSERT_EQ(renderer->GetCaptureTexture(), frame);
  ASSERT_TRUE(renderer->BeginDraw(false));
  renderer->EndDraw(true);
  EXPECT_FALSE(renderer->GetCaptureTexture());
  uint32_t* pixels = nullptr;
  int pitch = 0;
  ASSERT_TRUE(frame->Lock(pixels, pitch));
  EXPECT_EQ(pixels[120 * pitch + 160], 0xFF204060u);
  frame->Unlock();

  // The test hook's capture and screenshots, as PNG and as JPEG.
  for (const char* name : {"user:shot.png", "user:shot.jpg"}) {
    ASSERT_TRUE(renderer->CaptureFrame(name)) << name;
    TDecodedImage image;
    ASSERT_TRUE(TString(name).Find(".png") >= 0 ? LoadPngImage(name, image) : LoadJpegImage(name, image));
    EXPECT_EQ(image.width, 320u);
    EXPECT_EQ(image.height, 240u);
    uint32_t p;
    memcpy(&p, image.pixels.get() + (size_t(100) * image.side + 100) * 4, 4);
    EXPECT_NEAR(int(p >> 16 & 0xFF), 0x20, 3);
    EXPECT_NEAR(int(p & 0xFF), 0x60, 3);
  }
  EXPECT_FALSE(frame->Save("user:shot.bmp", 1.0f));
  EXPECT_EQ(Lines().back(), "TTexture::Save only supports .jpg and .png files");
}

TEST_F(Renderer, SpansAreOnePixelRunsInTheViewport) {
  FillBack(*display, 0xFF000000);
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  renderer->PushViewport(TRect(100, 50, 200, 150));
  TColorSpan spans[] = {{2, 3, 9, 0xFFFF0000}, {4, 0, 1, 0x80FFFFFF}};
  renderer->GetSpanSink().DrawSpans(spans, 2);
  renderer->PopViewport();
  renderer->End2d();
  renderer->EndDraw(true);
  EXPECT_EQ(rig.Back(102, 52), 0xFF000000u);
  EXPECT_EQ(rig.Back(103, 52), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(108, 52), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(109, 52), 0xFF000000u);
  EXPECT_EQ(rig.Back(103, 53), 0xFF000000u);
  EXPECT_EQ(rig.Back(100, 54), 0xFF808080u);
}
