// The mouse cursor: the drawn cursor blended over the shown frame at its hot spot, hidden
// and shown again, clipped at the frame's edges, absent without video memory; the
// hardware cursor from a small image; the platform's cursor images and display start.
#include <gtest/gtest.h>

#include "graphics/codecs/image_codecs.h"
#include "graphics/display/cursor_images.h"
#include "graphics/display/display_rig.h"
#include "graphics/display_start.h"
#include "graphics/renderer.h"
#include "graphics/text/font_cache.h"
#include "graphics/texture.h"
#include "platform/file.h"
#include "platform/settings.h"

namespace {

constexpr uint32_t Background = 0xFF0000FF;

// A cursor texture of width x height, every pixel `pixel`, with `corner` at (0, 0).
std::shared_ptr<TTexture> CursorTexture(uint32_t width, uint32_t height, uint32_t pixel, uint32_t corner) {
  auto texture = TTexture::CreateRenderTarget(width, height, true);
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture || !texture->Lock(pixels, pitch)) return nullptr;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) pixels[size_t(y) * pitch + x] = pixel;
  pixels[0] = corner;
  texture->Unlock();
  return texture;
}

class Cursor : public ::testing::Test {
 protected:
  void SetUp() override {
    display = &rig.Window(320, 240);
    FillBack(*display, Background);
    ASSERT_TRUE(display->BeginDraw(false));
    display->EndDraw(true);
  }

  // The cursor is on screen after a forced refresh, then drawn by the cursor thread's
  // update and shown by the next event step.
  void MoveTo(int32_t x, int32_t y) {
    display->RefreshCursor();
    TDisplayRig::Advance(20);
    display->UpdateCursor(x, y);
    display->ShowCursorMoves();
  }

  TDisplayRig rig;
  TPlatformData* display = nullptr;
};

}  // namespace

TEST_F(Cursor, HotSpotPlacesTheImageLeftOfAndAboveThePointer) {
  ASSERT_TRUE(display->SetCursorImage(CursorTexture(4, 4, 0xFFFF0000, 0xFFFF0000), 5, 3, true));
  MoveTo(50, 60);
  EXPECT_EQ(rig.Shown(45, 57), 0xFFFF0000u);
  EXPECT_EQ(rig.Shown(48, 60), 0xFFFF0000u);
  EXPECT_EQ(rig.Shown(49, 57), Background);
  EXPECT_EQ(rig.Shown(45, 61), Background);
  EXPECT_EQ(rig.Shown(44, 57), Background);
  TPoint p = display->UpdateCursor(-1, -1);
  EXPECT_EQ(p, TPoint(50, 60));
}

TEST_F(Cursor, AlphaImageBlendsAndColourKeyedImageIsOpaqueOutsideItsKey) {
  ASSERT_TRUE(display->SetCursorImage(CursorTexture(4, 4, 0x80FF0000, 0x00FFFFFF), 0, 0, true));
  MoveTo(10, 10);
  EXPECT_EQ(rig.Shown(11, 11), 0xFF80007Fu);
  EXPECT_EQ(rig.Shown(10, 10), Background);  // alpha 0

  // The drawn (colour-keyed) image: the key colour is clear, everything else opaque.
  ASSERT_TRUE(display->SetCursorImage(nullptr, 0, 0, true));
  ASSERT_TRUE(display->SetCursorImage(CursorTexture(4, 4, 0x2000FF00, 0xFFFF00FF), 0, 0, false));
  MoveTo(20, 20);
  EXPECT_EQ(rig.Shown(21, 21), 0xFF00FF00u);
  EXPECT_EQ(rig.Shown(20, 20), Background);
  EXPECT_EQ(display->GetContext().GetCursorTexture()->GetWidth(), 4u);
}

