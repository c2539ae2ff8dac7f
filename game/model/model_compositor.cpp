// The compositor's life and Make functions, the game root, levels with their dispatch table
// of scene kinds, the item definitions, the inventory and the score settings.

#include "model/model_compositor.h"

#include <map>
#include <optional>
#include <string>

#include "model/game.h"
#include "model/highscore_system.h"
#include "model/inventory_item.h"
#include "model/level.h"
#include "model/model_types.h"
#include "platform/log.h"
#include "script/lua_glue.h"
#include "script/lua_table_reader.h"

namespace {

std::unique_ptr<CModelCompositor> gInstance;

// The Make functions that tag their table, by model type.
const char* const MakeNames[] = {
    "MakeLevel",
    "MakeChapterScreen",
    "MakeInventory",
    "MakeInventoryItem",
    "MakeActionMap",
    "MakeHiddenObjectGame",
    "MakeJigsawPuzzle",
    "MakeJigsawPiece",
    "MakeHiddenObject",
    "MakeUnlockingDoorsMiniGame",
    "MakeUnlockingDoorsBolt",
    "MakeCutscene",
    "MakeCutsceneCharacter",
    "MakeCutsceneScript",
    "MakeMixPotionMiniGame",
    "MakeMixPotionPipe",
    "MakeMixPotionGivenColors",
    "MakeMixPotionNeedColors",
    "MakeAdventureScreen",
    "MakeSceneObject",
    "MakeSceneExit",
    "MakeHighscoreSystem",
    "MakeHOFoundBonus",
    "MakeHintUsedInLevelBonus",
    "MakeFixItems",
    "MakeFoundItems",
    "MakeHOGGroup",
    "MakeMirroredImageGame",
    "MakeSceneHotspot",
    "MakePlacingObjectGame",
    "MakeNineMensMorrisGame",
    "MakePlacingPicturesGame",
    "MakeSharkShooterGame",
    "MakePlotpoint",
    "MakePlotpointTexts",
    "MakeMinItemsCount",
    "MakeMinItemsGroupCount",
    "MakeMastermindGame",
    "MakeMastermindAllColors",
    "MakeTextbox",
    "MakeMemoryGame",
    "MakeMemoryPair",
    "MakeRotationTilesGame",
    "MakeRotationTile",
    "MakeLabyrinthGame",
    "MakeLabyrinthField",
    "MakeLabyrinthStartEndPosition",
    "MakeLabyrinthTile",
};
constexpr size_t MakeCount = sizeof MakeNames / sizeof MakeNames[0];
static_assert(MakeCount == ModelLabyrinthTile + 1, "one Make function per model type");

// The scene kinds a level holds, by model type.
struct TSceneKind {
  int32_t modelType;
  std::unique_ptr<CScene> (*compose)(TLuaTable& table);
};
const TSceneKind SceneKinds[] = {
    {ModelChapterScreen, &CModelCompositor::ComposeChapterScreen},
    {ModelHiddenObjectGame, &CModelCompositor::ComposeHiddenObjectGame},
    {ModelCutscene, &CModelCompositor::ComposeCutscene},
    {ModelAdventureScreen, &CModelCompositor::ComposeAdventureScreen},
    {ModelPlacingObjectGame, &CModelCompositor::ComposePlacingObjectGame},
    {ModelPlotpoint, &CModelCompositor::ComposePlotpoint},
    {ModelSharkShooterGame, &CModelCompositor::ComposeSharkShooterGame},
    {ModelMastermindGame, &CModelCompositor::ComposeMastermindGame},
    {ModelMemoryGame, &CModelCompositor::ComposeMemoryGame},
    {ModelRotationTilesGame, &CModelCompositor::ComposeRotationTilesGame},
    {ModelLabyrinthGame, &CModelCompositor::ComposeLabyrinthGame},
    {ModelNineMensMorrisGame, &CModelCompositor::ComposeNineMensMorrisGame},
    {ModelMirroredImageGame, &CModelCompositor::ComposeMirroredImageGame},
    {ModelPlacingPicturesGame, &CModelCompositor::ComposePlacingPicturesGame},
    {ModelUnlockingDoorsMiniGame, &CModelCompositor::ComposeUnlockingDoorsMiniGame},
    {ModelMixPotionMiniGame, &CModelCompositor::ComposeMixPotionMiniGame},
    {ModelJigsawPuzzle, &CModelCompositor::ComposeJigsawPuzzle},
};

struct TGameRecord {
  CGame& game;
  std::optional<int32_t> startScene;
  std::optional<int32_t> currentScene;
  CGame& Subject() { return game; }
};

// The eight keys of a mini-game button: "<prefix>PosX" ... "<prefix>FontColorB".
template <typename T>
void ButtonKey(CRecordRules<TGameRecord>& rules, const std::string& key, CGame::TButtonLayout& (CGame::*button)(),
               T CGame::TButtonLayout::*field) {
  rules.Key(key, [button, field](TGameRecord& record, const CRecordEntry& entry) {
    (record.game.*button)().*field = entry.As<T>();
  });
}

void ButtonKeys(CRecordRules<TGameRecord>& rules, const std::string& prefix,
                CGame::TButtonLayout& (CGame::*button)()) {
  using TButton = CGame::TButtonLayout;
  ButtonKey(rules, prefix + "PosX", button, &TButton::posX);
  ButtonKey(rules, prefix + "PosY", button, &TButton::posY);
  ButtonKey(rules, prefix + "Graphic", button, &TButton::graphic);
  ButtonKey(rules, prefix + "FontType", button, &TButton::fontType);
  ButtonKey(rules, prefix + "FontSize", button, &TButton::fontSize);
  ButtonKey(rules, prefix + "FontColorR", button, &TButton::fontColorR);
  ButtonKey(rules, prefix + "FontColorG", button, &TButton::fontColorG);
  ButtonKey(rules, prefix + "FontColorB", button, &TButton::fontColorB);
}

CRecordRules<TGameRecord> MakeGameRules() {
  CRecordRules<TGameRecord> rules;
  rules.Key("name", &CGame::SetName)
      .Key("startScene", [](TGameRecord& record, const CRecordEntry& entry) { record.startScene = entry.Whole(); })
      .Key("currentScene", [](TGameRecord& record, const CRecordEntry& entry) { record.currentScene = entry.Whole(); })
      .Key("sundialShadowSprite", &CGame::SetSundialShadowSprite)
      .Key("sundialShadowCount", &CGame::SetSundialShadowCount)
      .Key("sundialPoleSprite", &CGame::SetSundialPoleSprite)
      .Key("hintSprite", &CGame::SetHintSprite)
      .Key("sidebarMenuButtonGraphic", &CGame::SetSidebarMenuButtonGraphic)
      .Key("sidebarDiaryButtonGraphic", &CGame::SetSidebarDiaryButtonGraphic)
      .Key("sidebarHelpButtonGraphic", &CGame::SetSidebarHelpButtonGraphic)
      .Key("sidebarLightButtonGraphic", &CGame::SetSidebarLightButtonGraphic)
      .Key("hintCount", &CGame::SetHintCount);
  ButtonKeys(rules, "miniGameSkipButton", &CGame::MiniGameSkipButton);
  ButtonKeys(rules, "miniGameMenuButton", &CGame::MiniGameMenuButton);
  rules.Key("cutsceneSkipButtonPosX", &CGame::SetCutsceneSkipButtonPosX)
      .Key("cutsceneSkipButtonPosY", &CGame::SetCutsceneSkipButtonPosY)
      .Key("cutsceneSkipButtonGraphic", &CGame::SetCutsceneSkipButtonGraphic)
      .Key("canUseItemSound", &CGame::SetCanUseItemSound)
      .Key("canNotUseItemText", &CGame::SetCanNotUseItemText)
      .Key("canNotUseItemSound", &CGame::SetCanNotUseItemSound);
  rules
      .Nested(ModelLevel,
              [](TGameRecord& record, TLuaTable& table) { record.game.AddLevel(CModelCompositor::ComposeLevel(table)); })
      .Nested(ModelInventory,
              [](TGameRecord& record, TLuaTable& table) {
                record.game.GetInventory().AssignItems(CModelCompositor::ComposeInventory(table));
              })
      .Nested(ModelInventoryItem,
              [](TGameRecord& record, TLuaTable& table) {
                record.game.AddInventoryItemDefinition(CModelCompositor::ComposeInventoryItem(table));
              })
      .Nested(ModelHighscoreSystem, [](TGameRecord&, TLuaTable& table) {
        if (CHighscoreSystem* score = CHighscoreSystem::GetInstance())
          CModelCompositor::ComposeHighscoreSystem(*score, table);
        else
          LogPrintf("MakeGame: no score system for the MakeHighscoreSystem record");
      });
  return rules;
}

// The score settings as the walk found them; absent values are 0.
struct THighscoreRecord {
  std::map<std::string, double> numbers;
  std::vector<uint32_t> foundBonuses;
  std::vector<uint32_t> hintBonuses;
  double Number(const char* key) const {
    auto it = numbers.find(key);
    return it == numbers.end() ? 0 : it->second;
  }
  uint32_t Unsigned(const char* key) const { return LuaNumberToUnsigned(Number(key)); }
  int32_t Whole(const char* key) const { return LuaNumberToInt(Number(key)); }
};

const char* const HighscoreKeys[] = {
    "levelCompleteBonus",         "levelSpeedPerSecondBonus",
    "neededTimeForHOSpeedBonusInSeconds", "HOTaskCompleteBonus",
    "foundInventoryItemBonus",    "usedInventoryItemSuccessfullyBonus",
    "adventureTaskCompleteBonus", "miniGameTaskCompleteBonus",
    "clicksNeedForPenalty",       "timeForClicksForPenalty",
    "timeForPenalty",
};

void AppendNumbers(TLuaTable& table, std::vector<uint32_t>& list) {
  WalkListValues(table, [&](const CRecordEntry& entry) { list.push_back(entry.Unsigned()); });
}

}  // namespace

