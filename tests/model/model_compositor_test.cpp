#include "model/model_compositor.h"

#include <gtest/gtest.h>

#include "model/adventure_screen.h"
#include "model/chapter_screen.h"
#include "model/cutscene.h"
#include "model/game.h"
#include "model/hidden_object_game.h"
#include "model/highscore_system.h"
#include "model/model_types.h"
#include "model/placing_object_game.h"
#include "model/plotpoint.h"
#include "model_compositor_test_util.h"
#include "platform/test_util.h"

namespace {

using TCompositorTest = TModelTextTest;

TEST_F(TCompositorTest, MakeFunctionsTagAndReturnTheirTable) {
  const struct {
    const char* make;
    int type;
  } cases[] = {{"MakeLevel", ModelLevel},         {"MakeCutscene", ModelCutscene},
               {"MakeTextbox", ModelTextbox},     {"MakeHOGGroup", ModelHOGGroup},
               {"MakeLabyrinthTile", ModelLabyrinthTile}};
  for (const auto& c : cases) {
    std::string call = std::string("(function() local t = {} return rawequal(") + c.make + "(t), t) and t.modeltype end)()";
    EXPECT_EQ(EvalNumber(call), c.type) << c.make;
  }
  EXPECT_NE(TryRun("MakeLevel(5)"), "");
}

// One scene of every story kind and mini-game, written, read back and written again: the same text,
// strings with quotes, backslashes and umlauts included.
TEST_F(TCompositorTest, NewGameReachesTheFixedPoint) {
  Run(ReadTextFile(TARVELON_FIXTURES "/model/new_game.lua"));
  CGame& game = Game();
  ASSERT_EQ(game.GetLevels().size(), 1u);
  const struct {
    int32_t seqId;
    int type;
  } kinds[] = {{110001, ModelChapterScreen},     {110002, ModelAdventureScreen}, {110003, ModelHiddenObjectGame},
               {110004, ModelCutscene},          {110005, ModelPlacingObjectGame}, {110006, ModelPlotpoint},
               {110020, ModelSharkShooterGame},  {110021, ModelMastermindGame},
               {110022, ModelMemoryGame},        {110023, ModelRotationTilesGame},
               {110024, ModelLabyrinthGame},     {110030, ModelNineMensMorrisGame},
               {110031, ModelMirroredImageGame}, {110032, ModelPlacingPicturesGame},
               {110040, ModelUnlockingDoorsMiniGame},
               {110041, ModelMixPotionMiniGame},
               {110042, ModelJigsawPuzzle}};
  for (const auto& kind : kinds) {
    CScene* scene = game.FindScene(kind.seqId);
    ASSERT_TRUE(scene) << kind.seqId;
    EXPECT_TRUE(scene->IsOfType(kind.type)) << kind.seqId;
  }
  EXPECT_EQ(game.GetLevels().begin()->second->GetName().ToStd(), "Kapitel \"Eins\" \\ Anfang");
  EXPECT_EQ(game.GetCurrentSceneNumber(), 110001);
  EXPECT_EQ(game.MiniGameSkipButton().fontSize, 24u);
  EXPECT_EQ(game.GetInventory().GetItemCount(), 2);
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetHOFoundBonuses(), (std::vector<uint32_t>{10, 20, 40}));
  auto* hotspot = game.FindSceneHotspot("ofen");
  ASSERT_TRUE(hotspot);
  EXPECT_EQ(static_cast<CCommandLua*>(hotspot->GetActionMap().Find("OnClick"))->GetScript().ToStd(),
            "ShowText('stove \\'warm\\'')");

  std::string first = Save();
  Reload(first);
  std::string second = Save();
  EXPECT_EQ(first, second);
  Reload(second);
  EXPECT_EQ(Save(), second);
}

TEST_F(TCompositorTest, ValuesReadLeniently) {
  Run(R"(MakeGame{ MakeLevel{ MakeChapterScreen{
        seqId = 2.9, nextScene = -2.9, fadeInDuration = "12", bg = 12, minLoop = "soon",
        showSkipButton = "1", showHintButton = "1", showDiaryButton = false, showLightButton = "false",
        locationX = "7", unknownKey = "x" } } })");
  auto* chapter = static_cast<CChapterScreen*>(Game().FindScene(2));
  ASSERT_TRUE(chapter);
  EXPECT_EQ(chapter->GetNextScene(), -2);
  EXPECT_EQ(chapter->GetFadeInDuration(), 12);
  EXPECT_EQ(chapter->GetBg().ToStd(), "12");
  EXPECT_EQ(chapter->GetMinLoop(), 0);
  EXPECT_FALSE(chapter->IsShowSkipButton());
  EXPECT_TRUE(chapter->IsShowHintButton());
  EXPECT_TRUE(chapter->IsShowDiaryButton());
  EXPECT_FALSE(chapter->IsShowLightButton());
  EXPECT_EQ(chapter->GetLocationX(), 7);
  EXPECT_EQ(chapter->GetLocationY(), 0);
  EXPECT_EQ(chapter->GetFadeOutDuration(), 300);
}

