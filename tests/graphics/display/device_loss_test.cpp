// Device loss and restore: surfaces restored in place or the device made anew, with every
// live texture back; the once-only switch to 16-bit full screen when video memory runs out.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/settings.h"
#include "platform/xml_node.h"

namespace {

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

void Frames(int count) {
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(TRenderer::GetInstance()->BeginDraw(false));
    TRenderer::GetInstance()->EndDraw(true);
  }
}

std::vector<uint32_t> Pixels(TTexture& texture) {
  uint32_t* pixels = nullptr;
  int pitch = 0;
  std::vector<uint32_t> out;
  if (!texture.Lock(pixels, pitch)) return out;
  for (uint32_t y = 0; y < texture.GetHeight(); ++y)
    out.insert(out.end(), pixels + size_t(y) * pitch, pixels + size_t(y) * pitch + texture.GetWidth());
  texture.Unlock();
  return out;
}

// Counts its runs: a task of the restore list.
class TCountingTask : public TTask {
 public:
  explicit TCountingTask(int& runs) : mRuns(runs) {}
  bool Run() override {
    ++mRuns;
    return true;
  }

 private:
  int& mRuns;
};

}  // namespace

TEST(DeviceLoss, LostSurfacesAreRestoredWithEveryTexture) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(640, 480);
  std::shared_ptr<TTexture> image = TTexture::Get(GraphicsFixture("rgba.png"));
  ASSERT_TRUE(image);
  std::vector<uint32_t> before = Pixels(*image);
  int restoreRuns = 0;
  rig.host.AddRestoreTask(std::make_unique<TCountingTask>(restoreRuns));
  Frames(3);
  auto device = display.GetDevice();

  display.GetContext().GetDirectDraw()->LoseAllSurfaces();
  EXPECT_FALSE(TRenderer::GetInstance()->BeginDraw(false));
  EXPECT_FALSE(display.IsDeviceReady());
  EXPECT_FALSE(display.IsActive());
  EXPECT_EQ(GetConfig("dxbroken"), "1");
  int invalidations = rig.host.invalidations;
  display.Restore();
  EXPECT_TRUE(display.IsDeviceReady());
  EXPECT_EQ(display.GetDevice(), device);
  EXPECT_EQ(GetConfig("dxbroken"), "0");
  EXPECT_EQ(Pixels(*image), before);
  EXPECT_EQ(restoreRuns, 1);
  EXPECT_GE(rig.host.invalidations, invalidations + 2);
  Frames(1);
}

TEST(DeviceLoss, RestoreWithinTheFirstFramesMakesTheDeviceAnew) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(640, 480);
  std::shared_ptr<TTexture> image = TTexture::Get(GraphicsFixture("rgba.png"));
  std::vector<uint32_t> before = Pixels(*image);
  Frames(2);
  auto device = display.GetDevice();
  display.GetContext().GetDirectDraw()->LoseAllSurfaces();
  rig.log.TakeNew();
  display.Restore();
  EXPECT_TRUE(Has(rig.log.TakeNew(), "TPlatformData::Restore: Working count too small (2). Calling SetDisplay()"));
  EXPECT_TRUE(display.IsDeviceReady());
  EXPECT_NE(display.GetDevice(), device);
  EXPECT_EQ(Pixels(*image), before);

  // Inactive, it only stays broken.
  display.GetContext().GetDirectDraw()->LoseAllSurfaces();
  display.SetDirectXBroken();
  rig.host.active = false;
  display.Restore();
  EXPECT_FALSE(display.IsDeviceReady());
}

TEST(DeviceLoss, CooperativeLevelAnswersDecideTheRestore) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(640, 480);
  Frames(3);
  auto device = display.GetDevice();
  display.SetDirectXBroken();
  rig.adapter->FailNext(TDevCall::TestCooperativeLevel, DDERR_EXCLUSIVEMODEALREADYSET);
  display.Restore();
  EXPECT_EQ(rig.host.sleeps, std::vector<uint32_t>{100});
  EXPECT_FALSE(display.IsDeviceReady());
  EXPECT_EQ(display.GetDevice(), device);

  rig.adapter->FailNext(TDevCall::TestCooperativeLevel, DDERR_WRONGMODE);
  display.Restore();
  EXPECT_TRUE(display.IsDeviceReady());
  EXPECT_NE(display.GetDevice(), device);

  // A failure that clears on a later pass ends in a new set-up too.
  Frames(3);
  device = display.GetDevice();
  display.SetDirectXBroken();
  rig.adapter->FailNext(TDevCall::TestCooperativeLevel, DDERR_GENERIC, 2);
  rig.log.TakeNew();
  display.Restore();
  EXPECT_TRUE(Has(rig.log.TakeNew(), "Restore: Test Cooperative level failed. Calling SetDisplay"));
  EXPECT_NE(display.GetDevice(), device);

  // A suspended platform waits and leaves the restore for a later step.
  rig.host.sleeps.clear();
  rig.host.suspended = true;
  display.Restore();
  EXPECT_EQ(rig.host.sleeps, std::vector<uint32_t>{100});
}

