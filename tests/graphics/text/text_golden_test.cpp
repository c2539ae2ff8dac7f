// Golden images of laid-out text. Regenerate (then look at every changed image before
// committing):
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/text_tests --gtest_filter='TextOnScreen.*'
// The image is drawn through the renderer onto the software device's screen; the same text
// drawn by the rasteriser into a memory image must match it to within blending rounding.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "graphics/device/golden_png.h"
#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "graphics/text/font_cache.h"
#include "graphics/text/text_graphic.h"
#include "graphics/texture.h"
#include "platform/file_map.h"
#include "text_test_util.h"

namespace {

constexpr uint32_t Paper = 0xFFF4ECD8u;

// Two fonts (the built-in one and the shipped bold one), colours, underline, a link,
// German letters, wrapped in a box.
const char* const GoldenText =
    "Willkommen in <font face='fonts/default_bold.mvec' color='#a02020'>Tarvelon</font>! "
    "Die <u>alte Br\xC3\xBC" "cke</u> \xC3\xBC" "ber den Flu\xC3\x9F ist gesperrt. "
    "\xC3\x96" "ffne die <a id='karte' color='#2040c0'>Karte</a>, um einen anderen Weg zu finden."
    "<br><center><font size='22' face='fonts/default_bold.mvec'>\xC3\x84pfel, \xC3\x96l, "
    "\xC3\x9C" "bermut, Stra\xC3\x9F" "e</font></center>";

// The shipped bold font as "fonts/default_bold.mvec", for as long as it lives.
class TBoldFont {
 public:
  TBoldFont() {
    std::ifstream in(std::string(TARVELON_SOURCE_DIR) + "/assets/fonts/default_bold.mvec", std::ios::binary);
    mBytes.assign(std::istreambuf_iterator<char>(in), {});
    RegisterMemoryFile("fonts/default_bold.mvec", mBytes.data(), mBytes.size());
  }
  ~TBoldFont() { RegisterMemoryFile("fonts/default_bold.mvec", nullptr, 0); }
  bool Loaded() const { return !mBytes.empty(); }

 private:
  std::vector<uint8_t> mBytes;
};

std::unique_ptr<TTextGraphic> MakeGoldenText() {
  auto text = TTextGraphic::Create(GoldenText, 300, 170, 0, "__DEFAULT", 17, TColor{0.15f, 0.1f, 0.05f, 1});
  EXPECT_EQ(text->GetLineCount(), 7);
  return text;
}

class TextInMemory : public TTextTest {
 protected:
  TBoldFont mBold;
};

TEST_F(TextInMemory, MatchesTheGoldenBoxUpToRounding) {
  ASSERT_TRUE(mBold.Loaded());
  auto text = MakeGoldenText();
  TMemoryImage image(320, 190, Paper);
  mDraw.SetSpanSink(&image);
  text->DrawAt(TVec2(10, 10), 170);
  std::vector<uint32_t> golden;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(ReadGoldenPng(std::string(TARVELON_GOLDEN) + "/text/text_box.png", golden, width, height));
  ASSERT_EQ(width * height, image.Pixels().size());
  // Spans blended over each other round a little differently on the device.
  int inked = 0, worst = 0;
  for (size_t i = 0; i < golden.size(); ++i) {
    inked += image.Pixels()[i] != Paper;
    for (int shift = 0; shift < 32; shift += 8) {
      int a = int(image.Pixels()[i] >> shift & 0xFF), b = int(golden[i] >> shift & 0xFF);
      worst = std::max(worst, std::abs(a - b));
    }
  }
  EXPECT_LE(worst, 2);
  EXPECT_GT(inked, 3000);
  // The link answers where it was drawn: "Karte" on the third line.
  const TTextLine& line = text->GetLine(2);
  const TTextRun* link = nullptr;
  for (const TTextRun& run : line.runs) {
    if (run.link == TString("karte")) link = &run;
  }
  ASSERT_NE(link, nullptr);
  float x = line.x + float(link->x + link->width / 2) / 4, y = line.y + line.height / 2;
  EXPECT_EQ(text->GetLinkAt(x, y), TString("karte"));
  EXPECT_TRUE(text->GetLinkAt(x, y + line.height).IsEmpty());
}

// Text through the renderer onto the software device's screen, with the rasteriser the
// display start would make.
class TextOnScreen : public ::testing::Test {
 protected:
  TextOnScreen() : mSquareFont(MakeSquareFont()) {
    mRig.Window(320, 190);
    mDraw.SetSpanSink(&TRenderer::GetInstance()->GetSpanSink());
    SetTextRasteriser(&mDraw);
    TFontCache::Clear();
    RegisterMemoryFile("fonts/square.mvec", mSquareFont.data(), mSquareFont.size());
  }
  ~TextOnScreen() override {
    TFontCache::Clear();
    SetTextRasteriser(nullptr);
    RegisterMemoryFile("fonts/square.mvec", nullptr, 0);
  }