TEST_F(Cursor, HiddenAndShownAgainAtTheSamePlace) {
  ASSERT_TRUE(display->SetCursorImage(CursorTexture(4, 4, 0xFFFF0000, 0xFFFF0000), 0, 0, true));
  MoveTo(30, 30);
  ASSERT_EQ(rig.Shown(31, 31), 0xFFFF0000u);
  display->SetHardwareCursor(false);
  display->ShowCursorMoves();
  EXPECT_EQ(rig.Shown(31, 31), Background);
  TDisplayRig::Advance(20);
  display->UpdateCursor(40, 40);  // hidden: the cursor thread leaves it alone
  display->ShowCursorMoves();
  EXPECT_EQ(rig.Shown(41, 41), Background);
  display->SetHardwareCursor(true);
  display->ShowCursorMoves();
  EXPECT_EQ(rig.Shown(41, 41), 0xFFFF0000u);
  // A new image keeps a shown cursor on screen.
  ASSERT_TRUE(display->SetCursorImage(CursorTexture(4, 4, 0xFF00FF00, 0xFF00FF00), 0, 0, true));
  display->ShowCursorMoves();
  EXPECT_EQ(rig.Shown(41, 41), 0xFF00FF00u);
}

// Near the right and bottom edges the cursor is clipped, not left out.
TEST_F(Cursor, CursorAtTheEdgesIsClippedNotDropped) {
  ASSERT_TRUE(display->SetCursorImage(CursorTexture(4, 4, 0xFFFF0000, 0xFFFF0000), 0, 0, true));
  MoveTo(318, 238);
  EXPECT_EQ(rig.Shown(318, 238), 0xFFFF0000u);
  EXPECT_EQ(rig.Shown(319, 239), 0xFFFF0000u);
  MoveTo(-2, -2);
  EXPECT_EQ(rig.Shown(0, 0), 0xFFFF0000u);
  EXPECT_EQ(rig.Shown(2, 2), Background);
}

TEST_F(Cursor, WithoutVideoMemoryForItTheGameRunsWithoutACursor) {
  auto texture = CursorTexture(32, 32, 0xFFFF0000, 0xFFFF0000);
  rig.adapter->SetTotalVideoMemory(rig.adapter->Config().totalVideoMemory - rig.adapter->FreeVideoMemory());
  EXPECT_TRUE(display->SetCursorImage(texture, 0, 0, true));
  EXPECT_TRUE(display->GetContext().IsCursorUnavailable());
  int invalidations = rig.host.invalidations;
  MoveTo(30, 30);
  EXPECT_EQ(rig.Shown(31, 31), Background);
  EXPECT_GT(rig.host.invalidations, invalidations);
  ASSERT_TRUE(display->BeginDraw(false));
  display->EndDraw(true);
  EXPECT_EQ(rig.Shown(31, 31), Background);
}

// The hardware cursor is 32x32: a smaller image fills its corner, nothing is read past it.
TEST_F(Cursor, SmallHardwareCursorImageFillsTheCornerOfTheSystemCursor) {
  SetConfig("activex", "1");
  ASSERT_TRUE(display->SetCursorImage(CursorTexture(8, 8, 0xFF00FF00, 0xFF00FF00), 3, 4, true));
  const TCursorImage* icon = display->GetContext().GetHardwareCursorImage();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->width, 32u);
  EXPECT_EQ(icon->hotX, 3);
  EXPECT_EQ(icon->pixels[7 * 32 + 7], 0xFF00FF00u);
  EXPECT_EQ(icon->pixels[8 * 32 + 8], 0u);
  EXPECT_TRUE(rig.host.presenter->HasHardwareCursor());
  // In a window with the system cursor, updates only track the position.
  rig.host.mouseX = 70, rig.host.mouseY = 80;
  EXPECT_EQ(display->UpdateCursor(-1, -1), TPoint(70, 80));
  display->ShowCursorMoves();
  EXPECT_EQ(rig.Shown(71, 81), Background);
  display->SetHardwareCursor(false);
  EXPECT_FALSE(rig.host.presenter->HasHardwareCursor());
}

TEST_F(Cursor, CursorThreadLeavesABrokenDisplayAlone) {
  EXPECT_TRUE(display->IsActive());
  display->SetDirectXBroken();
  EXPECT_FALSE(display->IsActive());
}

