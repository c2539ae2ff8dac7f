#include <gtest/gtest.h>

#include "model/game.h"
#include "model/highscore_system.h"
#include "model_test_util.h"

namespace {

// A scene kind whose objects are flags by name, as adventure screens have them.
class CObjectScene : public CTestScene {
 public:
  using CTestScene::CTestScene;
  void SetObjectActive(const TString& name, bool active) override { mActive[name.ToStd()] = active; }
  bool IsObjectActive(const TString& name) const override {
    auto it = mActive.find(name.ToStd());
    return it != mActive.end() && it->second;
  }
  void SetObjectVisible(const TString& name, bool visible) override { mVisible[name.ToStd()] = visible; }
  bool IsObjectVisible(const std::string& name) const { return mVisible.count(name) && mVisible.at(name); }

 private:
  std::map<std::string, bool> mActive, mVisible;
};

class GameTest : public TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    game = CGame::CreateInstance();
  }
  CLevel* AddLevel(int32_t id, std::initializer_list<int32_t> scenes) {
    auto level = std::make_unique<CLevel>();
    level->SetSeqId(id);
    for (int32_t seqId : scenes) level->AddScene(std::make_unique<CObjectScene>(seqId));
    CLevel* raw = level.get();
    game->AddLevel(std::move(level));
    return raw;
  }
  CGame* game = nullptr;
};

TEST_F(GameTest, IsMadeOnceAndKeepsItsStartAndCurrentScene) {
  EXPECT_EQ(CGame::CreateInstance(), game);
  EXPECT_EQ(game->GetStartScene(), -1);
  EXPECT_EQ(game->GetCurrentSceneNumber(), -1);
  game->SetStartScene(120001);
  EXPECT_EQ(game->GetCurrentSceneNumber(), 120001);
  game->SetStartScene(220001);
  EXPECT_EQ(game->GetStartScene(), 220001);
  EXPECT_EQ(game->GetCurrentSceneNumber(), 120001);
  EXPECT_EQ(game->GetCurrentScene(), nullptr);
}

TEST_F(GameTest, LookupsAskTheLevelsInAscendingId) {
  AddLevel(5, {100, 200});
  AddLevel(2, {200, 300});
  EXPECT_EQ(game->GetLevelIdOfScene(200), 2);
  EXPECT_EQ(game->GetLevelIdOfScene(100), 5);
  EXPECT_EQ(game->GetLevelIdOfScene(999), -1);
  EXPECT_EQ(game->FindScene(200), game->GetLevels().at(2)->GetScene(200));
  EXPECT_EQ(game->FindScene(999), nullptr);
  EXPECT_EQ(game->FindSceneExit("none"), nullptr);
  EXPECT_EQ(game->FindSceneHotspot("none"), nullptr);

  auto hotspot = std::make_unique<CSceneHotspot>();
  hotspot->SetId("well");
  game->FindScene(300)->AddSceneHotspot(std::move(hotspot));
  EXPECT_NE(game->FindSceneHotspot("well"), nullptr);

  // A level of an id in use replaces the earlier one.
  EXPECT_EQ(game->AddLevel(std::make_unique<CLevel>()), 0);
  AddLevel(2, {400});
  EXPECT_EQ(game->GetLevelIdOfScene(300), -1);
  EXPECT_EQ(game->AddLevel(nullptr), -1);
}

TEST_F(GameTest, ScriptFunctions) {
  EXPECT_EQ(Eval("GetActive('laterne')"), "false");
  EXPECT_EQ(Eval("GetCurrentLevel()"), "-1");
  AddLevel(1, {120001});
  AddLevel(3, {320002});
  game->SetCurrentScene(320002);
  EXPECT_EQ(Eval("GetCurrentLevel()"), "3");

  Run("SetActive('laterne', true) SetVisible('laterne', false)");
  EXPECT_EQ(Eval("GetActive('laterne')"), "true");
  auto* scene = static_cast<CObjectScene*>(game->FindScene(320002));
  EXPECT_TRUE(scene->IsObjectActive("laterne"));
  EXPECT_FALSE(scene->IsObjectVisible("laterne"));

  Run("SetSceneTheme(320002.9, 'music/villa.ogg')");
  EXPECT_EQ(scene->GetTheme(), TString("music/villa.ogg"));

  auto item = std::make_unique<CInventoryItem>();
  item->SetName("Laterne");
  item->SetDescription("Eine alte Laterne");
  item->SetPickUpImage("items/laterne_big.png");
  game->AddInventoryItemDefinition(std::move(item));
  EXPECT_EQ(Eval("GetInventoryItemDescription('Laterne')"), "Eine alte Laterne");
  EXPECT_EQ(Eval("GetInventoryItemPickupImage('Laterne')"), "items/laterne_big.png");
  EXPECT_EQ(Eval("GetInventoryItemDescription('Kristall')"), "");
  EXPECT_NE(ReadLog().find("GetInventoryItemDescription: no item \"Kristall\""), std::string::npos);

  // The functions go with the game.
  CGame::DestroyInstance();
  EXPECT_NE(TryRun("GetCurrentLevel()").find("no longer exists"), std::string::npos);
}

TEST_F(GameTest, ItemDefinitionsAreKeptByNameAndTheInventoryNotifies) {
  auto first = std::make_unique<CInventoryItem>();
  first->SetName("Brief");
  first->SetDescription("alt");
  game->AddInventoryItemDefinition(std::move(first));
  auto second = std::make_unique<CInventoryItem>();
  second->SetName("Brief");
  second->SetDescription("neu");
  game->AddInventoryItemDefinition(std::move(second));
  EXPECT_EQ(game->GetInventoryItems().size(), 1u);
  EXPECT_EQ(game->GetInventoryItem("Brief")->GetDescription(), TString("neu"));
  EXPECT_EQ(game->GetInventoryItem("brief"), nullptr);

  game->AddInventoryItem("Brief");
  game->AddInventoryItem("Laterne");
  game->RemoveInventoryItem("Brief");
  EXPECT_EQ(game->GetInventory().GetItemCount(), 1);
}