TEST_F(TCompositorTest, LevelsAndScenesByModelType) {
  Run(R"(MakeGame{
      { seqId = 7 },
      MakeLevel{ seqId = 3,
        MakeChapterScreen{ seqId = 5, title = "first" },
        MakeChapterScreen{ seqId = 5, title = "later" },
        MakeSceneExit{ id = "not a scene" },
        MakeJigsawPiece{ seqId = 6 } } })");
  ASSERT_EQ(Game().GetLevels().count(7), 1u);
  const CLevel& level = *Game().GetLevels().at(3);
  ASSERT_EQ(level.GetScenes().size(), 1u);
  EXPECT_EQ(static_cast<CChapterScreen*>(level.GetScene(5))->GetTitle().ToStd(), "later");
}

TEST_F(TCompositorTest, ActionMapPairsUseTheirFirstTwoValues) {
  Run(R"(MakeGame{ MakeLevel{ MakeAdventureScreen{ seqId = 1,
      MakeSceneHotspot{ id = "h", MakeActionMap{ {"OnClick", "clicked = 1", "extra"}, "plain", {"OnLook"} } },
      MakeSceneObject{ id = "o", MakeActionMap{ {"OnPickedUp", "picked = 'yes'"} } } } } })");
  const ActionMap& actions = Game().FindSceneHotspot("h")->GetActionMap();
  ASSERT_EQ(actions.GetSize(), 1u);
  EXPECT_EQ(static_cast<CCommandLua*>(actions.Find("OnClick"))->GetScript().ToStd(), "clicked = 1");

  // Regression: the object copied the composed map's entries, then the map went; the copy
  // must still reach a live command.
  auto* room = static_cast<CAdventureScreen*>(Game().FindScene(1));
  ASSERT_TRUE(room->FindSceneObject("o")->ExecuteAction("OnPickedUp"));
  EXPECT_EQ(Eval("picked"), "yes");
}

// Regression: with currentScene -1 the result depended on which of the two keys the table
// walk met first.
TEST_F(TCompositorTest, StartAndCurrentSceneDoNotDependOnOrder) {
  const struct {
    const char* fields;
    int32_t start, current;
  } cases[] = {
      {"startScene = 5, currentScene = -1", 5, 5},
      {"currentScene = -1, startScene = 5, a = 1, b = 2, c = 3", 5, 5},
      {"startScene = 5, currentScene = 7", 5, 7},
      {"currentScene = 7", -1, 7},
  };
  for (const auto& c : cases) {
    CGame::DestroyInstance();
    CGame::CreateInstance();
    Run(std::string("MakeGame{ ") + c.fields + " }");
    EXPECT_EQ(Game().GetStartScene(), c.start) << c.fields;
    EXPECT_EQ(Game().GetCurrentSceneNumber(), c.current) << c.fields;
  }
}

// Regression: the Make functions kept pointing at a destroyed compositor.
TEST_F(TCompositorTest, MakeFunctionsAreHarmlessOnceTheCompositorWent) {
  CModelCompositor::Destroy();
  EXPECT_NE(TryRun("MakeLevel{}"), "");
  EXPECT_NE(TryRun("MakeGame{ startScene = 3 }"), "");
  EXPECT_EQ(Game().GetStartScene(), -1);
  CModelCompositor::Recreate();
  Run("MakeGame{ startScene = 3 }");
  EXPECT_EQ(Game().GetStartScene(), 3);
}

