#pragma once
// CLockingBolt: one bolt of the unlocking-doors lock. A bolt is down or up and may be locked;
// moving it flips it, and then either moves the bolts it is linked to or toggles their locks.
// A bolt read from a record carries the numbers of the bolts it moves (at most MaxMovedBolts);
// a bolt of a configured lock carries links to those bolts instead (CLock::ConfigureBolt).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/serializable.h"
#include "platform/engine_string.h"

class CLockingBolt : public ISerializable {
 public:
  static constexpr size_t MaxMovedBolts = 30;
  using TMovedBolts = std::array<int32_t, MaxMovedBolts>;

  // Where and how a bolt and its two lock pieces are drawn.
  struct TAppearance {
    int32_t downX = 0, downY = 0, upX = 0, upY = 0;
    TString graphic;
    TString upperLockGraphic;
    TString lowerLockGraphic;
    int32_t upperOpenAngle = 0, upperClosedAngle = 0, upperX = 0, upperY = 0;
    int32_t lowerOpenAngle = 0, lowerClosedAngle = 0, lowerX = 0, lowerY = 0;
  };

  CLockingBolt(bool movesOthers, bool up, bool locked);
  CLockingBolt(const CLockingBolt&) = delete;
  CLockingBolt& operator=(const CLockingBolt&) = delete;

  // The MakeUnlockingDoorsBolt record: the flags, the appearance and the indices of the
  // linked bolts.
  void Serialize(std::string& out) const override;

  void SetFlags(bool movesOthers, bool up, bool locked);
  // Which of the three flags the bolt's record gave.
  void SetGivenFlags(bool movesOthers, bool up, bool locked);
  bool HasMovesOthers() const { return mMovesOthersGiven; }
  bool HasUp() const { return mUpGiven; }
  bool HasLocked() const { return mLockedGiven; }
  bool GetMovesOthers() const { return mMovesOthers; }
  bool IsUp() const { return mUp; }
  void SetUp(bool up) { mUp = up; }
  bool IsLocked() const { return mLocked; }
  void SetLocked(bool locked) { mLocked = locked; }

  // Appends a bolt number to the moved-bolt slots; false (and a log line) when all
  // MaxMovedBolts slots are taken.
  bool AddMovedBolt(int32_t index);
  // The slots as they stand, -1 where unused.
  TMovedBolts GetMovedBolts() const { return mMovedBolts; }
  // The moved-bolt entries made so far, links included.
  uint32_t GetMovedBoltCount() const { return mLinkCount; }
  // The entries of the slots that are in use.
  std::vector<int32_t> GetMovedBoltList() const;

  uint32_t GetIndex() const { return mIndex; }
  void SetIndex(uint32_t index) { mIndex = index; }

  // Links another bolt of the same lock; the lock owns both and outlives the link.
  void Link(CLockingBolt* bolt);
  // The indices of the linked bolts, in link order.
  std::vector<uint32_t> GetLinkedBoltIndices() const;

  void SetAppearance(int32_t downX, int32_t downY, int32_t upX, int32_t upY, const TString& graphic,
                     const TString& upperLockGraphic, const TString& lowerLockGraphic, int32_t upperOpenAngle,
                     int32_t upperClosedAngle, int32_t upperX, int32_t upperY, int32_t lowerOpenAngle,
                     int32_t lowerClosedAngle, int32_t lowerX, int32_t lowerY);
  void SetAppearance(const TAppearance& appearance) { mLook = appearance; }
  const TAppearance& GetAppearance() const { return mLook; }
  int32_t GetDownX() const { return mLook.downX; }
  int32_t GetDownY() const { return mLook.downY; }
  int32_t GetUpX() const { return mLook.upX; }
  int32_t GetUpY() const { return mLook.upY; }
  const TString& GetGraphic() const { return mLook.graphic; }
  const TString& GetBoltUpperLockGraphic() const { return mLook.upperLockGraphic; }
  const TString& GetBoltLowerLockGraphic() const { return mLook.lowerLockGraphic; }
  int32_t GetUpperBoltLockOpenRotAngle() const { return mLook.upperOpenAngle; }
  int32_t GetUpperBoltLockCloseRotAngle() const { return mLook.upperClosedAngle; }
  int32_t GetUpperBoltLockPositionX() const { return mLook.upperX; }
  int32_t GetUpperBoltLockPositionY() const { return mLook.upperY; }
  int32_t GetLowerBoltLockOpenRotAngle() const { return mLook.lowerOpenAngle; }
  int32_t GetLowerBoltLockCloseRotAngle() const { return mLook.lowerClosedAngle; }
  int32_t GetLowerBoltLockPositionX() const { return mLook.lowerX; }
  int32_t GetLowerBoltLockPositionY() const { return mLook.lowerY; }

  // A locked bolt refuses (false, nothing changes). Otherwise it flips, and with depth above
  // 0 it moves each linked bolt with one depth less when it moves others (a locked one
  // stays), or else toggles each linked bolt's lock.
  bool Move(int32_t depth);

 private:
  uint32_t mIndex = 0;
  TAppearance mLook;
  bool mLocked = false;
  bool mUp = false;
  bool mMovesOthers = false;
  uint32_t mLinkCount = 0;
  TMovedBolts mMovedBolts;
  std::vector<CLockingBolt*> mLinkedBolts;
  bool mMovesOthersGiven = false;
  bool mUpGiven = false;
  bool mLockedGiven = false;
};
