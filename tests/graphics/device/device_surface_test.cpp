// Surfaces, the display object, the adapter's faults and presentation with the cursor.
#include <gtest/gtest.h>

#include <cstring>

#include "device_rig.h"

namespace {

TDevSurfaceDesc Plain(uint32_t w, uint32_t h, TPixelFormat format, uint32_t caps = DDSCAPS_OFFSCREENPLAIN) {
  TDevSurfaceDesc d;
  d.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  d.caps = caps;
  d.width = w;
  d.height = h;
  d.pixelFormat = format;
  return d;
}

uint32_t PixelAt(const TSoftSurface& s, uint32_t x, uint32_t y) {
  uint32_t bpp = BytesPerPixel(s.Format());
  return ReadPixel(s.Pixels() + y * s.Pitch() + x * bpp, bpp);
}

std::shared_ptr<TSoftDraw> MakeDraw(std::shared_ptr<TSoftAdapter> adapter) {
  std::shared_ptr<TSoftDraw> draw;
  EXPECT_EQ(TSoftDraw::Create(std::move(adapter), draw), DD_OK);
  return draw;
}

}  // namespace

TEST(DeviceSurface, PixelFormatsPackAndExpandChannels) {
  EXPECT_EQ(PackArgb(PixelFormatRgb565(), 0xFF1080FF), 0x141Fu);
  EXPECT_EQ(PackArgb(PixelFormatArgb4444(), 0x80F0A05F), 0x8FA5u);
  EXPECT_EQ(UnpackArgb(PixelFormatRgb565(), 0xFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(UnpackArgb(PixelFormatArgb4444(), 0x8FA5), 0x88FFAA55u);
  EXPECT_EQ(UnpackArgb(PixelFormatXrgb8888(), 0x00123456), 0xFF123456u);
  EXPECT_EQ(ClassifyPixelFormat(PixelFormatZ(16)), TPixelLayout::Z16);
}

TEST(DeviceSurface, LockHandsOutPaddedRowsOnce) {
  auto draw = MakeDraw(std::make_shared<TSoftAdapter>());
  std::shared_ptr<TSoftSurface> s;
  ASSERT_EQ(draw->CreateSurface(Plain(3, 2, PixelFormatRgb565()), s), DD_OK);
  TDevSurfaceDesc desc, again;
  ASSERT_EQ(s->Lock(nullptr, desc, DDLOCK_WAIT), DD_OK);
  EXPECT_EQ(desc.pitch, 16);  // rows are padded: users must honour the pitch
  EXPECT_EQ(desc.surface, s->Pixels());
  EXPECT_EQ(s->Lock(nullptr, again, DDLOCK_WAIT), DDERR_SURFACEBUSY);
  TDevRect r{1, 1, 3, 2};
  EXPECT_EQ(s->Unlock(nullptr), DD_OK);
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
  ASSERT_EQ(s->Lock(&r, desc, 0), DD_OK);
  EXPECT_EQ(desc.surface, s->Pixels() + 16 + 2);
  s->Unlock(nullptr);
  TDevRect outside{2, 0, 4, 1};
  EXPECT_EQ(s->Lock(&outside, desc, 0), DDERR_INVALIDRECT);
}

TEST(DeviceSurface, VideoMemoryIsAccountedAndRunsOut) {
  TSoftAdapterConfig config;
  config.totalVideoMemory = 1 << 20;
  auto adapter = std::make_shared<TSoftAdapter>(config);
  auto draw = MakeDraw(adapter);
  std::shared_ptr<TSoftSurface> a, b, c;
  ASSERT_EQ(draw->CreateSurface(Plain(512, 512, PixelFormatArgb8888(), DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY), a), DD_OK);
  uint32_t total = 0, free = 1;
  draw->GetAvailableVidMem(0, total, free);
  EXPECT_EQ(total, 1u << 20);
  EXPECT_EQ(free, 0u);
  EXPECT_EQ(draw->CreateSurface(Plain(4, 4, PixelFormatArgb8888(), DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY), b),
            DDERR_OUTOFVIDEOMEMORY);
  EXPECT_FALSE(b);
  ASSERT_EQ(draw->CreateSurface(Plain(4, 4, PixelFormatArgb8888(), DDSCAPS_TEXTURE), c), DD_OK);
  EXPECT_TRUE(c->Caps() & DDSCAPS_SYSTEMMEMORY);
  a.reset();
  EXPECT_EQ(adapter->FreeVideoMemory(), 1u << 20);
  // A forced failure, once.
  adapter->FailNext(TDevCall::CreateSurface, DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(draw->CreateSurface(Plain(4, 4, PixelFormatArgb8888()), b), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(draw->CreateSurface(Plain(4, 4, PixelFormatArgb8888()), b), DD_OK);
}

TEST(DeviceSurface, BlitCopiesScalesFillsAndConverts) {
  auto draw = MakeDraw(std::make_shared<TSoftAdapter>());
  std::shared_ptr<TSoftSurface> src, dst, small;
  ASSERT_EQ(draw->CreateSurface(Plain(2, 2, PixelFormatArgb8888()), src), DD_OK);
  ASSERT_EQ(draw->CreateSurface(Plain(8, 8, PixelFormatArgb8888()), dst), DD_OK);
  ASSERT_EQ(draw->CreateSurface(Plain(4, 4, PixelFormatRgb565()), small), DD_OK);
  const uint32_t colors[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  for (int i = 0; i < 4; ++i) WritePixel(src->Pixels() + (i / 2) * src->Pitch() + (i % 2) * 4, 4, colors[i]);
  TDevBltFx fx;
  fx.fillColor = 0xFF123456;
  ASSERT_EQ(dst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  EXPECT_EQ(PixelAt(*dst, 7, 7), 0xFF123456u);
  TDevRect to{2, 2, 6, 6};
  ASSERT_EQ(dst->Blt(&to, src.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);  // 2x2 scaled to 4x4
  EXPECT_EQ(PixelAt(*dst, 2, 2), colors[0]);
  EXPECT_EQ(PixelAt(*dst, 3, 3), colors[0]);
  EXPECT_EQ(PixelAt(*dst, 4, 2), colors[1]);
  EXPECT_EQ(PixelAt(*dst, 5, 5), colors[3]);
  EXPECT_EQ(PixelAt(*dst, 1, 1), 0xFF123456u);
  ASSERT_EQ(small->BltFast(1, 1, src.get(), nullptr, DDBLTFAST_WAIT), DD_OK);  // converted to 16 bits
  EXPECT_EQ(PixelAt(*small, 1, 1), 0xF800u);
  EXPECT_EQ(PixelAt(*small, 2, 2), 0xFFFFu);
  TDevRect outside{6, 6, 10, 10};
  EXPECT_EQ(dst->Blt(&outside, src.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(small->BltFast(3, 3, src.get(), nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  // The clipped copy takes what fits.
  ASSERT_EQ(TSoftSurface::CopyClipped(*small, 3, -1, *src, {0, 0, 2, 2}), DD_OK);
  EXPECT_EQ(PixelAt(*small, 3, 0), 0x001Fu);
}

// A fill covers its rectangle and nothing beside it, at every depth.
TEST(DeviceSurface, FillsCoverTheirRectangleOnly) {
  auto draw = MakeDraw(std::make_shared<TSoftAdapter>());
  for (const TPixelFormat& format : {PixelFormatArgb8888(), PixelFormatRgb565()}) {
    SCOPED_TRACE(format.bitCount);
    std::shared_ptr<TSoftSurface> s;
    ASSERT_EQ(draw->CreateSurface(Plain(6, 5, format), s), DD_OK);
    TDevBltFx fx;
    fx.fillColor = 0x1234;
    ASSERT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    fx.fillColor = 0xF81F;
    TDevRect inner{1, 1, 4, 4};
    ASSERT_EQ(s->Blt(&inner, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        bool inside = x >= 1 && x < 4 && y >= 1 && y < 4;
        EXPECT_EQ(PixelAt(*s, x, y), inside ? 0xF81Fu : 0x1234u) << x << "," << y;
      }
  }
}

TEST(DeviceSurface, LostSurfacesFailUntilRestored) {
  auto adapter = std::make_shared<TSoftAdapter>();
  auto draw = MakeDraw(adapter);
  std::shared_ptr<TSoftSurface> s;
  ASSERT_EQ(draw->CreateSurface(Plain(4, 4, PixelFormatXrgb8888()), s), DD_OK);
  WritePixel(s->Pixels(), 4, 0xFFFFFFFF);
  draw->LoseAllSurfaces();
  TDevSurfaceDesc desc;
  EXPECT_EQ(s->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(s->Lock(nullptr, desc, 0), DDERR_SURFACELOST);
  TDevBltFx fx;
  EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_SURFACELOST);
  adapter->FailNext(TDevCall::TestCooperativeLevel, DDERR_WRONGMODE);
  EXPECT_EQ(draw->TestCooperativeLevel(), DDERR_WRONGMODE);
  EXPECT_EQ(draw->TestCooperativeLevel(), DD_OK);
  EXPECT_EQ(draw->RestoreAllSurfaces(), DD_OK);
  EXPECT_EQ(s->IsLost(), DD_OK);
  EXPECT_EQ(PixelAt(*s, 0, 0), 0u);  // contents do not survive a loss
}

TEST(DeviceSurface, AdapterPresetsAndDesktopLimit) {
  auto sixteen = MakeDraw(std::make_shared<TSoftAdapter>(TSoftAdapter::SixteenBitOnly()));
  std::vector<TDevDisplayMode> modes;
  sixteen->EnumDisplayModes(800, 600, 24, modes);
  EXPECT_TRUE(modes.empty());
  sixteen->EnumDisplayModes(800, 600, 15, modes);
  ASSERT_EQ(modes.size(), 1u);
  EXPECT_EQ(modes[0].bitsPerPixel, 16u);
  ASSERT_EQ(sixteen->SetCooperativeLevel(DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  EXPECT_EQ(sixteen->SetDisplayMode(800, 600, 32), DDERR_INVALIDMODE);
  EXPECT_EQ(sixteen->SetDisplayMode(800, 600, 16), DD_OK);
  std::shared_ptr<TSoft3D> d3d;
  TSoft3D::Create(sixteen, d3d);
  std::vector<TDevDeviceDesc> devices;
  d3d->EnumDevices(devices);
  EXPECT_EQ(devices.at(0).renderBitDepth, DDBD_16);

  auto small = std::make_shared<TSoftAdapter>(TSoftAdapter::SmallTextures());
  EXPECT_EQ(small->DeviceDesc().maxTextureWidth, 512u);
  std::shared_ptr<TSoftSurface> t;
  EXPECT_EQ(MakeDraw(small)->CreateSurface(Plain(1024, 1024, PixelFormatArgb8888(), DDSCAPS_TEXTURE), t), DDERR_INVALIDPARAMS);

  TSoftAdapterConfig desktop;
  desktop.desktop = {800, 600, 32, 60};
  TSoftAdapter tight(desktop);
  EXPECT_FALSE(tight.WindowFits(800, 600));
  desktop.desktop = {1024, 768, 32, 60};
  EXPECT_TRUE(TSoftAdapter(desktop).WindowFits(800, 600));
}

TEST(DeviceSurface, FullScreenFlipShowsTheBackBuffer) {
  TDeviceRig rig;
  ASSERT_EQ(TSoftDraw::Create(rig.adapter, rig.draw), DD_OK);
  rig.draw->SetPresenter(rig.presenter);
  ASSERT_EQ(rig.draw->SetCooperativeLevel(DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
  ASSERT_EQ(rig.draw->SetDisplayMode(640, 480, 32), DD_OK);
  EXPECT_TRUE(rig.presenter->IsFullScreen());
  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  desc.backBufferCount = 1;
  ASSERT_EQ(rig.draw->CreateSurface(desc, rig.front), DD_OK);
  ASSERT_EQ(rig.front->GetAttachedSurface(DDSCAPS_BACKBUFFER, rig.back), DD_OK);
  EXPECT_EQ(rig.back->Width(), 640u);
  TDevBltFx fx;
  fx.fillColor = 0x00FF8000;
  rig.back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  ASSERT_EQ(rig.front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  ASSERT_EQ(rig.presenter->ShownWidth(), 640u);
  EXPECT_EQ(rig.presenter->Shown()[1000], 0xFFFF8000u);
  EXPECT_EQ(PixelAt(*rig.back, 0, 0), 0u);  // the back buffer now holds the old front
  rig.adapter->SetStillDrawing(1);
  EXPECT_EQ(rig.front->GetFlipStatus(DDGFS_ISFLIPDONE), DDERR_WASSTILLDRAWING);
  EXPECT_EQ(rig.front->GetFlipStatus(DDGFS_ISFLIPDONE), DD_OK);
  ASSERT_EQ(rig.draw->SetCooperativeLevel(DDSCL_NORMAL), DD_OK);
  TDevSurfaceDesc mode;
  rig.draw->GetDisplayMode(mode);
  EXPECT_EQ(mode.width, rig.adapter->Config().desktop.width);
}

TEST(DeviceSurface, CursorIsPlacedByItsHotSpotAndClippedAtTheEdges) {
  TDeviceRig rig;
  ASSERT_EQ(rig.CreateWindowed(40, 30), DD_OK);
  auto image = std::make_shared<TCursorImage>();
  image->width = 3;  // smaller than the classic 32x32: only its own pixels are read
  image->height = 2;
  image->pixels = {0xFFFF0000, 0xFFFF0000, 0x80FFFFFF, 0xFFFF0000, 0x00FFFFFF, 0xFFFF0000};
  image->hotX = 5;
  image->hotY = 3;
  TCursorOverlay& cursor = rig.draw->Cursor();
  cursor.SetImage(image);
  cursor.SetPosition(20, 10);
  ASSERT_EQ(rig.front->Blt(nullptr, rig.back.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  const auto& shown = rig.presenter->Shown();
  auto at = [&](int x, int y) { return rig.presenter->Shown()[size_t(y) * 40 + x]; };
  EXPECT_EQ(at(15, 7), 0xFFFF0000u);  // 5 left and 3 above the position
  EXPECT_EQ(at(17, 7), 0xFF808080u);  // half-transparent white over black
  EXPECT_EQ(at(16, 8), 0xFF000000u);  // transparent pixel
  EXPECT_EQ(at(14, 7), 0xFF000000u);
  // At the right and bottom edges the cursor is cut, not hidden.
  cursor.SetPosition(39 + 5, 29 + 3);
  cursor.RequestRefresh();
  ASSERT_EQ(rig.draw->RefreshCursor(), DD_OK);
  EXPECT_EQ(at(39, 29), 0xFFFF0000u);
  EXPECT_EQ(at(15, 7), 0xFF000000u);
  // Hidden, and with a hardware cursor, nothing is drawn.
  cursor.SetVisible(false);
  cursor.RequestRefresh();
  rig.draw->RefreshCursor();
  EXPECT_EQ(at(39, 29), 0xFF000000u);
  cursor.SetVisible(true);
  rig.presenter->SetHardwareCursor(image.get());
  cursor.RequestRefresh();
  rig.draw->RefreshCursor();
  EXPECT_EQ(at(39, 29), 0xFF000000u);
  EXPECT_EQ(shown.size(), 1200u);
}

// A surface's bytes, small ones from the heap and large ones as mappings of their own: each
// size starts zeroed, keeps what is written, swaps with another and clears again; bytes given
// up and reused start zeroed too.
TEST(PixelStore, EverySizeStartsZeroedSwapsAndClears) {
  for (size_t bytes : {size_t(16), size_t(4096), size_t(1) << 20, size_t(3) << 20}) {
    SCOPED_TRACE(bytes);
    TPixelStore a, b;
    a.Reset(bytes);
    ASSERT_EQ(a.Size(), bytes);
    for (size_t i : {size_t(0), bytes / 2, bytes - 1}) EXPECT_EQ(a.Data()[i], 0);
    std::memset(a.Data(), 0x5A, bytes);
    b.Reset(8);
    a.Swap(b);
    ASSERT_EQ(b.Size(), bytes);
    EXPECT_EQ(b.Data()[bytes - 1], 0x5A);
    EXPECT_EQ(a.Size(), 8u);
    b.Clear();
    EXPECT_EQ(b.Data()[bytes - 1], 0);
    // Bytes given up and taken again by the next store of their size come back zeroed.
    std::memset(b.Data(), 0x5A, bytes);
    b.Reset(0);
    EXPECT_EQ(b.Data(), nullptr);
    TPixelStore c;
    c.Reset(bytes);
    for (size_t i : {size_t(0), bytes / 2, bytes - 1}) EXPECT_EQ(c.Data()[i], 0);
  }
}
