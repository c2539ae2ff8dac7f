// The picture games: the mirrored-image search with its slots.

#include "model/mirrored_image_game.h"
#include "model/model_compositor.h"
#include "model/model_types.h"

namespace {

// A list of slots: every entry that is a table gives one slot. A slot without xPos or yPos
// keeps the one of the slot before it; the first starts at the origin.
void ComposeMirroredImageSlots(CMirroredImageGame& game, TLuaTable& list) {
  struct TSlot {
    int32_t x = 0;
    int32_t y = 0;
  };
  static const CRecordRules<TSlot> rules = [] {
    CRecordRules<TSlot> slotRules;
    slotRules.Field("xPos", &TSlot::x).Field("yPos", &TSlot::y);
    return slotRules;
  }();
  TSlot slot;
  WalkRecord(list, [&](const CRecordEntry& entry) {
    std::unique_ptr<TLuaTable> table = entry.Table();
    if (!table) return;
    rules.Walk(slot, *table);
    game.AddPosition(slot.x, slot.y);
  });
}

}  // namespace

std::unique_ptr<CScene> CModelCompositor::ComposeMirroredImageGame(TLuaTable& table) {
  using Record = TSceneRecord<CMirroredImageGame>;
  using Game = CMirroredImageGame;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("amountSelectedFalseImages", &Game::SetAmountSelectedFalseImages)
        .Key("amountAllFalseImages", &Game::SetAmountAllFalseImages)
        .Key("filepath", &Game::SetFilepath)
        .Key("nameFalseImage", &Game::SetNameFalseImage)
        .Key("nameCorrectImage", &Game::SetNameCorrectImage)
        .Nested(PlainTableType, [](Record& record, TLuaTable& slots) { ComposeMirroredImageSlots(*record.scene, slots); });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}
