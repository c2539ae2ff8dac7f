// The hidden-object scene: its objects, loose and in groups, the groups' minimum counts, and
// the fixed and found items, which are applied once every object is in and the list size
// is known.

#include <vector>

#include "model/hidden_object_game.h"
#include "model/model_compositor.h"
#include "model/model_types.h"
#include "platform/log.h"

namespace {

struct THiddenObjectGameRecord : TSceneRecord<CHiddenObjectGame> {
  std::vector<TString> fixItems;
  std::vector<TString> foundItems;
  int32_t nextGroup = 1;

  // A name that names no object is skipped with a log line: the list holds objects only.
  CHiddenObject* Named(const TString& name, const char* list) const {
    CHiddenObject* object = scene->GetHiddenObject(name);
    if (!object)
      LogPrintf("Model text: scene %d lists \"%s\" among its %s, but has no such object", scene->GetSeqId(),
                name.c_str(), list);
    return object;
  }
  void Finish() {
    for (const TString& name : fixItems) {
      if (CHiddenObject* object = Named(name, "fix items")) scene->AddFixItem(*object);
    }
    for (const TString& name : foundItems) {
      if (CHiddenObject* object = Named(name, "found items")) scene->SetItemFound(object->GetId());
    }
  }
};

void ComposeGroup(THiddenObjectGameRecord& record, TLuaTable& group) {
  TString name = group.GetString("groupName", TString());
  int32_t groupId = record.nextGroup++;
  WalkRecord(group, [&](const CRecordEntry& entry) {
    std::unique_ptr<TLuaTable> table = entry.Table();
    if (!table || ModelTypeOf(*table) != ModelHiddenObject) return;
    std::unique_ptr<CHiddenObject> object = CModelCompositor::ComposeHiddenObject(*table, name, groupId);
    // An inactive object of a group takes part only as a loose object.
    if (!object->IsActive()) object->SetGroupId(0);
    record.scene->AddHiddenObject(std::move(object));
  });
}

void ComposeMinItemsCount(CHiddenObjectGame& game, TLuaTable& list) {
  WalkRecord(list, [&](const CRecordEntry& entry) {
    std::unique_ptr<TLuaTable> table = entry.Table();
    if (!table || ModelTypeOf(*table) != ModelMinItemsGroupCount) return;
    TString name;
    int32_t minItems = 0;
    WalkRecord(*table, [&](const CRecordEntry& field) {
      if (field.Is("groupName"))
        name = field.String();
      else if (field.Is("minItems"))
        minItems = field.Whole();
    });
    game.AddGroup(name, minItems);
  });
}

void AppendNames(TLuaTable& list, std::vector<TString>& names) {
  WalkListValues(list, [&](const CRecordEntry& entry) { names.push_back(entry.String()); });
}

}  // namespace

std::unique_ptr<CScene> CModelCompositor::ComposeHiddenObjectGame(TLuaTable& table) {
  using Record = THiddenObjectGameRecord;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("itemListCount", &CHiddenObjectGame::SetItemListCount)
        .Key("hitClickSound", &CHiddenObjectGame::SetHitClickSound)
        .Key("missClickSound", &CHiddenObjectGame::SetMissClickSound)
        .Key("pickedUpInventoryItemOnWon", &CHiddenObjectGame::SetPickedUpInventoryItemOnWon)
        .Key("STDLeftSideOfActiveSide", &CHiddenObjectGame::SetSTDLeftSideOfActiveSide)
        .Nested(ModelHiddenObject,
                [](Record& record, TLuaTable& object) {
                  record.scene->AddHiddenObject(ComposeHiddenObject(object, "none", 0));
                })
        .Nested(ModelHOGGroup, ComposeGroup)
        .Nested(ModelFixItems, [](Record& record, TLuaTable& list) { AppendNames(list, record.fixItems); })
        .Nested(ModelFoundItems, [](Record& record, TLuaTable& list) { AppendNames(list, record.foundItems); })
        .Nested(ModelMinItemsCount, [](Record& record, TLuaTable& list) { ComposeMinItemsCount(*record.scene, list); });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}
