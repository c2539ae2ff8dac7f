// The scene's mouse and key handling and its cursor styles.

#include <gtest/gtest.h>

#include <string>

#include "model/global_information_system.h"
#include "model/scene_exit.h"
#include "model/scene_hotspot.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "scene_window_test_util.h"
#include "scenes/scene.h"
#include "scenes/textbox.h"
#include "windows/image_window.h"

namespace {

class SceneInput : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    const char* keys[] = {"assetCursorActive", "assetCursorLook",      "assetCursorUse",
                          "assetCursorExit",   "assetCursorHotspot",   "assetCursorActiveRed",
                          "assetCursorInActive", "assetCursorNone"};
    for (const char* key : keys) SetConfig(key, TString("cursors/") + key);
  }
  CSceneExit& AddExit(const char* id, TRect area, uint32_t style, int32_t next) {
    auto exit = std::make_unique<CSceneExit>();
    exit->SetId(id);
    exit->SetCorner(1, area.left, area.top), exit->SetCorner(2, area.right, area.top);
    exit->SetCorner(3, area.right, area.bottom), exit->SetCorner(4, area.left, area.bottom);
    exit->SetCursorStyleId(style);
    exit->SetCursorStylePath(TString("cursors/") + id);
    exit->SetNextScene(next);
    CSceneExit& raw = *exit;
    Model().AddSceneExit(std::move(exit));
    return raw;
  }
  CSceneHotspot& AddHotspot(const char* id, TRect area, const char* cursor) {
    auto hotspot = std::make_unique<CSceneHotspot>();
    hotspot->SetId(id);
    hotspot->SetCorner(1, area.left, area.top), hotspot->SetCorner(2, area.right, area.top);
    hotspot->SetCorner(3, area.right, area.bottom), hotspot->SetCorner(4, area.left, area.bottom);
    hotspot->SetCursorStylePath(cursor);
    CSceneHotspot& raw = *hotspot;
    Model().AddSceneHotspot(std::move(hotspot));
    return raw;
  }
};

// Each style loads its image unless the current style keeps it: 4, 6 and 10 keep each
// other's image, every other style only its own. Style 0 takes the image of the exit under
// the mouse (the last of several), 10 that of the hotspot; 1 and 11 load nothing. With info
// text at the cursor the image's height is kept.
TEST_F(SceneInput, CursorStylesLoadTheirImagesUnlessKept) {
  AddExit("a", TRect(0, 0, 100, 100), 0, 1);
  AddExit("b", TRect(50, 50, 150, 150), 0, 1);
  AddHotspot("h", TRect(200, 0, 300, 100), "cursors/hand");
  TScene* scene = OpenScene();
  struct TCase {
    int32_t style;
    TPoint mouse;
    const char* image;  // what the cursor shows afterwards
  };
  const TCase cases[] = {
      {6, {0, 0}, "cursors/assetCursorHotspot"},
      {4, {0, 0}, "cursors/assetCursorHotspot"},  // kept
      {2, {0, 0}, "cursors/assetCursorActive"},
      {2, {0, 0}, "cursors/assetCursorActive"},
      {10, {250, 50}, "cursors/hand"},
      {6, {250, 50}, "cursors/hand"},             // kept
      {0, {75, 75}, "cursors/b"},                 // both exits: the last one shows
      {0, {10, 10}, "cursors/b"},                 // kept
      {1, {10, 10}, "cursors/b"},
      {11, {10, 10}, "cursors/b"},
      {8, {10, 10}, "cursors/assetCursorInActive"},
  };
  for (const TCase& c : cases) {
    mFlow.mouse = c.mouse;
    scene->SetCursorStyle(c.style);
    EXPECT_EQ(scene->GetCursorStyle(), c.style);
    EXPECT_EQ(scene->GetCursorImage().ToStd(), c.image) << c.style;
  }
}

