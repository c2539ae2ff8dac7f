// The ticker: a text window placed by its style that asks for a redraw every 10 ms.

#include "menus/ticker_window.h"

#include <gtest/gtest.h>

#include "scenes/scene_window_test_util.h"
#include "windows/window_spider.h"

namespace {

class TickerWindowTest : public TSceneWindowTest {};

TEST_F(TickerWindowTest, TheTickerIsPlacedByItsStyleAndRedrawsEvery10Ms) {
  Manager().RegisterWindowType("TickerWindow", &TTickerWindow::Create);
  Build("PushModal('menu') MakeDialog{ TickerWindow{ name = 'ticker', x = 10, y = 20, w = 200, h = 30,"
        " label = '#Hallo' } }");
  auto* ticker = Find<TTickerWindow>("ticker");
  ASSERT_NE(ticker, nullptr);
  EXPECT_NE(WindowCast<TText>(ticker), nullptr);
  EXPECT_EQ(ticker->GetRect(), TRect(10, 20, 210, 50));
  // The text is the scripts' to set: the style's label is not laid out.
  EXPECT_EQ(ticker->GetTextGraphic(), nullptr);
  ASSERT_NE(ticker->GetAnim(), nullptr);
  EXPECT_EQ(ticker->GetAnim()->GetPeriod(), 10u);
  Frame();
  EXPECT_FALSE(mManager->IsDirty());
  EXPECT_TRUE(ticker->Animate());
  EXPECT_TRUE(mManager->IsDirty());
}

}  // namespace