CModelCompositor* CModelCompositor::GetInstance() { return gInstance.get(); }

CModelCompositor* CModelCompositor::Recreate() {
  gInstance.reset();
  gInstance = std::make_unique<CModelCompositor>();
  return gInstance.get();
}

void CModelCompositor::Destroy() { gInstance.reset(); }

CModelCompositor::CModelCompositor() {
  mBinding.Bind("MakeGame", this, &CModelCompositor::CallMakeGame);
  BindMakes(std::make_index_sequence<MakeCount>());
}

CModelCompositor::~CModelCompositor() = default;

template <int Type>
TLuaTable* CModelCompositor::CallMake(TLuaTable* table) {
  if (table) table->SetNumber("modeltype", Type);
  return table;
}

template <size_t... Types>
void CModelCompositor::BindMakes(std::index_sequence<Types...>) {
  (mBinding.Bind(MakeNames[Types], this, &CModelCompositor::CallMake<int(Types)>), ...);
}

void CModelCompositor::CallMakeGame(TLuaTable* table) {
  CGame* game = CGame::GetInstance();
  if (!game) {
    LogPrintf("MakeGame: there is no game to build");
    return;
  }
  if (table) MakeGame(*game, *table);
}

void CModelCompositor::MakeGame(CGame& game, TLuaTable& table) {
  static const CRecordRules<TGameRecord> rules = MakeGameRules();
  TGameRecord record{game, std::nullopt, std::nullopt};
  rules.Walk(record, table);
  if (record.currentScene) game.SetCurrentScene(*record.currentScene);
  if (record.startScene) game.SetStartScene(*record.startScene);
}

