#pragma once
// CModelCompositor: builds the game model from the model text (a saved game or the
// new-game script). While a compositor exists, the model script has the Make functions:
// "MakeGame" builds the levels, scenes, objects, item definitions, inventory and score
// settings of its table into CGame's instance; every other Make function ("MakeLevel",
// "MakeHiddenObjectGame" ...) only writes its model type into its table as "modeltype" and
// returns that same table, so that running the text builds a tree of tagged tables for
// MakeGame to walk.
//
// For the game's player selection: Recreate() before a player's texts run (the Make functions
// go on the model script installed then, see model_services.h), Destroy() after. MakeGame
// fills the CGame and CHighscoreSystem instances that exist when it runs. When the
// compositor goes its Make functions become harmless: a later call is a script error, never
// a call into freed memory.
//
// Reading is lenient (record_reader.h): unknown keys are ignored, a missing field keeps the
// object's default, and a nested table counts only through its "modeltype". The composers
// below are static, as the compositor keeps no state. A scene kind is added with its
// composer (one ComposeSceneRecord with its rules, in a model_compositor_*.cpp) and one line
// in the level's dispatch table (SceneKinds in model_compositor.cpp).

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/command.h"
#include "model/inventory.h"
#include "model/model_services.h"
#include "model/record_reader.h"
#include "model/textbox_layout.h"
#include "platform/engine_string.h"

class CCutsceneCharacter;
class CCutsceneScript;
class CCutsceneScriptItem;
class CGame;
class CHiddenObject;
class CHighscoreSystem;
class CInventoryItem;
class CLevel;
class CLockingBolt;
class CScene;
class CSceneExit;
class CSceneHotspot;
class CSceneObject;
class CTextbox;

class CModelCompositor {
 public:
  static CModelCompositor* GetInstance();
  // Destroys the current compositor (when there is one), then makes a new one, which
  // registers the Make functions on the model script as it is now.
  static CModelCompositor* Recreate();
  static void Destroy();

  CModelCompositor();
  virtual ~CModelCompositor();
  CModelCompositor(const CModelCompositor&) = delete;
  CModelCompositor& operator=(const CModelCompositor&) = delete;

  // Fills the game from a MakeGame table: its fields, levels, item definitions, inventory
  // and score settings. The start and current scene are applied after the walk, so that
  // a current scene of -1 takes the start scene whatever the order of the two keys.
  static void MakeGame(CGame& game, TLuaTable& table);

  // The records every scene kind shares.
  static std::unique_ptr<CLevel> ComposeLevel(TLuaTable& table);
  // The fields of every scene, with its exits, hotspots and text boxes.
  static void ComposeScene(CScene& scene, TLuaTable& table);
  static std::unique_ptr<CTextbox> ComposeTextbox(TLuaTable& table);
  static std::unique_ptr<CSceneExit> ComposeSceneExit(TLuaTable& table);
  static std::unique_ptr<CSceneHotspot> ComposeSceneHotspot(TLuaTable& table);
  static std::unique_ptr<CSceneObject> ComposeSceneObject(TLuaTable& table);
  // The group is set first; the record's own groupName and groupId override it.
  static std::unique_ptr<CHiddenObject> ComposeHiddenObject(TLuaTable& table, const TString& groupName,
                                                            int32_t groupId);
  static std::unique_ptr<CInventoryItem> ComposeInventoryItem(TLuaTable& table);
  // The text of every entry but "modeltype", in walk order (a value without text adds "").
  static CInventory ComposeInventory(TLuaTable& table);
  // Every table entry is a pair: its first value is the event, its second the Lua code;
  // further values are ignored, and a pair that lacks the code is skipped.
  static ActionMap ComposeActionMap(TLuaTable& table);
  static void ComposeHighscoreSystem(CHighscoreSystem& score, TLuaTable& table);