TEST_F(GameTest, AnEmptyModelWritesItsFieldsInventoryAndScoreSettings) {
  CHighscoreSystem::CreateInstance();
  game->SetHintCount(3);
  game->MiniGameSkipButton().fontSize = 24;
  std::string out = "<";
  game->Serialize(out);
  EXPECT_EQ(out,
            "<require(\"scripts/game/objectives.lua\")\nMakeGame\n{\n"
            "\tname = \"\",\n\tstartScene = -1,\n\tcurrentScene = -1,\n"
            "\tsundialShadowSprite = \"\",\n\tsundialShadowCount = 0,\n\tsundialPoleSprite = \"\",\n"
            "\thintSprite = \"\",\n\thintCount = 3,\n"
            "\tminiGameSkipButtonPosX = 0,\n\tminiGameSkipButtonPosY = 0,\n"
            "\tminiGameSkipButtonGraphic = \"\",\n\tminiGameSkipButtonFontType = \"\",\n"
            "\tminiGameSkipButtonFontSize = \"24\",\n\tminiGameSkipButtonFontColorR = \"0\",\n"
            "\tminiGameSkipButtonFontColorG = \"0\",\n\tminiGameSkipButtonFontColorB = \"0\",\n"
            "\tminiGameMenuButtonPosX = 0,\n\tminiGameMenuButtonPosY = 0,\n"
            "\tminiGameMenuButtonGraphic = \"\",\n\tminiGameMenuButtonFontType = \"\",\n"
            "\tminiGameMenuButtonFontSize = \"0\",\n\tminiGameMenuButtonFontColorR = \"0\",\n"
            "\tminiGameMenuButtonFontColorG = \"0\",\n\tminiGameMenuButtonFontColorB = \"0\",\n"
            "\tcutsceneSkipButtonPosX = 0,\n\tcutsceneSkipButtonPosY = 0,\n\tcutsceneSkipButtonGraphic = \"\",\n"
            "\tsidebarMenuButtonGraphic = \"\",\n\tsidebarHelpButtonGraphic = \"\",\n"
            "\tsidebarDiaryButtonGraphic = \"\",\n\tsidebarLightButtonGraphic = \"\",\n"
            "\nMakeInventory\n{\n}; -- MakeInventory end\n"
            "\nMakeHighscoreSystem\n{\n\tlevelCompleteBonus = 0,\n\tlevelSpeedPerSecondBonus = 0,\n"
            "\tneededTimeForHOSpeedBonusInSeconds = 0,\n\tHOTaskCompleteBonus = 0,\n\tfoundInventoryItemBonus = 0,\n"
            "\tusedInventoryItemSuccessfullyBonus = 0,\n\tadventureTaskCompleteBonus = 0,\n"
            "\tminiGameTaskCompleteBonus = 0,\n\tclicksNeedForPenalty = 0,\n\ttimeForClicksForPenalty = 0,\n"
            "\ttimeForPenalty = 0,\n\tMakeHOFoundBonus{};\n\tMakeHintUsedInLevelBonus{};\n};\n"
            "}; -- MakeGame end\n");
}

TEST_F(GameTest, TheSavedGameReadsBackAsLua) {
  AddLevel(1, {120001});
  game->SetName("Das Geheimnis des \"Nebeltals\"");
  game->SetStartScene(120001);
  game->SetCanNotUseItemText("label_cannotuse");
  auto item = std::make_unique<CInventoryItem>();
  item->SetName("Brief");
  game->AddInventoryItemDefinition(std::move(item));
  game->AddInventoryItem("Brief");
  std::string out;
  game->Serialize(out);
  EXPECT_NE(out.find("\tcanNotUseItemText = \"label_cannotuse\",\n"), std::string::npos);
  EXPECT_EQ(out.find("canUseItemSound"), std::string::npos);

  Run("function require() end\n"
      "local function tag(n) return function(t) t.modeltype = n return t end end\n"
      "MakeLevel = tag(0) MakeTestScene = tag(18) MakeInventory = tag(2) MakeInventoryItem = tag(3)\n"
      "function MakeGame(t) game = t end\n" +
      out);
  EXPECT_EQ(Eval("game.name"), "Das Geheimnis des \"Nebeltals\"");
  EXPECT_EQ(Eval("game.currentScene"), "120001");
  EXPECT_EQ(Eval("game[1].modeltype .. game[1][1].seqId"), "0120001");
  EXPECT_EQ(Eval("game[2].name"), "Brief");
  EXPECT_EQ(Eval("game[3][1]"), "Brief");
}

TEST_F(GameTest, PlaceTables) {
  EXPECT_EQ(CGame::GetLocationScenes().size(), 20u);
  const std::vector<int32_t> clearing = {120001, 220001, 220002, 320002, 520001};
  EXPECT_EQ(CGame::GetLocationScenes("200"), clearing);
  EXPECT_TRUE(CGame::GetLocationScenes("999").empty());
  EXPECT_EQ(CGame::GetLocationExits().size(), 17u);
  const auto& hall = CGame::GetLocationExits("300");
  ASSERT_EQ(hall.size(), 7u);
  EXPECT_EQ(hall[2], std::make_pair(std::string("2_300_adv_exit_klingel"), std::string("303")));
  EXPECT_EQ(CGame::GetLocationExits("101").size(), 9u);
  EXPECT_TRUE(CGame::GetLocationExits("204").empty());
}

}  // namespace
