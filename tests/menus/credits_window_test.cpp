// The credits: the highlight colour, the three texts read from the file, the scroll and the
// time at which the window pops its modal.

#include "menus/credits_window.h"

#include <gtest/gtest.h>

#include <string>

#include "graphics/text/text_graphic.h"
#include "platform/timer.h"
#include "scenes/scene_window_test_util.h"

namespace {

const std::string Gold = "ff7f00ff";
const std::string On = "<font color='" + Gold + "'>";

TEST(CreditsText, TheHighlightColourIsEachChannelTimes255InHex) {
  EXPECT_EQ(TCreditsWindow::HighlightText(TColor{1, 0.5f, 0, 1}), Gold);
  EXPECT_EQ(TCreditsWindow::HighlightText(TColor{0.1f, 0.2f, 0.3f, 0.4f}), "19334c66");
  // Out of range, a channel keeps its two digits.
  EXPECT_EQ(TCreditsWindow::HighlightText(TColor{2, -1, 1, 1}), "ff00ffff");
}

TEST(CreditsText, EachCreditLineAddsOneLineToEachOfTheThreeTexts) {
  struct {
    const char* file;
    const char* left;
    const char* right;
    const char* centre;
  } cases[] = {
      // A two-part line: its parts trimmed and highlighted, a blank line in the centre.
      {"[Idee] \t |   Mara  \n", "\n<H>Idee</font>\n", "\nMara\n", "\n\n"},
      {"Danke fürs Spielen!\n", "\n\n", "\n\n", "\nDanke fürs Spielen!\n"},
      {"a|b|c\n\n", "\na\n\n", "\nb|c\n\n", "\n\n\n"},
      // Line ends: a carriage return and a line feed end one line, each alone ends one too,
      // and a last line without an end is read.
      {"Eins\r\nZwei\r\n", "\n\n\n", "\n\n\n", "\nEins\nZwei\n"},
      {"Eins\rZwei\nDrei", "\n\n\n\n", "\n\n\n\n", "\nEins\nZwei\nDrei\n"},
      {"", "\n", "\n", "\n"},
  };
  for (const auto& c : cases) {
    TCreditsTexts texts = TCreditsWindow::ReadCredits(c.file, Gold);
    auto expected = [](std::string text) {
      for (size_t at; (at = text.find("<H>")) != std::string::npos;) text.replace(at, 3, On);
      return text;
    };
    EXPECT_EQ(texts.left, expected(c.left)) << c.file;
    EXPECT_EQ(texts.right, expected(c.right)) << c.file;
    EXPECT_EQ(texts.centre, expected(c.centre)) << c.file;
  }
  // A long line stays whole.
  std::string line(3000, 'x');
  line[1023] = 'y';
  EXPECT_EQ(TCreditsWindow::ReadCredits(line, Gold).centre, "\n" + line + "\n");
}

TEST(CreditsText, TheWindowClosesNineTenthsOfAPassAfterItsFirstStep) {
  struct {
    uint32_t duration, pause, close;
  } cases[] = {
      {60000, 2000, 52000},
      {60000, 0, 54000},
      {1000, 900, 0},
      // A pause longer than nine tenths closes the window when the pause is over, and a
      // pass of no time at once.
      {10000, 9500, 0},
      {0, 0, 0},
      {0, 5000, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TCreditsWindow::CloseTime(c.duration, c.pause), c.close) << c.duration << " " << c.pause;
  EXPECT_FLOAT_EQ(TCreditsWindow::ScrollOffset(1500, 3000, 200), 100.0f);
  EXPECT_FLOAT_EQ(TCreditsWindow::ScrollOffset(3000, 3000, 200), 0.0f);
  EXPECT_FLOAT_EQ(TCreditsWindow::ScrollOffset(3000000000u, 3000, 200), 0.0f);
  EXPECT_FLOAT_EQ(TCreditsWindow::ScrollOffset(1500, 0, 200), 0.0f);
}

class CreditsWindowTest : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Manager().RegisterWindowType("CreditsWindow", &TCreditsWindow::Create);
    WriteAsset("credits.txt", "[Idee]|Mara\nDanke!\n[Bilder] | Opa Hinnerk");
  }
  // The credits' window script: a modal named "creditswindow" holding the window.
  TCreditsWindow* Open(const std::string& keys) {
    Build("PushModal('credits') SetWindowName('creditswindow') MakeDialog{ CreditsWindow{ w = 320, h = 240, "
          "columngap = 10, columnwidth = 140, headercolor = { 1, 0.5, 0, 1 }, " + keys + " } }");
    mModal = Manager().GetTopModal();
    return WindowCast<TCreditsWindow>(mModal->GetChildren().front().get());
  }
  bool IsOpen() { return Manager().GetTopModal() == mModal; }

