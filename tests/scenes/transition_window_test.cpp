// The transition window: an image window of its own class, drawn in the cached layer.

#include <gtest/gtest.h>

#include "scenes/transition_window.h"
#include "scenes/sprite_window.h"

namespace {

TEST(TransitionWindow, IsAnImageOfItsOwnClassInTheCachedLayer) {
  std::unique_ptr<TWindow> window = TTransitionWindow::Create();
  EXPECT_STREQ(window->GetClassName(), "TTransitionWindow");
  EXPECT_NE(WindowCast<TTransitionWindow>(window.get()), nullptr);
  EXPECT_NE(WindowCast<TImage>(window.get()), nullptr);
  EXPECT_TRUE(window->IsKindOf(TWindow::ClassId()));
  EXPECT_TRUE(window->GetFlags() & WindowCachedLayer);
  TImage image(true);
  EXPECT_EQ(WindowCast<TTransitionWindow>(&image), nullptr);
  EXPECT_EQ(WindowCast<TSpriteWindow>(window.get()), nullptr);
}

}  // namespace
