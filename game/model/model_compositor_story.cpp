// The scene kinds of the story: adventure rooms, placing-object rooms, chapter screens,
// cutscenes with their cast and lines, and plot-point pages.

#include <map>
#include <string>

#include "model/adventure_screen.h"
#include "model/chapter_screen.h"
#include "model/cutscene.h"
#include "model/cutscene_moods.h"
#include "model/model_compositor.h"
#include "model/model_types.h"
#include "model/placing_object_game.h"
#include "model/plotpoint.h"
#include "model/scene_object.h"
#include "script/lua_glue.h"

namespace {

// The keys of a room, shared by adventure screens and placing-object games.
template <typename Record>
void AddRoomKeys(CRecordRules<Record>& rules) {
  AddTextboxLayoutKeys(rules);
  rules.Nested(ModelSceneObject, [](Record& record, TLuaTable& object) {
        record.Subject().AddSceneObject(CModelCompositor::ComposeSceneObject(object));
      });
}

// A plot-point text list: each table entry holds pairs of values; a pair whose first value
// has a text gives (text, number), else (number, text).
void ComposePlotpointTexts(CPlotpoint& page, TLuaTable& list) {
  struct TValue {
    bool hasText;
    TString text;
    uint32_t number;
  };
  WalkRecord(list, [&](const CRecordEntry& entry) {
    std::unique_ptr<TLuaTable> pairs = entry.Table();
    if (!pairs) return;
    std::vector<TValue> values;
    WalkRecord(*pairs, [&](const CRecordEntry& value) {
      values.push_back({value.IsText(), value.String(), value.Unsigned()});
    });
    for (size_t i = 0; i < values.size(); i += 2) {
      TValue second = i + 1 < values.size() ? values[i + 1] : TValue{false, TString(), 0};
      if (values[i].hasText)
        page.AddText(values[i].text, second.number);
      else
        page.AddText(second.text, values[i].number);
    }
  });
}

}  // namespace

