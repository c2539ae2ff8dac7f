// The plot point window: the strip laid out from its pieces and slid by the play clock to
// its end, the texts with their fades, the click that ends the page, and an end point
// behind the begin point.

#include <gtest/gtest.h>

#include <string>

#include "mini_game_test_util.h"
#include "minigames/plotpoint_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/plotpoint.h"
#include "model/plotpoint_strip.h"
#include "platform/settings.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"

namespace {

// Pieces "strip/piece0" and "strip/piece1", 40 x 400.
class PlotpointWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("PlotpointWindow", &TPlotpointWindow::Create);
    Solid("strip/piece0.png", 40, 400, 0xFF607080);
    Solid("strip/piece1.png", 40, 400, 0xFF708090);
    Solid("pics/frame.png", 8, 8, 0x80000000);
  }
  CPlotpoint& MakePage(const char* direction, int32_t beginY, int32_t endY, std::vector<uint32_t> seconds) {
    auto page = std::make_unique<CPlotpoint>();
    page->SetMovingTextureDirectory("strip/");
    page->SetMovingTextureName("piece");
    page->SetNumberOfTextures(2);
    page->SetDirection(direction);
    page->SetBeginX(100);
    page->SetEndX(100);
    page->SetBeginY(beginY);
    page->SetEndY(endY);
    page->SetBorderTexture("pics/frame");
    page->SetTextUpperLeftX(10);
    page->SetTextUpperLeftY(20);
    page->SetTextLowerRightX(300);
    page->SetTextLowerRightY(80);
    for (size_t i = 0; i < seconds.size(); i++) {
      std::string label = "PP_" + std::to_string(i);
      mStrings.Set(label.c_str(), ("Text " + std::to_string(i)).c_str());
      page->AddText(TString(label.c_str()), seconds[i]);
    }
    return MakeCurrent(std::move(page), 190501);
  }
  TPlotpointWindow* Open() {
    auto* window = WindowCast<TPlotpointWindow>(OpenScene("PlotpointWindow"));
    EXPECT_NE(window, nullptr);
    return window;
  }
  static uint32_t PlayTime() { return CHighscoreSystem::GetInstance()->GetPlayClockTime(); }
  // Frames until the play clock has run `ms' since `from'.
  void RunUntil(uint32_t from, uint32_t ms) {
    ASSERT_TRUE(FramesUntil([&] { return PlayTime() - from >= ms; }, 2000));
  }
};

// Moving up from (100, 600) to y 0 over 10 s: the pieces start at y 600 and 1000 and travel
// 1400; half-way they have moved up 700; at the end the trailing edge meets y 0 and the
// page finishes.
TEST_F(PlotpointWindow, TheStripTravelsToItsEndAndFinishesThePage) {
  MakePage("up", 600, 0, {4, 6});
  uint32_t start = PlayTime();
  TPlotpointWindow* window = Open();
  TSpriteWindow& sprites = *window->GetSpriteWindow();
  EXPECT_EQ(sprites.GetSpritePosition("piece0"), TPoint(100, 600));
  EXPECT_EQ(sprites.GetSpritePosition("piece1"), TPoint(100, 1000));
  EXPECT_EQ(window->GetStrip()->GetTravelHeight(), 1400);
  EXPECT_EQ(Sprite(sprites, "border").GetKind(), SpriteKindPlotpointBorder);
  EXPECT_FALSE(window->IsWon());

  RunUntil(start, 5000);
  double progress = (PlayTime() - start) / 10000.0;
  EXPECT_NEAR(sprites.GetSpritePosition("piece0").y, 600 - 1400 * progress, 1.5);
  EXPECT_EQ(WentOn(), 0);
  RunUntil(start, 10000);
  Frames(1);
  EXPECT_EQ(sprites.GetSpritePosition("piece1").y, 1000 - 1400);
  EXPECT_EQ(WentOn(), 1);
}

// Texts of 2, 3 and 5 seconds with fades of 1 s: the box starts at alpha 0; at 2.5 s the
// second text fades in at about 0.5, at 4.5 s it fades out at about 0.5.
TEST_F(PlotpointWindow, TextsFollowOneAnotherWithTheirFades) {
  SetConfig("ppFadeInOutTimeInS", "1");
  MakePage("up", 600, 0, {2, 3, 5});
  uint32_t start = PlayTime();
  Open();
  TTextbox* text = Textbox("text");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->GetRect(), TRect(10, 20, 300, 80));
  RunUntil(start, 2500);
  EXPECT_EQ(text->GetText(), "Text 1");
  double seconds = (PlayTime() - start) / 1000.0;
  EXPECT_NEAR(text->GetAlpha(), seconds - 2, 0.01);
  RunUntil(start, 4500);
  seconds = (PlayTime() - start) / 1000.0;
  EXPECT_EQ(text->GetText(), "Text 1");
  EXPECT_NEAR(text->GetAlpha(), 5 - seconds, 0.01);
}

// Any click ends the page once it has started, even while the briefing shows and on the
// skip button (which counts no skip); the click goes on unhandled.
TEST_F(PlotpointWindow, AClickEndsThePage) {
  GiveButtons();
  MakePage("down", 0, 700, {30});
  Open();
  Frames(1);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  Click(SkipX, SkipY);
  EXPECT_EQ(WentOn(), 1);
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesSkipped(), 0u);
  Click(SkipX, SkipY);
  EXPECT_EQ(WentOn(), 1);
}

// Regression: an end point behind the begin point by more than the strip made the travel
// negative, which was read as a huge unsigned distance and threw the strip off the screen.
// The strip stays where it lies, and the page, whose end has already been passed, ends.
TEST_F(PlotpointWindow, AnEndBehindTheBeginKeepsTheStripStill) {
  MakePage("up", 100, 2000, {10});
  TPlotpointWindow* window = Open();
  Frames(4);
  EXPECT_EQ(window->GetStrip()->GetTravelHeight(), 0);
  EXPECT_EQ(window->GetSpriteWindow()->GetSpritePosition("piece0"), TPoint(100, 100));
  EXPECT_EQ(window->GetSpriteWindow()->GetSpritePosition("piece1"), TPoint(100, 500));
  EXPECT_EQ(WentOn(), 1);
}

}  // namespace
