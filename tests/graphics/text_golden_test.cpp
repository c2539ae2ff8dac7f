// Golden images of laid-out text. Regenerate (then look at every changed image before
// committing):
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/text_tests --gtest_filter='TextGolden.*'

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "graphics/device/golden_png.h"
#include "graphics/font_cache.h"
#include "graphics/text_graphic.h"
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

class TextGolden : public TTextTest {
 protected:
  TextGolden() {
    std::ifstream in(std::string(TARVELON_SOURCE_DIR) + "/assets/fonts/default_bold.mvec", std::ios::binary);
    mBold.assign(std::istreambuf_iterator<char>(in), {});
    RegisterMemoryFile("fonts/default_bold.mvec", mBold.data(), mBold.size());
  }
  ~TextGolden() override { RegisterMemoryFile("fonts/default_bold.mvec", nullptr, 0); }

  std::unique_ptr<TTextGraphic> MakeText() {
    auto text = TTextGraphic::Create(GoldenText, 300, 170, 0, "__DEFAULT", 17, TColor{0.15f, 0.1f, 0.05f, 1});
    EXPECT_EQ(text->GetLineCount(), 7);
    return text;
  }

  std::vector<uint8_t> mBold;
};

TEST_F(TextGolden, TwoFontsColoursUnderlineAndLinkWrappedInABox) {
  ASSERT_FALSE(mBold.empty());
  auto text = MakeText();
  TMemoryImage image(320, 190, Paper);
  mDraw.SetSpanSink(&image);
  text->DrawAt(TVec2(10, 10), 170);
  EXPECT_EQ(MatchGolden("text/text_box.png", image.Pixels(), 320, 190), "");
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

}  // namespace
