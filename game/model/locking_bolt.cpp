#include "model/locking_bolt.h"

#include "model/record_writer.h"
#include "platform/log.h"

CLockingBolt::CLockingBolt(bool movesOthers, bool up, bool locked)
    : mLocked(locked), mUp(up), mMovesOthers(movesOthers) {
  mMovedBolts.fill(-1);
}

void CLockingBolt::SetFlags(bool movesOthers, bool up, bool locked) {
  mMovesOthers = movesOthers;
  mUp = up;
  mLocked = locked;
}

void CLockingBolt::SetGivenFlags(bool movesOthers, bool up, bool locked) {
  mMovesOthersGiven = movesOthers;
  mUpGiven = up;
  mLockedGiven = locked;
}

bool CLockingBolt::AddMovedBolt(int32_t index) {
  if (mLinkCount >= MaxMovedBolts) {
    LogPrintf("Unlocking doors: a bolt moves at most %u bolts; bolt %d is left out", unsigned(MaxMovedBolts),
              index);
    return false;
  }
  mMovedBolts[mLinkCount++] = index;
  return true;
}

std::vector<int32_t> CLockingBolt::GetMovedBoltList() const {
  size_t used = mLinkCount < MaxMovedBolts ? mLinkCount : MaxMovedBolts;
  return std::vector<int32_t>(mMovedBolts.begin(), mMovedBolts.begin() + std::ptrdiff_t(used));
}

void CLockingBolt::Link(CLockingBolt* bolt) {
  if (!bolt) return;
  mLinkedBolts.push_back(bolt);
  ++mLinkCount;
}

std::vector<uint32_t> CLockingBolt::GetLinkedBoltIndices() const {
  std::vector<uint32_t> indices;
  for (const CLockingBolt* bolt : mLinkedBolts) indices.push_back(bolt->GetIndex());
  return indices;
}

void CLockingBolt::SetAppearance(int32_t downX, int32_t downY, int32_t upX, int32_t upY, const TString& graphic,
                                 const TString& upperLockGraphic, const TString& lowerLockGraphic,
                                 int32_t upperOpenAngle, int32_t upperClosedAngle, int32_t upperX, int32_t upperY,
                                 int32_t lowerOpenAngle, int32_t lowerClosedAngle, int32_t lowerX, int32_t lowerY) {
  mLook = {downX,          downY,  upX,    upY,          graphic,          upperLockGraphic, lowerLockGraphic,
           upperOpenAngle, upperClosedAngle, upperX, upperY, lowerOpenAngle, lowerClosedAngle, lowerX,
           lowerY};
}

bool CLockingBolt::Move(int32_t depth) {
  if (mLocked) return false;
  mUp = !mUp;
  if (depth > 0) {
    for (CLockingBolt* bolt : mLinkedBolts) {
      if (mMovesOthers)
        bolt->Move(depth - 1);
      else
        bolt->mLocked = !bolt->mLocked;
    }
  }
  return true;
}

void CLockingBolt::Serialize(std::string& out) const {
  CRecordWriter record("MakeUnlockingDoorsBolt");
  record.Flag("movesOthers", mMovesOthers);
  record.Flag("locked", mLocked);
  record.Flag("up", mUp);
  record.String("graphic", mLook.graphic);
  record.Number("downX", mLook.downX);
  record.Number("downY", mLook.downY);
  record.Number("upX", mLook.upX);
  record.Number("upY", mLook.upY);
  record.String("boltUpperLockGraphic", mLook.upperLockGraphic);
  record.Number("upperBoltLockOpenRotAngle", mLook.upperOpenAngle);
  record.Number("upperBoltLockCloseRotAngle", mLook.upperClosedAngle);
  record.Number("upperBoltLockPositionX", mLook.upperX);
  record.Number("upperBoltLockPositionY", mLook.upperY);
  record.String("boltLowerLockGraphic", mLook.lowerLockGraphic);
  record.Number("lowerBoltLockOpenRotAngle", mLook.lowerOpenAngle);
  record.Number("lowerBoltLockCloseRotAngle", mLook.lowerClosedAngle);
  record.Number("lowerBoltLockPositionX", mLook.lowerX);
  record.Number("lowerBoltLockPositionY", mLook.lowerY);
  record.LastList(GetLinkedBoltIndices());
  record.Finish(out);
}