TEST_F(TCompositorTest, HiddenObjectRecords) {
  Run(R"(MakeGame{ MakeLevel{ MakeHiddenObjectGame{ seqId = 1,
      MakeFixItems{ "a", "b", "ghost", "c", "d" },
      MakeFoundItems{ "b", "nobody" },
      itemListCount = 3,
      MakeHiddenObject{ id = "a" }, MakeHiddenObject{ id = "b" }, MakeHiddenObject{ id = "c" },
      MakeHiddenObject{ id = "d" }, MakeHiddenObject{ id = "e", groupName = "own", groupId = 4 },
      MakeHOGGroup{ groupName = "first", MakeHiddenObject{ id = "g1" }, MakeHiddenObject{ id = "g2", isActive = "false" } },
      MakeHOGGroup{ MakeHiddenObject{ id = "g3" }, { id = "untagged" } },
      MakeMinItemsCount{ MakeMinItemsGroupCount{ groupName = "first", minItems = 1 }, MakeMinItemsGroupCount{},
                         MakeHiddenObject{ id = "not a group" } } } } })");
  auto* game = static_cast<CHiddenObjectGame*>(Game().FindScene(1));
  ASSERT_TRUE(game);
  ASSERT_EQ(game->GetHiddenObjectCount(), 8);

  const struct {
    const char* id;
    const char* groupName;
    int32_t groupId;
  } groups[] = {{"a", "none", 0}, {"e", "own", 4}, {"g1", "first", 1}, {"g2", "first", 0}, {"g3", "", 2}};
  for (const auto& g : groups) {
    const CHiddenObject* object = game->GetHiddenObject(g.id);
    ASSERT_TRUE(object) << g.id;
    EXPECT_EQ(object->GetGroupName().ToStd(), g.groupName) << g.id;
    EXPECT_EQ(object->GetGroupId(), g.groupId) << g.id;
  }
  EXPECT_EQ(game->GetGroups(), (CHiddenObjectGame::Groups{{"", 0}, {"first", 1}}));

  // The fix items come first in the table yet meet the list size; "ghost" and "nobody" name
  // no object and are skipped with a log line (regression: they were looked up blindly).
  EXPECT_EQ(game->GetItemList(), (std::vector<TString>{"a", "b", "c"}));
  EXPECT_TRUE(game->IsItemAlreadyFound("b"));
  EXPECT_FALSE(game->IsItemAlreadyFound("a"));
  std::string log = ReadLog();
  EXPECT_NE(log.find("\"ghost\" among its fix items"), std::string::npos);
  EXPECT_NE(log.find("\"nobody\" among its found items"), std::string::npos);
}

TEST_F(TCompositorTest, AdventureTextboxes) {
  Run(R"(MakeGame{ MakeLevel{ MakeAdventureScreen{ seqId = 1,
      textColor = { red = 200 },
      textboxes = {
        { rotation = 5 },
        { text = "one", x = 10, y = 20, rotation = 1.5 },
        { text = "two", x = 30 },
        "not a box",
        { rotation = 2 } } } } })");
  auto* room = static_cast<CAdventureScreen*>(Game().FindScene(1));
  ASSERT_TRUE(room);
  EXPECT_EQ(room->GetTextColor(), (std::array<float, 4>{200, 0, 0, 0}));
  // Regression: a box without text or rotation put the three lists out of step, and the
  // first box without a place read an unset one.
  const struct {
    const char* text;
    int32_t x, y;
    float rotation;
  } boxes[] = {{"", 0, 0, 5}, {"one", 10, 20, 1.5f}, {"two", 30, 20, 0}, {"", 30, 20, 2}};
  ASSERT_EQ(room->GetTextboxCount(), 4);
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(room->GetTextboxText(i).ToStd(), boxes[i].text) << i;
    EXPECT_EQ(room->GetTextboxPosition(i).x, boxes[i].x) << i;
    EXPECT_EQ(room->GetTextboxPosition(i).y, boxes[i].y) << i;
    EXPECT_EQ(room->GetTextboxRotation(i), boxes[i].rotation) << i;
  }
}

