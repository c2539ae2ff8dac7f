// The widgets drawn on the software display: images (turned and mirrored), texts, a button
// with its label, a text edit and both kinds of slider, against a golden frame; and a screen
// that clears with its transparent default colour. Regenerate the golden frame with (then
// look at it before committing):
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/windows_tests --gtest_filter='WidgetDraw.*'

#include <cmath>

#include "graphics/device/golden_png.h"
#include "windows/image_window.h"
#include "windows/screen.h"
#include "widget_test_util.h"

namespace {

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

class WidgetDraw : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    WriteImage("sky.png", Width, Height, [](uint32_t, uint32_t y) {
      return Argb(255, 30 + y / 4, 50 + y / 3, 110 + y / 4);
    });
    // Left half red, right half blue: a turn shows where the halves went.
    WriteImage("halves.png", 40, 20, [](uint32_t x, uint32_t) { return x < 20 ? 0xFFD02020 : 0xFF2040D0; });
    WriteImage("button.png", 80, 28, [](uint32_t x, uint32_t y) {
      bool edge = x < 2 || y < 2 || x >= 78 || y >= 26;
      return edge ? 0xFFF0D080 : Argb(230, 90, 60, 30);
    });
    WriteImage("button_over.png", 80, 28, [](uint32_t x, uint32_t y) {
      bool edge = x < 2 || y < 2 || x >= 78 || y >= 26;
      return edge ? 0xFFFFF0A0 : Argb(240, 140, 95, 45);
    });
    WriteImage("cap.png", 8, 4, [](uint32_t, uint32_t y) { return y < 2 ? 0xFFE0E0E0 : 0xFF909090; });
    WriteSolidImage("rail.png", 8, 8, 0xFF707070);
    WriteImage("knob.png", 16, 16, [](uint32_t x, uint32_t y) {
      float dx = float(x) - 7.5f, dy = float(y) - 7.5f;
      return dx * dx + dy * dy <= 56.0f ? 0xFFF4F0E0 : 0x00000000;
    });
  }
};

TEST_F(WidgetDraw, TheWidgetsOfAScreen) {
  Manager().SetScriptFlag(true);  // as once the strings are loaded: "#" marks literal text
  Build("Bitmap{ name = 'sky', image = 'sky.png' }();"
        "Text{ name = 'title', x = 0, y = 8, w = 320, h = 40, flags = kHAlignCenter, label = '#Tarvelon',"
        "  font = { 'fonts/default_bold.mvec', 30, { 1, 0.85, 0.4, 1 } } }();"
        "Bitmap{ name = 'turned', x = 20, y = 60, image = 'halves.png', rotate = true }();"
        "Bitmap{ name = 'mirrored', x = 60, y = 60, image = 'halves.png', hflip = true }();"
        "Bitmap{ name = 'faded', x = 60, y = 90, image = 'halves.png', alpha = true }();"
        "Button{ name = 'ok', x = 130, y = 60, graphics = { 'button.png', 'button.png', 'button_over.png' },"
        "  Text{ name = 'label', w = kMax, h = kMax, flags = kHAlignCenter + kVAlignCenter, label = '#Weiter',"
        "    font = { '__DEFAULT', 14, { 1, 1, 1, 1 } } } }();"
        "Button{ name = 'other', x = 220, y = 60, graphics = { 'button.png', 'button.png', 'button_over.png' } }();"
        "TextEdit{ name = 'name', x = 130, y = 100, w = 160, h = 24, label = 'Anna Müller', utf8 = true,"
        "  font = { '__DEFAULT', 16, { 0.1, 0.1, 0.1, 1 } } }();"
        "Slider{ name = 'across', x = 40, y = 150, w = 200, h = 16, value = 0.3, railtop = 'cap.png',"
        "  railmid = 'rail.png', railbot = 'cap.png', sliderimage = 'knob.png' }();"
        "Slider{ name = 'down', x = 280, y = 120, w = 16, h = 100, value = 1, railtop = 'cap.png',"
        "  railmid = 'rail.png', railbot = 'cap.png', sliderimage = 'knob.png' }()");
  Find<TImage>("faded")->SetAlpha(0.5f);
  MouseMove(150, 70);  // the first button shows its roll-over
  const std::vector<uint32_t>& frame = Frame();
  auto at = [&](uint32_t x, uint32_t y) { return frame[size_t(y) * Width + x] & 0xFFFFFF; };
  // Turned a quarter clockwise, the left half is on top; mirrored, it is on the right.
  EXPECT_EQ(at(30, 65), 0xD02020u);
  EXPECT_EQ(at(30, 95), 0x2040D0u);
  EXPECT_EQ(at(65, 65), 0x2040D0u);
  EXPECT_EQ(at(95, 65), 0xD02020u);
  // Hovered and resting buttons differ.
  EXPECT_NE(at(133, 63), at(223, 63));
  // The horizontal slider's thumb sits at 0.3 of its free run.
  EXPECT_EQ(at(40 + 55 + 8, 150 + 8), 0xF4F0E0u);
  EXPECT_EQ(MatchGolden("windows/widgets.png", frame, Width, Height), "");
}

// Fault mended: the screen's default clear colour (transparent black) was blended, so the
// screen was never cleared and a window that went stayed on it.
TEST_F(WidgetDraw, TheScreenClearsWithItsDefaultColour) {
  auto* screen = WindowCast<TScreen>(Screen());
  screen->SetClearColor(TColor{0, 0, 0, 0});
  Build("Bitmap{ name = 'halves', x = 10, y = 10, image = 'halves.png' }()");
  EXPECT_EQ(PixelAt(15, 15) & 0xFFFFFF, 0xD02020u);
  Build("DestroyWindow('halves')");
  Send(EventIdle);
  EXPECT_EQ(PixelAt(15, 15) & 0xFFFFFF, 0u);
}

}  // namespace