TEST(CursorBeforeSetUp, NothingIsActiveAndNoImageIsTaken) {
  TDisplayRig idle;
  EXPECT_FALSE(idle.MakeDisplay().IsActive());
  auto texture = CursorTexture(4, 4, 0, 0);
  EXPECT_FALSE(texture);  // no device: no texture either
  EXPECT_FALSE(idle.Display().SetCursorImage(texture, 0, 0, false));
}

TEST_F(Cursor, ImagesComeBackAfterADeviceRestore) {
  std::vector<uint32_t> red(16, 0xFFFF0000);
  ASSERT_TRUE(SavePngImage("user:cursor.png", red.data(), 4, 4, 16));
  std::shared_ptr<TTexture> texture = TTexture::GetPlain("user:cursor.png");
  ASSERT_TRUE(texture);
  ASSERT_TRUE(display->SetCursorImage(texture, 0, 0, true));
  MoveTo(30, 30);
  display->GetContext().GetDirectDraw()->LoseAllSurfaces();
  display->SetDirectXBroken();
  display->Restore();  // within the first frames: a new device
  ASSERT_TRUE(display->IsDeviceReady());
  FillBack(*display, Background);
  MoveTo(60, 60);
  ASSERT_TRUE(display->BeginDraw(false));
  display->EndDraw(true);
  EXPECT_EQ(rig.Shown(61, 61), 0xFFFF0000u);
}

TEST(CursorImages, SystemCursorStandsInForAMissingDrawnCursor) {
  {
  TDisplayRig rig;
  rig.Window(320, 240);
  RegisterSystemCursorImage();
  EXPECT_TRUE(FileExists("__systemcursor__.png"));
  TCursorImages& images = rig.Display().GetCursorImages();
  images.SetCursor(nullptr, 7, 9, false);
  ASSERT_TRUE(images.GetSystemCursorTexture());
  EXPECT_EQ(images.GetSystemCursorTexture()->GetWidth(), 32u);
  EXPECT_FALSE(images.GetDrawnCursorTexture());
  EXPECT_EQ(rig.Display().GetContext().GetCursorTexture(), images.GetSystemCursorTexture());
  }

  // Hidden: the image is only stored.
  TDisplayRig hidden;
  hidden.host.cursorShown = false;
  hidden.Window(320, 240);
  auto texture = CursorTexture(4, 4, 0xFFFF0000, 0xFFFF0000);
  hidden.Display().SetCursor(texture, 1, 1, false);
  EXPECT_EQ(hidden.Display().GetCursorImages().GetDrawnCursorTexture(), texture);
  EXPECT_FALSE(hidden.Display().GetContext().GetCursorTexture());
  // The hardware image always goes through, an empty one too.
  SetConfig("activex", "1");
  hidden.Display().SetCursor(texture, 0, 0, true);
  EXPECT_NE(hidden.Display().GetContext().GetHardwareCursorImage(), nullptr);
  hidden.Display().SetCursor(nullptr, 0, 0, true);
  EXPECT_EQ(hidden.Display().GetContext().GetHardwareCursorImage(), nullptr);
}

TEST(CursorImages, DisplayStartMakesTheRasteriserOnceAndReappliesTheImages) {
  TDisplayRig rig;
  TPlatformData& display = rig.Window(320, 240);
  auto texture = CursorTexture(4, 4, 0xFFFF0000, 0xFFFF0000);
  display.SetCursor(texture, 0, 0, false);
  FinishDisplayStart(true);
  TJxMiniVecDraw* draw = TRenderer::GetInstance()->GetVecDraw();
  ASSERT_NE(draw, nullptr);
  EXPECT_EQ(GetTextRasteriser(), draw);
  display.SetDisplay(320, 240, true, false, false, false);
  FinishDisplayStart(false);
  EXPECT_EQ(TRenderer::GetInstance()->GetVecDraw(), draw);
  EXPECT_EQ(display.GetContext().GetCursorTexture(), texture);
  EXPECT_FALSE(TRenderer::GetInstance()->IsDrawing());
}
