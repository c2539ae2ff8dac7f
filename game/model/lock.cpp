#include "model/lock.h"

#include <algorithm>
#include <set>

#include "model/model_types.h"
#include "model/record_writer.h"
#include "platform/log.h"

CLock::CLock(uint32_t count, bool movesOthers, bool up, bool locked) {
  for (uint32_t i = 0; i < count; ++i) {
    mBolts.push_back(std::make_unique<CLockingBolt>(movesOthers, up, locked));
    mBolts.back()->SetIndex(i);
  }
}

bool CLock::IsOfType(int modelType) const { return modelType == ModelUnlockingDoorsMiniGame; }

CLockingBolt* CLock::GetBolt(uint32_t i) const { return i < mBolts.size() ? mBolts[i].get() : nullptr; }

void CLock::SetBoltIndex(uint32_t i, uint32_t index) {
  if (CLockingBolt* bolt = GetBolt(i)) bolt->SetIndex(index);
}

bool CLock::ConfigureBolt(uint32_t i, const std::vector<int32_t>& moved, bool movesOthers, bool up, bool locked) {
  CLockingBolt* bolt = GetBolt(i);
  const size_t n = mBolts.size();
  bool valid = bolt && moved.size() < n;
  std::set<int32_t> named;
  for (int32_t index : moved) {
    // A negative number names no bolt, however it compares with the count.
    valid = valid && index >= 0 && size_t(index) < n && named.insert(index).second;
  }
  if (!valid) {
    LogPrintf("Unlocking doors %d: bolt %u is left as built: its moved bolts name a bolt outside the lock or "
              "one twice",
              GetSeqId(), i);
    return false;
  }
  bolt->SetFlags(movesOthers, up, locked);
  for (int32_t index : moved) bolt->Link(mBolts[size_t(index)].get());
  return true;
}

void CLock::SetBoltAppearance(uint32_t i, const CLockingBolt::TAppearance& appearance) {
  if (CLockingBolt* bolt = GetBolt(i)) bolt->SetAppearance(appearance);
}

bool CLock::MoveBolt(uint32_t i, int32_t depth) {
  CLockingBolt* bolt = GetBolt(i);
  return bolt && bolt->Move(depth);
}

void CLock::ResetPosition(bool up) {
  for (const auto& bolt : mBolts) {
    bolt->SetUp(up);
    bolt->SetLocked(false);
  }
}

bool CLock::IsWon() const {
  return std::all_of(mBolts.begin(), mBolts.end(), [](const auto& bolt) { return bolt->IsUp(); });
}

bool CLock::DoAllBoltsMoveOthers() {
  for (const auto& bolt : mBolts) {
    if (!mAllMoveOthers) break;
    mAllMoveOthers = bolt->GetMovesOthers();
  }
  return mAllMoveOthers;
}

char CLock::BoltNameCharacter(uint32_t i) { return i < MaxNamedBolts ? char('1' + i) : '\0'; }

bool CLock::BoltIndexOfCharacter(char c, uint32_t& index) {
  auto code = static_cast<unsigned char>(c);
  if (code < '1') return false;
  index = uint32_t(code - '1');
  return true;
}

void CLock::Serialize(std::string& out) const {
  CRecordWriter record("MakeUnlockingDoorsMiniGame");
  CScene::Serialize(record.Buffer());
  mMoveBoltSound.Write(record, "moveBoltSoundFile");
  mMissSound.Write(record, "missSoundFile");
  mWonSound.Write(record, "wonSoundFile");
  record.String("overlayImage", mOverlayImage);
  record.Number("overlayImagePosX", mOverlayX);
  record.Number("overlayImagePosY", mOverlayY);
  for (const auto& bolt : mBolts) record.Nested(*bolt);
  record.Finish(out);
}
