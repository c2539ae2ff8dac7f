#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/codecs/image_codecs.h"
#include "graphics/graphics_test_util.h"
#include "platform/file_map.h"

namespace {

uint32_t PixelAt(const TDecodedImage& image, uint32_t x, uint32_t y) {
  uint32_t p;
  memcpy(&p, image.pixels.get() + (size_t(y) * image.side + x) * 4, 4);
  return p;
}

// The generator's test pattern (make_image_fixtures.cpp).
uint32_t Pattern(uint32_t x, uint32_t y, uint32_t alpha) {
  return alpha << 24 | (x * 40 & 0xFF) << 16 | (y * 60 & 0xFF) << 8 | ((x + y) * 25 & 0xFF);
}

using TLoader = bool (*)(const TString&, TDecodedImage&);

struct TGoodImage {
  const char* name;
  TLoader load;
  uint32_t width, height, side;
  bool hasAlpha;
};

const TGoodImage GoodImages[] = {
    {"rgba.png", LoadPngImage, 5, 3, 8, true},
    {"palette.png", LoadPngImage, 4, 2, 4, true},
    {"photo.jpg", LoadJpegImage, 24, 16, 32, false},
    {"image.jp2", LoadJpeg2000Image, 6, 5, 8, false},
    {"rgba.jp2", LoadJpeg2000Image, 6, 5, 8, true},
    {"grey.j2k", LoadJpeg2000Image, 6, 5, 8, false},
};

class ImageCodecsTest : public ::testing::Test {
 protected:
  TGraphicsTestLog mLog;
};

TEST_F(ImageCodecsTest, GoodFilesLoadIntoTheSquareLayout) {
  for (const TGoodImage& g : GoodImages) {
    SCOPED_TRACE(g.name);
    TDecodedImage image;
    ASSERT_TRUE(g.load(GraphicsFixture(g.name), image));
    EXPECT_EQ(image.width, g.width);
    EXPECT_EQ(image.height, g.height);
    EXPECT_EQ(image.side, g.side);
    EXPECT_EQ(image.hasAlpha, g.hasAlpha);
    ASSERT_TRUE(image.pixels);
  }
  EXPECT_EQ(mLog.TakeNew(), "");
}

TEST_F(ImageCodecsTest, PngPixelsInBlueGreenRedAlphaOrderWithZeroPadding) {
  TDecodedImage image;
  ASSERT_TRUE(LoadPngImage(GraphicsFixture("rgba.png"), image));
  EXPECT_EQ(image.channels, 4);
  for (uint32_t y = 0; y < image.side; ++y) {
    for (uint32_t x = 0; x < image.side; ++x) {
      uint32_t expected = x < 5 && y < 3 ? Pattern(x, y, x * 60) : 0;
      ASSERT_EQ(PixelAt(image, x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(ImageCodecsTest, PaletteWithTransparencyExpandsToAlpha) {
  TDecodedImage image;
  ASSERT_TRUE(LoadPngImage(GraphicsFixture("palette.png"), image));
  EXPECT_EQ(PixelAt(image, 0, 0), 0x00FF0000u);  // red, alpha 0 from the transparency chunk
  EXPECT_EQ(PixelAt(image, 1, 0), 0x8000FF00u);
  EXPECT_EQ(PixelAt(image, 3, 0), 0xFF0A141Eu);  // past the chunk: opaque
}

TEST_F(ImageCodecsTest, KeptPaletteGivesIndicesAndTakesRiffColours) {
  TDecodedImage image;
  ASSERT_TRUE(LoadPngImageEx(GraphicsFixture("palette.png"), image, TString(), true));
  const uint8_t rows[2][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}};
  for (int y = 0; y < 2; ++y) EXPECT_EQ(memcmp(image.pixels.get() + y * image.side, rows[y], 4), 0);
  ASSERT_TRUE(image.palette);
  EXPECT_TRUE(image.hasAlpha);
  const uint8_t* p = image.palette.get();
  EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24, 0x00FF0000);   // blue, green, red, alpha
  EXPECT_EQ(p[12] | p[13] << 8 | p[14] << 16 | p[15] << 24, (int)0xFF0A141E);
  EXPECT_EQ(p[255 * 4 + 3], 255);

  ASSERT_TRUE(LoadPngImageEx(GraphicsFixture("palette.png"), image, GraphicsFixture("palette.pal"), true));
  p = image.palette.get();
  EXPECT_EQ(p[2], 9);  // red of entry 0 from the file
  EXPECT_EQ(p[1], 8);
  EXPECT_EQ(p[0], 7);
  EXPECT_EQ(p[6], 6);  // entry 1
  EXPECT_EQ(p[8], 255);  // entry 2 keeps the image's blue
  EXPECT_EQ(mLog.TakeNew(), "");
}

// A RIFF palette whose data size claims far more entries than the file (and any PNG
// palette) holds: only the entries present replace colours, with a log line.
TEST_F(ImageCodecsTest, RiffPaletteCountBeyondFileIsBounded) {
  TDecodedImage image;
  ASSERT_TRUE(LoadPngImageEx(GraphicsFixture("palette.png"), image,
                             GraphicsFixture("palette_count_overrun.pal"), true));
  const uint8_t* p = image.palette.get();
  EXPECT_EQ(p[2], 9);
  EXPECT_EQ(p[6], 6);
  EXPECT_EQ(p[8], 255);
  std::string log = mLog.TakeNew();
  EXPECT_NE(log.find("palette_count_overrun.pal: 100000 entries claimed, 2 present"), std::string::npos) << log;
}

TEST_F(ImageCodecsTest, Jpeg2000ComponentsPaddingAndGrey) {
  TDecodedImage image;
  ASSERT_TRUE(LoadJpeg2000Image(GraphicsFixture("rgba.jp2"), image));
  auto sample = [](uint32_t x, uint32_t y, int c) { return uint32_t((y * 6 + x) * 9 + c * 70) & 0xFF; };
  for (uint32_t y = 0; y < 8; ++y) {
    for (uint32_t x = 0; x < 8; ++x) {
      uint32_t sx = x < 6 ? x : 5, sy = y < 5 ? y : 4;  // padding repeats the last column and row
      uint32_t expected = sample(sx, sy, 3) << 24 | sample(sx, sy, 0) << 16 | sample(sx, sy, 1) << 8 | sample(sx, sy, 2);
      ASSERT_EQ(PixelAt(image, x, y), expected) << x << "," << y;
    }
  }
  ASSERT_TRUE(LoadJpeg2000Image(GraphicsFixture("grey.j2k"), image));
  uint32_t g = sample(2, 1, 0);
  EXPECT_EQ(PixelAt(image, 2, 1), 0xFF000000u | g << 16 | g << 8 | g);
}

TEST_F(ImageCodecsTest, PngRoundTripOf300x200InA512Square) {
  TString name = "user:shot.png";
  const uint32_t w = 300, h = 200, pitch = w * 4 + 12;
  std::vector<uint8_t> source(pitch * h, 0xEE);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      uint32_t p = Pattern(x, y, (x + y) & 0xFF);
      memcpy(&source[y * pitch + x * 4], &p, 4);
    }
  }
  ASSERT_TRUE(SavePngImage(name, source.data(), w, h, pitch));
  TDecodedImage image;
  ASSERT_TRUE(LoadPngImage(name, image));
  ASSERT_EQ(image.side, 512u);
  for (uint32_t y = 0; y < 512; ++y) {
    for (uint32_t x = 0; x < 512; ++x) {
      uint32_t expected = x < w && y < h ? Pattern(x, y, (x + y) & 0xFF) : 0;
      ASSERT_EQ(PixelAt(image, x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(ImageCodecsTest, JpegRoundTripKeepsColoursClose) {
  TString name = "user:shot.jpg";
  const uint32_t w = 40, h = 24;
  std::vector<uint32_t> source(w * h);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) source[y * w + x] = x < 20 ? 0xFFC02010u : 0xFF1040E0u;
  ASSERT_TRUE(SaveJpegImage(name, 0.95f, w, h, w * 4, source.data()));
  TDecodedImage image;
  ASSERT_TRUE(LoadJpegImage(name, image));
  ASSERT_EQ(image.side, 64u);
  for (uint32_t x : {2u, 30u}) {
    uint32_t got = PixelAt(image, x, 10), want = source[10 * w + x];
    for (int shift = 0; shift < 32; shift += 8) {
      EXPECT_NEAR(int(got >> shift & 0xFF), int(want >> shift & 0xFF), 6) << x << " byte " << shift / 8;
    }
  }
}

TEST_F(ImageCodecsTest, WritingRefusesNothingAndUnwritablePlaces) {
  uint32_t pixel = 0;
  EXPECT_FALSE(SavePngImage("user:a.png", nullptr, 1, 1, 4));
  EXPECT_FALSE(SaveJpegImage("user:a.jpg", 0.5f, 0, 1, 4, &pixel));
  EXPECT_FALSE(SavePngImage("::/proc/no/such/folder/b.png", &pixel, 1, 1, 4));
  std::string log = mLog.TakeNew();
  EXPECT_NE(log.find("a.png: nothing to write"), std::string::npos) << log;
  EXPECT_NE(log.find("a.jpg: nothing to write"), std::string::npos) << log;
  EXPECT_NE(log.find("/proc/no/such/folder/b.png: cannot open for writing"), std::string::npos) << log;
}

struct TBrokenImage {
  const char* name;
  TLoader load;
  bool loads;           // the codec's end-of-data handling still makes an image
  const char* message;  // part of the log line
};

const TBrokenImage BrokenImages[] = {
    {"missing.png", LoadPngImage, false, "cannot open"},
    {"png_cut_signature.png", LoadPngImage, false, "not a PNG file"},
    {"png_cut_header.png", LoadPngImage, false, "Read Error"},
    {"png_cut_data.png", LoadPngImage, false, "Read Error"},
    {"png_flipped_header.png", LoadPngImage, false, "CRC error"},
    {"png_flipped_data.png", LoadPngImage, false, "PNG"},
    {"png_absurd_size.png", LoadPngImage, false, "refused size 100000x100000"},
    {"photo.jpg", LoadPngImage, false, "not a PNG file"},
    {"jpeg_cut_header.jpg", LoadJpegImage, false, "JPEG"},
    {"jpeg_cut_data.jpg", LoadJpegImage, true, "warning: Premature end of JPEG file"},
    {"jpeg_flipped_markers.jpg", LoadJpegImage, false, "JPEG"},
    {"jpeg_absurd_size.jpg", LoadJpegImage, false, "refused size 20000x20000"},
    {"rgba.png", LoadJpegImage, false, "Not a JPEG file"},
    {"jp2_cut_header.jp2", LoadJpeg2000Image, false, "JPEG-2000"},
    {"jp2_cut_data.jp2", LoadJpeg2000Image, false, "JPEG-2000"},
    {"j2k_cut_header.j2k", LoadJpeg2000Image, false, "JPEG-2000"},
    {"j2k_flipped_header.j2k", LoadJpeg2000Image, false, "JPEG-2000"},
    {"j2k_absurd_size.j2k", LoadJpeg2000Image, false, "refused size 200000x200000"},
    {"rgba.png", LoadJpeg2000Image, false, "not a JPEG-2000 file"},
};

TEST_F(ImageCodecsTest, BrokenFilesFailWithOneLogLine) {
  for (const TBrokenImage& b : BrokenImages) {
    SCOPED_TRACE(b.name);
    TDecodedImage image;
    EXPECT_EQ(b.load(GraphicsFixture(b.name), image), b.loads);
    EXPECT_EQ(image.pixels != nullptr, b.loads);
    std::string log = mLog.TakeNew();
    EXPECT_NE(log.find(b.name), std::string::npos) << log;
    EXPECT_NE(log.find(b.message), std::string::npos) << log;
  }
}

// Every prefix of every good file and a flipped byte at every offset: whatever loads or
// not, nothing reads or writes out of bounds (the sanitizers watch).
TEST_F(ImageCodecsTest, EveryCutAndFlippedByteIsSurvived) {
  for (const TGoodImage& g : GoodImages) {
    SCOPED_TRACE(g.name);
    std::vector<uint8_t> bytes = ReadFixtureBytes(g.name);
    ASSERT_FALSE(bytes.empty());
    std::vector<uint8_t> copy;
    auto load = [&](size_t size) {
      RegisterMemoryFile("broken.img", copy.data(), size);
      TDecodedImage image;
      if (g.load("broken.img", image)) {
        EXPECT_TRUE(image.pixels);
        EXPECT_LE(image.width, image.side);
      }
    };
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      copy = bytes;
      load(cut);
    }
    for (size_t at = 0; at < bytes.size(); ++at) {
      copy = bytes;
      copy[at] ^= 0x5A;
      load(copy.size());
    }
    RegisterMemoryFile("broken.img", nullptr, 0);
  }
}

}  // namespace
