#include "menus/diary_measure.h"

#include <gtest/gtest.h>

#include "graphics/text/font_cache.h"
#include "platform/test_util.h"

namespace {

class DiaryMeasureTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetPlatformState(); }
  void TearDown() override {
    TFontCache::Clear();
    ResetPlatformState();
  }
  TDiaryMeasure measure;
};

TEST_F(DiaryMeasureTest, ATextTakesALineHeightPerLineOfItsBox) {
  const TString font = "__DEFAULT";
  int32_t line = measure.GetTextHeight("Nebeltal", font, 20, 1000);
  EXPECT_GT(line, 15);
  EXPECT_LT(line, 40);
  const TString text = "Am Morgen fand ich den alten Schlüssel unter dem Stein am Brunnen.";
  EXPECT_EQ(measure.GetTextHeight(text, font, 20, 2000), line);
  int32_t narrow = measure.GetTextHeight(text, font, 20, 150);
  EXPECT_GE(narrow, 3 * line - 3);
  EXPECT_GT(measure.GetTextHeight(text, font, 40, 150), narrow);
}

TEST_F(DiaryMeasureTest, AnImageThatDoesNotLoadHasNoSize) {
  int32_t width = -1, height = -1;
  EXPECT_FALSE(measure.GetImageSize("images/no_such_page.png", width, height));
}

}  // namespace
