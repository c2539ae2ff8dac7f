// Text boxes: shrink-to-fit with its floor, laying out again from the requested size, the
// child text window and what passes through to it.

#include <gtest/gtest.h>

#include "scenes/textbox.h"
#include "scenes_test_util.h"
#include "windows/text_window.h"

namespace {

const TColor Black{0, 0, 0, 1};
// A long word: at size 20 it is broken in two in the width it takes at size 19.
const char* const Word = "Donaudampfschifffahrt";
const char* const Sentence = "Mara folgt den Spuren ihres Großvaters bis zur alten Villa";

class TextboxTest : public TSceneTest {
 protected:
  // The text laid out at a size in a box of the width (and any height).
  struct TLaidOut {
    TRect bounds;
    int lines;
  };
  static TLaidOut Lay(const char* text, int32_t size, int32_t width = 10000) {
    TText window(false);
    window.LayoutText(text, width, 10000, 0, "", size, Black);
    return {window.GetTextBounds(), window.GetLineCount()};
  }
  static bool Fits(const TLaidOut& laid, int32_t width, int32_t height, int32_t maxLines) {
    return laid.bounds.Width() <= width && laid.bounds.Height() <= height && laid.lines <= maxLines;
  }
  static TText* Child(TTextbox& box) { return WindowCast<TText>(box.FindChild("textboxText", 1)); }
};

TEST_F(TextboxTest, TheFontShrinksToTheLargestSizeAtWhichTheTextFitsTheBoxAndTheLineLimit) {
  struct Case {
    const char* what;
    const char* text;
    int32_t width, height, maxLines;
    int32_t expected;  // 0: whatever fits first
  };
  const TLaidOut wordAt19 = Lay(Word, 19), sentenceAt20 = Lay(Sentence, 20);
  ASSERT_EQ(wordAt19.lines, 1);
  ASSERT_EQ(Lay(Word, 20, wordAt19.bounds.Width()).lines, 2);
  const Case cases[] = {
      {"fits at the requested size", Word, wordAt19.bounds.Width() + 40, 200, 5, 20},
      {"one size too large wraps once too often", Word, wordAt19.bounds.Width(), 200, 1, 19},
      {"too tall for the box", Sentence, 200, sentenceAt20.bounds.Height(), 100, 0},
      {"two lines where one is allowed", Sentence, 200, 500, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTextbox box(false);
    EXPECT_TRUE(box.Setup(c.text, c.width, c.height, 0, "", 20, Black, c.maxLines));
    int32_t size = box.GetFontSize();
    if (c.expected) {
      EXPECT_EQ(size, c.expected);
    } else {
      EXPECT_LT(size, 20);
      EXPECT_GT(size, 1);
    }
    EXPECT_TRUE(Fits(Lay(c.text, size, c.width), c.width, c.height, c.maxLines));
    if (size < 20) {
      EXPECT_FALSE(Fits(Lay(c.text, size + 1, c.width), c.width, c.height, c.maxLines));
    }
    TRect bounds;
    box.MeasureText(bounds);
    EXPECT_EQ(bounds, Lay(c.text, size, c.width).bounds);
    ASSERT_NE(Child(box), nullptr);
    EXPECT_EQ(Child(box)->GetText(), c.text);
    EXPECT_EQ(Child(box)->GetHeight(), c.height);  // laid out in the full box
  }
}

TEST_F(TextboxTest, ATextThatNeverFitsStopsAtSizeOne) {
  struct Case {
    const char* what;
    int32_t width, maxLines, fontSize;
  };
  for (const Case& c : {Case{"width 0", 0, 5, 30}, Case{"no lines allowed", 300, 0, 30},
                        Case{"a size far too large", 0, 5, 2000000000}}) {
    SCOPED_TRACE(c.what);
    TTextbox box(false);
    box.Setup(Sentence, c.width, 100, 5, "", c.fontSize, Black, c.maxLines);
    EXPECT_EQ(box.GetFontSize(), 1);
    EXPECT_EQ(box.GetText(), Sentence);
  }
  EXPECT_EQ(CountInLog("font size 2000000000 taken as 1000"), 1);
}

TEST_F(TextboxTest, SetTextFitsAgainFromTheRequestedSizeIntoTheStoredBox) {
  TTextbox box(false);
  box.Setup(Sentence, 200, 500, 0, "", 24, Black, 1);
  int32_t shrunk = box.GetFontSize();
  ASSERT_LT(shrunk, 24);
  box.SetText("Villa");
  EXPECT_EQ(box.GetFontSize(), 24);
  EXPECT_EQ(box.GetText(), "Villa");

  box.SetSize(40, 500);  // the text stays as it was laid out
  EXPECT_EQ(box.GetFontSize(), 24);
  EXPECT_EQ(box.GetWidth(), 40);
  box.SetText("Villa");
  EXPECT_LT(box.GetFontSize(), 24);
  TRect bounds;
  box.MeasureText(bounds);
  EXPECT_LE(bounds.Width(), 40);
}

TEST_F(TextboxTest, ABoxWithoutChildAnswersEmptyAndIgnoresTheChildOperations) {
  TTextbox box(false);
  EXPECT_EQ(box.GetText(), "");
  EXPECT_EQ(box.GetAlpha(), 0.0f);
  box.SetText("nichts");
  box.SetAlpha(0.5f);
  box.SetRotation(30, 10, 10);
  box.SetScroll(1, 0);
  TRect untouched(1, 2, 3, 4);
  box.MeasureText(untouched);
  EXPECT_EQ(untouched, TRect(1, 2, 3, 4));
  EXPECT_EQ(box.GetChildren().size(), 0u);
  EXPECT_EQ(TTextbox::FromWindow(&box), &box);
  EXPECT_EQ(TTextbox::FromWindow(nullptr), nullptr);
  TText text(false);
  EXPECT_EQ(TTextbox::FromWindow(&text), nullptr);
}

TEST_F(TextboxTest, ColourAlphaAndRotationPassToTheChildText) {
  TTextbox box(true);
  box.Setup(Word, 300, 60, 5, "", 20, TColor{0.2f, 0.4f, 0.6f, 1}, 2);
  TText* child = Child(box);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(child->GetFlags() & WindowCachedLayer);
  box.SetAlpha(0.25f);
  EXPECT_EQ(box.GetAlpha(), 0.25f);
  EXPECT_EQ(child->GetTextGraphic()->GetColor(), (TColor{0.2f, 0.4f, 0.6f, 0.25f}));
  box.SetColor(TColor{1, 0, 0, 1});
  EXPECT_EQ(child->GetTextGraphic()->GetColor(), (TColor{1, 0, 0, 1}));
  box.SetText("Brief");  // a new child, from the colour given to Setup
  EXPECT_EQ(Child(box)->GetTextGraphic()->GetColor(), (TColor{0.2f, 0.4f, 0.6f, 1}));
  EXPECT_EQ(box.GetChildren().size(), 1u);
}

}  // namespace