  // One frame on a paper-coloured screen; draw runs inside its 2D block.
  template <class F>
  void Frame(F draw) {
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PushClipRect(TRect(0, 0, 320, 190));
    ASSERT_TRUE(renderer->BeginDraw(false));
    ASSERT_TRUE(renderer->Begin2d());
    renderer->SetBlendMode(1);
    renderer->FillRect(TRect(0, 0, 320, 190), TColor{244.5f / 255, 236.5f / 255, 216.5f / 255, 1});
    renderer->SetBlendMode(0);
    draw(*renderer);
    renderer->End2d();
    renderer->EndDraw(true);
  }

  std::vector<uint32_t> Shown() const {
    std::vector<uint32_t> shown(320 * 190);
    for (uint32_t y = 0; y < 190; ++y) {
      for (uint32_t x = 0; x < 320; ++x) shown[y * 320 + x] = mRig.Shown(x, y);
    }
    return shown;
  }

  TDisplayRig mRig;
  TBoldFont mBold;
  std::vector<uint8_t> mSquareFont;
  TJxMiniVecDraw mDraw;
};

TEST_F(TextOnScreen, TwoFontsColoursUnderlineAndLinkWrappedInABox) {
  auto text = MakeGoldenText();
  Frame([&](TRenderer& renderer) {
    // A text window's viewport: the rectangle is relative to it.
    renderer.PushViewport(TRect(10, 10, 310, 180));
    text->Draw(TRect(0, 0, 300, 170));
    renderer.PopViewport();
  });
  std::vector<uint32_t> shown = Shown();
  EXPECT_EQ(shown[0], Paper);
  EXPECT_EQ(MatchGolden("text/text_box.png", shown, 320, 190), "");
}

TEST_F(TextOnScreen, ViewportScaleEnlargesScreenTextOnly) {
  auto text = TTextGraphic::Create("a", 100, 50, 0, "fonts/square.mvec", 16, TColor{0, 0, 0, 1});
  mRig.host.viewportScaleOn = true;
  mRig.host.viewportScale = 2;
  Frame([&](TRenderer&) { text->Draw(TRect(20, 20, 120, 70)); });
  // The square, 6 x 10 pixels at scale 1, is 12 x 20 from (22, 25).
  EXPECT_EQ(mRig.Shown(23, 30), 0xFF000000u);
  EXPECT_EQ(mRig.Shown(33, 43), 0xFF000000u);
  EXPECT_EQ(mRig.Shown(35, 30), Paper);

  // Into a texture the rectangle is the texture's own, and no viewport scale applies.
  std::shared_ptr<TTexture> target = TTexture::CreateRenderTarget(32, 32, true);
  ASSERT_TRUE(target);
  uint32_t* pixels = nullptr;
  int pitch = 0;
  ASSERT_TRUE(target->Lock(pixels, pitch));
  for (int y = 0; y < 32; ++y) std::fill(pixels + y * pitch, pixels + y * pitch + 32, 0xFFFFFFFFu);
  target->Unlock();
  int invalidations = mRig.host.invalidations;
  text->Draw(TRect(4, 4, 36, 36), TTextDrawParams(), target);
  EXPECT_GT(mRig.host.invalidations, invalidations);
  ASSERT_TRUE(target->Lock(pixels, pitch));
  EXPECT_EQ(pixels[8 * pitch + 6], 0xFF000000u);   // inside the square at (5..11, 6.5..16.5)
  EXPECT_EQ(pixels[8 * pitch + 12], 0xFFFFFFFFu);  // right of it
  EXPECT_EQ(pixels[20 * pitch + 6], 0xFFFFFFFFu);  // below it
  target->Unlock();
}

}  // namespace