TEST_F(TCompositorTest, CutsceneRecords) {
  Run(R"(MakeGame{ MakeLevel{ MakeCutscene{ seqId = 1, letterFontSize = "28",
      MakeCutsceneCharacter{ id = "far", position = 7 },
      MakeCutsceneCharacter{ id = "shake", position = 4 },
      MakeCutsceneCharacter{ id = "below", position = -1, images = { snotty_02 = "s.png", frown = "f.png" } },
      MakeCutsceneCharacter{ id = "twice", position = 0, name = "first" },
      MakeCutsceneCharacter{ id = "twice", position = 2, name = "later" },
      MakeCutsceneScript{ { "far", "surprise", "line1", "a.ogg" }, { "twice", "grumpy" } } } } })");
  auto* cutscene = static_cast<CCutscene*>(Game().FindScene(1));
  ASSERT_TRUE(cutscene);
  EXPECT_EQ(cutscene->GetLetterFontSize(), 28);
  const struct {
    const char* id;
    int32_t position;
  } cast[] = {{"far", 1}, {"shake", 4}, {"below", 1}, {"twice", 2}};
  for (const auto& c : cast) EXPECT_EQ(cutscene->GetCharacter(c.id)->GetPosition(), c.position) << c.id;
  EXPECT_EQ(cutscene->GetCharacter("twice")->GetName().ToStd(), "later");
  const CCutsceneCharacter* below = cutscene->GetCharacter("below");
  EXPECT_EQ(below->GetImage(22)->ToStd(), "s.png");
  EXPECT_EQ(below->GetImage(0)->ToStd(), "f.png");

  const CCutsceneScript::Items& lines = cutscene->GetScript()->GetItems();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines.at(1)->GetMood(), 10);
  EXPECT_EQ(lines.at(1)->GetSoundFile().ToStd(), "a.ogg");
  EXPECT_EQ(lines.at(2)->GetMood(), 0);
  EXPECT_EQ(lines.at(2)->GetText().ToStd(), "");
  EXPECT_EQ(lines.at(2)->GetSoundFile().ToStd(), "");
}

TEST_F(TCompositorTest, PlotpointTexts) {
  Run(R"(MakeGame{ MakeLevel{ MakePlotpoint{ seqId = 1, direction = "Left",
      MakePlotpointTexts{ { "first", 3, "second", 5 }, { 4, "number first" }, { true, "flag first" } } } } })");
  auto* page = static_cast<CPlotpoint*>(Game().FindScene(1));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->GetDirection(), CPlotpoint::Up);
  const struct {
    const char* text;
    uint32_t number;
  } texts[] = {{"first", 3}, {"second", 5}, {"4", 0}, {"flag first", 0}};
  ASSERT_EQ(page->GetTextCount(), 4);
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(page->GetText(i).ToStd(), texts[i].text) << i;
    EXPECT_EQ(page->GetTextNumber(i), texts[i].number) << i;
  }
  EXPECT_EQ(page->GetTotal(), 8u);
}

TEST_F(TCompositorTest, PotionRecords) {
  Run("pipe = MakeMixPotionPipe{ id = 4, x = '12', y = -3.5, h = 2, { 1, 2, 7 }, MakeMixPotionNeedColors{ 9 } } "
      "bare = MakeMixPotionPipe{ id = 5 } "
      "colors = MakeMixPotionGivenColors{ 'green', 'orange', 'blue', 'purple', 3 }");
  CModelCompositor::TMixPotionPipeRecord pipe = CModelCompositor::ComposeMixPotionPipe(*Global("pipe"));
  EXPECT_EQ(pipe.id, 4u);
  EXPECT_EQ(pipe.x, 12u);
  EXPECT_EQ(pipe.y, uint32_t(-3));
  EXPECT_EQ(pipe.h, 2u);
  EXPECT_EQ(pipe.connections, (std::vector<uint32_t>{1, 2, 7}));
  EXPECT_TRUE(CModelCompositor::ComposeMixPotionPipe(*Global("bare")).connections.empty());
  std::vector<uint32_t> colors = {1};
  CModelCompositor::ComposeColorList(*Global("colors"), colors);
  EXPECT_EQ(colors, (std::vector<uint32_t>{1, 0, 1, 5, 3, 5}));
}

// A kind made only after its walk (from what the walk gathered) still gets the shared scene
// fields, read into it once it is made.
struct TLateChapterRecord : TSceneRecord<CChapterScreen, true> {
  TString title;
  void Make() {
    scene = std::make_unique<CChapterScreen>();
    scene->SetTitle(title);
  }
  void Finish() { scene->SetSubtitle("finished"); }
};

TEST_F(TCompositorTest, ScenesMadeAfterTheirWalk) {
  CRecordRules<TLateChapterRecord> rules;
  rules.Key("title", [](TLateChapterRecord& record, const CRecordEntry& entry) { record.title = entry.String(); });
  Run("late = { seqId = 9, title = 'gathered', bg = 'late.png' }");
  std::unique_ptr<CScene> scene = ComposeSceneRecord(*Global("late"), rules);
  auto* chapter = static_cast<CChapterScreen*>(scene.get());
  EXPECT_EQ(chapter->GetSeqId(), 9);
  EXPECT_EQ(chapter->GetBg().ToStd(), "late.png");
  EXPECT_EQ(chapter->GetTitle().ToStd(), "gathered");
  EXPECT_EQ(chapter->GetSubtitle().ToStd(), "finished");
}

}  // namespace