std::unique_ptr<CLevel> CModelCompositor::ComposeLevel(TLuaTable& table) {
  static const CRecordRules<CLevel> rules = [] {
    CRecordRules<CLevel> levelRules;
    levelRules.Key("seqId", &CLevel::SetSeqId).Key("name", &CLevel::SetName);
    for (const TSceneKind& kind : SceneKinds) {
      auto compose = kind.compose;
      levelRules.Nested(kind.modelType, [compose](CLevel& level, TLuaTable& scene) { level.AddScene(compose(scene)); });
    }
    return levelRules;
  }();
  auto level = std::make_unique<CLevel>();
  rules.Walk(*level, table);
  return level;
}

std::unique_ptr<CInventoryItem> CModelCompositor::ComposeInventoryItem(TLuaTable& table) {
  static const CRecordRules<CInventoryItem> rules = [] {
    CRecordRules<CInventoryItem> itemRules;
    itemRules.Key("id", &CInventoryItem::SetId)
        .Key("name", &CInventoryItem::SetName)
        .Key("description", &CInventoryItem::SetDescription)
        .Key("image", &CInventoryItem::SetImage)
        .Key("pickUpImage", &CInventoryItem::SetPickUpImage)
        .Nested(ModelActionMap, [](CInventoryItem& item, TLuaTable& map) { item.SetActionMap(ComposeActionMap(map)); });
    return itemRules;
  }();
  auto item = std::make_unique<CInventoryItem>();
  rules.Walk(*item, table);
  return item;
}

