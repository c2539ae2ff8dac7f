// The diary window: the entries of the shown spread, the turning buttons that can be used
// there, and page turns through the buttons.

#include "menus/diary_window.h"

#include <gtest/gtest.h>

#include <string>

#include "menus/diary_measure.h"
#include "model/diary.h"
#include "scenes/scene_window_test_util.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"
#include "windows/message.h"

namespace {

const TRect Black(0, 0, 0, 1);
const TDiaryValues At{0, -1, -1, 0, 0, 1000};
const TDiaryValues PageEnd{0, -1, -1, -1, -1, 1000};

class DiaryWindowTest : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    Manager().RegisterWindowType("DiaryWindow", &TDiaryWindow::Create);
    SetDiaryMeasure(std::make_unique<TDiaryMeasure>());
    mStrings.Set("EINS", "Eins ");
    mStrings.Set("ZWEI", "zwei ");
    mStrings.Set("DREI", "drei");
    Picture("images/sketch.png", 40, 30, [](uint32_t, uint32_t) { return 0xff806040u; });
  }
  void TearDown() override {
    SetDiaryMeasure(nullptr);
    TSceneWindowTest::TearDown();
  }
  // Two pages side by side; "goBack" belongs at (5, 215), "goForward" at (280, 215).
  TDiary& Diary(int pages = 2) {
    TDiary& diary = *TDiary::GetInstance();
    for (int page = 0; page < pages; page++) diary.AddPageLayout(10 + 160 * page, 10, 140, 190);
    diary.SetBackwardButtonPosition(5, 215);
    diary.SetForwardButtonPosition(280, 215);
    return diary;
  }
  void Text(TDiary& diary, const char* labels) {
    diary.InsertContentAtSite(DiaryText, labels, Black, 14, "__DEFAULT", At);
  }
  void Image(TDiary& diary, const char* name) {
    diary.InsertContentAtSite(DiaryImage, name, Black, 30, "__DEFAULT", At);
  }
  void EndPage(TDiary& diary) { diary.InsertContentAtSite(DiarySiteEnd, "end", Black, 30, "__DEFAULT", PageEnd); }
  // The diary's window script: the window with its three buttons, full screen.
  TDiaryWindow* Open(const char* buttons = "Button{ name = 'goBack', w = 30, h = 20 },"
                                           "Button{ name = 'goForward', w = 30, h = 20 },"
                                           "Button{ name = 'back', x = 140, y = 215, w = 40, h = 20 },") {
    Build(std::string("PushModal('diary') MakeDialog{ DiaryWindow{ w = 320, h = 240, ") + buttons + " } }");
    return WindowCast<TDiaryWindow>(Manager().GetTopModal()->GetChildren().front().get());
  }
  static TPoint Place(TWindow* window) { return TPoint(window->GetLeft(), window->GetTop()); }
  TPoint Button(TDiaryWindow* diary, const char* name) { return Place(diary->FindChild(name)); }
  static bool Press(TDiaryWindow* diary, const char* name) {
    TMessage press(MessageButtonPress, name);
    return diary->OnMessage(press);
  }
  // What the windows of the spread show: a text box's text, or "image WxH".
  static std::string Shown(TDiaryWindow* diary) {
    std::string shown;
    for (TWindow* window : diary->GetContentWindows()) {
      if (auto* box = WindowCast<TTextbox>(window)) shown += box->GetText().ToStd() + "|";
      if (auto* image = WindowCast<TImage>(window))
        shown += "image " + std::to_string(image->GetWidth()) + "x" + std::to_string(image->GetHeight()) + "|";
    }
    return shown;
  }
  const TPoint Hidden{-3000, -3000};
};

