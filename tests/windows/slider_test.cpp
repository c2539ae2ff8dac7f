// The slider: orientation, value and thumb, dragging, paging, and what the parent hears.

#include "graphics/texture.h"
#include "windows/image_window.h"
#include "windows/slider.h"
#include "widget_test_util.h"

namespace {

class SliderTest : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    WriteSolidImage("cap.png", 10, 4, 0xFF808080);
    WriteSolidImage("rail.png", 10, 8, 0xFF606060);
    WriteSolidImage("thumb.png", 20, 16, 0xFFE0E0E0);
    WriteSolidImage("thumbover.png", 20, 16, 0xFFFFFF00);
  }
  TSlider* Make(const std::string& style) {
    Build("Window{ name = 'panel', x = 20, y = 20, w = 280, h = 200, Slider{ name = 's', x = 0, y = 0, railtop = 'cap.png',"
          " railmid = 'rail.png', railbot = 'cap.png', sliderimage = 'thumb.png', sliderrollimage = 'thumbover.png', " +
          style + " } }()");
    return Find<TSlider>("s");
  }
  std::string Thumb(TSlider* slider) {
    return slider->GetThumb()->GetTexture()->GetFullName().ToStd().find("over") != std::string::npos ? "over" : "normal";
  }
};

TEST_F(SliderTest, TheSizeDecidesTheOrientationUnlessHsliderSays) {
  TSlider* wide = Make("w = 200, h = 20");
  EXPECT_TRUE(wide->IsHorizontal());
  // Horizontal: it keeps its width and is as thick as its thumb (thicker than the rail).
  EXPECT_EQ(wide->GetRect(), TRect(0, 0, 200, 16));
  Build("DestroyWindow('panel')");
  Send(EventIdle);
  TSlider* upright = Make("w = 200, h = 20, hslider = 0, yoffset = -3");
  EXPECT_FALSE(upright->IsHorizontal());
  EXPECT_EQ(upright->GetRect(), TRect(0, 0, 23, 20));
  Build("DestroyWindow('panel')");
  Send(EventIdle);
  EXPECT_TRUE(Make("w = 20, h = 200, hslider = true")->IsHorizontal());
}

TEST_F(SliderTest, TheValueIsClampedAndPlacesTheThumb) {
  TSlider* slider = Make("w = 200, h = 20, value = 0.5, yoffset = 2");
  EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
  EXPECT_EQ(slider->GetThumb()->GetRect(), TRect(90, 2, 110, 18));
  EXPECT_TRUE(ScriptMessages().empty());  // the initial value is silent
  slider->SetValue(1.5f, false);
  EXPECT_FLOAT_EQ(slider->GetValue(), 1.0f);
  EXPECT_EQ(slider->GetThumb()->GetLeft(), 180);
  slider->SetValue(-0.2f, true);
  EXPECT_FLOAT_EQ(slider->GetValue(), 0.0f);
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"9:s"});
}

TEST_F(SliderTest, DraggingTheThumbSetsTheValueAndTellsTheParent) {
  TSlider* slider = Make("w = 200, h = 20");
  MouseMove(30, 25);  // over the thumb: roll-over
  EXPECT_EQ(Thumb(slider), "over");
  MouseDown(30, 25);
  EXPECT_TRUE(slider->IsDragging());
  MouseMove(70, 25);
  EXPECT_FLOAT_EQ(slider->GetValue(), 0.25f);
  // The last pixel is 199/200, not 1; beyond it the value stops at 1.
  MouseMove(219, 25);
  EXPECT_FLOAT_EQ(slider->GetValue(), 199.0f / 200.0f);
  MouseMove(400, 300);
  EXPECT_FLOAT_EQ(slider->GetValue(), 1.0f);
  EXPECT_EQ(Thumb(slider), "over");
  // Released outside: the drag ends all the same, and the slider lets go of the mouse.
  MouseUp(400, 300);
  EXPECT_FALSE(slider->IsDragging());
  EXPECT_EQ(Thumb(slider), "normal");
  EXPECT_TRUE(Manager().GetHoverList().empty());
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"9:s", "9:s", "9:s", "10:s"}));
}

TEST_F(SliderTest, AClickOnTheRailPagesTowardsIt) {
  TSlider* slider = Make("w = 200, h = 20, value = 0.5");
  // (The release that no drag takes reaches the script as raw input.)
  Click(40, 25);
  Click(200, 25);
  EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"11:s", "4:mouse:up", "12:s", "4:mouse:up"}));
  // Vertical: above and below.
  Build("DestroyWindow('panel')");
  Send(EventIdle);
  Make("w = 20, h = 150, value = 0.5");
  Click(25, 30);
  Click(25, 160);
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"11:s", "4:mouse:up", "12:s", "4:mouse:up"}));
}

// A script may take the thumb away (it is an unnamed child like any other): the slider
// must not reach it afterwards.
TEST_F(SliderTest, ASliderWhoseThumbWasTakenAwayGoesOnWithoutIt) {
  TSlider* slider = Make("w = 200, h = 20, value = 0.5");
  MouseMove(120, 25);
  MouseDown(120, 25);
  ASSERT_TRUE(slider->IsDragging());
  Manager().DestroyWindowLater(slider->RemoveChild(slider->GetThumb()));
  EXPECT_EQ(slider->GetThumb(), nullptr);
  MouseMove(60, 25);
  MouseUp(60, 25);
  slider->SetValue(0.2f, true);
  Click(150, 25);
  Frame();
  EXPECT_FALSE(slider->IsDragging());
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"10:s", "4:mouse:up"}));
}

}  // namespace