TEST(DeviceLoss, FailedSurfaceRestoreMakesTheDeviceAnew) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(640, 480);
  Frames(3);
  auto device = display.GetDevice();
  display.SetDirectXBroken();
  rig.adapter->FailNext(TDevCall::RestoreAllSurfaces, DDERR_WRONGMODE);
  rig.log.TakeNew();
  display.Restore();
  EXPECT_TRUE(Has(rig.log.TakeNew(), "Restore: RestoreAllSurfaces resulted in DDERR_WRONGMODE. Calling SetDisplay."));
  EXPECT_NE(display.GetDevice(), device);
  Frames(3);
  display.SetDirectXBroken();
  rig.adapter->FailNext(TDevCall::RestoreAllSurfaces, DDERR_GENERIC);
  display.Restore();
  EXPECT_TRUE(Has(rig.log.TakeNew(), "RestoreAllSurfaces failed!"));
  EXPECT_TRUE(display.IsDeviceReady());
}

TEST(DeviceLoss, OutOfVideoMemorySwitchesToSixteenBitFullScreenOnce) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(640, 480);
  std::shared_ptr<TTexture> image = TTexture::Get(GraphicsFixture("rgba.png"));
  std::vector<uint32_t> before = Pixels(*image);
  std::string file = rig.log.Folder() + "/common/display.xml";
  rig.log.TakeNew();
  display.OnOutOfVideoMemory();
  EXPECT_TRUE(Has(rig.log.TakeNew(), "OutOfVideoMemory triggered!"));
  EXPECT_FALSE(display.IsDeviceReady());
  TXmlNode root;
  ASSERT_TRUE(root.LoadFile(TString::Printf("::%s", file.c_str())));
  ASSERT_NE(root.GetChild("Settings"), nullptr);
  EXPECT_EQ(root.GetChild("Settings")->GetAttribute("LowMemoryVideo"), "1");
  std::filesystem::remove(file);
  display.OnOutOfVideoMemory();
  EXPECT_EQ(rig.log.TakeNew(), "");
  EXPECT_FALSE(std::filesystem::exists(file));

  display.Restore();
  std::string log = rig.log.TakeNew();
  EXPECT_TRUE(Has(log, "TPlatformData::Restore: mDirectDraw NULL. Calling SetDisplay()")) << log;
  ASSERT_EQ(rig.host.boxes.size(), 1u);
  EXPECT_EQ(rig.host.boxes[0].caption, "Reconfiguring");
  EXPECT_TRUE(display.IsDeviceReady());
  EXPECT_TRUE(display.IsFullscreen());
  EXPECT_EQ(display.GetColourDepth(), 16);
  // Back in a 4-bit-per-channel texture: the top bits of every channel survive.
  std::vector<uint32_t> after = Pixels(*image);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i], before[i] & 0xF0F0F0F0u) << i;
}

TEST(DeviceLoss, DrawingOutOfVideoMemoryGoesTheSameWay) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(640, 480);
  TRenderer* renderer = TRenderer::GetInstance();
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  rig.adapter->FailNext(TDevCall::DrawPrimitive, DDERR_OUTOFVIDEOMEMORY);
  rig.log.TakeNew();
  renderer->FillRect(TRect(0, 0, 10, 10), TColor{1, 1, 1, 1});
  std::string log = rig.log.TakeNew();
  EXPECT_TRUE(Has(log, "DrawVertices out of video memory")) << log;
  EXPECT_TRUE(Has(log, "OutOfVideoMemory triggered!")) << log;
  EXPECT_TRUE(display.IsLowMemoryVideo());
  renderer->End2d();
  renderer->EndDraw(true);
}

TEST(DeviceLoss, BrokenDisplayRestoresNoAssetsAndThrottlesItsReports) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(640, 480);
  display.SetDirectXBroken();
  rig.log.TakeNew();
  display.RestoreAssets();
  EXPECT_TRUE(Has(rig.log.TakeNew(), "RestoreAssets: DX broken"));

  SetConfig("dxbroken", "0");
  display.SetDirectXBrokenThrottled();
  EXPECT_EQ(GetConfig("dxbroken"), "0");  // within 250 ms of the last report
  TDisplayRig::Advance(251);
  display.SetDirectXBrokenThrottled();
  EXPECT_EQ(GetConfig("dxbroken"), "1");
  SetConfig("dxbroken", "0");
  display.SetDirectXBrokenThrottled();
  EXPECT_EQ(GetConfig("dxbroken"), "0");
}