// Spread 0 (sites 0 and 1), spread 1 (sites 2 and 3) and the insert site 4 on spread 2.
TEST_F(DiaryWindowTest, TheShownSpreadHasItsEntriesAndTheButtonsThatCanTurnIt) {
  TDiary& diary = Diary();
  Text(diary, "EINS+ZWEI+DREI");
  Image(diary, "images/sketch.png");
  EndPage(diary);
  Text(diary, "ZWEI");
  EndPage(diary);
  Text(diary, "DREI");
  EndPage(diary);
  EndPage(diary);
  ASSERT_EQ(diary.GetCurrentInsertSite(), 4u);

  TDiaryWindow* window = Open();
  ASSERT_NE(window, nullptr);
  // Labels joined by "+" show their texts with nothing put between them.
  EXPECT_EQ(Shown(window), "Eins zwei drei|image 40x30|zwei |");
  for (TWindow* content : window->GetContentWindows()) {
    EXPECT_EQ(content->GetParent(), window);
    bool placed = false;
    for (uint32_t i = 0; i < diary.GetNumberOfContent(); i++)
      placed |= diary.GetContent(i)->GetPosition() == Place(content);
    EXPECT_TRUE(placed) << Place(content).x << "," << Place(content).y;
  }
  EXPECT_EQ(Button(window, "goBack"), Hidden);
  EXPECT_EQ(Button(window, "goForward"), TPoint(280, 215));
  EXPECT_EQ(window->GetChildren().front()->GetName().ToStd(), "back");

  // A click on "goForward" turns to spread 1; from there both ways are open.
  Click(285, 220);
  EXPECT_EQ(diary.GetCurrentWatchedSite(), 2u);
  EXPECT_EQ(Shown(window), "drei|");
  EXPECT_EQ(Button(window, "goBack"), TPoint(5, 215));
  EXPECT_EQ(Button(window, "goForward"), TPoint(280, 215));
  EXPECT_EQ(window->GetChildren().size(), 4u) << "the old spread's windows are gone";

  // Spread 2 holds only the insert site: nothing on it, and no way further on. A turn that
  // the diary refuses builds the same spread again.
  EXPECT_TRUE(Press(window, "goForward"));
  EXPECT_EQ(Shown(window), "");
  EXPECT_EQ(Button(window, "goForward"), Hidden);
  EXPECT_TRUE(Press(window, "goForward"));
  EXPECT_EQ(diary.GetCurrentWatchedSite(), 4u);
  EXPECT_EQ(Button(window, "goBack"), TPoint(5, 215));
  EXPECT_FALSE(Press(window, "back"));
  EXPECT_TRUE(Press(window, "goBack"));
  EXPECT_TRUE(Press(window, "goBack"));
  EXPECT_TRUE(Press(window, "goBack"));
  EXPECT_EQ(Shown(window), "Eins zwei drei|image 40x30|zwei |");
  EXPECT_EQ(Button(window, "goBack"), Hidden);
  TMessage other(MessageGeneric, "goBack");
  EXPECT_FALSE(window->OnMessage(other));
}

// A picture that does not load and a kind the window does not know get no window; a window
// script without the buttons, or no player's diary at all, is no trouble.
TEST_F(DiaryWindowTest, WhatCannotBeShownIsLeftOut) {
  TDiary& diary = Diary();
  Image(diary, "images/missing.png");
  Text(diary, "EINS");
  diary.InsertContentAtSite(7, "EINS", Black, 14, "__DEFAULT", At);
  EndPage(diary);
  EndPage(diary);
  TDiaryWindow* window = Open("");
  EXPECT_EQ(Shown(window), "Eins |");
  EXPECT_TRUE(Press(window, "goForward"));
  EXPECT_EQ(Shown(window), "");

  TDiary::DestroyInstance();
  EXPECT_TRUE(Press(window, "goBack"));
  EXPECT_EQ(window->GetContentWindows().size(), 0u);
  Frame();
}

// A diary without page layouts has no spread to turn to: both buttons stay out of sight.
TEST_F(DiaryWindowTest, WithoutPagesNeitherButtonShows) {
  Diary(0);
  TDiaryWindow* window = Open();
  EXPECT_EQ(Button(window, "goBack"), Hidden);
  EXPECT_EQ(Button(window, "goForward"), Hidden);
  EXPECT_TRUE(Press(window, "goForward"));
  EXPECT_EQ(Button(window, "goForward"), Hidden);
}

}  // namespace