  // The scene kinds of the story screens.
  static std::unique_ptr<CScene> ComposeChapterScreen(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeHiddenObjectGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeCutscene(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeAdventureScreen(TLuaTable& table);
  static std::unique_ptr<CScene> ComposePlacingObjectGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposePlotpoint(TLuaTable& table);

  // The mini-games of the arcade, code, card, tile and labyrinth kinds.
  static std::unique_ptr<CScene> ComposeSharkShooterGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeMastermindGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeMemoryGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeRotationTilesGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeLabyrinthGame(TLuaTable& table);

  // The board mini-games of pictures and pieces: the morris board, the mirrored-image
  // search and the picture-placing puzzle.
  static std::unique_ptr<CScene> ComposeNineMensMorrisGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeMirroredImageGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposePlacingPicturesGame(TLuaTable& table);

  // The board mini-games of locks, pipes and pieces.
  static std::unique_ptr<CScene> ComposeUnlockingDoorsMiniGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeMixPotionMiniGame(TLuaTable& table);
  static std::unique_ptr<CScene> ComposeJigsawPuzzle(TLuaTable& table);
  // A bolt record: its flags (the given defaults where the record has none, and which of
  // them it gave), its appearance and the bolts it moves (the values of its plain nested
  // table; at most CLockingBolt::MaxMovedBolts are kept).
  static std::unique_ptr<CLockingBolt> ComposeUnlockingDoorsBolt(TLuaTable& table, bool movesOthers, bool up,
                                                                 bool locked);

  // The cutscene's nested records: a character (a position outside 0 to 4 becomes 1, the
  // images map mood names to pictures), the numbered lines, and one line by position
  // (character id, mood name, text, sound file).
  static std::unique_ptr<CCutsceneCharacter> ComposeCutsceneCharacter(TLuaTable& table);
  static std::unique_ptr<CCutsceneScript> ComposeCutsceneScript(TLuaTable& table);
  static std::unique_ptr<CCutsceneScriptItem> ComposeCutsceneScriptItem(TLuaTable& table);

  // The potion game's nested records. A pipe: its id, place and height, and the ids of the
  // pipes it connects to (the values of its one plain nested table, in walk order; the
  // potion model keeps what it can use of them). A colour list: the number of every value's
  // colour name, appended to `colors' in walk order ("green" 0, "orange" 1, "black" 2,
  // "purple" 3, any other text 5). The numbers are read unsigned, as the potion model writes
  // them (-1 as 4294967295).
  struct TMixPotionPipeRecord {
    uint32_t id = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t h = 0;
    std::vector<uint32_t> connections;
  };
  static TMixPotionPipeRecord ComposeMixPotionPipe(TLuaTable& table);
  static void ComposeColorList(TLuaTable& table, std::vector<uint32_t>& colors);

 private:
  void CallMakeGame(TLuaTable* table);
  template <int Type>
  TLuaTable* CallMake(TLuaTable* table);
  template <size_t... Types>
  void BindMakes(std::index_sequence<Types...>);

  CModelBinding mBinding{this};
};

// What a scene kind's walk fills: the new scene, and, in a record derived from this one, the
// locals that the walk gathers and Finish() applies. A kind that can only be made from what
// the walk gathered passes MadeLate: its scene is null during the walk (its rules gather
// into locals only) and Make() makes it, before the shared scene fields are read into it.
template <typename Scene, bool MadeLate = false>
struct TSceneRecord {
  static constexpr bool MadeAfterWalk = MadeLate;
  std::unique_ptr<Scene> scene = MadeLate ? nullptr : std::make_unique<Scene>();
  Scene& Subject() { return *scene; }
  void Make() {}
  void Finish() {}
};

// The reading every scene kind follows: make the scene and read the fields all scenes share,
// walk the record once with the kind's rules (values that must go together are kept in the
// record's locals), then apply the locals.
template <typename Record>
std::unique_ptr<CScene> ComposeSceneRecord(TLuaTable& table, const CRecordRules<Record>& rules) {
  Record record;
  if constexpr (!Record::MadeAfterWalk) CModelCompositor::ComposeScene(*record.scene, table);
  rules.Walk(record, table);
  if constexpr (Record::MadeAfterWalk) {
    record.Make();
    if (!record.scene) return nullptr;
    CModelCompositor::ComposeScene(*record.scene, table);
  }
  record.Finish();
  return std::move(record.scene);
}

// The x and y keys of a place that a record gathers into `pairs[pair]' and applies after its
// walk. The numbers are read unsigned and kept in the pair's type, so that a place written as
// an unsigned number (-5 as 4294967291) reads back as it was.
template <typename Record, typename Value, size_t Count>
void PlaceKeys(CRecordRules<Record>& rules, const std::string& x, const std::string& y,
               std::array<std::array<Value, 2>, Count> Record::*pairs, size_t pair) {
  for (size_t axis = 0; axis < 2; ++axis) {
    rules.Key(axis ? y : x, [pairs, pair, axis](Record& record, const CRecordEntry& entry) {
      (record.*pairs)[pair][axis] = Value(entry.Unsigned());
    });
  }
}

// A "textColor" table: red, green, blue and alpha as whole numbers, 0 when absent.
std::array<int32_t, 4> ReadTextColor(TLuaTable& table);

// The text boxes of a "textboxes" list, each box a table of "text", "x", "y" and "rotation".
// Every box gives all three of its list entries (an empty text, rotation 0 where the box has
// none), so the lists stay in step. A box without "x" or "y" keeps the one of the box
// before it; the first box starts at the origin.
struct TTextboxEntry {
  TString text;
  int32_t x = 0;
  int32_t y = 0;
  float rotation = 0;
};
std::vector<TTextboxEntry> ReadTextboxes(TLuaTable& list);
void ComposeTextboxes(TLuaTable& list, CTextboxLayout& target);

// The keys of a screen's text boxes: "textFont", "textboxHeight", "textboxWidth",
// "lineHeight", the "textColor" table and the "textboxes" list.
template <typename Record>
void AddTextboxLayoutKeys(CRecordRules<Record>& rules) {
  rules.Key("textFont", &CTextboxLayout::SetTextFont)
      .Key("textboxHeight", &CTextboxLayout::SetTextboxHeight)
      .Key("textboxWidth", &CTextboxLayout::SetTextboxWidth)
      .Key("lineHeight", &CTextboxLayout::SetLineHeight)
      .Key("textColor",
           [](Record& record, const CRecordEntry& entry) {
             if (std::unique_ptr<TLuaTable> table = entry.Table()) {
               std::array<int32_t, 4> color = ReadTextColor(*table);
               record.Subject().SetTextColor(color[0], color[1], color[2], color[3]);
             }
           })
      .Key("textboxes", [](Record& record, const CRecordEntry& entry) {
        if (std::unique_ptr<TLuaTable> list = entry.Table()) ComposeTextboxes(*list, record.Subject());
      });
}
