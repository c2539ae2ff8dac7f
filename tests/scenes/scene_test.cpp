// The scene window base: its layers, the fade and the game messages, leaving the scene, and
// the script functions' binding.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/game.h"
#include "model/global_information_system.h"
#include "model/textbox.h"
#include "platform/settings.h"
#include "scene_window_test_util.h"
#include "scenes/scene.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"
#include "windows/modal_window.h"

namespace {

using Scene = TSceneWindowTest;

std::vector<std::string> ChildNames(const TWindow& window) {
  std::vector<std::string> names;
  for (const auto& child : window.GetChildren()) names.push_back(child->GetName().ToStd());
  return names;
}

size_t IndexOf(const std::vector<std::string>& names, const std::string& name) {
  for (size_t i = 0; i < names.size(); i++)
    if (names[i] == name) return i;
  return names.size();
}

}  // namespace

// PostCreate stacks the layers from "black" at the back to "transition" in front, with the
// model's text boxes between the sprite window and the next-item box; the tutorial text
// lies inside the tutorial image. Layers sized from textures that do not load are 0 x 0,
// and the boxes inside them never get a negative size.
TEST_F(Scene, TheLayersStandInTheirOrderAndMissingTexturesSizeNothing) {
  for (int i = 0; i < 3; i++) {
    auto box = std::make_unique<CTextbox>();
    box->SetText("label");
    box->SetTextboxWidth(100);
    box->SetTextboxHeight(20);
    Model().AddTextbox(std::move(box));
  }
  Solid("pics/bar.png", 8, 30, 0xFF000000);
  SetConfig("igcsTopTexture", "pics/bar");
  SetConfig("infoboxTextBoxBorderWidth", "12");
  SetConfig("briefingWindowTextBoxBorderHeight", "9");
  TScene* scene = OpenScene();
  ASSERT_NE(scene, nullptr);
  // The script's name of the window and its layout apply; the style's name does not.
  EXPECT_EQ(scene->GetWidth(), int32_t(Width));
  std::vector<std::string> names = ChildNames(*scene);
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), "transition");
  EXPECT_EQ(names.back(), "black");
  EXPECT_EQ(names[names.size() - 2], "bg");
  EXPECT_EQ(names[names.size() - 3], "spriteWindow");
  size_t nsi = IndexOf(names, "nsiBackground");
  for (const char* text : {"text0", "text1", "text2"}) {
    EXPECT_LT(IndexOf(names, text), IndexOf(names, "spriteWindow")) << text;
    EXPECT_GT(IndexOf(names, text), nsi) << text;
  }
  EXPECT_EQ(IndexOf(names, "tutorialtextText"), names.size());
  EXPECT_NE(Image("tutorial")->FindChild("tutorialtextText", 1), nullptr);

  EXPECT_EQ(Image("borderTop")->GetRect(), TRect(0, -30, Width, 0));
  EXPECT_EQ(Image("borderBottom")->GetRect(), TRect(0, Height, Width, Height));
  EXPECT_EQ(Image("shorttextBg")->GetWidth(), 0);
  EXPECT_EQ(Textbox("shorttextText")->GetWidth(), 0);
  EXPECT_EQ(Textbox("briefingWindowText")->GetHeight(), 0);
  EXPECT_EQ(Image("transition")->GetAlpha(), 1.0f);
  EXPECT_TRUE(scene->IsSceneStarted());
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"music:"});
}

// With the overlay at 1 and -0.25 a frame, the overlay shows 1, 0.75, 0.5, 0.25, 0; the
// frame after that reports the fade-in, once. A scene that keeps the base's handler goes to
// the main menu when the game ended.
TEST_F(Scene, TheFadeInShowsEveryStepAndIsReportedOnce) {
  SetConfig("transAlpha", "1");
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("endGame", true);
  TScene* scene = OpenScene();
  std::vector<float> shown;
  for (int i = 0; i < 5; i++) {
    Frames(1);
    shown.push_back(Image("transition")->GetAlpha());
  }
  EXPECT_EQ(shown, (std::vector<float>{1.0f, 0.75f, 0.5f, 0.25f, 0.0f}));
  EXPECT_EQ(scene->GetFadeStepCount(), 5);
  mFlow.calls.clear();
  Frames(1);
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"menu"});
  Frames(5);
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"menu"});
  // A script may send the message again: the handler runs again.
  EXPECT_EQ(Lua("SendGameMessage('fadeInCompleted') SendGameMessage('other') SendGameMessage('quit')"), "");
  EXPECT_EQ(mFlow.calls, (std::vector<std::string>{"menu", "menu", "menu"}));
}

// "Skip" goes on to the next scene once, however often it is called, and only once the
// scene has started; the fade-out that the flow starts ends in one "fadeOutCompleted",
// which opens the current scene with the normal cursor.
TEST_F(Scene, SkipLeavesOnceAndTheFadeOutOpensTheNextScene) {
  TScene* scene = OpenScene();
  Frames(2);
  mFlow.calls.clear();
  scene->SetCursorStyle(6);
  EXPECT_EQ(Lua("Skip() Skip()"), "");
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"next:1"});
  EXPECT_EQ(CGame::GetInstance()->GetCurrentSceneNumber(), 120002);
  EXPECT_TRUE(scene->IsSceneFinished());
  ASSERT_TRUE(FramesUntil([&] { return mFlow.calls.size() > 1; }));
  EXPECT_EQ(mFlow.calls, (std::vector<std::string>{"next:1", "open"}));
  EXPECT_GT(scene->GetTransAlpha(), 1.0f);
  EXPECT_EQ(scene->GetCursorStyle(), 2);
  Frames(10);
  EXPECT_EQ(mFlow.calls.size(), 2u);
}

TEST_F(Scene, FinishingBeforeTheSceneHasStartedDoesNothing) {
  TScene scene;
  scene.FinishScene();
  EXPECT_FALSE(scene.IsSceneFinished());
  EXPECT_TRUE(mFlow.calls.empty());
}

// A later scene window binds the names to itself; once a window is gone, a call through a
// name it bound does nothing instead of a call on freed memory (a menu or a modal may call
// them after the scene went, and goes on).
TEST_F(Scene, TheScriptFunctionsFollowTheNewestWindowAndAreHarmlessOnceItGoes) {
  auto first = std::make_unique<TScene>();
  auto second = std::make_unique<TScene>();
  EXPECT_EQ(Lua("SetNextScene(7)"), "");
  first.reset();
  EXPECT_EQ(Lua("SetNextScene(8)"), "");
  EXPECT_EQ(Model().GetNextScene(), 8);
  second.reset();
  for (const char* call : {"Skip()", "SetNextScene(9)", "ShowInfoText('x')", "AddInventoryItem('Laterne')"})
    EXPECT_EQ(Lua(call), "") << call;
  EXPECT_EQ(Model().GetNextScene(), 8);
  EXPECT_EQ(CGame::GetInstance()->GetInventory().GetItemCount(), 0);
}

// Without a current scene the window shows an empty stand-in and works all the same.
TEST_F(Scene, AWindowWithoutACurrentSceneShowsAnEmptyOne) {
  CGame::GetInstance()->SetCurrentScene(4711);
  TScene* scene = OpenScene();
  ASSERT_NE(scene, nullptr);
  EXPECT_NE(scene->GetModel(), nullptr);
  Frames(3);
  EXPECT_EQ(Lua("Skip() ShowInGameObjectPartOne('x', 1, 2, '', false, '') SetAllTextBoxesAlpha(0.5)"), "");
}
