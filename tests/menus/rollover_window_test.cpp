// Rollover areas: the target shows while the pointer is over the area and hides when it
// leaves; a briefing holds everything as it is.

#include "menus/rollover_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/global_information_system.h"
#include "scenes/scene_window_test_util.h"
#include "windows/text_window.h"

namespace {

class RolloverWindowTest : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Manager().RegisterWindowType("RolloverWindow", &TRolloverWindow::Create);
    // The area (100, 100)-(150, 150) and its hint, hidden at first.
    Build("PushModal('menu') MakeDialog{ RolloverWindow{ name = 'area', x = 100, y = 100, w = 50, h = 50,"
          " activate = 'hint', text = 'Zum Tagebuch' },"
          " Text{ name = 'hint', x = 0, y = 200, w = 300, h = 30, label = '#alt' } }");
    mArea = Find<TRolloverWindow>("area");
    mHint = Find<TText>("hint");
    mHint->SetFlags(mHint->GetFlags() & ~uint32_t(WindowVisible));
  }
  bool Hovered() const {
    const auto& list = mManager->GetHoverList();
    return std::find(list.begin(), list.end(), mArea) != list.end();
  }

  TRolloverWindow* mArea = nullptr;
  TText* mHint = nullptr;
};

TEST_F(RolloverWindowTest, TheTargetShowsWhileThePointerIsOverTheArea) {
  ASSERT_NE(mArea, nullptr);
  MouseMove(20, 20);
  EXPECT_FALSE(mHint->IsVisible());
  MouseMove(110, 120);
  EXPECT_TRUE(mHint->IsVisible());
  EXPECT_EQ(mHint->GetText().ToStd(), "Zum Tagebuch");
  EXPECT_TRUE(Hovered());
  EXPECT_EQ(mFlow.mouse, TPoint(10, 20));
  mHint->SetText("anders");
  MouseMove(140, 140);
  EXPECT_EQ(mHint->GetText().ToStd(), "anders") << "shown once, on entering";
  // Leaving ends the hover for good: a move from outside that reaches the hovering area
  // (the window manager's leave notice aside) does not start it again at once.
  EXPECT_FALSE(mArea->OnMouseMove(TPoint(60, 20)));
  EXPECT_FALSE(mHint->IsVisible());
  EXPECT_FALSE(mArea->IsHovering());
  EXPECT_FALSE(Hovered());
  MouseMove(200, 20);
  EXPECT_FALSE(mHint->IsVisible());
  MouseMove(110, 110);
  MouseMove(160, 120);
  EXPECT_FALSE(mHint->IsVisible());
  EXPECT_FALSE(Hovered());

  MouseMove(120, 120);
  EXPECT_TRUE(mHint->IsVisible());
  EXPECT_TRUE(mArea->OnMouseLeave());
  EXPECT_FALSE(mHint->IsVisible());
  EXPECT_FALSE(Hovered());
  EXPECT_FALSE(mArea->OnMouseLeave());
}

TEST_F(RolloverWindowTest, ABriefingHoldsTheTargetAsItIs) {
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  MouseMove(120, 120);
  EXPECT_FALSE(mHint->IsVisible());
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  MouseMove(121, 120);
  EXPECT_TRUE(mHint->IsVisible());
  // A move that reaches the area during a briefing changes nothing, even from outside.
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  EXPECT_TRUE(mArea->OnMouseMove(TPoint(-50, -50)));
  EXPECT_TRUE(mHint->IsVisible());
  EXPECT_TRUE(mArea->IsHovering());
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  MouseMove(10, 10);
  EXPECT_FALSE(mHint->IsVisible());

  // An area without a target only asks for a redraw.
  Build("PushModal('bare') MakeDialog{ RolloverWindow{ name = 'lone', x = 0, y = 0, w = 50, h = 50 } }");
  MouseMove(10, 10);
  EXPECT_TRUE(Find<TRolloverWindow>("lone")->IsHovering());
  MouseMove(100, 100);
  EXPECT_FALSE(Find<TRolloverWindow>("lone")->IsHovering());
}

}  // namespace