// A click while "showBriefingWindow" is set or in a dark scene without its candle window is
// swallowed; a click on an active exit changes the scene once, on an inactive one shows the
// exit's text.
TEST_F(SceneInput, ClicksAreGatedThenTakeTheExits) {
  GetStringTable()->Set("LOCKED", "Verschlossen");
  AddExit("open", TRect(0, 0, 100, 100), 5, 120002);
  CSceneExit& locked = AddExit("shut", TRect(200, 0, 300, 100), 5, 120002);
  locked.SetActive(false);
  locked.SetText("LOCKED");
  Model().SetAlphaOfBlack(40);
  TScene* scene = OpenScene();
  Frames(2);
  mFlow.calls.clear();
  Click(50, 50);
  EXPECT_TRUE(mFlow.calls.empty()) << "dark";
  EXPECT_EQ(Lua("SetCandleWindowVisible(true)"), "");
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  Click(50, 50);
  EXPECT_TRUE(mFlow.calls.empty()) << "briefing";
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  Click(250, 50);
  EXPECT_EQ(Textbox("shorttextText")->GetText(), "Verschlossen");
  EXPECT_TRUE(mFlow.calls.empty());
  Click(50, 50);
  Click(50, 50);
  EXPECT_EQ(mFlow.calls, std::vector<std::string>{"go:120002:1"});
  EXPECT_TRUE(scene->IsSceneFinished());
}

// Moving over an exit sets its style; a hotspot under the same point wins, flipping between
// 10 and 6 when it has its own image. The candle window follows the mouse.
TEST_F(SceneInput, MovesFollowExitsHotspotsAndTheCandle) {
  AddExit("open", TRect(0, 0, 100, 100), 5, 120002);
  AddHotspot("h", TRect(50, 0, 250, 100), "cursors/hand");
  Model().SetAlphaOfBlack(60);
  Model().SetCandleWindow(true);
  TScene* scene = OpenScene();
  Frames(2);
  struct TCase {
    TPoint point;
    int32_t style;
    const char* image;
  };
  const TCase cases[] = {
      {{20, 50}, 5, "cursors/assetCursorExit"},
      {{70, 50}, 10, "cursors/hand"},   // the hotspot wins over the exit
      {{200, 50}, 6, "cursors/hand"},   // no exit: its own image flips to 6, kept
      {{201, 50}, 10, "cursors/hand"},  // and back
  };
  for (const TCase& c : cases) {
    MouseMove(c.point.x, c.point.y);
    EXPECT_EQ(scene->GetCursorStyle(), c.style) << c.point.x;
    EXPECT_EQ(scene->GetCursorImage().ToStd(), c.image) << c.point.x;
  }
  MouseMove(71, 50);
  EXPECT_EQ(mFlow.mouse, TPoint(71, 50));
  EXPECT_EQ(Image("candle")->GetRect().left, 71 - 512);
  EXPECT_EQ(Image("candle_middleRight")->GetRect().left, 71 + 512);
  EXPECT_EQ(Image("candle_bottomLeft")->GetRect().top, 50 + 384);
  EXPECT_FLOAT_EQ(Image("candle_topLeft")->GetAlpha(), 0.6f);
  EXPECT_EQ(Image("darkness")->GetAlpha(), 0.0f);
  EXPECT_EQ(Lua("SetCandleWindowVisible(false)"), "");
  EXPECT_FLOAT_EQ(Image("darkness")->GetAlpha(), 0.6f);
  EXPECT_EQ(Image("candle")->GetAlpha(), 0.0f);
}

// Escape sets the normal cursor, pauses the scene clock and opens the pause script; space
// stamps the active exits with an image; other keys are not the scene's.
TEST_F(SceneInput, EscapePausesAndSpaceStampsTheExits) {
  SetConfig("scriptPause", "scripts/pause.lua");
  WriteAsset("scripts/pause.lua", "pauses = (pauses or 0) + 1\n");
  CSceneExit& shown = AddExit("shown", TRect(0, 0, 10, 10), 5, 1);
  shown.SetImage("pics/door");
  CSceneExit& plain = AddExit("plain", TRect(0, 0, 10, 10), 5, 1);
  TScene* scene = OpenScene();
  Frames(2);
  scene->SetCursorStyle(6);
  EXPECT_TRUE(scene->OnChar(32));
  EXPECT_TRUE(shown.IsClickTimeRecent());
  EXPECT_FALSE(plain.IsClickTimeRecent());
  EXPECT_FALSE(scene->OnChar('a'));
  EXPECT_TRUE(scene->OnChar(27));
  EXPECT_EQ(scene->GetCursorStyle(), 2);
  EXPECT_EQ(scene->GetCursorImage(), "cursors/assetCursorActive");
  EXPECT_EQ(Global("pauses"), "1");
  uint32_t paused = scene->GetClockTime();
  FakeNow += 500;
  EXPECT_EQ(scene->GetClockTime(), paused);
}

}  // namespace
