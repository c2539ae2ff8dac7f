// The unlocking-doors lock and its bolts. The lock is made after the walk, from the number of
// bolts read and the record's default flags, which stand in for what a bolt's record lacks.

#include <optional>
#include <string>
#include <vector>

#include "model/lock.h"
#include "model/model_compositor.h"
#include "model/model_types.h"

namespace {

struct TBoltRecord {
  std::optional<bool> movesOthers;
  std::optional<bool> up;
  std::optional<bool> locked;
  CLockingBolt::TAppearance look;
  std::vector<int32_t> moved;
};

template <int32_t CLockingBolt::TAppearance::*Field>
void LookNumber(CRecordRules<TBoltRecord>& rules, std::string key) {
  rules.Key(std::move(key), [](TBoltRecord& bolt, const CRecordEntry& entry) { bolt.look.*Field = entry.Whole(); });
}

template <TString CLockingBolt::TAppearance::*Field>
void LookString(CRecordRules<TBoltRecord>& rules, std::string key) {
  rules.Key(std::move(key), [](TBoltRecord& bolt, const CRecordEntry& entry) { bolt.look.*Field = entry.String(); });
}

template <std::optional<bool> TBoltRecord::*Flag>
void BoltFlag(CRecordRules<TBoltRecord>& rules, std::string key) {
  rules.Key(std::move(key), [](TBoltRecord& bolt, const CRecordEntry& entry) { bolt.*Flag = entry.TrueFlag(); });
}

CRecordRules<TBoltRecord> BoltRules() {
  using Look = CLockingBolt::TAppearance;
  CRecordRules<TBoltRecord> rules;
  BoltFlag<&TBoltRecord::movesOthers>(rules, "movesOthers");
  BoltFlag<&TBoltRecord::locked>(rules, "locked");
  BoltFlag<&TBoltRecord::up>(rules, "up");
  LookString<&Look::graphic>(rules, "graphic");
  LookNumber<&Look::downX>(rules, "downX");
  LookNumber<&Look::downY>(rules, "downY");
  LookNumber<&Look::upX>(rules, "upX");
  LookNumber<&Look::upY>(rules, "upY");
  LookString<&Look::upperLockGraphic>(rules, "boltUpperLockGraphic");
  LookString<&Look::lowerLockGraphic>(rules, "boltLowerLockGraphic");
  LookNumber<&Look::upperOpenAngle>(rules, "upperBoltLockOpenRotAngle");
  LookNumber<&Look::upperClosedAngle>(rules, "upperBoltLockCloseRotAngle");
  LookNumber<&Look::upperX>(rules, "upperBoltLockPositionX");
  LookNumber<&Look::upperY>(rules, "upperBoltLockPositionY");
  LookNumber<&Look::lowerOpenAngle>(rules, "lowerBoltLockOpenRotAngle");
  LookNumber<&Look::lowerClosedAngle>(rules, "lowerBoltLockCloseRotAngle");
  LookNumber<&Look::lowerX>(rules, "lowerBoltLockPositionX");
  LookNumber<&Look::lowerY>(rules, "lowerBoltLockPositionY");
  rules.Nested(PlainTableType, [](TBoltRecord& bolt, TLuaTable& list) {
    WalkListValues(list, [&](const CRecordEntry& entry) { bolt.moved.push_back(entry.Whole()); });
  });
  return rules;
}

struct TLockRecord : TSceneRecord<CLock, true> {
  bool stdMovesOthers = true;
  bool stdLocked = false;
  bool stdUp = false;
  TString stdGraphic;
  TString stdUpperLockGraphic;
  TString stdLowerLockGraphic;
  TString moveBoltSound;
  TString missSound;
  TString wonSound;
  TString overlayImage;
  uint32_t overlayX = 0;
  uint32_t overlayY = 0;
  std::vector<std::unique_ptr<CLockingBolt>> bolts;

  void Make() { scene = std::make_unique<CLock>(uint32_t(bolts.size()), stdMovesOthers, stdUp, stdLocked); }

  void Finish() {
    scene->SetMissSoundFile(missSound);
    scene->SetMoveBoltSoundFile(moveBoltSound);
    scene->SetWonSoundFile(wonSound);
    scene->SetOverlayImage(overlayImage);
    scene->SetOverlayImagePosX(overlayX);
    scene->SetOverlayImagePosY(overlayY);
    for (uint32_t i = 0; i < bolts.size(); ++i) {
      const CLockingBolt& bolt = *bolts[i];
      scene->ConfigureBolt(i, bolt.GetMovedBoltList(), bolt.HasMovesOthers() ? bolt.GetMovesOthers() : stdMovesOthers,
                           bolt.HasUp() ? bolt.IsUp() : stdUp, bolt.HasLocked() ? bolt.IsLocked() : stdLocked);
      CLockingBolt::TAppearance look = bolt.GetAppearance();
      if (look.graphic.IsEmpty()) look.graphic = stdGraphic;
      if (look.upperLockGraphic.IsEmpty()) look.upperLockGraphic = stdUpperLockGraphic;
      if (look.lowerLockGraphic.IsEmpty()) look.lowerLockGraphic = stdLowerLockGraphic;
      scene->SetBoltAppearance(i, look);
      scene->SetBoltIndex(i, i);
    }
  }
};

}  // namespace

std::unique_ptr<CLockingBolt> CModelCompositor::ComposeUnlockingDoorsBolt(TLuaTable& table, bool movesOthers, bool up,
                                                                         bool locked) {
  static const CRecordRules<TBoltRecord> rules = BoltRules();
  TBoltRecord record;
  rules.Walk(record, table);
  auto bolt = std::make_unique<CLockingBolt>(movesOthers, up, locked);
  for (int32_t index : record.moved) {
    if (!bolt->AddMovedBolt(index)) break;
  }
  bolt->SetFlags(record.movesOthers.value_or(movesOthers), record.up.value_or(up), record.locked.value_or(locked));
  bolt->SetAppearance(record.look);
  bolt->SetGivenFlags(record.movesOthers.has_value(), record.up.has_value(), record.locked.has_value());
  return bolt;
}

std::unique_ptr<CScene> CModelCompositor::ComposeUnlockingDoorsMiniGame(TLuaTable& table) {
  using Record = TLockRecord;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> lockRules;
    lockRules.Key("stdMovesOthers", [](Record& lock, const CRecordEntry& entry) { lock.stdMovesOthers = entry.TrueFlag(); })
        .Key("stdLocked", [](Record& lock, const CRecordEntry& entry) { lock.stdLocked = entry.TrueFlag(); })
        .Key("stdUp", [](Record& lock, const CRecordEntry& entry) { lock.stdUp = entry.TrueFlag(); })
        .Field("stdGraphic", &Record::stdGraphic)
        .Field("stdBoltUpperLockGraphic", &Record::stdUpperLockGraphic)
        .Field("stdBoltLowerLockGraphic", &Record::stdLowerLockGraphic)
        .Field("moveBoltSoundFile", &Record::moveBoltSound)
        .Field("missSoundFile", &Record::missSound)
        .Field("wonSoundFile", &Record::wonSound)
        .Field("overlayImage", &Record::overlayImage)
        .Field("overlayImagePosX", &Record::overlayX)
        .Field("overlayImagePosY", &Record::overlayY)
        .Nested(ModelUnlockingDoorsBolt, [](Record& lock, TLuaTable& bolt) {
          lock.bolts.push_back(ComposeUnlockingDoorsBolt(bolt, true, false, false));
        });
    return lockRules;
  }();
  return ComposeSceneRecord(table, rules);
}