  TWindow* mModal = nullptr;
};

// "time" 2000 and "intropause" 400: still for 400 ms, then up by one copy per 2000 ms; the
// modal goes 1800 ms after the first step.
TEST_F(CreditsWindowTest, TheCreditsScrollAfterThePauseAndCloseOnTime) {
  TCreditsWindow* credits = Open("file = 'credits.txt', fontsize = 20, time = 2000, intropause = 400");
  ASSERT_NE(credits, nullptr);
  ASSERT_NE(credits->GetLeft(), nullptr);
  std::string left = credits->GetLeft()->GetText().ToStd();
  EXPECT_EQ(left.substr(0, left.size() / 2), "\n" + On + "Idee</font>\n\n" + On + "Bilder</font>\n" +
                                                 std::string(240 / 20, '\n'));
  EXPECT_EQ(credits->GetRight()->GetText().ToStd().substr(0, 21), "\nMara\n\nOpa Hinnerk\n\n\n");
  int32_t distance = credits->GetScrollDistance();
  EXPECT_GT(distance, 15 * 20);
  EXPECT_EQ(distance, credits->GetLeft()->GetTextBounds().bottom / 2);

  // Every frame steps and draws the credits.
  Frames(1);
  uint32_t start = FakeNow;
  Frames(15);
  EXPECT_EQ(credits->GetScrollTime(), 0u);
  EXPECT_FLOAT_EQ(credits->GetLeft()->GetScroll(), 0.0f);
  FakeNow = start + 1375;
  Frames(1);
  // Half a pass: half a copy, in the layout's own lines.
  float lines = credits->GetLeft()->GetScroll();
  EXPECT_NEAR(lines, float(credits->GetLeft()->GetLineCount()) / 4, 0.2f);
  EXPECT_NEAR(credits->GetCentre()->GetScroll(), lines, 0.01f);

  FakeNow = start + 1775;
  Frames(1);
  EXPECT_TRUE(IsOpen()) << "1800 ms after the first step";
  Frames(1);
  EXPECT_FALSE(IsOpen());
}

// Faults a style can bring: a pass of no time does not divide by it, a font size of 0 is
// taken as the default, a pause longer than the pass still lets the window close, and a
// file that does not open gives empty credits.
TEST_F(CreditsWindowTest, ABadStyleNeitherCrashesNorKeepsTheWindowOpen) {
  TCreditsWindow* credits = Open("file = 'missing.txt', fontsize = 0, time = 0");
  EXPECT_EQ(credits->GetFontSize(), 16);
  EXPECT_EQ(credits->GetLeft()->GetText().ToStd(), std::string(2 * (1 + 240 / 16), '\n'));
  Frames(1);
  EXPECT_TRUE(IsOpen());
  Frames(1);
  EXPECT_FALSE(IsOpen());

  credits = Open("file = 'credits.txt', fontsize = -3, time = 1000, intropause = 5000");
  Frames(1);
  uint32_t start = FakeNow;
  FakeNow = start + 4975;
  Frames(1);
  EXPECT_TRUE(IsOpen());
  EXPECT_FLOAT_EQ(credits->GetLeft()->GetScroll(), 0.0f);
  Frames(1);
  EXPECT_FALSE(IsOpen()) << "the pause is over";
}

}  // namespace
