#include <gtest/gtest.h>

#include <climits>

#include "model/scene.h"
#include "model/scene_object.h"
#include "model_test_util.h"
#include "platform/timer.h"

namespace {

std::unique_ptr<CSceneExit> MakeExit(const char* id) {
  auto exit = std::make_unique<CSceneExit>();
  exit->SetId(id);
  return exit;
}

std::unique_ptr<CSceneHotspot> MakeHotspot(const char* id) {
  auto hotspot = std::make_unique<CSceneHotspot>();
  hotspot->SetId(id);
  return hotspot;
}

void SetSquare(CSceneArea& area, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3, int32_t x4,
               int32_t y4) {
  area.SetCorner(1, x1, y1);
  area.SetCorner(2, x2, y2);
  area.SetCorner(3, x3, y3);
  area.SetCorner(4, x4, y4);
}

TEST(SceneAreaTest, PointInQuadrilateral) {
  CSceneHotspot clockwise, counter;
  SetSquare(clockwise, 0, 0, 10, 0, 10, 10, 0, 10);
  SetSquare(counter, 0, 0, 0, 10, 10, 10, 10, 0);
  struct Case {
    int32_t x, y;
    bool inClockwise, inCounter;
  } cases[] = {
      {5, 5, true, false},   {10, 5, true, false}, {0, 0, true, false},   {11, 5, false, false},
      {5, -1, false, false}, {10, 10, true, false}, {-1, 5, false, false},
      // Regression: 32-bit products wrapped and took far points in.
      {INT_MAX, 5, false, false}, {INT_MIN, INT_MIN, false, false}, {5, INT_MAX, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(clockwise.IsPointInside(c.x, c.y), c.inClockwise) << c.x << "," << c.y;
    EXPECT_EQ(counter.IsPointInside(c.x, c.y), c.inCounter) << c.x << "," << c.y;
  }

  // Corners at the ends of the coordinate range.
  CSceneExit huge;
  SetSquare(huge, INT_MIN, INT_MIN, INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX);
  EXPECT_TRUE(huge.IsPointInside(0, 0));
  EXPECT_TRUE(huge.IsPointInside(INT_MAX, INT_MAX));
  EXPECT_TRUE(huge.IsPointInside(INT_MIN, 0));
  CSceneExit sliver;
  SetSquare(sliver, INT_MIN, 0, INT_MAX, 0, INT_MAX, 1, INT_MIN, 1);
  EXPECT_TRUE(sliver.IsPointInside(0, 1));
  EXPECT_FALSE(sliver.IsPointInside(0, 2));
  EXPECT_FALSE(sliver.IsPointInside(0, -1));
}

TEST(SceneExitTest, ClickTimeIsRecentForTwoSeconds) {
  static int64_t now = 5000;
  SetWallTimeSource([] { return now; });
  CSceneExit exit;
  exit.SetClickTime();
  EXPECT_TRUE(exit.IsClickTimeRecent());
  now += 2;
  EXPECT_TRUE(exit.IsClickTimeRecent());
  now += 1;
  EXPECT_FALSE(exit.IsClickTimeRecent());
  now -= 10;  // a stamp in the future counts as recent
  EXPECT_TRUE(exit.IsClickTimeRecent());
  exit.ResetClickTime();
  EXPECT_FALSE(exit.IsClickTimeRecent());
  SetWallTimeSource(nullptr);
}

// Regression: fields without a default wrote whatever was in memory.
TEST(SceneTest, FreshObjectsWriteTheirDefaults) {
  std::string out;
  CSceneExit().Serialize(out);
  EXPECT_EQ(out,
            "\nMakeSceneExit\n{\n\tid = \"\",\n\tname = \"\",\n"
            "\tpositionX1 = 0, positionY1 = 0,\n\tpositionX2 = 0, positionY2 = 0,\n"
            "\tpositionX3 = 0, positionY3 = 0,\n\tpositionX4 = 0, positionY4 = 0,\n"
            "\tcursorstyleid = 4,\n\tcursorstylepath = \"\",\n\ttext = \"\",\n\tisActive = \"true\",\n"
            "\tnextScene = -1,\n\timage = \"\",\n\timagePositionX = 0,\n\timagePositionY = 0\n"
            "}; -- MakeSceneExit end\n");
  out.clear();
  CTextbox().WriteRecord(out);
  EXPECT_EQ(out,
            "\nMakeTextbox\n{\n\tred = 0,\n\tgreen = 0,\n\tblue = 0,\n\talpha = 1,\n\ttextFont = \"\",\n"
            "\ttextboxHeight = 0,\n\ttextboxWidth = 0,\n\tlineHeight = 0,\n\ttext = \"\",\n"
            "\ttextboxPositionX = 0,\n\ttextboxPositionY = 0,\n\trotation = 0,\n}; -- MakeTextbox end\n");
  out.clear();
  CTestScene().Serialize(out);
  EXPECT_EQ(out,
            "\nMakeTestScene\n{\n\tseqId = 0,\n\tbg = \"\",\n\ttheme = \"\",\n\tatmo = \"\",\n"
            "\tthemeOffset = 0,\n\tfadeInDuration = 300,\n\tfadeOutDuration = 300,\n\talphaOfBlack = 0,\n"
            "\tshowSkipButton = \"false\",\n\tcandleWindow = \"false\",\n\tinfoTextAtCursor = \"false\",\n"
            "\tnextScene = -1,\n\tshowHintButton = \"true\",\n\tshowDiaryButton = \"true\",\n"
            "\tshowLightButton = \"false\",\n\n}; -- MakeTestScene end\n");
  CTestScene scene;
  EXPECT_EQ(scene.GetMinLoop(), 0);
  EXPECT_EQ(scene.GetMaxLoop(), 0);
}

TEST(SceneTest, WritesItsFieldsAndNestedRecords) {
  CTestScene scene(120001);
  scene.SetBg("bg/lichtung.png");
  scene.SetTheme("music/theme1.ogg");
  scene.SetAtmo("atmo/wind.ogg");
  scene.SetAlphaOfBlack(50);
  scene.SetShowSkipButton(true);
  scene.SetNextScene(220001);
  scene.SetInitScript("scripts/init.lua");
  auto exit = MakeExit("2_200_adv_exit_haus");
  exit->SetName("Haus");
  SetSquare(*exit, 1, 2, 3, 4, 5, 6, 7, 8);
  exit->SetNextScene(210001);
  scene.AddSceneExit(std::move(exit));
  auto hotspot = MakeHotspot("brunnen");
  hotspot->SetActive(false);
  ActionMap actions;
  actions.Set("OnClick", std::make_shared<CCommandLua>("SetNextScene(4)"));
  hotspot->SetActionMap(std::move(actions));
  scene.AddSceneHotspot(std::move(hotspot));
  auto box = std::make_unique<CTextbox>();
  box->SetRed(0.25f);
  box->SetText("label_brief");
  scene.AddTextbox(std::move(box));

  std::string out;
  scene.Serialize(out);
  EXPECT_EQ(out,
            "\nMakeTestScene\n{\n\tseqId = 120001,\n\tbg = \"bg/lichtung.png\",\n\ttheme = \"music/theme1.ogg\",\n"
            "\tatmo = \"atmo/wind.ogg\",\n\tthemeOffset = 0,\n\tfadeInDuration = 300,\n\tfadeOutDuration = 300,\n"
            "\talphaOfBlack = 50,\n\tshowSkipButton = \"true\",\n\tcandleWindow = \"false\",\n"
            "\tinfoTextAtCursor = \"false\",\n\tnextScene = 220001,\n\tshowHintButton = \"true\",\n"
            "\tshowDiaryButton = \"true\",\n\tshowLightButton = \"false\",\n\tinitScript = \"scripts/init.lua\",\n"
            "\nMakeSceneExit\n{\n\tid = \"2_200_adv_exit_haus\",\n\tname = \"Haus\",\n"
            "\tpositionX1 = 1, positionY1 = 2,\n\tpositionX2 = 3, positionY2 = 4,\n"
            "\tpositionX3 = 5, positionY3 = 6,\n\tpositionX4 = 7, positionY4 = 8,\n"
            "\tcursorstyleid = 4,\n\tcursorstylepath = \"\",\n\ttext = \"\",\n\tisActive = \"true\",\n"
            "\tnextScene = 210001,\n\timage = \"\",\n\timagePositionX = 0,\n\timagePositionY = 0\n"
            "}; -- MakeSceneExit end\n"
            "\nMakeSceneHotspot\n{\n\tid = \"brunnen\",\n\tname = \"\",\n"
            "\tpositionX1 = 0, positionY1 = 0,\n\tpositionX2 = 0, positionY2 = 0,\n"
            "\tpositionX3 = 0, positionY3 = 0,\n\tpositionX4 = 0, positionY4 = 0,\n"
            "\ttext = \"\",\n\tisActive = \"false\",\n\tcursorstylepath = \"\",\n"
            "\nMakeActionMap\n{\n{\"OnClick\" ,\"SetNextScene(4)\"},\n}; -- MakeActionMap end\n"
            "}; -- MakeSceneHotspot end\n"
            "\nMakeTextbox\n{\n\tred = 0.25,\n\tgreen = 0,\n\tblue = 0,\n\talpha = 1,\n\ttextFont = \"\",\n"
            "\ttextboxHeight = 0,\n\ttextboxWidth = 0,\n\tlineHeight = 0,\n\ttext = \"label_brief\",\n"
            "\ttextboxPositionX = 0,\n\ttextboxPositionY = 0,\n\trotation = 0,\n}; -- MakeTextbox end\n"
            "\n}; -- MakeTestScene end\n");
  EXPECT_FLOAT_EQ(scene.GetAlphaOfBlack(), 0.5f);
  EXPECT_DOUBLE_EQ(scene.GetAlphaOfBlackRatio(), 0.5);
}

// Regression: a quote or backslash in a script or text of the model text ended the string
// early and lost the whole save.
using SceneTextTest = TModelTest;

TEST_F(SceneTextTest, QuotesAndBackslashesReadBack) {
  CTestScene scene(7);
  const char* init = "ShowText(\"Opa's \\\"Brief\\\"\")\nDebugOut('C:\\\\')";
  scene.SetInitScript(init);
  auto exit = MakeExit("exit \"1\"");
  exit->SetText("Zum\\Haus");
  scene.AddSceneExit(std::move(exit));
  std::string out;
  scene.Serialize(out);
  Run("local function tag(t) return t end\n"
      "MakeSceneExit = tag MakeSceneHotspot = tag MakeTextbox = tag MakeActionMap = tag\n"
      "function MakeTestScene(t) scene = t end\n" +
      out);
  EXPECT_EQ(Eval("scene.initScript"), init);
  EXPECT_EQ(Eval("scene[1].id"), "exit \"1\"");
  EXPECT_EQ(Eval("scene[1].text"), "Zum\\Haus");
  EXPECT_EQ(Eval("scene.seqId"), "7");
}

TEST(SceneTest, ExitsAndHotspotsAreKeptById) {
  CTestScene scene;
  EXPECT_EQ(scene.FindSceneExit("x"), nullptr);
  auto first = MakeExit("x");
  first->SetNextScene(1);
  scene.AddSceneExit(std::move(first));
  auto second = MakeExit("x");
  second->SetNextScene(2);
  scene.AddSceneExit(std::move(second));
  ASSERT_NE(scene.FindSceneExit("x"), nullptr);
  EXPECT_EQ(scene.FindSceneExit("x")->GetNextScene(), 2);
  EXPECT_EQ(scene.GetSceneExits().size(), 1u);
  scene.AddSceneExit(nullptr);

  scene.AddSceneHotspot(MakeHotspot("h"));
  EXPECT_NE(scene.FindSceneHotspot("h"), nullptr);
  scene.RemoveSceneHotspot("h");
  scene.RemoveSceneHotspot("h");
  EXPECT_EQ(scene.FindSceneHotspot("h"), nullptr);
}

TEST(SceneTest, CursorsWalkIdsInByteOrder) {
  CTestScene scene;
  EXPECT_FALSE(scene.HasMoreSceneHotspots());
  for (const char* id : {"9", "10", "b", "A"}) scene.AddSceneHotspot(MakeHotspot(id));
  std::string walk;
  // An entry added behind the cursor during the walk is not met; one ahead of it is.
  scene.RewindSceneHotspots();
  while (scene.HasMoreSceneHotspots()) {
    CSceneHotspot* hotspot = scene.GetNextSceneHotspot();
    walk += hotspot->GetId().ToStd() + " ";
    if (hotspot->GetId() == TString("9")) {
      scene.AddSceneHotspot(MakeHotspot("0"));
      scene.AddSceneHotspot(MakeHotspot("c"));
    }
  }
  EXPECT_EQ(walk, "10 9 A b c ");
  EXPECT_EQ(scene.GetNextSceneHotspot(), nullptr);
  scene.RewindSceneHotspots();
  EXPECT_EQ(scene.GetNextSceneHotspot()->GetId(), TString("0"));

  scene.AddSceneExit(MakeExit("z"));
  scene.AddSceneExit(MakeExit("a"));
  scene.RewindSceneExits();
  EXPECT_EQ(scene.GetNextSceneExit()->GetId(), TString("a"));
  EXPECT_EQ(scene.GetNextSceneExit()->GetId(), TString("z"));
  EXPECT_FALSE(scene.HasMoreSceneExits());
}

TEST(SceneObjectTest, WritesItsRecordWithoutAlpha) {
  CSceneObject object;
  EXPECT_FALSE(object.IsActive());
  EXPECT_TRUE(object.IsVisible());
  EXPECT_FALSE(object.IsPickable());
  object.SetId("laterne");
  object.SetTimesPickable(1);
  object.SetInvItem("Laterne");
  object.SetAlpha(0.5f);
  EXPECT_TRUE(object.IsPickable());
  std::string out;
  object.Serialize(out);
  EXPECT_EQ(out,
            "\nMakeSceneObject\n{\n\tid = \"laterne\",\n\tname = \"\",\n\tpositionX = 0,\n\tpositionY = 0,\n"
            "\timage = \"\",\n\ttimesPickable = 1,\n\tisActive = \"false\",\n\tisVisible = \"true\",\n"
            "\tinvitem = \"Laterne\",\n\ttext = \"\",\n}; -- MakeSceneObject end\n");
  EXPECT_TRUE(object.IsOfType(19));
  EXPECT_TRUE(CSceneExit().IsOfType(20));
  EXPECT_TRUE(CSceneHotspot().IsOfType(28));
  EXPECT_FALSE(CSceneHotspot().IsOfType(20));
}

}  // namespace
