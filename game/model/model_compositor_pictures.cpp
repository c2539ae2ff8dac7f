// The picture games: the mirrored-image search with its slots, and the picture-placing
// puzzle with its hotspots.

#include <array>
#include <optional>

#include "model/mirrored_image_game.h"
#include "model/model_compositor.h"
#include "model/model_types.h"
#include "model/placing_pictures_game.h"

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

// The check button's place goes in after the walk, 0 for a coordinate the record lacks.
struct TPlacingPicturesRecord : TSceneRecord<CPlacingPicturesGame> {
  uint32_t checkbuttonX = 0;
  uint32_t checkbuttonY = 0;
  void Finish() { scene->SetCheckbuttonPosition(checkbuttonX, checkbuttonY); }
};

// A hotspot record. One that gives any of the layout keys (id, start picture, corners) gives
// all ten layout entries and its end picture together, "" and 0 for what it lacks, so that
// the lists stay in step; one that gives only its end picture (the form saved while the
// board is laid out, whose layout is in the scene's hotspots) adds only that.
struct THotspotRecord {
  bool layout = false;
  std::array<int32_t, 4> x{};
  std::array<int32_t, 4> y{};
  TString id;
  TString imageStart;
  std::optional<TString> imageEnd;
};

void ComposePicturesHotspot(CPlacingPicturesGame& game, TLuaTable& table) {
  static const CRecordRules<THotspotRecord> rules = [] {
    CRecordRules<THotspotRecord> hotspotRules;
    for (size_t c = 0; c < 4; ++c) {
      std::string corner = std::to_string(c + 1);
      hotspotRules
          .Key("xPos" + corner,
               [c](THotspotRecord& hotspot, const CRecordEntry& entry) {
                 hotspot.layout = true;
                 hotspot.x[c] = entry.Whole();
               })
          .Key("yPos" + corner, [c](THotspotRecord& hotspot, const CRecordEntry& entry) {
            hotspot.layout = true;
            hotspot.y[c] = entry.Whole();
          });
    }
    hotspotRules
        .Key("id",
             [](THotspotRecord& hotspot, const CRecordEntry& entry) {
               hotspot.layout = true;
               hotspot.id = entry.String();
             })
        .Key("imageStart",
             [](THotspotRecord& hotspot, const CRecordEntry& entry) {
               hotspot.layout = true;
               hotspot.imageStart = entry.String();
             })
        .Key("imageEnd", [](THotspotRecord& hotspot, const CRecordEntry& entry) { hotspot.imageEnd = entry.String(); });
    return hotspotRules;
  }();
  THotspotRecord hotspot;
  rules.Walk(hotspot, table);
  if (hotspot.layout) {
    game.AddHotspotX1(hotspot.x[0]);
    game.AddHotspotX2(hotspot.x[1]);
    game.AddHotspotX3(hotspot.x[2]);
    game.AddHotspotX4(hotspot.x[3]);
    game.AddHotspotY1(hotspot.y[0]);
    game.AddHotspotY2(hotspot.y[1]);
    game.AddHotspotY3(hotspot.y[2]);
    game.AddHotspotY4(hotspot.y[3]);
    game.AddHotspotId(hotspot.id);
    game.AddHotspotImageStart(hotspot.imageStart);
  }
  if (hotspot.layout || hotspot.imageEnd) game.AddHotspotImageEnd(hotspot.imageEnd.value_or(TString()));
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

std::unique_ptr<CScene> CModelCompositor::ComposePlacingPicturesGame(TLuaTable& table) {
  using Record = TPlacingPicturesRecord;
  using Game = CPlacingPicturesGame;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    AddTextboxLayoutKeys(gameRules);
    gameRules.Key("filepath", &Game::SetFilepath)
        .Key("checkbutton", &Game::SetCheckbutton)
        .Key("swopMode", &Game::SetSwopMode)
        .Field("checkbuttonX", &Record::checkbuttonX)
        .Field("checkbuttonY", &Record::checkbuttonY)
        .Key("hotspots", [](Record& record, const CRecordEntry& entry) {
          std::unique_ptr<TLuaTable> list = entry.Table();
          if (!list) return;
          WalkRecord(*list, [&](const CRecordEntry& item) {
            if (std::unique_ptr<TLuaTable> hotspot = item.Table()) ComposePicturesHotspot(*record.scene, *hotspot);
          });
        });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}