CInventory CModelCompositor::ComposeInventory(TLuaTable& table) {
  CInventory inventory;
  WalkListValues(table, [&](const CRecordEntry& entry) { inventory.AddItem(entry.String()); });
  return inventory;
}

void CModelCompositor::ComposeHighscoreSystem(CHighscoreSystem& score, TLuaTable& table) {
  static const CRecordRules<THighscoreRecord> rules = [] {
    CRecordRules<THighscoreRecord> scoreRules;
    for (const char* key : HighscoreKeys) {
      scoreRules.Key(key, [key](THighscoreRecord& record, const CRecordEntry& entry) {
        record.numbers[key] = entry.Number();
      });
    }
    scoreRules.Nested(ModelHOFoundBonus,
                      [](THighscoreRecord& record, TLuaTable& list) { AppendNumbers(list, record.foundBonuses); });
    scoreRules.Nested(ModelHintUsedInLevelBonus,
                      [](THighscoreRecord& record, TLuaTable& list) { AppendNumbers(list, record.hintBonuses); });
    return scoreRules;
  }();
  THighscoreRecord record;
  rules.Walk(record, table);
  // Each value is read in the form its setter keeps, so that it is written back the same.
  score.SetLevelCompleteBonus(record.Unsigned("levelCompleteBonus"));
  score.SetLevelSpeedPerSecondBonus(record.Unsigned("levelSpeedPerSecondBonus"));
  score.AddHOFoundBonuses(record.foundBonuses);
  score.SetNeededTimeForHOSpeedBonusInSeconds(record.Unsigned("neededTimeForHOSpeedBonusInSeconds"));
  score.SetHOTaskCompleteBonus(record.Unsigned("HOTaskCompleteBonus"));
  score.SetFoundInventoryItemBonus(record.Unsigned("foundInventoryItemBonus"));
  score.SetUsedInventoryItemSuccessfullyBonus(record.Unsigned("usedInventoryItemSuccessfullyBonus"));
  score.SetAdventureTaskCompleteBonus(record.Unsigned("adventureTaskCompleteBonus"));
  score.SetMiniGameTaskCompleteBonus(record.Unsigned("miniGameTaskCompleteBonus"));
  score.AddHintUsedInLevelBonuses(record.hintBonuses);
  score.SetClicksNeedForPenalty(record.Unsigned("clicksNeedForPenalty"));
  score.SetTimeForClicksForPenalty(record.Whole("timeForClicksForPenalty"));
  score.SetTimeForPenalty(record.Whole("timeForPenalty"));
}