std::unique_ptr<CScene> CModelCompositor::ComposeAdventureScreen(TLuaTable& table) {
  using Record = TSceneRecord<CAdventureScreen>;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> roomRules;
    AddRoomKeys(roomRules);
    return roomRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CScene> CModelCompositor::ComposePlacingObjectGame(TLuaTable& table) {
  using Record = TSceneRecord<CPlacingObjectGame>;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> roomRules;
    AddRoomKeys(roomRules);
    roomRules.Key("hintImage", &CPlacingObjectGame::SetHintImage)
        .Nested(ModelInventory, [](Record& record, TLuaTable& inventory) {
          record.scene->SetInventory(ComposeInventory(inventory));
        });
    return roomRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CScene> CModelCompositor::ComposeChapterScreen(TLuaTable& table) {
  using Record = TSceneRecord<CChapterScreen>;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> chapterRules;
    chapterRules.Key("title", &CChapterScreen::SetTitle)
        .Key("subtitle", &CChapterScreen::SetSubtitle)
        .Key("locationImage", &CChapterScreen::SetLocationImage)
        .Key("locationX", &CChapterScreen::SetLocationX)
        .Key("locationY", &CChapterScreen::SetLocationY)
        .Key("locationText", &CChapterScreen::SetLocationText);
    return chapterRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CScene> CModelCompositor::ComposeCutscene(TLuaTable& table) {
  using Record = TSceneRecord<CCutscene>;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> cutsceneRules;
    cutsceneRules.Key("stageBg", &CCutscene::SetStageBg)
        .Key("letterFont", &CCutscene::SetLetterFont)
        .Key("letterFontSize", &CCutscene::SetLetterFontSize)
        .Nested(ModelCutsceneCharacter,
                [](Record& record, TLuaTable& character) {
                  record.scene->AddCharacter(ComposeCutsceneCharacter(character));
                })
        .Nested(ModelCutsceneScript,
                [](Record& record, TLuaTable& script) { record.scene->SetScript(ComposeCutsceneScript(script)); });
    return cutsceneRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CCutsceneCharacter> CModelCompositor::ComposeCutsceneCharacter(TLuaTable& table) {
  static const CRecordRules<CCutsceneCharacter> rules = [] {
    CRecordRules<CCutsceneCharacter> characterRules;
    characterRules.Key("id", &CCutsceneCharacter::SetId)
        .Key("name", &CCutsceneCharacter::SetName)
        .Key("offsetX", &CCutsceneCharacter::SetOffsetX)
        .Key("position",
             [](CCutsceneCharacter& character, const CRecordEntry& entry) {
               int32_t position = entry.Whole();
               bool onStage = position >= CCutsceneCharacter::Narration && position <= CCutsceneCharacter::ScreenShake;
               character.SetPosition(onStage ? position : CCutsceneCharacter::Left);
             })
        .Key("images", [](CCutsceneCharacter& character, const CRecordEntry& entry) {
          std::unique_ptr<TLuaTable> images = entry.Table();
          if (!images) return;
          // Gathered by key text first: keys that read alike ("1" and 1) keep one picture.
          std::map<std::string, TString> byKey;
          WalkRecord(*images, [&](const CRecordEntry& image) { byKey[image.GetKey()] = image.String(); });
          for (const auto& [key, file] : byKey) character.SetImage(MoodFromName(TString(key)), file);
        });
    return characterRules;
  }();
  auto character = std::make_unique<CCutsceneCharacter>();
  rules.Walk(*character, table);
  return character;
}

std::unique_ptr<CCutsceneScript> CModelCompositor::ComposeCutsceneScript(TLuaTable& table) {
  auto script = std::make_unique<CCutsceneScript>();
  WalkRecord(table, [&](const CRecordEntry& entry) {
    if (std::unique_ptr<TLuaTable> line = entry.Table())
      script->AddItem(LuaNumberToInt(entry.KeyNumber()), ComposeCutsceneScriptItem(*line));
  });
  return script;
}

std::unique_ptr<CCutsceneScriptItem> CModelCompositor::ComposeCutsceneScriptItem(TLuaTable& table) {
  static const CRecordRules<CCutsceneScriptItem> rules = [] {
    CRecordRules<CCutsceneScriptItem> itemRules;
    itemRules.Key("1", &CCutsceneScriptItem::SetCharacterId)
        .Key("2", [](CCutsceneScriptItem& item,
                     const CRecordEntry& entry) { item.SetMood(MoodFromName(entry.String())); })
        .Key("3", &CCutsceneScriptItem::SetText)
        .Key("4", &CCutsceneScriptItem::SetSoundFile);
    return itemRules;
  }();
  auto item = std::make_unique<CCutsceneScriptItem>();
  rules.Walk(*item, table);
  return item;
}

std::unique_ptr<CScene> CModelCompositor::ComposePlotpoint(TLuaTable& table) {
  using Record = TSceneRecord<CPlotpoint>;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> pageRules;
    pageRules.Key("movingTextureDirectory", &CPlotpoint::SetMovingTextureDirectory)
        .Key("movingTextureName", &CPlotpoint::SetMovingTextureName)
        .Key("numberOfTextures", &CPlotpoint::SetNumberOfTextures)
        .Key("direction", &CPlotpoint::SetDirection)
        .Key("beginX", &CPlotpoint::SetBeginX)
        .Key("beginY", &CPlotpoint::SetBeginY)
        .Key("endX", &CPlotpoint::SetEndX)
        .Key("endY", &CPlotpoint::SetEndY)
        .Key("borderTexture", &CPlotpoint::SetBorderTexture)
        .Key("offsetStart", &CPlotpoint::SetOffsetStart)
        .Key("offsetEnd", &CPlotpoint::SetOffsetEnd)
        .Key("textUpperLeftX", &CPlotpoint::SetTextUpperLeftX)
        .Key("textUpperLeftY", &CPlotpoint::SetTextUpperLeftY)
        .Key("textLowerRightX", &CPlotpoint::SetTextLowerRightX)
        .Key("textLowerRightY", &CPlotpoint::SetTextLowerRightY)
        .Key("textColorRed", &CPlotpoint::SetTextColorRed)
        .Key("textColorGreen", &CPlotpoint::SetTextColorGreen)
        .Key("textColorBlue", &CPlotpoint::SetTextColorBlue)
        .Key("textHeight", &CPlotpoint::SetTextHeight)
        .Nested(ModelPlotpointTexts,
                [](Record& record, TLuaTable& texts) { ComposePlotpointTexts(*record.scene, texts); });
    return pageRules;
  }();
  return ComposeSceneRecord(table, rules);
}
